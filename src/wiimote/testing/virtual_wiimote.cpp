#include "wiimote/testing/virtual_wiimote.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>

namespace {

constexpr uint32_t NunchukInitRegister = 0xA40040;  // 0x00 here: encoded bytes, official Nunchuks only
constexpr uint32_t ExtensionInitFirst = 0xA400F0;   // 0x55 here, then 0x00 in the next: plain bytes
constexpr uint32_t ExtensionInitSecond = 0xA400FB;
constexpr uint32_t CameraEnableRegister = 0xB00030;
constexpr uint32_t CameraModeRegister = 0xB00033;
constexpr uint8_t CameraModeBasic = 1;
constexpr uint16_t CoreButtonBits = 0x1F9F;
constexpr uint8_t ErrorAbsent = 0x07;   // an extension or MotionPlus that is not there
constexpr uint8_t ErrorInvalid = 0x08;  // a size the remote does not take
// The kernel's driver gives up waiting for a reply after a second.
constexpr std::chrono::milliseconds DriverReplyTimeout{1000};
constexpr uint8_t DriverMode = 0x30;  // buttons only: none of its input devices is opened

// The bytes as the extension sends them after initialisation: decoding is (x xor 0x17) + 0x17.
uint8_t Encode(uint8_t Raw) {
  return static_cast<uint8_t>(((Raw - 0x17) & 0xFF) ^ 0x17);
}

}  // namespace

const std::vector<uint8_t>& WiimoteReportDescriptor() {
  static const std::vector<uint8_t> Descriptor = [] {
    std::vector<uint8_t> D = {
        0x05, 0x01,        // Usage Page (Generic Desktop)
        0x09, 0x05,        // Usage (Game Pad)
        0xA1, 0x01,        // Collection (Application)
        0x06, 0x00, 0xFF,  //   Usage Page (vendor)
        0x15, 0x00,        //   Logical Minimum (0)
        0x26, 0xFF, 0x00,  //   Logical Maximum (255)
        0x75, 0x08,        //   Report Size (8)
    };
    auto Add = [&D](uint8_t Id, uint8_t Count, uint8_t MainItem) {
      // Report ID, Report Count, Usage (1), Input or Output (data, array, absolute)
      D.insert(D.end(), {0x85, Id, 0x95, Count, 0x09, 0x01, MainItem, 0x00});
    };
    const std::pair<uint8_t, uint8_t> Outputs[] = {{0x10, 1},  {0x11, 1}, {0x12, 2},  {0x13, 1},
                                                   {0x14, 1},  {0x15, 1}, {0x16, 21}, {0x17, 6},
                                                   {0x18, 21}, {0x19, 1}, {0x1A, 1}};
    for (auto [Id, Count] : Outputs) Add(Id, Count, 0x91);
    const std::pair<uint8_t, uint8_t> Inputs[] = {{0x20, 6},  {0x21, 21}, {0x22, 4},  {0x30, 2},  {0x31, 5},
                                                  {0x32, 10}, {0x33, 17}, {0x34, 21}, {0x35, 21}, {0x36, 21},
                                                  {0x37, 21}, {0x3D, 21}, {0x3E, 21}, {0x3F, 21}};
    for (auto [Id, Count] : Inputs) Add(Id, Count, 0x81);
    D.push_back(0xC0);  // End Collection
    return D;
  }();
  return Descriptor;
}

size_t TVirtualWiimote::OwnOutputLength(uint8_t ReportID) {
  switch (ReportID) {
    case 0x12:
      return 3;
    case 0x16:
    case 0x18:
      return 22;
    case 0x17:
      return 7;
    default:
      return ReportID >= 0x10 && ReportID <= 0x1A ? 2 : 0;
  }
}

TVirtualWiimote::TVirtualWiimote(std::function<uint32_t()> Clock)
    : clock_(std::move(Clock)), wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
  thread_ = std::thread([this] { Run(); });
}

TVirtualWiimote::~TVirtualWiimote() {
  stop_.store(true);
  Wake();
  thread_.join();
}

void TVirtualWiimote::Wake() {
  const uint64_t One = 1;
  [[maybe_unused]] ssize_t Ignored = ::write(wake_.Get(), &One, sizeof One);
}

