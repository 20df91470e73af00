#include "wiimote/JvHidReadThread.h"

#include <poll.h>
#include <sys/eventfd.h>

#include <algorithm>
#include <cerrno>

#include "wiimote/JvHidControllerClass.h"

TJvHidDeviceReadThread::TJvHidDeviceReadThread(TJvHidDevice& Target, TUniqueFd ReadHandle,
                                               size_t ReportLength, IMainThreadHandOver& HandOver)
    : FTarget(Target),
      FReadHandle(std::move(ReadHandle)),
      FWake(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      FHandOver(HandOver) {
  FSlot->Buffer.resize(std::max<size_t>(ReportLength, 1));
  FThread = std::thread([this] { Execute(); });
}

TJvHidDeviceReadThread::~TJvHidDeviceReadThread() {
  Terminate();
  if (FThread.joinable()) FThread.join();
}

void TJvHidDeviceReadThread::Terminate() {
  FTerminated.store(true);
  if (FWake.Valid()) {
    const uint64_t One = 1;
    [[maybe_unused]] ssize_t Ignored = ::write(FWake.Get(), &One, sizeof One);
  }
  {
    std::lock_guard Lock(FSlot->Mutex);
    if (FSlot->State == THandOverSlot::TState::Pending) FSlot->State = THandOverSlot::TState::Cancelled;
  }
  FSlot->Changed.notify_all();
}

void TJvHidDeviceReadThread::Execute() {
  THandOverSlot& Slot = *FSlot;
  while (!FTerminated.load()) {
    std::fill(Slot.Buffer.begin(), Slot.Buffer.end(), uint8_t{0});
    pollfd Fds[2] = {{FReadHandle.Get(), POLLIN, 0}, {FWake.Get(), POLLIN, 0}};
    const int Ready = ::poll(Fds, FWake.Valid() ? 2 : 1, static_cast<int>(FTarget.ReadWaitSlice()));
    if (Ready < 0) {
      if (errno == EINTR) continue;
      FLastError.store(static_cast<uint32_t>(errno));
      break;
    }
    if (Ready == 0 || FTerminated.load()) continue;  // a slice went by: look at the termination request
    int ReadError = 0;
    if ((Fds[0].revents & POLLIN) != 0) {
      const ssize_t Count = ::read(FReadHandle.Get(), Slot.Buffer.data(), Slot.Buffer.size());
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
    FLastError.store(static_cast<uint32_t>(ReadError));
    Slot.IsError = true;
    Slot.Error = static_cast<uint32_t>(ReadError);
    HandOverAndWait();
    break;
  }
  FFinished.store(true);
}

bool TJvHidDeviceReadThread::HandOverAndWait() {
  using TState = THandOverSlot::TState;
  {
    std::lock_guard Lock(FSlot->Mutex);
    if (FTerminated.load()) return false;
    FSlot->State = TState::Pending;
  }
  FHandOver.Post([Slot = FSlot, Target = &FTarget] { RunOnMainThread(Slot, Target); });
  std::unique_lock Lock(FSlot->Mutex);
  FSlot->Changed.wait(Lock, [this] { return FSlot->State == TState::Done || FTerminated.load(); });
  return FSlot->State == TState::Done;
}

void TJvHidDeviceReadThread::RunOnMainThread(const std::shared_ptr<THandOverSlot>& Slot,
                                             TJvHidDevice* Target) {
  using TState = THandOverSlot::TState;
  {
    std::lock_guard Lock(Slot->Mutex);
    if (Slot->State != TState::Pending) return;  // the reader was stopped: Target may be gone
    Slot->State = TState::Running;
  }
  // Copies, because a handler may release and so destroy the device it was called for.
  if (Slot->IsError) {
    TJvHidDataErrorEvent Handler = Target->FDataErrorHandler;
    if (Handler) Handler(*Target, Slot->Error);
  } else {
    TJvHidDataEvent Handler = Target->FDataHandler;
    if (Handler)
      Handler(*Target, Slot->Buffer[0], Slot->Buffer.data() + 1, static_cast<uint16_t>(Slot->ReadCount - 1));
  }
  {
    std::lock_guard Lock(Slot->Mutex);
    Slot->State = TState::Done;
  }
  Slot->Changed.notify_all();
}
