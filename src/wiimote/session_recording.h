#pragma once
// A recorded Wii Remote session: every report read from the remote and written to it, with its time, in a
// plain text file that a user can send and a test can replay. The format (also in the README):
//
//   # vireta-remote gravação 1
//   <ms> <direção> <bytes>
//
// one report a line: milliseconds since the recording began, '<' for a report read from the remote or '>'
// for one written to it, then the report's bytes in hexadecimal, two digits each, separated by blanks,
// report ID first. The first line names the format's version; after it, lines starting with '#' and empty
// lines are comments.

#include <cstdint>
#include <istream>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "wiimote/hid_platform.h"

inline constexpr const char* RecordingHeader = "# vireta-remote gravação 1";
// The first line without its version number, and the one version this reader knows.
inline constexpr const char* RecordingHeaderPrefix = "# vireta-remote gravação ";
inline constexpr const char* RecordingVersion = "1";

struct TRecordedReport {
  uint32_t TimeMs = 0;
  char Direction = '<';  // '<' read from the remote, '>' written to it
  std::vector<uint8_t> Bytes;
};

// A recording that cannot be read; the message names the file and the line.
class ERecordingError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One line of the format, without its line end.
std::string FormatRecordedReport(const TRecordedReport& Report);
// Every report of a recording in file order; throws ERecordingError ("FileName:line: what") when the first
// line is not the header of a version it knows, on the first line that is not a report or a comment, or
// when times go backwards.
std::vector<TRecordedReport> ReadRecording(std::istream& In, const std::string& FileName);

// When a replay hands each report over, in milliseconds from its start: the recorded times, with every
// pause longer than MaxPauseMs shortened to it, so that a replay never sits idle before a report recorded
// long after the one before (a remote left alone, or a time that is simply wrong).
std::vector<uint32_t> ReplaySchedule(const std::vector<TRecordedReport>& Reports, uint32_t MaxPauseMs);

// Writes the header at once and then one line per report, its time taken from Clock and counted from the
// recorder's creation. Out and Clock must outlive it.
class TSessionRecorder {
 public:
  TSessionRecorder(std::ostream& Out, IClock& Clock);
  void Record(char Direction, const uint8_t* Bytes, size_t Length);

 private:
  std::ostream& out_;
  IClock& clock_;
  uint32_t start_;
};
