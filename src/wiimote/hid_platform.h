#pragma once
// The platform services the HID layer needs, each behind a small interface so that tests can put a
// virtual device where the kernel would be. The Linux implementations are in wiimote/udev_hid_platform.h
// (enumeration and change notices) and wiimote/linux_services.h (opener, clock, a poll(2) loop); the
// window's Qt loop is in app/window/wii_platform.h; the test doubles in wiimote/testing/.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "common/clock.h"
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
  ReadWrite,  // the one descriptor of a claimed device, for reads and writes; never blocks
  None,       // no access rights: enough to know the node is there
};

// Opens a device node.
class IDeviceOpener {
 public:
  virtual ~IDeviceOpener() = default;
  // An owned descriptor, or an invalid one with Error set to the errno value. A ReadWrite descriptor is
  // non-blocking: a read with nothing waiting and a write the device cannot take now fail with EAGAIN.
  virtual TUniqueFd Open(const std::string& Path, TOpenAccess Access, int& Error) = 0;
  // One write(2) of a report into a descriptor it opened, answered as write(2) answers.
  virtual ssize_t Write(int Fd, const void* Buffer, size_t Length) { return ::write(Fd, Buffer, Length); }
};

// Watching one descriptor; the watch ends when this goes, and may be destroyed from its own callback.
class IFdWatch {
 public:
  virtual ~IFdWatch() = default;
};

// The main loop, on whose thread every handler of the application runs: the HID layer reads its
// descriptors there when they turn readable instead of running threads of its own.
class IMainLoop {
 public:
  virtual ~IMainLoop() = default;
  // Queues Task to run later on this thread, in the order of the calls; never runs it inside the call. A
  // task may be dropped when the loop has already ended.
  virtual void Post(std::function<void()> Task) = 0;
  // Calls OnReadable on this thread whenever Fd is readable, has hung up or has failed, for as long as the
  // returned watch lives. The watcher must read, or drop the watch once the descriptor has hung up:
  // a hung-up descriptor stays ready.
  virtual std::unique_ptr<IFdWatch> Watch(int Fd, std::function<void()> OnReadable) = 0;
};
