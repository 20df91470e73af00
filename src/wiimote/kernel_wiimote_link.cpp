#include "wiimote/kernel_wiimote_link.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "wiimote/battery.h"
#include "wiimote/ir_midpoint.h"
#include "wiimote/led_byte.h"
#include "wiimote/wiimote_decoder.h"
#include "wiimote/wiimote_link.h"

namespace {

// The driver reports a 10-bit reading less 0x200; the record keeps its upper eight bits, as the raw
// reports carry them.
uint8_t AccelByte(int32_t Value) {
  return static_cast<uint8_t>(std::clamp(Value + 0x200, 0, 0x3FF) >> 2);
}

// The driver reports the stick's byte less 128.
uint8_t StickByte(int32_t Value) {
  return static_cast<uint8_t>(std::clamp(Value + 128, 0, 255));
}

bool IsNunchuk(const std::string& Extension) {
  // With a MotionPlus between them the driver still reads the Nunchuk through its own input device.
  return Extension == KernelNunchukExtension || Extension == "motionp+nunchuk";
}

}  // namespace

TKernelWiimoteLink::TKernelWiimoteLink(IKernelRemotes& Remotes, IMainLoop& Loop, IWiimoteHost& Host,
                                       IClock& Clock, TWiimote& Record)
    : remotes_(Remotes), loop_(Loop), host_(Host), clock_(Clock), wiimote_(Record) {
  if (remotes_.MonitorFd() >= 0) monitorWatch_ = loop_.Watch(remotes_.MonitorFd(), [this] { Scan(); });
  // On the loop's first turn, as the raw path's start-up change, so that the host is whole by then.
  loop_.Post([this, Alive = std::weak_ptr<bool>(alive_)] {
    if (!Alive.expired()) Scan();
  });
}

TKernelWiimoteLink::~TKernelWiimoteLink() {
  remoteWatch_.reset();
  monitorWatch_.reset();
}

void TKernelWiimoteLink::Scan() {
  for (std::string& Path : remotes_.TakeNewRemotes())
    if (Path != heldPath_ && std::find(candidates_.begin(), candidates_.end(), Path) == candidates_.end())
      candidates_.push_back(std::move(Path));
  TryClaim();
}

void TKernelWiimoteLink::TryClaim() {
  if (shutDown_) return;
  // The first remote that opens is held; the others wait until it goes. One that cannot be opened (gone
  // already) is forgotten: the monitor reports it again when it comes back.
  while (remote_ == nullptr && !candidates_.empty()) {
    const std::string Path = candidates_.front();
    candidates_.erase(candidates_.begin());
    int Error = 0;
    std::unique_ptr<IKernelRemote> Remote = remotes_.Open(Path, Error);
    if (Remote == nullptr) {
      // Without the udev rule the driver's event nodes are root's: say so rather than "not detected".
      if (Error == EACCES || Error == EPERM)
        host_.SetStatusNotice(std::string(KernelPermissionNotice) + " (" + std::strerror(Error) + ").");
      continue;
    }
    // Same ids, other protocols: never taken for a remote.
    const std::string Type = Remote->DeviceType();
    if (Type == KernelBalanceBoardType || Type == KernelProControllerType) continue;
    remote_ = std::move(Remote);
    heldPath_ = Path;
    Claimed();
  }
  host_.SetCaption(remote_ != nullptr ? CaptionConnected : CaptionNotDetected);
}

void TKernelWiimoteLink::Claimed() {
  ledByte_ = -1;
  extension_.clear();
  nunchukOpen_ = false;
  remoteWatch_ = loop_.Watch(remote_->Fd(), [this] { ReadRemote(); });
  ExtensionChanged();
  host_.SetOptionsEnabled(true);
  StartInputTimers(host_);
}

void TKernelWiimoteLink::Lose() {
  remoteWatch_.reset();
  host_.SetOptionsEnabled(false);
  StopInputTimers(host_);
  remote_.reset();
  heldPath_.clear();
  extension_.clear();
  nunchukOpen_ = false;
  ledByte_ = -1;
  LetGoOfRemote(wiimote_, host_, clock_.Milliseconds());
  TryClaim();
}

void TKernelWiimoteLink::ReadRemote() {
  if (remote_ == nullptr || shutDown_) return;
  for (const TKernelRemoteEvent& Event : remote_->ReadEvents()) {
    if (Event.Kind == TKernelRemoteEvent::TKind::Gone) {
      Lose();
      return;
    }
    TakeEvent(Event);
  }
}

