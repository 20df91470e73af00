#pragma once
// The remotes of the kernel's hid-wiimote driver through libxwiimote (monitor, core, accelerometer,
// camera, LEDs, rumble, battery, device type, extension) and, for the Nunchuk, libevdev on the driver's
// "Nintendo Wii Remote Nunchuk" input device: libxwiimote 2 reports that interface as available, but
// opening it through the library reads nothing and it has no Nunchuk events.

#include <memory>
#include <string>
#include <vector>

#include "wiimote/kernel_remotes.h"

class TXwiimoteRemotes : public IKernelRemotes {
 public:
  // Watches udev for remotes that come; a monitor that cannot be made leaves MonitorFd at -1 and the
  // remotes present at the first TakeNewRemotes only.
  TXwiimoteRemotes();
  ~TXwiimoteRemotes() override;
  TXwiimoteRemotes(const TXwiimoteRemotes&) = delete;
  TXwiimoteRemotes& operator=(const TXwiimoteRemotes&) = delete;

  int MonitorFd() const override { return monitorFd_; }
  std::vector<std::string> TakeNewRemotes() override;
  std::unique_ptr<IKernelRemote> Open(const std::string& SysPath, int& Error) override;

 private:
  struct TMonitor;  // the library's monitor
  std::unique_ptr<TMonitor> monitor_;
  int monitorFd_ = -1;  // the monitor's own
};
