#pragma once
// Decoding of the Wii Remote's input reports into TWiimote. Bytes are counted from the first byte after
// the report ID; a byte beyond the report's Size reads as 0.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

#include "wiimote/wiimote_state.h"

// A button changed: Kind 1 pressed, 2 released. Called after State (Down, and PressTime on a press) is
// updated.
using TButtonEdgeEvent = std::function<void(uint16_t Mask, int Kind, TButtonState& State)>;
// What a status report (0x20) says besides the buttons and the battery.
struct TStatusFlags {
  bool ExtensionPlugged = false;  // bit 1 of data byte 2
  bool CameraOn = false;          // bit 3
  uint8_t Leds = 0;               // bits 4..7, as in the LED byte
};
// A status report arrived; runs before the record takes it. Returns whether a plugged extension is to be
// decoded as a Nunchuk: it is not until its id has been read and says so.
using TStatusEvent = std::function<bool(const TStatusFlags& Flags)>;

// What a Nunchuk's calibration block (16 bytes at 0xA40020) says, in the plain bytes its reports carry.
// The defaults are a typical stick's travel and accelerometer, for a Nunchuk whose block does not answer
// or makes no sense (many third-party ones send zeros or 0xFF).
struct TNunchukCalibration {
  struct TStickAxis {
    uint8_t Min = 32, Centre = 128, Max = 224;
  };
  TStickAxis StickX, StickY;
  std::array<uint8_t, 3> AccelZero{128, 128, 128};  // X, Y, Z at rest on that axis (no g)
  std::array<uint8_t, 3> AccelOneG{176, 176, 176};  // X, Y, Z under one g
};

// The block as the extension's memory holds it from 0xA40020: accelerometer zero X, Y, Z (bits 9..2),
// their low bits, one g X, Y, Z, their low bits, stick X max, min, centre, stick Y max, min, centre, then
// two check bytes, the sum of the first 14 plus 0x55 and plus 0xAA. Nothing when Size is under 16, the
// check bytes do not match, or a stick's centre is not strictly between its ends, or an axis's one g is
// not above its zero.
std::optional<TNunchukCalibration> ParseNunchukCalibration(const uint8_t* Block, size_t Size);

// The scale of the decoded Nunchuk values: a stick at its calibrated centre, or an accelerometer axis
// without g, reads NunchukRest, in the middle of the pointer's dead band (144..272); a stick at either end
// of its travel, or an axis at two g either way, reads NunchukLowest or NunchukHighest, equally far out,
// and anything beyond reads as that end.
inline constexpr int32_t NunchukLowest = 46;
inline constexpr int32_t NunchukRest = 208;
inline constexpr int32_t NunchukHighest = 370;

struct TWiimoteDecodeEvents {
  TButtonEdgeEvent ButtonEdge;
  TStatusEvent Status;
  uint32_t Now = 0;  // the clock's milliseconds, stored as PressTime on a press edge
  // The plugged Nunchuk's own calibration, when its block was read; the defaults otherwise. Not owned.
  const TNunchukCalibration* NunchukCalibration = nullptr;
};

// Decodes one report by its ID (0x20 status, 0x31, 0x33, 0x37), then the core buttons of any report.
void ParseReport(TWiimote& Wiimote, uint8_t ReportID, const uint8_t* Data, size_t Size,
                 const TWiimoteDecodeEvents& Events);
// The eleven core buttons from the word (data byte 0 shl 8) or data byte 1.
void ParseButtons(TWiimote& Wiimote, uint16_t Word, const TWiimoteDecodeEvents& Events);
// Every button that is down goes up, with its release edge: the remote has gone and will not say so.
void ReleaseAllButtons(TWiimote& Wiimote, const TWiimoteDecodeEvents& Events);

// One unencoded stick or accelerometer byte on the Nunchuk scale above, with the default calibration
// (centre 128, full travel 96 either way): never decreasing as the byte grows.
int32_t DecodeNunchukValue(uint8_t Plain);
// A stick byte on that scale with the calibration of its axis.
int32_t DecodeNunchukStick(uint8_t Plain, const TNunchukCalibration::TStickAxis& Axis);
// An accelerometer byte on that scale with its axis's zero and one g.
int32_t DecodeNunchukAccel(uint8_t Plain, uint8_t Zero, uint8_t OneG);
