#include "wiimote/testing/fake_kernel_remotes.h"

#include <sys/eventfd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace {

void Signal(const TUniqueFd& Fd) {
  const uint64_t One = 1;
  [[maybe_unused]] const ssize_t Written = ::write(Fd.Get(), &One, sizeof One);
}

void Drain(const TUniqueFd& Fd) {
  uint64_t Count = 0;
  [[maybe_unused]] const ssize_t Read = ::read(Fd.Get(), &Count, sizeof Count);
}

class TFakeHandle : public IKernelRemote {
 public:
  explicit TFakeHandle(std::shared_ptr<TFakeKernelRemote> Remote) : r_(std::move(Remote)) {
    r_->Opened = true;
  }
  ~TFakeHandle() override {
    r_->Opened = false;
    r_->NunchukOpen = false;
  }
  int Fd() const override { return r_->Ready.Get(); }
  std::vector<TKernelRemoteEvent> ReadEvents() override {
    Drain(r_->Ready);
    std::vector<TKernelRemoteEvent> Events;
    while (!r_->Waiting.empty()) {
      const TKernelRemoteEvent Event = r_->Waiting.front();
      r_->Waiting.pop_front();
      // The Nunchuk's events come only from its own device, read only while it is open.
      const bool FromNunchuk = Event.Kind == TKernelRemoteEvent::TKind::NunchukMove ||
                               (Event.Kind == TKernelRemoteEvent::TKind::Button &&
                                (Event.Button == ButtonC || Event.Button == ButtonZ));
      if (!FromNunchuk || r_->NunchukOpen) Events.push_back(Event);
    }
    return Events;
  }
  std::string DeviceType() override { return r_->DeviceType; }
  std::string Extension() override { return r_->Extension; }
  bool OpenNunchuk() override {
    r_->Calls.push_back("nunchuk:open");
    r_->NunchukOpen = r_->NunchukDevice;
    return r_->NunchukOpen;
  }
  void CloseNunchuk() override {
    r_->Calls.push_back("nunchuk:close");
    r_->NunchukOpen = false;
  }
  bool ReopenIR() override {
    r_->Calls.push_back("ir:reopen");
    return true;
  }
  bool SetLed(int Led, bool On) override {
    r_->Calls.push_back("led" + std::to_string(Led) + (On ? ":on" : ":off"));
    const int Bit = 0x10 << (Led - 1);
    r_->Byte = (std::max(r_->Byte, 0) & ~Bit) | (On ? Bit : 0);
    return r_->Present;
  }
  bool Rumble(bool On) override {
    r_->Calls.push_back(On ? "rumble:on" : "rumble:off");
    r_->Byte = (std::max(r_->Byte, 0) & ~1) | (On ? 1 : 0);
    return r_->Present;
  }
  std::optional<int> BatteryCapacity() override { return r_->Capacity; }

 private:
  std::shared_ptr<TFakeKernelRemote> r_;
};

}  // namespace

TFakeKernelRemotes::TFakeKernelRemotes() : monitor_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

TFakeKernelRemote& TFakeKernelRemotes::Add(const std::string& SysPath) {
  auto Remote = std::make_shared<TFakeKernelRemote>();
  Remote->Ready = TUniqueFd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
  remotes_[SysPath] = Remote;
  std::erase(reported_, SysPath);  // reported again when it comes back
  Signal(monitor_);
  return *Remote;
}

void TFakeKernelRemotes::Push(const std::string& SysPath, const TKernelRemoteEvent& Event) {
  TFakeKernelRemote& Remote = At(SysPath);
  Remote.Waiting.push_back(Event);
  Signal(Remote.Ready);
}

void TFakeKernelRemotes::Remove(const std::string& SysPath) {
  At(SysPath).Present = false;
  TKernelRemoteEvent Gone;
  Gone.Kind = TKernelRemoteEvent::TKind::Gone;
  Push(SysPath, Gone);
}

std::vector<std::string> TFakeKernelRemotes::TakeNewRemotes() {
  Drain(monitor_);
  std::vector<std::string> New;
  for (const auto& [Path, Remote] : remotes_)
    if (Remote->Present && std::find(reported_.begin(), reported_.end(), Path) == reported_.end()) {
      reported_.push_back(Path);
      New.push_back(Path);
    }
  return New;
}

std::unique_ptr<IKernelRemote> TFakeKernelRemotes::Open(const std::string& SysPath, int& Error) {
  const auto It = remotes_.find(SysPath);
  if (It == remotes_.end() || !It->second->Present) {
    Error = ENODEV;
    return nullptr;
  }
  if (It->second->OpenError != 0) {
    Error = It->second->OpenError;
    return nullptr;
  }
  return std::make_unique<TFakeHandle>(It->second);
}

TKernelRemoteEvent KernelButton(TWiimoteButtonIndex Button, bool Down) {
  TKernelRemoteEvent E;
  E.Kind = TKernelRemoteEvent::TKind::Button;
  E.Button = Button;
  E.Down = Down;
  return E;
}

TKernelRemoteEvent KernelAccel(int32_t X, int32_t Y, int32_t Z) {
  TKernelRemoteEvent E;
  E.Kind = TKernelRemoteEvent::TKind::Accel;
  E.Accel = {X, Y, Z};
  return E;
}

TKernelRemoteEvent KernelIR(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  TKernelRemoteEvent E;
  E.Kind = TKernelRemoteEvent::TKind::IR;
  E.Dots = {{{X1, Y1}, {X2, Y2}, {1023, 1023}, {1023, 1023}}};
  return E;
}

TKernelRemoteEvent KernelNunchuk(int32_t StickX, int32_t StickY, int32_t X, int32_t Y, int32_t Z) {
  TKernelRemoteEvent E;
  E.Kind = TKernelRemoteEvent::TKind::NunchukMove;
  E.Stick = {StickX, StickY};
  E.Accel = {X, Y, Z};
  return E;
}

TKernelRemoteEvent KernelChanged() {
  return TKernelRemoteEvent{};
}
