// The remote's input reports and the HID report descriptor: any bytes decode without a fault, and what the
// decoder keeps stays in the ranges its record promises.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "fuzz/fuzz_input.h"
#include "wiimote/hid_report_descriptor.h"
#include "wiimote/wiimote_decoder.h"

namespace {

void CheckRange(const char* field, int32_t value, int32_t min, int32_t max) {
  if (value < min || value > max)
    FuzzFailure(std::string(field) + " = " + std::to_string(value) + " outside " + std::to_string(min) +
                ".." + std::to_string(max));
}

void CheckDescriptor(std::span<const uint8_t> bytes) {
  const THidReportLayout layout = ParseReportDescriptor(bytes);
  for (const THidReportKind kind : {THidReportKind::Input, THidReportKind::Output, THidReportKind::Feature}) {
    const uint16_t largest = layout.LargestReportLength(kind);
    if (largest > MaxReportBits / 8 + 1) FuzzFailure("a report longer than hidraw's buffer");
    for (int id = 0; id < 256; ++id) {
      if (layout.ReportLength(kind, static_cast<uint8_t>(id)) > largest)
        FuzzFailure("a report longer than the largest of its kind");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  CheckDescriptor({data, size});

  // The same bytes as a stream of reports: a length byte, then the report ID and its data.
  TWiimote remote;
  TWiimoteDecodeEvents events;
  events.ButtonEdge = [](uint16_t, int kind, TButtonState& state) {
    if ((kind == 1) != state.Down || (kind != 1 && kind != 2))
      FuzzFailure("an edge that disagrees with the state");
  };
  std::size_t at = 0;
  while (at + 2 <= size) {
    const std::size_t length = std::min<std::size_t>(data[at], size - at - 2);
    ParseReport(remote, data[at + 1], data + at + 2, length, events);
    at += 2 + length;
    CheckRange("IRX1", remote.IRX1, 0, 1023);
    CheckRange("IRY1", remote.IRY1, 0, 1023);
    CheckRange("IRX2", remote.IRX2, 0, 1023);
    CheckRange("IRY2", remote.IRY2, 0, 1023);
    CheckRange("IRSize1", remote.IRSize1, 0, 15);
    CheckRange("IRSize2", remote.IRSize2, 0, 15);
    CheckRange("IRHalfDX", remote.IRHalfDX, 0, 1023);
    CheckRange("IRHalfDY", remote.IRHalfDY, 0, 1023);
    CheckRange("BatteryLevel", remote.BatteryLevel, 0, 255);
  }
  ReleaseAllButtons(remote, events);
  for (const TButtonState& button : remote.ButtonState)
    if (button.Down) FuzzFailure("a button still down after all were released");
  return 0;
}
