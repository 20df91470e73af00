#pragma once
// The desktop pointer driven by the Wii Remote: by tilt ("Motion"), by aiming the infrared camera ("IR")
// or by the Nunchuk stick ("Nunchuk Analog"), one step per MotionTimer tick (MotionTimerMs), with one short
// rumble pulse on arriving at an edge of the desktop. Main thread only.

#include <cstdint>

#include "input/desktop/desktop_control_host.h"
#include "input/desktop/desktop_input.h"
#include "input/desktop/rumble_state.h"
#include "input/settings/settings.h"
#include "wiimote/wiimote_state.h"

class TPointerControl {
 public:
  // Every argument is kept by reference and must outlive the control.
  TPointerControl(const TQuillonSetting& Setting, const TWiimote& Wiimote, IDesktopInput& Desktop,
                  IDesktopControlHost& Host, TRumbleState& Vibracao);

  // Switches the pointer on (LEDs 1 and 4), noting in CursorWasOn whether it was on already; recalibrates
  // when the settings ask for it.
  void CursorOn();
  // Switches the pointer off (LED 4); recalibrates when the settings ask for it.
  void CursorOff();
  // One step of the pointer and of the edge rumble; Now in ms of the millisecond clock.
  void MotionTimerTimer(uint32_t Now, bool CursorButtonHeld);

  bool CursorWasOn() const { return cursorWasOn_; }
  bool WasOnEdge() const { return wasOnEdge_; }

 private:
  void MoveTo(TPoint From, TPoint To, const TMonitors& Monitors);
  void EdgeRumble(uint32_t Now, const TMonitors& Monitors);
  void EndPulse();

  const TQuillonSetting& setting_;
  const TWiimote& wiimote_;
  IDesktopInput& desktop_;
  IDesktopControlHost& host_;
  TRumbleState& rumble_;
  bool cursorWasOn_ = false;
  bool wasOnEdge_ = false;
};
