#pragma once
// The main window and the process start as the desktop-control tests see them.

#include <cstdint>
#include <string>
#include <vector>

#include "input/desktop/desktop_control_host.h"
#include "input/desktop/process_starter.h"
#include "input/settings/settings.h"
#include "wiimote/wiimote_state.h"

// Keeps the motion timer's state, the LED bytes sent and the calibrations, as the window would: a
// calibration copies the remote's accelerometer bytes into the settings.
class TFakeControlHost : public IDesktopControlHost {
 public:
  TFakeControlHost(TQuillonSetting& Setting, const TWiimote& Wiimote)
      : setting_(Setting), wiimote_(Wiimote) {}
  void SetLeds(uint8_t Value) override { Leds.push_back(Value); }
  bool MotionTimerActive() const override { return MotionTimer; }
  void SetMotionTimerActive(bool Active) override { MotionTimer = Active; }
  void CalibrateButtonClick() override {
    ++Calibrations;
    setting_.BaseX = wiimote_.AccelX;
    setting_.BaseY = wiimote_.AccelY;
    setting_.BaseZ = wiimote_.AccelZ;
  }

  bool OwnWindowActive() const override { return OwnWindow; }

  bool MotionTimer = false;
  bool OwnWindow = false;
  std::vector<int> Leds;
  int Calibrations = 0;

 private:
  TQuillonSetting& setting_;
  const TWiimote& wiimote_;
};

class TRecordingStarter : public IProcessStarter {
 public:
  bool Start(const std::string& CommandLine) override {
    Started.push_back(CommandLine);
    return true;
  }
  void ReapFinished() override { ++Reaps; }
  std::vector<std::string> Started;
  int Reaps = 0;
};
