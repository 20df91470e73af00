#pragma once
// The Wii Remote read through the kernel's own driver: its input devices for the buttons, the
// accelerometer, the camera and the Nunchuk, its LED class devices, its force-feedback rumble and its
// battery. Fills the same record the raw HID path fills, in the same units, and shows the same things
// through the host, so that nothing past IRemoteLink knows which path fed it. Main thread only.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "wiimote/hid_platform.h"
#include "wiimote/kernel_remotes.h"
#include "wiimote/remote_link.h"
#include "wiimote/wiimote_host.h"
#include "wiimote/wiimote_state.h"

// The driver reports where a dot is but not how big: a seen dot gets this size, a small dot's, which
// is all that the pointer and the check tool ask of it (below NoDotSize: seen).
inline constexpr int32_t KernelSeenDotSize = 2;

// Said when the driver's remote is there but its input devices may not be read by this user.
inline constexpr const char* KernelPermissionNotice =
    "Sem permissão para ler o Wii Remote pelo driver do kernel: instale a regra udev do Vireta (veja o "
    "README) e reconecte o controle";

class TKernelWiimoteLink : public IRemoteLink {
 public:
  // Watches the remotes' monitor on Loop and looks for remotes on Loop's first turn. Record is the
  // caller's (whichever path feeds it); Remotes, Loop, Host, Clock and Record outlive the link.
  TKernelWiimoteLink(IKernelRemotes& Remotes, IMainLoop& Loop, IWiimoteHost& Host, IClock& Clock,
                     TWiimote& Record);
  // Closes the remote, which ends its reading; sends nothing (Shutdown does).
  ~TKernelWiimoteLink() override;
  TKernelWiimoteLink(const TKernelWiimoteLink&) = delete;
  TKernelWiimoteLink& operator=(const TKernelWiimoteLink&) = delete;

  TWiimote& Wiimote() override { return wiimote_; }
  const TWiimote& Wiimote() const override { return wiimote_; }
  bool Connected() const override { return remote_ != nullptr; }
  // The sysfs path of the HID device of the remote held, or empty.
  const std::string& HeldPath() const { return heldPath_; }

  // Bits 4..7 each through its LED, bit 0 through the rumble effect; with the byte known, only what
  // changes is written (each write is a report to the remote).
  void SetLeds(uint8_t Value) override;
  void SetLedsIfChanged(uint8_t Value) override;
  int LedByte() const override { return ledByte_; }
  void ShowBattery() override;
  // Reads the driver's battery capacity (the driver asks the remote for its status to answer).
  void BatteryTimerTimer() override;
  // Nothing goes on between events here: the driver keeps the link.
  void Tick() override {}
  // Closes and opens the camera's input device, which has the driver set the camera up again.
  void IRResetButtonClick() override;
  // LED 4 only and the rumble off; nothing the remote sends is read after it.
  void Shutdown() override;

 private:
  void Scan();
  void TryClaim();
  void Claimed();
  void Lose();
  void ReadRemote();
  void ExtensionChanged();
  void SetExtensionConnected(bool Connected);
  void SetButton(TWiimoteButtonIndex Index, bool Down);
  void TakeEvent(const TKernelRemoteEvent& Event);

  IKernelRemotes& remotes_;
  IMainLoop& loop_;
  IWiimoteHost& host_;
  IClock& clock_;
  TWiimote& wiimote_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // for the first scan, posted
  std::unique_ptr<IFdWatch> monitorWatch_;
  std::unique_ptr<IFdWatch> remoteWatch_;
  std::unique_ptr<IKernelRemote> remote_;
  std::string heldPath_;
  std::vector<std::string> candidates_;  // remotes reported and not held: tried when the held one goes
  std::string extension_;                // as the driver last said it
  bool nunchukOpen_ = false;
  int ledByte_ = -1;
  bool shutDown_ = false;
};
