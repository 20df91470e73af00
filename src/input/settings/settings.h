#pragma once
// The desktop input layer's preferences and the Wii Remote's button assignments, kept in "config.ini" in
// the program's folder: read once at start-up, written back in full at exit.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// A fixed table of the words a settings file may hold (button action names, pointer modes) and the values
// they stand for: each word is written once, and text becomes a value in one place.
template <typename TValue>
struct TNamedValue {
  std::string_view Name;
  TValue Value;
};

// The value of the entry named exactly (case-sensitively) `Name`; `Missing` when no entry has that name.
template <typename TValue, std::size_t Count>
constexpr TValue ValueOfName(const std::array<TNamedValue<TValue>, Count>& Table, std::string_view Name,
                             TValue Missing) {
  for (const TNamedValue<TValue>& entry : Table)
    if (entry.Name == Name) return entry.Value;
  return Missing;
}

// The pointer modes a CursorMode setting may name, each written once in CursorModeNames. The setting
// keeps the user's text; the pointer control and the settings reader switch on the mode it names.
enum class TCursorMode {
  Unknown,  // a name no mode has: the pointer does not move and the Nunchuk is not set up
  Motion,
  IR,
  NunchukMotion,
  NunchukAnalog,
};

inline constexpr std::array<TNamedValue<TCursorMode>, 4> CursorModeNames{{
    {"Motion", TCursorMode::Motion},
    {"IR", TCursorMode::IR},
    {"Nunchuk Motion", TCursorMode::NunchukMotion},
    {"Nunchuk Analog", TCursorMode::NunchukAnalog},
}};

// The mode CursorMode names, matched exactly and case-sensitively; Unknown for any other text.
TCursorMode CursorModeOf(std::string_view CursorMode);

// The modes that read the Nunchuk, so the remote is asked to send its extension bytes.
bool UsesNunchuk(TCursorMode Mode);

// Inclusive bounds a setting is held to when it is read.
struct TSettingLimit {
  int32_t Min;
  int32_t Max;
  constexpr int32_t Clamp(int32_t value) const { return value < Min ? Min : (value > Max ? Max : value); }
};

// The pointer control divides by 2.25 - 0.1 x SpeedFast, 12 - SpeedSlow, 22 - AnalogCursorSpeed and
// 768 - 2 x DisplayEdgeAdjustment. These bounds keep every divisor positive and each speed at least 1;
// an edge adjustment of 0 means no stretch.
inline constexpr TSettingLimit SpeedFastLimit{1, 22};
inline constexpr TSettingLimit SpeedSlowLimit{1, 11};
inline constexpr TSettingLimit AnalogCursorSpeedLimit{1, 21};
inline constexpr TSettingLimit DisplayEdgeAdjustmentLimit{0, 383};

struct TQuillonSetting {
  std::string CursorMode = "Motion";  // one of CursorModeNames; any other text moves nothing
  int32_t SensorThreshold = 2;        // tilt dead zone, accelerometer steps
  bool InvertH = false;
  bool InvertV = false;
  bool AnalogInvertH = false;
  bool AnalogInvertV = false;
  std::string OnPush = "Slower";  // "Faster" or "Slower"
  uint8_t BaseX = 128;            // accelerometer zero point, raw accelerometer bytes
  uint8_t BaseY = 128;
  uint8_t BaseZ = 160;
  bool RumbleOnEdge = true;
  bool UseMotionWhenLostIR = false;
  bool DrawGraph = true;
  int32_t SpeedFast = 5;          // within SpeedFastLimit
  int32_t SpeedSlow = 3;          // within SpeedSlowLimit
  int32_t AnalogCursorSpeed = 8;  // within AnalogCursorSpeedLimit
  bool MinimizeAtStartup = false;
  bool UseNunchuk = false;  // not stored: true for CursorMode "Nunchuk Motion" or "Nunchuk Analog"
  // Read from [Wiimote] UseRawHID, never written: the remote is read through its raw HID reports even where
  // the kernel's driver is bound. Only a user who needs it adds the key, so a new file does not list it.
  bool UseRawHID = false;
  bool Recalibrate = false;
  bool EnableCursorAtStartup = false;
  int32_t DisplayEdgeAdjustment = 50;  // IR vertical stretch, within DisplayEdgeAdjustmentLimit

  // The four bounded settings as the file holds them. Saving writes these back while the field above is
  // still their bounded value, so a hand-edited value outside the bounds is not lost; a field changed in
  // memory is written as changed.
  struct TFileValues {
    int32_t SpeedFast = 5;
    int32_t SpeedSlow = 3;
    int32_t AnalogCursorSpeed = 8;
    int32_t DisplayEdgeAdjustment = 50;
    bool operator==(const TFileValues&) const = default;
  } FileValues;

  bool operator==(const TQuillonSetting&) const = default;
};

// A setting held to a TSettingLimit: memory keeps the bounded value, FileValues the value the file held.
struct TBoundedSetting {
  int32_t TQuillonSetting::*InUse;
  int32_t TQuillonSetting::TFileValues::*FromFile;
  TSettingLimit Limit;
};

// Where a key's value lives and how it is read: a string as written, a bool as an integer other than 0, an
// integer in decimal or hexadecimal, a byte as the low byte of such an integer, or a bounded integer. A
// missing or unreadable value gives the field's value in a new TQuillonSetting.
using TSettingField = std::variant<std::string TQuillonSetting::*, bool TQuillonSetting::*,
                                   int32_t TQuillonSetting::*, uint8_t TQuillonSetting::*, TBoundedSetting>;

