#include <algorithm>

#include "wiimote/JvHidControllerClass.h"

TJvHidDeviceController::TJvHidDeviceController(THidServices Services) : FServices(Services) {
  if (!FServices.Enumerator.Ready()) return;
  // The first reconciliation runs from the main loop, like every later one, so that the application has
  // set its handlers by then.
  FServices.HandOver.Post([this, Alive = std::weak_ptr<bool>(FAlive)] {
    if (Alive.expired() || FReconciling) return;
    FStartupChangeDone = true;
    ReconcileFor(-1);
  });
}

TJvHidDeviceController::~TJvHidDeviceController() {
  FOnDeviceChange = nullptr;
  FOnDeviceUnplug = nullptr;
  FAlive.reset();
  // Readers first, while every device still exists.
  for (auto& Device : FDeviceList) Device->StopThread();
  FDeviceList.clear();
}

int TJvHidDeviceController::DeviceChangeFd() const {
  return FServices.Monitor.Fd();
}

void TJvHidDeviceController::DeviceChangeNotified() {
  // The notices are consumed even while a reconciliation runs: that one lists the nodes afresh anyway.
  if (FServices.Monitor.TakeNotices() && !FReconciling) ReconcileFor(0);
}

void TJvHidDeviceController::ReconcileFor(int ChangeParam) {
  FLastChangeParam = ChangeParam;
  FReconciling = true;
  DeviceChange();
  FReconciling = false;
}

std::vector<std::unique_ptr<TJvHidDevice>> TJvHidDeviceController::Enumerate() {
  std::vector<std::unique_ptr<TJvHidDevice>> Fresh;
  if (!FServices.Enumerator.Ready()) return Fresh;
  for (TJvHidPnPInfo& Info : FServices.Enumerator.Enumerate()) {
    try {
      Fresh.push_back(std::unique_ptr<TJvHidDevice>(new TJvHidDevice(*this, std::move(Info))));
    } catch (const EControllerError&) {
      // A node that cannot be opened or identified is left out without a word, as every other absent device.
    }
  }
  return Fresh;
}

void TJvHidDeviceController::RaisePlugEvent(const TJvHidPlugEvent& Event, TJvHidDevice& HidDev) {
  if (!Event) return;
  HidDev.FInPlugEvent = true;
  Event(HidDev);
  HidDev.FInPlugEvent = false;
}

void TJvHidDeviceController::DeviceChange() {
  bool Changed = FLastChangeParam == -1;
  std::vector<std::unique_ptr<TJvHidDevice>> Fresh = Enumerate();
  auto FoundIn = [](const std::vector<std::unique_ptr<TJvHidDevice>>& List, const std::string& Path) {
    return std::any_of(List.rbegin(), List.rend(), [&](const auto& D) {
      return D->FPlugged && D->FInterfaceInfo.InstanceHandle == Path;
    });
  };

  for (size_t I = FDeviceList.size(); I-- > 0;) {
    TJvHidDevice& Device = *FDeviceList[I];
    // A device already unplugged and still held has been reported once; it waits for its release.
    if (!Device.FPlugged || FoundIn(Fresh, Device.FInterfaceInfo.InstanceHandle)) continue;
    Device.MarkUnplugged();
    RaisePlugEvent(FOnRemoval, Device);
    Changed = true;
    // The removal handler may have released the device already.
    if (I < FDeviceList.size() && FDeviceList[I].get() == &Device && !Device.FClaimed)
      FDeviceList.erase(FDeviceList.begin() + static_cast<std::ptrdiff_t>(I));
  }

  for (auto& Candidate : Fresh) {
    if (FoundIn(FDeviceList, Candidate->FInterfaceInfo.InstanceHandle)) continue;  // already known
    FDeviceList.push_back(std::move(Candidate));
    RaisePlugEvent(FOnArrival, *FDeviceList.back());
    Changed = true;
  }
  Fresh.clear();  // the duplicates

  Recount();
  if (Changed && FOnDeviceChange) {
    TNotifyEvent Handler = FOnDeviceChange;
    Handler();
  }
}

void TJvHidDeviceController::Recount() {
  FFreeCount = 0;
  FUnpluggedCount = 0;
  int Claimed = 0;
  for (const auto& Device : FDeviceList) {
    if (!Device->FClaimed) ++FFreeCount;
    if (!Device->FPlugged) ++FUnpluggedCount;
    if (Device->FClaimed) ++Claimed;
  }
  FClaimedCount = Claimed - FUnpluggedCount;
}

bool TJvHidDeviceController::ClaimByIds(TJvHidDevice*& HidDev, int VendorID, int ProductID) {
  HidDev = nullptr;
  for (auto& Device : FDeviceList) {
    if (Device->FClaimed || Device->FHidAttributes.VendorID != VendorID) continue;
    if (ProductID != -1 && Device->FHidAttributes.ProductID != ProductID) continue;
    Device->FClaimed = true;
    ++FClaimedCount;
    --FFreeCount;
    Device->StartThread();
    HidDev = Device.get();
    return true;
  }
  return false;
}

void TJvHidDeviceController::Release(TJvHidDevice*& HidDev) {
  TJvHidDevice* Device = std::exchange(HidDev, nullptr);
  if (Device == nullptr) return;
  auto Found = std::find_if(FDeviceList.begin(), FDeviceList.end(),
                            [Device](const auto& Item) { return Item.get() == Device; });
  if (Found == FDeviceList.end()) return;  // not ours
  Device->StopThread();
  Device->CloseIo();
  if (Device->FPlugged) {
    if (Device->FClaimed) {
      Device->FClaimed = false;
      --FClaimedCount;
      ++FFreeCount;
    }
    return;
  }
  FDeviceList.erase(Found);
  --FUnpluggedCount;
}

void TJvHidDeviceController::SetDevThreadSleepTime(uint32_t Ms) {
  for (auto& Device : FDeviceList)
    if (Device->ReadWaitSlice() == FDevThreadSleepTime) Device->SetReadWaitSlice(Ms);
  FDevThreadSleepTime = Ms;
}

void TJvHidDeviceController::SetOnDeviceChange(TNotifyEvent Handler) {
  FOnDeviceChange = std::move(Handler);
  // Before the start-up change the handler is being set up with the window, as if loaded with it.
  if (FOnDeviceChange && FStartupChangeDone && !FReconciling) ReconcileFor(FLastChangeParam);
}

void TJvHidDeviceController::SetOnDeviceData(TJvHidDataEvent Handler) {
  for (auto& Device : FDeviceList)
    if (Device->FDataHandlerFromController) Device->ApplyDataHandler(Handler);
  FOnDeviceData = std::move(Handler);
}

void TJvHidDeviceController::SetOnDeviceDataError(TJvHidDataErrorEvent Handler) {
  for (auto& Device : FDeviceList) Device->FDataErrorHandler = Handler;
  FOnDeviceDataError = std::move(Handler);
}

void TJvHidDeviceController::SetOnDeviceUnplug(TJvHidPlugEvent Handler) {
  for (auto& Device : FDeviceList)
    if (Device->FPlugged) Device->FUnplugHandler = Handler;
  FOnDeviceUnplug = std::move(Handler);
}
