#include "wiimote/testing/test_main_loop.h"

bool TTestMainLoop::RunUntil(const std::function<bool()>& Done, std::chrono::milliseconds Timeout) {
  const auto Deadline = std::chrono::steady_clock::now() + Timeout;
  for (;;) {
    // Short waits: Done may also turn true from another thread's work (a virtual remote taking reports in)
    // that makes no watched descriptor ready.
    RunOnce(5);
    if (Done()) return true;
    if (std::chrono::steady_clock::now() > Deadline) {
      RunPending();
      return Done();
    }
  }
}

TTimePoint TFakeClock::Now() {
  return TTimePoint(std::chrono::milliseconds(now_.load()));
}

void TFakeClock::Advance(uint32_t Ms) {
  now_.fetch_add(Ms);
}
