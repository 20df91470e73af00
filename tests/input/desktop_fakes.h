#pragma once
// The main window and the process start as the desktop-control tests see them.

#include <cstdint>
#include <string>
#include <vector>

#include "desktop_control_host.h"
#include "process_starter.h"
#include "settings.h"
#include "wiimote/WiimoteState.h"

// Keeps the motion timer's state, the LED bytes sent and the calibrations, as the window would: a
// calibration copies the remote's accelerometer bytes into the settings.
class TFakeControlHost : public IDesktopControlHost {
 public:
  TFakeControlHost(TQuillonSetting& Setting, const TWiimote& Wiimote)
      : FSetting(Setting), FWiimote(Wiimote) {}
  void SetLeds(uint8_t Value) override { Leds.push_back(Value); }
  bool MotionTimerActive() const override { return MotionTimer; }
  void SetMotionTimerActive(bool Active) override { MotionTimer = Active; }
  void CalibrateButtonClick() override {
    ++Calibrations;
    FSetting.BaseX = FWiimote.AccelX;
    FSetting.BaseY = FWiimote.AccelY;
    FSetting.BaseZ = FWiimote.AccelZ;
  }

  bool MotionTimer = false;
  std::vector<int> Leds;
  int Calibrations = 0;

 private:
  TQuillonSetting& FSetting;
  const TWiimote& FWiimote;
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