void TVirtualWiimote::Run() {
  using namespace std::chrono;
  while (!stop_.load()) {
    std::vector<pollfd> Fds{{wake_.Get(), POLLIN, 0}};
    int Timeout = -1;
    {
      std::lock_guard Lock(mutex_);
      if (!stalled_)
        for (const TConnection& C : connections_) Fds.push_back({C.Fd.Get(), POLLIN, 0});
      std::optional<steady_clock::time_point> Next;
      auto Earliest = [&Next](steady_clock::time_point T) {
        if (!Next || T < *Next) Next = T;
      };
      if (!ackDue_.empty()) Earliest(ackDue_.front().Due);
      if (!inbox_.empty()) Earliest(inbox_.front().first);
      if (streaming_) Earliest(nextStream_);
      if (kernelDriver_ && kernelPoll_.count() > 0) Earliest(nextKernelPoll_);
      if (driverWaiting_) Earliest(driverWaitingSince_ + DriverReplyTimeout);
      if (Next) {
        const auto Left = ceil<milliseconds>(*Next - steady_clock::now());
        Timeout = static_cast<int>(std::max<milliseconds::rep>(Left.count(), 0));
      }
    }
    if (::poll(Fds.data(), Fds.size(), Timeout) < 0 && errno != EINTR) return;
    if ((Fds[0].revents & POLLIN) != 0) {
      uint64_t Count = 0;
      [[maybe_unused]] ssize_t Ignored = ::read(wake_.Get(), &Count, sizeof Count);
    }
    std::lock_guard Lock(mutex_);
    TakeInLocked();
    SendDueAcksLocked();
    const auto Now = steady_clock::now();
    if (streaming_ && Now >= nextStream_) {
      nextStream_ = Now + milliseconds(10);
      const std::vector<uint8_t> Report = paused_ ? std::vector<uint8_t>{} : DataReportLocked();
      if (!Report.empty()) BroadcastLocked(Report);
    }
    if (kernelDriver_ && kernelPoll_.count() > 0 && Now >= nextKernelPoll_) {
      nextKernelPoll_ = Now + kernelPoll_;
      AcknowledgeLocked(0x16, 0x00);
    }
    if (driverWaiting_ && Now >= driverWaitingSince_ + DriverReplyTimeout) {
      DriverCompleteLocked(0xFF);
      DriverRunLocked();
    }
  }
}

void TVirtualWiimote::SendDueAcksLocked() {
  while (!ackDue_.empty() && ackDue_.front().Due <= std::chrono::steady_clock::now()) {
    const std::vector<uint8_t> Report = std::move(ackDue_.front().Report);
    ackDue_.pop_front();
    BroadcastLocked(Report);
  }
}

void TVirtualWiimote::AcknowledgeLocked(uint8_t ReportID, uint8_t Error) {
  // Buttons, the report acknowledged, its error code.
  BroadcastLocked({0x22, static_cast<uint8_t>((buttons_ & CoreButtonBits) >> 8),
                   static_cast<uint8_t>(buttons_ & CoreButtonBits), ReportID, Error});
}

std::chrono::milliseconds TVirtualWiimote::AckDelayLocked() {
  if (!ackDelayMax_ || *ackDelayMax_ <= *ackDelay_) return *ackDelay_;
  random_ = random_ * 1103515245u + 12345u;
  const auto Span = (*ackDelayMax_ - *ackDelay_).count() + 1;
  return *ackDelay_ + std::chrono::milliseconds((random_ >> 8) % Span);
}

void TVirtualWiimote::SetAckDelay(std::optional<std::chrono::milliseconds> Delay) {
  std::lock_guard Lock(mutex_);
  ackDelay_ = Delay;
  ackDelayMax_.reset();
}

void TVirtualWiimote::SetAckDelayRange(std::chrono::milliseconds Min, std::chrono::milliseconds Max) {
  std::lock_guard Lock(mutex_);
  ackDelay_ = Min;
  ackDelayMax_ = Max;
}

void TVirtualWiimote::FailRegisterWrites(int Count, uint8_t Code) {
  std::lock_guard Lock(mutex_);
  failWrites_ = Count;
  failCode_ = Code;
}

void TVirtualWiimote::SetDeliveryDelay(std::chrono::milliseconds Delay) {
  std::lock_guard Lock(mutex_);
  deliveryDelay_ = Delay;
}

void TVirtualWiimote::SetStreaming(bool On) {
  std::lock_guard Lock(mutex_);
  streaming_ = On;
  nextStream_ = std::chrono::steady_clock::now();
  Wake();
}

void TVirtualWiimote::LoseLink() {
  std::lock_guard Lock(mutex_);
  linkLost_ = true;
  ackDue_.clear();
}

void TVirtualWiimote::KernelRegisterWrite() {
  std::lock_guard Lock(mutex_);
  AcknowledgeLocked(0x16, 0x00);
}

void TVirtualWiimote::SetKernelPollPeriod(std::chrono::milliseconds Period) {
  std::lock_guard Lock(mutex_);
  kernelPoll_ = Period;
  nextKernelPoll_ = std::chrono::steady_clock::now() + Period;
  Wake();
}

std::vector<std::string> TVirtualWiimote::KernelKeys() const {
  std::lock_guard Lock(mutex_);
  return kernelKeys_;
}

void TVirtualWiimote::SetLoseEarlyWrites(bool Lose) {
  std::lock_guard Lock(mutex_);
  loseEarlyWrites_ = Lose;
}