struct TSettingEntry {
  std::string_view Section;
  std::string_view Key;
  TSettingField Field;
};

// Every stored field of TQuillonSetting, once, in the order a new file lists them. Reading and writing
// both walk this table, so a key cannot be read under one name and written under another.
inline constexpr std::array<TSettingEntry, 20> SettingEntries{{
    {"General", "CursorMode", &TQuillonSetting::CursorMode},
    {"General", "RumbleOnEdge", &TQuillonSetting::RumbleOnEdge},
    {"General", "UseMotionWhenLostIR", &TQuillonSetting::UseMotionWhenLostIR},
    {"General", "MinimizeAtStartup", &TQuillonSetting::MinimizeAtStartup},
    {"General", "EnableCursorAtStartup", &TQuillonSetting::EnableCursorAtStartup},
    {"General", "DrawGraph", &TQuillonSetting::DrawGraph},
    {"General", "DisplayEdgeAdjustment",
     TBoundedSetting{&TQuillonSetting::DisplayEdgeAdjustment,
                     &TQuillonSetting::TFileValues::DisplayEdgeAdjustment, DisplayEdgeAdjustmentLimit}},
    {"Motion", "SensorThreshold", &TQuillonSetting::SensorThreshold},
    {"Motion", "OnPush", &TQuillonSetting::OnPush},
    {"Motion", "InvertH", &TQuillonSetting::InvertH},
    {"Motion", "InvertV", &TQuillonSetting::InvertV},
    {"Nunchuk", "AnalogInvertH", &TQuillonSetting::AnalogInvertH},
    {"Nunchuk", "AnalogInvertV", &TQuillonSetting::AnalogInvertV},
    {"Motion", "BaseX", &TQuillonSetting::BaseX},
    {"Motion", "BaseY", &TQuillonSetting::BaseY},
    {"Motion", "BaseZ", &TQuillonSetting::BaseZ},
    {"Motion", "SpeedFast",
     TBoundedSetting{&TQuillonSetting::SpeedFast, &TQuillonSetting::TFileValues::SpeedFast, SpeedFastLimit}},
    {"Motion", "SpeedSlow",
     TBoundedSetting{&TQuillonSetting::SpeedSlow, &TQuillonSetting::TFileValues::SpeedSlow, SpeedSlowLimit}},
    {"Nunchuk", "AnalogCursorSpeed",
     TBoundedSetting{&TQuillonSetting::AnalogCursorSpeed, &TQuillonSetting::TFileValues::AnalogCursorSpeed,
                     AnalogCursorSpeedLimit}},
    {"Motion", "Recalibrate", &TQuillonSetting::Recalibrate},
}};

// The remote's own section, and its one key, read but never written (TQuillonSetting::UseRawHID).
inline constexpr std::string_view RemoteSection = "Wiimote";
inline constexpr std::string_view UseRawHIDKey = "UseRawHID";

struct TButtonAssign {
  std::string Type;   // action name, one of ButtonActionNames; any other text is kept and does nothing
  std::string Value;  // key text for "Keys", command line for "Execute", ignored otherwise
  bool operator==(const TButtonAssign&) const = default;
};

inline constexpr std::size_t ButtonCount = 13;

// The file section of each button, in table order.
inline constexpr std::array<std::string_view, ButtonCount> ButtonSections{
    "Up", "Down", "Right", "Left", "A", "B", "Home", "Plus", "Minus", "1", "2", "C", "Z"};

// The keys of each button's section, in the order a new file lists them.
struct TButtonAssignKey {
  std::string_view Key;
  std::string TButtonAssign::*Field;
};
inline constexpr std::array<TButtonAssignKey, 2> ButtonAssignKeys{{
    {"Type", &TButtonAssign::Type},
    {"Value", &TButtonAssign::Value},
}};

// One entry per button in the order of ButtonSections; a new table holds the default assignments.
struct TWiimoteButtonAssign : std::array<TButtonAssign, ButtonCount> {
  TWiimoteButtonAssign();
};

// The folder of the running executable, ending in a path separator (the current folder if it cannot be
// found).
std::filesystem::path PastaDoPrograma();

// PastaDoPrograma() followed by "config.ini".
std::filesystem::path SettingsFilePath();

// What the user is told about settings a save skipped: one line naming them.
std::string SkippedSettingsText(const std::vector<std::string>& puladas);

// Sets every field of both from the file; a missing or unreadable file, section or key, or a value that
// does not parse, gives the default. Never throws for the file's contents.
void LeConfiguracao(const std::filesystem::path& arquivo, TQuillonSetting& Setting,
                    TWiimoteButtonAssign& ButtonAssign);

// Writes every key into the file, keeping its other lines, in one atomic replacement. A value no INI line
// can hold (a line break) is skipped, the file keeping what it had for that key, and the save goes on; the
// skipped keys come back as "[Section] Key". Throws EIniWriteError ("Unable to write to " and the full
// path) when the file cannot be written; the file is then untouched.
std::vector<std::string> SalvaConfiguracao(const std::filesystem::path& arquivo,
                                           const TQuillonSetting& Setting,
                                           const TWiimoteButtonAssign& ButtonAssign);
