#include <gtest/gtest.h>

#include "input/desktop/pointer_math.h"

namespace {

// The tilt step for a deviation (dx, dy) from the zero point 128, 128.
TPoint Tilt(const TQuillonSetting& s, int dx, int dy, bool held = false) {
  return TiltStep(s, static_cast<uint8_t>(128 + dx), static_cast<uint8_t>(128 + dy), held);
}

TEST(TiltStep, WorkedValuesWithTheDefaults) {
  TQuillonSetting s;  // OnPush "Slower": fast unless the cursor button is held
  EXPECT_EQ(Tilt(s, 12, 12), (TPoint{8, 6}));
  EXPECT_EQ(Tilt(s, 12, 12, true), (TPoint{2, 2}));
  EXPECT_EQ(Tilt(s, -12, 0), (TPoint{-8, 0}));
  EXPECT_EQ(Tilt(s, -12, 0, true), (TPoint{-1, 0}));
  EXPECT_EQ(Tilt(s, 1, -1), (TPoint{0, 0}));   // AccelX 129: inside the dead zone
  EXPECT_EQ(Tilt(s, 2, -2), (TPoint{1, -1}));  // on its border: moves
}

TEST(TiltStep, FasterTakesTheSlowStepUntilTheButtonIsHeld) {
  TQuillonSetting s;
  s.OnPush = "Faster";
  EXPECT_EQ(Tilt(s, 2, 0), (TPoint{1, 0}));   // 2 / 9 x 1.2 = 0.27, up to 1
  EXPECT_EQ(Tilt(s, -2, 0), (TPoint{0, 0}));  // -0.27, up to 0
  EXPECT_EQ(Tilt(s, 12, 12, true), (TPoint{8, 6}));
}

TEST(TiltStep, WholeStepsAreExact) {
  // -105 / 9 x 1.2 is exactly -14 and -91 / 1.95 x 1.2 exactly -56; in floating point both come out a hair
  // short, which rounding up or toward zero would turn into -13 and -55.
  TQuillonSetting s;
  s.SensorThreshold = 0;
  EXPECT_EQ(Tilt(s, -105, -9, true), (TPoint{-14, -1}));
  s.SpeedFast = 3;
  EXPECT_EQ(Tilt(s, -91, 39), (TPoint{-56, 20}));
}

TEST(TiltStep, OtherOnPushInversionAndSpeedLimits) {
  TQuillonSetting s;
  s.OnPush = "slower";  // names compare exactly: raw deviation
  EXPECT_EQ(Tilt(s, 12, -7), (TPoint{12, -7}));
  s.OnPush = "Slower";
  s.InvertH = s.InvertV = true;
  EXPECT_EQ(Tilt(s, 12, 12), (TPoint{-8, -6}));
  s.InvertH = s.InvertV = false;
  s.SpeedFast = 99;  // held to 22: f = 0.05
  EXPECT_EQ(Tilt(s, 1, 1).X, 0);
  EXPECT_EQ(Tilt(s, 127, 0), (TPoint{3048, 0}));
  s.SpeedSlow = -40;  // held to 1: s = 11
  EXPECT_EQ(Tilt(s, 11, 11, true), (TPoint{2, 1}));
  s.SensorThreshold = 0;
  EXPECT_EQ(Tilt(s, -128, 127, true), (TPoint{-13, 12}));  // the byte's whole range
}

TEST(IRTarget, WorkedValuesOnA1024By768Screen) {
  const TScreenRect screen{0, 0, 1024, 768};
  const TPoint target = IRTarget(screen, 512, 384, 50);
  EXPECT_EQ(target, (TPoint{512, 391}));
  EXPECT_EQ(IRGlide(target, {0, 0}), (TPoint{85, 65}));
  // Aimed at the camera's corners, with and without the vertical stretch.
  EXPECT_EQ(IRTarget(screen, 0, 0, 0), (TPoint{1024, 0}));
  EXPECT_EQ(IRTarget(screen, 1023, 767, 0), (TPoint{1, 767}));
  EXPECT_EQ(IRTarget(screen, 1024, 0, 50), (TPoint{0, -50}));
}

TEST(IRTarget, HalvesRoundAwayFromZeroAndThePrimaryMonitorsPlaceCounts) {
  // 3 x (1024 - 512) / 1024 = 1.5 -> 2;  3 x (1024 - 1536) / 1024 = -1.5 -> -2.
  EXPECT_EQ(IRTarget({0, 0, 3, 768}, 512, 0, 0).X, 2);
  EXPECT_EQ(IRTarget({0, 0, 3, 768}, 1536, 0, 0).X, -2);
  EXPECT_EQ(IRTarget({1920, 100, 1024, 768}, 512, 384, 50), (TPoint{2432, 491}));
  // An edge adjustment past its limit is held to 383: the divisor stays 2.
  EXPECT_EQ(IRTarget({0, 0, 1024, 768}, 512, 384, 5000).Y, 147073);
}

TEST(IRGlide, CoversASixthOfTheDistanceAndStopsShortOfTheTarget) {
  TPoint p{0, 0};
  for (int tick = 0; tick < 200; ++tick) p = IRGlide({512, 391}, p);
  // Truncation toward zero parks the pointer within five pixels short of the target.
  EXPECT_EQ(p, (TPoint{507, 386}));
  EXPECT_EQ(IRGlide({0, 0}, {-7, 7}), (TPoint{-5, 5}));
}

TEST(NunchukStep, BandAroundTheCentreDoesNotMove) {
  TQuillonSetting s;  // d = 14
  for (int v : {144, 208, 272}) EXPECT_EQ(NunchukStep(s, v, v), (TPoint{0, 0})) << v;
  EXPECT_EQ(NunchukStep(s, 273, 143), (TPoint{0, 0}));
  EXPECT_EQ(NunchukStep(s, 286, 130), (TPoint{1, -1}));
  EXPECT_EQ(NunchukStep(s, 510, 46), (TPoint{17, -7}));
  s.AnalogInvertH = true;
  EXPECT_EQ(NunchukStep(s, 510, 46), (TPoint{-17, -7}));
  s.AnalogCursorSpeed = 30;  // held to 21: d = 1
  EXPECT_EQ(NunchukStep(s, 300, 200), (TPoint{-28, 0}));
}

TEST(DesktopEdge, NeighbourOnNoMonitor) {
  const TMonitors one{{0, 0, 1024, 768}};
  EXPECT_TRUE(OnDesktopEdge(one, {0, 300}));
  EXPECT_TRUE(OnDesktopEdge(one, {1023, 300}));
  EXPECT_TRUE(OnDesktopEdge(one, {500, 767}));
  EXPECT_TRUE(OnDesktopEdge(one, {500, 0}));
  EXPECT_FALSE(OnDesktopEdge(one, {1, 1}));
  EXPECT_FALSE(OnDesktopEdge(one, {1022, 766}));
  // Two monitors side by side, the right one shorter: the seam is no edge, the step below the short one is.
  const TMonitors two{{0, 0, 1024, 768}, {1024, 0, 800, 600}};
  EXPECT_FALSE(OnDesktopEdge(two, {1023, 300}));
  EXPECT_FALSE(OnDesktopEdge(two, {1024, 300}));
  EXPECT_TRUE(OnDesktopEdge(two, {1500, 599}));
  EXPECT_TRUE(OnDesktopEdge(two, {1023, 700}));
  EXPECT_TRUE(OnDesktopEdge({}, {10, 10}));
}

}  // namespace
