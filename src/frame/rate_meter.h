#pragma once
// Frames per second and the real-time factor (simulated seconds per real second) over the last second of
// real time. The clock is handed in, so a test can make a frame as slow as it likes.

#include <chrono>
#include <deque>
#include <functional>

class TRateMeter {
 public:
  using TClock = std::function<std::chrono::steady_clock::time_point()>;

  // Real time shown as "slower than real time" below this factor.
  static constexpr double SlowFactor = 0.98;

  explicit TRateMeter(TClock relogio = std::chrono::steady_clock::now) : clock_(std::move(relogio)) {}

  // After each frame, with the simulated time it reached.
  void Frame(double simulatedTime);
  // The simulated time starts again (a scene load): what came before says nothing of the rate now.
  void Restart() { samples_.clear(); }

  // Both 0 until two frames have been seen.
  double FramesPerSecond() const;
  double RealTimeFactor() const;

 private:
  struct TSample {
    std::chrono::steady_clock::time_point real;
    double simulated;
  };
  double Span() const;  // real seconds between the oldest and newest sample kept

  TClock clock_;
  std::deque<TSample> samples_;
};
