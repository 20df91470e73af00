#pragma once
// The Wii Remote link's platform services as the window uses them: the real Linux ones (udev, hidraw,
// the steady clock) or, in tests, doubles; and the hand-over of reports to the Qt main thread.

#include "wiimote/hid_platform.h"
#include "wiimote/linux_services.h"
#include "wiimote/udev_hid_platform.h"

#include <QObject>

#include <memory>

struct TWiiServices {
  IHidEnumerator& Enumerator;
  IDeviceChangeMonitor& Monitor;
  IDeviceOpener& Opener;
  IClock& Clock;
};

// udev and hidraw, loaded at run time: without libudev nothing is found and nothing fails.
class TRealWiiPlatform {
 public:
  TWiiServices Services() { return {hid_, hid_, opener_, clock_}; }

 private:
  TUdevHidPlatform hid_;
  THidrawOpener opener_;
  TSteadyClock clock_;
};

// Runs each posted task on the main thread, in order: a queued call on an object that lives there.
class TQtHandOver : public QObject, public IMainThreadHandOver {
 public:
  void Post(std::function<void()> Task) override;
};
