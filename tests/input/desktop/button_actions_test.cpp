#include <gtest/gtest.h>

#include "input/desktop/testing/recording_desktop_input.h"
#include "support/desktop_control_fixture.h"

namespace {

class ButtonActions : public TDesktopControlFixture<TRecordingDesktopInput> {
 protected:
  ButtonActions() { remote_.AccelX = remote_.AccelY = 128; }

  void Assign(TWiimoteButtonIndex b, const char* type, const char* value = "") {
    buttons_[b] = {type, value};
  }
  // The 20 ms auto-repeat ticking for `ms` milliseconds.
  void RepeatFor(uint32_t ms) {
    for (uint32_t ticks = ms / 20; ticks > 0; --ticks) {
      now_ += 20;
      control_.RepeatTimerTimer(now_);
    }
  }
  int Count(const std::string& record, const std::string& word) {
    int n = 0;
    for (std::size_t at = record.find(word); at != std::string::npos; at = record.find(word, at + 1)) ++n;
    return n;
  }
};

TEST_F(ButtonActions, DefaultAssignmentsTypeKeysAndClickOnTheirEdges) {
  Press(ButtonUp);
  EXPECT_EQ(desktop_.Take(), "+Up -Up");
  Release(ButtonUp);
  EXPECT_EQ(desktop_.Take(), "");
  Press(ButtonHome);
  Press(ButtonOne);
  Press(ButtonTwo);
  EXPECT_EQ(desktop_.Take(), "+BackSpace -BackSpace +Tab -Tab +Return -Return");
  Press(ButtonMinus);
  EXPECT_EQ(desktop_.Take(), "+right");
  Release(ButtonMinus);
  EXPECT_EQ(desktop_.Take(), "-right");
  Press(ButtonZ);
  Press(ButtonC);
  Release(ButtonZ);
  Release(ButtonC);
  EXPECT_EQ(desktop_.Take(), "+left +right -left -right");
}

// In the program's own window the buttons do their own work; keys typed for it would do it again (Home's
// BackSpace reloads the scene). Mouse clicks and the pointer go on as before.
TEST_F(ButtonActions, NoKeysAreTypedIntoTheProgramsOwnWindow) {
  host_.OwnWindow = true;
  Assign(ButtonPlus, "Web->Forward");
  Assign(ButtonTwo, "Mouse->Left Click");
  for (TWiimoteButtonIndex b : {ButtonHome, ButtonUp, ButtonLeft, ButtonPlus, ButtonTwo}) Press(b);
  RepeatFor(1000);
  EXPECT_EQ(desktop_.Take(), "+left");
  for (TWiimoteButtonIndex b : {ButtonHome, ButtonUp, ButtonLeft, ButtonPlus, ButtonTwo}) Release(b);
  EXPECT_EQ(desktop_.Take(), "-left");
  host_.OwnWindow = false;
  Press(ButtonHome);
  EXPECT_EQ(desktop_.Take(), "+BackSpace -BackSpace");
}

TEST_F(ButtonActions, EveryMouseAndWebAction) {
  const std::pair<const char*, const char*> actions[] = {
      {"Mouse->Left Click", "+left|-left"},
      {"Mouse->Left Double Click", "+left -left +left -left|"},
      {"Mouse->Right Click", "+right|-right"},
      {"Mouse->Right Double Click", "+right -right +right -right|"},
      {"Mouse->Middle Click", "+middle|-middle"},
      {"Mouse->Middle Double Click", "+middle -middle +middle -middle|"},
      {"Mouse->Wheel Up", "wheel+1|"},
      {"Mouse->Wheel Down", "wheel-1|"},
      {"Web->Forward", "+Alt_L +Right -Right -Alt_L|"},
      {"Web->Backward", "+Alt_L +Left -Left -Alt_L|"},
      {"Mixer->Volume Up", "+AudioRaiseVolume -AudioRaiseVolume|"},
      {"Mixer->Volume Down", "+AudioLowerVolume -AudioLowerVolume|"},
      {"Mixer->Mute", "+AudioMute -AudioMute|"},
  };
  for (const auto& [type, expected] : actions) {
    Assign(ButtonPlus, type);
    Press(ButtonPlus);
    std::string record = desktop_.Take() + "|";
    Release(ButtonPlus);
    record += desktop_.Take();
    EXPECT_EQ(record, expected) << type;
  }
}

TEST_F(ButtonActions, UnknownTypesAndButtonsDoNothing) {
  for (const char* type : {"", "keys", "Mouse->Left click", "Cursor On", "Nada"}) {
    Assign(ButtonPlus, type, "Enter");
    Press(ButtonPlus);
    Release(ButtonPlus);
    RepeatFor(2000);
  }
  TButtonState stray;
  control_.ButtonEdge(0x8000, 1, stray, now_);
  EXPECT_EQ(desktop_.Take(), "");
  EXPECT_TRUE(host_.Leds.empty());
  EXPECT_TRUE(starter_.Started.empty());
}

TEST_F(ButtonActions, AAndBRunNoActionAndNeverRepeat) {
  Assign(ButtonA, "Keys", "X");
  Assign(ButtonB, "Mouse->Wheel Up");
  Press(ButtonA);
  Press(ButtonB);
  RepeatFor(2000);
  Release(ButtonA);
  Release(ButtonB);
  EXPECT_EQ(desktop_.Take(), "");
  EXPECT_FALSE(host_.MotionTimer);
}

TEST_F(ButtonActions, HeldKeysRepeatEvery20MsFrom800MsOn) {
  Assign(ButtonDown, "Keys", "Down");
  now_ = 1000;
  Press(ButtonDown);
  EXPECT_EQ(desktop_.Take(), "+Down -Down");
  RepeatFor(800);  // 800 ms after the press is not yet past 800 ms
  EXPECT_EQ(desktop_.Take(), "");
  RepeatFor(20);
  EXPECT_EQ(desktop_.Take(), "+Down -Down");
  RepeatFor(1180);  // held 2 s in all: the ticks 1840 .. 3000
  EXPECT_EQ(Count(desktop_.Take(), "+Down"), 59);
  EXPECT_EQ(remote_.ButtonState[ButtonDown].PressTime, 1000u);  // a repeat does not restamp the press
  Release(ButtonDown);
  RepeatFor(1000);
  EXPECT_EQ(desktop_.Take(), "");
}

TEST_F(ButtonActions, RepeatsFollowTheScanOrderAndOnlyRepeatableActions) {
  Assign(ButtonHome, "Mouse->Wheel Down");
  Assign(ButtonPlus, "Web->Backward");
  Assign(ButtonRight, "Mouse->Left Click");
  Assign(ButtonLeft, "Execute", "xterm");
  Press(ButtonHome);
  Press(ButtonPlus);
  Press(ButtonRight);
  Press(ButtonLeft);
  EXPECT_EQ(desktop_.Take(), "wheel-1 +Alt_L +Left -Left -Alt_L +left");
  RepeatFor(820);
  // Plus comes before Home in the repeat's order.
  EXPECT_EQ(desktop_.Take(), "+Alt_L +Left -Left -Alt_L wheel-1");
  EXPECT_EQ(starter_.Started, (std::vector<std::string>{"xterm"}));
  EXPECT_EQ(starter_.Reaps, 41);
}

TEST_F(ButtonActions, RepeatDelayIsMeasuredAcrossTheClocksWrap) {
  now_ = 0xFFFFFF00u;
  Press(ButtonUp);
  desktop_.Take();
  RepeatFor(780);  // wraps; no repeat yet
  EXPECT_EQ(desktop_.Take(), "");
  now_ += 40;
  control_.RepeatTimerTimer(now_);
  EXPECT_EQ(desktop_.Take(), "+Up -Up");
}

TEST_F(ButtonActions, CursorOnOffTapTogglesAndHoldKeepsItOn) {
  // B's default is "Cursor ON/OFF" but B runs no action: put it on Plus.
  Assign(ButtonPlus, "Cursor ON/OFF");
  Press(ButtonPlus);
  EXPECT_TRUE(control_.CursorButtonHeld());
  now_ += 150;
  Release(ButtonPlus);
  EXPECT_TRUE(host_.MotionTimer);  // tap on
  EXPECT_FALSE(control_.CursorButtonHeld());
  EXPECT_EQ(host_.Leds, (std::vector<int>{144, 144}));

  now_ += 500;
  Press(ButtonPlus);
  now_ += 299;
  Release(ButtonPlus);
  EXPECT_FALSE(host_.MotionTimer);  // tap off
  EXPECT_EQ(host_.Leds, (std::vector<int>{144, 144, 144, 128}));

  now_ += 500;
  Press(ButtonPlus);
  now_ += 1000;
  Release(ButtonPlus);
  EXPECT_TRUE(host_.MotionTimer);  // held 1 s: on, and stays on
  EXPECT_EQ(host_.Leds.back(), 144);

  now_ += 500;
  Press(ButtonPlus);
  now_ += 300;  // 300 ms is no longer a tap: still on
  Release(ButtonPlus);
  EXPECT_TRUE(host_.MotionTimer);
}

TEST_F(ButtonActions, HoldingTheCursorButtonSwitchesTheTiltSpeed) {
  Assign(ButtonPlus, "Cursor ON/OFF");
  desktop_.PlacePointer({500, 400});
  remote_.AccelX = 140;
  Press(ButtonPlus);
  control_.MotionTimerTimer(now_);  // "Slower": the slow step while held
  EXPECT_EQ(desktop_.CursorPos(), (TPoint{502, 400}));
  now_ += 1000;
  Release(ButtonPlus);
  control_.MotionTimerTimer(now_);
  EXPECT_EQ(desktop_.CursorPos(), (TPoint{510, 400}));
}

TEST_F(ButtonActions, CursorOnFollowsTheButton) {
  Assign(ButtonC, "Cursor ON");
  Press(ButtonC);
  EXPECT_TRUE(host_.MotionTimer);
  Release(ButtonC);
  EXPECT_FALSE(host_.MotionTimer);
  EXPECT_EQ(host_.Leds, (std::vector<int>{144, 128}));
}

TEST_F(ButtonActions, ExecuteStartsTheCommandOncePerPress) {
  Assign(ButtonTwo, "Execute", "xdg-open 'Meus Documentos'");
  Press(ButtonTwo);
  RepeatFor(2000);
  Release(ButtonTwo);
  EXPECT_EQ(starter_.Started, (std::vector<std::string>{"xdg-open 'Meus Documentos'"}));
}

TEST_F(ButtonActions, MouseCursorButtonsNudgeThePointerEveryCursorTick) {
  desktop_.PlacePointer({500, 400});
  Assign(ButtonUp, "Mouse->Cursor Up");
  Assign(ButtonDown, "Mouse->Cursor Down");
  Assign(ButtonRight, "Mouse->Cursor Right");
  Assign(ButtonA, "Mouse->Cursor Left");
  control_.CursorTimerTimer();
  EXPECT_EQ(desktop_.Moves(), 0);
  Press(ButtonUp);
  EXPECT_EQ(desktop_.Take(), "");  // no action on the edge itself
  control_.CursorTimerTimer();
  control_.CursorTimerTimer();
  EXPECT_EQ(desktop_.CursorPos(), (TPoint{500, 392}));
  Press(ButtonDown);  // later in the order: wins the vertical axis
  Press(ButtonRight);
  control_.CursorTimerTimer();
  EXPECT_EQ(desktop_.CursorPos(), (TPoint{504, 396}));
  Press(ButtonA);  // A comes after Right
  control_.CursorTimerTimer();
  EXPECT_EQ(desktop_.CursorPos(), (TPoint{500, 400}));
  desktop_.SetAvailable(false);
  control_.CursorTimerTimer();
  EXPECT_EQ(desktop_.CursorPos(), (TPoint{500, 400}));
}

}  // namespace
