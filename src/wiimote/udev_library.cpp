#include "wiimote/udev_library.h"

#include <dlfcn.h>

TUdevLibrary::TUdevLibrary(std::string FileName) : fileName_(std::move(FileName)) {}

TUdevLibrary::~TUdevLibrary() {
  Unload();
}

bool TUdevLibrary::OpenModule(void*& Handle, const std::string& FileName) {
  if (Handle == nullptr) Handle = ::dlopen(FileName.c_str(), RTLD_NOW | RTLD_LOCAL);
  return Handle != nullptr;
}

void TUdevLibrary::CloseModule(void*& Handle) {
  if (Handle != nullptr) ::dlclose(Handle);
  Handle = nullptr;
}

void* TUdevLibrary::FindSymbol(void* Handle, const char* Name, bool& AllFound) {
  void* Symbol = Handle != nullptr ? ::dlsym(Handle, Name) : nullptr;
  AllFound = AllFound && Symbol != nullptr;
  return Symbol;
}

namespace {

// Stores dlsym's object pointer into a typed function pointer; POSIX guarantees the round trip.
template <typename TFunction>
void Resolve(void* Handle, const char* Name, TFunction& Slot, bool& AllFound) {
  Slot = reinterpret_cast<TFunction>(TUdevLibrary::FindSymbol(Handle, Name, AllFound));
}

}  // namespace

void TUdevLibrary::ResolveAll(bool& AllFound) {
  // A missing name does not stop the others: the flag alone records it.
  auto& F = functions_;
  Resolve(handle_, "udev_new", F.udev_new, AllFound);
  Resolve(handle_, "udev_unref", F.udev_unref, AllFound);
  Resolve(handle_, "udev_enumerate_new", F.udev_enumerate_new, AllFound);
  Resolve(handle_, "udev_enumerate_unref", F.udev_enumerate_unref, AllFound);
  Resolve(handle_, "udev_enumerate_add_match_subsystem", F.udev_enumerate_add_match_subsystem, AllFound);
  Resolve(handle_, "udev_enumerate_scan_devices", F.udev_enumerate_scan_devices, AllFound);
  Resolve(handle_, "udev_enumerate_get_list_entry", F.udev_enumerate_get_list_entry, AllFound);
  Resolve(handle_, "udev_list_entry_get_next", F.udev_list_entry_get_next, AllFound);
  Resolve(handle_, "udev_list_entry_get_name", F.udev_list_entry_get_name, AllFound);
  Resolve(handle_, "udev_device_new_from_syspath", F.udev_device_new_from_syspath, AllFound);
  Resolve(handle_, "udev_device_unref", F.udev_device_unref, AllFound);
  Resolve(handle_, "udev_device_get_devnode", F.udev_device_get_devnode, AllFound);
  Resolve(handle_, "udev_device_get_syspath", F.udev_device_get_syspath, AllFound);
  Resolve(handle_, "udev_device_get_action", F.udev_device_get_action, AllFound);
  Resolve(handle_, "udev_device_get_parent_with_subsystem_devtype",
          F.udev_device_get_parent_with_subsystem_devtype, AllFound);
  Resolve(handle_, "udev_device_get_property_value", F.udev_device_get_property_value, AllFound);
  Resolve(handle_, "udev_monitor_new_from_netlink", F.udev_monitor_new_from_netlink, AllFound);
  Resolve(handle_, "udev_monitor_unref", F.udev_monitor_unref, AllFound);
  Resolve(handle_, "udev_monitor_filter_add_match_subsystem_devtype",
          F.udev_monitor_filter_add_match_subsystem_devtype, AllFound);
  Resolve(handle_, "udev_monitor_enable_receiving", F.udev_monitor_enable_receiving, AllFound);
  Resolve(handle_, "udev_monitor_get_fd", F.udev_monitor_get_fd, AllFound);
  Resolve(handle_, "udev_monitor_receive_device", F.udev_monitor_receive_device, AllFound);
}

bool TUdevLibrary::OpenUdevLibrary() {
  ++loadCount_;
  if (loadCount_ > 1) return HidLibraryReady();
  if (!OpenModule(handle_, fileName_)) {
    loadCount_ = 0;
    return false;
  }
  bool AllFound = true;
  ResolveAll(AllFound);
  if (!AllFound) {
    CloseUdevLibrary();
    return false;
  }
  return true;
}

void TUdevLibrary::CloseUdevLibrary() {
  --loadCount_;
  if (loadCount_ <= 0) Unload();
}

void TUdevLibrary::Unload() {
  loadCount_ = 0;
  CloseModule(handle_);
  functions_ = TUdevFunctions{};
}
