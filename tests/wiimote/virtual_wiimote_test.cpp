#include "wiimote/testing/virtual_wiimote.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <vector>

namespace {

using TBytes = std::vector<uint8_t>;

// One open of the virtual remote's node, written and read as the link does.
class VirtualWiimote : public ::testing::Test {
 protected:
  TVirtualWiimote Remote;
  TUniqueFd Fd;

  void Open() {
    int Error = 0;
    Fd = Remote.Connect(Error);
    ASSERT_TRUE(Fd.Valid()) << Error;
  }
  void Write(const TBytes& Report) {
    ASSERT_EQ(::write(Fd.Get(), Report.data(), Report.size()), static_cast<ssize_t>(Report.size()));
  }
  // The next input report with this ID; empty when none came within the bound.
  TBytes Next(uint8_t ReportID) {
    for (;;) {
      pollfd P{Fd.Get(), POLLIN, 0};
      if (::poll(&P, 1, 2000) <= 0) return {};
      TBytes Report(32);
      const ssize_t Got = ::read(Fd.Get(), Report.data(), Report.size());
      if (Got <= 0) return {};
      Report.resize(static_cast<size_t>(Got));
      if (Report[0] == ReportID) return Report;
    }
  }
  static TBytes RegisterWrite(uint32_t Address, uint8_t Size) {
    TBytes R(22, 0);
    R[0] = 0x16;
    R[1] = 0x04;
    R[2] = static_cast<uint8_t>(Address >> 16);
    R[3] = static_cast<uint8_t>(Address >> 8);
    R[4] = static_cast<uint8_t>(Address);
    R[5] = Size;
    return R;
  }
  static TBytes RegisterRead(uint32_t Address, uint8_t Size) {
    return {0x17,
            0x04,
            static_cast<uint8_t>(Address >> 16),
            static_cast<uint8_t>(Address >> 8),
            static_cast<uint8_t>(Address),
            0x00,
            Size};
  }
};

TEST_F(VirtualWiimote, RefusesWhatTheHardwareRefuses) {
  Open();
  const std::pair<TBytes, uint8_t> Writes[] = {{RegisterWrite(0xB00000, 17), 0x08},
                                               {RegisterWrite(0xB00000, 0), 0x08},
                                               {RegisterWrite(0xA400F0, 1), 0x07},
                                               {RegisterWrite(0xA600F0, 1), 0x07},
                                               {RegisterWrite(0xB00030, 1), 0x00}};
  for (const auto& [Report, Error] : Writes) {
    Write(Report);
    const TBytes Ack = Next(0x22);
    ASSERT_EQ(Ack.size(), 5u);
    EXPECT_EQ(Ack[3], 0x16);
    EXPECT_EQ(Ack[4], Error) << int(Report[2]) << " " << int(Report[5]);
  }
  EXPECT_EQ(Remote.Register(0xB00000), std::nullopt);
  EXPECT_EQ(Remote.Register(0xA400F0), std::nullopt);

  Write(RegisterRead(0xB00000, 0));
  EXPECT_EQ(Next(0x21).at(3) & 0x0F, 0x08);
  Write(RegisterRead(0xA600FA, 6));
  EXPECT_EQ(Next(0x21).at(3) & 0x0F, 0x07) << "no MotionPlus in an original remote";
  Remote.SetBuiltInMotionPlus(true);
  Write(RegisterRead(0xA600FA, 6));
  const TBytes Id = Next(0x21);
  ASSERT_EQ(Id.size(), 22u);
  EXPECT_EQ(TBytes(Id.begin() + 4, Id.begin() + 12), (TBytes{0x00, 0xFA, 0x00, 0x00, 0xA6, 0x20, 0x00, 0x05}))
      << "the same low address bits as the extension's id";
}

// Played with the kernel's driver: the first report written starts its plug-in sequence, whose reports
// clear the rumble, light LED 1 and set its own mode after each status report.
TEST_F(VirtualWiimote, PlaysTheKernelDriversTraffic) {
  Remote.PlayKernelDriver(true);
  Open();
  EXPECT_EQ(Remote.KernelDriverReportCount(), 0u) << "nothing before the program's first report";
  Write({0x10, 0x01});  // the rumble on
  ASSERT_FALSE(Next(0x20).empty()) << "its status request";
  for (int I = 0; I < 1000 && !Remote.KernelDriverIdle(); ++I) ::usleep(2000);
  ASSERT_TRUE(Remote.KernelDriverIdle());
  EXPECT_EQ(Remote.LedByte(), 0x10);
  EXPECT_EQ(Remote.ReportMode(), 0x30);
  EXPECT_FALSE(Remote.Rumble());
  // Its hot-plug probe: the extension (refused: none plugged), the MotionPlus (refused), both ids, status.
  EXPECT_GE(Remote.KernelDriverReportCount(), 9u);
  EXPECT_EQ(Remote.ReceivedCount(), 1u) << "its reports are not the program's";

  const size_t Before = Remote.KernelDriverReportCount();
  Remote.KernelDriverReadsBattery();
  ASSERT_FALSE(Next(0x20).empty());
  for (int I = 0; I < 1000 && !Remote.KernelDriverIdle(); ++I) ::usleep(2000);
  EXPECT_EQ(Remote.KernelDriverReportCount(), Before + 2) << "a status request, then its mode";
}

}  // namespace
