#pragma once
// Run-time function table of libudev. The library is opened with dlopen, never linked, so the program
// starts on a machine without it; a missing library or entry point leaves the table empty and the HID
// controller simply finds no device.
//
// The table is an object, not a process-wide global: whoever needs udev (the Linux HID platform) owns one.
// The dynamic loader already counts references to the library itself, so several tables in one process
// share the one loaded copy.

#include <libudev.h>

#include <string>

// One pointer per entry point, resolved by name; all empty while the library is not loaded.
struct TUdevFunctions {
  decltype(&::udev_new) udev_new = nullptr;
  decltype(&::udev_unref) udev_unref = nullptr;
  decltype(&::udev_enumerate_new) udev_enumerate_new = nullptr;
  decltype(&::udev_enumerate_unref) udev_enumerate_unref = nullptr;
  decltype(&::udev_enumerate_add_match_subsystem) udev_enumerate_add_match_subsystem = nullptr;
  decltype(&::udev_enumerate_scan_devices) udev_enumerate_scan_devices = nullptr;
  decltype(&::udev_enumerate_get_list_entry) udev_enumerate_get_list_entry = nullptr;
  decltype(&::udev_list_entry_get_next) udev_list_entry_get_next = nullptr;
  decltype(&::udev_list_entry_get_name) udev_list_entry_get_name = nullptr;
  decltype(&::udev_device_new_from_syspath) udev_device_new_from_syspath = nullptr;
  decltype(&::udev_device_unref) udev_device_unref = nullptr;
  decltype(&::udev_device_get_devnode) udev_device_get_devnode = nullptr;
  decltype(&::udev_device_get_syspath) udev_device_get_syspath = nullptr;
  decltype(&::udev_device_get_action) udev_device_get_action = nullptr;
  decltype(&::udev_device_get_parent_with_subsystem_devtype) udev_device_get_parent_with_subsystem_devtype =
      nullptr;
  decltype(&::udev_device_get_property_value) udev_device_get_property_value = nullptr;
  decltype(&::udev_monitor_new_from_netlink) udev_monitor_new_from_netlink = nullptr;
  decltype(&::udev_monitor_unref) udev_monitor_unref = nullptr;
  decltype(&::udev_monitor_filter_add_match_subsystem_devtype)
      udev_monitor_filter_add_match_subsystem_devtype = nullptr;
  decltype(&::udev_monitor_enable_receiving) udev_monitor_enable_receiving = nullptr;
  decltype(&::udev_monitor_get_fd) udev_monitor_get_fd = nullptr;
  decltype(&::udev_monitor_receive_device) udev_monitor_receive_device = nullptr;
};

class TUdevLibrary {
 public:
  // FileName is what dlopen is given; tests name other files to see the failure paths.
  explicit TUdevLibrary(std::string FileName = "libudev.so.1");
  ~TUdevLibrary();  // frees the library whatever the load count
  TUdevLibrary(const TUdevLibrary&) = delete;
  TUdevLibrary& operator=(const TUdevLibrary&) = delete;

  // Counts one load; the first one opens the file and resolves every name. False when the file or any one
  // name is missing, in which case nothing stays loaded.
  bool OpenUdevLibrary();
  // Undoes one load; the last one frees the library and clears every pointer.
  void CloseUdevLibrary();
  // The library handle is set: every pointer of Functions() is usable.
  bool HidLibraryReady() const { return handle_ != nullptr; }
  const TUdevFunctions& Functions() const { return functions_; }
  int LoadCount() const { return loadCount_; }

  // Loads FileName only when Handle is empty; true when Handle is set afterwards.
  static bool OpenModule(void*& Handle, const std::string& FileName);
  // Frees the library when Handle is set, then clears it.
  static void CloseModule(void*& Handle);
  // The symbol's address, or none when Handle is empty or the name is missing; AllFound stays true only if
  // it was true and the name was found.
  static void* FindSymbol(void* Handle, const char* Name, bool& AllFound);

 private:
  void ResolveAll(bool& AllFound);
  void Unload();

  std::string fileName_;
  void* handle_ = nullptr;
  int loadCount_ = 0;
  TUdevFunctions functions_;
};
