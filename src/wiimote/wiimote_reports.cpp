#include "wiimote/wiimote_reports.h"

#include <algorithm>

namespace {

TOutputReport Report(size_t Length, std::initializer_list<uint8_t> Head) {
  TOutputReport R;
  R.Length = Length;
  size_t I = 0;
  for (uint8_t Byte : Head) R.Bytes[I++] = Byte;
  return R;
}

}  // namespace

TOutputReport MakeRumbleReport() {
  return Report(2, {0x10, 0x00});
}

TOutputReport MakeLedReport(uint8_t Value) {
  return Report(2, {0x11, Value});
}

TOutputReport MakeReportModeReport(uint8_t Mode) {
  return Report(3, {0x12, 0x00, Mode});
}

TOutputReport MakeIRCameraEnableReport(uint8_t ReportID) {
  return Report(2, {ReportID, 0x06});
}

TOutputReport MakeStatusRequestReport() {
  return Report(2, {0x15, 0x00});
}

TOutputReport MakeRegisterWriteReport(uint32_t Address, uint8_t Data) {
  // Register space, rumble bit clear, the address high byte first, one data byte of a 16-byte block.
  return Report(22, {0x16, 0x04, static_cast<uint8_t>(Address >> 16), static_cast<uint8_t>(Address >> 8),
                     static_cast<uint8_t>(Address), 0x01, Data});
}

TOutputReport MakeRegisterBlockReport(uint32_t Address, std::span<const uint8_t> Data) {
  TOutputReport R = MakeRegisterWriteReport(Address, 0);
  const size_t Count = std::min<size_t>(Data.size(), 16);
  R.Bytes[5] = static_cast<uint8_t>(Count);
  std::copy_n(Data.begin(), Count, R.Bytes.begin() + 6);
  return R;
}

TOutputReport MakeRegisterReadReport(uint32_t Address, uint16_t Size) {
  return Report(7,
                {0x17, 0x04, static_cast<uint8_t>(Address >> 16), static_cast<uint8_t>(Address >> 8),
                 static_cast<uint8_t>(Address), static_cast<uint8_t>(Size >> 8), static_cast<uint8_t>(Size)});
}
