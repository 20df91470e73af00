#include "wiimote/wiimote_link.h"

#include <algorithm>
#include <cmath>
#include <system_error>

#include "wiimote/led_byte.h"
#include "wiimote/wiimote_decoder.h"

namespace {

constexpr uint32_t ConnectStepWaitMs = 200;

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
  if (wiiDevice_ != nullptr && !wiiDevice_->Plugged()) {
    host_.SetOptionsEnabled(false);
    StopInputTimers();
    hidCtl_.Release(wiiDevice_);
    ledByte_ = -1;
    rumbleBit_ = 0;
    // No report will ever say these buttons went up: let them go now, so that no synthetic key or mouse
    // button stays pressed on the desktop.
    TWiimoteDecodeEvents Events;
    Events.Now = clock_.Milliseconds();
    Events.ButtonEdge = [this](uint16_t Mask, int Kind, TButtonState& State) {
      host_.ButtonEdge(Mask, Kind, State);
    };
    ReleaseAllButtons(wiimote_, Events);
  }
  if (wiiDevice_ == nullptr &&
      (hidCtl_.ClaimByIds(wiiDevice_, WiimoteVendorID, WiimoteProductID, IsWiiRemote) ||
       hidCtl_.ClaimByIds(wiiDevice_, WiimoteVendorID, WiimotePlusProductID, IsWiiRemote))) {
    ledByte_ = -1;
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
  // The remote needs time between the mode, the set-up register writes and the status request; reports
  // that arrive meanwhile wait in the reader and are handed over afterwards, in order.
  SetReportMode(ModeButtonsAccelIRExtension);
  clock_.Sleep(ConnectStepWaitMs);
  if (host_.WiimoteSettings().UseNunchuk)
    SetupNunchuk();
  else
    SetupIRCamera();
  clock_.Sleep(ConnectStepWaitMs);
  RequestStatus();
}

void TWiimoteLink::WiiData(TJvHidDevice& /*HidDev*/, uint8_t ReportID, const uint8_t* Data, uint16_t Size) {
  ParseReport(ReportID, Data, Size);
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
  const int Code = wiiDevice_->LastError();
  host_.SetCaption("Erro(" + std::to_string(Code) + "):" + std::system_category().message(Code));
  return false;
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
  SetReportMode(ModeButtonsAccelIR);
  SendReport(MakeIRCameraEnableReport(0x13));
  SendReport(MakeIRCameraEnableReport(0x1A));
  SendReport(MakeRegisterWriteReport(0xB00030, 0x08));
  SendReport(MakeRegisterWriteReport(0xB00006, 0x90));
  SendReport(MakeRegisterWriteReport(0xB00008, 0xC0));
  SendReport(MakeRegisterWriteReport(0xB0001A, 0x40));
  SendReport(MakeRegisterWriteReport(0xB00033, 0x33));
}

void TWiimoteLink::SetupNunchuk() {
  SetReportMode(ModeButtonsAccelIRExtension);
  // Initialises the extension; its bytes then arrive encoded.
  SendReport(MakeRegisterWriteReport(0xA40040, 0x00));
}

void TWiimoteLink::Shutdown() {
  SetLeds(LedsFourOnly);
  SetReportMode(ModeButtons);
}
