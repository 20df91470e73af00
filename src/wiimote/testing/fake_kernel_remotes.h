#pragma once
// Remotes bound to the kernel's driver, played by the test: it adds and removes them, queues their events
// in the driver's units, sets what their sysfs attributes say, and reads back every LED, rumble and
// interface call the link made. Each remote's descriptor (and the monitor's) is an eventfd that is
// readable while something waits, so the link is driven through a real main loop.

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/unique_fd.h"
#include "wiimote/kernel_remotes.h"

struct TFakeKernelRemote {
  // Set by the test.
  std::string DeviceType = "gen10";
  std::string Extension = KernelNoExtension;
  bool NunchukDevice = false;  // the driver has made the Nunchuk's input device
  std::optional<int> Capacity;
  bool Present = true;  // false: Open fails, as for a remote that has gone
  int OpenError = 0;    // Open fails with this errno, as for event nodes the user may not read
  // Seen by the test.
  bool Opened = false;
  bool NunchukOpen = false;
  std::vector<std::string> Calls;  // "led1:on", "led3:off", "rumble:on", "nunchuk:open", "ir:reopen", …
  // The LED and rumble byte the calls have left on the remote, or -1 before the first LED call.
  int Byte = -1;

  std::deque<TKernelRemoteEvent> Waiting;
  TUniqueFd Ready;
};

class TFakeKernelRemotes : public IKernelRemotes {
 public:
  TFakeKernelRemotes();

  // A remote that has come; the monitor turns readable.
  TFakeKernelRemote& Add(const std::string& SysPath);
  TFakeKernelRemote& At(const std::string& SysPath) { return *remotes_.at(SysPath); }
  // Queues one event of the remote (its descriptor turns readable).
  void Push(const std::string& SysPath, const TKernelRemoteEvent& Event);
  // The remote goes: it cannot be opened any more and an open handle reports Gone.
  void Remove(const std::string& SysPath);

  int MonitorFd() const override { return monitor_.Get(); }
  std::vector<std::string> TakeNewRemotes() override;
  std::unique_ptr<IKernelRemote> Open(const std::string& SysPath, int& Error) override;

 private:
  std::map<std::string, std::shared_ptr<TFakeKernelRemote>> remotes_;
  std::vector<std::string> reported_;
  TUniqueFd monitor_;
};

// Events as the driver reports them, for tests.
TKernelRemoteEvent KernelButton(TWiimoteButtonIndex Button, bool Down);
TKernelRemoteEvent KernelAccel(int32_t X, int32_t Y, int32_t Z);
TKernelRemoteEvent KernelIR(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2);
TKernelRemoteEvent KernelNunchuk(int32_t StickX, int32_t StickY, int32_t X, int32_t Y, int32_t Z);
TKernelRemoteEvent KernelChanged();
