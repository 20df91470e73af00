#include "wiimote/wiimote_link.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <system_error>

#include "wiimote/led_byte.h"
#include "wiimote/wiimote_decoder.h"

namespace {

constexpr uint8_t RegisterWriteID = 0x16;
constexpr uint8_t StatusRequestID = 0x15;
constexpr uint8_t AcknowledgeID = 0x22;

}  // namespace

bool IsWiiRemote(const TJvHidDevice& HidDev) {
  const std::string& Name = HidDev.InterfaceInfo().DeviceDescr;
  return Name != BalanceBoardName && Name != ProControllerName;
}

TWiimoteLink::TWiimoteLink(TJvHidDeviceController& HIDCtl, IWiimoteHost& Host, IClock& Clock)
    : hidCtl_(HIDCtl), host_(Host), clock_(Clock) {
  hidCtl_.SetOnDeviceChange([this] { HIDCtlDeviceChange(); });
  hidCtl_.SetOnDeviceData([this](TJvHidDevice& HidDev, uint8_t ReportID, const uint8_t* Data, uint16_t Size) {
    WiiData(HidDev, ReportID, Data, Size);
  });
}

TWiimoteLink::~TWiimoteLink() {
  hidCtl_.SetOnDeviceChange(nullptr);
  hidCtl_.SetOnDeviceData(nullptr);
  hidCtl_.Release(wiiDevice_);
}

void TWiimoteLink::StopInputTimers() {
  for (TInputTimer Timer : {TInputTimer::BatteryTimer, TInputTimer::MotionTimer, TInputTimer::DrawTimer,
                            TInputTimer::RepeatTimer, TInputTimer::CursorTimer})
    host_.SetTimerEnabled(Timer, false);
}

void TWiimoteLink::StartInputTimers() {
  host_.SetTimerEnabled(TInputTimer::BatteryTimer, true);
  if (host_.WiimoteSettings().EnableCursorAtStartup) host_.SetTimerEnabled(TInputTimer::MotionTimer, true);
  host_.SetTimerEnabled(TInputTimer::DrawTimer, true);
  host_.SetTimerEnabled(TInputTimer::RepeatTimer, true);
  host_.SetTimerEnabled(TInputTimer::CursorTimer, true);
}

void TWiimoteLink::HIDCtlDeviceChange() {
  if (wiiDevice_ != nullptr && !wiiDevice_->Plugged()) LetGo();
  // A device that has gone may come back as a working remote.
  std::erase_if(silentDevices_, [this](const std::string& Path) {
    return std::none_of(hidCtl_.DeviceList().begin(), hidCtl_.DeviceList().end(), [&](const auto& Device) {
      return Device->Plugged() && Device->InterfaceInfo().InstanceHandle == Path;
    });
  });
  TryClaim();
}

void TWiimoteLink::LetGo() {
  host_.SetOptionsEnabled(false);
  StopInputTimers();
  hidCtl_.Release(wiiDevice_);
  ledByte_ = -1;
  rumbleBit_ = 0;
  ClearSetUp();
  outbox_.clear();
  statusRequested_ = false;
  // No report will ever say these buttons went up: let them go now, so that no synthetic key or mouse
  // button stays pressed on the desktop.
  TWiimoteDecodeEvents Events;
  Events.Now = clock_.Milliseconds();
  Events.ButtonEdge = [this](uint16_t Mask, int Kind, TButtonState& State) {
    host_.ButtonEdge(Mask, Kind, State);
  };
  ReleaseAllButtons(wiimote_, Events);
}

void TWiimoteLink::TryClaim() {
  const auto Accept = [this](const TJvHidDevice& HidDev) {
    return IsWiiRemote(HidDev) && std::find(silentDevices_.begin(), silentDevices_.end(),
                                            HidDev.InterfaceInfo().InstanceHandle) == silentDevices_.end();
  };
  if (wiiDevice_ == nullptr &&
      (hidCtl_.ClaimByIds(wiiDevice_, WiimoteVendorID, WiimoteProductID, Accept) ||
       hidCtl_.ClaimByIds(wiiDevice_, WiimoteVendorID, WiimotePlusProductID, Accept))) {
    ledByte_ = -1;
    answered_ = false;
    statusRequested_ = false;
    if (!kernelDriverNoticeShown_ && wiiDevice_->InterfaceInfo().Driver == KernelDriverName) {
      kernelDriverNoticeShown_ = true;
      host_.SetStatusNotice(KernelDriverNotice);
    }
    ConnectSequence();
    host_.SetOptionsEnabled(true);
    StartInputTimers();
  }
  host_.SetCaption(wiiDevice_ != nullptr ? CaptionConnected : CaptionNotDetected);
}

