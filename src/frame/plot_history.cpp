#include "frame/plot_history.h"

#include <algorithm>

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
