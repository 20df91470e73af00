#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <vector>

#include "wiimote/wiimote_decoder.h"

namespace {

struct TEdge {
  uint16_t Mask;
  int Kind;
  bool operator==(const TEdge&) const = default;
};

class WiimoteDecoder : public ::testing::Test {
 protected:
  TWiimote W;
  std::vector<TEdge> Edges;
  std::vector<TStatusFlags> Statuses;
  TWiimoteDecodeEvents Events;

  void SetUp() override {
    Events.ButtonEdge = [this](uint16_t Mask, int Kind, TButtonState&) { Edges.push_back({Mask, Kind}); };
    Events.Status = [this](const TStatusFlags& Flags) {
      Statuses.push_back(Flags);
      return true;
    };
    Events.Now = 5000;
  }
  // Data bytes after the report ID, exactly as many as given.
  void Parse(uint8_t Id, std::vector<uint8_t> Data) { ParseReport(W, Id, Data.data(), Data.size(), Events); }
  // A 0x33 or 0x37 report with these six IR bytes at data bytes 5..10, nothing else set.
  void ParseIR(uint8_t Id, std::initializer_list<uint8_t> IR) {
    std::vector<uint8_t> Data(Id == 0x33 ? 17 : 21, 0xFF);
    Data[0] = Data[1] = 0;
    std::copy(IR.begin(), IR.end(), Data.begin() + 5);
    Parse(Id, Data);
  }
};

TEST_F(WiimoteDecoder, TwoDotsThenOneLostThenBothLost) {
  ParseIR(0x33, {0x10, 0x20, 0x54, 0x30, 0x40, 0x96});
  EXPECT_EQ(W.IRX1, 0x110);
  EXPECT_EQ(W.IRY1, 0x120);
  EXPECT_EQ(W.IRSize1, 4);
  EXPECT_EQ(W.IRX2, 0x130);
  EXPECT_EQ(W.IRY2, 0x240);
  EXPECT_EQ(W.IRSize2, 6);
  EXPECT_EQ(W.IRMidX, 0x120);
  EXPECT_EQ(W.IRMidY, 0x1B0);
  EXPECT_EQ(W.IRHalfDX, 0x10);
  EXPECT_EQ(W.IRHalfDY, 0x90);
  EXPECT_TRUE(W.IRDot2Right);
  EXPECT_TRUE(W.IRDot2Below);

  ParseIR(0x33, {0xFF, 0xFF, 0xFF, 0x40, 0x50, 0x96});  // dot 1 lost, dot 2 at (0x140, 0x250)
  EXPECT_EQ(W.IRSize1, 15);
  EXPECT_EQ(W.IRMidX, 0x130);
  EXPECT_EQ(W.IRMidY, 0x1C0);
  EXPECT_EQ(W.IRHalfDX, 0x10) << "half distances come only from two seen dots";

  ParseIR(0x37, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});  // both lost: same positions in 0x37
  EXPECT_EQ(W.IRMidX, 0x130);
  EXPECT_EQ(W.IRMidY, 0x1C0);
  EXPECT_EQ(W.IRX2, 0x3FF) << "the raw dot fields are stored even when not seen";
}

TEST_F(WiimoteDecoder, OnlyDotOneSeenExtrapolatesTowardsWhereDotTwoWas) {
  ParseIR(0x37, {0x00, 0x00, 0x51, 0x40, 0x80, 0x02});  // dot 1 (0x100, 0x100); dot 2 (0x40, 0x80)
  EXPECT_FALSE(W.IRDot2Right);
  EXPECT_FALSE(W.IRDot2Below);
  EXPECT_EQ(W.IRHalfDX, 0x60);
  EXPECT_EQ(W.IRHalfDY, 0x40);
  ParseIR(0x37, {0x20, 0x00, 0x51, 0xFF, 0xFF, 0xFF});  // dot 1 moved to (0x120, 0x100), dot 2 lost
  EXPECT_EQ(W.IRMidX, 0x120 - 0x60);
  EXPECT_EQ(W.IRMidY, 0x100 - 0x40);
}

TEST_F(WiimoteDecoder, OddDistancesTruncateTowardZero) {
  ParseIR(0x33, {0x05, 0x05, 0x00, 0x00, 0x00, 0x00});  // dot 1 (5, 5) dot 2 (0, 0)
  EXPECT_EQ(W.IRHalfDX, 2);
  EXPECT_EQ(W.IRMidX, 2);
}

