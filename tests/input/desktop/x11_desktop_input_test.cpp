// Runs under a virtual X server: the real XTest service drives the desktop and a real X client records
// what reaches it.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#ifdef VIRETA_HAVE_XRANDR
#include <X11/extensions/Xrandr.h>
#endif

#include "input/desktop/pointer_math.h"
#include "input/desktop/x11_desktop_input.h"
#include "input/desktop/x_event_recorder.h"
#include "input/desktop/x_test_display.h"
#include "support/desktop_control_fixture.h"

namespace {

class X11Desktop : public TDesktopControlFixture<TX11DesktopInput> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(desktop_.Available()) << "no X display";
    ASSERT_TRUE(recorder_.Ready());
    recorder_.TakeUntilMarker(desktop_);  // whatever the window's set-up left behind
  }
  // What one tap of Plus, assigned (type, value), makes arrive.
  std::string Tap(const char* type, const char* value = "") {
    buttons_[ButtonPlus] = {type, value};
    Press(ButtonPlus);
    Release(ButtonPlus);
    return recorder_.TakeUntilMarker(desktop_);
  }
  std::string Arrived() { return recorder_.TakeUntilMarker(desktop_); }

  TXEventRecorder recorder_;
};

TEST_F(X11Desktop, KeyCombinationsArriveWithTheirModifiers) {
  const char* ctrlShiftT = "+Control_L +Shift_L[C] +t[SC] -t[SC] -Shift_L[SC] -Control_L[C]";
  EXPECT_EQ(Tap("Keys", "Ctrl+Shift+T"), ctrlShiftT);
  EXPECT_EQ(Tap("Keys", "shift+ctrl+t"), ctrlShiftT);
  EXPECT_EQ(Tap("Keys", "^C"), "+Control_L +c[C] -c[C] -Control_L[C]");
  EXPECT_EQ(Tap("Keys", "Win+E"), "+Super_L +e[W] -e[W] -Super_L[W]");
  EXPECT_EQ(Tap("Keys", "Ctrl+Win+D"), "+Control_L +Super_L[C] +d[CW] -d[CW] -Super_L[CW] -Control_L[C]");
  EXPECT_EQ(Tap("Keys", "Win"), "+Super_L -Super_L[W]");
  EXPECT_EQ(Tap("Web->Forward"), "+Alt_L +Right[A] -Right[A] -Alt_L[A]");
  EXPECT_EQ(Tap("Web->Backward"), "+Alt_L +Left[A] -Left[A] -Alt_L[A]");
  EXPECT_EQ(Tap("Keys", "BkSp"), "+BackSpace -BackSpace");
  EXPECT_EQ(Tap("Keys", "Nada+X"), "");
}

TEST_F(X11Desktop, KeysByLayoutNameAndKeysTheLayoutLacks) {
  EXPECT_EQ(Tap("Keys", "print"), "+Print -Print");
  EXPECT_EQ(Tap("Keys", "Ctrl+KP_Add"), "+Control_L +KP_Add[C] -KP_Add[C] -Control_L[C]");
  // F13 and the euro sign have no key in the default layout: they get a spare keycode.
  EXPECT_EQ(Tap("Keys", "F13"), "+F13 -F13");
  EXPECT_EQ(Tap("Keys", "Shift+EuroSign"), "+Shift_L +EuroSign[S] -EuroSign[S] -Shift_L[S]");
  EXPECT_EQ(Tap("Keys", "F13"), "+F13 -F13");  // bound once, struck again
  EXPECT_EQ(Tap("Mixer->Mute"), "+XF86AudioMute -XF86AudioMute");
}

TEST_F(X11Desktop, ClicksDoubleClicksAndWheel) {
  buttons_[ButtonPlus] = {"Mouse->Left Click", ""};
  Press(ButtonPlus);
  EXPECT_EQ(Arrived(), "+b1");
  Release(ButtonPlus);
  EXPECT_EQ(Arrived(), "-b1");
  EXPECT_EQ(Tap("Mouse->Right Click"), "+b3 -b3");
  EXPECT_EQ(Tap("Mouse->Middle Click"), "+b2 -b2");
  EXPECT_EQ(Tap("Mouse->Left Double Click"), "+b1 -b1 +b1 -b1");
  EXPECT_EQ(Tap("Mouse->Wheel Up"), "+b4 -b4");
  EXPECT_EQ(Tap("Mouse->Wheel Down"), "+b5 -b5");
}

