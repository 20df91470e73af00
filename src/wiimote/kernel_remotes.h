#pragma once
// The Wii Remotes that the kernel's own driver (hid-wiimote) has bound, as the kernel link sees them: a
// list of remotes that came, and for one remote its events in the driver's units, its device type and
// extension, its LEDs, its rumble and its battery. Kept this thin so that the link's logic is tested
// against a double; the real one is in wiimote/xwiimote_remotes.h. Main thread only.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "wiimote/wiimote_state.h"

// One event of a remote, in the driver's own units.
struct TKernelRemoteEvent {
  enum class TKind {
    Button,       // Button went down or up (C and Z come from the Nunchuk)
    Accel,        // the remote's accelerometer
    IR,           // the camera's four slots
    NunchukMove,  // the Nunchuk's stick and accelerometer
    Changed,      // an interface came or went (an extension plugged or pulled): ask Extension() again
    Gone,         // the remote has gone: nothing more comes from this handle
  };
  TKind Kind = TKind::Changed;
  TWiimoteButtonIndex Button = ButtonUp;
  bool Down = false;
  // Accel and NunchukMove: the 10-bit reading less 0x200, as the driver reports ABS_RX..ABS_RZ.
  std::array<int32_t, 3> Accel{};
  // NunchukMove: the stick's byte less 128 (ABS_HAT0X, ABS_HAT0Y).
  std::array<int32_t, 2> Stick{};
  // IR: X and Y of each slot, 0..1023; a slot that sees nothing reads 1023, 1023.
  std::array<std::array<int32_t, 2>, 4> Dots{};
};

// The driver's names for what is plugged, as its sysfs attributes say them.
inline constexpr const char* KernelBalanceBoardType = "balanceboard";
inline constexpr const char* KernelProControllerType = "procontroller";
inline constexpr const char* KernelNunchukExtension = "nunchuk";
inline constexpr const char* KernelNoExtension = "none";

// One opened remote; closing it (destroying the handle) closes every interface.
class IKernelRemote {
 public:
  virtual ~IKernelRemote() = default;
  // Turns readable when events wait, and when the remote has gone.
  virtual int Fd() const = 0;
  // Every event waiting now, without blocking.
  virtual std::vector<TKernelRemoteEvent> ReadEvents() = 0;
  // The driver's devtype ("gen10", "gen20", "balanceboard", "procontroller", "pending", "unknown") and
  // extension ("none", "nunchuk", "classic", "motionp", "motionp+nunchuk", "unknown"); empty when unread.
  virtual std::string DeviceType() = 0;
  virtual std::string Extension() = 0;
  // Starts and stops reading the Nunchuk's input device; false when it is not there (yet).
  virtual bool OpenNunchuk() = 0;
  virtual void CloseNunchuk() = 0;
  // Closes and opens the camera's input device: the driver sets the camera up again when it is opened.
  virtual bool ReopenIR() = 0;
  // One player LED (1..4) through its LED class device.
  virtual bool SetLed(int Led, bool On) = 0;
  // The motor through the core input device's force-feedback effect.
  virtual bool Rumble(bool On) = 0;
  // The driver's battery capacity in percent (its byte * 100 / 255), or none when it cannot be read.
  virtual std::optional<int> BatteryCapacity() = 0;
};

class IKernelRemotes {
 public:
  virtual ~IKernelRemotes() = default;
  // Turns readable when a remote may have come; -1 when there is nothing to watch.
  virtual int MonitorFd() const = 0;
  // The sysfs paths of the HID devices of remotes not reported before: at the first call every remote
  // present, then those that came since. Never blocks.
  virtual std::vector<std::string> TakeNewRemotes() = 0;
  // Opens the remote at SysPath with its core, accelerometer and camera read and its core writable (for
  // the rumble); null with Error (an errno value) when it cannot be.
  virtual std::unique_ptr<IKernelRemote> Open(const std::string& SysPath, int& Error) = 0;
};