TEST_F(WiimoteDecoder, AccelerometerBytesAreStoredUnchanged) {
  Parse(0x31, {0x00, 0x00, 0x81, 0x7F, 0x99});
  EXPECT_EQ(W.AccelX, 0x81);
  EXPECT_EQ(W.AccelY, 0x7F);
  EXPECT_EQ(W.AccelZ, 0x99);
  Parse(0x31, {0x00, 0x00, 0x10});  // short: the missing bytes read as 0
  EXPECT_EQ(W.AccelY, 0);
  EXPECT_EQ(W.AccelZ, 0);
}

TEST_F(WiimoteDecoder, StatusReportSetsExtensionAndBatteryAfterItsSetUp) {
  bool ExtensionDuringSetUp = true;
  bool IsNunchuk = true;
  Events.Status = [&](const TStatusFlags& Flags) {
    Statuses.push_back(Flags);
    ExtensionDuringSetUp = W.ExtensionConnected;
    return IsNunchuk;
  };
  Parse(0x20, {0x00, 0x00, 0x92, 0x00, 0x00, 0x60});
  ASSERT_EQ(Statuses.size(), 1u);
  EXPECT_TRUE(Statuses[0].ExtensionPlugged);
  EXPECT_FALSE(Statuses[0].CameraOn);
  EXPECT_EQ(Statuses[0].Leds, 0x90);
  EXPECT_FALSE(ExtensionDuringSetUp);
  EXPECT_TRUE(W.ExtensionConnected);
  EXPECT_EQ(W.BatteryLevel, 0x60);
  Parse(0x20, {0x00, 0x00, 0xFD, 0x00, 0x00, 0xFF});  // every other status bit set, extension clear
  EXPECT_FALSE(Statuses[1].ExtensionPlugged);
  EXPECT_TRUE(Statuses[1].CameraOn);
  EXPECT_FALSE(W.ExtensionConnected);
  EXPECT_EQ(W.BatteryLevel, 0xFF);
  IsNunchuk = false;  // plugged, but not (yet) known to be a Nunchuk: its bytes are not decoded
  Parse(0x20, {0x00, 0x00, 0x02, 0x00, 0x00, 0xFF});
  EXPECT_FALSE(W.ExtensionConnected);
}

// The extension is initialised so that it sends its bytes unencoded; without its own calibration the
// values are read on the default one.
TEST_F(WiimoteDecoder, NunchukBytesAreDecodedOnlyWithAnExtension) {
  std::vector<uint8_t> Data(21, 0);
  Data[15] = 0x80;
  Data[16] = 0x2E;
  Data[17] = 0xFF;
  Data[18] = 0x17;
  Data[19] = 0xAE;
  Data[20] = 0x00;  // Z and C both pressed
  Parse(0x37, Data);
  EXPECT_EQ(W.NunchukStickX, 0) << "no extension: untouched";
  EXPECT_TRUE(Edges.empty());

  W.ExtensionConnected = true;
  Parse(0x37, Data);
  EXPECT_EQ(W.NunchukStickX, NunchukRest);
  EXPECT_EQ(W.NunchukStickY, 70);
  EXPECT_EQ(W.NunchukAccelX, NunchukHighest);
  EXPECT_EQ(W.NunchukAccelY, NunchukLowest);
  EXPECT_EQ(W.NunchukAccelZ, 286);
  EXPECT_EQ(Edges, (std::vector<TEdge>{{0x2000, 1}, {0x4000, 1}})) << "Z first, then C";
  EXPECT_TRUE(W.ButtonState[ButtonZ].Down);
  EXPECT_TRUE(W.ButtonState[ButtonC].Down);

  Edges.clear();
  Data[20] = 0x02;  // Z pressed, C released
  Parse(0x37, Data);
  EXPECT_EQ(Edges, (std::vector<TEdge>{{0x4000, 2}}));
}

