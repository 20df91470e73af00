#pragma once
// The Wii Remote link's platform services as the window uses them: the real Linux ones (udev, hidraw,
// the steady clock) or, in tests, doubles; and the Qt event loop as the HID layer's main loop.

#include "wiimote/hid_platform.h"
#include "wiimote/linux_services.h"
#include "wiimote/udev_hid_platform.h"
#include "wiimote/xwiimote_remotes.h"

#include <QObject>

#include <memory>

struct TWiiServices {
  IHidEnumerator& Enumerator;
  IDeviceChangeMonitor& Monitor;
  IDeviceOpener& Opener;
  IClock& Clock;
  IKernelRemotes* Kernel = nullptr;  // the kernel driver's remotes; none: every remote is read raw
};

// The kernel driver's remotes through libxwiimote; udev and hidraw, loaded at run time, for remotes no
// driver has bound: without libudev nothing is found that way and nothing fails.
class TRealWiiPlatform {
 public:
  TWiiServices Services() { return {hid_, hid_, opener_, clock_, &kernel_}; }

 private:
  TXwiimoteRemotes kernel_;
  TUdevHidPlatform hid_;
  THidrawOpener opener_;
  TSteadyClock clock_;
};

// The Qt event loop of the main thread: a posted task is a queued call on an object that lives there, a
// watch a QSocketNotifier. A notifier is off while its call runs, so a call that turns the event loop
// (a modal dialog) is not entered again; and one whose descriptor hung up unread stays off, since Qt would
// otherwise call it for good.
class TQtMainLoop : public QObject, public IMainLoop {
 public:
  void Post(std::function<void()> Task) override;
  std::unique_ptr<IFdWatch> Watch(int Fd, std::function<void()> OnReadable) override;
};
