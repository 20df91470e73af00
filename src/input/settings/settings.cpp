#include "input/settings/settings.h"

#include "input/settings/ini_file.h"

#include <stdexcept>

namespace {

uint8_t LowByte(int32_t value) {
  return static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFFu);
}

// The file's own value when memory still holds it bounded, else the value memory now holds.
int32_t ValueToSave(int32_t inUse, int32_t fromFile, TSettingLimit limit) {
  return limit.Clamp(fromFile) == inUse ? fromFile : inUse;
}

// One overload per kind of TSettingField, for std::visit.
template <typename... TCases>
struct TOverloads : TCases... {
  using TCases::operator()...;
};
// Clang does not yet deduce an aggregate's template arguments from its initialisers.
template <typename... TCases>
TOverloads(TCases...) -> TOverloads<TCases...>;

void ReadEntry(const TIniDocument& ini, const TSettingEntry& entry, const TQuillonSetting& def,
               TQuillonSetting& Setting) {
  std::visit(TOverloads{
                 [&](std::string TQuillonSetting::*field) {
                   Setting.*field = ini.ReadString(entry.Section, entry.Key, def.*field);
                 },
                 [&](bool TQuillonSetting::*field) {
                   Setting.*field = ini.ReadBool(entry.Section, entry.Key, def.*field);
                 },
                 [&](int32_t TQuillonSetting::*field) {
                   Setting.*field = ini.ReadInteger(entry.Section, entry.Key, def.*field);
                 },
                 [&](uint8_t TQuillonSetting::*field) {
                   Setting.*field = LowByte(ini.ReadInteger(entry.Section, entry.Key, def.*field));
                 },
                 [&](const TBoundedSetting& bounded) {
                   const int32_t fromFile = ini.ReadInteger(entry.Section, entry.Key, def.*bounded.InUse);
                   Setting.FileValues.*bounded.FromFile = fromFile;
                   Setting.*bounded.InUse = bounded.Limit.Clamp(fromFile);
                 },
             },
             entry.Field);
}

void WriteEntry(TIniDocument& ini, const TSettingEntry& entry, const TQuillonSetting& Setting) {
  std::visit(
      TOverloads{
          [&](std::string TQuillonSetting::*field) {
            ini.WriteString(entry.Section, entry.Key, Setting.*field);
          },
          [&](bool TQuillonSetting::*field) { ini.WriteBool(entry.Section, entry.Key, Setting.*field); },
          [&](int32_t TQuillonSetting::*field) {
            ini.WriteInteger(entry.Section, entry.Key, Setting.*field);
          },
          [&](uint8_t TQuillonSetting::*field) {
            ini.WriteInteger(entry.Section, entry.Key, Setting.*field);
          },
          [&](const TBoundedSetting& bounded) {
            ini.WriteInteger(
                entry.Section, entry.Key,
                ValueToSave(Setting.*bounded.InUse, Setting.FileValues.*bounded.FromFile, bounded.Limit));
          },
      },
      entry.Field);
}

}  // namespace

TWiimoteButtonAssign::TWiimoteButtonAssign()
    : std::array<TButtonAssign, ButtonCount>{{{"Keys", "Up"},
                                              {"Keys", "Down"},
                                              {"Keys", "Right"},
                                              {"Keys", "Left"},
                                              {"Mouse->Left Click", ""},
                                              {"Cursor ON/OFF", ""},
                                              {"Keys", "BkSp"},
                                              {"Keys", "Enter"},
                                              {"Mouse->Right Click", ""},
                                              {"Keys", "Tab"},
                                              {"Keys", "Enter"},
                                              {"Mouse->Right Click", ""},
                                              {"Mouse->Left Click", ""}}} {}

std::filesystem::path PastaDoPrograma() {
  std::error_code error;
  std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  std::filesystem::path folder = error ? std::filesystem::current_path(error) : executable.parent_path();
  return folder / "";
}

std::filesystem::path SettingsFilePath() {
  return PastaDoPrograma() / "config.ini";
}

void LeConfiguracao(const std::filesystem::path& arquivo, TQuillonSetting& Setting,
                    TWiimoteButtonAssign& ButtonAssign) {
  const TIniFile file(arquivo);
  const TIniDocument& ini = file.Document();
  const TQuillonSetting def;
  const TWiimoteButtonAssign defButtons;

  for (const TSettingEntry& entry : SettingEntries) ReadEntry(ini, entry, def, Setting);
  Setting.UseNunchuk = UsesNunchuk(CursorModeOf(Setting.CursorMode));
  Setting.UseRawHID = ini.ReadBool(RemoteSection, UseRawHIDKey, false);

  for (std::size_t i = 0; i < ButtonCount; ++i)
    for (const TButtonAssignKey& key : ButtonAssignKeys)
      ButtonAssign[i].*key.Field = ini.ReadString(ButtonSections[i], key.Key, defButtons[i].*key.Field);
}

std::vector<std::string> SalvaConfiguracao(const std::filesystem::path& arquivo,
                                           const TQuillonSetting& Setting,
                                           const TWiimoteButtonAssign& ButtonAssign) {
  TIniFile file(arquivo);
  TIniDocument& ini = file.Document();
  std::vector<std::string> skipped;
  // One value that cannot be written must not cost the user every other setting and the recent scenes.
  const auto keep = [&](std::string_view section, std::string_view key, const auto& write) {
    try {
      write();
    } catch (const std::invalid_argument&) {
      skipped.push_back("[" + std::string(section) + "] " + std::string(key));
    }
  };

  for (const TSettingEntry& entry : SettingEntries)
    keep(entry.Section, entry.Key, [&] { WriteEntry(ini, entry, Setting); });
  for (std::size_t i = 0; i < ButtonCount; ++i)
    for (const TButtonAssignKey& key : ButtonAssignKeys)
      keep(ButtonSections[i], key.Key,
           [&] { ini.WriteString(ButtonSections[i], key.Key, ButtonAssign[i].*key.Field); });
  file.Save();
  return skipped;
}

std::string SkippedSettingsText(const std::vector<std::string>& puladas) {
  std::string texto = "Configurações não gravadas (o valor tem uma quebra de linha):";
  for (const std::string& p : puladas) texto += " " + p;
  return texto;
}

TCursorMode CursorModeOf(std::string_view CursorMode) {
  return ValueOfName(CursorModeNames, CursorMode, TCursorMode::Unknown);
}

bool UsesNunchuk(TCursorMode Mode) {
  return Mode == TCursorMode::NunchukMotion || Mode == TCursorMode::NunchukAnalog;
}
