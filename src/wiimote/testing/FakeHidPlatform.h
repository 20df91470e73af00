#pragma once
// The HID platform of tests: a list of device nodes the test plugs and pulls, each backed by a virtual Wii
// Remote (or by nothing that answers), a change monitor with a real descriptor to watch, and an opener
// that connects to the virtual remotes.

#include <map>
#include <string>
#include <vector>

#include "wiimote/HidPlatform.h"
#include "wiimote/testing/VirtualWiimote.h"

class TFakeHidPlatform : public IHidEnumerator, public IDeviceChangeMonitor, public IDeviceOpener {
 public:
  TFakeHidPlatform();

  bool Ready() const override { return FReady; }
  std::vector<TJvHidPnPInfo> Enumerate() override;
  int Fd() const override { return FNotices.Get(); }
  bool TakeNotices() override;
  TUniqueFd Open(const std::string& Path, TOpenAccess Access, int& Error) override;

  // As if libudev were missing.
  void SetReady(bool Ready) { FReady = Ready; }
  // A new node for Remote with this product (and the remote's descriptor); returns its sysfs path. Notify
  // also queues a change notice.
  std::string Plug(TVirtualWiimote& Remote, uint16_t ProductID = 0x0306, bool Notify = true);
  // A node of another device, with whatever HID_ID and descriptor the test gives; opening it read-write
  // gives a descriptor on /dev/null.
  std::string PlugOther(const std::string& HidId, std::vector<uint8_t> Descriptor, bool Notify = true);
  void Unplug(const std::string& SysPath, bool Notify = true);
  // A node added or removed (the monitor turns readable).
  void Notify();
  // Opening the node read-write fails with Error, as without the udev rule that gives the user access.
  void DenyReadWrite(const std::string& SysPath, int Error);
  int EnumerationCount() const { return FEnumerations; }

 private:
  struct TNode {
    TJvHidPnPInfo Info;
    TVirtualWiimote* Remote = nullptr;
    int ReadWriteError = 0;
  };
  std::string AddNode(TJvHidPnPInfo Info, TVirtualWiimote* Remote, bool Notify);

  bool FReady = true;
  std::vector<TNode> FNodes;
  int FNextNumber = 0;
  int FEnumerations = 0;
  TUniqueFd FNotices;  // eventfd
};

// Formats a HID_ID the way the kernel does.
std::string MakeHidId(uint16_t Bus, uint16_t VendorID, uint16_t ProductID);
