#pragma once
// The Wii Remote link of the main window: finds and keeps the remote through the HID controller, sends it
// every output report, decodes its input reports into the TWiimote record and shows its state through the
// host (caption, battery text, settings menu, input timers). Main thread only.

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "wiimote/hid_controller.h"
#include "wiimote/hid_platform.h"
#include "wiimote/remote_link.h"
#include "wiimote/wiimote_decoder.h"
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

// The kernel's own Wii Remote driver. It stays bound (without it there is no hidraw node at all); it sets
// its own report mode after every status report and writes registers of its own, and the link puts its
// mode and rumble back each time.
inline constexpr const char* KernelDriverName = "wiimote";
inline constexpr const char* KernelDriverNotice =
    "Driver hid_wiimote do kernel ativo: o Vireta trabalha junto com ele (veja a regra udev no README).";

// A set-up step whose acknowledgement (or read reply) does not come within this time is sent again.
inline constexpr uint32_t RegisterWriteAckTimeoutMs = 100;
// A step is tried this many times in all (time-outs and error codes alike) before the status bar says so.
inline constexpr int SetUpTries = 3;
// A remote that answered before and has sent nothing this long, with a status request every second, has
// lost its link even if its device node is still there: it is let go (its rumble stopped), and taken back
// the moment it is heard again.
inline constexpr uint32_t LinkSilenceMs = 3000;
// At exit, the last reports wait at most this long for the device to take them, in slices of this long.
inline constexpr uint32_t ShutdownWaitMs = 300;
inline constexpr uint32_t FinishWritesSliceMs = 10;
// The six id bytes of an extension, read at 0xA400FA once it has been initialised.
inline constexpr uint32_t ExtensionIdRegister = 0xA400FA;
// The Nunchuk's own calibration (16 bytes: accelerometer zero and one g, the stick's ends and centre).
inline constexpr uint32_t NunchukCalibrationRegister = 0xA40020;
// Said once per plugged extension that is not a Nunchuk (a Classic Controller, a MotionPlus).
inline constexpr const char* OtherExtensionNotice =
    "Extensão do Wii Remote não suportada (só o Nunchuk é usado): ignorada.";
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

class TWiimoteLink : public IRemoteLink {
 public:
  // Becomes HIDCtl's OnDeviceChange and OnDeviceData handler. Build it before the main loop runs, so that
  // the controller's start-up change finds it. HIDCtl, Host and Clock must outlive the link.
  TWiimoteLink(TJvHidDeviceController& HIDCtl, IWiimoteHost& Host, IClock& Clock);
  // The same, decoding into Record, which another way of reaching the remote shares; it must outlive the
  // link.
  TWiimoteLink(TJvHidDeviceController& HIDCtl, IWiimoteHost& Host, IClock& Clock, TWiimote& Record);
  // Gives the remote back, which ends its reading; sends nothing (Shutdown does).
  ~TWiimoteLink() override;
  TWiimoteLink(const TWiimoteLink&) = delete;
  TWiimoteLink& operator=(const TWiimoteLink&) = delete;

  TWiimote& Wiimote() override { return wiimote_; }
  const TWiimote& Wiimote() const override { return wiimote_; }
  bool Connected() const override { return wiiDevice_ != nullptr; }
  // The claimed remote, or none.
  TJvHidDevice* WiiDevice() const { return wiiDevice_; }

  // After every device change: lets a lost remote go, claims one (0x0306 first, then 0x0330), runs the
  // connect sequence, and sets the caption, the menu and the timers.
  void HIDCtlDeviceChange();
  // One input report of a claimed device, as the controller read it on the main loop.
  void WiiData(TJvHidDevice& HidDev, uint8_t ReportID, const uint8_t* Data, uint16_t Size);
  void ParseReport(uint8_t ReportID, const uint8_t* Data, size_t Size);
  // "Bateria: N%" into the status bar; the draw timer calls it.
  void ShowBattery() override;

  // Every LinkTickMs: goes on with a set-up whose acknowledgement did not come in time, writes what could
  // not be written before, and gives back a claimed device that never answered.
  void Tick() override;
  // The claimed device has sent a report.
  bool Answered() const { return wiiDevice_ != nullptr && answered_; }
  // The LEDs (bits 4..7) its first status report showed, or -1 before it came.
  int FoundLeds() const { return foundLeds_; }
  // Set-up reports still wait for the remote's acknowledgements.
  bool SetUpPending() const { return pending_.has_value() || !setUp_.empty(); }