void TWiimoteLink::ConnectSequence() {
  // The mode, the set-up and the status request go out in this order as the remote acknowledges the
  // register writes; the frames go on meanwhile.
  QueueSetUp(MakeReportModeReport(ModeButtonsAccelIRExtension));
  if (host_.WiimoteSettings().UseNunchuk)
    SetupNunchuk();
  else
    SetupIRCamera();
  QueueSetUp(MakeStatusRequestReport());
}

void TWiimoteLink::QueueSetUp(const TOutputReport& Report) {
  setUp_.push_back(Report);
  SendSetUp();
}

void TWiimoteLink::ClearSetUp() {
  setUp_.clear();
  awaitingAck_ = false;
}

void TWiimoteLink::SendSetUp() {
  while (!awaitingAck_ && !setUp_.empty()) {
    const TOutputReport Report = setUp_.front();
    setUp_.pop_front();
    if (!SendReport(Report)) continue;
    if (Report.ReportID() == RegisterWriteID) {
      awaitingAck_ = true;
      ackWaitSince_ = clock_.Milliseconds();
    } else if (Report.ReportID() == StatusRequestID && !statusRequested_) {
      statusRequested_ = true;
      statusRequestedAt_ = clock_.Milliseconds();
    }
  }
}

void TWiimoteLink::Tick() {
  if (wiiDevice_ == nullptr) return;
  const uint32_t Now = clock_.Milliseconds();
  while (!outbox_.empty()) {
    int Error = 0;
    if (!WriteNow(outbox_.front(), Error)) {
      if (Error == EAGAIN || Error == EWOULDBLOCK) break;
      ShowWriteError(Error);
    }
    outbox_.pop_front();
  }
  if (awaitingAck_ && Now - ackWaitSince_ >= RegisterWriteAckTimeoutMs) {
    awaitingAck_ = false;
    SendSetUp();
  }
  if (!answered_ && statusRequested_ && Now - statusRequestedAt_ >= AnswerTimeoutMs) {
    silentDevices_.push_back(wiiDevice_->InterfaceInfo().InstanceHandle);
    LetGo();
    TryClaim();
  }
}

void TWiimoteLink::WiiData(TJvHidDevice& HidDev, uint8_t ReportID, const uint8_t* Data, uint16_t Size) {
  // A report the reader had already taken from a device given back since then is not this remote's.
  if (&HidDev != wiiDevice_) return;
  answered_ = true;
  ParseReport(ReportID, Data, Size);
  if (ReportID == AcknowledgeID && Size > 2 && Data[2] == RegisterWriteID && awaitingAck_) {
    awaitingAck_ = false;
    SendSetUp();
  }
}

void TWiimoteLink::ParseReport(uint8_t ReportID, const uint8_t* Data, size_t Size) {
  TWiimoteDecodeEvents Events;
  Events.Now = clock_.Milliseconds();
  Events.ButtonEdge = [this](uint16_t Mask, int Kind, TButtonState& State) {
    host_.ButtonEdge(Mask, Kind, State);
  };
  // Every status report repeats the set-up, which also selects the data report mode again: a remote stops
  // sending data after an unrequested status report until the mode is set again.
  Events.Status = [this](bool ExtensionPlugged) {
    if (ExtensionPlugged && host_.WiimoteSettings().UseNunchuk)
      SetupNunchuk();
    else
      SetupIRCamera();
  };
  ::ParseReport(wiimote_, ReportID, Data, Size, Events);
}

void TWiimoteLink::ShowBattery() {
  // Rounded half away from zero; 192 is a full battery and shows 100, a higher level more than 100.
  const long Percent = std::lround(wiimote_.BatteryLevel / 192.0 * 100.0);
  host_.SetBatteryText("Bateria: " + std::to_string(Percent) + "%");
}

