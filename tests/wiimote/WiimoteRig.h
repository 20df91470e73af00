#pragma once
// The HID controller wired to the fake platform, a test main loop and a fake clock.

#include <csignal>
#include <memory>

#include "wiimote/JvHidControllerClass.h"
#include "wiimote/testing/FakeHidPlatform.h"
#include "wiimote/testing/TestMainLoop.h"

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
  // What the main window does when the monitor's descriptor turns readable.
  void Notice() { HIDCtl->DeviceChangeNotified(); }
};
