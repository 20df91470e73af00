#pragma once
// One HID device node of the general HID layer over Linux hidraw: its identity, report lengths, writes and
// the reader thread of a claimed device. The controller that lists and claims devices is hid_controller.h.
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

#include "common/unique_fd.h"
#include "wiimote/hid_platform.h"
#include "wiimote/hid_read_thread.h"
#include "wiimote/hid_report_descriptor.h"

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

// What a device takes from its controller when it is listed: the platform, the controller's handlers at that
// moment and the reader's wait slice. The device needs nothing else of the controller.
struct THidDeviceStart {
  const THidServices& Services;
  TJvHidDataEvent OnData;
  TJvHidDataErrorEvent OnDataError;
  TJvHidPlugEvent OnUnplug;
  uint32_t ReadWaitSlice = 100;  // ms
};

// One HID device node. Owned by its controller's DeviceList; a claimed device stays valid until it is
// released, and the controller destroys whatever is left when it goes.
class TJvHidDevice {
 public:
  ~TJvHidDevice();
  TJvHidDevice(const TJvHidDevice&) = delete;
  TJvHidDevice& operator=(const TJvHidDevice&) = delete;

  TJvHidDeviceController* Controller() const { return controller_; }
  // True from creation until a device change no longer finds the node.
  bool Plugged() const { return plugged_; }
  bool Claimed() const { return claimed_; }
  // True only while OnArrival or OnRemoval runs for this device.
  bool InPlugEvent() const { return inPlugEvent_; }
  // Plugged and (Claimed or InPlugEvent): reports may be written.
  bool CanAccess() const { return plugged_ && (claimed_ || inPlugEvent_); }
  const THidAttributes& HidAttributes() const { return hidAttributes_; }
  const TJvHidPnPInfo& InterfaceInfo() const { return interfaceInfo_; }
  // The last open of the device node got read and write access.
  bool ReadWriteOpen() const { return readWriteOpen_; }

  THidCaps QueryCaps() const;
  // The length of the output report with this ID as the report descriptor declares it, report ID byte
  // included; 0 when the descriptor does not declare it.
  uint16_t OutputReportLength(uint8_t ReportID) const;
  // Empty, or why the report descriptor could not be read to its end.
  const std::string& DescriptorError() const { return layout_.Error(); }

  // Opens the synchronous handle when the device may be accessed and it is not open yet; true when it is
  // open afterwards.
  bool OpenIo();
  void CloseIo();
  bool IoOpen() const { return ioHandle_.Valid(); }
  // OpenIo, then one write(2) of exactly Length bytes: one report at its own length, without blocking
  // (EAGAIN when the device cannot take it now). True only when both worked; on failure LastError() tells
  // why.
  bool WriteReport(const void* Buffer, size_t Length, size_t& BytesWritten);
  // errno value of the last failed open or write of this device.
  int LastError() const { return lastError_; }

  // Milliseconds the reader waits in one slice; a value is taken only within 10..10000.
  uint32_t ReadWaitSlice() const { return readWaitSlice_.load(); }
  void SetReadWaitSlice(uint32_t Ms);

  // Sets this device's own data handler (no longer following the controller's) and starts or stops its
  // reader: an empty handler stops it; a reader runs only for a plugged, claimed, read-write device.
  void SetDataHandler(TJvHidDataEvent Handler);
  // The reader, or none; a reader whose device vanished stays here, finished, until the device is released.
  const TJvHidDeviceReadThread* ReadThread() const { return readThread_.get(); }

 private:
  friend class TJvHidDeviceController;
  friend class TJvHidDeviceReadThread;

  // Opens the node once to learn whether it can be opened read-write; throws EControllerError.
  TJvHidDevice(TJvHidDeviceController& Controller, const THidDeviceStart& Start, TJvHidPnPInfo Info);
  void ApplyDataHandler(TJvHidDataEvent Handler);
  TUniqueFd OpenNode(TOpenAccess Access);
  void StartThread();
  void StopThread();
  void MarkUnplugged();

  TJvHidDeviceController* controller_;
  const THidServices* services_;  // the controller's, which outlive its devices
  bool plugged_ = true;
  bool claimed_ = false;
  bool inPlugEvent_ = false;
  TUniqueFd ioHandle_;
  THidAttributes hidAttributes_;
  TJvHidPnPInfo interfaceInfo_;
  THidReportLayout layout_;
  std::atomic<uint32_t> readWaitSlice_{100};
  TJvHidDataEvent dataHandler_;
  TJvHidDataErrorEvent dataErrorHandler_;
  TJvHidPlugEvent unplugHandler_;
  // The data handler is still the one copied from the controller, so a new controller handler reaches it.
  bool dataHandlerFromController_ = true;
  bool readWriteOpen_ = false;
  int lastError_ = 0;
  std::unique_ptr<TJvHidDeviceReadThread> readThread_;
};
