#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <numeric>
#include <system_error>
#include <thread>

#include "support/wiimote_rig.h"
#include "wiimote/battery.h"
#include "wiimote/testing/recording_host.h"
#include "wiimote/wiimote_link.h"

namespace {

using TBytes = std::vector<uint8_t>;

TBytes RegisterWrite(uint8_t A2, uint8_t A1, uint8_t A0, uint8_t Data) {
  TBytes R(22, 0);
  R[0] = 0x16;
  R[1] = 0x04;
  R[2] = A2;
  R[3] = A1;
  R[4] = A0;
  R[5] = 0x01;
  R[6] = Data;
  return R;
}

TBytes RegisterBlock(uint8_t A2, uint8_t A1, uint8_t A0, const TBytes& Data) {
  TBytes R = RegisterWrite(A2, A1, A0, 0);
  R[5] = static_cast<uint8_t>(Data.size());
  std::copy(Data.begin(), Data.end(), R.begin() + 6);
  return R;
}

// The camera's documented sequence, each step acknowledged, then the data report mode.
const std::vector<TBytes> IRSetUp = {
    {0x13, 0x06},
    {0x1A, 0x06},
    RegisterWrite(0xB0, 0x00, 0x30, 0x01),
    RegisterBlock(0xB0, 0x00, 0x00, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x90, 0x00, 0xC0}),
    RegisterBlock(0xB0, 0x00, 0x1A, {0x40, 0x00}),
    RegisterWrite(0xB0, 0x00, 0x33, 0x33),
    RegisterWrite(0xB0, 0x00, 0x30, 0x08),
    {0x12, 0x00, 0x33},
};
// Initialisation, then the six id bytes at 0xA400FA.
const std::vector<TBytes> ExtensionSetUp = {RegisterWrite(0xA4, 0x00, 0xF0, 0x55),
                                            RegisterWrite(0xA4, 0x00, 0xFB, 0x00),
                                            {0x17, 0x04, 0xA4, 0x00, 0xFA, 0x00, 0x06}};

size_t CountOf(const std::vector<TBytes>& All, const TBytes& One) {
  return static_cast<size_t>(std::count(All.begin(), All.end(), One));
}

std::string ErrorCaption(int Code) {
  return "Erro(" + std::to_string(Code) + "):" + std::system_category().message(Code);
}

class WiimoteLink : public ::testing::Test {
 protected:
  TControllerRig Rig;  // its clock stamps what the remotes take in
  TVirtualWiimote Remote{[this] { return Rig.Clock.Milliseconds(); }};
  TVirtualWiimote Other{[this] { return Rig.Clock.Milliseconds(); }};
  TRecordingHost Host;
  std::unique_ptr<TWiimoteLink> Link;
  std::string RemotePath;

  ~WiimoteLink() override {
    Link.reset();
    Rig.HIDCtl.reset();
  }

  // The window's start-up: controller, link, then the first turn of the main loop.
  void Start(bool PlugRemote = true) {
    if (PlugRemote) RemotePath = Rig.Platform.Plug(Remote);
    Rig.Create();
    Link = std::make_unique<TWiimoteLink>(*Rig.HIDCtl, Host, Rig.Clock);
    Rig.Loop.RunPending();
  }
  std::vector<TBytes> ReceivedBytes(const TVirtualWiimote& R) const {
    std::vector<TBytes> All;
    for (const auto& Entry : R.Received()) All.push_back(Entry.Bytes);
    return All;
  }
  // The reports taken in, once the remote has taken in Count of them; the main loop runs meanwhile, so
  // that acknowledgements let the set-up go on.
  std::vector<TBytes> WaitFor(TVirtualWiimote& R, size_t Count) {
    EXPECT_TRUE(RunUntil([&] { return R.ReceivedCount() >= Count; }));
    return ReceivedBytes(R);
  }
  bool RunUntil(const std::function<bool()>& Done,
                std::chrono::milliseconds Bound = std::chrono::milliseconds(10000)) {
    return Rig.Loop.RunUntil(Done, Bound);
  }
  // Lets the connect sequence's status reply be handled and forgets everything the remote took in so far.
  void Settle() {
    ASSERT_TRUE(RunUntil([&] { return W().BatteryLevel != 0 && !Link->SetUpPending(); }));
    Remote.Drain();
    Remote.ClearReceived();
  }
  // The remote switched off and gone from the system, as the main window notices it.
  void PullRemote() {
    Remote.SwitchOff();
    Rig.Platform.Unplug(RemotePath);
    Rig.Notice();
  }
  const TWiimote& W() const { return Link->Wiimote(); }
};

// A real remote acknowledges each register write and loses one that comes before the previous
// acknowledgement: the set-up goes one write at a time, and nothing waits on the main thread meanwhile.
TEST_F(WiimoteLink, ConnectSequenceSendsEachRegisterWriteAfterThePreviousAcknowledgement) {
  Remote.SetLoseEarlyWrites(true);
  Remote.SetAckDelay(std::chrono::milliseconds(20));
  const uint32_t Start0 = Rig.Clock.Milliseconds();
  Start();
  ASSERT_NE(Link->WiiDevice(), nullptr);
  EXPECT_EQ(Rig.Clock.Milliseconds(), Start0) << "the start-up did not wait";
  Remote.Drain();
  EXPECT_EQ(Remote.ReceivedCount(), 1u) << "the first enable waits for its acknowledgement";

  std::vector<TBytes> Expected = IRSetUp;
  Expected.push_back({0x15, 0x00});
  const std::vector<TBytes> Got = WaitFor(Remote, Expected.size());
  EXPECT_EQ(std::vector<TBytes>(Got.begin(), Got.begin() + Expected.size()), Expected);
  for (const auto& Entry : Remote.Received()) {
    EXPECT_FALSE(Entry.Rejected) << int(Entry.Bytes[0]);
    EXPECT_FALSE(Entry.Lost) << int(Entry.Bytes[4]);
  }
  const std::vector<std::string> Log = {"options:on",     "BatteryTimer:on", "DrawTimer:on",
                                        "RepeatTimer:on", "CursorTimer:on",  "caption:Form1"};
  EXPECT_EQ(Host.Log, Log);
  ASSERT_TRUE(RunUntil([&] { return !Link->SetUpPending() && W().BatteryLevel != 0; }));
  EXPECT_TRUE(Remote.CameraEnabled());
  EXPECT_EQ(Remote.Register(0xB00006), 0x90);
  EXPECT_EQ(Remote.Register(0xB00008), 0xC0);
  EXPECT_EQ(Remote.Register(0xB0001A), 0x40);
  EXPECT_EQ(Remote.Register(0xB00033), 0x33);
  EXPECT_EQ(Remote.Register(0xB00030), 0x08);
}

