#pragma once
// The one monotonic clock the program keeps time by: the frame's steps, the rate meter, the remote's
// set-up and rumble, the desktop's auto-repeat. A clock set back or forward by the desktop moves none of
// them. Behind an interface so that a test moves time by hand.

#include <chrono>
#include <cstdint>

using TMonotonicClock = std::chrono::steady_clock;
using TTimePoint = TMonotonicClock::time_point;

class IClock {
 public:
  virtual ~IClock() = default;
  virtual TTimePoint Now() = 0;
  // The same clock in milliseconds, as a 32-bit count that wraps: the remote's and the desktop's timings.
  uint32_t Milliseconds() {
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(Now().time_since_epoch()).count());
  }
};

// The machine's steady clock.
class TSteadyClock final : public IClock {
 public:
  TTimePoint Now() override { return TMonotonicClock::now(); }
};

// A steady clock for whoever is not handed one; it keeps no state.
IClock& SteadyClock();