void TVirtualWiimote::Drain() {
  std::lock_guard Lock(mutex_);
  TakeInLocked();
}

void TVirtualWiimote::TakeInLocked() {
  if (stalled_) return;
  uint8_t Buffer[256];
  for (size_t I = 0; I < connections_.size(); ++I) {
    for (;;) {
      TConnection& C = connections_[I];
      if (C.Closed) break;
      const ssize_t Count = ::recv(C.Fd.Get(), Buffer, sizeof Buffer, MSG_DONTWAIT);
      if (Count > 0) {
        inbox_.emplace_back(std::chrono::steady_clock::now() + deliveryDelay_,
                            std::vector<uint8_t>(Buffer, Buffer + Count));
        continue;
      }
      if (Count < 0 && (errno == EAGAIN || errno == EINTR)) break;
      // A writer that closes its end with input reports unread makes the next recv fail with ECONNRESET
      // once, ahead of what it wrote before closing: read on.
      if (Count < 0 && errno == ECONNRESET) continue;
      C.Closed = true;  // the other end closed it
    }
  }
  std::erase_if(connections_, [](const TConnection& C) { return C.Closed; });
  // Bluetooth takes a report in late, never refuses it: it waits here until its time.
  while (!inbox_.empty() && inbox_.front().first <= std::chrono::steady_clock::now()) {
    std::vector<uint8_t> Report = std::move(inbox_.front().second);
    inbox_.pop_front();
    HandleLocked(std::move(Report));
    if (driverPlaying_) DriverRunLocked();
  }
}

TUniqueFd TVirtualWiimote::Connect(int& Error) {
  std::lock_guard Lock(mutex_);
  if (!on_) {
    Error = ENODEV;
    return TUniqueFd();
  }
  int Pair[2];
  if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, Pair) != 0) {
    Error = errno;
    return TUniqueFd();
  }
  if (refuseWrites_) ::shutdown(Pair[1], SHUT_RD);
  // A short queue of writes, as the Bluetooth HID layer keeps: a stalled link fills it in a few dozen.
  // Played with the kernel's driver, the queue is as deep as a write never finds it full.
  const int QueueBytes = driverPlaying_ ? 1 << 20 : 16384;
  ::setsockopt(Pair[0], SOL_SOCKET, SO_SNDBUF, &QueueBytes, sizeof QueueBytes);
  connections_.push_back({TUniqueFd(Pair[1]), false});
  Wake();
  Error = 0;
  return TUniqueFd(Pair[0]);
}

void TVirtualWiimote::SwitchOff() {
  std::lock_guard Lock(mutex_);
  on_ = false;
  connections_.clear();
  Wake();
}

void TVirtualWiimote::SwitchOn() {
  std::lock_guard Lock(mutex_);
  on_ = true;
  linkLost_ = false;  // a new link
}

void TVirtualWiimote::SetRefuseWrites(bool Refuse) {
  std::lock_guard Lock(mutex_);
  refuseWrites_ = Refuse;
}

size_t TVirtualWiimote::ConnectionCount() const {
  std::lock_guard Lock(mutex_);
  return connections_.size();
}

