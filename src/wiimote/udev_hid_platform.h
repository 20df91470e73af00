#pragma once
// The hidraw nodes of this machine, seen through libudev loaded at run time: enumeration of the "hidraw"
// subsystem and a netlink monitor of its add and remove events.

#include <memory>

#include "wiimote/hid_platform.h"
#include "wiimote/udev_library.h"

class TUdevHidPlatform : public IHidEnumerator, public IDeviceChangeMonitor {
 public:
  // Loads the library and opens the monitor. Nothing here fails: without the library the platform is
  // simply not Ready and lists no device; without a monitor Fd() is -1.
  explicit TUdevHidPlatform(std::string LibraryFileName = "libudev.so.1");
  ~TUdevHidPlatform() override;
  TUdevHidPlatform(const TUdevHidPlatform&) = delete;
  TUdevHidPlatform& operator=(const TUdevHidPlatform&) = delete;

  bool Ready() const override;
  std::vector<TJvHidPnPInfo> Enumerate() override;
  int Fd() const override;
  bool TakeNotices() override;

 private:
  TUdevLibrary library_;
  udev* udev_ = nullptr;
  udev_monitor* monitor_ = nullptr;
};
