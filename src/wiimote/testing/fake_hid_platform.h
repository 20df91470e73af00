#pragma once
// The HID platform of tests: a list of device nodes the test plugs and pulls, each backed by a virtual Wii
// Remote (or by nothing that answers), a change monitor with a real descriptor to watch, and an opener
// that connects to the virtual remotes.

#include <map>
#include <string>
#include <vector>

#include "wiimote/hid_platform.h"
#include "wiimote/testing/virtual_wiimote.h"

class TFakeHidPlatform : public IHidEnumerator, public IDeviceChangeMonitor, public IDeviceOpener {
 public:
  TFakeHidPlatform();

  bool Ready() const override { return ready_; }
  std::vector<TJvHidPnPInfo> Enumerate() override;
  int Fd() const override { return notices_.Get(); }
  bool TakeNotices() override;
  TUniqueFd Open(const std::string& Path, TOpenAccess Access, int& Error) override;
  // write(2), or 0 when the remote behind Fd is set to answer so.
  ssize_t Write(int Fd, const void* Buffer, size_t Length) override;

  // As if libudev were missing.
  void SetReady(bool Ready) { ready_ = Ready; }
  // A new node for Remote with this product, HID name (a Wii Remote's, or BalanceBoardName,
  // ProControllerName) and the remote's descriptor; returns its sysfs path. Notify also queues a change
  // notice.
  std::string Plug(TVirtualWiimote& Remote, uint16_t ProductID = 0x0306, bool Notify = true,
                   const std::string& Name = "Nintendo RVL-CNT-01");
  // A node of another device, with whatever HID_ID and descriptor the test gives; opening it read-write
  // gives a descriptor on /dev/null.
  std::string PlugOther(const std::string& HidId, std::vector<uint8_t> Descriptor, bool Notify = true);
  void Unplug(const std::string& SysPath, bool Notify = true);
  // A node added or removed (the monitor turns readable).
  void Notify();
  // Opening the node read-write fails with Error, as without the udev rule that gives the user access.
  void DenyReadWrite(const std::string& SysPath, int Error);
  // The kernel driver the node's HID device is bound to, as enumeration reports it.
  void SetDriver(const std::string& SysPath, const std::string& Driver);
  int EnumerationCount() const { return enumerations_; }

 private:
  struct TNode {
    TJvHidPnPInfo Info;
    TVirtualWiimote* Remote = nullptr;
    int ReadWriteError = 0;
  };
  std::string AddNode(TJvHidPnPInfo Info, TVirtualWiimote* Remote, bool Notify);

  bool ready_ = true;
  std::vector<TNode> nodes_;
  int nextNumber_ = 0;
  int enumerations_ = 0;
  TUniqueFd notices_;                            // eventfd
  std::map<int, TVirtualWiimote*> openRemotes_;  // the remote behind each read-write descriptor handed out
};

// Formats a HID_ID the way the kernel does.
std::string MakeHidId(uint16_t Bus, uint16_t VendorID, uint16_t ProductID);