TEST_F(X11Desktop, AutoRepeatFromTheButtonStateWithAnInjectedClock) {
  buttons_[ButtonDown] = {"Keys", "Down"};
  Press(ButtonDown);
  for (int tick = 1; tick <= 40; ++tick) control_.RepeatTimerTimer(now_ + 20u * static_cast<uint32_t>(tick));
  EXPECT_EQ(Arrived(), "+Down -Down");  // the press only: 800 ms have not passed
  for (int tick = 41; tick <= 43; ++tick) control_.RepeatTimerTimer(now_ + 20u * static_cast<uint32_t>(tick));
  EXPECT_EQ(Arrived(), "+Down -Down +Down -Down +Down -Down");
  Release(ButtonDown);
  control_.RepeatTimerTimer(now_ + 20 * 44);
  EXPECT_EQ(Arrived(), "");
}

TEST_F(X11Desktop, PointerPositionMonitorsAndMotion) {
  const TScreenRect screen = desktop_.Monitors().front();
  EXPECT_EQ(screen.X, 0);
  EXPECT_EQ(screen.Y, 0);
  EXPECT_GT(screen.Width, 0);
  EXPECT_GT(screen.Height, 0);
  EXPECT_EQ(desktop_.Monitors().size(), 1u);

  recorder_.RecordMotion(true);
  desktop_.SetCursorPos({100, 200});
  EXPECT_EQ(desktop_.CursorPos(), (TPoint{100, 200}));
  EXPECT_EQ(Arrived(), "move(100,200)");
  desktop_.SetCursorPos({-50, screen.Height + 50});  // the server keeps it on the screen
  EXPECT_EQ(desktop_.CursorPos(), (TPoint{0, screen.Height - 1}));
}

TEST_F(X11Desktop, TiltDrivesThePointerAndTheScreenEdgeRumbles) {
  recorder_.RecordMotion(true);
  desktop_.SetCursorPos({20, 300});
  Arrived();
  remote_.AccelX = 116;  // -8 per tick
  remote_.AccelY = 128;
  for (int tick = 0; tick < 4; ++tick) control_.MotionTimerTimer(now_ += 2);
  EXPECT_EQ(Arrived(), "move(12,300) move(4,300) move(0,300)");
  EXPECT_EQ(desktop_.CursorPos(), (TPoint{0, 300}));
  EXPECT_EQ(host_.Leds, (std::vector<int>{145}));
  for (int tick = 0; tick < 100; ++tick) control_.MotionTimerTimer(now_ += 2);
  EXPECT_EQ(host_.Leds, (std::vector<int>{145, 144}));
}

TEST_F(X11Desktop, IRAimGlidesOnTheRealScreen) {
  setting_.CursorMode = "IR";
  remote_.IRMidX = 512;
  remote_.IRMidY = 384;
  desktop_.SetCursorPos({0, 0});
  const TPoint target = IRTarget(desktop_.Monitors().front(), 512, 384, 50);
  control_.MotionTimerTimer(now_);
  EXPECT_EQ(desktop_.CursorPos(), IRGlide(target, {0, 0}));
  for (int tick = 0; tick < 100; ++tick) control_.MotionTimerTimer(now_ += 2);
  const TPoint p = desktop_.CursorPos();
  EXPECT_LE(target.X - p.X, 5);
  EXPECT_LE(target.Y - p.Y, 5);
}

#ifdef VIRETA_HAVE_XRANDR
// Two monitors set on the virtual server for the test's length: a tall one on the left and, as primary,
// a short one on the right, leaving the screen's lower right quarter on no monitor.
class TwoMonitors {
 public:
  TwoMonitors() : dpy_(OpenTestDisplay()) {
    if (!dpy_) return;
    const Window root = DefaultRootWindow(dpy_);
    XRRScreenResources* resources = XRRGetScreenResources(dpy_, root);
    if (!resources || resources->noutput < 1) return;
    Set("VIRETA_LEFT", {0, 0, 640, 1024}, false, resources->outputs[0]);  // takes the screen's own place
    Set("VIRETA_RIGHT", {640, 0, 640, 512}, true, None);
    XRRFreeScreenResources(resources);
    XSync(dpy_, False);
  }
  ~TwoMonitors() {
    if (!dpy_) return;
    for (const char* name : {"VIRETA_RIGHT", "VIRETA_LEFT"})
      XRRDeleteMonitor(dpy_, DefaultRootWindow(dpy_), XInternAtom(dpy_, name, False));
    XCloseDisplay(dpy_);
  }

