#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "wiimote/hid_report_descriptor.h"
#include "wiimote/testing/virtual_wiimote.h"

namespace {

constexpr auto In = THidReportKind::Input;
constexpr auto Out = THidReportKind::Output;

TEST(HidReportDescriptor, WiiRemoteLayout) {
  const THidReportLayout Layout = ParseReportDescriptor(WiimoteReportDescriptor());
  EXPECT_EQ(Layout.Error(), "");
  EXPECT_TRUE(Layout.UsesReportIds());
  EXPECT_EQ(Layout.LargestReportLength(Out), 22);
  EXPECT_EQ(Layout.LargestReportLength(In), 22);

  for (uint8_t Id : {0x10, 0x11, 0x13, 0x14, 0x15, 0x19, 0x1A})
    EXPECT_EQ(Layout.ReportLength(Out, Id), 2) << int(Id);
  EXPECT_EQ(Layout.ReportLength(Out, 0x12), 3);
  EXPECT_EQ(Layout.ReportLength(Out, 0x16), 22);
  EXPECT_EQ(Layout.ReportLength(Out, 0x17), 7);
  EXPECT_EQ(Layout.ReportLength(Out, 0x18), 22);
  EXPECT_EQ(Layout.ReportLength(Out, 0x1B), 0);
  EXPECT_EQ(Layout.ReportLength(Out, 0x20), 0) << "input IDs are not output reports";

  EXPECT_EQ(Layout.ReportLength(In, 0x20), 7);
  EXPECT_EQ(Layout.ReportLength(In, 0x22), 5);
  EXPECT_EQ(Layout.ReportLength(In, 0x30), 3);
  EXPECT_EQ(Layout.ReportLength(In, 0x31), 6);
  EXPECT_EQ(Layout.ReportLength(In, 0x33), 18);
  EXPECT_EQ(Layout.ReportLength(In, 0x37), 22);
  EXPECT_EQ(Layout.ReportLength(In, 0x3F), 22);
}

TEST(HidReportDescriptor, DescriptorWithoutReportIdsCountsTheZeroIdByte) {
  // A boot keyboard: 8 input bytes, 1 output byte of LEDs (5 bits + 3 padding).
  const std::vector<uint8_t> Keyboard = {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x75, 0x08, 0x95,
                                         0x08, 0x81, 0x00, 0x75, 0x01, 0x95, 0x05, 0x91, 0x02,
                                         0x75, 0x03, 0x95, 0x01, 0x91, 0x01, 0xC0};
  const THidReportLayout Layout = ParseReportDescriptor(Keyboard);
  EXPECT_EQ(Layout.Error(), "");
  EXPECT_FALSE(Layout.UsesReportIds());
  EXPECT_EQ(Layout.ReportLength(In, 0), 9);
  EXPECT_EQ(Layout.ReportLength(Out, 0), 2);
}

TEST(HidReportDescriptor, PushPopAndLongItems) {
  const std::vector<uint8_t> Bytes = {
      0x85, 0x01, 0x75, 0x08, 0x95, 0x04,  // ID 1, 8 bits x 4
      0xA4,                                // Push
      0x75, 0x10,                          // 16 bits
      0x85, 0x02, 0x81, 0x00,              // ID 2 input: 4 x 16 bits
      0xB4,                                // Pop: back to ID 1, 8 bits
      0xFE, 0x02, 0x10, 0xAA, 0xBB,        // a long item, skipped
      0x81, 0x00,                          // ID 1 input: 4 x 8 bits
  };
  const THidReportLayout Layout = ParseReportDescriptor(Bytes);
  EXPECT_EQ(Layout.Error(), "");
  EXPECT_EQ(Layout.ReportLength(In, 2), 9);
  EXPECT_EQ(Layout.ReportLength(In, 1), 5);
}

TEST(HidReportDescriptor, BrokenDescriptorsNameTheByteAndKeepWhatCameBefore) {
  struct TCase {
    std::vector<uint8_t> Bytes;
    const char* Error;
  };
  const TCase Cases[] = {
      {{0x85, 0x01, 0x75, 0x08, 0x95, 0x02, 0x91, 0x00, 0x26, 0xFF},
       "report descriptor: item runs past the end at byte 8"},
      {{0x75, 0x08, 0xB4}, "report descriptor: Pop without Push at byte 2"},
      {{0xC0}, "report descriptor: End Collection without Collection at byte 0"},
      {{0x85, 0x00}, "report descriptor: report ID out of range 1..255 at byte 0"},
      {{0x86, 0x00, 0x01}, "report descriptor: report ID out of range 1..255 at byte 0"},
      {{0xFE, 0x05, 0x00, 0x01}, "report descriptor: long item runs past the end at byte 0"},
      {{0x75, 0x08, 0xFE}, "report descriptor: long item header runs past the end at byte 2"},
      {{0xA1, 0x01}, "report descriptor: Collection not closed at byte 2"},
      {{0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0x81, 0x00},
       "report descriptor: report longer than 16384 bytes at byte 10"},
  };
  for (const TCase& Case : Cases) {
    const THidReportLayout Layout = ParseReportDescriptor(Case.Bytes);
    EXPECT_EQ(Layout.Error(), Case.Error);
  }
  // The output report before the broken item is still known.
  EXPECT_EQ(ParseReportDescriptor(Cases[0].Bytes).ReportLength(Out, 1), 3);
}

TEST(HidReportDescriptor, EveryPrefixOfTheWiiRemoteDescriptorGivesOnlyTrueLengths) {
  const std::vector<uint8_t>& Full = WiimoteReportDescriptor();
  const THidReportLayout Whole = ParseReportDescriptor(Full);
  for (size_t Size = 0; Size <= Full.size(); ++Size) {
    const std::vector<uint8_t> Prefix(Full.begin(), Full.begin() + static_cast<std::ptrdiff_t>(Size));
    const THidReportLayout Part = ParseReportDescriptor(Prefix);
    for (int Id = 0; Id < 256; ++Id)
      for (THidReportKind Kind : {In, Out}) {
        const uint16_t Length = Part.ReportLength(Kind, static_cast<uint8_t>(Id));
        if (Length != 0) {
          EXPECT_EQ(Length, Whole.ReportLength(Kind, static_cast<uint8_t>(Id))) << Size << " " << Id;
        }
      }
  }
}

TEST(HidReportDescriptor, RandomAndMutatedBytesNeverReadOutOfBounds) {
  std::mt19937 Random(20240607);
  std::uniform_int_distribution<int> Byte(0, 255);
  const std::vector<uint8_t>& Real = WiimoteReportDescriptor();
  for (int Round = 0; Round < 3000; ++Round) {
    std::vector<uint8_t> Bytes;
    if (Round % 2 == 0) {
      Bytes.resize(static_cast<size_t>(Random() % 80));
      for (uint8_t& B : Bytes) B = static_cast<uint8_t>(Byte(Random));
    } else {
      Bytes = Real;
      for (int Flip = 0; Flip < 4; ++Flip)
        Bytes[Random() % Bytes.size()] = static_cast<uint8_t>(Byte(Random));
      Bytes.resize(Random() % (Bytes.size() + 1));
    }
    // Exactly sized, so that the sanitizers see any read past the end.
    const THidReportLayout Layout = ParseReportDescriptor(Bytes);
    EXPECT_LE(Layout.LargestReportLength(In), MaxReportBits / 8 + 1);
    EXPECT_LE(Layout.LargestReportLength(Out), MaxReportBits / 8 + 1);
  }
}

}  // namespace
