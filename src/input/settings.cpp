#include "input/settings.h"

#include "input/cursor_mode.h"
#include "input/ini_file.h"

namespace {

uint8_t LowByte(int32_t value) {
  return static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFFu);
}

// The file's own value when memory still holds it bounded, else the value memory now holds.
int32_t ValueToSave(int32_t inUse, int32_t fromFile, TSettingLimit limit) {
  return limit.Clamp(fromFile) == inUse ? fromFile : inUse;
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

std::filesystem::path ArquivoConfiguracao() {
  return PastaDoPrograma() / "config.ini";
}

void LeConfiguracao(const std::filesystem::path& arquivo, TQuillonSetting& Setting,
                    TWiimoteButtonAssign& ButtonAssign) {
  const TIniFile file(arquivo);
  const TIniDocument& ini = file.Document();
  const TQuillonSetting def;
  const TWiimoteButtonAssign defButtons;

  Setting.CursorMode = ini.ReadString("General", "CursorMode", def.CursorMode);
  Setting.EnableCursorAtStartup = ini.ReadBool("General", "EnableCursorAtStartup", def.EnableCursorAtStartup);
  Setting.RumbleOnEdge = ini.ReadBool("General", "RumbleOnEdge", def.RumbleOnEdge);
  Setting.UseMotionWhenLostIR = ini.ReadBool("General", "UseMotionWhenLostIR", def.UseMotionWhenLostIR);
  Setting.MinimizeAtStartup = ini.ReadBool("General", "MinimizeAtStartup", def.MinimizeAtStartup);
  Setting.DrawGraph = ini.ReadBool("General", "DrawGraph", def.DrawGraph);
  Setting.FileValues.DisplayEdgeAdjustment =
      ini.ReadInteger("General", "DisplayEdgeAdjustment", def.DisplayEdgeAdjustment);
  Setting.SensorThreshold = ini.ReadInteger("Motion", "SensorThreshold", def.SensorThreshold);
  Setting.OnPush = ini.ReadString("Motion", "OnPush", def.OnPush);
  Setting.InvertH = ini.ReadBool("Motion", "InvertH", def.InvertH);
  Setting.InvertV = ini.ReadBool("Motion", "InvertV", def.InvertV);
  Setting.AnalogInvertH = ini.ReadBool("Nunchuk", "AnalogInvertH", def.AnalogInvertH);
  Setting.AnalogInvertV = ini.ReadBool("Nunchuk", "AnalogInvertV", def.AnalogInvertV);
  Setting.BaseX = LowByte(ini.ReadInteger("Motion", "BaseX", def.BaseX));
  Setting.BaseY = LowByte(ini.ReadInteger("Motion", "BaseY", def.BaseY));
  Setting.BaseZ = LowByte(ini.ReadInteger("Motion", "BaseZ", def.BaseZ));
  Setting.FileValues.SpeedFast = ini.ReadInteger("Motion", "SpeedFast", def.SpeedFast);
  Setting.FileValues.SpeedSlow = ini.ReadInteger("Motion", "SpeedSlow", def.SpeedSlow);
  Setting.FileValues.AnalogCursorSpeed =
      ini.ReadInteger("Nunchuk", "AnalogCursorSpeed", def.AnalogCursorSpeed);
  Setting.Recalibrate = ini.ReadBool("Motion", "Recalibrate", def.Recalibrate);

  Setting.DisplayEdgeAdjustment = DisplayEdgeAdjustmentLimit.Clamp(Setting.FileValues.DisplayEdgeAdjustment);
  Setting.SpeedFast = SpeedFastLimit.Clamp(Setting.FileValues.SpeedFast);
  Setting.SpeedSlow = SpeedSlowLimit.Clamp(Setting.FileValues.SpeedSlow);
  Setting.AnalogCursorSpeed = AnalogCursorSpeedLimit.Clamp(Setting.FileValues.AnalogCursorSpeed);

  Setting.UseNunchuk = UsesNunchuk(CursorModeOf(Setting.CursorMode));

  for (std::size_t i = 0; i < ButtonCount; ++i) {
    ButtonAssign[i].Type = ini.ReadString(ButtonSections[i], "Type", defButtons[i].Type);
    ButtonAssign[i].Value = ini.ReadString(ButtonSections[i], "Value", defButtons[i].Value);
  }
}

void SalvaConfiguracao(const std::filesystem::path& arquivo, const TQuillonSetting& Setting,
                       const TWiimoteButtonAssign& ButtonAssign) {
  TIniFile file(arquivo);
  TIniDocument& ini = file.Document();
  const TQuillonSetting::TFileValues& stored = Setting.FileValues;

  ini.WriteString("General", "CursorMode", Setting.CursorMode);
  ini.WriteBool("General", "RumbleOnEdge", Setting.RumbleOnEdge);
  ini.WriteBool("General", "UseMotionWhenLostIR", Setting.UseMotionWhenLostIR);
  ini.WriteBool("General", "MinimizeAtStartup", Setting.MinimizeAtStartup);
  ini.WriteBool("General", "EnableCursorAtStartup", Setting.EnableCursorAtStartup);
  ini.WriteBool("General", "DrawGraph", Setting.DrawGraph);
  ini.WriteInteger(
      "General", "DisplayEdgeAdjustment",
      ValueToSave(Setting.DisplayEdgeAdjustment, stored.DisplayEdgeAdjustment, DisplayEdgeAdjustmentLimit));
  ini.WriteInteger("Motion", "SensorThreshold", Setting.SensorThreshold);
  ini.WriteString("Motion", "OnPush", Setting.OnPush);
  ini.WriteBool("Motion", "InvertH", Setting.InvertH);
  ini.WriteBool("Motion", "InvertV", Setting.InvertV);
  ini.WriteBool("Nunchuk", "AnalogInvertH", Setting.AnalogInvertH);
  ini.WriteBool("Nunchuk", "AnalogInvertV", Setting.AnalogInvertV);
  ini.WriteInteger("Motion", "BaseX", Setting.BaseX);
  ini.WriteInteger("Motion", "BaseY", Setting.BaseY);
  ini.WriteInteger("Motion", "BaseZ", Setting.BaseZ);
  ini.WriteInteger("Motion", "SpeedFast", ValueToSave(Setting.SpeedFast, stored.SpeedFast, SpeedFastLimit));
  ini.WriteInteger("Motion", "SpeedSlow", ValueToSave(Setting.SpeedSlow, stored.SpeedSlow, SpeedSlowLimit));
  ini.WriteInteger("Nunchuk", "AnalogCursorSpeed",
                   ValueToSave(Setting.AnalogCursorSpeed, stored.AnalogCursorSpeed, AnalogCursorSpeedLimit));
  ini.WriteBool("Motion", "Recalibrate", Setting.Recalibrate);
  for (std::size_t i = 0; i < ButtonCount; ++i) {
    ini.WriteString(ButtonSections[i], "Type", ButtonAssign[i].Type);
    ini.WriteString(ButtonSections[i], "Value", ButtonAssign[i].Value);
  }
  file.Save();
}
