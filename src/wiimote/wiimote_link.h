#pragma once
// The Wii Remote link of the main window: finds and keeps the remote through the HID controller, sends it
// every output report, decodes its input reports into the TWiimote record and shows its state through the
// host (caption, battery text, settings menu, input timers). Main thread only.

#include <cstdint>
#include <string>

#include "wiimote/hid_controller.h"
#include "wiimote/hid_platform.h"
#include "wiimote/wiimote_host.h"
#include "wiimote/wiimote_reports.h"
#include "wiimote/wiimote_state.h"

inline constexpr int WiimoteVendorID = 0x057E;
inline constexpr int WiimoteProductID = 0x0306;
inline constexpr int WiimotePlusProductID = 0x0330;  // the later model, same protocol for these reports

// Devices that share the Wii Remote's ids but not its protocol, told apart by their HID name.
inline constexpr const char* BalanceBoardName = "Nintendo RVL-WBC-01";
inline constexpr const char* ProControllerName = "Nintendo RVL-CNT-01-UC";
// False for a Balance Board or a Wii U Pro Controller.
bool IsWiiRemote(const TJvHidDevice& HidDev);

// The kernel's own Wii Remote driver sets its report mode again after every status report, against ours.
inline constexpr const char* KernelDriverName = "wiimote";
inline constexpr const char* KernelDriverNotice =
    "Driver wiimote do kernel ativo: sudo modprobe -r hid_wiimote";

inline constexpr const char* CaptionConnected = "Form1";
inline constexpr const char* CaptionNotDetected = "Wii Remote não detectado";
inline constexpr const char* CaptionNotFound = "Wii Remote não encontrado";

class TWiimoteLink {
 public:
  // Becomes HIDCtl's OnDeviceChange and OnDeviceData handler. Build it before the main loop runs, so that
  // the controller's start-up change finds it. HIDCtl, Host and Clock must outlive the link.
  TWiimoteLink(TJvHidDeviceController& HIDCtl, IWiimoteHost& Host, IClock& Clock);
  // Stops the reader and gives the remote back; sends nothing (Shutdown does).
  ~TWiimoteLink();
  TWiimoteLink(const TWiimoteLink&) = delete;
  TWiimoteLink& operator=(const TWiimoteLink&) = delete;

  TWiimote& Wiimote() { return wiimote_; }
  const TWiimote& Wiimote() const { return wiimote_; }
  // The claimed remote, or none.
  TJvHidDevice* WiiDevice() const { return wiiDevice_; }

  // After every device change: lets a lost remote go, claims one (0x0306 first, then 0x0330), runs the
  // connect sequence, and sets the caption, the menu and the timers.
  void HIDCtlDeviceChange();
  // One input report from the reader; HidDev and Size past the decoded bytes are not needed.
  void WiiData(TJvHidDevice& HidDev, uint8_t ReportID, const uint8_t* Data, uint16_t Size);
  void ParseReport(uint8_t ReportID, const uint8_t* Data, size_t Size);
  // "Bateria: N%" into the status bar; the draw timer calls it every 50 ms.
  void ShowBattery();

  // Writes one report at the length its report ID has in the remote's report descriptor, with the current
  // rumble bit in bit 0 of byte 1. With no remote
  // the caption says so; a failed write puts "Erro(code):text" into it. True when the report went out.
  bool SendReport(const TOutputReport& Report);
  void SetLeds(uint8_t Value);
  // SetLeds, skipped when Value is the byte last written successfully. The user-move step of the frame
  // decides its byte first (LedsOneAndFour, or LedsOneAndFourRumble while it carries an object with the
  // haptic reaction on) and calls this once per frame, so the rumble starts and stops on the same frames
  // without a report every 10 ms.
  void SetLedsIfChanged(uint8_t Value);
  // The LED and rumble byte last written successfully, or -1 when unknown.
  int LedByte() const { return ledByte_; }
  void SetReportMode(uint8_t Mode);
  void RequestStatus();
  void SetupIRCamera();
  void SetupNunchuk();
  void BatteryTimerTimer() { RequestStatus(); }  // BatteryTimer, every 1000 ms
  void IRResetButtonClick() { SetupIRCamera(); }
  // At window destruction, after the settings are saved: LED 4 only, then buttons-only reports.
  void Shutdown();

 private:
  void ConnectSequence();
  void StopInputTimers();
  void StartInputTimers();

  TJvHidDeviceController& hidCtl_;
  IWiimoteHost& host_;
  IClock& clock_;
  TWiimote wiimote_;
  TJvHidDevice* wiiDevice_ = nullptr;
  int ledByte_ = -1;
  bool kernelDriverNoticeShown_ = false;
  uint8_t rumbleBit_ = 0;  // bit 0 of the last LED byte asked for, carried by every report
};
