#include "wiimote/hid_read_thread.h"

#include <poll.h>
#include <sys/eventfd.h>

#include <algorithm>
#include <cerrno>

#include "wiimote/hid_device.h"

TJvHidDeviceReadThread::TJvHidDeviceReadThread(TJvHidDevice& Target, TUniqueFd ReadHandle,
                                               size_t ReportLength, IMainThreadHandOver& HandOver)
    : target_(Target),
      readHandle_(std::move(ReadHandle)),
      wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      handOver_(HandOver) {
  slot_->Buffer.resize(std::max<size_t>(ReportLength, 1));
  thread_ = std::thread([this] { Execute(); });
}

TJvHidDeviceReadThread::~TJvHidDeviceReadThread() {
  Terminate();
  if (thread_.joinable()) thread_.join();
}

void TJvHidDeviceReadThread::Terminate() {
  terminated_.store(true);
  if (wake_.Valid()) {
    const uint64_t One = 1;
    [[maybe_unused]] ssize_t Ignored = ::write(wake_.Get(), &One, sizeof One);
  }
  {
    std::lock_guard Lock(slot_->Mutex);
    if (slot_->State == THandOverSlot::TState::Pending) slot_->State = THandOverSlot::TState::Cancelled;
  }
  slot_->Changed.notify_all();
}

void TJvHidDeviceReadThread::Execute() {
  THandOverSlot& Slot = *slot_;
  while (!terminated_.load()) {
    std::fill(Slot.Buffer.begin(), Slot.Buffer.end(), uint8_t{0});
    pollfd Fds[2] = {{readHandle_.Get(), POLLIN, 0}, {wake_.Get(), POLLIN, 0}};
    const int Ready = ::poll(Fds, wake_.Valid() ? 2 : 1, static_cast<int>(target_.ReadWaitSlice()));
    if (Ready < 0) {
      if (errno == EINTR) continue;
      lastError_.store(static_cast<uint32_t>(errno));
      break;
    }
    if (Ready == 0 || terminated_.load()) continue;  // a slice went by: look at the termination request
    int ReadError = 0;
    if ((Fds[0].revents & POLLIN) != 0) {
      const ssize_t Count = ::read(readHandle_.Get(), Slot.Buffer.data(), Slot.Buffer.size());
      if (Count > 0) {
        Slot.ReadCount = static_cast<size_t>(Count);
        Slot.IsError = false;
        if (!HandOverAndWait()) break;
        continue;
      }
      if (Count < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      ReadError = Count == 0 ? ENODEV : errno;  // end of file: the device has gone
    } else if ((Fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
      ReadError = ENODEV;
    } else {
      continue;
    }
    // The device has vanished. Retrying would spin on the same error, so the reader ends here, once the
    // error has reached the main thread; the next device change releases the device.
    lastError_.store(static_cast<uint32_t>(ReadError));
    Slot.IsError = true;
    Slot.Error = static_cast<uint32_t>(ReadError);
    HandOverAndWait();
    break;
  }
  finished_.store(true);
}

bool TJvHidDeviceReadThread::HandOverAndWait() {
  using TState = THandOverSlot::TState;
  {
    std::lock_guard Lock(slot_->Mutex);
    if (terminated_.load()) return false;
    slot_->State = TState::Pending;
  }
  handOver_.Post([Slot = slot_, Target = &target_] { RunOnMainThread(Slot, Target); });
  std::unique_lock Lock(slot_->Mutex);
  slot_->Changed.wait(Lock, [this] { return slot_->State == TState::Done || terminated_.load(); });
  return slot_->State == TState::Done;
}

void TJvHidDeviceReadThread::RunOnMainThread(const std::shared_ptr<THandOverSlot>& Slot,
                                             TJvHidDevice* Target) {
  using TState = THandOverSlot::TState;
  {
    std::lock_guard Lock(Slot->Mutex);
    if (Slot->State != TState::Pending) return;  // the reader was stopped: Target may be gone
    Slot->State = TState::Running;
  }
  // The reader waits for Done whatever the handler does: a handler that throws must not leave it waiting
  // for good, with no report ever handed over again.
  struct TMarkDone {
    const std::shared_ptr<THandOverSlot>& Slot;
    ~TMarkDone() {
      {
        std::lock_guard Lock(Slot->Mutex);
        Slot->State = THandOverSlot::TState::Done;
      }
      Slot->Changed.notify_all();
    }
  } MarkDone{Slot};
  // Copies, because a handler may release and so destroy the device it was called for.
  if (Slot->IsError) {
    TJvHidDataErrorEvent Handler = Target->dataErrorHandler_;
    if (Handler) Handler(*Target, Slot->Error);
  } else {
    TJvHidDataEvent Handler = Target->dataHandler_;
    if (Handler)
      Handler(*Target, Slot->Buffer[0], Slot->Buffer.data() + 1, static_cast<uint16_t>(Slot->ReadCount - 1));
  }
}