// A step whose acknowledgement never comes is sent again after its time-out, and after its last try the
// status bar says which one failed and the set-up goes on.
TEST_F(WiimoteLink, AStepWithoutItsAcknowledgementIsSentAgainThenReported) {
  Remote.SetAckDelay(std::nullopt);
  Start();
  Remote.Drain();
  ASSERT_EQ(Remote.ReceivedCount(), 1u);
  Rig.Clock.Advance(RegisterWriteAckTimeoutMs - 1);
  Link->Tick();
  Remote.Drain();
  EXPECT_EQ(Remote.ReceivedCount(), 1u);
  for (int Try = 2; Try <= SetUpTries; ++Try) {
    Rig.Clock.Advance(RegisterWriteAckTimeoutMs);
    Link->Tick();
    Remote.Drain();
    EXPECT_EQ(ReceivedBytes(Remote), std::vector<TBytes>(Try, IRSetUp[0]));
  }
  EXPECT_TRUE(Host.StatusNotices.empty());
  Rig.Clock.Advance(RegisterWriteAckTimeoutMs);
  Link->Tick();
  Remote.Drain();
  EXPECT_EQ(ReceivedBytes(Remote).back(), IRSetUp[1]);
  ASSERT_EQ(Host.StatusNotices.size(), 1u);
  EXPECT_NE(Host.StatusNotices[0].find("0x13"), std::string::npos) << Host.StatusNotices[0];
}

// The kernel's driver writes registers of its own; an acknowledgement of another report than the one
// waiting is not taken for it, and one that carries an error code makes the step go again.
TEST_F(WiimoteLink, AcknowledgementsAreMatchedAndErrorCodesRetried) {
  Remote.SetAckDelay(std::nullopt);
  Start();
  Remote.KernelRegisterWrite();  // a 0x22 for 0x16 while our 0x13 waits
  Rig.Loop.RunUntil([] { return false; }, std::chrono::milliseconds(50));
  Remote.Drain();
  EXPECT_EQ(Remote.ReceivedCount(), 1u) << "a stray acknowledgement moved the set-up on";

  // Acknowledgements late by a varying delay, writes lost when they come too fast or taken in late, two
  // errors.
  Remote.SetAckDelayRange(std::chrono::milliseconds(1), std::chrono::milliseconds(25));
  Remote.SetLoseEarlyWrites(true);
  Remote.SetDeliveryDelay(std::chrono::milliseconds(4));  // taken in late, never refused
  Remote.FailRegisterWrites(2, 0x04);
  Rig.Clock.Advance(RegisterWriteAckTimeoutMs);
  Link->Tick();
  ASSERT_TRUE(RunUntil([&] { return !Link->SetUpPending() && W().BatteryLevel != 0; }));
  EXPECT_TRUE(Remote.CameraEnabled());
  EXPECT_EQ(Remote.Register(0xB00008), 0xC0);
  EXPECT_TRUE(Host.StatusNotices.empty());
  const std::vector<TBytes> Got = ReceivedBytes(Remote);
  EXPECT_EQ(CountOf(Got, IRSetUp[2]), 3u) << "the first write failed twice, then went through";

  // An error on every try is said once in the status bar, with its code.
  Remote.FailRegisterWrites(SetUpTries, 0x04);
  Link->IRResetButtonClick();
  ASSERT_TRUE(RunUntil([&] { return !Link->SetUpPending(); }));
  ASSERT_EQ(Host.StatusNotices.size(), 1u);
  EXPECT_NE(Host.StatusNotices[0].find("erro 4"), std::string::npos) << Host.StatusNotices[0];
}

TEST_F(WiimoteLink, ConnectSequenceWithNunchukSettingAndCursorAtStartup) {
  Host.Settings.UseNunchuk = true;
  Host.Settings.EnableCursorAtStartup = true;
  Start();
  // The camera as always, then the mode with the extension's bytes, and the status request.
  std::vector<TBytes> Expected = IRSetUp;
  Expected.back() = {0x12, 0x00, 0x37};
  Expected.push_back({0x15, 0x00});
  const std::vector<TBytes> All = WaitFor(Remote, Expected.size());
  EXPECT_EQ(std::vector<TBytes>(All.begin(), All.begin() + Expected.size()), Expected);
  EXPECT_EQ(Host.Log[1], "BatteryTimer:on");
  EXPECT_EQ(Host.Log[2], "MotionTimer:on");
  EXPECT_EQ(Host.Log[3], "DrawTimer:on");
}

// The camera is set up once; every status reply only sets the data mode again (which also puts the rumble
// back), so the camera never drops its points for a set-up it did not need.
TEST_F(WiimoteLink, StatusRepliesSetTheModeAgainButTheCameraOnlyWhenItIsOff) {
  Remote.SetBattery(0x64);
  Start();
  Settle();
  for (int Second = 0; Second < 3; ++Second) Link->BatteryTimerTimer();
  std::vector<TBytes> Got = WaitFor(Remote, 6);
  ASSERT_TRUE(RunUntil([&] { return !Link->SetUpPending(); }));
  Remote.Drain();
  EXPECT_EQ(CountOf(Got, {0x15, 0x00}), 3u);
  EXPECT_EQ(CountOf(Got, {0x12, 0x00, 0x33}), 3u);
  EXPECT_EQ(Remote.ReceivedCount(), 6u) << "nothing else: no camera set-up";
  Link->ShowBattery();
  EXPECT_EQ(Host.BatteryText, "Bateria: 50%");

  // The camera switched off behind the link's back: the next status report shows it, and it is set up.
  Remote.ClearReceived();
  TOutputReport Off = MakeIRCameraEnableReport(0x13);
  Off.Bytes[1] = 0x00;
  Link->SendReport(Off);
  Remote.Drain();
  ASSERT_FALSE(Remote.CameraEnabled());
  Link->BatteryTimerTimer();
  ASSERT_TRUE(RunUntil([&] { return Remote.CameraEnabled() && !Link->SetUpPending(); }));
  // The modes that answer status reports may come between the steps; the steps keep their order.
  Got = ReceivedBytes(Remote);
  std::erase(Got, TBytes{0x12, 0x00, 0x33});
  EXPECT_EQ(std::vector<TBytes>(Got.begin() + 2, Got.end()),
            std::vector<TBytes>(IRSetUp.begin(), IRSetUp.end() - 1));
}