void TVirtualWiimote::HandleLocked(std::vector<uint8_t> Report, bool FromDriver) {
  const uint8_t Id = Report[0];
  if (!FromDriver && driverPlaying_ && !driverStarted_) {
    driverStarted_ = true;
    driverSteps_.push_back(DriverStatus());
    TDriverStep Detect;
    Detect.Action = [this] {
      driverProbed_ = true;
      if (driverExtension_) {
        driverSteps_.push_back(DriverWrite(ExtensionInitFirst, 0x55, 1));
        driverSteps_.push_back(DriverWrite(ExtensionInitSecond, 0x00));
        driverSteps_.push_back(DriverRead(0xA400FA, 6));
      }
      TDriverStep Led;
      Led.Report = {0x11, 0x10};
      driverSteps_.push_back(Led);
      QueueDriverHotPlugLocked();
    };
    driverSteps_.push_back(Detect);
    Wake();
  }
  if (FromDriver) {
    ++driverReports_;
    if (Report.size() > 1) rumble_ = (Report[1] & 0x01) != 0;
  }
  TReceived Entry;
  Entry.Time = clock_ ? clock_() : 0;
  Entry.Rejected = Report.size() != OwnOutputLength(Id);
  Entry.Lost = linkLost_;  // written into a node whose link has gone: it goes nowhere
  Entry.Bytes = Report;
  if (FromDriver) {
    if (linkLost_) return;
  } else {
    received_.push_back(std::move(Entry));
    receivedChanged_.notify_all();
    if (received_.back().Rejected || linkLost_) return;
  }
  if (Report.size() > 1) rumble_ = (Report[1] & 0x01) != 0;

  switch (Id) {
    case 0x11:
      ledByte_ = Report[1];
      break;
    case 0x12:
      mode_ = Report[2];
      paused_ = false;
      break;
    case 0x13:
    case 0x1A:
      (Id == 0x13 ? camera1_ : camera2_) = (Report[1] & 0x04) != 0;
      // An enable starts the camera's sequence over; switched off, it forgets its settings.
      cameraStarted_ = cameraOn_ = false;
      if ((Report[1] & 0x04) == 0)
        registers_.erase(registers_.lower_bound(0xB00000), registers_.lower_bound(0xB10000));
      if ((Report[1] & 0x02) != 0 && ackDelay_)
        ackDue_.push_back({std::chrono::steady_clock::now() + AckDelayLocked(),
                           {0x22, static_cast<uint8_t>((buttons_ & CoreButtonBits) >> 8),
                            static_cast<uint8_t>(buttons_ & CoreButtonBits), Id, 0x00}});
      Wake();
      break;
    case 0x17:
      ReadRegistersLocked(Report);
      break;
    case 0x15:
      SendStatusLocked(true);
      break;
    case 0x16: {
      if (!ackDue_.empty() && loseEarlyWrites_) {
        if (!FromDriver) received_.back().Lost = true;
        break;
      }
      const uint32_t Address = (uint32_t{Report[2]} << 16) | (uint32_t{Report[3]} << 8) | Report[4];
      const size_t Size = Report[5];
      const bool Absent =
          ((Address >> 16) == 0xA4 && !extensionPlugged_) || ((Address >> 16) == 0xA6 && !builtInMotionPlus_);
      uint8_t Error = failWrites_ > 0 ? failCode_ : 0;
      if (Size == 0 || Size > 16)
        Error = ErrorInvalid;
      else if (Absent)
        Error = ErrorAbsent;
      if (ackDelay_) {
        ackDue_.push_back({std::chrono::steady_clock::now() + AckDelayLocked(),
                           {0x22, static_cast<uint8_t>((buttons_ & CoreButtonBits) >> 8),
                            static_cast<uint8_t>(buttons_ & CoreButtonBits), 0x16, Error}});
        Wake();
      }
      if (Error != 0) {
        if (Error == failCode_ && failWrites_ > 0) --failWrites_;
        break;
      }
      for (size_t I = 0; I < Size; ++I) registers_[Address + static_cast<uint32_t>(I)] = Report[6 + I];
      if (Address == CameraEnableRegister && Size > 0 && camera1_ && camera2_) {
        // 0x01 begins the camera's set-up, 0x08 ends it; a camera that was reporting goes blank a moment.
        if (Report[6] == 0x01) {
          cameraBlankUntil_ =
              std::chrono::steady_clock::now() + std::chrono::milliseconds(CameraRestartBlankMs);
          cameraStarted_ = true;
          cameraOn_ = false;
        } else if (Report[6] == 0x08 && cameraStarted_) {
          cameraOn_ = true;
        }
      }
      if (Size > 0 && Address == ExtensionInitFirst && Report[6] == 0x55) extensionInitOrder_ = {0x55};
      if (Size > 0 && Address == ExtensionInitSecond) extensionInitOrder_.push_back(Report[6]);
      break;
    }
    default:
      break;
  }
}

