#pragma once
// Decoding of the Wii Remote's input reports into TWiimote. Bytes are counted from the first byte after
// the report ID; a byte beyond the report's Size reads as 0.

#include <cstddef>
#include <cstdint>
#include <functional>

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

struct TWiimoteDecodeEvents {
  TButtonEdgeEvent ButtonEdge;
  TStatusEvent Status;
  uint32_t Now = 0;  // the clock's milliseconds, stored as PressTime on a press edge
};

// Decodes one report by its ID (0x20 status, 0x31, 0x33, 0x37), then the core buttons of any report.
void ParseReport(TWiimote& Wiimote, uint8_t ReportID, const uint8_t* Data, size_t Size,
                 const TWiimoteDecodeEvents& Events);
// The eleven core buttons from the word (data byte 0 shl 8) or data byte 1.
void ParseButtons(TWiimote& Wiimote, uint16_t Word, const TWiimoteDecodeEvents& Events);
// Every button that is down goes up, with its release edge: the remote has gone and will not say so.
void ReleaseAllButtons(TWiimote& Wiimote, const TWiimoteDecodeEvents& Events);

// One unencoded extension byte as the stick and accelerometer fields hold it: the byte an official
// Nunchuk would send encoded (e), taken as e + (e xor 0x17) + 0x17 without reducing to 8 bits.
int32_t DecodeNunchukValue(uint8_t Plain);