 private:
  void Set(const char* name, TScreenRect r, bool primary, RROutput output) {
    XRRMonitorInfo* m = XRRAllocateMonitor(dpy_, output != None ? 1 : 0);
    m->name = XInternAtom(dpy_, name, False);
    m->primary = primary ? True : False;
    m->x = r.X;
    m->y = r.Y;
    m->width = r.Width;
    m->height = r.Height;
    m->mwidth = m->mheight = 200;
    if (output != None) m->outputs[0] = output;
    XRRSetMonitor(dpy_, DefaultRootWindow(dpy_), m);
    XRRFreeMonitors(m);
  }
  Display* dpy_;
};

TEST_F(X11Desktop, MonitorsComeFromRandRWithThePrimaryFirst) {
  const TwoMonitors monitors;
  EXPECT_EQ(desktop_.Monitors(), (TMonitors{{640, 0, 640, 512}, {0, 0, 640, 1024}}));
  // The aimed point lies on the primary monitor.
  setting_.CursorMode = "IR";
  remote_.IRMidX = 512;
  remote_.IRMidY = 384;
  desktop_.SetCursorPos({960, 200});
  control_.MotionTimerTimer(now_);
  EXPECT_EQ(desktop_.CursorPos(), IRGlide({960, 261}, {960, 200}));
  // Below the short monitor is no desktop: an edge.
  setting_.CursorMode = "Motion";
  remote_.AccelX = remote_.AccelY = 128;  // at rest
  desktop_.SetCursorPos({900, 511});
  control_.MotionTimerTimer(now_ += 2);
  EXPECT_EQ(host_.Leds, (std::vector<int>{145}));
}
#endif

// A virtual X server of the test's own, on a display number it picks itself.
class TOwnXServer {
 public:
  TOwnXServer() {
    int fds[2];
    if (pipe(fds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    const std::string fd = std::to_string(fds[1]);
    const char* argv[] = {"Xvfb",       "-displayfd", fd.c_str(), "-screen", "0",
                          "640x480x24", "-nolisten",  "tcp",      nullptr};
    if (posix_spawnp(&pid_, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    // The server writes its display number and a newline once it accepts clients.
    std::string number;
    char c = 0;
    pollfd pfd{fds[0], POLLIN, 0};
    while (pid_ > 0 && poll(&pfd, 1, 10000) == 1 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (!number.empty()) name_ = ":" + number;
  }
  ~TOwnXServer() { Stop(); }
  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  const std::string& Name() const { return name_; }

 private:
  pid_t pid_ = -1;
  std::string name_;
};

TEST(X11DesktopLosingItsServer, TheProgramGoesOnAndTheActionsStop) {
  TOwnXServer server;
  ASSERT_FALSE(server.Name().empty()) << "Xvfb did not start";
  TX11DesktopInput desktop(server.Name().c_str());
  ASSERT_TRUE(desktop.Available());
  desktop.SetCursorPos({10, 20});
  EXPECT_EQ(desktop.CursorPos(), (TPoint{10, 20}));
  server.Stop();
  desktop.KeyDown(KeySyms::ControlL);
  desktop.SetCursorPos({30, 40});
  desktop.CursorPos();
  desktop.Monitors();
  EXPECT_FALSE(desktop.Available());
  EXPECT_TRUE(desktop.Monitors().empty());
}

TEST(X11DesktopWithoutDisplay, IsUnavailableAndDoesNothing) {
  TX11DesktopInput desktop(":93");  // no server there
  EXPECT_FALSE(desktop.Available());
  desktop.KeyDown(KeySyms::ControlL);
  desktop.Wheel(3);
  desktop.SetCursorPos({5, 5});
  EXPECT_EQ(desktop.CursorPos(), (TPoint{0, 0}));
  EXPECT_TRUE(desktop.Monitors().empty());
  EXPECT_EQ(desktop.KeyByName("Print"), 0xff61u);  // names need no server
  EXPECT_STREQ(AvisoSemX11, "Sem X11: ações desligadas");
}

}  // namespace
