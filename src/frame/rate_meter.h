#pragma once
// Frames per second and the real-time factor (simulated seconds per real second) over the last second of
// real time. The clock is handed in, so a test can make a frame as slow as it likes.

#include "common/clock.h"

#include <deque>

class TRateMeter {
 public:
  // Real time shown as "slower than real time" below this factor.
  static constexpr double SlowFactor = 0.98;

  explicit TRateMeter(IClock& relogio = SteadyClock()) : clock_(relogio) {}

  // After each frame, with the simulated time it reached.
  void Frame(double simulatedTime);
  // The simulated time starts again (a scene load): what came before says nothing of the rate now.
  void Restart() { samples_.clear(); }

  // Both 0 until two frames have been seen.
  double FramesPerSecond() const;
  double RealTimeFactor() const;

 private:
  struct TSample {
    TTimePoint real;
    double simulated;
  };
  double Span() const;  // real seconds between the oldest and newest sample kept

  IClock& clock_;
  std::deque<TSample> samples_;
};
