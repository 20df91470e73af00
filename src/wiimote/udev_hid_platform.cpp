#include "wiimote/udev_hid_platform.h"

#include <cstring>

#include "common/file_io.h"

namespace {

// The kernel refuses report descriptors longer than this (HID_MAX_DESCRIPTOR_SIZE).
constexpr std::size_t MaxDescriptorBytes = 4096;

// Empty when the file cannot be read, as when it is not there.
std::vector<uint8_t> ReadDescriptorFile(const std::string& Path) {
  const TFileContents Contents = ReadWholeFile(Path, MaxDescriptorBytes);
  return {Contents.Bytes.begin(), Contents.Bytes.end()};
}

std::string Text(const char* Value) {
  return Value != nullptr ? Value : "";
}

}  // namespace

TUdevHidPlatform::TUdevHidPlatform(std::string LibraryFileName) : library_(std::move(LibraryFileName)) {
  if (!library_.OpenUdevLibrary()) return;
  const TUdevFunctions& F = library_.Functions();
  udev_ = F.udev_new();
  if (udev_ == nullptr) return;
  monitor_ = F.udev_monitor_new_from_netlink(udev_, "udev");
  if (monitor_ == nullptr) return;
  if (F.udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0 ||
      F.udev_monitor_enable_receiving(monitor_) < 0) {
    F.udev_monitor_unref(monitor_);
    monitor_ = nullptr;
  }
}

TUdevHidPlatform::~TUdevHidPlatform() {
  if (!library_.HidLibraryReady()) return;
  const TUdevFunctions& F = library_.Functions();
  if (monitor_ != nullptr) F.udev_monitor_unref(monitor_);
  if (udev_ != nullptr) F.udev_unref(udev_);
  library_.CloseUdevLibrary();
}

bool TUdevHidPlatform::Ready() const {
  return library_.HidLibraryReady() && udev_ != nullptr;
}

std::vector<TJvHidPnPInfo> TUdevHidPlatform::Enumerate() {
  std::vector<TJvHidPnPInfo> Found;
  if (!Ready()) return Found;
  const TUdevFunctions& F = library_.Functions();
  udev_enumerate* Enumerate = F.udev_enumerate_new(udev_);
  if (Enumerate == nullptr) return Found;
  if (F.udev_enumerate_add_match_subsystem(Enumerate, "hidraw") >= 0 &&
      F.udev_enumerate_scan_devices(Enumerate) >= 0) {
    for (udev_list_entry* Entry = F.udev_enumerate_get_list_entry(Enumerate); Entry != nullptr;
         Entry = F.udev_list_entry_get_next(Entry)) {
      const char* SysPath = F.udev_list_entry_get_name(Entry);
      if (SysPath == nullptr) continue;
      udev_device* Node = F.udev_device_new_from_syspath(udev_, SysPath);
      if (Node == nullptr) continue;  // gone between the scan and now
      // The parent belongs to Node and is freed with it.
      udev_device* Hid = F.udev_device_get_parent_with_subsystem_devtype(Node, "hid", nullptr);
      const char* DevNode = F.udev_device_get_devnode(Node);
      if (Hid != nullptr && DevNode != nullptr) {
        TJvHidPnPInfo Info;
        Info.InstanceHandle = SysPath;
        Info.InterfacePath = DevNode;
        Info.HidId = Text(F.udev_device_get_property_value(Hid, "HID_ID"));
        Info.DeviceDescr = Text(F.udev_device_get_property_value(Hid, "HID_NAME"));
        Info.Driver = Text(F.udev_device_get_property_value(Hid, "DRIVER"));
        // Readable by everyone, unlike the node itself.
        Info.ReportDescriptor =
            ReadDescriptorFile(Text(F.udev_device_get_syspath(Hid)) + "/report_descriptor");
        Found.push_back(std::move(Info));
      }
      F.udev_device_unref(Node);
    }
  }
  F.udev_enumerate_unref(Enumerate);
  return Found;
}

int TUdevHidPlatform::Fd() const {
  return monitor_ != nullptr ? library_.Functions().udev_monitor_get_fd(monitor_) : -1;
}

bool TUdevHidPlatform::TakeNotices() {
  if (monitor_ == nullptr) return false;
  const TUdevFunctions& F = library_.Functions();
  bool NodesChanged = false;
  // The monitor's socket does not block: this ends when no notice is left.
  while (udev_device* Device = F.udev_monitor_receive_device(monitor_)) {
    const char* Action = F.udev_device_get_action(Device);
    if (Action != nullptr && (std::strcmp(Action, "add") == 0 || std::strcmp(Action, "remove") == 0))
      NodesChanged = true;
    F.udev_device_unref(Device);
  }
  return NodesChanged;
}
