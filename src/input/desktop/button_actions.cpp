#include "input/desktop/button_actions.h"

#include <array>

#include "input/desktop/key_text.h"

namespace {

// The auto-repeat's and the pointer nudge's scan order; A and B are taken out of the auto-repeat.
constexpr std::array<TWiimoteButtonIndex, WiimoteButtonCount> ScanOrder{
    ButtonUp,    ButtonDown, ButtonRight, ButtonLeft, ButtonA, ButtonB, ButtonPlus,
    ButtonMinus, ButtonHome, ButtonOne,   ButtonTwo,  ButtonC, ButtonZ};

bool GrabButton(TWiimoteButtonIndex Index) {
  return Index == ButtonA || Index == ButtonB;
}

int ButtonIndexOfMask(uint16_t Mask) {
  for (int i = 0; i < WiimoteButtonCount; ++i)
    if (WiimoteButtons[static_cast<std::size_t>(i)].Mask == Mask) return i;
  return -1;
}

}  // namespace

TButtonActions::TButtonActions(const TWiimoteButtonAssign& ButtonAssign, const TWiimote& Wiimote,
                               IDesktopInput& Desktop, IProcessStarter& Starter, IDesktopControlHost& Host,
                               TPointerControl& Pointer)
    : buttonAssign_(ButtonAssign),
      wiimote_(Wiimote),
      desktop_(Desktop),
      starter_(Starter),
      host_(Host),
      pointer_(Pointer) {}

void TButtonActions::ButtonEdge(uint16_t Mask, int Kind, TButtonState& State, uint32_t Now) {
  const int index = ButtonIndexOfMask(Mask);
  if (index < 0 || GrabButton(static_cast<TWiimoteButtonIndex>(index))) return;
  DoAction(buttonAssign_[static_cast<std::size_t>(index)], false, State, Kind, Now);
}

void TButtonActions::Click(TMouseButton Button, int Kind) {
  if (Kind == 1) desktop_.ButtonDown(Button);
  if (Kind == 2) desktop_.ButtonUp(Button);
}

void TButtonActions::DoubleClick(TMouseButton Button, int Kind) {
  if (Kind != 1) return;
  for (int i = 0; i < 2; ++i) {
    desktop_.ButtonDown(Button);
    desktop_.ButtonUp(Button);
  }
}

void TButtonActions::CursorOnOff(int Kind, uint32_t Now) {
  if (Kind == 1) {
    cursorButtonHeld_ = true;
    pointer_.CursorOn();
    cursorButtonTime_ = Now;
    return;
  }
  cursorButtonHeld_ = false;
  if (Now - cursorButtonTime_ >= CursorTapMs) return;
  if (pointer_.CursorWasOn())
    pointer_.CursorOff();
  else
    host_.SetLeds(LedsOneAndFour);
}

void TButtonActions::TapKey(TKeySym Key) {
  desktop_.KeyDown(Key);
  desktop_.KeyUp(Key);
}

void TButtonActions::DoAction(const TButtonAssign& Assign, bool IsRepeat, TButtonState& State, int Kind,
                              uint32_t Now) {
  if (Kind == 1 && !IsRepeat) State.PressTime = Now;
  const bool press = Kind == 1;
  switch (ButtonActionKindOf(Assign.Type)) {
    case TButtonActionKind::Keys:
      if (press && !host_.OwnWindowActive()) SendKeys(desktop_, Assign.Value);
      break;
    case TButtonActionKind::LeftClick:
      Click(TMouseButton::Left, Kind);
      break;
    case TButtonActionKind::LeftDoubleClick:
      DoubleClick(TMouseButton::Left, Kind);
      break;
    case TButtonActionKind::RightClick:
      Click(TMouseButton::Right, Kind);
      break;
    case TButtonActionKind::RightDoubleClick:
      DoubleClick(TMouseButton::Right, Kind);
      break;
    case TButtonActionKind::MiddleClick:
      Click(TMouseButton::Middle, Kind);
      break;
    case TButtonActionKind::MiddleDoubleClick:
      DoubleClick(TMouseButton::Middle, Kind);
      break;
    case TButtonActionKind::WheelUp:
      if (press) desktop_.Wheel(1);
      break;
    case TButtonActionKind::WheelDown:
      if (press) desktop_.Wheel(-1);
      break;
    case TButtonActionKind::WebForward:
      if (press && !host_.OwnWindowActive()) SendKeys(desktop_, "Alt+Right");
      break;
    case TButtonActionKind::WebBackward:
      if (press && !host_.OwnWindowActive()) SendKeys(desktop_, "Alt+Left");
      break;
    // The desktop's own volume keys, which its sound control answers.
    case TButtonActionKind::VolumeUp:
      if (press) TapKey(KeySyms::AudioRaiseVolume);
      break;
    case TButtonActionKind::VolumeDown:
      if (press) TapKey(KeySyms::AudioLowerVolume);
      break;
    case TButtonActionKind::Mute:
      if (press) TapKey(KeySyms::AudioMute);
      break;
    case TButtonActionKind::CursorOnOff:
      CursorOnOff(Kind, Now);
      break;
    case TButtonActionKind::CursorOn:
      if (press) pointer_.CursorOn();
      if (Kind == 2) pointer_.CursorOff();
      break;
    case TButtonActionKind::Execute:
      if (press) starter_.Start(Assign.Value);
      break;
    case TButtonActionKind::CursorUp:  // moved by CursorTimerTimer while held, nothing on the edges
    case TButtonActionKind::CursorDown:
    case TButtonActionKind::CursorRight:
    case TButtonActionKind::CursorLeft:
    case TButtonActionKind::Unknown:
      break;
  }
}

void TButtonActions::RepeatTimerTimer(uint32_t Now) {
  starter_.ReapFinished();
  for (TWiimoteButtonIndex index : ScanOrder) {
    if (GrabButton(index)) continue;
    const std::size_t i = static_cast<std::size_t>(index);
    const TButtonState& state = wiimote_.ButtonState[i];
    const TButtonAssign& assign = buttonAssign_[i];
    if (!state.Down || !IsRepeatable(ButtonActionKindOf(assign.Type)) ||
        Now - state.PressTime <= RepeatDelayMs)
      continue;
    TButtonState scratch = state;
    DoAction(assign, true, scratch, 1, Now);
  }
}

void TButtonActions::CursorTimerTimer() {
  int32_t horizontal = 0;
  int32_t vertical = 0;  // +1 up
  for (TWiimoteButtonIndex index : ScanOrder) {
    const std::size_t i = static_cast<std::size_t>(index);
    if (!wiimote_.ButtonState[i].Down) continue;
    switch (ButtonActionKindOf(buttonAssign_[i].Type)) {
      case TButtonActionKind::CursorUp:
        vertical = 1;
        break;
      case TButtonActionKind::CursorDown:
        vertical = -1;
        break;
      case TButtonActionKind::CursorRight:
        horizontal = 1;
        break;
      case TButtonActionKind::CursorLeft:
        horizontal = -1;
        break;
      default:
        break;
    }
  }
  if ((horizontal == 0 && vertical == 0) || !desktop_.Available()) return;
  const TPoint p = desktop_.CursorPos();
  const TPoint to = ClampTo(BoundingBox(desktop_.Monitors()),
                            {p.X + horizontal * CursorNudgePixels, p.Y - vertical * CursorNudgePixels});
  if (to != p) desktop_.SetCursorPos(to);
}
