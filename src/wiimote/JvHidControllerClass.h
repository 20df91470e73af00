#pragma once
// The general HID layer over Linux hidraw: one controller that lists the HID device nodes, notices when
// they come and go, lets the application claim a device by vendor and product, writes reports to it and
// runs one reader thread per claimed device that hands every input report to the main thread.
// Nothing here knows about the Wii Remote.
//
// Threads: every operation of these classes runs on the main thread, and so does every event. A reader
// thread only reads its own descriptor and waits for the main thread to have handled each report.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "wiimote/HidPlatform.h"
#include "wiimote/HidReportDescriptor.h"
#include "wiimote/JvHidReadThread.h"
#include "wiimote/UniqueFd.h"

class TJvHidDevice;
class TJvHidDeviceController;

// A device that cannot be opened or identified while the nodes are listed; such a device is left out.
class EControllerError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct THidAttributes {
  uint16_t BusType = 0;  // 5 = Bluetooth, 3 = USB
  uint16_t VendorID = 0;
  uint16_t ProductID = 0;
  uint16_t VersionNumber = 0;  // hidraw does not tell it: always 0
};

// The report lengths the application uses, report ID byte included.
struct THidCaps {
  uint16_t InputReportByteLength = 0;   // the largest input report
  uint16_t OutputReportByteLength = 0;  // the largest output report
  uint16_t FeatureReportByteLength = 0;
};

// Reads HID_ID ("0005:0000057E:00000306": bus, vendor, product in hex); false when it is malformed.
bool ParseHidId(std::string_view HidId, THidAttributes& Attributes);

using TJvHidPlugEvent = std::function<void(TJvHidDevice& HidDev)>;
// Data points at the bytes after the report ID and stays valid only during the call.
using TJvHidDataEvent =
    std::function<void(TJvHidDevice& HidDev, uint8_t ReportID, const uint8_t* Data, uint16_t Size)>;
// Error is the errno value of the failed read.
using TJvHidDataErrorEvent = std::function<void(TJvHidDevice& HidDev, uint32_t Error)>;
using TNotifyEvent = std::function<void()>;

// Everything the controller reaches the platform through. The services must outlive the controller.
struct THidServices {
  IHidEnumerator& Enumerator;
  IDeviceChangeMonitor& Monitor;
  IDeviceOpener& Opener;
  IMainThreadHandOver& HandOver;
};

// One HID device node. Owned by its controller's DeviceList; a claimed device stays valid until it is
// released, and the controller destroys whatever is left when it goes.
class TJvHidDevice {
 public:
  ~TJvHidDevice();
  TJvHidDevice(const TJvHidDevice&) = delete;
  TJvHidDevice& operator=(const TJvHidDevice&) = delete;

  TJvHidDeviceController* Controller() const { return FController; }
  // True from creation until a device change no longer finds the node.
  bool Plugged() const { return FPlugged; }
  bool Claimed() const { return FClaimed; }
  // True only while OnArrival or OnRemoval runs for this device.
  bool InPlugEvent() const { return FInPlugEvent; }
  // Plugged and (Claimed or InPlugEvent): reports may be written.
  bool CanAccess() const { return FPlugged && (FClaimed || FInPlugEvent); }
  const THidAttributes& HidAttributes() const { return FHidAttributes; }
  const TJvHidPnPInfo& InterfaceInfo() const { return FInterfaceInfo; }
  // The last open of the device node got read and write access.
  bool ReadWriteOpen() const { return FReadWriteOpen; }

  THidCaps QueryCaps() const;
  // The length of the output report with this ID as the report descriptor declares it, report ID byte
  // included; 0 when the descriptor does not declare it.
  uint16_t OutputReportLength(uint8_t ReportID) const;
  // Empty, or why the report descriptor could not be read to its end.
  const std::string& DescriptorError() const { return FLayout.Error(); }

  // Opens the synchronous handle when the device may be accessed and it is not open yet; true when it is
  // open afterwards.
  bool OpenIo();
  void CloseIo();
  bool IoOpen() const { return FIoHandle.Valid(); }
  // OpenIo, then one write(2) of exactly Length bytes: one report at its own length. True only when both
  // worked; on failure LastError() tells why.
  bool WriteReport(const void* Buffer, size_t Length, size_t& BytesWritten);
  // errno value of the last failed open or write of this device.
  int LastError() const { return FLastError; }

  // Milliseconds the reader waits in one slice; a value is taken only within 10..10000.
  uint32_t ReadWaitSlice() const { return FReadWaitSlice.load(); }
  void SetReadWaitSlice(uint32_t Ms);

  // Sets this device's own data handler (no longer following the controller's) and starts or stops its
  // reader: an empty handler stops it; a reader runs only for a plugged, claimed, read-write device.
  void SetDataHandler(TJvHidDataEvent Handler);
  // The reader, or none; a reader whose device vanished stays here, finished, until the device is released.
  const TJvHidDeviceReadThread* ReadThread() const { return FReadThread.get(); }

