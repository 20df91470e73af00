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
#define VIRETA_UDEV_RESOLVE(Name) Resolve(handle_, #Name, functions_.Name, AllFound);
  VIRETA_UDEV_FUNCTIONS(VIRETA_UDEV_RESOLVE)
#undef VIRETA_UDEV_RESOLVE
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
