#include "wiimote/wiimote_decoder.h"

#include "wiimote/ir_midpoint.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>

namespace {

// Bounds-checked view of a report's data bytes.
class TReportBytes {
 public:
  TReportBytes(const uint8_t* Data, size_t Size) : data_(Data), size_(Data != nullptr ? Size : 0) {}
  int32_t operator[](size_t Index) const { return Index < size_ ? data_[Index] : 0; }

 private:
  const uint8_t* data_;
  size_t size_;
};

constexpr uint8_t StatusReport = 0x20;
constexpr uint8_t ButtonsAccel = 0x31;
constexpr uint8_t ButtonsAccelIR = 0x33;
constexpr uint8_t ButtonsAccelIRExtension = 0x37;

// Core buttons in the order their events go out.
constexpr TWiimoteButtonIndex CoreButtonOrder[] = {ButtonUp,   ButtonDown,  ButtonRight, ButtonLeft,
                                                   ButtonHome, ButtonMinus, ButtonPlus,  ButtonA,
                                                   ButtonB,    ButtonOne,   ButtonTwo};

void SetButton(TWiimote& Wiimote, TWiimoteButtonIndex Index, bool Pressed,
               const TWiimoteDecodeEvents& Events) {
  TButtonState& State = Wiimote.ButtonState[Index];
  if (State.Down == Pressed) return;
  State.Down = Pressed;
  if (Pressed) State.PressTime = Events.Now;
  if (Events.ButtonEdge) Events.ButtonEdge(WiimoteButtons[Index].Mask, Pressed ? 1 : 2, State);
}

void DecodeStatus(TWiimote& Wiimote, const TReportBytes& Bytes, const TWiimoteDecodeEvents& Events) {
  TStatusFlags Flags;
  Flags.ExtensionPlugged = (Bytes[2] & 0x02) != 0;
  Flags.CameraOn = (Bytes[2] & 0x08) != 0;
  Flags.Leds = static_cast<uint8_t>(Bytes[2] & 0xF0);
  const bool ExtensionPlugged = Flags.ExtensionPlugged;
  const bool Nunchuk = Events.Status ? Events.Status(Flags) : true;
  Wiimote.ExtensionConnected = ExtensionPlugged && Nunchuk;
  // A pulled Nunchuk sends no more reports: C and Z held at that moment are let go here, in the order
  // their events always go, so that their actions do not stay pressed.
  if (!Wiimote.ExtensionConnected) {
    SetButton(Wiimote, ButtonZ, false, Events);
    SetButton(Wiimote, ButtonC, false, Events);
  }
  Wiimote.BatteryLevel = Bytes[5];
}

void DecodeAccelerometer(TWiimote& Wiimote, const TReportBytes& Bytes) {
  Wiimote.AccelX = static_cast<uint8_t>(Bytes[2]);
  Wiimote.AccelY = static_cast<uint8_t>(Bytes[3]);
  Wiimote.AccelZ = static_cast<uint8_t>(Bytes[4]);
}

void DecodeIR(TWiimote& W, const TReportBytes& Bytes) {
  W.IRSize1 = Bytes[7] & 0x0F;
  W.IRX1 = Bytes[5] + (Bytes[7] & 0x30) * 16;
  W.IRY1 = Bytes[6] + (Bytes[7] & 0xC0) * 4;
  W.IRSize2 = Bytes[10] & 0x0F;
  W.IRX2 = Bytes[8] + (Bytes[10] & 0x30) * 16;
  W.IRY2 = Bytes[9] + (Bytes[10] & 0xC0) * 4;
  UpdateIRMidpoint(W);
}

// Plain on the Nunchuk scale, its distance from Centre taken as a share of Low below it and of High above
// it (both positive), rounded to the nearest step and held within the scale's ends.
int32_t ScaleAround(int32_t Plain, int32_t Centre, int32_t Low, int32_t High) {
  constexpr int32_t Reach = NunchukRest - NunchukLowest;
  const int32_t Offset = Plain - Centre;
  const int32_t Span = Offset < 0 ? Low : High;
  const int32_t Steps = (std::abs(Offset) * Reach * 2 + Span) / (Span * 2);
  const int32_t Value = Offset < 0 ? NunchukRest - Steps : NunchukRest + Steps;
  return std::clamp(Value, NunchukLowest, NunchukHighest);
}

void DecodeNunchuk(TWiimote& W, const TReportBytes& Bytes, const TWiimoteDecodeEvents& Events) {
  static const TNunchukCalibration Nominal;
  const TNunchukCalibration& C = Events.NunchukCalibration != nullptr ? *Events.NunchukCalibration : Nominal;
  W.NunchukStickX = DecodeNunchukStick(static_cast<uint8_t>(Bytes[15]), C.StickX);
  W.NunchukStickY = DecodeNunchukStick(static_cast<uint8_t>(Bytes[16]), C.StickY);
  int32_t* const Accel[3] = {&W.NunchukAccelX, &W.NunchukAccelY, &W.NunchukAccelZ};
  for (size_t Axis = 0; Axis < 3; ++Axis)
    *Accel[Axis] =
        DecodeNunchukAccel(static_cast<uint8_t>(Bytes[17 + Axis]), C.AccelZero[Axis], C.AccelOneG[Axis]);
  const int32_t Buttons = Bytes[20];  // 0 bits are pressed buttons
  SetButton(W, ButtonZ, (Buttons & 0x01) == 0, Events);
  SetButton(W, ButtonC, (Buttons & 0x02) == 0, Events);
}

}  // namespace

