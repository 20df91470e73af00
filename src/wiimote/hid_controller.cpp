#include <algorithm>

#include "wiimote/hid_controller.h"

TJvHidDeviceController::TJvHidDeviceController(THidServices Services) : services_(Services) {
  if (!services_.Enumerator.Ready()) return;
  // The first reconciliation runs from the main loop, like every later one, so that the application has
  // set its handlers by then.
  services_.HandOver.Post([this, Alive = std::weak_ptr<bool>(alive_)] {
    if (Alive.expired() || reconciling_) return;
    startupChangeDone_ = true;
    ReconcileFor(-1);
  });
}

TJvHidDeviceController::~TJvHidDeviceController() {
  onDeviceChange_ = nullptr;
  onDeviceUnplug_ = nullptr;
  alive_.reset();
  // Readers first, while every device still exists.
  for (auto& Device : deviceList_) Device->StopThread();
  deviceList_.clear();
}

int TJvHidDeviceController::DeviceChangeFd() const {
  return services_.Monitor.Fd();
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
          *this, {services_, onDeviceData_, onDeviceDataError_, onDeviceUnplug_, devThreadSleepTime_},
          std::move(Info))));
    } catch (const EControllerError&) {
      // A node that cannot be opened or identified is left out without a word, as every other absent device.
    }
  }
  return Fresh;
}

void TJvHidDeviceController::RaisePlugEvent(const TJvHidPlugEvent& Event, TJvHidDevice& HidDev) {
  if (!Event) return;
  HidDev.inPlugEvent_ = true;
  Event(HidDev);
  HidDev.inPlugEvent_ = false;
}

void TJvHidDeviceController::DeviceChange() {
  bool Changed = lastChangeParam_ == -1;
  std::vector<std::unique_ptr<TJvHidDevice>> Fresh = Enumerate();
  auto FoundIn = [](const std::vector<std::unique_ptr<TJvHidDevice>>& List, const std::string& Path) {
    return std::any_of(List.rbegin(), List.rend(), [&](const auto& D) {
      return D->plugged_ && D->interfaceInfo_.InstanceHandle == Path;
    });
  };

  for (size_t I = deviceList_.size(); I-- > 0;) {
    TJvHidDevice& Device = *deviceList_[I];
    // A device already unplugged and still held has been reported once; it waits for its release.
    if (!Device.plugged_ || FoundIn(Fresh, Device.interfaceInfo_.InstanceHandle)) continue;
    Device.MarkUnplugged();
    RaisePlugEvent(onRemoval_, Device);
    Changed = true;
    // The removal handler may have released the device already.
    if (I < deviceList_.size() && deviceList_[I].get() == &Device && !Device.claimed_)
      deviceList_.erase(deviceList_.begin() + static_cast<std::ptrdiff_t>(I));
  }

  for (auto& Candidate : Fresh) {
    if (FoundIn(deviceList_, Candidate->interfaceInfo_.InstanceHandle)) continue;  // already known
    deviceList_.push_back(std::move(Candidate));
    RaisePlugEvent(onArrival_, *deviceList_.back());
    Changed = true;
  }
  Fresh.clear();  // the duplicates

  // A claimed node that could not be opened read-write at the claim has no reader: try again, since the
  // rights may have come with this change.
  for (auto& Device : deviceList_) {
    if (!Device->claimed_ || !Device->plugged_ || Device->readThread_) continue;
    if (!Device->readWriteOpen_) Device->OpenNode(TOpenAccess::ReadWrite);
    Device->StartThread();
  }

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
    if (!Device->claimed_) ++freeCount_;
    if (!Device->plugged_) ++unpluggedCount_;
    if (Device->claimed_) ++Claimed;
  }
  claimedCount_ = Claimed - unpluggedCount_;
}

bool TJvHidDeviceController::ClaimByIds(TJvHidDevice*& HidDev, int VendorID, int ProductID,
                                        const std::function<bool(const TJvHidDevice&)>& Accept) {
  HidDev = nullptr;
  for (auto& Device : deviceList_) {
    if (Device->claimed_ || Device->hidAttributes_.VendorID != VendorID) continue;
    if (ProductID != -1 && Device->hidAttributes_.ProductID != ProductID) continue;
    if (Accept && !Accept(*Device)) continue;
    Device->claimed_ = true;
    ++claimedCount_;
    --freeCount_;
    Device->StartThread();
    HidDev = Device.get();
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
  Device->StopThread();
  Device->CloseIo();
  if (Device->plugged_) {
    if (Device->claimed_) {
      Device->claimed_ = false;
      --claimedCount_;
      ++freeCount_;
    }
    return;
  }
  deviceList_.erase(Found);
  --unpluggedCount_;
}

void TJvHidDeviceController::SetDevThreadSleepTime(uint32_t Ms) {
  for (auto& Device : deviceList_)
    if (Device->ReadWaitSlice() == devThreadSleepTime_) Device->SetReadWaitSlice(Ms);
  devThreadSleepTime_ = Ms;
}

void TJvHidDeviceController::SetOnDeviceChange(TNotifyEvent Handler) {
  onDeviceChange_ = std::move(Handler);
  // Before the start-up change the handler is being set up with the window, as if loaded with it.
  if (onDeviceChange_ && startupChangeDone_ && !reconciling_) ReconcileFor(lastChangeParam_);
}

void TJvHidDeviceController::SetOnDeviceData(TJvHidDataEvent Handler) {
  for (auto& Device : deviceList_)
    if (Device->dataHandlerFromController_) Device->ApplyDataHandler(Handler);
  onDeviceData_ = std::move(Handler);
}

void TJvHidDeviceController::SetOnDeviceDataError(TJvHidDataErrorEvent Handler) {
  for (auto& Device : deviceList_) Device->dataErrorHandler_ = Handler;
  onDeviceDataError_ = std::move(Handler);
}

void TJvHidDeviceController::SetOnDeviceUnplug(TJvHidPlugEvent Handler) {
  for (auto& Device : deviceList_)
    if (Device->plugged_) Device->unplugHandler_ = Handler;
  onDeviceUnplug_ = std::move(Handler);
}
