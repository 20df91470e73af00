#pragma once
// The Wii Remote link of the main window: finds and keeps the remote through the HID controller, sends it
// every output report, decodes its input reports into the TWiimote record and shows its state through the
// host (caption, battery text, settings menu, input timers). Main thread only.

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

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

// A register write lost by a remote that never acknowledges it holds the set-up up only this long.
inline constexpr uint32_t RegisterWriteAckTimeoutMs = 100;
// A claimed device that sends nothing this long after the status request is an empty slot of an adapter,
// or something else that is not a working remote: it is given back and the next candidate tried.
inline constexpr uint32_t AnswerTimeoutMs = 1000;
// Reports that could not be written at once wait at most this many deep; a later one is dropped.
inline constexpr size_t OutboxLimit = 16;
// How often the window calls Tick.
inline constexpr int LinkTickMs = 20;

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

  // Every LinkTickMs: goes on with a set-up whose acknowledgement did not come in time, writes what could
  // not be written before, and gives back a claimed device that never answered.
  void Tick();
  // The claimed device has sent a report.
  bool Answered() const { return wiiDevice_ != nullptr && answered_; }
  // Set-up reports still wait for the remote's acknowledgements.
  bool SetUpPending() const { return awaitingAck_ || !setUp_.empty(); }

  // Writes one report at the length its report ID has in the remote's report descriptor, with the current
  // rumble bit in bit 0 of byte 1, without waiting: a report the device cannot take now waits for Tick
  // (at most OutboxLimit of them). With no remote the caption says so; a failed write puts
  // "Erro(code):text" into it. True when the report went out or waits to.
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
  // The set-up goes out one report after the other, each register write only once the previous one is
  // acknowledged (or RegisterWriteAckTimeoutMs passed): a remote loses writes that come too fast. A new
  // set-up replaces the rest of one still going.
  void SetupIRCamera();
  void SetupNunchuk();
  void BatteryTimerTimer() { RequestStatus(); }  // BatteryTimer, every 1000 ms
  void IRResetButtonClick() { SetupIRCamera(); }
  // At window destruction, after the settings are saved: LED 4 only, then buttons-only reports.
  void Shutdown();

 private:
  void ConnectSequence();
  void LetGo();
  void TryClaim();
  void QueueSetUp(const TOutputReport& Report);
  void ClearSetUp();
  void SendSetUp();
  bool WriteNow(const TOutputReport& Report, int& Error);
  void ShowWriteError(int Code);
  void StopInputTimers();
  void StartInputTimers();

  TJvHidDeviceController& hidCtl_;
  IWiimoteHost& host_;
  IClock& clock_;
  TWiimote wiimote_;
  TJvHidDevice* wiiDevice_ = nullptr;
  int ledByte_ = -1;
  bool kernelDriverNoticeShown_ = false;
  uint8_t rumbleBit_ = 0;            // bit 0 of the last LED byte asked for, carried by every report
  std::deque<TOutputReport> setUp_;  // set-up reports not sent yet
  bool awaitingAck_ = false;         // a set-up register write waits for its acknowledgement
  uint32_t ackWaitSince_ = 0;
  bool answered_ = false;  // the claimed device sent a report
  bool statusRequested_ = false;
  uint32_t statusRequestedAt_ = 0;
  std::deque<TOutputReport> outbox_;        // written when the device takes them, in order
  std::vector<std::string> silentDevices_;  // sysfs paths of devices that never answered
};