// Only an extension whose id says Nunchuk is decoded; any other is named once and ignored, so that a
// Classic Controller at rest does not read as a pushed stick.
TEST_F(WiimoteLink, ExtensionsAreIdentifiedAndOnlyANunchukIsDecoded) {
  Host.Settings.UseNunchuk = true;
  Start();
  Settle();
  Remote.PlugExtension(true);
  ASSERT_TRUE(RunUntil([&] { return W().ExtensionConnected; }));
  Remote.Drain();
  const std::vector<TBytes> Got = ReceivedBytes(Remote);
  EXPECT_EQ(std::vector<TBytes>(Got.begin(), Got.begin() + 2),
            (std::vector<TBytes>{ExtensionSetUp[0], {0x12, 0x00, 0x37}}));
  EXPECT_EQ(std::vector<TBytes>(Got.begin() + 2, Got.begin() + 4),
            (std::vector<TBytes>{ExtensionSetUp[1], ExtensionSetUp[2]}));
  EXPECT_TRUE(Remote.ExtensionInitialised());
  Remote.SetNunchuk(0x80, 0x17, 0x90, 0x91, 0x92, true, false);
  ASSERT_TRUE(RunUntil([&] {
    Remote.SendDataReport();
    return W().NunchukStickX != 0;
  }));
  EXPECT_EQ(W().NunchukStickX, NunchukRest);
  EXPECT_EQ(W().NunchukStickY, NunchukLowest);
  EXPECT_TRUE(W().ButtonState[ButtonC].Down);
  EXPECT_FALSE(W().ButtonState[ButtonZ].Down);
  EXPECT_TRUE(Host.StatusNotices.empty());

  for (auto Kind :
       {TVirtualWiimote::TExtensionKind::ClassicController, TVirtualWiimote::TExtensionKind::MotionPlus}) {
    Remote.PlugExtension(false);
    ASSERT_TRUE(RunUntil([&] { return !W().ExtensionConnected; }));
    const size_t Notices = Host.StatusNotices.size();
    Link->Wiimote().NunchukStickX = 0;  // a stick value from now on could only come from this extension
    Remote.PlugExtension(true, Kind);
    ASSERT_TRUE(RunUntil([&] { return Host.StatusNotices.size() > Notices && !Link->SetUpPending(); }));
    EXPECT_EQ(Host.StatusNotices.back(), OtherExtensionNotice);
    for (int I = 0; I < 5; ++I) Remote.SendDataReport();
    Link->BatteryTimerTimer();
    ASSERT_TRUE(RunUntil([&] { return Remote.ReceivedCount() > 0 && !Link->SetUpPending(); }));
    Rig.Loop.RunUntil([] { return false; }, std::chrono::milliseconds(30));
    EXPECT_FALSE(W().ExtensionConnected);
    EXPECT_EQ(W().NunchukStickX, 0) << "never decoded as a stick";
    EXPECT_EQ(Host.StatusNotices.size(), Notices + 1) << "said once per plug";
  }
}

// A third-party Nunchuk ignores the initialisation that leaves the bytes encoded; the one the link sends
// works on it and gives the values an official one gives.
TEST_F(WiimoteLink, AThirdPartyNunchukGivesTheValuesOfAnOfficialOne) {
  Host.Settings.UseNunchuk = true;
  Remote.SetThirdPartyExtension(true);
  Remote.PlugExtension(true);
  Start();
  Settle();
  ASSERT_TRUE(W().ExtensionConnected);
  EXPECT_TRUE(Remote.ExtensionInitialised());
  Remote.SetNunchuk(0x80, 0x17, 0xFF, 0x2E, 0xAE, false, true);
  ASSERT_TRUE(Remote.SendDataReport());
  ASSERT_TRUE(RunUntil([&] { return W().NunchukStickX != 0; }));
  EXPECT_EQ(W().NunchukStickX, NunchukRest);
  EXPECT_EQ(W().NunchukStickY, NunchukLowest);
  EXPECT_EQ(W().NunchukAccelX, NunchukHighest);
  EXPECT_EQ(W().NunchukAccelY, 70);
  EXPECT_EQ(W().NunchukAccelZ, 286);
  EXPECT_TRUE(W().ButtonState[ButtonZ].Down);
  EXPECT_FALSE(W().ButtonState[ButtonC].Down);
}

// A Nunchuk whose calibration block says: accelerometer zero 0x7A 0x7C 0x80, one g 0xB0 0xB2 0xB4, stick X
// 0xE0/0x20/0x70 and Y 0xD0/0x30/0x84 (max, min, centre); Spoil breaks its check bytes. Its stick is then
// read at its own centre, its accelerometer at its own zero.
class NunchukCalibration : public WiimoteLink {
 protected:
  void ReadAtItsCentre(bool Spoil) {
    std::vector<uint8_t> Block = {0x7A, 0x7C, 0x80, 0,    0xB0, 0xB2, 0xB4,
                                  0,    0xE0, 0x20, 0x70, 0xD0, 0x30, 0x84};
    const unsigned Sum = std::accumulate(Block.begin(), Block.end(), 0u);
    Block.push_back(static_cast<uint8_t>(Sum + 0x55));
    Block.push_back(static_cast<uint8_t>(Sum + (Spoil ? 0xAB : 0xAA)));
    Remote.SetMemory(NunchukCalibrationRegister, Block);
    Host.Settings.UseNunchuk = true;
    Remote.PlugExtension(true);
    Start();
    Settle();
    ASSERT_TRUE(W().ExtensionConnected);
    Remote.SetNunchuk(0x70, 0x84, 0x7A, 0xB2, 0x80, false, false);
    ASSERT_TRUE(Remote.SendDataReport());
    ASSERT_TRUE(RunUntil([&] { return W().NunchukStickX != 0; }));
  }
};

TEST_F(NunchukCalibration, ItsOwnBlockPutsItsCentreAtTheRest) {
  ReadAtItsCentre(false);
  EXPECT_EQ(W().NunchukStickX, NunchukRest);
  EXPECT_EQ(W().NunchukStickY, NunchukRest);
  EXPECT_EQ(W().NunchukAccelX, NunchukRest);
  EXPECT_EQ(W().NunchukAccelZ, NunchukRest);
  EXPECT_GT(W().NunchukAccelY, NunchukRest) << "one g reads above the rest";
}

TEST_F(NunchukCalibration, ABlockThatFailsItsCheckLeavesTheNominalOne) {
  ReadAtItsCentre(true);
  EXPECT_EQ(W().NunchukStickX, DecodeNunchukValue(0x70));
  EXPECT_NE(W().NunchukStickX, NunchukRest);
}

