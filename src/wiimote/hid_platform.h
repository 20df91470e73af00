#pragma once
// The platform services the HID layer needs, each behind a small interface so that tests can put a
// virtual device where the kernel would be. The Linux implementations are in wiimote/udev_hid_platform.h
// (enumeration and change notices) and wiimote/linux_services.h (opener, clock); the test doubles in
// wiimote/testing/.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/unique_fd.h"

// What enumeration learned about one hidraw node.
struct TJvHidPnPInfo {
  std::string InstanceHandle;  // sysfs path of the hidraw node: the identity across enumerations
  std::string InterfacePath;   // device node opened as a file, e.g. /dev/hidraw3
  std::string HidId;           // HID_ID of the parent HID device, "bus:vendor:product" in hex
  std::string DeviceDescr;     // HID_NAME of the parent HID device: tells devices with the same ids apart
  std::vector<uint8_t> ReportDescriptor;  // the parent HID device's report descriptor, as sysfs gives it
  std::string Driver;  // the kernel driver bound to the parent HID device ("wiimote", "hid-generic"), or none
};

// Lists the HID device nodes present now.
class IHidEnumerator {
 public:
  virtual ~IHidEnumerator() = default;
  // False when the facility behind it is missing (libudev not loadable): the controller then stays empty.
  virtual bool Ready() const = 0;
  virtual std::vector<TJvHidPnPInfo> Enumerate() = 0;
};

// Notices that HID device nodes came or went.
class IDeviceChangeMonitor {
 public:
  virtual ~IDeviceChangeMonitor() = default;
  // Descriptor that turns readable when a notice is waiting; -1 when there is none to watch.
  virtual int Fd() const = 0;
  // Consumes every waiting notice without blocking; true when one of them was a node added or removed.
  virtual bool TakeNotices() = 0;
};

enum class TOpenAccess {
  ReadWrite,  // reads and writes of reports
  ReadOnly,   // the reader's own handle
  None,       // no access rights: enough to know the node is there
};

// Opens a device node.
class IDeviceOpener {
 public:
  virtual ~IDeviceOpener() = default;
  // An owned descriptor, or an invalid one with Error set to the errno value.
  virtual TUniqueFd Open(const std::string& Path, TOpenAccess Access, int& Error) = 0;
};

// Runs work on the main thread, where every handler of the application runs.
class IMainThreadHandOver {
 public:
  virtual ~IMainThreadHandOver() = default;
  // Thread-safe. Queues Task to run later on the main thread, in the order of the calls; never runs it
  // inside the call. A task may be dropped when the main loop has already ended.
  virtual void Post(std::function<void()> Task) = 0;
};

// The multimedia millisecond clock.
class IClock {
 public:
  virtual ~IClock() = default;
  // Milliseconds of a monotonic clock as a 32-bit count that wraps.
  virtual uint32_t Milliseconds() = 0;
};
