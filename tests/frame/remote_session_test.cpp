// The remote's side without a window: a virtual remote plugged into the fake platform, the test's own main
// loop, and a view that records what it is told.

#include "frame/remote_session.h"
#include "input/desktop/testing/recording_desktop_input.h"
#include "support/wiimote_rig.h"
#include "wiimote/testing/fake_kernel_remotes.h"

#include <gtest/gtest.h>

#include <map>

namespace {

class TRecordingView : public IRemoteView {
 public:
  void ShowCaption(const std::string& texto) override { Caption = texto; }
  void ShowBattery(const std::string&) override {}
  void ShowNotice(const std::string&) override {}
  void ShowConnected(bool conectado) override { Connected = conectado; }
  void RunTimer(TRemoteTimer timer, bool ativo) override { Running[timer] = ativo; }
  bool OwnWindowActive() const override { return false; }

  std::string Caption;
  bool Connected = false;
  std::map<TRemoteTimer, bool> Running;
};

class RemoteSession : public ::testing::Test, protected TControllerRig {
 protected:
  RemoteSession() {
    setting.BaseX = 101, setting.BaseY = 102, setting.BaseZ = 103;
    Start(nullptr);
  }
  // A new session; with `kernel`, remotes the kernel's driver has bound are offered through it too.
  void Start(IKernelRemotes* kernel) {
    remote.reset();
    remote = std::make_unique<TRemoteSession>(
        scenes, camera, setting, buttons,
        TRemoteServices{Platform, Platform, Platform, Clock, Loop, desktop, kernel}, view);
  }
  void Notice() { remote->Controller().DeviceChangeNotified(); }
  bool Connected() {
    return Loop.RunUntil([&] { return remote->Link().Answered() && !remote->Link().SetUpPending(); });
  }

  TSceneSession scenes{".", [](const std::string&, const std::string&) {}};
  TCamera camera;
  TQuillonSetting setting;
  TWiimoteButtonAssign buttons;
  TRecordingDesktopInput desktop;
  TRecordingView view;
  TVirtualWiimote wiimote{[this] { return Clock.Milliseconds(); }};
  std::unique_ptr<TRemoteSession> remote;
};

// The window runs only the timers the remote's side asks for: the link's and the reaper always, the input
// timers while a remote is there; and a run without a remote keeps the user's calibration.
TEST_F(RemoteSession, TimersAndTheCalibrationFollowTheRemote) {
  EXPECT_TRUE(view.Running[TRemoteTimer::LinkTick]);
  EXPECT_TRUE(view.Running[TRemoteTimer::Reap]);
  Loop.RunPending();
  remote->Calibrate();
  EXPECT_EQ(setting.BaseX, 101) << "no remote: nothing to calibrate from";
  EXPECT_FALSE(remote->Reading().Connected);

  const std::string no = Platform.Plug(wiimote);
  Notice();
  ASSERT_TRUE(Connected());
  EXPECT_TRUE(view.Connected);
  EXPECT_TRUE(scenes.FrameState().PointerShown);
  for (TRemoteTimer t :
       {TRemoteTimer::Battery, TRemoteTimer::Draw, TRemoteTimer::Repeat, TRemoteTimer::Cursor})
    EXPECT_TRUE(view.Running[t] && remote->TimerRunning(t));
  wiimote.SetAccel(120, 130, 140);
  ASSERT_TRUE(Loop.RunUntil([&] {
    wiimote.SendDataReport();
    return remote->Reading().AccelX == 120;
  }));
  remote->Calibrate();
  EXPECT_EQ(setting.BaseX, 120);
  EXPECT_EQ(setting.BaseZ, 140);

  Platform.Unplug(no);
  Notice();
  Loop.RunPending();
  EXPECT_FALSE(view.Connected);
  EXPECT_FALSE(scenes.FrameState().PointerShown);
  EXPECT_FALSE(view.Running[TRemoteTimer::Cursor]);
  EXPECT_TRUE(view.Running[TRemoteTimer::LinkTick]);
}

// The driver's remote is read through the driver, and the raw link leaves its HID node alone; what the raw
// link says of having no remote does not hide the one the driver's path holds; the settings can ask for the
// raw reports instead.
TEST_F(RemoteSession, ARemoteTheDriverHoldsIsReadThroughTheDriverUnlessTheSettingsAskForRaw) {
  const std::string sys = "/sys/devices/virtual/bluetooth/hci0/0005:057E:0306.0001";
  TFakeKernelRemotes kernel;
  const std::string node = Platform.Plug(wiimote, WiimoteProductID, false);
  Platform.SetDriver(node, KernelDriverName);
  kernel.Add(sys);
  Start(&kernel);
  Loop.RunPending();
  ASSERT_NE(remote->KernelLink(), nullptr);
  ASSERT_TRUE(remote->KernelLink()->Connected());
  EXPECT_EQ(&remote->Held(), remote->KernelLink());
  EXPECT_EQ(remote->Link().WiiDevice(), nullptr) << "the driver's remote is not claimed twice";
  Notice();  // the raw side looks again and finds nothing of its own
  Loop.RunPending();
  EXPECT_EQ(view.Caption, CaptionConnected);
  EXPECT_TRUE(view.Connected);
  EXPECT_TRUE(remote->TimerRunning(TRemoteTimer::Cursor));

  kernel.Push(sys, KernelButton(ButtonA, true));
  Loop.RunPending();
  EXPECT_TRUE(remote->Reading().ADown);
  TScene cena;
  remote->GrabStep(cena, {0, 0, 0}, true);
  EXPECT_EQ(kernel.At(sys).Byte, remote->KernelLink()->LedByte());
  EXPECT_NE(kernel.At(sys).Byte, -1) << "the frame's LED byte reaches the driver's LEDs";

  kernel.Remove(sys);
  Loop.RunPending();
  EXPECT_EQ(view.Caption, CaptionNotDetected);
  EXPECT_FALSE(view.Connected);
  EXPECT_FALSE(remote->Reading().ADown) << "a lost remote lets its buttons go";

  setting.UseRawHID = true;
  kernel.Add(sys + "1");
  Start(&kernel);
  EXPECT_EQ(remote->KernelLink(), nullptr);
  ASSERT_TRUE(Connected()) << "asked for, the raw reports are read even where the driver is bound";
  EXPECT_EQ(&remote->Held(), &remote->Link());
}

}  // namespace
