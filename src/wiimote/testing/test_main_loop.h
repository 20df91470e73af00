#pragma once
// A main loop for tests: the test's own thread plays the main thread, turning the poll(2) loop of the
// terminal tool until what it waits for has happened.

#include <atomic>
#include <chrono>
#include <functional>

#include "wiimote/linux_services.h"

class TTestMainLoop : public TPollMainLoop {
 public:
  // Runs what is ready now without waiting: the posted tasks, and one call of each watch whose descriptor
  // is ready. Returns how many ran.
  size_t RunPending() { return RunOnce(0); }
  // Turns the loop, waiting for descriptors, until Done() holds; false when Timeout passed first (a bound
  // against hanging, not a measure of speed).
  bool RunUntil(const std::function<bool()>& Done,
                std::chrono::milliseconds Timeout = std::chrono::milliseconds(10000));
};

// The clock of tests: time moves only when Advance is called.
class TFakeClock : public IClock {
 public:
  TTimePoint Now() override;
  void Advance(uint32_t Ms);

 private:
  std::atomic<uint32_t> now_{1000};
};