void TVirtualWiimote::BroadcastLocked(const std::vector<uint8_t>& Report) {
  if (silent_ || linkLost_) return;
  // A full queue drops the report, as hidraw does. A connection whose other end has gone is dropped only
  // once what it wrote has been taken in.
  for (TConnection& C : connections_)
    if (!C.Closed) ::send(C.Fd.Get(), Report.data(), Report.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
  if (driverPlaying_) DriverSeesLocked(Report);
}

void TVirtualWiimote::SendStatusLocked(bool Requested) {
  const uint16_t Buttons = buttons_ & CoreButtonBits;
  uint8_t Flags = static_cast<uint8_t>(ledByte_ & 0xF0);
  if (extensionPlugged_) Flags |= 0x02;
  if (CameraEnabledLocked()) Flags |= 0x08;
  BroadcastLocked(
      {0x20, static_cast<uint8_t>(Buttons >> 8), static_cast<uint8_t>(Buttons), Flags, 0, 0, battery_});
  if (!Requested) paused_ = true;
  if (kernelDriver_) {
    // The kernel's driver answers every status report with a report mode of its own, rumble bit clear.
    mode_ = 0x31;
    rumble_ = false;
    paused_ = false;
  }
}

void TVirtualWiimote::SetSilent(bool Silent) {
  std::lock_guard Lock(mutex_);
  silent_ = Silent;
}

void TVirtualWiimote::SetStalled(bool Stalled) {
  std::lock_guard Lock(mutex_);
  stalled_ = Stalled;
  Wake();
}

void TVirtualWiimote::SetKernelDriverMode(bool On) {
  std::lock_guard Lock(mutex_);
  kernelDriver_ = On;
}

uint8_t TVirtualWiimote::RegisterOr(uint32_t Address, uint8_t Default) const {
  auto Found = registers_.find(Address);
  return Found != registers_.end() ? Found->second : Default;
}

void TVirtualWiimote::AppendIRLocked(std::vector<uint8_t>& Report, size_t Bytes) const {
  std::vector<uint8_t> IR;
  if (!CameraReportingLocked()) {
    IR.assign(Bytes, 0xFF);
  } else if (RegisterOr(CameraModeRegister, 0) == CameraModeBasic) {
    for (int Pair = 0; Pair < 2; ++Pair) {
      const TIRDot& A = dots_[2 * Pair];
      const TIRDot& B = dots_[2 * Pair + 1];
      const int AX = A.Seen ? A.X : 0x3FF, AY = A.Seen ? A.Y : 0x3FF;
      const int BX = B.Seen ? B.X : 0x3FF, BY = B.Seen ? B.Y : 0x3FF;
      IR.insert(IR.end(), {static_cast<uint8_t>(AX), static_cast<uint8_t>(AY),
                           static_cast<uint8_t>(((AY >> 8) & 3) << 6 | ((AX >> 8) & 3) << 4 |
                                                ((BY >> 8) & 3) << 2 | ((BX >> 8) & 3)),
                           static_cast<uint8_t>(BX), static_cast<uint8_t>(BY)});
    }
  } else {
    // Extended format, three bytes a dot; a report with less room carries only the first bytes.
    for (const TIRDot& Dot : dots_) {
      if (!Dot.Seen) {
        IR.insert(IR.end(), {0xFF, 0xFF, 0xFF});
        continue;
      }
      IR.insert(IR.end(), {static_cast<uint8_t>(Dot.X), static_cast<uint8_t>(Dot.Y),
                           static_cast<uint8_t>(((Dot.Y >> 8) & 3) << 6 | ((Dot.X >> 8) & 3) << 4 |
                                                (Dot.Size & 0x0F))});
    }
  }
  IR.resize(Bytes, 0xFF);
  Report.insert(Report.end(), IR.begin(), IR.end());
}

void TVirtualWiimote::AppendExtensionLocked(std::vector<uint8_t>& Report) const {
  // A Classic Controller at rest: sticks centred on its own scale, no button pressed.
  static constexpr uint8_t ClassicAtRest[6] = {0x60, 0x60, 0x10, 0x90, 0xFF, 0xFF};
  for (size_t I = 0; I < 6; ++I) {
    const uint8_t Raw = extensionKind_ == TExtensionKind::Nunchuk ? nunchuk_[I] : ClassicAtRest[I];
    if (!extensionPlugged_)
      Report.push_back(0x00);
    else if (PlainExtensionLocked())
      Report.push_back(Raw);
    else if (EncodedExtensionLocked())
      Report.push_back(Encode(Raw));
    else
      Report.push_back(0xFF);
  }
}

std::vector<uint8_t> TVirtualWiimote::DataReportLocked() const {
  const uint16_t Buttons = buttons_ & CoreButtonBits;
  std::vector<uint8_t> Report = {mode_, static_cast<uint8_t>(Buttons >> 8), static_cast<uint8_t>(Buttons)};
  switch (mode_) {
    case 0x30:
      break;
    case 0x31:
      Report.insert(Report.end(), accel_, accel_ + 3);
      break;
    case 0x33:
      Report.insert(Report.end(), accel_, accel_ + 3);
      AppendIRLocked(Report, 12);
      break;
    case 0x37:
      Report.insert(Report.end(), accel_, accel_ + 3);
      AppendIRLocked(Report, 10);
      AppendExtensionLocked(Report);
      break;
    default:
      return {};
  }
  return Report;
}

bool TVirtualWiimote::SendDataReport() {
  std::lock_guard Lock(mutex_);
  if (paused_) return false;
  const std::vector<uint8_t> Report = DataReportLocked();
  if (Report.empty()) return false;
  BroadcastLocked(Report);
  return true;
}

void TVirtualWiimote::SendRaw(const std::vector<uint8_t>& Report) {
  std::lock_guard Lock(mutex_);
  BroadcastLocked(Report);
}

void TVirtualWiimote::SetButtons(uint16_t Word) {
  std::lock_guard Lock(mutex_);
  if (kernelDriver_) {
    // The kernel's input device turns cross pad presses into arrow keys for the focused window.
    static constexpr std::pair<uint16_t, const char*> Arrows[] = {
        {0x0800, "Up"}, {0x0400, "Down"}, {0x0200, "Right"}, {0x0100, "Left"}};
    for (auto [Mask, Name] : Arrows)
      if ((Word & Mask) != 0 && (buttons_ & Mask) == 0) kernelKeys_.push_back(Name);
  }
  buttons_ = Word;
}

void TVirtualWiimote::SetAccel(uint8_t X, uint8_t Y, uint8_t Z) {
  std::lock_guard Lock(mutex_);
  accel_[0] = X;
  accel_[1] = Y;
  accel_[2] = Z;
}

void TVirtualWiimote::SetIRDot(int Index, int X, int Y, int Size) {
  std::lock_guard Lock(mutex_);
  dots_[Index & 3] = {X & 0x3FF, Y & 0x3FF, Size & 0x0F, true};
}

void TVirtualWiimote::HideIRDot(int Index) {
  std::lock_guard Lock(mutex_);
  dots_[Index & 3].Seen = false;
}

void TVirtualWiimote::SetNunchuk(uint8_t StickX, uint8_t StickY, uint8_t AccelX, uint8_t AccelY,
                                 uint8_t AccelZ, bool C, bool Z) {
  std::lock_guard Lock(mutex_);
  // Byte 5: a 0 bit is a pressed button (bit 0 Z, bit 1 C); its upper bits carry accelerometer low bits,
  // left at 0 here.
  const uint8_t Buttons = static_cast<uint8_t>((C ? 0 : 0x02) | (Z ? 0 : 0x01));
  const uint8_t Raw[6] = {StickX, StickY, AccelX, AccelY, AccelZ, Buttons};
  std::copy(Raw, Raw + 6, nunchuk_);
}

void TVirtualWiimote::SetBattery(uint8_t Level) {
  std::lock_guard Lock(mutex_);
  battery_ = Level;
}

void TVirtualWiimote::PlugExtension(bool Plugged, TExtensionKind Kind) {
  std::lock_guard Lock(mutex_);
  extensionPlugged_ = Plugged;
  extensionKind_ = Kind;
  if (!Plugged) {
    // A new extension starts uninitialised.
    for (uint32_t Address : {NunchukInitRegister, ExtensionInitFirst, ExtensionInitSecond})
      registers_.erase(Address);
    extensionInitOrder_.clear();
  }
  SendStatusLocked(false);
}

std::vector<TVirtualWiimote::TReceived> TVirtualWiimote::Received() const {
  std::lock_guard Lock(mutex_);
  return received_;
}

size_t TVirtualWiimote::ReceivedCount() const {
  std::lock_guard Lock(mutex_);
  return received_.size();
}

void TVirtualWiimote::ClearReceived() {
  std::lock_guard Lock(mutex_);
  received_.clear();
}

bool TVirtualWiimote::WaitForReceived(size_t Count, std::chrono::milliseconds Timeout) {
  std::unique_lock Lock(mutex_);
  return receivedChanged_.wait_for(Lock, Timeout, [&] { return received_.size() >= Count; });
}

uint8_t TVirtualWiimote::LedByte() const {
  std::lock_guard Lock(mutex_);
  return ledByte_;
}

std::array<uint8_t, 3> TVirtualWiimote::Accel() const {
  std::lock_guard Lock(mutex_);
  return {accel_[0], accel_[1], accel_[2]};
}

bool TVirtualWiimote::Rumble() const {
  std::lock_guard Lock(mutex_);
  return rumble_;
}

uint8_t TVirtualWiimote::ReportMode() const {
  std::lock_guard Lock(mutex_);
  return mode_;
}

void TVirtualWiimote::SetMemory(uint32_t Address, const std::vector<uint8_t>& Bytes) {
  std::lock_guard Lock(mutex_);
  for (size_t I = 0; I < Bytes.size(); ++I) registers_[Address + static_cast<uint32_t>(I)] = Bytes[I];
}

std::optional<uint8_t> TVirtualWiimote::Register(uint32_t Address) const {
  std::lock_guard Lock(mutex_);
  auto Found = registers_.find(Address);
  if (Found == registers_.end()) return std::nullopt;
  return Found->second;
}

bool TVirtualWiimote::ExtensionInitialised() const {
  std::lock_guard Lock(mutex_);
  return extensionPlugged_ && (PlainExtensionLocked() || EncodedExtensionLocked());
}

bool TVirtualWiimote::PlainExtensionLocked() const {
  // 0x55 then 0x00, in this order.
  return extensionInitOrder_.size() >= 2 && extensionInitOrder_[extensionInitOrder_.size() - 2] == 0x55 &&
         extensionInitOrder_.back() == 0x00;
}

bool TVirtualWiimote::EncodedExtensionLocked() const {
  return !thirdPartyExtension_ && RegisterOr(NunchukInitRegister, 0xFF) == 0x00;
}

void TVirtualWiimote::SetThirdPartyExtension(bool ThirdParty) {
  std::lock_guard Lock(mutex_);
  thirdPartyExtension_ = ThirdParty;
}

bool TVirtualWiimote::CameraEnabled() const {
  std::lock_guard Lock(mutex_);
  return CameraEnabledLocked();
}

bool TVirtualWiimote::CameraEnabledLocked() const {
  return camera1_ && camera2_ && cameraOn_;
}

bool TVirtualWiimote::CameraReportingLocked() const {
  return CameraEnabledLocked() && std::chrono::steady_clock::now() >= cameraBlankUntil_;
}

void TVirtualWiimote::ReadRegistersLocked(const std::vector<uint8_t>& Report) {
  const uint32_t Address = (uint32_t{Report[2]} << 16) | (uint32_t{Report[3]} << 8) | Report[4];
  const size_t Size = (size_t{Report[5]} << 8) | Report[6];
  // The id of the plugged extension, as it reads once initialised.
  // A MotionPlus not yet mapped into the extension's place answers in a block of its own.
  static constexpr uint8_t InactiveMotionPlusId[6] = {0x00, 0x00, 0xA6, 0x20, 0x00, 0x05};
  static constexpr uint8_t Ids[3][6] = {{0x00, 0x00, 0xA4, 0x20, 0x00, 0x00},
                                        {0x00, 0x00, 0xA4, 0x20, 0x01, 0x01},
                                        {0x00, 0x00, 0xA4, 0x20, 0x04, 0x05}};
  const bool Extension = (Address >> 16) == 0xA4;
  const bool MotionPlus = (Address >> 16) == 0xA6;
  uint8_t Error = 0;
  if (Size == 0)
    Error = ErrorInvalid;
  else if ((Extension && !extensionPlugged_) || (MotionPlus && !builtInMotionPlus_))
    Error = ErrorAbsent;
  for (size_t Done = 0; Done < Size || Done == 0; Done += 16) {
    const size_t Count = std::min<size_t>(Size - Done, 16);
    const uint32_t At = Address + static_cast<uint32_t>(Done);
    std::vector<uint8_t> Reply = {0x21,
                                  static_cast<uint8_t>((buttons_ & CoreButtonBits) >> 8),
                                  static_cast<uint8_t>(buttons_ & CoreButtonBits),
                                  static_cast<uint8_t>((Count > 0 ? (Count - 1) << 4 : 0) | Error),
                                  static_cast<uint8_t>(At >> 8),
                                  static_cast<uint8_t>(At)};
    for (size_t I = 0; I < 16; ++I) {
      const uint32_t A = At + static_cast<uint32_t>(I);
      uint8_t Byte = 0;
      if (Error != 0)
        Byte = 0;
      else if (I < Count && Extension && A >= 0xA400FA && A < 0xA40100)
        Byte = Ids[static_cast<int>(extensionKind_)][A - 0xA400FA];
      else if (I < Count && MotionPlus && A >= 0xA600FA && A < 0xA60100)
        Byte = InactiveMotionPlusId[A - 0xA600FA];
      else if (I < Count)
        Byte = RegisterOr(A, 0);
      Reply.push_back(Byte);
    }
    if (ackDelay_) ackDue_.push_back({std::chrono::steady_clock::now() + AckDelayLocked(), std::move(Reply)});
    if (Error != 0 || Size == 0) break;
  }
  Wake();
}

void TVirtualWiimote::PlayKernelDriver(bool On) {
  std::lock_guard Lock(mutex_);
  driverPlaying_ = On;
  driverStarted_ = driverProbed_ = false;
  driverSteps_.clear();
  driverWaiting_.reset();
}

void TVirtualWiimote::SetBuiltInMotionPlus(bool On) {
  std::lock_guard Lock(mutex_);
  builtInMotionPlus_ = On;
}

void TVirtualWiimote::KernelDriverPoll() {
  std::lock_guard Lock(mutex_);
  // Its check that the extension is as it left it, then the MotionPlus probe.
  driverSteps_.push_back(DriverRead(0xA400FA, 6));
  driverSteps_.push_back(DriverWrite(0xA600F0, 0x55, 1));
  driverSteps_.push_back(DriverWrite(0xA600FB, 0x00));
  driverSteps_.push_back(DriverRead(0xA600FA, 6));
  DriverRunLocked();
}

void TVirtualWiimote::KernelDriverReadsBattery() {
  std::lock_guard Lock(mutex_);
  driverSteps_.push_back(DriverStatus());
  DriverRunLocked();
}

size_t TVirtualWiimote::KernelDriverReportCount() const {
  std::lock_guard Lock(mutex_);
  return driverReports_;
}

bool TVirtualWiimote::KernelDriverIdle() const {
  std::lock_guard Lock(mutex_);
  return !driverWaiting_ && driverSteps_.empty() && (!driverPlaying_ || driverStarted_);
}

void TVirtualWiimote::ReturnZeroOnWrites(int Count) {
  std::lock_guard Lock(mutex_);
  zeroWrites_ = Count;
}

bool TVirtualWiimote::TakeZeroWrite() {
  std::lock_guard Lock(mutex_);
  if (zeroWrites_ <= 0) return false;
  --zeroWrites_;
  return true;
}

TVirtualWiimote::TDriverStep TVirtualWiimote::DriverWrite(uint32_t Address, uint8_t Data, int SkipOnError) {
  TDriverStep Step;
  Step.Report.assign(22, 0);
  Step.Report[0] = 0x16;
  Step.Report[1] = 0x04;
  Step.Report[2] = static_cast<uint8_t>(Address >> 16);
  Step.Report[3] = static_cast<uint8_t>(Address >> 8);
  Step.Report[4] = static_cast<uint8_t>(Address);
  Step.Report[5] = 1;
  Step.Report[6] = Data;
  Step.Wait = TDriverStep::TWait::Ack;
  Step.SkipOnError = SkipOnError;
  return Step;
}

TVirtualWiimote::TDriverStep TVirtualWiimote::DriverRead(uint32_t Address, uint8_t Size) {
  TDriverStep Step;
  Step.Report = {0x17,
                 0x04,
                 static_cast<uint8_t>(Address >> 16),
                 static_cast<uint8_t>(Address >> 8),
                 static_cast<uint8_t>(Address),
                 0x00,
                 Size};
  Step.Wait = TDriverStep::TWait::Read;
  Step.Offset = static_cast<uint16_t>(Address);
  return Step;
}

TVirtualWiimote::TDriverStep TVirtualWiimote::DriverStatus() {
  TDriverStep Step;
  Step.Report = {0x15, 0x00};
  Step.Wait = TDriverStep::TWait::Status;
  return Step;
}

void TVirtualWiimote::QueueDriverHotPlugLocked() {
  // The extension initialised (which also takes a MotionPlus out of its place), the MotionPlus probed,
  // both ids read, then a status report for the new state.
  driverSteps_.push_back(DriverWrite(ExtensionInitFirst, 0x55, 1));
  driverSteps_.push_back(DriverWrite(ExtensionInitSecond, 0x00));
  driverSteps_.push_back(DriverWrite(0xA600F0, 0x55, 1));
  driverSteps_.push_back(DriverWrite(0xA600FB, 0x00));
  driverSteps_.push_back(DriverRead(0xA600FA, 6));
  driverSteps_.push_back(DriverRead(0xA400FA, 6));
  driverSteps_.push_back(DriverStatus());
}

void TVirtualWiimote::DriverSeesLocked(const std::vector<uint8_t>& Report) {
  using TWait = TDriverStep::TWait;
  if (Report.empty()) return;
  if (Report[0] == 0x20 && Report.size() >= 4) {
    // A status report resets the report mode: it sets its own at once.
    TDriverStep Mode;
    Mode.Report = {0x12, 0x00, DriverMode};
    driverSteps_.push_front(Mode);
    const bool Extension = (Report[3] & 0x02) != 0;
    if (Extension != driverExtension_) {
      driverExtension_ = Extension;
      if (driverProbed_) QueueDriverHotPlugLocked();
    }
    if (driverWaiting_ && driverWaiting_->Wait == TWait::Status) DriverCompleteLocked(0);
  } else if (Report[0] == 0x21 && Report.size() >= 6 && driverWaiting_ &&
             driverWaiting_->Wait == TWait::Read &&
             ((Report[4] << 8) | Report[5]) == driverWaiting_->Offset) {
    DriverCompleteLocked(Report[3] & 0x0F);
  } else if (Report[0] == 0x22 && Report.size() >= 5 && driverWaiting_ &&
             driverWaiting_->Wait == TWait::Ack && Report[3] == driverWaiting_->Report[0]) {
    DriverCompleteLocked(Report[4]);
  }
  DriverRunLocked();
}

void TVirtualWiimote::DriverCompleteLocked(uint8_t Error) {
  int Skip = Error != 0 ? driverWaiting_->SkipOnError : 0;
  driverWaiting_.reset();
  // The report mode a status report brought goes first; the steps left out come after it.
  auto At = driverSteps_.begin();
  while (At != driverSteps_.end() && At->Wait == TDriverStep::TWait::None && At->Report.size() == 3 &&
         At->Report[0] == 0x12)
    ++At;
  while (Skip-- > 0 && At != driverSteps_.end()) At = driverSteps_.erase(At);
}

void TVirtualWiimote::DriverRunLocked() {
  if (driverRunning_) return;
  driverRunning_ = true;
  while (!driverWaiting_ && !driverSteps_.empty()) {
    TDriverStep Step = std::move(driverSteps_.front());
    driverSteps_.pop_front();
    if (Step.Action) Step.Action();
    if (Step.Report.empty()) continue;
    if (Step.Wait != TDriverStep::TWait::None) {
      driverWaiting_ = Step;
      driverWaitingSince_ = std::chrono::steady_clock::now();
    }
    HandleLocked(Step.Report, true);
  }
  driverRunning_ = false;
}
