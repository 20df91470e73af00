#pragma once
// The HID controller wired to the fake platform, a test main loop and a fake clock.

#include <csignal>
#include <memory>

#include "wiimote/hid_controller.h"
#include "wiimote/testing/fake_hid_platform.h"
#include "wiimote/testing/test_main_loop.h"
#include "wiimote/wiimote_link.h"

struct TControllerRig {
  TFakeClock Clock;
  TFakeHidPlatform Platform;
  TTestMainLoop Loop;
  std::unique_ptr<TJvHidDeviceController> HIDCtl;

  TControllerRig() {
    // A write into a closed socket must come back as EPIPE, not end the test program.
    std::signal(SIGPIPE, SIG_IGN);
  }
  // Creating the controller posts the start-up change; Loop.RunPending() runs it.
  TJvHidDeviceController& Create() {
    HIDCtl = std::make_unique<TJvHidDeviceController>(THidServices{Platform, Platform, Platform, Loop});
    return *HIDCtl;
  }
  // What the main loop calls when the monitor's descriptor turns readable, without reading any device.
  void Notice() { HIDCtl->DeviceChangeNotified(); }
  // Claims the first free original remote by its ids, as the link does; null when there is none.
  TJvHidDevice* ClaimRemote() {
    TJvHidDevice* Device = nullptr;
    HIDCtl->ClaimByIds(Device, WiimoteVendorID, WiimoteProductID);
    return Device;
  }
};
