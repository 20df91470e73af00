#pragma once
// The selected object's height, speed, acceleration and energies after each step, for the live plots. The
// frame adds a sample per step (cheap); the plots read a thinned copy at their own pace, and read values
// and fit lines on the full samples.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

struct TPlotSample {
  double t = 0;  // s since the scene was loaded
  double Height = 0, Speed = 0;
  double Acceleration = 0;  // m/s², the size of the velocity's change per second; NaN before it is known
  double Kinetic = 0, Potential = 0, Total = 0;
};

// One of a sample's quantities, as the plots and the line fit name it.
using TPlotQuantity = double TPlotSample::*;

// The straight line a·t + b closest to the samples of a span (least squares).
struct TLineFit {
  double Slope = 0, Intercept = 0;  // quantity per second; quantity at t = 0
  std::size_t Points = 0;           // samples used
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

  // The sample nearest to time `t`; false when there is none.
  bool At(double t, TPlotSample& amostra) const;

  // The line through `grandeza` over every sample from `t0` to `t1` (either order) whose value is known;
  // false when fewer than two such samples at different times lie there.
  bool FitLine(double t0, double t1, TPlotQuantity grandeza, TLineFit& reta) const;

 private:
  std::deque<TPlotSample> samples_;
  std::uint64_t version_ = 0;
};
