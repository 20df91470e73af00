#pragma once
// The Wii Remote driving the desktop: button actions and pointer control behind one set of entry points.
// The remote session owns one, with the desktop service, the process starter and the rumble state it was
// given, and calls it from the link's button edges and from its timers. Main thread only.

#include <cstdint>

#include "input/desktop/button_actions.h"
#include "input/desktop/desktop_control_host.h"
#include "input/desktop/desktop_input.h"
#include "input/desktop/pointer_control.h"
#include "input/desktop/process_starter.h"
#include "input/desktop/rumble_state.h"
#include "input/settings/settings.h"
#include "wiimote/wiimote_state.h"

class TDesktopControl {
 public:
  // Every argument is kept by reference and must outlive the control. Setting and ButtonAssign are read
  // at every use, so a calibration through Host shows at the next tick.
  TDesktopControl(const TQuillonSetting& Setting, const TWiimoteButtonAssign& ButtonAssign,
                  const TWiimote& Wiimote, IDesktopInput& Desktop, IProcessStarter& Starter,
                  IDesktopControlHost& Host, TRumbleState& Vibracao)
      : pointer_(Setting, Wiimote, Desktop, Host, Vibracao),
        actions_(ButtonAssign, Wiimote, Desktop, Starter, Host, pointer_) {}

  // From IWiimoteHost::ButtonEdge, with the clock's milliseconds.
  void ButtonEdge(uint16_t Mask, int Kind, TButtonState& State, uint32_t Now) {
    actions_.ButtonEdge(Mask, Kind, State, Now);
  }
  // RepeatTimer, every RepeatTimerMs while a Wii Remote is connected.
  void RepeatTimerTimer(uint32_t Now) { actions_.RepeatTimerTimer(Now); }
  // MotionTimer, every MotionTimerMs while the desktop pointer is on.
  void MotionTimerTimer(uint32_t Now) { pointer_.MotionTimerTimer(Now, actions_.CursorButtonHeld()); }
  // The first part of CursorTimer, every CursorTimerMs while a Wii Remote is connected, before the grab and
  // throw.
  void CursorTimerTimer() { actions_.CursorTimerTimer(); }

  void CursorOn() { pointer_.CursorOn(); }
  void CursorOff() { pointer_.CursorOff(); }

  bool CursorButtonHeld() const { return actions_.CursorButtonHeld(); }
  bool CursorWasOn() const { return pointer_.CursorWasOn(); }
  bool WasOnEdge() const { return pointer_.WasOnEdge(); }

 private:
  TPointerControl pointer_;
  TButtonActions actions_;
};
