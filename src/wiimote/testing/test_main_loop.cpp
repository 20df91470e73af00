#include "wiimote/testing/test_main_loop.h"

void TTestMainLoop::Post(std::function<void()> Task) {
  {
    std::lock_guard Lock(mutex_);
    queue_.push_back(std::move(Task));
  }
  posted_.notify_all();
}

size_t TTestMainLoop::RunPending() {
  size_t Ran = 0;
  for (;;) {
    std::function<void()> Task;
    {
      std::lock_guard Lock(mutex_);
      if (queue_.empty()) return Ran;
      Task = std::move(queue_.front());
      queue_.pop_front();
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
    std::unique_lock Lock(mutex_);
    // Short waits: Done may also turn true from another thread's work that posts nothing.
    posted_.wait_for(Lock, std::chrono::milliseconds(5), [this] { return !queue_.empty(); });
    if (std::chrono::steady_clock::now() > Deadline) {
      Lock.unlock();
      RunPending();
      return Done();
    }
  }
}

size_t TTestMainLoop::QueuedCount() const {
  std::lock_guard Lock(mutex_);
  return queue_.size();
}

uint32_t TFakeClock::Milliseconds() {
  return now_.load();
}

void TFakeClock::Advance(uint32_t Ms) {
  now_.fetch_add(Ms);
}