// A stick pushed further reads further: fully left or down is far below the pointer's dead band (144),
// fully right or up as far above it (272), and at rest it sits in the band's middle.
TEST_F(WiimoteDecoder, NunchukScaleGrowsWithTheStickAndCentresItsRest) {
  EXPECT_EQ(DecodeNunchukValue(0), NunchukLowest);
  EXPECT_EQ(DecodeNunchukValue(22), NunchukLowest);
  EXPECT_EQ(DecodeNunchukValue(128), NunchukRest);
  EXPECT_EQ(DecodeNunchukValue(255), NunchukHighest);
  EXPECT_EQ(NunchukRest - NunchukLowest, NunchukHighest - NunchukRest) << "as fast either way";
  EXPECT_EQ((144 + 272) / 2, NunchukRest);
  for (int Plain = 1; Plain < 256; ++Plain) {
    const int32_t Before = DecodeNunchukValue(static_cast<uint8_t>(Plain - 1));
    const int32_t Now = DecodeNunchukValue(static_cast<uint8_t>(Plain));
    ASSERT_GE(Now, Before) << Plain;
    // Within the stick's travel every step counts.
    if (Plain > 32 && Plain <= 224) {
      ASSERT_GT(Now, Before) << Plain;
    }
  }
  EXPECT_LT(DecodeNunchukValue(32), 144);
  EXPECT_GT(DecodeNunchukValue(224), 272);
  EXPECT_GE(DecodeNunchukValue(128 - 30), 144) << "a small push stays in the band";
  EXPECT_LE(DecodeNunchukValue(128 + 30), 272);
}

// A block with this Nunchuk's ends and centres: stick X 40..200 around 110, stick Y 30..220 around 140,
// accelerometer zero 0x80, 0x82, 0x7E, one g 0xB3, 0xB4, 0xB0.
std::vector<uint8_t> CalibrationBlock() {
  std::vector<uint8_t> Block = {0x80, 0x82, 0x7E, 0x00, 0xB3, 0xB4, 0xB0, 0x00, 200, 40, 110, 220, 30, 140};
  unsigned Sum = 0;
  for (uint8_t B : Block) Sum += B;
  Block.push_back(static_cast<uint8_t>(Sum + 0x55));
  Block.push_back(static_cast<uint8_t>(Sum + 0xAA));
  return Block;
}

TEST_F(WiimoteDecoder, NunchukCalibrationPutsItsCentreAndEndsOnTheScale) {
  const std::vector<uint8_t> Block = CalibrationBlock();
  const std::optional<TNunchukCalibration> C = ParseNunchukCalibration(Block.data(), Block.size());
  ASSERT_TRUE(C.has_value());
  EXPECT_EQ(C->StickX.Min, 40);
  EXPECT_EQ(C->StickX.Centre, 110);
  EXPECT_EQ(C->StickY.Max, 220);
  EXPECT_EQ(C->AccelZero[2], 0x7E);
  EXPECT_EQ(C->AccelOneG[1], 0xB4);

  W.ExtensionConnected = true;
  Events.NunchukCalibration = &*C;
  std::vector<uint8_t> Data(21, 0xFF);
  auto Decode = [&](uint8_t X, uint8_t Y, uint8_t AX, uint8_t AY, uint8_t AZ) {
    Data[15] = X, Data[16] = Y, Data[17] = AX, Data[18] = AY, Data[19] = AZ;
    Parse(0x37, Data);
  };
  Decode(110, 140, 0x80, 0x82, 0x7E);
  EXPECT_EQ(W.NunchukStickX, NunchukRest) << "this stick's own centre";
  EXPECT_EQ(W.NunchukStickY, NunchukRest);
  EXPECT_EQ(W.NunchukAccelX, NunchukRest);
  EXPECT_EQ(W.NunchukAccelY, NunchukRest);
  EXPECT_EQ(W.NunchukAccelZ, NunchukRest);
  Decode(40, 220, 0x80 + 2 * 0x33, 0x82 - 2 * 0x32, 0xB0);
  EXPECT_EQ(W.NunchukStickX, NunchukLowest);
  EXPECT_EQ(W.NunchukStickY, NunchukHighest);
  EXPECT_EQ(W.NunchukAccelX, NunchukHighest) << "two g";
  EXPECT_EQ(W.NunchukAccelY, NunchukLowest);
  EXPECT_EQ(W.NunchukAccelZ, (NunchukRest + NunchukHighest) / 2) << "one g";
  Decode(75, 180, 0, 0, 0xFF);
  EXPECT_EQ(W.NunchukStickX, (NunchukLowest + NunchukRest + 1) / 2) << "half way left";
  EXPECT_EQ(W.NunchukStickY, (NunchukRest + NunchukHighest + 1) / 2) << "half way up";
  EXPECT_EQ(W.NunchukAccelZ, NunchukHighest);

  // Zeros, 0xFF (third-party Nunchuks), a wrong check byte, a short block, ends the wrong way round.
  std::vector<std::vector<uint8_t>> Bad(2);
  Bad[0].assign(16, 0x00);
  Bad[1].assign(16, 0xFF);
  Bad.push_back(Block);
  Bad.back()[15] ^= 1;
  Bad.push_back(std::vector<uint8_t>(Block.begin(), Block.end() - 1));
  std::vector<uint8_t> Swapped = Block;
  std::swap(Swapped[8], Swapped[9]);  // max below min, the sum unchanged
  Bad.push_back(Swapped);
  std::vector<uint8_t> Flat = Block;
  std::swap(Flat[0], Flat[4]);  // one g below zero
  Bad.push_back(Flat);
  for (const std::vector<uint8_t>& B : Bad)
    EXPECT_FALSE(ParseNunchukCalibration(B.data(), B.size()).has_value())
        << B.size() << " " << static_cast<int>(B[0]);
  EXPECT_FALSE(ParseNunchukCalibration(nullptr, 16).has_value());
}