TEST_F(WiimoteLink, AnUnrequestedStatusPausesDataUntilTheSetUpSetsTheModeAgain) {
  Start();
  Settle();
  Remote.PlugExtension(true);
  EXPECT_FALSE(Remote.SendDataReport());
  ASSERT_TRUE(RunUntil([&] { return W().ExtensionConnected; }));
  Remote.Drain();
  Remote.SetIRDot(0, 0x110, 0x120, 4);
  Remote.SetIRDot(1, 0x130, 0x240, 6);
  Remote.SetAccel(0x81, 0x82, 0x83);
  // The camera may still be blank for a moment after its set-up.
  ASSERT_TRUE(RunUntil([&] {
    Remote.SendDataReport();
    return W().AccelZ == 0x83 && W().IRMidX != 0;
  }));
  EXPECT_EQ(W().IRMidX, 0x120);
  EXPECT_EQ(W().IRMidY, 0x1B0);
}

TEST_F(WiimoteLink, UnplugStopsEverythingAndReplugClaimsAgain) {
  Start();
  Remote.SetButtons(0x0008);
  ASSERT_TRUE(Remote.SendDataReport());
  ASSERT_TRUE(RunUntil([&] { return W().ButtonState[ButtonA].Down; }));
  Host.Log.clear();

  PullRemote();
  const std::vector<std::string> Log = {"options:off",
                                        "BatteryTimer:off",
                                        "MotionTimer:off",
                                        "DrawTimer:off",
                                        "RepeatTimer:off",
                                        "CursorTimer:off",
                                        "lost",
                                        "caption:Wii Remote não detectado"};
  EXPECT_EQ(Host.Log, Log);
  EXPECT_EQ(Link->WiiDevice(), nullptr);
  EXPECT_TRUE(Rig.HIDCtl->DeviceList().empty());
  EXPECT_FALSE(W().ButtonState[ButtonA].Down) << "a button no report will ever release is let go";

  // Writing with no remote only says so.
  Remote.ClearReceived();
  Link->SetupIRCamera();
  EXPECT_EQ(Host.Caption, "Wii Remote não encontrado");

  Remote.SwitchOn();
  Remote.SetButtons(0);
  Host.Log.clear();
  RemotePath = Rig.Platform.Plug(Remote);
  Rig.Notice();
  ASSERT_NE(Link->WiiDevice(), nullptr);
  EXPECT_EQ(Host.Caption, "Form1");
  EXPECT_EQ(Host.Log.front(), "options:on");
  EXPECT_EQ(WaitFor(Remote, IRSetUp.size() + 1).front(), IRSetUp.front()) << "the camera is set up again";
  ASSERT_TRUE(RunUntil([&] { return !W().ButtonState[ButtonA].Down; }));
  EXPECT_EQ(Host.Edges.back().Mask, 0x0008);
  EXPECT_EQ(Host.Edges.back().Kind, 2);
}

TEST_F(WiimoteLink, RemoteLostWhileAReportWaitsForTheMainThread) {
  Start();
  Settle();
  const uint8_t AccelBefore = W().AccelX;
  Remote.SendRaw({0x31, 0x00, 0x00, 0x55, 0x55, 0x55});
  PullRemote();  // released before the main loop read the report
  EXPECT_EQ(Link->WiiDevice(), nullptr);
  Rig.Loop.RunPending();
  EXPECT_EQ(W().AccelX, AccelBefore);
}

TEST_F(WiimoteLink, ClaimsTheOriginalModelFirstThenTheLaterOne) {
  const std::string Later = Rig.Platform.Plug(Other, 0x0330);
  Start();
  ASSERT_NE(Link->WiiDevice(), nullptr);
  EXPECT_EQ(Link->WiiDevice()->InterfaceInfo().InstanceHandle, RemotePath);

  // Only the later model present: it is claimed.
  PullRemote();
  ASSERT_NE(Link->WiiDevice(), nullptr);
  EXPECT_EQ(Link->WiiDevice()->InterfaceInfo().InstanceHandle, Later);
  EXPECT_EQ(Host.Caption, "Form1");
  EXPECT_EQ(WaitFor(Other, IRSetUp.size() + 1)[IRSetUp.size()], (TBytes{0x15, 0x00}));
}

TEST_F(WiimoteLink, ASecondRemoteIsNeverClaimedWhileOneIsHeld) {
  Start();
  TJvHidDevice* const Held = Link->WiiDevice();
  Host.Log.clear();
  Rig.Platform.Plug(Other);
  Rig.Notice();
  EXPECT_EQ(Link->WiiDevice(), Held);
  EXPECT_EQ(Host.Log, std::vector<std::string>{"caption:Form1"});
  EXPECT_EQ(Other.ReceivedCount(), 0u);
}

TEST_F(WiimoteLink, EachReportGoesOutAtItsOwnLengthZeroFilled) {
  Start();
  ASSERT_EQ(Link->WiiDevice()->QueryCaps().OutputReportByteLength, 22) << "the largest stays 22";
  Settle();
  Link->SetLeds(0x90);
  Link->SetReportMode(0x30);
  Link->IRResetButtonClick();
  ASSERT_TRUE(RunUntil([&] { return !Link->SetUpPending(); }));
  Link->RequestStatus();
  const std::vector<TBytes> Got = WaitFor(Remote, 11);
  EXPECT_EQ(Got[0], (TBytes{0x11, 0x90}));
  EXPECT_EQ(Got[1], (TBytes{0x12, 0x00, 0x30}));
  EXPECT_EQ(Got[2], (TBytes{0x13, 0x06}));
  EXPECT_EQ(Got[5].size(), 22u) << "a block of nine bytes in one register write";
  EXPECT_EQ(Got[10], (TBytes{0x15, 0x00}));
  for (const auto& Entry : Remote.Received()) EXPECT_FALSE(Entry.Rejected);
  EXPECT_EQ(Remote.LedByte(), 0x90);
}

TEST_F(WiimoteLink, RefusedWriteShowsTheSystemTextInTheCaption) {
  Remote.SetRefuseWrites(true);  // for the connection the claim opens
  Start();
  ASSERT_NE(Link->WiiDevice(), nullptr);
  Link->SetLeds(0x91);
  EXPECT_EQ(Host.Caption, ErrorCaption(EPIPE));
  EXPECT_EQ(Host.Caption, "Erro(32):" + std::system_category().message(EPIPE));
  EXPECT_EQ(Link->LedByte(), -1) << "the remote may hold either byte";
  Link->SetLedsIfChanged(0x91);
  EXPECT_EQ(Remote.LedByte(), 0x00) << "nothing got through";
}

