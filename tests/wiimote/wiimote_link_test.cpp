#include <gtest/gtest.h>

#include <cerrno>
#include <system_error>

#include "support/wiimote_rig.h"
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

const std::vector<TBytes> IRSetUp = {
    {0x12, 0x00, 0x33},
    {0x13, 0x04},
    {0x1A, 0x04},
    RegisterWrite(0xB0, 0x00, 0x30, 0x08),
    RegisterWrite(0xB0, 0x00, 0x06, 0x90),
    RegisterWrite(0xB0, 0x00, 0x08, 0xC0),
    RegisterWrite(0xB0, 0x00, 0x1A, 0x40),
    RegisterWrite(0xB0, 0x00, 0x33, 0x33),
};
const std::vector<TBytes> NunchukSetUp = {
    {0x12, 0x00, 0x37}, RegisterWrite(0xA4, 0x00, 0xF0, 0x55), RegisterWrite(0xA4, 0x00, 0xFB, 0x00)};

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
  bool RunUntil(const std::function<bool()>& Done) { return Rig.Loop.RunUntil(Done); }
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
  EXPECT_EQ(Remote.ReceivedCount(), 5u) << "up to the first register write, which waits";

  std::vector<TBytes> Expected = {{0x12, 0x00, 0x37}};
  Expected.insert(Expected.end(), IRSetUp.begin(), IRSetUp.end());
  Expected.push_back({0x15, 0x00});
  const std::vector<TBytes> Got = WaitFor(Remote, Expected.size());
  EXPECT_EQ(std::vector<TBytes>(Got.begin(), Got.begin() + 10), Expected);
  for (const auto& Entry : Remote.Received()) {
    EXPECT_FALSE(Entry.Rejected) << int(Entry.Bytes[0]);
    EXPECT_FALSE(Entry.Lost) << int(Entry.Bytes[4]);
  }
  const std::vector<std::string> Log = {"options:on",     "BatteryTimer:on", "DrawTimer:on",
                                        "RepeatTimer:on", "CursorTimer:on",  "caption:Form1"};
  EXPECT_EQ(Host.Log, Log);
  ASSERT_TRUE(RunUntil([&] { return !Link->SetUpPending() && W().BatteryLevel != 0; }));
  EXPECT_TRUE(Remote.CameraEnabled());
  EXPECT_EQ(Remote.Register(0xB0001A), 0x40);
  EXPECT_EQ(Remote.Register(0xB00033), 0x33);
}

// A write whose acknowledgement never comes holds the set-up up only for a short time.
TEST_F(WiimoteLink, AnUnacknowledgedWriteHoldsTheSetUpUpOnlyForItsTimeOut) {
  Remote.SetAckDelay(std::nullopt);
  Start();
  Remote.Drain();
  ASSERT_EQ(Remote.ReceivedCount(), 5u);
  Rig.Clock.Advance(RegisterWriteAckTimeoutMs - 1);
  Link->Tick();
  Remote.Drain();
  EXPECT_EQ(Remote.ReceivedCount(), 5u);
  for (size_t Next = 6; Next <= 10; ++Next) {
    Rig.Clock.Advance(RegisterWriteAckTimeoutMs);
    Link->Tick();
    Remote.Drain();
    EXPECT_EQ(Remote.ReceivedCount(), Next);
  }
  EXPECT_EQ(Remote.Received()[9].Bytes, (TBytes{0x15, 0x00}));
  EXPECT_FALSE(Link->SetUpPending());
}

TEST_F(WiimoteLink, ConnectSequenceWithNunchukSettingAndCursorAtStartup) {
  Host.Settings.UseNunchuk = true;
  Host.Settings.EnableCursorAtStartup = true;
  Start();
  std::vector<TBytes> Expected = {{0x12, 0x00, 0x37}};
  Expected.insert(Expected.end(), NunchukSetUp.begin(), NunchukSetUp.end());
  Expected.push_back({0x15, 0x00});
  // What follows answers the status reply, which the main loop may have handled already.
  const std::vector<TBytes> All = WaitFor(Remote, 5);
  EXPECT_EQ(std::vector<TBytes>(All.begin(), All.begin() + 5), Expected);
  EXPECT_EQ(Host.Log[1], "BatteryTimer:on");
  EXPECT_EQ(Host.Log[2], "MotionTimer:on");
  EXPECT_EQ(Host.Log[3], "DrawTimer:on");
}

