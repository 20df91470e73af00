#pragma once
// What the button actions and the pointer control ask of the main window: the Wii Remote's LEDs and
// rumble, the desktop pointer's timer, and the accelerometer calibration.

#include <cstdint>

inline constexpr uint8_t LedsPointerOn = 144;        // LEDs 1 and 4, rumble off
inline constexpr uint8_t LedsPointerOnRumble = 145;  // LEDs 1 and 4, rumble on
inline constexpr uint8_t LedsPointerOff = 128;       // LED 4 only

class IDesktopControlHost {
 public:
  virtual ~IDesktopControlHost() = default;
  // The LED and rumble byte for the Wii Remote (its SetLeds).
  virtual void SetLeds(uint8_t Value) = 0;
  // Whether the 2 ms MotionTimer runs, and starting or stopping it.
  virtual bool MotionTimerActive() const = 0;
  virtual void SetMotionTimerActive(bool Active) = 0;
  // The current accelerometer bytes become the settings' zero point BaseX, BaseY, BaseZ.
  virtual void CalibrateButtonClick() = 0;
};