TEST_F(WiimoteLink, RemoteOffBeforeTheChangeIsNoticedFailsEveryReportOfASequence) {
  Start();
  Settle();
  Remote.SwitchOff();
  // The remote's thread may still hold its end a moment: the loop reads the hang-up, and stops watching.
  ASSERT_TRUE(RunUntil([&] { return Rig.Loop.WatchCount() == 1; }));
  Host.Log.clear();
  Link->SetupIRCamera();
  // The descriptor the remote hung up refuses every write: a socket says EPIPE where hidraw says ENODEV.
  EXPECT_EQ(Host.Log, std::vector<std::string>(8, "caption:" + ErrorCaption(EPIPE)))
      << "every report of the set-up is still tried";

  // Back before any device change: a write does not open the node again, the device change will.
  Remote.SwitchOn();
  Host.Log.clear();
  Link->SetLeds(0x90);
  Remote.Drain();
  EXPECT_EQ(Remote.ConnectionCount(), 0u);
  EXPECT_EQ(Host.Log, std::vector<std::string>{"caption:" + ErrorCaption(EPIPE)});
}

TEST_F(WiimoteLink, UserMoveLedsAreSentOnlyWhenTheByteChanges) {
  Start();
  Settle();
  for (int Frame = 0; Frame < 5; ++Frame) Link->SetLedsIfChanged(0x90);
  Link->SetLedsIfChanged(0x91);
  Link->SetLedsIfChanged(0x91);
  Link->SetLedsIfChanged(0x90);
  Link->SetLeds(0x90);  // the plain operation always sends
  const auto Got = WaitFor(Remote, 4);
  EXPECT_EQ(Got, (std::vector<TBytes>{{0x11, 0x90}, {0x11, 0x91}, {0x11, 0x90}, {0x11, 0x90}}));

  PullRemote();
  Host.Caption.clear();
  Link->SetLedsIfChanged(0x90);
  EXPECT_EQ(Host.Caption, "Wii Remote não encontrado") << "without a remote every frame says so";
}

TEST_F(WiimoteLink, ShutdownSendsLedFourThenButtonsOnly) {
  Start();
  Settle();
  Link->Shutdown();
  EXPECT_EQ(WaitFor(Remote, 2), (std::vector<TBytes>{{0x11, 0x80}, {0x12, 0x00, 0x30}}));
}

TEST_F(WiimoteLink, WithoutTheLibraryTheCaptionKeepsItsOwnTextAndTimersStayOff) {
  Rig.Platform.SetReady(false);
  Start();
  EXPECT_EQ(Link->WiiDevice(), nullptr);
  EXPECT_TRUE(Host.Log.empty());
  EXPECT_EQ(Host.Caption, "Form1");
}

TEST_F(WiimoteLink, NoRemoteAtStartSaysNotDetected) {
  Start(false);
  EXPECT_EQ(Host.Log, std::vector<std::string>{"caption:Wii Remote não detectado"});
  Link->ShowBattery();
  EXPECT_EQ(Host.BatteryText, "Bateria: 0%");
}

// Fresh cells report 0xC8 and a little more at times: the text never goes past a hundred.
TEST_F(WiimoteLink, BatteryTextRoundsAndStopsAtAHundred) {
  Start(false);
  const std::pair<int, const char*> Cases[] = {
      {0xC8, "Bateria: 100%"}, {0xC9, "Bateria: 100%"}, {0xFF, "Bateria: 100%"}, {0xC7, "Bateria: 100%"},
      {0xC0, "Bateria: 96%"},  {0x64, "Bateria: 50%"},  {0x61, "Bateria: 49%"},  {1, "Bateria: 1%"}};
  for (auto [Level, Text] : Cases) {
    Link->Wiimote().BatteryLevel = Level;
    Link->ShowBattery();
    EXPECT_EQ(Host.BatteryText, Text) << Level;
  }
  EXPECT_EQ(BatteryPercent(-3), 0);
}

// A real remote drives its motor from bit 0 of byte 1 of every output report: the status request and the
// set-up its reply starts must not stop a rumble that is on.
TEST_F(WiimoteLink, EveryReportCarriesTheRumbleBit) {
  Start();
  Settle();
  Link->SetLedsIfChanged(0x91);
  Link->BatteryTimerTimer();
  ASSERT_TRUE(RunUntil([&] { return Remote.ReceivedCount() >= 3; }));
  Remote.Drain();
  for (const auto& Entry : Remote.Received()) EXPECT_EQ(Entry.Bytes[1] & 1, 1) << int(Entry.Bytes[0]);
  EXPECT_TRUE(Remote.Rumble());

  Link->SetLedsIfChanged(0x90);
  Link->BatteryTimerTimer();
  ASSERT_TRUE(RunUntil([&] { return Remote.ReceivedCount() >= 6; }));
  Remote.Drain();
  EXPECT_FALSE(Remote.Rumble());
  EXPECT_EQ(Remote.Received().back().Bytes, IRSetUp.back())
      << "the bit is clear again once the rumble is off";
}

// Buttons held when the remote goes, or C and Z when the Nunchuk is pulled, get their release edge, so that
// the actions they started let go.
TEST_F(WiimoteLink, NothingStaysPressedWhenTheRemoteOrTheNunchukGoes) {
  Host.Settings.UseNunchuk = true;
  Remote.PlugExtension(true);
  Start();
  Settle();
  ASSERT_TRUE(RunUntil([&] { return W().ExtensionConnected; }));
  Remote.SetNunchuk(0x80, 0x80, 0x80, 0x80, 0x80, true, true);
  Remote.SetButtons(0x0008 | 0x0800);
  ASSERT_TRUE(Remote.SendDataReport());
  ASSERT_TRUE(RunUntil([&] { return W().ButtonState[ButtonZ].Down && W().ButtonState[ButtonA].Down; }));
  Host.Edges.clear();

  Remote.PlugExtension(false);
  ASSERT_TRUE(RunUntil([&] { return !W().ExtensionConnected; }));
  EXPECT_FALSE(W().ButtonState[ButtonC].Down);
  EXPECT_FALSE(W().ButtonState[ButtonZ].Down);
  ASSERT_EQ(Host.Edges.size(), 2u);
  EXPECT_EQ(Host.Edges[0].Mask, 0x2000);
  EXPECT_EQ(Host.Edges[1].Mask, 0x4000);
  EXPECT_EQ(Host.Edges[1].Kind, 2);

  Host.Edges.clear();
  PullRemote();
  EXPECT_FALSE(W().ButtonState[ButtonA].Down);
  EXPECT_FALSE(W().ButtonState[ButtonUp].Down);
  ASSERT_EQ(Host.Edges.size(), 2u);
  for (const auto& Edge : Host.Edges) EXPECT_EQ(Edge.Kind, 2);
}

