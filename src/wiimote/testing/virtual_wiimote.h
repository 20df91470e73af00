#pragma once
// A Wii Remote in software, for tests. Each Connect() is one open of its device node: the caller gets one
// end of a socketpair(AF_UNIX, SOCK_SEQPACKET), so every write is one report and every read one report, as
// with hidraw. Like hidraw, each input report goes to every open connection.
//
// It speaks the protocol as a real remote does: every output report sets the rumble from its bit 0 of byte
// 1; it answers 0x15 with a 0x20 status carrying the battery
// and extension bits, follows 0x12 report modes, keeps the 0x11 LED and rumble byte, stores 0x16 register
// writes and acknowledges them with 0x22 after a short delay (and, when set to, loses a write that comes
// before the previous acknowledgement went out), ignores a report whose length is not its own (as a remote
// over Bluetooth does with padded reports), pauses data reports after an unrequested status report until the
// next 0x12, and sends 0x30, 0x31, 0x33 and 0x37 reports from the scripted state, the IR dots in the
// format the camera registers select and the Nunchuk bytes: plain after 0x55 to 0xA400F0 then 0x00 to
// 0xA400FB, encoded after 0x00 to 0xA40040 (which a third-party Nunchuk ignores), 0xFF before either.
//
// As strict as the hardware: 0x13 and 0x1A are acknowledged when bit 1 of byte 1 asks for it; the camera
// reports points only after its documented sequence (both enables, 0x01 to 0xB00030, ..., 0x08 to
// 0xB00030) and goes blank for a moment when it is set up again; 0x17 reads are answered with 0x21 from
// the registers, the extension's id at 0xA400FA among them; acknowledgements may come late by a varying
// delay or carry an error code; writes can be taken in late, never refused; the link can drop while the
// node stays; and the kernel's own driver can be bound, with its mode after each status report, its
// register writes and its arrow keys. It can also play that driver's whole traffic on the same link
// (PlayKernelDriver), and it refuses what the hardware refuses: a register write of no bytes or more than 16
// (error 8), a write to or read of an extension or MotionPlus that is not there (error 7), a read of no
// bytes (error 8).

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "common/unique_fd.h"

class TVirtualWiimote {
 public:
  struct TReceived {
    std::vector<uint8_t> Bytes;  // the report as written, ID first
    uint32_t Time = 0;           // the clock when it was taken in
    bool Rejected = false;       // its length was not the report's own: the remote ignored it
    bool Lost = false;           // a register write that came too fast: neither stored nor acknowledged
  };
  enum class TExtensionKind { Nunchuk, ClassicController, MotionPlus };
  struct TIRDot {
    int X = 0, Y = 0, Size = 0;
    bool Seen = false;
  };

  // Clock stamps received reports; without one they get 0.
  explicit TVirtualWiimote(std::function<uint32_t()> Clock = {});
  ~TVirtualWiimote();
  TVirtualWiimote(const TVirtualWiimote&) = delete;
  TVirtualWiimote& operator=(const TVirtualWiimote&) = delete;

  // One open of the node: the caller's end, or an invalid one with Error (ENODEV while switched off).
  TUniqueFd Connect(int& Error);
  // Switched off: every connection closes (readers see a hang-up) and new ones are refused.
  void SwitchOff();
  void SwitchOn();
  // Connections made from now on accept no write: the writer gets EPIPE.
  void SetRefuseWrites(bool Refuse);
  size_t ConnectionCount() const;
  // How long a register write waits for its 0x22 acknowledgement (a few milliseconds unless set); with
  // std::nullopt it is never acknowledged.
  void SetAckDelay(std::optional<std::chrono::milliseconds> Delay);
  // A register write that arrives while the previous one is still unacknowledged is lost, as on a real
  // remote.
  void SetLoseEarlyWrites(bool Lose);