bool TWiimoteLink::SendReport(const TOutputReport& Report) {
  if (wiiDevice_ == nullptr) {
    host_.SetCaption(CaptionNotFound);
    return false;
  }
  int Error = 0;
  if (outbox_.empty() && WriteNow(Report, Error)) return true;
  if (outbox_.empty() && Error != EAGAIN && Error != EWOULDBLOCK) {
    ShowWriteError(Error);
    return false;
  }
  // The device cannot take it now (a busy Bluetooth link): it waits behind the others, or is dropped
  // rather than let the frames wait.
  if (outbox_.size() >= OutboxLimit) return false;
  outbox_.push_back(Report);
  return true;
}

bool TWiimoteLink::WriteNow(const TOutputReport& Report, int& Error) {
  // hidraw sends exactly what is written, and a Wii Remote over Bluetooth refuses a report padded past its
  // own length, so each report goes out at the length its ID has in the descriptor, never padded to the
  // largest output report.
  const uint16_t Declared = wiiDevice_->OutputReportLength(Report.ReportID());
  const size_t Length = Declared != 0 ? std::min<size_t>(Declared, Report.Bytes.size()) : Report.Length;
  // The remote drives its motor from bit 0 of byte 1 of every output report, whatever the report: one
  // sent with the bit clear stops a rumble that is meant to go on.
  TOutputReport WithRumble = Report;
  WithRumble.Bytes[1] = static_cast<uint8_t>((WithRumble.Bytes[1] & ~1u) | rumbleBit_);
  wiiDevice_->OpenIo();
  size_t Written = 0;
  if (wiiDevice_->WriteReport(WithRumble.Bytes.data(), Length, Written)) {
    wiiDevice_->CloseIo();
    return true;
  }
  Error = wiiDevice_->LastError();
  return false;
}

void TWiimoteLink::ShowWriteError(int Code) {
  host_.SetCaption("Erro(" + std::to_string(Code) + "):" + std::system_category().message(Code));
}

void TWiimoteLink::SetLeds(uint8_t Value) {
  rumbleBit_ = Value & 1;
  if (SendReport(MakeLedReport(Value)))
    ledByte_ = Value;
  else if (wiiDevice_ != nullptr)
    ledByte_ = -1;  // the remote may hold either byte now
}

void TWiimoteLink::SetLedsIfChanged(uint8_t Value) {
  if (ledByte_ != Value) SetLeds(Value);
}

void TWiimoteLink::SetReportMode(uint8_t Mode) {
  SendReport(MakeReportModeReport(Mode));
}

void TWiimoteLink::RequestStatus() {
  SendReport(MakeStatusRequestReport());
}

void TWiimoteLink::SetupIRCamera() {
  // What is still queued of an earlier set-up is replaced, except the connect sequence's status request.
  std::erase_if(setUp_, [](const TOutputReport& R) { return R.ReportID() != StatusRequestID; });
  const TOutputReport Reports[] = {
      MakeReportModeReport(ModeButtonsAccelIR), MakeIRCameraEnableReport(0x13),
      MakeIRCameraEnableReport(0x1A),           MakeRegisterWriteReport(0xB00030, 0x08),
      MakeRegisterWriteReport(0xB00006, 0x90),  MakeRegisterWriteReport(0xB00008, 0xC0),
      MakeRegisterWriteReport(0xB0001A, 0x40),  MakeRegisterWriteReport(0xB00033, 0x33)};
  // Ahead of a queued status request, so that its reply finds the camera set up.
  auto At = std::find_if(setUp_.begin(), setUp_.end(),
                         [](const TOutputReport& R) { return R.ReportID() == StatusRequestID; });
  setUp_.insert(At, std::begin(Reports), std::end(Reports));
  SendSetUp();
}

void TWiimoteLink::SetupNunchuk() {
  std::erase_if(setUp_, [](const TOutputReport& R) { return R.ReportID() != StatusRequestID; });
  // This initialisation works on official and third-party extensions alike, and turns the encoding of
  // their bytes off.
  const TOutputReport Reports[] = {MakeReportModeReport(ModeButtonsAccelIRExtension),
                                   MakeRegisterWriteReport(0xA400F0, 0x55),
                                   MakeRegisterWriteReport(0xA400FB, 0x00)};
  auto At = std::find_if(setUp_.begin(), setUp_.end(),
                         [](const TOutputReport& R) { return R.ReportID() == StatusRequestID; });
  setUp_.insert(At, std::begin(Reports), std::end(Reports));
  SendSetUp();
}

void TWiimoteLink::Shutdown() {
  SetLeds(LedsFourOnly);
  SetReportMode(ModeButtons);
}