TEST_F(WiimoteLink, EveryStatusReplyRepeatsTheSetUpAndFeedsTheBatteryText) {
  Remote.SetBattery(0x60);
  Start();
  // The status request of the connect sequence is answered; the reply sets the IR camera up again.
  ASSERT_TRUE(RunUntil([&] { return W().BatteryLevel == 0x60; }));
  std::vector<TBytes> Got = WaitFor(Remote, 10 + IRSetUp.size());
  Got.resize(10 + IRSetUp.size());
  EXPECT_EQ(std::vector<TBytes>(Got.begin() + 10, Got.end()), IRSetUp);
  EXPECT_FALSE(W().ExtensionConnected);
  Link->ShowBattery();
  EXPECT_EQ(Host.BatteryText, "Bateria: 50%");

  // An extension while the cursor mode is not a Nunchuk one: still the IR set-up, but the flag is set.
  Remote.PlugExtension(true);
  ASSERT_TRUE(RunUntil([&] { return W().ExtensionConnected; }));
  Got = WaitFor(Remote, 10 + 2 * IRSetUp.size());
  EXPECT_EQ(std::vector<TBytes>(Got.begin() + 18, Got.begin() + 26), IRSetUp);

  // With a Nunchuk cursor mode the next battery tick's reply initialises the extension.
  Host.Settings.UseNunchuk = true;
  Remote.ClearReceived();
  Link->BatteryTimerTimer();
  EXPECT_EQ(WaitFor(Remote, 4),
            (std::vector<TBytes>{{0x15, 0x00}, NunchukSetUp[0], NunchukSetUp[1], NunchukSetUp[2]}));
  EXPECT_TRUE(Remote.ExtensionInitialised());

  // The Nunchuk bytes and buttons of the next data report reach the record.
  Remote.SetNunchuk(0x80, 0x17, 0x90, 0x91, 0x92, true, false);
  ASSERT_TRUE(Remote.SendDataReport());
  ASSERT_TRUE(RunUntil([&] { return W().NunchukStickX != 0; }));
  EXPECT_EQ(W().NunchukStickX, 254);
  EXPECT_EQ(W().NunchukStickY, 46);
  EXPECT_TRUE(W().ButtonState[ButtonC].Down);
  EXPECT_FALSE(W().ButtonState[ButtonZ].Down);
  ASSERT_FALSE(Host.Edges.empty());
  EXPECT_EQ(Host.Edges.back().Mask, 0x4000);
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
  EXPECT_EQ(W().NunchukStickX, 254);
  EXPECT_EQ(W().NunchukStickY, 46);
  EXPECT_EQ(W().NunchukAccelX, 510);
  EXPECT_EQ(W().NunchukAccelY, 46);
  EXPECT_EQ(W().NunchukAccelZ, 0x80 + 0xAE);
  EXPECT_TRUE(W().ButtonState[ButtonZ].Down);
  EXPECT_FALSE(W().ButtonState[ButtonC].Down);
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
  ASSERT_TRUE(Remote.SendDataReport());
  ASSERT_TRUE(RunUntil([&] { return W().AccelZ == 0x83; }));
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
  EXPECT_EQ(WaitFor(Remote, 10).front(), (TBytes{0x12, 0x00, 0x37}));
  ASSERT_TRUE(RunUntil([&] { return !W().ButtonState[ButtonA].Down; }));
  EXPECT_EQ(Host.Edges.back().Mask, 0x0008);
  EXPECT_EQ(Host.Edges.back().Kind, 2);
}