  void SetButtons(uint16_t Word);  // core button word, (first byte shl 8) or second byte
  void SetAccel(uint8_t X, uint8_t Y, uint8_t Z);
  void SetIRDot(int Index, int X, int Y, int Size);  // Index 0..3
  void HideIRDot(int Index);
  // Plain Nunchuk values as the extension measures them; buttons true when pressed.
  void SetNunchuk(uint8_t StickX, uint8_t StickY, uint8_t AccelX, uint8_t AccelY, uint8_t AccelZ, bool C,
                  bool Z);
  void SetBattery(uint8_t Level);
  // Plugs or pulls an extension: the remote then sends an unrequested status report.
  void PlugExtension(bool Plugged, TExtensionKind Kind = TExtensionKind::Nunchuk);
  // Acknowledgements come after a delay drawn anew each time between Min and Max.
  void SetAckDelayRange(std::chrono::milliseconds Min, std::chrono::milliseconds Max);
  // The next Count register writes are acknowledged with this error code and not stored.
  void FailRegisterWrites(int Count, uint8_t Code);
  // Reports written are taken in only this long after they were written (the writer is never refused).
  void SetDeliveryDelay(std::chrono::milliseconds Delay);
  // About 100 data reports a second while on, as a remote in continuous use sends them.
  void SetStreaming(bool On);
  // The Bluetooth link drops but the device node stays: writes still succeed, nothing comes back.
  void LoseLink();
  // With the kernel's driver bound: an acknowledgement of a register write of its own, as its MotionPlus
  // poll writes every few seconds; the poll itself runs every Period when set (zero: never).
  void KernelRegisterWrite();
  void SetKernelPollPeriod(std::chrono::milliseconds Period);
  // The arrow keys the kernel's input device sent for the cross pad so far ("Up", "Down", ...).
  std::vector<std::string> KernelKeys() const;
  // Milliseconds the camera stays blank after it is set up again.
  static constexpr int CameraRestartBlankMs = 60;
  // Takes reports in but never answers, as an empty slot of a USB adapter.
  void SetSilent(bool Silent);
  // Takes nothing in meanwhile, so that the writers' queues fill, as over a congested Bluetooth link.
  void SetStalled(bool Stalled);
  // As with the kernel's own driver bound: after every status report that driver sets its own report mode
  // (0x31) with the rumble off.
  void SetKernelDriverMode(bool On);
  // The Nunchuk is a third-party one: it answers only the initialisation that turns the encoding off.
  void SetThirdPartyExtension(bool ThirdParty);

  // Plays the kernel's own driver, another writer on the same link, as it sends: its plug-in sequence
  // (status request; with an extension its initialisation and id read; LED 1; then its hot-plug probe of
  // the extension and of the MotionPlus at 0xA600FA, and a status request), begun by the first report the
  // program writes, as when a remote connects while the program runs; its report mode 0x30 after every
  // status report; its own waits for replies, which it matches as it does (an acknowledgement by report
  // ID, a read reply by the low 16 bits of its address); the rumble bit clear in all of it. A node it plays
  // never answers a write with EAGAIN, as a Bluetooth link never does.
  void PlayKernelDriver(bool On);
  // A Wii Remote Plus: a MotionPlus inside, answering at 0xA600FA; an original remote answers error 7 there.
  void SetBuiltInMotionPlus(bool On);
  // The driver's timer on an original remote (every 4 s): the extension's id read, then the MotionPlus
  // probe.
  void KernelDriverPoll();
  // The driver's battery read (a status request), as a reader of its power supply makes one.
  void KernelDriverReadsBattery();
  size_t KernelDriverReportCount() const;
  // The driver has nothing queued and waits for no reply.
  bool KernelDriverIdle() const;
  // The next Count writes into any node of this remote return 0 and take nothing in, as some older
  // Bluetooth stacks answer a write they could not send now.
  void ReturnZeroOnWrites(int Count);
  // For the platform double: true when this write must return 0 (and uses up one of them).
  bool TakeZeroWrite();

  // One data report in the current mode; false when reports are paused or the mode is not one it knows.
  bool SendDataReport();
  void SendRaw(const std::vector<uint8_t>& Report);

  std::vector<TReceived> Received() const;
  size_t ReceivedCount() const;
  void ClearReceived();
  // Waits until Count reports were taken in; false after Timeout (a bound against hanging).
  bool WaitForReceived(size_t Count, std::chrono::milliseconds Timeout = std::chrono::milliseconds(10000));
  // Takes in, on the caller's thread, every report already written to any connection.
  void Drain();

  std::array<uint8_t, 3> Accel() const;
  uint8_t LedByte() const;
  // The motor, as bit 0 of byte 1 of the last output report taken in switched it: every report drives it.
  bool Rumble() const;
  uint8_t ReportMode() const;
  std::optional<uint8_t> Register(uint32_t Address) const;
  // Bytes of the remote's (or its extension's) memory as a read finds them, e.g. a Nunchuk's calibration.
  void SetMemory(uint32_t Address, const std::vector<uint8_t>& Bytes);
  bool ExtensionInitialised() const;
  bool CameraEnabled() const;

  // The output report lengths the remote's report descriptor declares, report ID included; 0 if unknown.
  static size_t OwnOutputLength(uint8_t ReportID);

 private:
  struct TConnection {
    TUniqueFd Fd;
    bool Closed = false;
  };