void TKernelWiimoteLink::TakeEvent(const TKernelRemoteEvent& Event) {
  using TKind = TKernelRemoteEvent::TKind;
  TWiimote& W = wiimote_;
  switch (Event.Kind) {
    case TKind::Button:
      // C and Z count only while a Nunchuk is read, as on the raw path.
      if ((Event.Button != ButtonC && Event.Button != ButtonZ) || W.ExtensionConnected)
        SetButton(Event.Button, Event.Down);
      break;
    case TKind::Accel:
      W.AccelX = AccelByte(Event.Accel[0]);
      W.AccelY = AccelByte(Event.Accel[1]);
      W.AccelZ = AccelByte(Event.Accel[2]);
      break;
    case TKind::IR: {
      const auto Dot = [](const std::array<int32_t, 2>& Slot, int32_t& X, int32_t& Y, int32_t& Size) {
        X = std::clamp(Slot[0], 0, 1023);
        Y = std::clamp(Slot[1], 0, 1023);
        Size = X == 1023 && Y == 1023 ? NoDotSize : KernelSeenDotSize;
      };
      Dot(Event.Dots[0], W.IRX1, W.IRY1, W.IRSize1);
      Dot(Event.Dots[1], W.IRX2, W.IRY2, W.IRSize2);
      UpdateIRMidpoint(W);
      break;
    }
    case TKind::NunchukMove:
      if (!W.ExtensionConnected) break;
      W.NunchukStickX = DecodeNunchukValue(StickByte(Event.Stick[0]));
      W.NunchukStickY = DecodeNunchukValue(StickByte(Event.Stick[1]));
      W.NunchukAccelX = DecodeNunchukValue(AccelByte(Event.Accel[0]));
      W.NunchukAccelY = DecodeNunchukValue(AccelByte(Event.Accel[1]));
      W.NunchukAccelZ = DecodeNunchukValue(AccelByte(Event.Accel[2]));
      break;
    case TKind::Changed:
      ExtensionChanged();
      break;
    case TKind::Gone:
      break;
  }
}

void TKernelWiimoteLink::SetButton(TWiimoteButtonIndex Index, bool Down) {
  TButtonState& State = wiimote_.ButtonState[Index];
  if (State.Down == Down) return;  // the driver's auto-repeat, or a second reader's view
  State.Down = Down;
  if (Down) State.PressTime = clock_.Milliseconds();
  host_.ButtonEdge(WiimoteButtons[Index].Mask, Down ? 1 : 2, State);
}

void TKernelWiimoteLink::ExtensionChanged() {
  const std::string Extension = remote_->Extension();
  const bool Nunchuk = IsNunchuk(Extension);
  if (Nunchuk && !nunchukOpen_) {
    // The extension attribute may say it before the driver has made its input device: the next change
    // event opens it then.
    nunchukOpen_ = remote_->OpenNunchuk();
  } else if (!Nunchuk && nunchukOpen_) {
    remote_->CloseNunchuk();
    nunchukOpen_ = false;
  }
  if (Extension != extension_ && !Nunchuk && !Extension.empty() && Extension != KernelNoExtension)
    host_.SetStatusNotice(OtherExtensionNotice);
  extension_ = Extension;
  SetExtensionConnected(nunchukOpen_);
}

void TKernelWiimoteLink::SetExtensionConnected(bool Connected) {
  wiimote_.ExtensionConnected = Connected;
  // A pulled Nunchuk sends nothing more: C and Z held then are let go, in the order the raw path lets
  // them go.
  if (!Connected) {
    SetButton(ButtonZ, false);
    SetButton(ButtonC, false);
  }
}

void TKernelWiimoteLink::SetLeds(uint8_t Value) {
  if (remote_ == nullptr) {
    host_.SetCaption(CaptionNotFound);
    return;
  }
  bool Written = true;
  for (int Led = 1; Led <= 4; ++Led) {
    const uint8_t Bit = static_cast<uint8_t>(0x10 << (Led - 1));
    if (ledByte_ < 0 || ((ledByte_ ^ Value) & Bit) != 0)
      Written = remote_->SetLed(Led, (Value & Bit) != 0) && Written;
  }
  if (ledByte_ < 0 || ((ledByte_ ^ Value) & 1) != 0) Written = remote_->Rumble((Value & 1) != 0) && Written;
  ledByte_ = Written ? Value : -1;  // unknown after a failed write: the next call writes everything
}

void TKernelWiimoteLink::SetLedsIfChanged(uint8_t Value) {
  if (ledByte_ != Value) SetLeds(Value);
}

void TKernelWiimoteLink::ShowBattery() {
  host_.SetBatteryText("Bateria: " + std::to_string(BatteryPercent(wiimote_.BatteryLevel)) + "%");
}

void TKernelWiimoteLink::BatteryTimerTimer() {
  if (remote_ == nullptr) return;
  // The driver gives the remote's byte * 100 / 255; the record keeps the byte, as the raw path does.
  if (const std::optional<int> Capacity = remote_->BatteryCapacity())
    wiimote_.BatteryLevel = static_cast<int32_t>(std::lround(std::clamp(*Capacity, 0, 100) * 255 / 100.0));
}

void TKernelWiimoteLink::IRResetButtonClick() {
  if (remote_ != nullptr) remote_->ReopenIR();
}

void TKernelWiimoteLink::Shutdown() {
  if (remote_ != nullptr) {
    ledByte_ = -1;  // written whole: the remote is left as the program leaves it
    SetLeds(LedsFourOnly);
  }
  shutDown_ = true;
  remoteWatch_.reset();
  monitorWatch_.reset();
}
