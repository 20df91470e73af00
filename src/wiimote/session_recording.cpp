#include "wiimote/session_recording.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "common/ascii_text.h"

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

[[noreturn]] void Fail(const std::string& FileName, size_t Line, const std::string& What) {
  throw ERecordingError(FileName + ":" + std::to_string(Line) + ": " + What);
}

// The next blank-separated word of Text, taken off its front; empty at the end.
std::string_view NextWord(std::string_view& Text) {
  Text = TrimWhiteSpace(Text);
  const size_t End = std::min(Text.find_first_of(" \t"), Text.size());
  const std::string_view Word = Text.substr(0, End);
  Text.remove_prefix(End);
  return Word;
}

}  // namespace

std::string FormatRecordedReport(const TRecordedReport& Report) {
  std::string Line = std::to_string(Report.TimeMs) + ' ' + Report.Direction;
  for (uint8_t Byte : Report.Bytes) {
    Line += ' ';
    Line += HexDigits[Byte >> 4];
    Line += HexDigits[Byte & 0x0F];
  }
  return Line;
}

std::vector<TRecordedReport> ReadRecording(std::istream& In, const std::string& FileName) {
  std::vector<TRecordedReport> Reports;
  std::string Text;
  // A file of another format, or of a later version, could read as reports that mean something else.
  const std::string_view Prefix = RecordingHeaderPrefix;
  if (!std::getline(In, Text) || !std::string_view(Text).starts_with(Prefix))
    Fail(FileName, 1, "falta a linha de versão \"" + std::string(RecordingHeader) + "\"");
  const std::string_view Version = TrimWhiteSpace(std::string_view(Text).substr(Prefix.size()));
  if (Version != RecordingVersion)
    Fail(FileName, 1,
         "versão de gravação desconhecida \"" + std::string(Version) + "\" (esta lê a " + RecordingVersion +
             ")");
  for (size_t LineNumber = 2; std::getline(In, Text); ++LineNumber) {
    std::string_view Rest = TrimWhiteSpace(Text);
    if (Rest.empty() || Rest.front() == '#') continue;
    TRecordedReport Report;
    const std::string_view Time = NextWord(Rest);
    const auto [End, Error] = std::from_chars(Time.data(), Time.data() + Time.size(), Report.TimeMs);
    if (Error != std::errc() || End != Time.data() + Time.size())
      Fail(FileName, LineNumber, "tempo inválido \"" + std::string(Time) + "\"");
    const std::string_view Direction = NextWord(Rest);
    if (Direction != "<" && Direction != ">")
      Fail(FileName, LineNumber, "direção deve ser < ou >, não \"" + std::string(Direction) + "\"");
    Report.Direction = Direction.front();
    for (std::string_view Byte = NextWord(Rest); !Byte.empty(); Byte = NextWord(Rest)) {
      uint8_t Value = 0;
      const auto [ByteEnd, ByteError] = std::from_chars(Byte.data(), Byte.data() + Byte.size(), Value, 16);
      if (Byte.size() != 2 || ByteError != std::errc() || ByteEnd != Byte.data() + Byte.size())
        Fail(FileName, LineNumber, "byte inválido \"" + std::string(Byte) + "\"");
      Report.Bytes.push_back(Value);
    }
    if (Report.Bytes.empty()) Fail(FileName, LineNumber, "relatório sem bytes");
    if (!Reports.empty() && Report.TimeMs < Reports.back().TimeMs)
      Fail(FileName, LineNumber, "o tempo volta para trás");
    Reports.push_back(std::move(Report));
  }
  return Reports;
}

std::vector<uint32_t> ReplaySchedule(const std::vector<TRecordedReport>& Reports, uint32_t MaxPauseMs) {
  std::vector<uint32_t> Times;
  Times.reserve(Reports.size());
  uint32_t Recorded = 0, Replayed = 0;
  for (const TRecordedReport& Report : Reports) {
    // The reader keeps times in order; a list made otherwise replays an earlier time as no pause.
    const uint32_t Pause = Report.TimeMs > Recorded ? Report.TimeMs - Recorded : 0;
    Replayed += std::min(Pause, MaxPauseMs);
    Recorded = std::max(Recorded, Report.TimeMs);
    Times.push_back(Replayed);
  }
  return Times;
}

TSessionRecorder::TSessionRecorder(std::ostream& Out, IClock& Clock)
    : out_(Out), clock_(Clock), start_(Clock.Milliseconds()) {
  out_ << RecordingHeader << "\n# tempo_ms direção(< lido, > escrito) bytes\n";
}

void TSessionRecorder::Record(char Direction, const uint8_t* Bytes, size_t Length) {
  TRecordedReport Report;
  Report.TimeMs = clock_.Milliseconds() - start_;
  Report.Direction = Direction;
  Report.Bytes.assign(Bytes, Bytes + Length);
  // Flushed line by line: a session cut short by Ctrl+C or a crash still keeps what came before.
  out_ << FormatRecordedReport(Report) << '\n' << std::flush;
}
