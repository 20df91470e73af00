#pragma once
// The desktop actions assigned to the Wii Remote's buttons in "config.ini": keys, mouse clicks and wheel,
// browser back and forward, volume keys, pointer switching and program start, with the auto-repeat of
// held buttons and the pointer nudges of the "Mouse->Cursor" actions. Main thread only.

#include <cstdint>

#include "input/desktop/button_action_kind.h"
#include "input/desktop/desktop_control_host.h"
#include "input/desktop/desktop_input.h"
#include "input/desktop/pointer_control.h"
#include "input/desktop/process_starter.h"
#include "input/settings/settings.h"
#include "wiimote/wiimote_state.h"

// A repeatable action repeats while its button stays down longer than this, once per RepeatTimer tick.
inline constexpr uint32_t RepeatDelayMs = 800;
// A "Cursor ON/OFF" press shorter than this is a tap.
inline constexpr uint32_t CursorTapMs = 300;
// Pixels per CursorTimer tick (CursorTimerMs) that a held "Mouse->Cursor" button moves the pointer.
inline constexpr int32_t CursorNudgePixels = 4;

class TButtonActions {
 public:
  // Every argument is kept by reference and must outlive the actions.
  TButtonActions(const TWiimoteButtonAssign& ButtonAssign, const TWiimote& Wiimote, IDesktopInput& Desktop,
                 IProcessStarter& Starter, IDesktopControlHost& Host, TPointerControl& Pointer);

  // A button went down (Kind 1) or up (Kind 2) and State already shows it: runs the button's assigned
  // action once. A and B, and masks of no button, run nothing. Now in ms of the millisecond clock.
  void ButtonEdge(uint16_t Mask, int Kind, TButtonState& State, uint32_t Now);
  // Performs one assignment: Kind 1 the press half, 2 the release half. A press that is not a repeat
  // stamps State.PressTime.
  void DoAction(const TButtonAssign& Assign, bool IsRepeat, TButtonState& State, int Kind, uint32_t Now);
  // The RepeatTimer (every RepeatTimerMs): repeats the press half of every repeatable action whose button has
  // been down longer than RepeatDelayMs. A and B never repeat.
  void RepeatTimerTimer(uint32_t Now);
  // The pointer part of the CursorTimer (every CursorTimerMs): held "Mouse->Cursor Up/Down/Right/Left"
  // buttons move the pointer CursorNudgePixels per tick; a later button in the scan order wins on the same
  // axis.
  void CursorTimerTimer();

  // A "Cursor ON/OFF" button is down; the pointer control switches speeds on it.
  bool CursorButtonHeld() const { return cursorButtonHeld_; }

 private:
  void Click(TMouseButton Button, int Kind);
  void DoubleClick(TMouseButton Button, int Kind);
  void CursorOnOff(int Kind, uint32_t Now);
  void TapKey(TKeySym Key);

  const TWiimoteButtonAssign& buttonAssign_;
  const TWiimote& wiimote_;
  IDesktopInput& desktop_;
  IProcessStarter& starter_;
  IDesktopControlHost& host_;
  TPointerControl& pointer_;
  bool cursorButtonHeld_ = false;
  uint32_t cursorButtonTime_ = 0;
};
