#include <gtest/gtest.h>

#include "input/desktop/pointer_control.h"
#include "input/desktop/testing/recording_desktop_input.h"
#include "support/desktop_fakes.h"

namespace {

class PointerControl : public ::testing::Test {
 protected:
  PointerControl() {
    remote_.AccelX = remote_.AccelY = 128;
    remote_.IRSize1 = remote_.IRSize2 = 3;
    desktop_.PlacePointer({500, 400});
  }
  void Tick(bool held = false) { control_.MotionTimerTimer(now_, held); }
  // Ticks every 2 ms for `ms` milliseconds.
  void Run(uint32_t ms) {
    for (uint32_t end = now_ + ms; now_ != end;) {
      now_ += 2;
      Tick();
    }
  }
  TPoint Pointer() { return desktop_.CursorPos(); }

  TQuillonSetting setting_;
  TWiimote remote_;
  TRecordingDesktopInput desktop_;  // one 1024 x 768 monitor
  TFakeControlHost host_{setting_, remote_};
  TRumbleState rumble_;
  TPointerControl control_{setting_, remote_, desktop_, host_, rumble_};
  uint32_t now_ = 1000;
};

TEST_F(PointerControl, TiltInTheDeadZoneLeavesThePointerAlone) {
  remote_.AccelX = 129;
  remote_.AccelY = 127;
  desktop_.Take();
  for (int i = 0; i < 10; ++i) Tick();
  EXPECT_EQ(Pointer(), (TPoint{500, 400}));
  EXPECT_EQ(desktop_.Moves(), 0);  // not even a move to where it already is
}

TEST_F(PointerControl, IRGlidesTowardTheAimedPoint) {
  setting_.CursorMode = "IR";
  remote_.IRMidX = 512;
  remote_.IRMidY = 384;
  desktop_.PlacePointer({0, 0});
  Tick();
  EXPECT_EQ(Pointer(), (TPoint{85, 65}));
  Tick();
  EXPECT_EQ(Pointer(), (TPoint{156, 119}));  // (512 + 425) / 6, (391 + 325) / 6
}

TEST_F(PointerControl, LostIRFallsBackToTiltOnlyWhenAskedTo) {
  setting_.CursorMode = "IR";
  remote_.IRMidX = 512;
  remote_.IRMidY = 384;
  remote_.IRSize1 = remote_.IRSize2 = 15;
  remote_.AccelX = 140;
  desktop_.PlacePointer({0, 0});
  Tick();  // both dots lost, no fallback: keeps gliding toward the last aimed point
  EXPECT_EQ(Pointer(), (TPoint{85, 65}));
  setting_.UseMotionWhenLostIR = true;
  Tick();
  EXPECT_EQ(Pointer(), (TPoint{93, 65}));
  remote_.IRSize2 = 4;  // one dot is enough to aim
  Tick();
  EXPECT_EQ(Pointer(), (TPoint{(512 + 5 * 93) / 6, (391 + 5 * 65) / 6}));
}

TEST_F(PointerControl, NunchukStickMovesOnlyOutsideItsBandAndWithTheExtension) {
  setting_.CursorMode = "Nunchuk Analog";
  remote_.AccelX = 200;  // tilt plays no part in this mode
  remote_.NunchukStickX = 300;
  remote_.NunchukStickY = 100;
  Tick();
  EXPECT_EQ(Pointer(), (TPoint{500, 400}));  // no extension connected
  remote_.ExtensionConnected = true;
  Tick();
  EXPECT_EQ(Pointer(), (TPoint{502, 403}));  // stick down moves the pointer down
  remote_.NunchukStickX = 272;
  remote_.NunchukStickY = 144;
  desktop_.Take();
  Tick();
  EXPECT_EQ(desktop_.Moves(), 0);
  setting_.AnalogInvertV = true;
  remote_.NunchukStickY = 400;
  Tick();
  EXPECT_EQ(Pointer(), (TPoint{502, 412}));
  setting_.CursorMode = "Nunchuk Motion";
  Tick();
  EXPECT_EQ(Pointer(), (TPoint{502, 412}));
}

TEST_F(PointerControl, ArrivingAtAnEdgeRumblesOnceForJustOver60Ms) {
  remote_.AccelX = 116;  // -8 per tick
  desktop_.PlacePointer({12, 300});
  now_ = 5000;
  Tick();
  EXPECT_EQ(Pointer(), (TPoint{4, 300}));
  EXPECT_TRUE(host_.Leds.empty());
  now_ = 5002;
  Tick();  // pushed against the left edge
  EXPECT_EQ(Pointer(), (TPoint{0, 300}));
  EXPECT_EQ(host_.Leds, (std::vector<int>{145}));
  EXPECT_TRUE(rumble_.Vibrando);
  EXPECT_TRUE(rumble_.PulsoDeBorda);
  EXPECT_EQ(rumble_.InicioVibracao, 5002u);
  Run(60);  // up to 5062: exactly 60 ms is not yet over
  EXPECT_EQ(host_.Leds, (std::vector<int>{145}));
  Run(2);
  EXPECT_EQ(host_.Leds, (std::vector<int>{145, 144}));
  EXPECT_FALSE(rumble_.Vibrando);
  EXPECT_FALSE(rumble_.PulsoDeBorda);
  Run(2000);  // staying on the edge
  EXPECT_EQ(host_.Leds, (std::vector<int>{145, 144}));
  EXPECT_TRUE(control_.WasOnEdge());

  remote_.AccelX = 128;
  desktop_.PlacePointer({300, 300});
  Run(2);
  EXPECT_FALSE(control_.WasOnEdge());
  desktop_.PlacePointer({1023, 10});
  Run(2);
  EXPECT_EQ(host_.Leds, (std::vector<int>{145, 144, 145}));  // a new arrival, a new pulse
}

TEST_F(PointerControl, APulseEndsOffTheEdgeTooAndTheClockMayWrap) {
  now_ = 0xFFFFFFF0u;
  desktop_.PlacePointer({0, 0});
  Tick();
  EXPECT_EQ(host_.Leds, (std::vector<int>{145}));
  desktop_.PlacePointer({300, 300});
  Run(60);  // the clock wraps past zero meanwhile
  EXPECT_EQ(host_.Leds, (std::vector<int>{145}));
  Run(2);
  EXPECT_EQ(host_.Leds, (std::vector<int>{145, 144}));
}

TEST_F(PointerControl, NoEdgeRumbleWhenSwitchedOffOrWithoutDesktop) {
  setting_.RumbleOnEdge = false;
  desktop_.PlacePointer({0, 0});
  Run(100);
  EXPECT_TRUE(host_.Leds.empty());
  EXPECT_FALSE(control_.WasOnEdge());

  setting_.RumbleOnEdge = true;
  desktop_.SetAvailable(false);
  remote_.AccelX = 200;
  Run(100);
  EXPECT_TRUE(host_.Leds.empty());
  EXPECT_EQ(Pointer(), (TPoint{0, 0}));
}

TEST_F(PointerControl, ARumbleOfTheGrabIsNotTakenForAnEdgePulse) {
  // The frame renews InicioVibracao while it carries an object: arriving at the edge adds no pulse and
  // does not end that rumble.
  rumble_ = {true, now_};
  desktop_.PlacePointer({0, 0});
  Tick();
  EXPECT_TRUE(host_.Leds.empty());
  EXPECT_TRUE(rumble_.Vibrando);
  EXPECT_FALSE(rumble_.PulsoDeBorda);
}

TEST_F(PointerControl, CursorOnAndOffSwitchTheTimerAndTheLeds) {
  control_.CursorOn();
  EXPECT_TRUE(host_.MotionTimer);
  EXPECT_FALSE(control_.CursorWasOn());
  control_.CursorOn();  // already on: stays on, and says so
  EXPECT_TRUE(host_.MotionTimer);
  EXPECT_TRUE(control_.CursorWasOn());
  control_.CursorOff();
  EXPECT_FALSE(host_.MotionTimer);
  EXPECT_FALSE(control_.CursorWasOn());
  EXPECT_EQ(host_.Leds, (std::vector<int>{144, 144, 128}));
  EXPECT_EQ(host_.Calibrations, 0);
}

TEST_F(PointerControl, RecalibrateTakesTheRestingTiltAsTheNewZero) {
  setting_.Recalibrate = true;
  remote_.AccelX = 140;
  remote_.AccelY = 120;
  remote_.AccelZ = 150;
  control_.CursorOn();
  EXPECT_EQ(host_.Calibrations, 1);
  EXPECT_EQ(setting_.BaseZ, 150);
  Tick();
  EXPECT_EQ(Pointer(), (TPoint{500, 400}));
  remote_.AccelX = 152;
  Tick();
  EXPECT_EQ(Pointer(), (TPoint{508, 400}));
  control_.CursorOff();
  EXPECT_EQ(host_.Calibrations, 2);
}

}  // namespace
