#include "wiimote/testing/TestMainLoop.h"

void TTestMainLoop::Post(std::function<void()> Task) {
  {
    std::lock_guard Lock(FMutex);
    FQueue.push_back(std::move(Task));
  }
  FPosted.notify_all();
}

size_t TTestMainLoop::RunPending() {
  size_t Ran = 0;
  for (;;) {
    std::function<void()> Task;
    {
      std::lock_guard Lock(FMutex);
      if (FQueue.empty()) return Ran;
      Task = std::move(FQueue.front());
      FQueue.pop_front();
    }
    Task();
    ++Ran;
  }
}

bool TTestMainLoop::RunUntil(const std::function<bool()>& Done, std::chrono::milliseconds Timeout) {
  const auto Deadline = std::chrono::steady_clock::now() + Timeout;
  for (;;) {
    RunPending();
    if (Done()) return true;
    std::unique_lock Lock(FMutex);
    // Short waits: Done may also turn true from another thread's work that posts nothing.
    FPosted.wait_for(Lock, std::chrono::milliseconds(5), [this] { return !FQueue.empty(); });
    if (std::chrono::steady_clock::now() > Deadline) {
      Lock.unlock();
      RunPending();
      return Done();
    }
  }
}

size_t TTestMainLoop::QueuedCount() const {
  std::lock_guard Lock(FMutex);
  return FQueue.size();
}

uint32_t TFakeClock::Milliseconds() {
  return FNow.load();
}

void TFakeClock::Sleep(uint32_t Ms) {
  if (FBeforeSleep) FBeforeSleep();
  FNow.fetch_add(Ms);
}

void TFakeClock::Advance(uint32_t Ms) {
  FNow.fetch_add(Ms);
}