 private:
  friend class TJvHidDeviceController;
  friend class TJvHidDeviceReadThread;

  // Opens the node once to learn whether it can be opened read-write; throws EControllerError.
  TJvHidDevice(TJvHidDeviceController& Controller, TJvHidPnPInfo Info);
  void ApplyDataHandler(TJvHidDataEvent Handler);
  TUniqueFd OpenNode(TOpenAccess Access);
  void StartThread();
  void StopThread();
  void MarkUnplugged();

  TJvHidDeviceController* FController;
  bool FPlugged = true;
  bool FClaimed = false;
  bool FInPlugEvent = false;
  TUniqueFd FIoHandle;
  THidAttributes FHidAttributes;
  TJvHidPnPInfo FInterfaceInfo;
  THidReportLayout FLayout;
  std::atomic<uint32_t> FReadWaitSlice{100};
  TJvHidDataEvent FDataHandler;
  TJvHidDataErrorEvent FDataErrorHandler;
  TJvHidPlugEvent FUnplugHandler;
  // The data handler is still the one copied from the controller, so a new controller handler reaches it.
  bool FDataHandlerFromController = true;
  bool FReadWriteOpen = false;
  int FLastError = 0;
  std::unique_ptr<TJvHidDeviceReadThread> FReadThread;
};

class TJvHidDeviceController {
 public:
  static constexpr const char* Version = "1.0.34";

  // Posts the first device change through the hand-over, to run once the main loop runs; when the
  // enumerator is not Ready the controller never finds a device and never raises OnDeviceChange.
  explicit TJvHidDeviceController(THidServices Services);
  // Stops every reader and destroys every device, claimed ones included.
  ~TJvHidDeviceController();
  TJvHidDeviceController(const TJvHidDeviceController&) = delete;
  TJvHidDeviceController& operator=(const TJvHidDeviceController&) = delete;

  // Lists the nodes again, reconciles DeviceList with them by sysfs path and raises the events.
  void DeviceChange();
  // Claims the first unclaimed device in list order with this vendor and product (any product when
  // ProductID is -1) and starts its reader; HidDev is that device, or none when nothing matched.
  bool ClaimByIds(TJvHidDevice*& HidDev, int VendorID, int ProductID);
  // Gives a claimed device back: its reader stops, its handle closes; an unplugged device is destroyed.
  // HidDev becomes none.
  void Release(TJvHidDevice*& HidDev);

  // The descriptor to watch for readability on the main thread (-1: nothing to watch), and what to call
  // when it is readable: a node added or removed starts a reconciliation unless one is running.
  int DeviceChangeFd() const;
  void DeviceChangeNotified();

  uint32_t DevThreadSleepTime() const { return FDevThreadSleepTime; }
  void SetDevThreadSleepTime(uint32_t Ms);
  void SetOnArrival(TJvHidPlugEvent Handler) { FOnArrival = std::move(Handler); }
  void SetOnRemoval(TJvHidPlugEvent Handler) { FOnRemoval = std::move(Handler); }
  // Once the start-up change has run, setting a handler also reconciles at once; clearing it does not.
  void SetOnDeviceChange(TNotifyEvent Handler);
  // Reaches every device still holding the controller's handler, starting or stopping readers.
  void SetOnDeviceData(TJvHidDataEvent Handler);
  // Reach every device (an unplugged one has had its unplug event already).
  void SetOnDeviceDataError(TJvHidDataErrorEvent Handler);
  void SetOnDeviceUnplug(TJvHidPlugEvent Handler);

  const std::vector<std::unique_ptr<TJvHidDevice>>& DeviceList() const { return FDeviceList; }
  int FreeCount() const { return FFreeCount; }
  int ClaimedCount() const { return FClaimedCount; }
  int UnpluggedCount() const { return FUnpluggedCount; }
  bool Reconciling() const { return FReconciling; }
  // -1 for the start-up change, 0 for a notice of the monitor.
  int LastChangeParam() const { return FLastChangeParam; }

 private:
  friend class TJvHidDevice;

  void ReconcileFor(int ChangeParam);
  std::vector<std::unique_ptr<TJvHidDevice>> Enumerate();
  void RaisePlugEvent(const TJvHidPlugEvent& Event, TJvHidDevice& HidDev);
  void Recount();

  THidServices FServices;
  std::vector<std::unique_ptr<TJvHidDevice>> FDeviceList;
  bool FReconciling = false;
  bool FStartupChangeDone = false;
  int FLastChangeParam = 0;
  int FFreeCount = 0;
  int FClaimedCount = 0;
  int FUnpluggedCount = 0;
  uint32_t FDevThreadSleepTime = 100;
  TJvHidPlugEvent FOnArrival;
  TJvHidPlugEvent FOnRemoval;
  TNotifyEvent FOnDeviceChange;
  TJvHidDataEvent FOnDeviceData;
  TJvHidDataErrorEvent FOnDeviceDataError;
  TJvHidPlugEvent FOnDeviceUnplug;
  // Lets the posted start-up change see that the controller is gone.
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};
