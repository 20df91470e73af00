#pragma once
// The desktop pointer driven by the Wii Remote: by tilt ("Motion"), by aiming the infrared camera ("IR")
// or by the Nunchuk stick ("Nunchuk Analog"), one step per tick of the 2 ms MotionTimer, with one short
// rumble pulse on arriving at an edge of the desktop. Main thread only.

#include <cstdint>

#include "desktop_control_host.h"
#include "desktop_input.h"
#include "rumble_state.h"
#include "settings.h"
#include "wiimote/WiimoteState.h"

// The edge pulse ends at the first tick more than this many ms after it began.
inline constexpr uint32_t EdgeRumbleMs = 60;

class TPointerControl {
 public:
  // Every argument is kept by reference and must outlive the control.
  TPointerControl(const TQuillonSetting& Setting, const TWiimote& Wiimote, IDesktopInput& Desktop,
                  IDesktopControlHost& Host, TVibracao& Vibracao);

  // Switches the pointer on (LEDs 1 and 4), noting in CursorWasOn whether it was on already; recalibrates
  // when the settings ask for it.
  void CursorOn();
  // Switches the pointer off (LED 4); recalibrates when the settings ask for it.
  void CursorOff();
  // One step of the pointer and of the edge rumble; Now in ms of the millisecond clock.
  void MotionTimerTimer(uint32_t Now, bool CursorButtonHeld);

  bool CursorWasOn() const { return FCursorWasOn; }
  bool WasOnEdge() const { return FWasOnEdge; }

 private:
  void MoveTo(TPoint From, TPoint To, const TMonitors& Monitors);
  void EdgeRumble(uint32_t Now, const TMonitors& Monitors);
  void EndPulse();

  const TQuillonSetting& FSetting;
  const TWiimote& FWiimote;
  IDesktopInput& FDesktop;
  IDesktopControlHost& FHost;
  TVibracao& FVibracao;
  bool FCursorWasOn = false;
  bool FWasOnEdge = false;
};
