#pragma once
// One HID device node of the general HID layer over Linux hidraw: its identity, report lengths, and the one
// descriptor of a claimed device, written to directly and read when the main loop finds it readable. The
// controller that lists and claims devices is hid_controller.h. Nothing here knows about the Wii Remote.
//
// Threads: there is one. Every operation of these classes runs on the main loop's thread, and so does every
// event.

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "common/unique_fd.h"
#include "wiimote/hid_platform.h"
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
  IMainLoop& Loop;
};

// What a device takes from its controller when it is listed: the platform and the controller's handlers
// at that moment. The device needs nothing else of the controller.
struct THidDeviceStart {
  const THidServices& Services;
  TJvHidDataEvent OnData;
  TJvHidDataErrorEvent OnDataError;
  TJvHidPlugEvent OnUnplug;
};

// One HID device node. Owned by its controller's DeviceList; a claimed device stays valid until it is
// released, and the controller destroys whatever is left when it goes.
class TJvHidDevice {
 public:
  // Opens the node once to learn whether it can be opened read-write, and closes it again; throws
  // EControllerError. Only the controller creates devices.
  TJvHidDevice(TJvHidDeviceController& Controller, const THidDeviceStart& Start, TJvHidPnPInfo Info);
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

  // Opens the device's one descriptor (read-write, non-blocking) when the device may be accessed and it is
  // not open yet; true when it is open afterwards. Reads and writes share it until CloseIo or the release.
  bool OpenIo();
  // Closes the descriptor, and so stops reading until it is opened again.
  void CloseIo();
  // OpenIo, then one write(2) of exactly Length bytes: one report at its own length, without blocking
  // (EAGAIN when the device cannot take it now, or took nothing and said 0). True only when both worked;
  // on failure LastError() tells why.
  bool WriteReport(const void* Buffer, size_t Length, size_t& BytesWritten);
  // Waits at most TimeoutMs for the descriptor to take a write; false when it did not, or is not open.
  bool WaitWritable(int TimeoutMs) const;
  // errno value of the last failed open or write of this device.
  int LastError() const { return lastError_; }

  // Sets this device's own data handler (no longer following the controller's) and starts or stops reading:
  // an empty handler stops it; a plugged, claimed, read-write device is read while it has a handler.
  void SetDataHandler(TJvHidDataEvent Handler);

  // The controller's side: it claims and releases the device, raises its plug events, marks it unplugged
  // and passes on the handlers it holds.
  void SetClaimed(bool Claimed);
  void RaisePlugEvent(const TJvHidPlugEvent& Event);
  // Closes the descriptor, then calls the unplug handler once.
  void MarkUnplugged();
  // A claimed device that could not be opened read-write, or not read, tries again: the rights may have
  // come since. A device whose reading ended on an error waits for its release instead.
  void RetryAccess();
  // The controller's data handler, taken unless the device has its own.
  void FollowDataHandler(const TJvHidDataEvent& Handler);
  void SetDataErrorHandler(TJvHidDataErrorEvent Handler) { dataErrorHandler_ = std::move(Handler); }
  // Taken only while the device is plugged: an unplugged one has had its unplug event.
  void SetUnplugHandler(TJvHidPlugEvent Handler);

 private:
  void ApplyDataHandler(TJvHidDataEvent Handler);
  TUniqueFd OpenNode();
  void StartReading();
  void StopReading();
  void ReadWaiting();
  void ReadFailed(uint32_t Error);

  TJvHidDeviceController* controller_;
  const THidServices* services_;  // the controller's, which outlive its devices
  bool plugged_ = true;
  bool claimed_ = false;
  bool inPlugEvent_ = false;
  TUniqueFd ioHandle_;
  THidAttributes hidAttributes_;
  TJvHidPnPInfo interfaceInfo_;
  THidReportLayout layout_;
  TJvHidDataEvent dataHandler_;
  TJvHidDataErrorEvent dataErrorHandler_;
  TJvHidPlugEvent unplugHandler_;
  // The data handler is still the one copied from the controller, so a new controller handler reaches it.
  bool dataHandlerFromController_ = true;
  bool readWriteOpen_ = false;
  int lastError_ = 0;
  // While the descriptor is read: the main loop's watch of it, and the buffer of one input report at the
  // largest length. Shared with a read under way, which a handler may end by releasing the device.
  std::unique_ptr<IFdWatch> readWatch_;
  std::shared_ptr<std::vector<uint8_t>> readBuffer_;
  // Reading ended on a hang-up or a read error: it starts again only after the release.
  bool readEnded_ = false;
  // Tells a read under way that a handler destroyed the device.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
