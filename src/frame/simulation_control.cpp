#include "frame/simulation_control.h"

#include <iterator>

namespace {

struct TSpeed {
  int divisor;
  const char* texto;
};

constexpr TSpeed Speeds[] = {
    {1, "Velocidade: 1×"}, {2, "Velocidade: ½×"}, {4, "Velocidade: ¼×"}, {10, "Velocidade: ⅒×"}};
constexpr int SpeedCount = static_cast<int>(std::size(Speeds));

}  // namespace

void TSimulationControl::SetPaused(bool pausado) {
  // A step asked for while paused has no meaning once the world runs again.
  if (!pausado) stepsWaiting_ = 0;
  if (pausado == paused_) return;
  paused_ = pausado;
  Changed();
}

void TSimulationControl::StepOnce() {
  if (paused_) ++stepsWaiting_;
}

bool TSimulationControl::TakeStep() {
  if (stepsWaiting_ == 0) return false;
  --stepsWaiting_;
  return true;
}

int TSimulationControl::SpeedDivisor() const {
  return Speeds[speed_].divisor;
}

void TSimulationControl::Faster() {
  if (speed_ == 0) return;
  --speed_;
  Changed();
}

void TSimulationControl::Slower() {
  if (speed_ + 1 == SpeedCount) return;
  ++speed_;
  Changed();
}

std::string TSimulationControl::SpeedText() const {
  return Speeds[speed_].texto;
}

void TSimulationControl::Changed() const {
  for (const auto& ouvinte : listeners_) ouvinte();
}
