#include "wiimote/testing/fake_hid_platform.h"

#include <fcntl.h>
#include <sys/eventfd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

std::string MakeHidId(uint16_t Bus, uint16_t VendorID, uint16_t ProductID) {
  char Text[32];
  std::snprintf(Text, sizeof Text, "%04X:%08X:%08X", Bus, VendorID, ProductID);
  return Text;
}

TFakeHidPlatform::TFakeHidPlatform() : notices_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

std::vector<TJvHidPnPInfo> TFakeHidPlatform::Enumerate() {
  ++enumerations_;
  std::vector<TJvHidPnPInfo> Found;
  if (!ready_) return Found;
  for (const TNode& Node : nodes_) Found.push_back(Node.Info);
  return Found;
}

bool TFakeHidPlatform::TakeNotices() {
  uint64_t Count = 0;
  return ::read(notices_.Get(), &Count, sizeof Count) == sizeof Count && Count > 0;
}

void TFakeHidPlatform::Notify() {
  const uint64_t One = 1;
  [[maybe_unused]] ssize_t Ignored = ::write(notices_.Get(), &One, sizeof One);
}

std::string TFakeHidPlatform::AddNode(TJvHidPnPInfo Info, TVirtualWiimote* Remote, bool Notify) {
  const int Number = nextNumber_++;
  // A node that comes back after a pull gets a new HID device number, hence a new sysfs path.
  Info.InstanceHandle = "/sys/devices/virtual/bluetooth/hci0/0005:057E:" + std::to_string(Number) +
                        "/hidraw/hidraw" + std::to_string(Number);
  Info.InterfacePath = "/dev/hidraw" + std::to_string(Number);
  nodes_.push_back({Info, Remote, 0});
  if (Notify) this->Notify();
  return Info.InstanceHandle;
}

std::string TFakeHidPlatform::Plug(TVirtualWiimote& Remote, uint16_t ProductID, bool Notify,
                                   const std::string& Name) {
  TJvHidPnPInfo Info;
  Info.HidId = MakeHidId(0x0005, 0x057E, ProductID);
  Info.DeviceDescr = Name;
  Info.ReportDescriptor = WiimoteReportDescriptor();
  return AddNode(std::move(Info), &Remote, Notify);
}

std::string TFakeHidPlatform::PlugOther(const std::string& HidId, std::vector<uint8_t> Descriptor,
                                        bool Notify) {
  TJvHidPnPInfo Info;
  Info.HidId = HidId;
  Info.ReportDescriptor = std::move(Descriptor);
  return AddNode(std::move(Info), nullptr, Notify);
}

void TFakeHidPlatform::Unplug(const std::string& SysPath, bool Notify) {
  std::erase_if(nodes_, [&](const TNode& Node) { return Node.Info.InstanceHandle == SysPath; });
  if (Notify) this->Notify();
}

void TFakeHidPlatform::SetDriver(const std::string& SysPath, const std::string& Driver) {
  for (TNode& Node : nodes_)
    if (Node.Info.InstanceHandle == SysPath) Node.Info.Driver = Driver;
}

void TFakeHidPlatform::DenyReadWrite(const std::string& SysPath, int Error) {
  for (TNode& Node : nodes_)
    if (Node.Info.InstanceHandle == SysPath) Node.ReadWriteError = Error;
}

TUniqueFd TFakeHidPlatform::Open(const std::string& Path, TOpenAccess Access, int& Error) {
  auto Node = std::find_if(nodes_.begin(), nodes_.end(),
                           [&](const TNode& N) { return N.Info.InterfacePath == Path; });
  if (Node == nodes_.end()) {
    Error = ENOENT;
    return TUniqueFd();
  }
  if (Access == TOpenAccess::None) {
    TUniqueFd Fd(::open("/dev/null", O_PATH | O_CLOEXEC));
    Error = Fd.Valid() ? 0 : errno;
    return Fd;
  }
  if (Node->ReadWriteError != 0) {
    Error = Node->ReadWriteError;
    return TUniqueFd();
  }
  // Non-blocking, as the real opener's read-write descriptors are.
  if (Node->Remote != nullptr) {
    TUniqueFd Fd = Node->Remote->Connect(Error);
    if (Fd.Valid()) {
      ::fcntl(Fd.Get(), F_SETFL, ::fcntl(Fd.Get(), F_GETFL) | O_NONBLOCK);
      openRemotes_[Fd.Get()] = Node->Remote;
    }
    return Fd;
  }
  TUniqueFd Fd(::open("/dev/null", O_RDWR | O_NONBLOCK | O_CLOEXEC));
  Error = Fd.Valid() ? 0 : errno;
  if (Fd.Valid()) openRemotes_.erase(Fd.Get());
  return Fd;
}

ssize_t TFakeHidPlatform::Write(int Fd, const void* Buffer, size_t Length) {
  auto Found = openRemotes_.find(Fd);
  // A descriptor number closed and handed out again is found under its new remote: Open replaced it.
  if (Found != openRemotes_.end() && Found->second->TakeZeroWrite()) return 0;
  return ::write(Fd, Buffer, Length);
}
