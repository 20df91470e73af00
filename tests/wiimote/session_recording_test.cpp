#include <gtest/gtest.h>

#include <sstream>

#include "wiimote/session_recording.h"
#include "wiimote/testing/test_main_loop.h"

namespace {

TEST(SessionRecording, RecordsEachReportWithItsTimeAndReadsItBack) {
  TFakeClock Clock;
  std::ostringstream Out;
  TSessionRecorder Recorder(Out, Clock);
  const uint8_t Written[] = {0x16, 0x04, 0xB0, 0x00, 0x30, 0x01, 0x08};
  const uint8_t Read[] = {0x22, 0x00, 0x00, 0x16, 0x00};
  Recorder.Record('>', Written, sizeof Written);
  Clock.Advance(7);
  Recorder.Record('<', Read, sizeof Read);
  EXPECT_EQ(Out.str().substr(0, Out.str().find('\n')), RecordingHeader);
  EXPECT_NE(Out.str().find("\n0 > 16 04 B0 00 30 01 08\n7 < 22 00 00 16 00\n"), std::string::npos)
      << Out.str();

  std::istringstream In(Out.str() + "\n# a comment\n  12 <  30 00 08 \n");
  const std::vector<TRecordedReport> Reports = ReadRecording(In, "s.txt");
  ASSERT_EQ(Reports.size(), 3u);
  EXPECT_EQ(Reports[0].Direction, '>');
  EXPECT_EQ(Reports[0].Bytes, std::vector<uint8_t>(Written, Written + sizeof Written));
  EXPECT_EQ(Reports[1].TimeMs, 7u);
  EXPECT_EQ(Reports[2].Bytes, (std::vector<uint8_t>{0x30, 0x00, 0x08}));
}

TEST(SessionRecording, ABadLineIsNamedWithTheFileAndItsNumber) {
  const std::pair<const char*, const char*> Cases[] = {
      {"abc < 30\n", "s.txt:1: tempo inválido \"abc\""},
      {"# ok\n5 = 30\n", "s.txt:2: direção deve ser < ou >, não \"=\""},
      {"5 < 3G\n", "s.txt:1: byte inválido \"3G\""},
      {"5 < 300\n", "s.txt:1: byte inválido \"300\""},
      {"5 <\n", "s.txt:1: relatório sem bytes"},
      {"9 < 30\n5 < 30\n", "s.txt:2: o tempo volta para trás"},
  };
  for (auto [Text, Message] : Cases) {
    std::istringstream In(Text);
    try {
      ReadRecording(In, "s.txt");
      ADD_FAILURE() << Text;
    } catch (const ERecordingError& E) {
      EXPECT_EQ(std::string(E.what()), Message);
    }
  }
}

}  // namespace
