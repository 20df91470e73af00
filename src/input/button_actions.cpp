#include "input/button_actions.h"

#include <array>

#include "input/key_text.h"

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

bool IsRepeatable(std::string_view Type) {
  return Type == "Keys" || Type == "Mouse->Wheel Up" || Type == "Mouse->Wheel Down" ||
         Type == "Web->Forward" || Type == "Web->Backward" || Type == "Mixer->Volume Up" ||
         Type == "Mixer->Volume Down";
}

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

void TButtonActions::DoAction(const TButtonAssign& Assign, bool IsRepeat, TButtonState& State, int Kind,
                              uint32_t Now) {
  if (Kind == 1 && !IsRepeat) State.PressTime = Now;
  const std::string& type = Assign.Type;
  const bool press = Kind == 1;
  if (type == "Keys") {
    if (press) SendKeys(desktop_, Assign.Value);
  } else if (type == "Mouse->Left Click") {
    Click(TMouseButton::Left, Kind);
  } else if (type == "Mouse->Left Double Click") {
    DoubleClick(TMouseButton::Left, Kind);
  } else if (type == "Mouse->Right Click") {
    Click(TMouseButton::Right, Kind);
  } else if (type == "Mouse->Right Double Click") {
    DoubleClick(TMouseButton::Right, Kind);
  } else if (type == "Mouse->Middle Click") {
    Click(TMouseButton::Middle, Kind);
  } else if (type == "Mouse->Middle Double Click") {
    DoubleClick(TMouseButton::Middle, Kind);
  } else if (type == "Mouse->Wheel Up") {
    if (press) desktop_.Wheel(1);
  } else if (type == "Mouse->Wheel Down") {
    if (press) desktop_.Wheel(-1);
  } else if (type == "Web->Forward") {
    if (press) SendKeys(desktop_, "Alt+Right");
  } else if (type == "Web->Backward") {
    if (press) SendKeys(desktop_, "Alt+Left");
  } else if (type == "Mixer->Volume Up" || type == "Mixer->Volume Down" || type == "Mixer->Mute") {
    // The desktop's own volume keys, which its sound control answers.
    const TKeySym key = type == "Mixer->Mute"        ? KeySyms::AudioMute
                        : type == "Mixer->Volume Up" ? KeySyms::AudioRaiseVolume
                                                     : KeySyms::AudioLowerVolume;
    if (press) {
      desktop_.KeyDown(key);
      desktop_.KeyUp(key);
    }
  } else if (type == "Cursor ON/OFF") {
    CursorOnOff(Kind, Now);
  } else if (type == "Cursor ON") {
    if (press) pointer_.CursorOn();
    if (Kind == 2) pointer_.CursorOff();
  } else if (type == "Execute") {
    if (press) starter_.Start(Assign.Value);
  }
}

void TButtonActions::RepeatTimerTimer(uint32_t Now) {
  starter_.ReapFinished();
  for (TWiimoteButtonIndex index : ScanOrder) {
    if (GrabButton(index)) continue;
    const std::size_t i = static_cast<std::size_t>(index);
    const TButtonState& state = wiimote_.ButtonState[i];
    const TButtonAssign& assign = buttonAssign_[i];
    if (!state.Down || !IsRepeatable(assign.Type) || Now - state.PressTime <= RepeatDelayMs) continue;
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
    const std::string& type = buttonAssign_[i].Type;
    if (type == "Mouse->Cursor Up") vertical = 1;
    if (type == "Mouse->Cursor Down") vertical = -1;
    if (type == "Mouse->Cursor Right") horizontal = 1;
    if (type == "Mouse->Cursor Left") horizontal = -1;
  }
  if ((horizontal == 0 && vertical == 0) || !desktop_.Available()) return;
  const TPoint p = desktop_.CursorPos();
  const TPoint to = ClampTo(BoundingBox(desktop_.Monitors()),
                            {p.X + horizontal * CursorNudgePixels, p.Y - vertical * CursorNudgePixels});
  if (to != p) desktop_.SetCursorPos(to);
}
