#include "wiimote/UdevHidPlatform.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace {

// The kernel refuses report descriptors longer than this (HID_MAX_DESCRIPTOR_SIZE).
constexpr std::streamsize MaxDescriptorBytes = 4096;

std::vector<uint8_t> ReadDescriptorFile(const std::string& Path) {
  std::ifstream File(Path, std::ios::binary);
  if (!File) return {};
  std::vector<uint8_t> Bytes(MaxDescriptorBytes);
  File.read(reinterpret_cast<char*>(Bytes.data()), MaxDescriptorBytes);
  Bytes.resize(static_cast<size_t>(File.gcount()));
  return Bytes;
}

std::string Text(const char* Value) {
  return Value != nullptr ? Value : "";
}

}  // namespace

TUdevHidPlatform::TUdevHidPlatform(std::string LibraryFileName) : FLibrary(std::move(LibraryFileName)) {
  if (!FLibrary.OpenUdevLibrary()) return;
  const TUdevFunctions& F = FLibrary.Functions();
  FUdev = F.udev_new();
  if (FUdev == nullptr) return;
  FMonitor = F.udev_monitor_new_from_netlink(FUdev, "udev");
  if (FMonitor == nullptr) return;
  if (F.udev_monitor_filter_add_match_subsystem_devtype(FMonitor, "hidraw", nullptr) < 0 ||
      F.udev_monitor_enable_receiving(FMonitor) < 0) {
    F.udev_monitor_unref(FMonitor);
    FMonitor = nullptr;
  }
}

TUdevHidPlatform::~TUdevHidPlatform() {
  if (!FLibrary.HidLibraryReady()) return;
  const TUdevFunctions& F = FLibrary.Functions();
  if (FMonitor != nullptr) F.udev_monitor_unref(FMonitor);
  if (FUdev != nullptr) F.udev_unref(FUdev);
  FLibrary.CloseUdevLibrary();
}

bool TUdevHidPlatform::Ready() const {
  return FLibrary.HidLibraryReady() && FUdev != nullptr;
}

std::vector<TJvHidPnPInfo> TUdevHidPlatform::Enumerate() {
  std::vector<TJvHidPnPInfo> Found;
  if (!Ready()) return Found;
  const TUdevFunctions& F = FLibrary.Functions();
  udev_enumerate* Enumerate = F.udev_enumerate_new(FUdev);
  if (Enumerate == nullptr) return Found;
  if (F.udev_enumerate_add_match_subsystem(Enumerate, "hidraw") >= 0 &&
      F.udev_enumerate_scan_devices(Enumerate) >= 0) {
    for (udev_list_entry* Entry = F.udev_enumerate_get_list_entry(Enumerate); Entry != nullptr;
         Entry = F.udev_list_entry_get_next(Entry)) {
      const char* SysPath = F.udev_list_entry_get_name(Entry);
      if (SysPath == nullptr) continue;
      udev_device* Node = F.udev_device_new_from_syspath(FUdev, SysPath);
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
  return FMonitor != nullptr ? FLibrary.Functions().udev_monitor_get_fd(FMonitor) : -1;
}

bool TUdevHidPlatform::TakeNotices() {
  if (FMonitor == nullptr) return false;
  const TUdevFunctions& F = FLibrary.Functions();
  bool NodesChanged = false;
  // The monitor's socket does not block: this ends when no notice is left.
  while (udev_device* Device = F.udev_monitor_receive_device(FMonitor)) {
    const char* Action = F.udev_device_get_action(Device);
    if (Action != nullptr && (std::strcmp(Action, "add") == 0 || std::strcmp(Action, "remove") == 0))
      NodesChanged = true;
    F.udev_device_unref(Device);
  }
  return NodesChanged;
}