int32_t DecodeNunchukValue(uint8_t Plain) {
  return DecodeNunchukStick(Plain, TNunchukCalibration::TStickAxis{});
}

int32_t DecodeNunchukStick(uint8_t Plain, const TNunchukCalibration::TStickAxis& Axis) {
  return ScaleAround(Plain, Axis.Centre, Axis.Centre - Axis.Min, Axis.Max - Axis.Centre);
}

int32_t DecodeNunchukAccel(uint8_t Plain, uint8_t Zero, uint8_t OneG) {
  // Two g either way fill the scale: a Nunchuk tilted or swung gently stays inside it.
  const int32_t TwoG = 2 * (OneG - Zero);
  return ScaleAround(Plain, Zero, TwoG, TwoG);
}

std::optional<TNunchukCalibration> ParseNunchukCalibration(const uint8_t* Block, size_t Size) {
  constexpr size_t BlockSize = 16;
  if (Block == nullptr || Size < BlockSize) return std::nullopt;
  const uint32_t Sum = std::accumulate(Block, Block + 14, 0u);
  if (Block[14] != ((Sum + 0x55) & 0xFF) || Block[15] != ((Sum + 0xAA) & 0xFF)) return std::nullopt;
  TNunchukCalibration C;
  for (size_t Axis = 0; Axis < 3; ++Axis) {
    C.AccelZero[Axis] = Block[Axis];
    C.AccelOneG[Axis] = Block[4 + Axis];
    if (C.AccelOneG[Axis] <= C.AccelZero[Axis]) return std::nullopt;
  }
  C.StickX = {Block[9], Block[10], Block[8]};
  C.StickY = {Block[12], Block[13], Block[11]};
  for (const TNunchukCalibration::TStickAxis& Axis : {C.StickX, C.StickY})
    if (!(Axis.Min < Axis.Centre && Axis.Centre < Axis.Max)) return std::nullopt;
  return C;
}

void ParseButtons(TWiimote& Wiimote, uint16_t Word, const TWiimoteDecodeEvents& Events) {
  for (TWiimoteButtonIndex Index : CoreButtonOrder)
    SetButton(Wiimote, Index, (Word & WiimoteButtons[Index].Mask) != 0, Events);
}

void ReleaseAllButtons(TWiimote& Wiimote, const TWiimoteDecodeEvents& Events) {
  ParseButtons(Wiimote, 0, Events);
  SetButton(Wiimote, ButtonZ, false, Events);
  SetButton(Wiimote, ButtonC, false, Events);
}

void ParseReport(TWiimote& Wiimote, uint8_t ReportID, const uint8_t* Data, size_t Size,
                 const TWiimoteDecodeEvents& Events) {
  const TReportBytes Bytes(Data, Size);
  switch (ReportID) {
    case StatusReport:
      DecodeStatus(Wiimote, Bytes, Events);
      break;
    case ButtonsAccel:
      DecodeAccelerometer(Wiimote, Bytes);
      break;
    case ButtonsAccelIR:
      DecodeAccelerometer(Wiimote, Bytes);
      DecodeIR(Wiimote, Bytes);
      break;
    case ButtonsAccelIRExtension:
      DecodeAccelerometer(Wiimote, Bytes);
      DecodeIR(Wiimote, Bytes);
      if (Wiimote.ExtensionConnected) DecodeNunchuk(Wiimote, Bytes, Events);
      break;
    default:
      break;
  }
  ParseButtons(Wiimote, static_cast<uint16_t>((Bytes[0] << 8) | Bytes[1]), Events);
}