TEST_F(WiimoteDecoder, HeldButtonGivesOnePressAndOneRelease) {
  Events.Now = 1234;
  Parse(0x30, {0x00, 0x08});
  Events.Now = 1300;
  Parse(0x30, {0x00, 0x08});
  Parse(0x31, {0x00, 0x08, 0x80, 0x80, 0x80});
  EXPECT_EQ(Edges, (std::vector<TEdge>{{0x0008, 1}}));
  EXPECT_TRUE(W.ButtonState[ButtonA].Down);
  EXPECT_EQ(W.ButtonState[ButtonA].PressTime, 1234u);
  Parse(0x30, {0x00, 0x00});
  EXPECT_EQ(Edges, (std::vector<TEdge>{{0x0008, 1}, {0x0008, 2}}));
  EXPECT_FALSE(W.ButtonState[ButtonA].Down);
  EXPECT_EQ(W.ButtonState[ButtonA].PressTime, 1234u) << "a release keeps the press time";
}

TEST_F(WiimoteDecoder, CoreButtonsGoOutInTheirOrderAndOtherBitsAreIgnored) {
  Parse(0x22, {0xFF, 0xFF, 0x16, 0x00});  // any report carries the buttons; 0x22 nothing else
  const std::vector<TEdge> Expected = {{0x0800, 1}, {0x0400, 1}, {0x0200, 1}, {0x0100, 1},
                                       {0x0080, 1}, {0x0010, 1}, {0x1000, 1}, {0x0008, 1},
                                       {0x0004, 1}, {0x0002, 1}, {0x0001, 1}};
  EXPECT_EQ(Edges, Expected);
  EXPECT_FALSE(W.ButtonState[ButtonC].Down) << "0x4000 of the core word is not C";
  EXPECT_FALSE(W.ButtonState[ButtonZ].Down);
  EXPECT_EQ(W.AccelX, 0);
}

TEST_F(WiimoteDecoder, RandomReportsKeepEveryFieldInItsRange) {
  std::mt19937 Random(77);
  const uint8_t Ids[] = {0x20, 0x22, 0x30, 0x31, 0x33, 0x37, 0x3D, 0x00, 0xFF};
  int Balance[WiimoteButtonCount] = {};
  Events.ButtonEdge = [&](uint16_t Mask, int Kind, TButtonState& State) {
    EXPECT_EQ(State.Down, Kind == 1);
    for (int I = 0; I < WiimoteButtonCount; ++I)
      if (WiimoteButtons[I].Mask == Mask) Balance[I] += Kind == 1 ? 1 : -1;
  };
  for (int Round = 0; Round < 20000; ++Round) {
    std::vector<uint8_t> Data(Random() % 26);
    for (uint8_t& B : Data) B = static_cast<uint8_t>(Random());
    // Exactly sized, so that the sanitizers see any read past the end; sometimes no buffer at all.
    const uint8_t* Bytes = Round % 97 == 0 ? nullptr : Data.data();
    ParseReport(W, Ids[Random() % std::size(Ids)], Bytes, Data.size(), Events);
    ASSERT_GE(W.IRSize1, 0);
    ASSERT_LE(W.IRSize1, 15);
    ASSERT_LE(W.IRX1, 1023);
    ASSERT_LE(W.IRY2, 1023);
    ASSERT_GE(W.IRHalfDX, 0);
    ASSERT_GE(W.IRHalfDY, 0);
    ASSERT_LE(W.BatteryLevel, 255);
    if (W.NunchukStickX != 0) {
      ASSERT_GE(W.NunchukStickX, NunchukLowest);
      ASSERT_LE(W.NunchukStickX, NunchukHighest);
    }
  }
  for (int I = 0; I < WiimoteButtonCount; ++I)
    EXPECT_EQ(Balance[I], W.ButtonState[I].Down ? 1 : 0) << "edges alternate for " << WiimoteButtons[I].Key;
}

}  // namespace