TEST_F(WiimoteLink, RemoteLostWhileAReportWaitsForTheMainThread) {
  Start();
  Settle();
  const uint8_t AccelBefore = W().AccelX;
  Remote.SendRaw({0x31, 0x00, 0x00, 0x55, 0x55, 0x55});
  Rig.WaitForHandOver();
  PullRemote();  // released before the main loop ran the hand-over
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
  EXPECT_EQ(WaitFor(Other, 10)[9], (TBytes{0x15, 0x00}));
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
  EXPECT_EQ(Got[8], RegisterWrite(0xB0, 0x00, 0x1A, 0x40)) << "one data byte, not a block";
  EXPECT_EQ(Got[10], (TBytes{0x15, 0x00}));
  for (const auto& Entry : Remote.Received()) EXPECT_FALSE(Entry.Rejected);
  EXPECT_EQ(Remote.LedByte(), 0x90);
}

TEST_F(WiimoteLink, RefusedWriteShowsTheSystemTextInTheCaption) {
  Start();
  Settle();
  Remote.SetRefuseWrites(true);
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
  Host.Log.clear();
  Link->SetupIRCamera();
  EXPECT_EQ(Host.Log, std::vector<std::string>(8, "caption:" + ErrorCaption(ENODEV)))
      << "every report of the set-up is still tried";

  // Back before any device change: the next write opens the node again and works, and leaves the
  // caption as it was.
  Remote.SwitchOn();
  Remote.ClearReceived();
  Link->SetLeds(0x90);
  EXPECT_EQ(WaitFor(Remote, 1), (std::vector<TBytes>{{0x11, 0x90}}));
  EXPECT_EQ(Host.Caption, ErrorCaption(ENODEV));
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

TEST_F(WiimoteLink, BatteryTextRoundsAndGoesPastAHundred) {
  Start(false);
  const std::pair<int, const char*> Cases[] = {{0xC0, "Bateria: 100%"},
                                               {0x60, "Bateria: 50%"},
                                               {0xFF, "Bateria: 133%"},
                                               {24, "Bateria: 13%"},
                                               {1, "Bateria: 1%"}};
  for (auto [Level, Text] : Cases) {
    Link->Wiimote().BatteryLevel = Level;
    Link->ShowBattery();
    EXPECT_EQ(Host.BatteryText, Text) << Level;
  }
}

// A real remote drives its motor from bit 0 of byte 1 of every output report: the status request and the
// set-up its reply starts must not stop a rumble that is on.
TEST_F(WiimoteLink, EveryReportCarriesTheRumbleBit) {
  Start();
  Settle();
  Link->SetLedsIfChanged(0x91);
  Link->BatteryTimerTimer();
  ASSERT_TRUE(RunUntil([&] { return Remote.ReceivedCount() >= 2 + IRSetUp.size(); }));
  Remote.Drain();
  for (const auto& Entry : Remote.Received()) EXPECT_EQ(Entry.Bytes[1] & 1, 1) << int(Entry.Bytes[0]);
  EXPECT_TRUE(Remote.Rumble());

  Link->SetLedsIfChanged(0x90);
  Link->BatteryTimerTimer();
  ASSERT_TRUE(RunUntil([&] { return Remote.ReceivedCount() >= 2 * (2 + IRSetUp.size()); }));
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

// The kernel's driver bound to the remote fights our report mode: the user is told once how to unload it,
// and the remote is used all the same.
TEST_F(WiimoteLink, TheKernelDriverIsNamedOnceWithTheCommandThatUnloadsIt) {
  Remote.SetKernelDriverMode(true);
  RemotePath = Rig.Platform.Plug(Remote);
  Rig.Platform.SetDriver(RemotePath, "wiimote");
  Start(false);
  ASSERT_NE(Link->WiiDevice(), nullptr);
  EXPECT_EQ(Host.StatusNotices, std::vector<std::string>{KernelDriverNotice});
  Settle();
  EXPECT_EQ(Remote.ReportMode(), 0x33) << "the set-up after the status reply takes the mode back";
  PullRemote();
  Remote.SwitchOn();
  RemotePath = Rig.Platform.Plug(Remote, WiimoteProductID, false);
  Rig.Platform.SetDriver(RemotePath, "wiimote");
  Rig.Platform.Notify();
  Rig.Notice();
  ASSERT_NE(Link->WiiDevice(), nullptr);
  EXPECT_EQ(Host.StatusNotices.size(), 1u);
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
  for (int Tick = 0; Tick < 5; ++Tick) {  // every set-up write times out, then the status request goes
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

}  // namespace
