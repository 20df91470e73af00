#pragma once
// The Wii Remote driving the desktop: button actions and pointer control behind the main window's entry
// points. The window owns one, with the desktop service, the process starter and the rumble state it was
// given, and calls it from the link's button edges and from its timers. Main thread only.

#include <cstdint>

#include "button_actions.h"
#include "desktop_control_host.h"
#include "desktop_input.h"
#include "pointer_control.h"
#include "process_starter.h"
#include "rumble_state.h"
#include "settings.h"
#include "wiimote/WiimoteState.h"

class TDesktopControl {
 public:
  // Every argument is kept by reference and must outlive the control. Setting and ButtonAssign are read
  // at every use, so a calibration through Host shows at the next tick.
  TDesktopControl(const TQuillonSetting& Setting, const TWiimoteButtonAssign& ButtonAssign,
                  const TWiimote& Wiimote, IDesktopInput& Desktop, IProcessStarter& Starter,
                  IDesktopControlHost& Host, TVibracao& Vibracao);

  // From IWiimoteHost::ButtonEdge, with the clock's milliseconds.
  void ButtonEdge(uint16_t Mask, int Kind, TButtonState& State, uint32_t Now) {
    FActions.ButtonEdge(Mask, Kind, State, Now);
  }
  // RepeatTimer, every 20 ms while a Wii Remote is connected.
  void RepeatTimerTimer(uint32_t Now) { FActions.RepeatTimerTimer(Now); }
  // MotionTimer, every 2 ms while the desktop pointer is on.
  void MotionTimerTimer(uint32_t Now) { FPointer.MotionTimerTimer(Now, FActions.CursorButtonHeld()); }
  // The first part of CursorTimer, every 12 ms while a Wii Remote is connected, before the grab and throw.
  void CursorTimerTimer() { FActions.CursorTimerTimer(); }

  void CursorOn() { FPointer.CursorOn(); }
  void CursorOff() { FPointer.CursorOff(); }

  bool CursorButtonHeld() const { return FActions.CursorButtonHeld(); }
  bool CursorWasOn() const { return FPointer.CursorWasOn(); }
  bool WasOnEdge() const { return FPointer.WasOnEdge(); }

 private:
  TPointerControl FPointer;
  TButtonActions FActions;
};
