#include "wiimote/WiimoteLink.h"

#include <algorithm>
#include <cmath>
#include <system_error>

#include "wiimote/WiimoteDecoder.h"

namespace {

constexpr uint32_t ConnectStepWaitMs = 200;

}  // namespace

TWiimoteLink::TWiimoteLink(TJvHidDeviceController& HIDCtl, IWiimoteHost& Host, IClock& Clock)
    : FHIDCtl(HIDCtl), FHost(Host), FClock(Clock) {
  FHIDCtl.SetOnDeviceChange([this] { HIDCtlDeviceChange(); });
  FHIDCtl.SetOnDeviceData([this](TJvHidDevice& HidDev, uint8_t ReportID, const uint8_t* Data, uint16_t Size) {
    WiiData(HidDev, ReportID, Data, Size);
  });
}

TWiimoteLink::~TWiimoteLink() {
  FHIDCtl.SetOnDeviceChange(nullptr);
  FHIDCtl.SetOnDeviceData(nullptr);
  FHIDCtl.Release(FWiiDevice);
}

void TWiimoteLink::StopInputTimers() {
  for (TInputTimer Timer : {TInputTimer::BatteryTimer, TInputTimer::MotionTimer, TInputTimer::DrawTimer,
                            TInputTimer::RepeatTimer, TInputTimer::CursorTimer})
    FHost.SetTimerEnabled(Timer, false);
}

void TWiimoteLink::StartInputTimers() {
  FHost.SetTimerEnabled(TInputTimer::BatteryTimer, true);
  if (FHost.WiimoteSettings().EnableCursorAtStartup) FHost.SetTimerEnabled(TInputTimer::MotionTimer, true);
  FHost.SetTimerEnabled(TInputTimer::DrawTimer, true);
  FHost.SetTimerEnabled(TInputTimer::RepeatTimer, true);
  FHost.SetTimerEnabled(TInputTimer::CursorTimer, true);
}

void TWiimoteLink::HIDCtlDeviceChange() {
  if (FWiiDevice != nullptr && !FWiiDevice->Plugged()) {
    FHost.SetOptionsEnabled(false);
    StopInputTimers();
    FHIDCtl.Release(FWiiDevice);
    FLedByte = -1;
  }
  if (FWiiDevice == nullptr && (FHIDCtl.ClaimByIds(FWiiDevice, WiimoteVendorID, WiimoteProductID) ||
                                FHIDCtl.ClaimByIds(FWiiDevice, WiimoteVendorID, WiimotePlusProductID))) {
    FLedByte = -1;
    ConnectSequence();
    FHost.SetOptionsEnabled(true);
    StartInputTimers();
  }
  FHost.SetCaption(FWiiDevice != nullptr ? CaptionConnected : CaptionNotDetected);
}

void TWiimoteLink::ConnectSequence() {
  // The remote needs time between the mode, the set-up register writes and the status request; reports
  // that arrive meanwhile wait in the reader and are handed over afterwards, in order.
  SetReportMode(ModeButtonsAccelIRExtension);
  FClock.Sleep(ConnectStepWaitMs);
  if (FHost.WiimoteSettings().UseNunchuk)
    SetupNunchuk();
  else
    SetupIRCamera();
  FClock.Sleep(ConnectStepWaitMs);
  RequestStatus();
}

void TWiimoteLink::WiiData(TJvHidDevice& /*HidDev*/, uint8_t ReportID, const uint8_t* Data, uint16_t Size) {
  ParseReport(ReportID, Data, Size);
}

void TWiimoteLink::ParseReport(uint8_t ReportID, const uint8_t* Data, size_t Size) {
  TWiimoteDecodeEvents Events;
  Events.Now = FClock.Milliseconds();
  Events.ButtonEdge = [this](uint16_t Mask, int Kind, TButtonState& State) {
    FHost.ButtonEdge(Mask, Kind, State);
  };
  // Every status report repeats the set-up, which also selects the data report mode again: a remote stops
  // sending data after an unrequested status report until the mode is set again.
  Events.Status = [this](bool ExtensionPlugged) {
    if (ExtensionPlugged && FHost.WiimoteSettings().UseNunchuk)
      SetupNunchuk();
    else
      SetupIRCamera();
  };
  ::ParseReport(FWiimote, ReportID, Data, Size, Events);
}

void TWiimoteLink::ShowBattery() {
  // Rounded half away from zero; 192 is a full battery and shows 100, a higher level more than 100.
  const long Percent = std::lround(FWiimote.BatteryLevel / 192.0 * 100.0);
  FHost.SetBatteryText("Bateria: " + std::to_string(Percent) + "%");
}

bool TWiimoteLink::SendReport(const TOutputReport& Report) {
  if (FWiiDevice == nullptr) {
    FHost.SetCaption(CaptionNotFound);
    return false;
  }
  // hidraw sends exactly what is written, and a Wii Remote over Bluetooth refuses a report padded past its
  // own length, so each report goes out at the length its ID has in the descriptor, never padded to the
  // largest output report.
  const uint16_t Declared = FWiiDevice->OutputReportLength(Report.ReportID());
  const size_t Length = Declared != 0 ? std::min<size_t>(Declared, Report.Bytes.size()) : Report.Length;
  FWiiDevice->OpenIo();
  size_t Written = 0;
  if (FWiiDevice->WriteReport(Report.Bytes.data(), Length, Written)) {
    FWiiDevice->CloseIo();
    return true;
  }
  const int Code = FWiiDevice->LastError();
  FHost.SetCaption("Erro(" + std::to_string(Code) + "):" + std::system_category().message(Code));
  return false;
}

void TWiimoteLink::SetLeds(uint8_t Value) {
  if (SendReport(MakeLedReport(Value)))
    FLedByte = Value;
  else if (FWiiDevice != nullptr)
    FLedByte = -1;  // the remote may hold either byte now
}

void TWiimoteLink::SetLedsIfChanged(uint8_t Value) {
  if (FLedByte != Value) SetLeds(Value);
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
