// The Wii Remote's report decoder feeding the button actions, as the window wires them.
#include <gtest/gtest.h>

#include "input/desktop/testing/recording_desktop_input.h"
#include "support/desktop_control_fixture.h"
#include "wiimote/wiimote_decoder.h"

namespace {

class DecodedButtons : public TDesktopControlFixture<TRecordingDesktopInput> {
 protected:
  DecodedButtons() {
    events_.ButtonEdge = [this](uint16_t Mask, int Kind, TButtonState& State) {
      control_.ButtonEdge(Mask, Kind, State, events_.Now);
    };
  }
  // One report's core button word at `now`, then the auto-repeat tick of that moment.
  void Report(uint16_t word, uint32_t now) {
    events_.Now = now;
    ParseButtons(remote_, word, events_);
    control_.RepeatTimerTimer(now);
  }

  TWiimoteDecodeEvents events_;
};

TEST_F(DecodedButtons, RepeatedReportsOfTheSameStateRunNoAction) {
  const uint16_t up = WiimoteButtons[ButtonUp].Mask;
  const uint16_t minus = WiimoteButtons[ButtonMinus].Mask;
  for (uint32_t t = 100; t <= 200; t += 10) Report(up | minus, t);
  EXPECT_EQ(desktop_.Take(), "+Up -Up +right");
  for (uint32_t t = 210; t <= 300; t += 10) Report(0, t);
  EXPECT_EQ(desktop_.Take(), "-right");
}

TEST_F(DecodedButtons, HeldDirectionRepeatsAndGrabButtonsStaySilent) {
  buttons_[ButtonA] = {"Keys", "X"};
  buttons_[ButtonB] = {"Cursor ON/OFF", ""};
  const uint16_t word =
      WiimoteButtons[ButtonDown].Mask | WiimoteButtons[ButtonA].Mask | WiimoteButtons[ButtonB].Mask;
  for (uint32_t t = 0; t <= 2000; t += 10) Report(word, t);  // reports every 10 ms, held 2 s
  const std::string typed = desktop_.Take();
  // The press at 0, then every 10 ms report-tick from 810 to 2000 (the test ticks the repeat with each
  // report).
  std::size_t downs = 0;
  for (std::size_t at = typed.find("+Down"); at != std::string::npos; at = typed.find("+Down", at + 1))
    ++downs;
  EXPECT_EQ(downs, 1u + 120u);
  EXPECT_EQ(typed.find("+x"), std::string::npos);
  EXPECT_FALSE(host_.MotionTimer);
}

}  // namespace
