#include "wiimote/kernel_wiimote_link.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "wiimote/led_byte.h"
#include "wiimote/testing/fake_kernel_remotes.h"
#include "wiimote/testing/recording_host.h"
#include "wiimote/testing/test_main_loop.h"
#include "wiimote/wiimote_decoder.h"
#include "wiimote/wiimote_link.h"

namespace {

// Button edges go into the log too, so that their order against the loss shows.
struct TOrderedHost : TRecordingHost {
  void ButtonEdge(uint16_t Mask, int Kind, TButtonState& State) override {
    TRecordingHost::ButtonEdge(Mask, Kind, State);
    Log.push_back((Kind == 1 ? "down:" : "up:") + std::to_string(Mask));
  }
};

const std::string First = "/sys/devices/virtual/bluetooth/hci0/0005:057E:0306.0001";
const std::string Second = "/sys/devices/virtual/bluetooth/hci0/0005:057E:0330.0002";

class KernelWiimoteLink : public ::testing::Test {
 protected:
  TFakeClock Clock;
  TTestMainLoop Loop;
  TFakeKernelRemotes Remotes;
  TOrderedHost Host;
  TWiimote Record;
  std::unique_ptr<TKernelWiimoteLink> Link;

  void Start() {
    Link = std::make_unique<TKernelWiimoteLink>(Remotes, Loop, Host, Clock, Record);
    Loop.RunPending();
  }
  void Send(const TKernelRemoteEvent& Event, const std::string& Path = First) {
    Remotes.Push(Path, Event);
    Loop.RunPending();
  }
  void Changed(const std::string& Extension, bool NunchukDevice) {
    Remotes.At(First).Extension = Extension;
    Remotes.At(First).NunchukDevice = NunchukDevice;
    Send(KernelChanged());
  }
};

TEST_F(KernelWiimoteLink, ClaimsARemoteAsTheRawLinkDoes) {
  Start();
  EXPECT_EQ(Host.Caption, CaptionNotDetected);
  EXPECT_FALSE(Link->Connected());

  Host.Settings.EnableCursorAtStartup = false;
  Host.Log.clear();
  Remotes.Add(First);
  Loop.RunPending();
  ASSERT_TRUE(Link->Connected());
  EXPECT_EQ(Link->HeldPath(), First);
  EXPECT_TRUE(Remotes.At(First).Opened);
  const std::vector<std::string> Log = {"options:on",     "BatteryTimer:on", "DrawTimer:on",
                                        "RepeatTimer:on", "CursorTimer:on",  "caption:Form1"};
  EXPECT_EQ(Host.Log, Log);
  EXPECT_EQ(Link->LedByte(), -1) << "nothing is known of the LEDs until they are set";

  // The pointer's timer starts with the claim only when the settings ask for it.
  Remotes.Remove(First);
  Loop.RunPending();
  Host.Settings.EnableCursorAtStartup = true;
  Remotes.Add(First);
  Loop.RunPending();
  ASSERT_TRUE(Link->Connected()) << "a remote that comes back is claimed again";
  EXPECT_TRUE(Host.TimerRunning[static_cast<int>(TInputTimer::MotionTimer)]);
}

TEST_F(KernelWiimoteLink, ABalanceBoardOrAProControllerIsNeverClaimed) {
  Remotes.Add("/sys/board").DeviceType = KernelBalanceBoardType;
  Remotes.Add("/sys/pro").DeviceType = KernelProControllerType;
  Start();
  EXPECT_FALSE(Link->Connected());
  EXPECT_EQ(Host.Caption, CaptionNotDetected);
  EXPECT_FALSE(Remotes.At("/sys/board").Opened);

  Remotes.Add(First).DeviceType = "gen20";
  Loop.RunPending();
  EXPECT_EQ(Link->HeldPath(), First);
}

TEST_F(KernelWiimoteLink, DriverUnitsMapToTheRecordAtTheEndsOfEveryRange) {
  Remotes.Add(First);
  Start();

  // The accelerometer: the driver's 10-bit reading less 0x200, kept as its upper eight bits.
  Send(KernelAccel(-512, 0, 511));
  EXPECT_EQ(Record.AccelX, 0);
  EXPECT_EQ(Record.AccelY, 128);
  EXPECT_EQ(Record.AccelZ, 255);
  Send(KernelAccel(-600, 3, 600));  // past the ends: held at them
  EXPECT_EQ(Record.AccelX, 0);
  EXPECT_EQ(Record.AccelY, 128);
  EXPECT_EQ(Record.AccelZ, 255);

  // The camera: both dots seen at the corners, then the second lost (1023, 1023 is "not seen").
  Send(KernelIR(0, 0, 1022, 1022));
  EXPECT_EQ(Record.IRSize1, KernelSeenDotSize);
  EXPECT_EQ(Record.IRSize2, KernelSeenDotSize);
  EXPECT_EQ(Record.IRMidX, 511);
  EXPECT_EQ(Record.IRMidY, 511);
  EXPECT_EQ(Record.IRHalfDX, 511);
  EXPECT_TRUE(Record.IRDot2Right);
  Send(KernelIR(4, 6, 1023, 1023));
  EXPECT_EQ(Record.IRSize2, NoDotSize);
  EXPECT_EQ(Record.IRX2, 1023);
  EXPECT_EQ(Record.IRMidX, 4 + 511) << "the midpoint runs on from the one dot left";
  EXPECT_EQ(Record.IRMidY, 6 + 511);
  Send(KernelIR(1023, 1023, 1023, 0));
  EXPECT_EQ(Record.IRSize1, NoDotSize);
  EXPECT_EQ(Record.IRSize2, KernelSeenDotSize) << "one coordinate at 1023 is a dot at the edge";
  EXPECT_EQ(Record.IRMidX, 1023 - 511) << "and the midpoint runs on from it";
  EXPECT_EQ(Record.IRMidY, 0 - 511);

  // The Nunchuk: the stick's byte less 128 and its accelerometer as the remote's, each stored as the raw
  // path stores the plain byte.
  Changed(KernelNunchukExtension, true);
  Send(KernelNunchuk(-128, 127, -512, 0, 511));
  EXPECT_EQ(Record.NunchukStickX, DecodeNunchukValue(0));
  EXPECT_EQ(Record.NunchukStickY, DecodeNunchukValue(255));
  EXPECT_EQ(Record.NunchukAccelX, DecodeNunchukValue(0));
  EXPECT_EQ(Record.NunchukAccelY, DecodeNunchukValue(128));
  EXPECT_EQ(Record.NunchukAccelZ, DecodeNunchukValue(255));
  Send(KernelNunchuk(0, -200, 0, 0, 0));
  EXPECT_EQ(Record.NunchukStickX, DecodeNunchukValue(128));
  EXPECT_EQ(Record.NunchukStickY, DecodeNunchukValue(0));

  // The battery: the driver's percent back to the remote's byte.
  for (const auto& [Capacity, Byte] : {std::pair{0, 0}, {100, 255}, {75, 191}, {1, 3}}) {
    Remotes.At(First).Capacity = Capacity;
    Link->BatteryTimerTimer();
    EXPECT_EQ(Record.BatteryLevel, Byte) << Capacity << "%";
  }
  Remotes.At(First).Capacity.reset();
  Link->BatteryTimerTimer();
  EXPECT_EQ(Record.BatteryLevel, 3) << "an unreadable capacity leaves the last one";
  // A full remote (0xC8) shows 100 % through the driver as it does raw, and never more.
  for (const auto& [Capacity, Text] :
       {std::pair{77, "Bateria: 98%"}, {78, "Bateria: 100%"}, {100, "Bateria: 100%"}}) {
    Remotes.At(First).Capacity = Capacity;
    Link->BatteryTimerTimer();
    Link->ShowBattery();
    EXPECT_EQ(Host.BatteryText, Text) << Capacity << "%";
  }
}

TEST_F(KernelWiimoteLink, ButtonsGiveTheirEdgesOnce) {
  Remotes.Add(First);
  Start();
  Clock.Advance(250);
  Send(KernelButton(ButtonA, true));
  Send(KernelButton(ButtonA, true));  // the driver's auto-repeat
  Send(KernelButton(ButtonHome, true));
  Clock.Advance(40);
  Send(KernelButton(ButtonA, false));
  ASSERT_EQ(Host.Edges.size(), 3u);
  EXPECT_EQ(Host.Edges[0].Mask, WiimoteButtons[ButtonA].Mask);
  EXPECT_EQ(Host.Edges[0].Kind, 1);
  EXPECT_EQ(Host.Edges[1].Mask, WiimoteButtons[ButtonHome].Mask);
  EXPECT_EQ(Host.Edges[2].Mask, WiimoteButtons[ButtonA].Mask);
  EXPECT_EQ(Host.Edges[2].Kind, 2);
  EXPECT_EQ(Record.ButtonState[ButtonA].PressTime, Clock.Milliseconds() - 40);
  EXPECT_FALSE(Record.ButtonState[ButtonA].Down);
  EXPECT_TRUE(Record.ButtonState[ButtonHome].Down);
}

TEST_F(KernelWiimoteLink, TheNunchukIsFollowedAsItComesAndGoes) {
  Remotes.Add(First);
  Start();
  EXPECT_FALSE(Record.ExtensionConnected);

  // The attribute may say "nunchuk" before the driver has made its input device.
  Changed(KernelNunchukExtension, false);
  EXPECT_FALSE(Record.ExtensionConnected);
  Changed(KernelNunchukExtension, true);
  EXPECT_TRUE(Record.ExtensionConnected);
  EXPECT_TRUE(Remotes.At(First).NunchukOpen);

  Send(KernelButton(ButtonZ, true));
  Send(KernelButton(ButtonC, true));
  ASSERT_TRUE(Record.ButtonState[ButtonC].Down);
  Host.Edges.clear();
  Changed(KernelNoExtension, false);
  EXPECT_FALSE(Record.ExtensionConnected);
  EXPECT_FALSE(Remotes.At(First).NunchukOpen);
  ASSERT_EQ(Host.Edges.size(), 2u) << "C and Z held when it is pulled go up";
  EXPECT_EQ(Host.Edges[0].Mask, WiimoteButtons[ButtonZ].Mask);
  EXPECT_EQ(Host.Edges[1].Mask, WiimoteButtons[ButtonC].Mask);

  // Another extension is said once, not read.
  Changed("classic", false);
  Changed("classic", false);
  EXPECT_EQ(Host.StatusNotices, std::vector<std::string>{OtherExtensionNotice});
  EXPECT_FALSE(Record.ExtensionConnected);
}

TEST_F(KernelWiimoteLink, ARemoteLostMidGrabLetsGoAndTheNextOneIsTaken) {
  Remotes.Add(First);
  Remotes.Add(Second);
  Start();
  ASSERT_EQ(Link->HeldPath(), First);
  Send(KernelAccel(100, 100, 100), Second);
  EXPECT_EQ(Record.AccelX, 0) << "a second remote is not read while the first is held";

  Send(KernelButton(ButtonB, true));
  Host.Log.clear();
  Remotes.Remove(First);
  Loop.RunPending();
  const std::vector<std::string> Log = {"options:off",
                                        "BatteryTimer:off",
                                        "MotionTimer:off",
                                        "DrawTimer:off",
                                        "RepeatTimer:off",
                                        "CursorTimer:off",
                                        "up:" + std::to_string(WiimoteButtons[ButtonB].Mask),
                                        "lost",
                                        "options:on",
                                        "BatteryTimer:on",
                                        "DrawTimer:on",
                                        "RepeatTimer:on",
                                        "CursorTimer:on",
                                        "caption:Form1"};
  EXPECT_EQ(Host.Log, Log);
  EXPECT_EQ(Link->HeldPath(), Second);
  EXPECT_FALSE(Remotes.At(First).Opened);

  Remotes.Remove(Second);
  Loop.RunPending();
  EXPECT_FALSE(Link->Connected());
  EXPECT_EQ(Host.Caption, CaptionNotDetected);
}

TEST_F(KernelWiimoteLink, LedsAndRumbleGoThroughTheirOwnDevices) {
  Start();
  Link->SetLeds(LedsOneAndFour);
  EXPECT_EQ(Host.Caption, CaptionNotFound) << "no remote: only said";

  TFakeKernelRemote& Remote = Remotes.Add(First);
  Loop.RunPending();
  Link->SetLeds(0x91);
  EXPECT_EQ(Remote.Byte, 0x91);
  EXPECT_EQ(Remote.Calls,
            (std::vector<std::string>{"led1:on", "led2:off", "led3:off", "led4:on", "rumble:on"}));
  EXPECT_EQ(Link->LedByte(), 0x91);

  Remote.Calls.clear();
  Link->SetLedsIfChanged(0x90);
  Link->SetLedsIfChanged(0x90);
  EXPECT_EQ(Remote.Calls, std::vector<std::string>{"rumble:off"}) << "only what changed is written";
  Link->SetLedsIfChanged(0x21);
  EXPECT_EQ(Remote.Byte, 0x21);

  Link->IRResetButtonClick();
  EXPECT_EQ(Remote.Calls.back(), "ir:reopen");

  Link->Shutdown();
  EXPECT_EQ(Remote.Byte, LedsFourOnly) << "LED 4 only, the motor off";
  Send(KernelButton(ButtonA, true));
  EXPECT_FALSE(Record.ButtonState[ButtonA].Down) << "nothing is read after the shutdown";
}

// Event nodes the user may not read (no udev rule) are said to be so, not taken for an absent remote.
TEST_F(KernelWiimoteLink, ARemoteThatMayNotBeReadSaysWhy) {
  Remotes.Add(First).OpenError = EACCES;
  Start();
  EXPECT_FALSE(Link->Connected());
  ASSERT_EQ(Host.StatusNotices.size(), 1u);
  EXPECT_EQ(Host.StatusNotices[0].rfind(KernelPermissionNotice, 0), 0u) << Host.StatusNotices[0];
}

}  // namespace
