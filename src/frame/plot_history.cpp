#include "frame/plot_history.h"

#include <algorithm>
#include <cmath>

void TPlotHistory::Restart() {
  samples_.clear();
  ++version_;
}

void TPlotHistory::Add(const TPlotSample& s) {
  if (samples_.size() >= Capacity) samples_.pop_front();
  samples_.push_back(s);
  ++version_;
}

std::vector<TPlotSample> TPlotHistory::Since(double desde, std::size_t maximo) const {
  const auto inicio = std::lower_bound(samples_.begin(), samples_.end(), desde,
                                       [](const TPlotSample& s, double t) { return s.t < t; });
  const std::size_t n = static_cast<std::size_t>(samples_.end() - inicio);
  std::vector<TPlotSample> v;
  if (n == 0 || maximo == 0) return v;
  const std::size_t passo = (n + maximo - 1) / maximo;
  v.reserve(n / passo + 1);
  // Counted back from the newest, so the last point drawn is always the present.
  for (std::size_t k = (n - 1) % passo; k < n; k += passo)
    v.push_back(inicio[static_cast<std::ptrdiff_t>(k)]);
  return v;
}

bool TPlotHistory::At(double t, TPlotSample& amostra) const {
  if (samples_.empty()) return false;
  auto it = std::lower_bound(samples_.begin(), samples_.end(), t,
                             [](const TPlotSample& s, double x) { return s.t < x; });
  if (it == samples_.end() || (it != samples_.begin() && t - std::prev(it)->t < it->t - t)) --it;
  amostra = *it;
  return true;
}

bool TPlotHistory::FitLine(double t0, double t1, TPlotQuantity grandeza, TLineFit& reta) const {
  if (t1 < t0) std::swap(t0, t1);
  const auto inicio = std::lower_bound(samples_.begin(), samples_.end(), t0,
                                       [](const TPlotSample& s, double x) { return s.t < x; });
  // Sums about the first time, so that late spans keep their digits.
  double origem = 0, n = 0, st = 0, sy = 0, stt = 0, sty = 0;
  for (auto it = inicio; it != samples_.end() && it->t <= t1; ++it) {
    const double y = (*it).*grandeza;
    if (!std::isfinite(y)) continue;
    if (n == 0) origem = it->t;
    const double t = it->t - origem;
    n += 1, st += t, sy += y, stt += t * t, sty += t * y;
  }
  const double d = n * stt - st * st;
  if (n < 2 || !(d > 0)) return false;
  reta.Slope = (n * sty - st * sy) / d;
  reta.Intercept = (sy - reta.Slope * st) / n - reta.Slope * origem;
  reta.Points = static_cast<std::size_t>(n);
  return true;
}