// A Balance Board and a Wii U Pro Controller share the remote's ids but not its reports: neither is claimed.
TEST_F(WiimoteLink, OnlyWiiRemotesAreClaimed) {
  TVirtualWiimote Board, Pro;
  Rig.Platform.Plug(Board, WiimoteProductID, true, BalanceBoardName);
  Rig.Platform.Plug(Pro, WiimotePlusProductID, true, ProControllerName);
  Start(false);
  EXPECT_EQ(Link->WiiDevice(), nullptr);
  EXPECT_EQ(Host.Caption, CaptionNotDetected);
  Rig.Platform.Plug(Remote);
  Rig.Notice();
  ASSERT_NE(Link->WiiDevice(), nullptr);
  EXPECT_EQ(Link->WiiDevice()->InterfaceInfo().DeviceDescr, "Nintendo RVL-CNT-01");
  Link.reset();
  EXPECT_EQ(Board.ReceivedCount(), 0u);
  EXPECT_EQ(Pro.ReceivedCount(), 0u);
}

// The kernel's driver stays bound (without it there is no node at all): the user is told once that Vireta
// works beside it, and after each status report, when that driver has set its own mode with the rumble
// off, ours goes again with the rumble as it was.
TEST_F(WiimoteLink, BesideTheKernelDriverTheModeAndTheRumbleComeBackAfterEachStatus) {
  Remote.SetKernelDriverMode(true);
  RemotePath = Rig.Platform.Plug(Remote);
  Rig.Platform.SetDriver(RemotePath, "wiimote");
  Start(false);
  ASSERT_NE(Link->WiiDevice(), nullptr);
  EXPECT_EQ(Host.StatusNotices, std::vector<std::string>{KernelDriverNotice});
  EXPECT_EQ(std::string(KernelDriverNotice).find("modprobe"), std::string::npos);
  Settle();
  EXPECT_EQ(Remote.ReportMode(), 0x33) << "the mode after the status reply takes the mode back";
  Link->SetLedsIfChanged(0x91);
  for (int Second = 0; Second < 3; ++Second) {
    Link->BatteryTimerTimer();
    ASSERT_TRUE(RunUntil([&] { return Remote.ReceivedCount() >= size_t(3 + 2 * Second); }));
    Remote.Drain();
    EXPECT_TRUE(Remote.Rumble()) << Second;
    EXPECT_EQ(Remote.ReportMode(), 0x33);
  }
  // That driver's own input device types the cross pad as arrow keys (which the udev rule has the desktop
  // ignore); Vireta sees the press as a button of its own, once.
  Remote.SetButtons(0x0800);
  ASSERT_TRUE(Remote.SendDataReport());
  ASSERT_TRUE(RunUntil([&] { return W().ButtonState[ButtonUp].Down; }));
  EXPECT_EQ(Remote.KernelKeys(), std::vector<std::string>{"Up"});
  Remote.SetButtons(0);
  PullRemote();
  Remote.SwitchOn();
  RemotePath = Rig.Platform.Plug(Remote, WiimoteProductID, false);
  Rig.Platform.SetDriver(RemotePath, "wiimote");
  Rig.Platform.Notify();
  Rig.Notice();
  ASSERT_NE(Link->WiiDevice(), nullptr);
  EXPECT_EQ(Host.StatusNotices.size(), 1u);
}

// A link that drops while its node stays (writes still succeed) is noticed by its silence: whatever it
// held is let go, and the node is not claimed again until it has gone.
TEST_F(WiimoteLink, ALinkLostWhileItsNodeStaysIsLetGo) {
  Start();
  Settle();
  Remote.LoseLink();
  Host.Log.clear();
  for (uint32_t Ms = 0; Ms < LinkSilenceMs; Ms += 1000) {
    Link->BatteryTimerTimer();
    Rig.Clock.Advance(1000);
    Link->Tick();
  }
  EXPECT_EQ(Link->WiiDevice(), nullptr);
  EXPECT_NE(std::find(Host.Log.begin(), Host.Log.end(), "lost"), Host.Log.end());
  EXPECT_EQ(Host.Caption, CaptionNotDetected);
  PullRemote();
  Remote.SwitchOn();
  RemotePath = Rig.Platform.Plug(Remote);
  Rig.Notice();
  ASSERT_NE(Link->WiiDevice(), nullptr);
  EXPECT_EQ(Host.Caption, CaptionConnected);
  Settle();  // the new link answers
}

// At exit the last reports are written before the program goes, and nothing the remote still sends (a
// status reply on its way) sets the mode again behind them.
TEST_F(WiimoteLink, ShutdownIsTheLastWordAndReturnsInBoundedTime) {
  Start();
  Settle();
  Remote.SetAckDelay(std::chrono::milliseconds(30));
  Link->BatteryTimerTimer();
  Link->IRResetButtonClick();
  Link->Shutdown();
  EXPECT_FALSE(Link->SetUpPending());
  Rig.Loop.RunUntil([] { return false; }, std::chrono::milliseconds(150));
  Remote.Drain();
  EXPECT_EQ(Remote.LedByte(), 0x80);
  EXPECT_EQ(Remote.ReportMode(), 0x30);
  EXPECT_EQ(ReceivedBytes(Remote).back(), (TBytes{0x12, 0x00, 0x30}));

  // A link that takes nothing does not hold the exit up, though the last reports wait for it on a clock
  // that never moves.
  Remote.SetStalled(true);
  bool Full = false;
  for (int I = 0; I < 1000 && !Full; ++I) Full = !Link->SendReport(MakeLedReport(0x80));
  ASSERT_TRUE(Full) << "the device and the queue behind it take no more";
  const auto Before = std::chrono::steady_clock::now();
  Link->Shutdown();
  EXPECT_LT(std::chrono::steady_clock::now() - Before, std::chrono::seconds(5)) << "a bound, not a speed";
  Remote.SetStalled(false);
}

