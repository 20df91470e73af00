#pragma once
// The reader of one claimed device: a thread that waits for input reports with poll(2) in slices of the
// device's ReadWaitSlice, reads one report per read(2) and hands it to the main thread, blocking until the
// main thread has run the data handler. Reports thus reach the handler one at a time, in order.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "common/unique_fd.h"
#include "wiimote/hid_platform.h"

class TJvHidDevice;

class TJvHidDeviceReadThread {
 public:
  // Starts reading ReadHandle at once, into a buffer of ReportLength bytes allocated here once.
  TJvHidDeviceReadThread(TJvHidDevice& Target, TUniqueFd ReadHandle, size_t ReportLength,
                         IMainThreadHandOver& HandOver);
  // Terminates and waits for the thread; closes the read handle after it.
  ~TJvHidDeviceReadThread();
  TJvHidDeviceReadThread(const TJvHidDeviceReadThread&) = delete;
  TJvHidDeviceReadThread& operator=(const TJvHidDeviceReadThread&) = delete;

  // Asks the thread to end: it leaves its wait at once, and a report waiting for the main thread is
  // dropped, so a main thread that stops a reader never waits on a hand-over it cannot serve.
  void Terminate();
  // The loop has ended: terminated, or the device vanished (hang-up, end of file, read error).
  bool Finished() const { return finished_.load(); }
  // errno value of the read that failed, 0 when none did.
  uint32_t LastError() const { return lastError_.load(); }

 private:
  // One report in flight between the reader and the main thread. Shared with the posted task, so a task
  // that runs after the reader has gone finds it cancelled instead of a dangling buffer.
  struct THandOverSlot {
    enum class TState { Idle, Pending, Running, Done, Cancelled };
    std::mutex Mutex;
    std::condition_variable Changed;
    TState State = TState::Idle;
    std::vector<uint8_t> Buffer;
    size_t ReadCount = 0;
    bool IsError = false;
    uint32_t Error = 0;
  };

  void Execute();
  // Hands the slot's content over and waits for the main thread; false when terminated meanwhile.
  bool HandOverAndWait();
  static void RunOnMainThread(const std::shared_ptr<THandOverSlot>& Slot, TJvHidDevice* Target);

  TJvHidDevice& target_;
  TUniqueFd readHandle_;
  TUniqueFd wake_;  // eventfd that Terminate signals
  IMainThreadHandOver& handOver_;
  std::shared_ptr<THandOverSlot> slot_ = std::make_shared<THandOverSlot>();
  std::atomic<bool> terminated_{false};
  std::atomic<bool> finished_{false};
  std::atomic<uint32_t> lastError_{0};
  std::thread thread_;
};
