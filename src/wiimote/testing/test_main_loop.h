#pragma once
// A main loop for tests: the test's own thread plays the main thread and runs what readers hand over.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "wiimote/hid_platform.h"

class TTestMainLoop : public IMainThreadHandOver {
 public:
  void Post(std::function<void()> Task) override;
  // Runs the queued tasks, and those they queue, until none is left; returns how many ran.
  size_t RunPending();
  // Waits for tasks and runs them until Done() holds; false when Timeout passed first (a bound against
  // hanging, not a measure of speed).
  bool RunUntil(const std::function<bool()>& Done,
                std::chrono::milliseconds Timeout = std::chrono::milliseconds(10000));
  size_t QueuedCount() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> queue_;
};

// The clock of tests: time moves only when Advance is called.
class TFakeClock : public IClock {
 public:
  uint32_t Milliseconds() override;
  void Advance(uint32_t Ms);

 private:
  std::atomic<uint32_t> now_{1000};
};
