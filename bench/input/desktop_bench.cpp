// What one tick of the 2 ms MotionTimer and one "Keys" action cost, on the recording desktop and through
// a real X server (its round trips dominate).
#include <benchmark/benchmark.h>

#include "input/desktop/desktop_control.h"
#include "input/desktop/testing/recording_desktop_input.h"
#include "input/desktop/x11_desktop_input.h"

namespace {

class THost : public IDesktopControlHost {
 public:
  void SetLeds(uint8_t) override {}
  bool MotionTimerActive() const override { return true; }
  void SetMotionTimerActive(bool) override {}
  void CalibrateButtonClick() override {}
  bool OwnWindowActive() const override { return false; }
};

struct TRig {
  explicit TRig(IDesktopInput& Desktop) : control(setting, buttons, remote, Desktop, starter, host, rumble) {
    remote.AccelX = 130;  // a slow drift, so every tick moves
    remote.AccelY = 128;
  }
  TQuillonSetting setting;
  TWiimoteButtonAssign buttons;
  TWiimote remote;
  TSpawnProcessStarter starter;
  THost host;
  TRumbleState rumble;
  TDesktopControl control;
};

void MotionTick(benchmark::State& state, IDesktopInput& desktop) {
  if (!desktop.Available()) {
    state.SkipWithError("no X display");
    return;
  }
  TRig rig(desktop);
  uint32_t now = 0;
  for (auto _ : state) {
    if (desktop.CursorPos().X > 1000) desktop.SetCursorPos({10, 300});
    rig.control.MotionTimerTimer(now += 2);
  }
}

void KeysAction(benchmark::State& state, IDesktopInput& desktop) {
  if (!desktop.Available()) {
    state.SkipWithError("no X display");
    return;
  }
  TRig rig(desktop);
  rig.buttons[ButtonPlus] = {"Keys", "Ctrl+Shift+F5"};
  TButtonState& plus = rig.remote.ButtonState[ButtonPlus];
  uint32_t now = 0;
  for (auto _ : state) {
    plus.Down = true;
    rig.control.ButtonEdge(WiimoteButtons[ButtonPlus].Mask, 1, plus, now += 20);
    plus.Down = false;
    rig.control.ButtonEdge(WiimoteButtons[ButtonPlus].Mask, 2, plus, now += 20);
  }
}

void BM_MotionTickRecording(benchmark::State& state) {
  TRecordingDesktopInput desktop;
  MotionTick(state, desktop);
}

void BM_MotionTickX11(benchmark::State& state) {
  TX11DesktopInput desktop;
  MotionTick(state, desktop);
}

void BM_KeysActionX11(benchmark::State& state) {
  TX11DesktopInput desktop;
  KeysAction(state, desktop);
}

BENCHMARK(BM_MotionTickRecording);
BENCHMARK(BM_MotionTickX11)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeysActionX11)->Unit(benchmark::kMicrosecond);

}  // namespace
