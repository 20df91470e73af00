// The recorded-session reader: any bytes either read as reports or are refused with an error that names
// the file and a line; what reads writes back as lines that read as the same reports; a replay of them
// keeps their order and never pauses longer than asked.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "wiimote/session_recording.h"

namespace {

constexpr uint32_t MaxPauseMs = 1000;

bool SameReports(const std::vector<TRecordedReport>& a, const std::vector<TRecordedReport>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i].TimeMs != b[i].TimeMs || a[i].Direction != b[i].Direction || a[i].Bytes != b[i].Bytes)
      return false;
  return true;
}

void CheckReplay(const std::vector<TRecordedReport>& reports) {
  const std::vector<uint32_t> times = ReplaySchedule(reports, MaxPauseMs);
  if (times.size() != reports.size()) FuzzFailure("a replay that skips or adds reports");
  for (std::size_t i = 1; i < times.size(); ++i) {
    if (times[i] < times[i - 1]) FuzzFailure("a replay that goes back in time");
    if (times[i] - times[i - 1] > MaxPauseMs) FuzzFailure("a replay pause longer than asked");
    if (times[i] - times[i - 1] > reports[i].TimeMs - reports[i - 1].TimeMs)
      FuzzFailure("a replay pause longer than the recorded one");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  std::vector<TRecordedReport> reports;
  try {
    reports = ReadRecording(in, "s.txt");
  } catch (const ERecordingError& error) {
    if (std::string(error.what()).rfind("s.txt:", 0) != 0)
      FuzzFailure("an error that does not name the file");
    return 0;
  }
  for (std::size_t i = 0; i < reports.size(); ++i) {
    if (reports[i].Bytes.empty()) FuzzFailure("a report without bytes");
    if (reports[i].Direction != '<' && reports[i].Direction != '>')
      FuzzFailure("a report without a direction");
    if (i > 0 && reports[i].TimeMs < reports[i - 1].TimeMs) FuzzFailure("times out of order");
  }

  std::string text = std::string(RecordingHeader) + "\n";
  for (const TRecordedReport& report : reports) text += FormatRecordedReport(report) + "\n";
  std::istringstream again(text);
  try {
    if (!SameReports(ReadRecording(again, "s.txt"), reports))
      FuzzFailure("written reports read back different");
  } catch (const ERecordingError& error) {
    FuzzFailure(std::string("written reports refused: ") + error.what());
  }
  CheckReplay(reports);
  return 0;
}
