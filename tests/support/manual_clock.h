#pragma once
// A clock that tells whatever time the test last set.

#include "common/clock.h"

struct TManualClock : IClock {
  explicit TManualClock(TTimePoint t = {}) : Time(t) {}
  TTimePoint Now() override { return Time; }

  TTimePoint Time{};
};
