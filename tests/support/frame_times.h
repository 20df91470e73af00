#pragma once
// What a soak run (bench/soak) prints for each stretch of it: resident memory and the median and
// 99th-percentile frame time of the frames timed in that stretch.

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

// Resident memory of this process in MiB, from /proc/self/statm.
double ResidentMiB();

// Frame times of one stretch, in microseconds. The storage is kept from stretch to stretch, so the
// bookkeeping itself does not grow the process.
class TFrameTimes {
 public:
  explicit TFrameTimes(std::size_t porTrecho) { times_.reserve(porTrecho); }
  void Add(double micros) { times_.push_back(static_cast<float>(micros)); }
  std::size_t Count() const { return times_.size(); }
  // Prints one table row (label, frames, RSS, median, p99, max) and starts a new stretch.
  void PrintRow(std::FILE* out, const std::string& rotulo);

 private:
  std::vector<float> times_;
};
