// The plots' history: the value read under the cursor and the straight line fitted over a span.

#include "frame/plot_history.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(PlotHistory, ReadsTheNearestSampleAndFitsTheLineOfASpan) {
  TPlotHistory h;
  TPlotSample s;
  EXPECT_FALSE(h.At(1, s));
  // A speed growing at 4.9 m/s² from 2 m/s with a wobble that cancels over whole periods, late in a run.
  for (int k = 0; k <= 400; ++k) {
    TPlotSample a;
    a.t = 100 + k * 0.01;
    a.Speed = 2 + 4.9 * (a.t - 100) + 0.05 * std::sin(k * 3.14159265358979 / 10);
    a.Acceleration = k == 0 ? std::numeric_limits<double>::quiet_NaN() : 4.9;
    h.Add(a);
  }
  ASSERT_TRUE(h.At(101.004, s));
  EXPECT_DOUBLE_EQ(s.t, 101.0);
  ASSERT_TRUE(h.At(50, s));
  EXPECT_DOUBLE_EQ(s.t, 100.0) << "before the first: the first";

  TLineFit reta;
  ASSERT_TRUE(h.FitLine(103, 101, &TPlotSample::Speed, reta)) << "either order";
  EXPECT_NEAR(reta.Slope, 4.9, 0.01);
  EXPECT_NEAR(reta.Slope * 102 + reta.Intercept, 2 + 4.9 * 2, 0.01);
  EXPECT_EQ(reta.Points, 201u);
  ASSERT_TRUE(h.FitLine(99, 100.02, &TPlotSample::Acceleration, reta));
  EXPECT_EQ(reta.Points, 2u) << "an unknown value is left out";
  EXPECT_FALSE(h.FitLine(99, 100, &TPlotSample::Acceleration, reta)) << "one point makes no line";
  EXPECT_FALSE(h.FitLine(200, 300, &TPlotSample::Speed, reta));
}

}  // namespace
