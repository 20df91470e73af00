#pragma once
// The battery as the status bar and the check tool show it. Header-only, so that every way of reaching
// the remote shows the same number.

#include <algorithm>
#include <cstdint>

// A remote on fresh cells reports 0xC8 in its status report, and now and then a little more.
inline constexpr int32_t FullBatteryLevel = 0xC8;

// The status report's battery byte as a whole percentage, rounded half up and held within 0..100.
constexpr int32_t BatteryPercent(int32_t Level) {
  return std::clamp((std::max(Level, 0) * 100 + FullBatteryLevel / 2) / FullBatteryLevel, 0, 100);
}
