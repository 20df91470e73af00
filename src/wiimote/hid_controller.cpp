#include <algorithm>

#include "wiimote/hid_controller.h"

TJvHidDeviceController::TJvHidDeviceController(THidServices Services) : services_(Services) {
  if (!services_.Enumerator.Ready()) return;
  // The first reconciliation runs from the main loop, like every later one, so that the application has
  // set its handlers by then.
  services_.Loop.Post([this, Alive = std::weak_ptr<bool>(alive_)] {
    if (Alive.expired() || reconciling_) return;
    startupChangeDone_ = true;
    ReconcileFor(-1);
  });
  if (services_.Monitor.Fd() >= 0)
    monitorWatch_ = services_.Loop.Watch(services_.Monitor.Fd(), [this] { DeviceChangeNotified(); });
}

TJvHidDeviceController::~TJvHidDeviceController() {
  onDeviceChange_ = nullptr;
  onDeviceUnplug_ = nullptr;
  alive_.reset();
  monitorWatch_.reset();
  deviceList_.clear();
}

void TJvHidDeviceController::DeviceChangeNotified() {
  // The notices are consumed even while a reconciliation runs: that one lists the nodes afresh anyway.
  if (services_.Monitor.TakeNotices() && !reconciling_) ReconcileFor(0);
}

void TJvHidDeviceController::ReconcileFor(int ChangeParam) {
  lastChangeParam_ = ChangeParam;
  reconciling_ = true;
  DeviceChange();
  reconciling_ = false;
}

std::vector<std::unique_ptr<TJvHidDevice>> TJvHidDeviceController::Enumerate() {
  std::vector<std::unique_ptr<TJvHidDevice>> Fresh;
  if (!services_.Enumerator.Ready()) return Fresh;
  for (TJvHidPnPInfo& Info : services_.Enumerator.Enumerate()) {
    try {
      Fresh.push_back(std::unique_ptr<TJvHidDevice>(new TJvHidDevice(
          *this, {services_, onDeviceData_, onDeviceDataError_, onDeviceUnplug_}, std::move(Info))));
    } catch (const EControllerError&) {
      // A node that cannot be opened or identified is left out without a word, as every other absent device.
    }
  }
  return Fresh;
}

void TJvHidDeviceController::DeviceChange() {
  bool Changed = lastChangeParam_ == -1;
  std::vector<std::unique_ptr<TJvHidDevice>> Fresh = Enumerate();
  auto FoundIn = [](const std::vector<std::unique_ptr<TJvHidDevice>>& List, const std::string& Path) {
    return std::any_of(List.rbegin(), List.rend(), [&](const auto& D) {
      return D->Plugged() && D->InterfaceInfo().InstanceHandle == Path;
    });
  };

  for (size_t I = deviceList_.size(); I-- > 0;) {
    TJvHidDevice& Device = *deviceList_[I];
    // A device already unplugged and still held has been reported once; it waits for its release.
    if (!Device.Plugged() || FoundIn(Fresh, Device.InterfaceInfo().InstanceHandle)) continue;
    Device.MarkUnplugged();
    Device.RaisePlugEvent(onRemoval_);
    Changed = true;
    // The removal handler may have released the device already.
    if (I < deviceList_.size() && deviceList_[I].get() == &Device && !Device.Claimed())
      deviceList_.erase(deviceList_.begin() + static_cast<std::ptrdiff_t>(I));
  }

  for (auto& Candidate : Fresh) {
    if (FoundIn(deviceList_, Candidate->InterfaceInfo().InstanceHandle)) continue;  // already known
    deviceList_.push_back(std::move(Candidate));
    deviceList_.back()->RaisePlugEvent(onArrival_);
    Changed = true;
  }
  Fresh.clear();  // the duplicates

  // A claimed node that could not be opened read-write at the claim is not read: try again, since the rights
  // may have come with this change.
  for (auto& Device : deviceList_) Device->RetryAccess();

  Recount();
  if (Changed && onDeviceChange_) {
    TNotifyEvent Handler = onDeviceChange_;
    Handler();
  }
}

void TJvHidDeviceController::Recount() {
  freeCount_ = 0;
  unpluggedCount_ = 0;
  int Claimed = 0;
  for (const auto& Device : deviceList_) {
    if (!Device->Claimed()) ++freeCount_;
    if (!Device->Plugged()) ++unpluggedCount_;
    if (Device->Claimed()) ++Claimed;
  }
  claimedCount_ = Claimed - unpluggedCount_;
}

bool TJvHidDeviceController::ClaimByIds(TJvHidDevice*& HidDev, int VendorID, int ProductID,
                                        const std::function<bool(const TJvHidDevice&)>& Accept) {
  HidDev = nullptr;
  for (auto& Device : deviceList_) {
    if (Device->Claimed() || Device->HidAttributes().VendorID != VendorID) continue;
    if (ProductID != -1 && Device->HidAttributes().ProductID != ProductID) continue;
    if (Accept && !Accept(*Device)) continue;
    ++claimedCount_;
    --freeCount_;
    HidDev = Device.get();
    Device->SetClaimed(true);
    return true;
  }
  return false;
}

void TJvHidDeviceController::Release(TJvHidDevice*& HidDev) {
  TJvHidDevice* Device = std::exchange(HidDev, nullptr);
  if (Device == nullptr) return;
  auto Found = std::find_if(deviceList_.begin(), deviceList_.end(),
                            [Device](const auto& Item) { return Item.get() == Device; });
  if (Found == deviceList_.end()) return;  // not ours
  if (Device->Plugged()) {
    if (Device->Claimed()) {
      --claimedCount_;
      ++freeCount_;
    }
    Device->SetClaimed(false);
    return;
  }
  deviceList_.erase(Found);
  --unpluggedCount_;
}

void TJvHidDeviceController::SetOnDeviceChange(TNotifyEvent Handler) {
  onDeviceChange_ = std::move(Handler);
  // Before the start-up change the handler is being set up with the window, as if loaded with it.
  if (onDeviceChange_ && startupChangeDone_ && !reconciling_) ReconcileFor(lastChangeParam_);
}

void TJvHidDeviceController::SetOnDeviceData(TJvHidDataEvent Handler) {
  for (auto& Device : deviceList_) Device->FollowDataHandler(Handler);
  onDeviceData_ = std::move(Handler);
}

void TJvHidDeviceController::SetOnDeviceDataError(TJvHidDataErrorEvent Handler) {
  for (auto& Device : deviceList_) Device->SetDataErrorHandler(Handler);
  onDeviceDataError_ = std::move(Handler);
}

void TJvHidDeviceController::SetOnDeviceUnplug(TJvHidPlugEvent Handler) {
  for (auto& Device : deviceList_) Device->SetUnplugHandler(Handler);
  onDeviceUnplug_ = std::move(Handler);
}
