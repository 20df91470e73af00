#pragma once
// The general HID layer over Linux hidraw: one controller that lists the HID device nodes, notices when
// they come and go, lets the application claim a device by vendor and product, writes reports to it and
// reads every input report of a claimed device on the main loop, where the handler gets them in order.
// Nothing here knows about the Wii Remote.
//
// Threads: there is one. Every operation of the controller runs on the main loop's thread, and so does
// every event: the loop watches the change monitor's descriptor and each claimed device's descriptor.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "wiimote/hid_device.h"

class TJvHidDeviceController {
 public:
  static constexpr const char* Version = "1.0.34";

  // Posts the first device change to the main loop, to run once the loop runs, and watches the change
  // monitor; when the enumerator is not Ready the controller never finds a device and never raises
  // OnDeviceChange.
  explicit TJvHidDeviceController(THidServices Services);
  // Destroys every device, claimed ones included.
  ~TJvHidDeviceController();
  TJvHidDeviceController(const TJvHidDeviceController&) = delete;
  TJvHidDeviceController& operator=(const TJvHidDeviceController&) = delete;

  // Lists the nodes again, reconciles DeviceList with them by sysfs path and raises the events.
  void DeviceChange();
  // Claims the first unclaimed device in list order with this vendor and product (any product when
  // ProductID is -1) that Accept (when given) takes, opens it and starts reading it; HidDev is that device,
  // or none when nothing matched.
  bool ClaimByIds(TJvHidDevice*& HidDev, int VendorID, int ProductID,
                  const std::function<bool(const TJvHidDevice&)>& Accept = {});
  // Gives a claimed device back: its descriptor closes, and nothing more is read from it; an unplugged device
  // is destroyed. HidDev becomes none. A data handler may release the device it was called for.
  void Release(TJvHidDevice*& HidDev);

  // What the main loop calls when the change monitor is readable: a node added or removed starts a
  // reconciliation unless one is running.
  void DeviceChangeNotified();

  void SetOnArrival(TJvHidPlugEvent Handler) { onArrival_ = std::move(Handler); }
  void SetOnRemoval(TJvHidPlugEvent Handler) { onRemoval_ = std::move(Handler); }
  // Once the start-up change has run, setting a handler also reconciles at once; clearing it does not.
  void SetOnDeviceChange(TNotifyEvent Handler);
  // Reaches every device still holding the controller's handler, starting or stopping its reading.
  void SetOnDeviceData(TJvHidDataEvent Handler);
  // Reach every device (an unplugged one has had its unplug event already).
  void SetOnDeviceDataError(TJvHidDataErrorEvent Handler);
  void SetOnDeviceUnplug(TJvHidPlugEvent Handler);

  const std::vector<std::unique_ptr<TJvHidDevice>>& DeviceList() const { return deviceList_; }
  int FreeCount() const { return freeCount_; }
  int ClaimedCount() const { return claimedCount_; }
  int UnpluggedCount() const { return unpluggedCount_; }
  bool Reconciling() const { return reconciling_; }
  // -1 for the start-up change, 0 for a notice of the monitor.
  int LastChangeParam() const { return lastChangeParam_; }

 private:
  void ReconcileFor(int ChangeParam);
  std::vector<std::unique_ptr<TJvHidDevice>> Enumerate();
  void Recount();

  THidServices services_;
  std::vector<std::unique_ptr<TJvHidDevice>> deviceList_;
  bool reconciling_ = false;
  bool startupChangeDone_ = false;
  int lastChangeParam_ = 0;
  int freeCount_ = 0;
  int claimedCount_ = 0;
  int unpluggedCount_ = 0;
  TJvHidPlugEvent onArrival_;
  TJvHidPlugEvent onRemoval_;
  TNotifyEvent onDeviceChange_;
  TJvHidDataEvent onDeviceData_;
  TJvHidDataErrorEvent onDeviceDataError_;
  TJvHidPlugEvent onDeviceUnplug_;
  std::unique_ptr<IFdWatch> monitorWatch_;
  // Lets the posted start-up change see that the controller is gone.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
