#include "support/frame_times.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>

double ResidentMiB() {
  std::ifstream statm("/proc/self/statm");
  long total = 0, residente = 0;
  statm >> total >> residente;
  return static_cast<double>(residente) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void TFrameTimes::PrintRow(std::FILE* out, const std::string& rotulo) {
  if (times_.empty()) return;
  const auto at = [this](double q) {
    const auto k = static_cast<std::size_t>(q * static_cast<double>(times_.size() - 1));
    std::nth_element(times_.begin(), times_.begin() + static_cast<std::ptrdiff_t>(k), times_.end());
    return times_[k];
  };
  const float mediana = at(0.5), p99 = at(0.99);
  const float maior = *std::max_element(times_.begin(), times_.end());
  std::fprintf(out, "%-22s %9zu %9.1f %10.1f %10.1f %10.1f\n", rotulo.c_str(), times_.size(), ResidentMiB(),
               static_cast<double>(mediana), static_cast<double>(p99), static_cast<double>(maior));
  std::fflush(out);
  times_.clear();
}
