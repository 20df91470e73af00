#pragma once
// The desktop actions wired as the main window wires them, over the desktop a test chooses (the
// recording double or the real X11 service), with the remote's buttons pressed and released as the
// report decoder does.

#include <gtest/gtest.h>

#include <cstdint>

#include "input/desktop/desktop_control.h"
#include "support/desktop_fakes.h"

template <class TDesktop>
class TDesktopControlFixture : public ::testing::Test {
 protected:
  // The state shows the edge first, then the edge goes to the actions, stamped with now_.
  void Press(TWiimoteButtonIndex b) {
    TButtonState& s = remote_.ButtonState[b];
    s.Down = true;
    s.PressTime = now_;
    control_.ButtonEdge(WiimoteButtons[b].Mask, 1, s, now_);
  }
  void Release(TWiimoteButtonIndex b) {
    TButtonState& s = remote_.ButtonState[b];
    s.Down = false;
    control_.ButtonEdge(WiimoteButtons[b].Mask, 2, s, now_);
  }

  TDesktop desktop_;
  TQuillonSetting setting_;
  TWiimoteButtonAssign buttons_;  // the defaults of the settings file
  TWiimote remote_;
  TRecordingStarter starter_;
  TFakeControlHost host_{setting_, remote_};
  TRumbleState rumble_;
  TDesktopControl control_{setting_, buttons_, remote_, desktop_, starter_, host_, rumble_};
  uint32_t now_ = 1000;
};