  // Writes one report at the length its report ID has in the remote's report descriptor, with the current
  // rumble bit in bit 0 of byte 1, without waiting: a report the device cannot take now waits for Tick
  // (at most OutboxLimit of them). With no remote the caption says so; a failed write puts
  // "Erro(code):text" into it. True when the report went out or waits to.
  bool SendReport(const TOutputReport& Report);
  void SetLeds(uint8_t Value) override;
  // SetLeds, skipped when Value is the byte last written successfully. The user-move step of the frame
  // decides its byte first (LedsOneAndFour, or LedsOneAndFourRumble while it carries an object with the
  // haptic reaction on) and calls this once per frame, so the rumble starts and stops on the same frames
  // without a report every frame.
  void SetLedsIfChanged(uint8_t Value) override;
  // The LED and rumble byte last written successfully, or -1 when unknown.
  int LedByte() const override { return ledByte_; }
  void SetReportMode(uint8_t Mode);
  void RequestStatus();
  // The set-up goes out one report after the other, each step that the remote acknowledges only once the
  // previous one is acknowledged: a remote loses writes that come too fast. A step without its reply in
  // RegisterWriteAckTimeoutMs, or acknowledged with an error code, is sent again, SetUpTries times in all.
  // A new set-up replaces the rest of one still going.
  // The camera, in the order its documentation gives: enable (0x13, 0x1A), 0x01 to 0xB00030, the two
  // sensitivity blocks, the mode, 0x08 to 0xB00030; then the data report mode. Run at the claim, and again
  // only when a status report shows the camera off: a camera set up again drops its points for a moment.
  void SetupIRCamera();
  // Initialises a plugged extension (its bytes then come unencoded) and reads its id: only a Nunchuk is
  // decoded.
  void SetupNunchuk();
  void BatteryTimerTimer() override { RequestStatus(); }  // the battery timer
  void IRResetButtonClick() override { SetupIRCamera(); }
  // At window destruction, after the settings are saved: LED 4 only, then buttons-only reports, waiting
  // at most ShutdownWaitMs for the device to take them.
  void Shutdown() override;
  // As the remote was found: the LEDs of its first status report, rumble off, buttons-only reports;
  // waits as Shutdown does. For a tool that only looks at the remote.
  void LeaveAsFound();
  // Writes what waits in the write queue until it is empty or MaxMs have passed on the link's clock,
  // waiting with poll(2) for the device to take writes.
  void FinishWrites(uint32_t MaxMs);

  // Devices the rule refuses are left alone (to the kernel's driver, when the remote is read through it).
  // Without a rule every Wii Remote may be claimed.
  using TClaimRule = std::function<bool(const TJvHidDevice& HidDev)>;
  void SetClaimRule(TClaimRule Rule) { claimRule_ = std::move(Rule); }

  // Sees every report read ('<', report ID first) and written ('>', as written), for a recording.
  using TReportObserver = std::function<void(char Direction, const uint8_t* Bytes, size_t Length)>;
  void SetReportObserver(TReportObserver Observer) { observer_ = std::move(Observer); }

 private:
  // One report of a set-up, and the reply that completes it: 0x22 (acknowledgement of this report ID),
  // 0x21 (the read's data) or 0 (nothing to wait for).
  struct TSetUpStep {
    TOutputReport Report;
    uint8_t Reply = 0;
    int Tries = 0;
    // A read that checks a register write whose acknowledgement could have been another writer's: the
    // write, sent again when the registers do not hold its bytes.
    std::optional<TOutputReport> Verifies = std::nullopt;
  };
  enum class TExtension { None, Identifying, Nunchuk, Other };

  bool StatusArrived(const TStatusFlags& Flags);
  // Each true when the reply was the pending step's.
  bool AcknowledgementArrived(uint8_t ReportID, uint8_t Error);
  bool ReadReplyArrived(const uint8_t* Data, size_t Size);
  void ExtensionIdArrived(const uint8_t* Id);
  void VerificationArrived(const uint8_t* Data, size_t Size);
  void FellQuiet();
  void TakeBack();
  void Claimed();
  void StepFailed(int Error);
  void FlushOutbox();
  void InsertBeforeStatus(std::initializer_list<TSetUpStep> Steps);
  uint8_t DataMode() const;
  void ConnectSequence();
  void LetGo(bool Release = true);
  void TryClaim();
  void QueueSetUp(const TSetUpStep& Step);
  void ClearSetUp();
  void SendSetUp();
  bool WriteNow(const TOutputReport& Report, int& Error);
  void ShowWriteError(int Code);

  TJvHidDeviceController& hidCtl_;
  IWiimoteHost& host_;
  IClock& clock_;
  TWiimote ownRecord_;  // the record when the caller gives none
  TWiimote& wiimote_;
  TClaimRule claimRule_;
  TJvHidDevice* wiiDevice_ = nullptr;
  // Fell silent after it had answered: still claimed and read, and taken back the moment it is heard.
  TJvHidDevice* quiet_ = nullptr;
  // Another writer shares the link (the kernel's driver is bound, or replies came that nothing of ours
  // asked for): an acknowledgement of a register write may be its, so the write is checked.
  bool shared_ = false;
  int ledByte_ = -1;
  bool kernelDriverNoticeShown_ = false;
  uint8_t rumbleBit_ = 0;              // bit 0 of the last LED byte asked for, carried by every report
  std::deque<TSetUpStep> setUp_;       // set-up reports not sent yet
  std::optional<TSetUpStep> pending_;  // sent, its reply not come yet
  uint32_t pendingSince_ = 0;
  TExtension extension_ = TExtension::None;
  std::optional<TNunchukCalibration> nunchukCalibration_;  // as the plugged Nunchuk keeps it, once read
  int foundLeds_ = -1;  // the LEDs of the first status report after the claim
  uint32_t lastReportAt_ = 0;
  TReportObserver observer_;
  bool shutDown_ = false;  // the last reports went out: nothing the remote sends is answered now
  bool answered_ = false;  // the claimed device sent a report
  bool statusRequested_ = false;
  uint32_t statusRequestedAt_ = 0;
  std::deque<TOutputReport> outbox_;        // written when the device takes them, in order
  std::vector<std::string> silentDevices_;  // sysfs paths of devices that never answered
};
