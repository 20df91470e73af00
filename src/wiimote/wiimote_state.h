#pragma once
// The decoded state of the Wii Remote, written by the report decoder on the main thread and read there by
// the frame, the grab and throw, the camera buttons and the desktop pointer.

#include <array>
#include <cstdint>

struct TButtonState {
  bool Down = false;
  uint32_t PressTime = 0;  // the clock's milliseconds at the last press edge
};

// Index of each button in TWiimote::ButtonState, the order of the settings file's button sections.
enum TWiimoteButtonIndex : int {
  ButtonUp,
  ButtonDown,
  ButtonRight,
  ButtonLeft,
  ButtonA,
  ButtonB,
  ButtonHome,
  ButtonPlus,
  ButtonMinus,
  ButtonOne,
  ButtonTwo,
  ButtonC,
  ButtonZ,
  WiimoteButtonCount
};

struct TWiimoteButton {
  const char* Key;  // name of the button's section in the settings file
  uint16_t Mask;    // bit of the core button word; C and Z carry codes that are not core bits
};

inline constexpr std::array<TWiimoteButton, WiimoteButtonCount> WiimoteButtons = {{
    {"Up", 0x0800},
    {"Down", 0x0400},
    {"Right", 0x0200},
    {"Left", 0x0100},
    {"A", 0x0008},
    {"B", 0x0004},
    {"Home", 0x0080},
    {"Plus", 0x1000},
    {"Minus", 0x0010},
    {"1", 0x0002},
    {"2", 0x0001},
    {"C", 0x4000},
    {"Z", 0x2000},
}};

// The IR size the remote reports for a dot its camera does not see.
inline constexpr int32_t NoDotSize = 15;

// The record starts all zero: buttons up, IR sizes 0 (counted as seen), battery 0. Nothing resets it
// afterwards, not even losing the remote: every field keeps its last decoded value.
struct TWiimote {
  std::array<TButtonState, WiimoteButtonCount> ButtonState{};
  int32_t IRX1 = 0, IRY1 = 0, IRSize1 = 0;  // X 0..1023, Y 0..1023, size 0..15 (NoDotSize: no dot)
  int32_t IRX2 = 0, IRY2 = 0, IRSize2 = 0;
  bool IRDot2Right = false, IRDot2Below = false;  // as last seen with both dots
  int32_t IRMidX = 0, IRMidY = 0;                 // pointing position
  int32_t IRHalfDX = 0, IRHalfDY = 0;             // never negative
  uint8_t AccelX = 0, AccelY = 0, AccelZ = 0;     // as received, uncalibrated
  int32_t NunchukStickX = 0, NunchukStickY = 0;   // 46..370 once decoded, 208 at rest
  int32_t NunchukAccelX = 0, NunchukAccelY = 0, NunchukAccelZ = 0;
  int32_t BatteryLevel = 0;  // 0..255; 200 (0xC8) is full
  bool ExtensionConnected = false;
};
