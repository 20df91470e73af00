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

// Every libudev entry point the program uses, in one list: TUdevFunctions is declared from it and
// TUdevLibrary fills that table from it, so a name is written once and cannot be missed by either.
#define VIRETA_UDEV_FUNCTIONS(X)                     \
  X(udev_new)                                        \
  X(udev_unref)                                      \
  X(udev_enumerate_new)                              \
  X(udev_enumerate_unref)                            \
  X(udev_enumerate_add_match_subsystem)              \
  X(udev_enumerate_scan_devices)                     \
  X(udev_enumerate_get_list_entry)                   \
  X(udev_list_entry_get_next)                        \
  X(udev_list_entry_get_name)                        \
  X(udev_device_new_from_syspath)                    \
  X(udev_device_unref)                               \
  X(udev_device_get_devnode)                         \
  X(udev_device_get_syspath)                         \
  X(udev_device_get_action)                          \
  X(udev_device_get_parent_with_subsystem_devtype)   \
  X(udev_device_get_property_value)                  \
  X(udev_monitor_new_from_netlink)                   \
  X(udev_monitor_unref)                              \
  X(udev_monitor_filter_add_match_subsystem_devtype) \
  X(udev_monitor_enable_receiving)                   \
  X(udev_monitor_get_fd)                             \
  X(udev_monitor_receive_device)

// One pointer per entry point, resolved by name; all empty while the library is not loaded.
struct TUdevFunctions {
#define VIRETA_UDEV_DECLARE(Name) decltype(&::Name) Name = nullptr;
  VIRETA_UDEV_FUNCTIONS(VIRETA_UDEV_DECLARE)
#undef VIRETA_UDEV_DECLARE
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
