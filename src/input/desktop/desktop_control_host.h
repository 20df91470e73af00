#pragma once
// What the button actions and the pointer control ask of the remote session: the Wii Remote's LEDs and
// rumble, the desktop pointer's timer, and the accelerometer calibration.

#include <cstdint>

#include "wiimote/led_byte.h"

class IDesktopControlHost {
 public:
  virtual ~IDesktopControlHost() = default;
  // The LED and rumble byte for the Wii Remote (its SetLeds).
  virtual void SetLeds(uint8_t Value) = 0;
  // Whether the MotionTimer (every MotionTimerMs) runs, and starting or stopping it.
  virtual bool MotionTimerActive() const = 0;
  virtual void SetMotionTimerActive(bool Active) = 0;
  // The current accelerometer bytes become the settings' zero point BaseX, BaseY, BaseZ.
  virtual void CalibrateButtonClick() = 0;
  // One of the program's own windows is the active one. Its buttons already do their own work there (the
  // camera, the pointer), so keys typed for it would do it twice: BackSpace would reload the scene.
  virtual bool OwnWindowActive() const = 0;
};