// An empty slot of a USB adapter shows as a remote that never answers: it is given back a second after the
// status request and the next candidate is claimed.
TEST_F(WiimoteLink, ADeviceThatNeverAnswersIsGivenBackForTheNextOne) {
  Other.SetSilent(true);
  const std::string Silent = Rig.Platform.Plug(Other);
  RemotePath = Rig.Platform.Plug(Remote);
  Start(false);
  ASSERT_NE(Link->WiiDevice(), nullptr);
  ASSERT_EQ(Link->WiiDevice()->InterfaceInfo().InstanceHandle, Silent);
  // Every set-up step times out on each of its tries, then the status request goes.
  for (int Tick = 0; Tick < 8 * SetUpTries && (Other.Drain(), Other.Received().back().Bytes[0] != 0x15);
       ++Tick) {
    Rig.Clock.Advance(RegisterWriteAckTimeoutMs);
    Link->Tick();
  }
  Other.Drain();
  ASSERT_EQ(Other.Received().back().Bytes, (TBytes{0x15, 0x00}));
  Rig.Clock.Advance(AnswerTimeoutMs - 1);
  Link->Tick();
  EXPECT_EQ(Link->WiiDevice()->InterfaceInfo().InstanceHandle, Silent) << "not yet";
  Rig.Clock.Advance(1);
  Link->Tick();
  ASSERT_NE(Link->WiiDevice(), nullptr);
  EXPECT_EQ(Link->WiiDevice()->InterfaceInfo().InstanceHandle, RemotePath);
  EXPECT_EQ(Host.Caption, "Form1");
  Settle();
  EXPECT_TRUE(Remote.CameraEnabled());

  // A later change does not take the silent one again while it stays.
  Rig.Platform.Notify();
  Rig.Notice();
  EXPECT_EQ(Link->WiiDevice()->InterfaceInfo().InstanceHandle, RemotePath);
}

