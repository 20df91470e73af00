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
  const std::string Header = std::string(RecordingHeader) + "\n";
  const std::pair<std::string, const char*> Cases[] = {
      {Header + "abc < 30\n", "s.txt:2: tempo inválido \"abc\""},
      {Header + "# ok\n5 = 30\n", "s.txt:3: direção deve ser < ou >, não \"=\""},
      {Header + "5 < 3G\n", "s.txt:2: byte inválido \"3G\""},
      {Header + "5 < 300\n", "s.txt:2: byte inválido \"300\""},
      {Header + "5 <\n", "s.txt:2: relatório sem bytes"},
      {Header + "9 < 30\n5 < 30\n", "s.txt:3: o tempo volta para trás"},
      {Header + "4294967296 < 30\n", "s.txt:2: tempo inválido \"4294967296\""},
      // The version line comes first, and only a version this reader knows.
      {"5 < 30\n", "s.txt:1: falta a linha de versão \"# vireta-remote gravação 1\""},
      {"\n" + Header, "s.txt:1: falta a linha de versão \"# vireta-remote gravação 1\""},
      {"", "s.txt:1: falta a linha de versão \"# vireta-remote gravação 1\""},
      {"# vireta-remote gravação 2\n5 < 30\n",
       "s.txt:1: versão de gravação desconhecida \"2\" (esta lê a 1)"},
      {"# vireta-remote gravação \n", "s.txt:1: versão de gravação desconhecida \"\" (esta lê a 1)"},
  };
  for (const auto& [Text, Message] : Cases) {
    std::istringstream In(Text);
    try {
      ReadRecording(In, "s.txt");
      ADD_FAILURE() << Text;
    } catch (const ERecordingError& E) {
      EXPECT_EQ(std::string(E.what()), Message);
    }
  }
  std::istringstream Empty(Header);
  EXPECT_TRUE(ReadRecording(Empty, "s.txt").empty()) << "a recording of no reports";
}

// A replay keeps the recorded pace but never waits long: a pause past the limit is cut to it, and what
// follows keeps its own pace from there.
TEST(SessionRecording, AReplayShortensLongPauses) {
  std::vector<TRecordedReport> Reports;
  for (uint32_t Time : {0u, 10u, 25u, 4000000000u, 4000000005u, 4000000005u})
    Reports.push_back({Time, '<', {0x30}});
  EXPECT_EQ(ReplaySchedule(Reports, 100), (std::vector<uint32_t>{0, 10, 25, 125, 130, 130}));
  EXPECT_EQ(ReplaySchedule(Reports, 0), (std::vector<uint32_t>(6, 0)));
  Reports[1].TimeMs = 30;  // out of order, as the reader never gives: no pause rather than a wrapped one
  EXPECT_EQ(ReplaySchedule(Reports, 100), (std::vector<uint32_t>{0, 30, 30, 130, 135, 135}));
  EXPECT_TRUE(ReplaySchedule({}, 100).empty());
}

}  // namespace
