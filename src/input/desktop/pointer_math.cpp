#include "input/desktop/pointer_math.h"

#include <cstdlib>

namespace {

// Quotient rounded toward +infinity; Den > 0.
int32_t DivCeil(int64_t Num, int64_t Den) {
  const int64_t q = Num / Den;
  return static_cast<int32_t>(Num % Den > 0 ? q + 1 : q);
}

// Quotient rounded to the nearest integer, halves away from zero; Den > 0.
int64_t DivRound(int64_t Num, int64_t Den) {
  const int64_t q = (2 * std::llabs(Num) + Den) / (2 * Den);
  return Num < 0 ? -q : q;
}

int32_t DeadZone(int32_t d, int32_t Threshold) {
  return std::abs(d) < Threshold ? 0 : d;
}

TPoint FastStep(int32_t dx, int32_t dy, int32_t SpeedFast) {
  const int32_t den = 45 - 2 * SpeedFastLimit.Clamp(SpeedFast);
  return {24 * dx / den, 20 * dy / den};
}

TPoint SlowStep(int32_t dx, int32_t dy, int32_t SpeedSlow) {
  const int32_t s = 12 - SpeedSlowLimit.Clamp(SpeedSlow);
  return {DivCeil(6 * dx, 5 * s), DivCeil(dy, s)};
}

int32_t StickStep(int32_t Stick, int32_t Divisor) {
  if (Stick > 272) return (Stick - 272) / Divisor;
  if (Stick < 144) return (Stick - 144) / Divisor;
  return 0;
}

}  // namespace

TPoint TiltStep(const TQuillonSetting& Setting, uint8_t AccelX, uint8_t AccelY, bool CursorButtonHeld) {
  const int32_t dx = DeadZone(int32_t{AccelX} - Setting.BaseX, Setting.SensorThreshold);
  const int32_t dy = DeadZone(int32_t{AccelY} - Setting.BaseY, Setting.SensorThreshold);
  TPoint m{dx, dy};
  if (Setting.OnPush == "Faster")
    m = CursorButtonHeld ? FastStep(dx, dy, Setting.SpeedFast) : SlowStep(dx, dy, Setting.SpeedSlow);
  else if (Setting.OnPush == "Slower")
    m = CursorButtonHeld ? SlowStep(dx, dy, Setting.SpeedSlow) : FastStep(dx, dy, Setting.SpeedFast);
  if (Setting.InvertH) m.X = -m.X;
  if (Setting.InvertV) m.Y = -m.Y;
  return m;
}

TPoint IRTarget(const TScreenRect& Primary, int32_t IRMidX, int32_t IRMidY, int32_t DisplayEdgeAdjustment) {
  const int64_t a = DisplayEdgeAdjustmentLimit.Clamp(DisplayEdgeAdjustment);
  const int64_t tx = DivRound(int64_t{Primary.Width} * (1024 - int64_t{IRMidX}), 1024);
  // H x (768 / (768 - 2A) x M - A) / 768 over one common denominator.
  const int64_t ty =
      DivRound(int64_t{Primary.Height} * (768 * int64_t{IRMidY} - a * (768 - 2 * a)), 768 * (768 - 2 * a));
  return {static_cast<int32_t>(Primary.X + tx), static_cast<int32_t>(Primary.Y + ty)};
}

TPoint IRGlide(TPoint Target, TPoint Cursor) {
  return {static_cast<int32_t>((int64_t{Target.X} + 5 * int64_t{Cursor.X}) / 6),
          static_cast<int32_t>((int64_t{Target.Y} + 5 * int64_t{Cursor.Y}) / 6)};
}

TPoint NunchukStep(const TQuillonSetting& Setting, int32_t StickX, int32_t StickY) {
  const int32_t d = 22 - AnalogCursorSpeedLimit.Clamp(Setting.AnalogCursorSpeed);
  TPoint m{StickStep(StickX, d), StickStep(StickY, d)};
  if (Setting.AnalogInvertH) m.X = -m.X;
  if (Setting.AnalogInvertV) m.Y = -m.Y;
  return m;
}

bool OnDesktopEdge(const TMonitors& Monitors, TPoint P) {
  return OnNoMonitor(Monitors, {P.X - 1, P.Y}) || OnNoMonitor(Monitors, {P.X + 1, P.Y}) ||
         OnNoMonitor(Monitors, {P.X, P.Y + 1}) || OnNoMonitor(Monitors, {P.X, P.Y - 1});
}