  void Run();
  void SendDueAcksLocked();
  void Wake();
  void TakeInLocked();
  void HandleLocked(std::vector<uint8_t> Report, bool FromDriver = false);
  void BroadcastLocked(const std::vector<uint8_t>& Report);
  void SendStatusLocked(bool Requested);
  std::vector<uint8_t> DataReportLocked() const;
  void AppendIRLocked(std::vector<uint8_t>& Report, size_t Bytes) const;
  void AppendExtensionLocked(std::vector<uint8_t>& Report) const;
  uint8_t RegisterOr(uint32_t Address, uint8_t Default) const;
  bool CameraEnabledLocked() const;
  bool CameraReportingLocked() const;
  void AcknowledgeLocked(uint8_t ReportID, uint8_t Error);
  void ReadRegistersLocked(const std::vector<uint8_t>& Report);
  std::chrono::milliseconds AckDelayLocked();
  bool PlainExtensionLocked() const;
  bool EncodedExtensionLocked() const;

  // One report of the driver's, and what it then waits for.
  struct TDriverStep {
    std::vector<uint8_t> Report;  // empty: only Action
    enum class TWait { None, Status, Ack, Read } Wait = TWait::None;
    uint16_t Offset = 0;           // of a read: the low 16 bits its reply carries
    int SkipOnError = 0;           // steps it leaves out after an error reply, as its sequences return
    std::function<void()> Action;  // run when the step is reached
  };
  static TDriverStep DriverWrite(uint32_t Address, uint8_t Data, int SkipOnError = 0);
  static TDriverStep DriverRead(uint32_t Address, uint8_t Size);
  static TDriverStep DriverStatus();
  void QueueDriverHotPlugLocked();
  void DriverSeesLocked(const std::vector<uint8_t>& Report);
  void DriverCompleteLocked(uint8_t Error);
  void DriverRunLocked();

  std::function<uint32_t()> clock_;
  mutable std::mutex mutex_;
  std::condition_variable receivedChanged_;
  std::vector<TConnection> connections_;
  std::vector<TReceived> received_;
  bool on_ = true;
  bool refuseWrites_ = false;
  uint16_t buttons_ = 0;
  uint8_t accel_[3] = {0x80, 0x80, 0x98};
  TIRDot dots_[4];
  uint8_t nunchuk_[6] = {0x80, 0x80, 0x80, 0x80, 0xB0, 0x03};  // raw bytes, buttons released
  bool extensionPlugged_ = false;
  bool thirdPartyExtension_ = false;
  bool silent_ = false;
  bool stalled_ = false;
  bool kernelDriver_ = false;
  std::vector<uint8_t> extensionInitOrder_;  // 0x55 to 0xA400F0, then what went to 0xA400FB
  uint8_t battery_ = 0xC0;
  uint8_t ledByte_ = 0;
  bool rumble_ = false;
  uint8_t mode_ = 0x30;
  bool paused_ = false;
  bool camera1_ = false, camera2_ = false;
  std::map<uint32_t, uint8_t> registers_;
  std::optional<std::chrono::milliseconds> ackDelay_ = std::chrono::milliseconds(3);
  bool loseEarlyWrites_ = false;
  struct TAckDue {
    std::chrono::steady_clock::time_point Due;
    std::vector<uint8_t> Report;
  };
  std::deque<TAckDue> ackDue_;  // acknowledgements and read replies not sent yet, in order
  std::optional<std::chrono::milliseconds> ackDelayMax_;
  uint32_t random_ = 12345;
  int failWrites_ = 0;
  uint8_t failCode_ = 0;
  std::chrono::milliseconds deliveryDelay_{0};
  std::deque<std::pair<std::chrono::steady_clock::time_point, std::vector<uint8_t>>> inbox_;
  bool streaming_ = false;
  std::chrono::steady_clock::time_point nextStream_{};
  bool linkLost_ = false;
  std::chrono::milliseconds kernelPoll_{0};
  std::chrono::steady_clock::time_point nextKernelPoll_{};
  std::vector<std::string> kernelKeys_;
  TExtensionKind extensionKind_ = TExtensionKind::Nunchuk;
  bool driverPlaying_ = false;
  bool driverStarted_ = false;    // its plug-in sequence began
  bool driverProbed_ = false;     // and got past its first status report
  bool driverRunning_ = false;    // DriverRunLocked is on the stack
  bool driverExtension_ = false;  // the extension bit of the last status report it saw
  std::deque<TDriverStep> driverSteps_;
  std::optional<TDriverStep> driverWaiting_;
  std::chrono::steady_clock::time_point driverWaitingSince_{};
  size_t driverReports_ = 0;
  bool builtInMotionPlus_ = false;
  int zeroWrites_ = 0;
  bool cameraStarted_ = false;  // 0x01 went to 0xB00030 after the enables
  bool cameraOn_ = false;       // and then 0x08
  std::chrono::steady_clock::time_point cameraBlankUntil_{};
  TUniqueFd wake_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// The report descriptor of a Wii Remote, as it publicly documents its reports: output reports 0x10..0x1A
// and input reports 0x20..0x3F in one application collection, every field 8-bit.
const std::vector<uint8_t>& WiimoteReportDescriptor();