// About 100 reports a second stream in while the frames switch the rumble: every report is handed over in
// order, and the writes go out between them.
TEST_F(WiimoteLink, ReportsStreamingAt100PerSecondAreHandedOverInOrder) {
  Start();
  Settle();
  Remote.SetButtons(0x0008 | 0x0004);
  Remote.SetStreaming(true);
  std::atomic<bool> Done{false};
  std::thread Mover([&] {
    for (int X = 0; X < 60; ++X) {
      Remote.SetAccel(static_cast<uint8_t>(160 + X), 128, 154);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    Done = true;
  });
  int Seen = W().AccelX, Backwards = 0, Frames = 0;
  Rig.Loop.RunUntil([&] {
    if (W().AccelX < Seen) ++Backwards;
    Seen = W().AccelX;
    Link->SetLedsIfChanged(++Frames % 2 != 0 ? 0x91 : 0x90);
    return Done.load() && W().AccelX == 219;
  });
  Mover.join();
  Remote.SetStreaming(false);
  EXPECT_EQ(W().AccelX, 219);
  EXPECT_EQ(Backwards, 0);
  EXPECT_TRUE(W().ButtonState[ButtonA].Down && W().ButtonState[ButtonB].Down);
  Remote.Drain();
  EXPECT_EQ(Remote.LedByte(), Link->LedByte());
}

// A link that takes nothing for a while must not hold the frames up: writes return at once, a few wait
// for the link, the rest are dropped, and the LED byte is sent again later.
TEST_F(WiimoteLink, WritesNeverBlockWhenTheRemoteTakesNothing) {
  Start();
  Settle();
  Remote.SetStalled(true);
  // A write that blocks holds this loop up until the test's time limit ends it.
  for (int I = 0; I < 20000; ++I) Link->SetLeds(static_cast<uint8_t>(0x10 << (I % 4)));
  Remote.SetStalled(false);
  EXPECT_EQ(Link->LedByte(), -1) << "the last byte was dropped: the next frame sends it again";
  const size_t Before = (Remote.Drain(), Remote.ReceivedCount());
  Link->Tick();
  Remote.Drain();
  EXPECT_LE(Remote.ReceivedCount() - Before, OutboxLimit);
  Link->SetLedsIfChanged(0x90);
  Remote.Drain();
  EXPECT_EQ(Remote.LedByte(), 0x90);
}

// With the kernel's driver playing its own traffic on the link. Its replies wait in the link's queue while
// the main loop does not turn, so that the link meets them all at once, as a busy main thread does.
class WiimoteLinkBesideTheDriver : public WiimoteLink {
 protected:
  void StartWithDriver() {
    Remote.PlayKernelDriver(true);
    RemotePath = Rig.Platform.Plug(Remote);
    Rig.Platform.SetDriver(RemotePath, KernelDriverName);
    Start(false);
    ASSERT_NE(Link->WiiDevice(), nullptr);
  }
  void SettleWithDriver() {
    ASSERT_TRUE(RunUntil(
        [&] { return W().BatteryLevel != 0 && !Link->SetUpPending() && Remote.KernelDriverIdle(); }));
    Remote.Drain();
    Remote.ClearReceived();
  }
  // The driver's sequence runs to its end while the link reads nothing.
  void LetTheDriverRunAhead() {
    for (int I = 0; I < 1000 && !Remote.KernelDriverIdle(); ++I)
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // its last replies on their way
    ASSERT_TRUE(Remote.KernelDriverIdle());
  }
};

// The driver probes the MotionPlus of a Wii Remote Plus at 0xA600FA; its reply carries the same low 16
// address bits as the extension's id at 0xA400FA, and must not be taken for it.
TEST_F(WiimoteLinkBesideTheDriver, ANunchukOnAWiiRemotePlusIsRead) {
  Host.Settings.UseNunchuk = true;
  Remote.SetBuiltInMotionPlus(true);
  StartWithDriver();
  SettleWithDriver();
  Remote.PlugExtension(true);
  LetTheDriverRunAhead();
  ASSERT_TRUE(
      RunUntil([&] { return !Link->SetUpPending() && W().ExtensionConnected; }, std::chrono::seconds(3)));
  EXPECT_TRUE(Host.StatusNotices.empty() || Host.StatusNotices.back() != OtherExtensionNotice);
  Remote.SetNunchuk(0x80, 0x80, 0x80, 0x80, 0x80, true, false);
  ASSERT_TRUE(RunUntil([&] {
    Remote.SendDataReport();
    return W().ButtonState[ButtonC].Down;
  }));
}

// The driver's acknowledgements of its own register writes come while the camera's set-up waits for ours:
// each block must really be stored, though the camera reports "on" and is not set up again.
TEST_F(WiimoteLinkBesideTheDriver, TheCameraIsSetUpWriteForWriteThoughTheDriverWrites) {
  Remote.SetBuiltInMotionPlus(true);
  StartWithDriver();
  SettleWithDriver();
  TOutputReport Off = MakeIRCameraEnableReport(0x13);
  Off.Bytes[1] = 0x00;  // switched off, the camera forgets its settings
  Link->SendReport(Off);
  Link->IRResetButtonClick();
  // The link waits for the acknowledgement of 0x01 to 0xB00030 when the driver's probe comes.
  ASSERT_TRUE(RunUntil([&] {
    Remote.Drain();
    return Remote.ReceivedCount() >= 4;
  }));
  Remote.KernelDriverPoll();
  LetTheDriverRunAhead();
  Remote.SetLoseEarlyWrites(true);  // a write that comes before the last acknowledgement went out is lost
  ASSERT_TRUE(RunUntil([&] { return !Link->SetUpPending(); }));
  Link->BatteryTimerTimer();
  ASSERT_TRUE(RunUntil([&] { return !Link->SetUpPending() && Remote.KernelDriverIdle(); }));
  EXPECT_TRUE(Remote.CameraEnabled());
  EXPECT_EQ(Remote.Register(0xB00006), 0x90);
  EXPECT_EQ(Remote.Register(0xB00008), 0xC0);
  EXPECT_EQ(Remote.Register(0xB0001A), 0x40);
  EXPECT_EQ(Remote.Register(0xB00033), 0x33);
}

// An extension that refuses its set-up every try (error 7 while it is still being pushed in) is tried
// again at a later status report, not given up until it is pulled.
TEST_F(WiimoteLink, AnExtensionThatRefusedItsSetUpIsReadAgainLater) {
  Host.Settings.UseNunchuk = true;
  Start();
  Settle();
  Remote.FailRegisterWrites(2 * SetUpTries, 0x07);
  Remote.PlugExtension(true);
  ASSERT_TRUE(RunUntil([&] { return !Link->SetUpPending() && !Host.StatusNotices.empty(); }));
  EXPECT_FALSE(W().ExtensionConnected && Remote.ExtensionInitialised());
  for (int Second = 0; Second < 3 && !W().ExtensionConnected; ++Second) {
    Link->BatteryTimerTimer();
    ASSERT_TRUE(RunUntil([&] { return Remote.ReceivedCount() > 0 && !Link->SetUpPending(); }));
  }
  ASSERT_TRUE(RunUntil([&] { return W().ExtensionConnected; }, std::chrono::seconds(2)));
  EXPECT_TRUE(Remote.ExtensionInitialised());
}

// Every report of the driver's clears the rumble bit: its MotionPlus poll and its battery reads must not
// stop a motor that the program keeps running.
TEST_F(WiimoteLinkBesideTheDriver, TheRumbleOutlastsTheDriversPollsAndBatteryReads) {
  StartWithDriver();
  SettleWithDriver();
  Link->SetLedsIfChanged(0x91);
  ASSERT_TRUE(RunUntil([&] {
    Remote.Drain();
    return Remote.Rumble();
  }));
  for (int Round = 0; Round < 3; ++Round) {
    if (Round % 2 == 0)
      Remote.KernelDriverPoll();
    else
      Remote.KernelDriverReadsBattery();
    ASSERT_TRUE(RunUntil(
        [&] {
          Remote.Drain();
          return Remote.KernelDriverIdle() && Remote.Rumble();
        },
        std::chrono::seconds(2)))
        << Round;
  }
}

// A remote that falls silent (its link gone quiet, its node still there) is let go with its rumble off,
// and taken back when it is heard again.
TEST_F(WiimoteLink, ARemoteSilentAWhileIsLetGoThenTakenBack) {
  Start();
  Settle();
  Link->SetLedsIfChanged(0x91);
  ASSERT_TRUE(RunUntil([&] {
    Remote.Drain();
    return Remote.Rumble();
  }));
  Remote.SetSilent(true);  // takes reports in, answers none
  for (uint32_t Ms = 0; Ms < LinkSilenceMs; Ms += 1000) {
    Link->BatteryTimerTimer();
    Rig.Clock.Advance(1000);
    Link->Tick();
  }
  EXPECT_EQ(Link->WiiDevice(), nullptr);
  EXPECT_EQ(Host.Caption, CaptionNotDetected);
  Remote.Drain();
  EXPECT_FALSE(Remote.Rumble()) << "the motor stops with the remote that is lost";

  Remote.SetSilent(false);
  Host.Log.clear();
  ASSERT_TRUE(RunUntil(
      [&] {
        Remote.SendDataReport();
        return Link->WiiDevice() != nullptr;
      },
      std::chrono::seconds(2)));
  EXPECT_EQ(Host.Caption, CaptionConnected);
  EXPECT_EQ(Host.Log.front(), "options:on");
  Settle();
}

// The driver lights LED 1 when the remote connects, after the program may have lit its own: the LEDs the
// frames ask for come back, though the byte they ask for is the one last written.
TEST_F(WiimoteLinkBesideTheDriver, TheDriversLedOneAtConnectIsPutRight) {
  Remote.PlugExtension(true);
  StartWithDriver();
  Link->SetLedsIfChanged(0x90);
  SettleWithDriver();
  ASSERT_TRUE(RunUntil(
      [&] {
        Link->SetLedsIfChanged(0x90);  // every frame
        Remote.Drain();
        return Remote.KernelDriverIdle() && Remote.LedByte() == 0x90 && Link->LedByte() == 0x90;
      },
      std::chrono::seconds(3)));
  // A status report shows the LEDs; the ones it shows are what the link goes by.
  Remote.SendRaw({0x11, 0x10});
  Link->BatteryTimerTimer();
  ASSERT_TRUE(RunUntil(
      [&] {
        Link->SetLedsIfChanged(0x90);
        Remote.Drain();
        return Remote.LedByte() == 0x90 && Link->LedByte() == 0x90;
      },
      std::chrono::seconds(3)));
}

// Some Bluetooth stacks answer a write they could not send now with 0: it is sent again, not an I/O error.
TEST_F(WiimoteLink, AWriteAnsweredWithZeroIsSentAgain) {
  Start();
  Settle();
  Host.Log.clear();
  Remote.ReturnZeroOnWrites(2);
  Link->SetLeds(0x90);
  Link->SetReportMode(0x33);
  EXPECT_EQ(Link->LedByte(), 0x90);
  for (int I = 0; I < 3; ++I) Link->Tick();
  const std::vector<TBytes> Got = WaitFor(Remote, 2);
  EXPECT_EQ(Got, (std::vector<TBytes>{{0x11, 0x90}, {0x12, 0x00, 0x33}}));
  EXPECT_TRUE(Host.Log.empty()) << Host.Log.front();
}

// Built on a record that another way of reaching the remote shares, the link decodes into that record.
TEST_F(WiimoteLink, ASharedRecordIsTheOneFilled) {
  TWiimote Shared;
  Remote.SetBattery(0x60);
  RemotePath = Rig.Platform.Plug(Remote);
  Rig.Create();
  Link = std::make_unique<TWiimoteLink>(*Rig.HIDCtl, Host, Rig.Clock, Shared);
  Rig.Loop.RunPending();
  IRemoteLink& Held = *Link;
  EXPECT_TRUE(Held.Connected());
  Settle();
  EXPECT_EQ(&Held.Wiimote(), &Shared);
  EXPECT_EQ(Shared.BatteryLevel, 0x60);
  Link.reset();  // before the record goes
}

}  // namespace
