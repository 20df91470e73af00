#pragma once
// The selected object's height, speed and energies after each step, for the live plots. The frame adds a
// sample per step (cheap); the plots read a thinned copy at their own pace.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

struct TPlotSample {
  double t = 0;  // s since the scene was loaded
  double Height = 0, Speed = 0;
  double Kinetic = 0, Potential = 0, Total = 0;
};

class TPlotHistory {
 public:
  // Half an hour of steps (8.6 MB); past it the oldest samples go.
  static constexpr std::size_t Capacity = 180000;

  void Restart();
  void Add(const TPlotSample& s);

  bool Empty() const { return samples_.empty(); }
  double LastTime() const { return samples_.empty() ? 0 : samples_.back().t; }
  // Changes with every Add and Restart: the plots redraw only when it has moved.
  std::uint64_t Version() const { return version_; }

  // The samples from time `desde` on, at most `maximo` of them, evenly thinned; the newest always included.
  std::vector<TPlotSample> Since(double desde, std::size_t maximo) const;

 private:
  std::deque<TPlotSample> samples_;
  std::uint64_t version_ = 0;
};
