#include "frame/rate_meter.h"

void TRateMeter::Frame(double simulatedTime) {
  const auto agora = clock_.Now();
  if (!samples_.empty() && simulatedTime < samples_.back().simulated) samples_.clear();
  samples_.push_back({agora, simulatedTime});
  // The oldest sample kept is the last one at least a second old: the rates cover a whole second.
  while (samples_.size() > 2 && agora - samples_[1].real >= std::chrono::seconds(1)) samples_.pop_front();
}

double TRateMeter::Span() const {
  if (samples_.size() < 2) return 0;
  return std::chrono::duration<double>(samples_.back().real - samples_.front().real).count();
}

double TRateMeter::FramesPerSecond() const {
  const double s = Span();
  return s > 0 ? static_cast<double>(samples_.size() - 1) / s : 0;
}

double TRateMeter::RealTimeFactor() const {
  const double s = Span();
  return s > 0 ? (samples_.back().simulated - samples_.front().simulated) / s : 0;
}
