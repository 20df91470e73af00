#include "wiimote/wiimote_link.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <system_error>

#include "wiimote/battery.h"
#include "wiimote/led_byte.h"
#include "wiimote/wiimote_decoder.h"

namespace {

constexpr uint8_t RegisterWriteID = 0x16;
constexpr uint8_t RegisterReadID = 0x17;
constexpr uint8_t StatusRequestID = 0x15;
constexpr uint8_t AcknowledgeID = 0x22;
constexpr uint8_t ReadReplyID = 0x21;
constexpr uint32_t CameraRegisters = 0xB00000;

}  // namespace

bool IsWiiRemote(const TJvHidDevice& HidDev) {
  const std::string& Name = HidDev.InterfaceInfo().DeviceDescr;
  return Name != BalanceBoardName && Name != ProControllerName;
}

TWiimoteLink::TWiimoteLink(TJvHidDeviceController& HIDCtl, IWiimoteHost& Host, IClock& Clock)
    : TWiimoteLink(HIDCtl, Host, Clock, ownRecord_) {}

TWiimoteLink::TWiimoteLink(TJvHidDeviceController& HIDCtl, IWiimoteHost& Host, IClock& Clock,
                           TWiimote& Record)
    : hidCtl_(HIDCtl), host_(Host), clock_(Clock), wiimote_(Record) {
  hidCtl_.SetOnDeviceChange([this] { HIDCtlDeviceChange(); });
  hidCtl_.SetOnDeviceData([this](TJvHidDevice& HidDev, uint8_t ReportID, const uint8_t* Data, uint16_t Size) {
    WiiData(HidDev, ReportID, Data, Size);
  });
}

TWiimoteLink::~TWiimoteLink() {
  hidCtl_.SetOnDeviceChange(nullptr);
  hidCtl_.SetOnDeviceData(nullptr);
  hidCtl_.Release(wiiDevice_);
  hidCtl_.Release(quiet_);
}

void TWiimoteLink::HIDCtlDeviceChange() {
  if (wiiDevice_ != nullptr && !wiiDevice_->Plugged()) LetGo();
  if (quiet_ != nullptr && !quiet_->Plugged()) hidCtl_.Release(quiet_);
  // A device that has gone may come back as a working remote.
  std::erase_if(silentDevices_, [this](const std::string& Path) {
    return std::none_of(hidCtl_.DeviceList().begin(), hidCtl_.DeviceList().end(), [&](const auto& Device) {
      return Device->Plugged() && Device->InterfaceInfo().InstanceHandle == Path;
    });
  });
  TryClaim();
}

void TWiimoteLink::LetGo(bool Release) {
  host_.SetOptionsEnabled(false);
  StopInputTimers(host_);
  if (Release)
    hidCtl_.Release(wiiDevice_);
  else
    wiiDevice_ = nullptr;
  ledByte_ = -1;
  rumbleBit_ = 0;
  ClearSetUp();
  outbox_.clear();
  statusRequested_ = false;
  extension_ = TExtension::None;
  LetGoOfRemote(wiimote_, host_, clock_.Milliseconds());
}

void TWiimoteLink::TryClaim() {
  const auto Accept = [this](const TJvHidDevice& HidDev) {
    return IsWiiRemote(HidDev) && (!claimRule_ || claimRule_(HidDev)) &&
           std::find(silentDevices_.begin(), silentDevices_.end(), HidDev.InterfaceInfo().InstanceHandle) ==
               silentDevices_.end();
  };
  if (wiiDevice_ == nullptr &&
      (hidCtl_.ClaimByIds(wiiDevice_, WiimoteVendorID, WiimoteProductID, Accept) ||
       hidCtl_.ClaimByIds(wiiDevice_, WiimoteVendorID, WiimotePlusProductID, Accept))) {
    // Another remote answers: the quiet one is not waited for.
    hidCtl_.Release(quiet_);
    Claimed();
  }
  host_.SetCaption(wiiDevice_ != nullptr ? CaptionConnected : CaptionNotDetected);
}

void TWiimoteLink::Claimed() {
  ledByte_ = -1;
  answered_ = false;
  statusRequested_ = false;
  shared_ = wiiDevice_->InterfaceInfo().Driver == KernelDriverName;
  if (!kernelDriverNoticeShown_ && shared_) {
    kernelDriverNoticeShown_ = true;
    host_.SetStatusNotice(KernelDriverNotice);
  }
  ConnectSequence();
  host_.SetOptionsEnabled(true);
  StartInputTimers(host_);
}

void TWiimoteLink::FellQuiet() {
  // The motor must not go on for a remote the program has let go; a link only gone quiet still hears it.
  rumbleBit_ = 0;
  ClearSetUp();
  outbox_.clear();
  SendReport(MakeRumbleReport());
  quiet_ = wiiDevice_;
  LetGo(false);
  TryClaim();
}

void TWiimoteLink::TakeBack() {
  wiiDevice_ = quiet_;
  quiet_ = nullptr;
  Claimed();
  host_.SetCaption(CaptionConnected);
}

void TWiimoteLink::ConnectSequence() {
  // The set-up, the mode and the status request go out in this order as the remote acknowledges each
  // step; the frames go on meanwhile.
  extension_ = TExtension::None;
  foundLeds_ = -1;
  lastReportAt_ = clock_.Milliseconds();
  // The camera is set up with the Nunchuk modes too: the 0x37 reports carry its points, which the IR
  // pointer and the check tool read whatever the mode.
  SetupIRCamera();
  QueueSetUp({MakeStatusRequestReport()});
}

uint8_t TWiimoteLink::DataMode() const {
  return host_.WiimoteSettings().UseNunchuk ? ModeButtonsAccelIRExtension : ModeButtonsAccelIR;
}

void TWiimoteLink::QueueSetUp(const TSetUpStep& Step) {
  setUp_.push_back(Step);
  SendSetUp();
}

void TWiimoteLink::ClearSetUp() {
  setUp_.clear();
  pending_.reset();
}

void TWiimoteLink::SendSetUp() {
  while (!pending_ && !setUp_.empty()) {
    const TSetUpStep Step = setUp_.front();
    setUp_.pop_front();
    if (!SendReport(Step.Report)) continue;
    if (Step.Reply != 0) {
      pending_ = Step;
      pendingSince_ = clock_.Milliseconds();
    } else if (Step.Report.ReportID() == StatusRequestID && !statusRequested_) {
      statusRequested_ = true;
      statusRequestedAt_ = clock_.Milliseconds();
    }
  }
}

void TWiimoteLink::StepFailed(int Error) {
  TSetUpStep Step = *pending_;
  pending_.reset();
  if (++Step.Tries < SetUpTries) {
    setUp_.push_front(Step);
  } else {
    const TOutputReport& R = Step.Report;
    char Where[64];
    const bool Register = R.ReportID() == RegisterWriteID || R.ReportID() == RegisterReadID;
    if (Register)
      std::snprintf(Where, sizeof Where, "relatório 0x%02X, endereço 0x%02X%02X%02X", R.ReportID(),
                    R.Bytes[2], R.Bytes[3], R.Bytes[4]);
    else
      std::snprintf(Where, sizeof Where, "relatório 0x%02X", R.ReportID());
    const std::string Text = "Wii Remote não aceitou a configuração (" + std::string(Where) + "): " +
                             (Error < 0 ? "sem resposta após " + std::to_string(SetUpTries) + " tentativas"
                                        : "erro " + std::to_string(Error)) +
                             ".";
    host_.SetStatusNotice(Text);
    if (Register && R.Bytes[2] == (ExtensionIdRegister >> 16)) {
      // The extension's set-up is given up for now, not for good: the next status report starts it again.
      std::erase_if(setUp_, [](const TSetUpStep& S) {
        return S.Report.ReportID() != StatusRequestID && S.Report.Bytes[2] == (ExtensionIdRegister >> 16);
      });
      if (extension_ == TExtension::Identifying) extension_ = TExtension::None;
    }
  }
  SendSetUp();
}

void TWiimoteLink::FlushOutbox() {
  while (wiiDevice_ != nullptr && !outbox_.empty()) {
    int Error = 0;
    if (!WriteNow(outbox_.front(), Error)) {
      if (Error == EAGAIN || Error == EWOULDBLOCK) break;
      ShowWriteError(Error);
    }
    outbox_.pop_front();
  }
}

void TWiimoteLink::Tick() {
  if (wiiDevice_ == nullptr) return;
  const uint32_t Now = clock_.Milliseconds();
  FlushOutbox();
  if (pending_ && Now - pendingSince_ >= RegisterWriteAckTimeoutMs) StepFailed(-1);
  const bool NeverAnswered = !answered_ && statusRequested_ && Now - statusRequestedAt_ >= AnswerTimeoutMs;
  const bool FellSilent = answered_ && Now - lastReportAt_ >= LinkSilenceMs;
  if (FellSilent) {
    FellQuiet();
  } else if (NeverAnswered) {
    // Not a remote that works: it is not claimed again until its node has gone.
    silentDevices_.push_back(wiiDevice_->InterfaceInfo().InstanceHandle);
    LetGo();
    TryClaim();
  }
}

void TWiimoteLink::FinishWrites(uint32_t MaxMs) {
  const uint32_t Start = clock_.Milliseconds();
  // The waits are counted as well as timed, so that a clock that never moves (a test's) cannot hold the
  // exit up: either way the writes get about MaxMs.
  uint32_t Waits = 0;
  bool SaidWritable = false;
  for (;;) {
    const size_t Waiting = outbox_.size();
    FlushOutbox();
    if (wiiDevice_ == nullptr || outbox_.empty()) return;
    if (outbox_.size() < Waiting) {
      SaidWritable = false;
      continue;  // the queue shrinks every time round: this ends
    }
    const uint32_t Spent = clock_.Milliseconds() - Start;
    if (Spent >= MaxMs || Waits++ >= MaxMs / FinishWritesSliceMs) return;
    const int Slice = static_cast<int>(std::min(MaxMs - Spent, FinishWritesSliceMs));
    if (!SaidWritable) {
      SaidWritable = wiiDevice_->WaitWritable(Slice);
    } else {
      // Writable, it said, and yet it refused (hidraw calls every node writable): a slice goes by instead of
      // a loop that spins.
      ::poll(nullptr, 0, Slice);
      SaidWritable = false;
    }
  }
}

void TWiimoteLink::WiiData(TJvHidDevice& HidDev, uint8_t ReportID, const uint8_t* Data, uint16_t Size) {
  // The controller's data handler reaches every claimed device: only this remote's reports count.
  if (quiet_ != nullptr && &HidDev == quiet_ && !shutDown_) TakeBack();
  if (&HidDev != wiiDevice_ || shutDown_) return;
  answered_ = true;
  lastReportAt_ = clock_.Milliseconds();
  if (observer_) {
    std::vector<uint8_t> Whole(size_t{Size} + 1);
    Whole[0] = ReportID;
    std::copy_n(Data, Size, Whole.begin() + 1);
    observer_('<', Whole.data(), Whole.size());
  }
  ParseReport(ReportID, Data, Size);
  bool Ours = true;
  if (ReportID == AcknowledgeID && Size > 3) Ours = AcknowledgementArrived(Data[2], Data[3]);
  if (ReportID == ReadReplyID) Ours = ReadReplyArrived(Data, Size);
  if (!Ours && wiiDevice_ != nullptr) {
    // A reply to another writer, whose reports carry its own rumble bit (the kernel's driver: clear): the
    // motor is put back as it was, and register writes are checked from now on.
    shared_ = true;
    if (rumbleBit_ != 0) SendReport(MakeRumbleReport());
  }
}

bool TWiimoteLink::AcknowledgementArrived(uint8_t ReportID, uint8_t Error) {
  // An acknowledgement says only the report ID and an error code. One of another report than the pending
  // step's is someone else's; one of a register write may be the kernel's driver's, which writes registers
  // of its own, so while it shares the link a camera write is read back before it counts as done.
  if (!pending_ || pending_->Reply != AcknowledgeID || pending_->Report.ReportID() != ReportID) return false;
  if (Error != 0) {
    StepFailed(Error);
    return true;
  }
  const TOutputReport Written = pending_->Report;
  const int Tries = pending_->Tries;
  pending_.reset();
  if (shared_ && ReportID == RegisterWriteID && Written.Bytes[2] == (CameraRegisters >> 16)) {
    TSetUpStep Check{MakeRegisterReadReport(
                         (uint32_t{Written.Bytes[2]} << 16) | (Written.Bytes[3] << 8) | Written.Bytes[4],
                         Written.Bytes[5]),
                     ReadReplyID, Tries, Written};
    setUp_.push_front(Check);
  }
  SendSetUp();
  return true;
}

bool TWiimoteLink::ReadReplyArrived(const uint8_t* Data, size_t Size) {
  // Buttons (2), size-1 and error nibbles, the address's low 16 bits, then up to 16 bytes. The reply says
  // only the low 16 bits, which the kernel's driver's MotionPlus reads at 0xA600FA share with ours at
  // 0xA400FA: a reply is ours only at the address and size asked for, and in the shape of what was asked.
  if (Size < 5 || !pending_ || pending_->Reply != ReadReplyID) return false;
  const TOutputReport& Asked = pending_->Report;
  if (Data[3] != Asked.Bytes[3] || Data[4] != Asked.Bytes[4]) return false;
  const uint8_t Error = Data[2] & 0x0F;
  const size_t Length = (Data[2] >> 4) + 1u;
  const size_t Wanted = std::min<size_t>((size_t{Asked.Bytes[5]} << 8) | Asked.Bytes[6], 16);
  const bool IdRead =
      Asked.Bytes[2] == (ExtensionIdRegister >> 16) && Data[4] == (ExtensionIdRegister & 0xFF);
  const bool CalibrationRead =
      Asked.Bytes[2] == (NunchukCalibrationRegister >> 16) && Data[4] == (NunchukCalibrationRegister & 0xFF);
  if (Error != 0 && CalibrationRead) {
    // A Nunchuk that keeps no calibration is read on the nominal one: nothing to try again.
    pending_.reset();
    SendSetUp();
    return true;
  }
  if (Error != 0) {
    // Where another reader reads at the same low bits, an error may be its (the driver's error 7 where no
    // MotionPlus is): it uses up none of our tries, and a read of ours that does fail times out instead.
    if (shared_ && IdRead) return false;
    if (pending_->Verifies) {
      // Registers that cannot be read back cannot tell: the write stands.
      pending_.reset();
      SendSetUp();
      return true;
    }
    StepFailed(Error);
    return true;
  }
  if (Length != Wanted || Size < 5 + Wanted) return false;
  // A MotionPlus answers in its own register block with A6 where an extension says A4.
  if (IdRead && Data[7] == 0xA6) return false;
  if (pending_->Verifies) {
    VerificationArrived(Data + 5, Wanted);
    return true;
  }
  pending_.reset();
  if (IdRead) ExtensionIdArrived(Data + 5);
  // A block that fails its check bytes (or reads all zero) leaves the nominal calibration.
  if (CalibrationRead && extension_ == TExtension::Nunchuk)
    nunchukCalibration_ = ParseNunchukCalibration(Data + 5, Wanted);
  SendSetUp();
  return true;
}

void TWiimoteLink::VerificationArrived(const uint8_t* Data, size_t Size) {
  TSetUpStep Check = *pending_;
  pending_.reset();
  const TOutputReport& Written = *Check.Verifies;
  if (!std::equal(Data, Data + Size, Written.Bytes.begin() + 6)) {
    // The acknowledgement was another writer's and ours was lost: the write goes again.
    TSetUpStep Again{Written, AcknowledgeID, Check.Tries + 1, std::nullopt};
    if (Again.Tries < SetUpTries)
      setUp_.push_front(Again);
    else
      host_.SetStatusNotice("Wii Remote não guardou a configuração da câmera.");
  }
  SendSetUp();
}

void TWiimoteLink::ExtensionIdArrived(const uint8_t* Id) {
  // A Nunchuk (official or not) says A4 20 00 00 in its last four id bytes; a Classic Controller ends in
  // 01 01, an active MotionPlus in 04 05.
  const bool Nunchuk = Id[2] == 0xA4 && Id[3] == 0x20 && Id[4] == 0x00 && Id[5] == 0x00;
  if (extension_ == TExtension::Identifying) {
    extension_ = Nunchuk ? TExtension::Nunchuk : TExtension::Other;
    if (!Nunchuk) host_.SetStatusNotice(OtherExtensionNotice);
    // Each Nunchuk keeps its own centre and ends: read before the next step of the set-up.
    nunchukCalibration_.reset();
    if (Nunchuk) setUp_.push_front({MakeRegisterReadReport(NunchukCalibrationRegister, 16), ReadReplyID});
    // Decoded from the next report on; the next status report would say it too.
    wiimote_.ExtensionConnected = Nunchuk;
  }
}

bool TWiimoteLink::StatusArrived(const TStatusFlags& Flags) {
  if (foundLeds_ < 0) foundLeds_ = Flags.Leds;
  // The LEDs may have been set behind our back (the kernel's driver lights LED 1 at connect): the byte
  // last written is no longer what the remote shows, and the next frame writes its own again.
  if (ledByte_ >= 0 && (ledByte_ & 0xF0) != Flags.Leds) ledByte_ = -1;
  if (!Flags.ExtensionPlugged)
    extension_ = TExtension::None;
  else if (extension_ == TExtension::None)
    SetupNunchuk();
  // A camera found off (reconnected, or switched off behind our back) is set up again; only then.
  if (!Flags.CameraOn && !SetUpPending()) SetupIRCamera();
  // After any status report the remote sends no data until a mode is set, and the kernel's driver has set
  // its own with the rumble off: ours goes again, carrying the rumble bit as every report does.
  SetReportMode(DataMode());
  return extension_ == TExtension::Nunchuk;
}

void TWiimoteLink::ParseReport(uint8_t ReportID, const uint8_t* Data, size_t Size) {
  TWiimoteDecodeEvents Events;
  Events.Now = clock_.Milliseconds();
  if (nunchukCalibration_) Events.NunchukCalibration = &*nunchukCalibration_;
  Events.ButtonEdge = [this](uint16_t Mask, int Kind, TButtonState& State) {
    host_.ButtonEdge(Mask, Kind, State);
  };
  Events.Status = [this](const TStatusFlags& Flags) { return StatusArrived(Flags); };
  ::ParseReport(wiimote_, ReportID, Data, Size, Events);
}

void TWiimoteLink::ShowBattery() {
  host_.SetBatteryText("Bateria: " + std::to_string(BatteryPercent(wiimote_.BatteryLevel)) + "%");
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
  size_t Written = 0;
  if (wiiDevice_->WriteReport(WithRumble.Bytes.data(), Length, Written)) {
    if (observer_) observer_('>', WithRumble.Bytes.data(), Length);
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

void TWiimoteLink::InsertBeforeStatus(std::initializer_list<TSetUpStep> Steps) {
  // Ahead of a queued status request, so that its reply finds the set-up done.
  auto At = std::find_if(setUp_.begin(), setUp_.end(),
                         [](const TSetUpStep& S) { return S.Report.ReportID() == StatusRequestID; });
  setUp_.insert(At, Steps.begin(), Steps.end());
  SendSetUp();
}

void TWiimoteLink::SetupIRCamera() {
  // What is still queued of an earlier camera set-up is replaced.
  std::erase_if(setUp_, [](const TSetUpStep& S) {
    return S.Report.ReportID() != StatusRequestID && S.Report.Bytes[2] != (ExtensionIdRegister >> 16);
  });
  if (pending_ && pending_->Report.Bytes[2] == (CameraRegisters >> 16)) pending_.reset();
  // The sensitivity: 0x90 at 0xB00006, 0xC0 at 0xB00008, 0x40 at 0xB0001A, the rest 0.
  static constexpr uint8_t Block1[9] = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x90, 0x00, 0xC0};
  static constexpr uint8_t Block2[2] = {0x40, 0x00};
  InsertBeforeStatus({{MakeIRCameraEnableReport(0x13), AcknowledgeID},
                      {MakeIRCameraEnableReport(0x1A), AcknowledgeID},
                      {MakeRegisterWriteReport(0xB00030, 0x01), AcknowledgeID},
                      {MakeRegisterBlockReport(CameraRegisters, Block1), AcknowledgeID},
                      {MakeRegisterBlockReport(0xB0001A, Block2), AcknowledgeID},
                      {MakeRegisterWriteReport(0xB00033, 0x33), AcknowledgeID},
                      {MakeRegisterWriteReport(0xB00030, 0x08), AcknowledgeID},
                      {MakeReportModeReport(DataMode())}});
}

void TWiimoteLink::SetupNunchuk() {
  extension_ = TExtension::Identifying;
  // This initialisation works on official and third-party extensions alike, and turns the encoding of
  // their bytes off; the id is read after it, as it reads right only then.
  InsertBeforeStatus({{MakeRegisterWriteReport(0xA400F0, 0x55), AcknowledgeID},
                      {MakeRegisterWriteReport(0xA400FB, 0x00), AcknowledgeID},
                      {MakeRegisterReadReport(ExtensionIdRegister, 6), ReadReplyID}});
}

void TWiimoteLink::Shutdown() {
  // What still waits to be written no longer matters; these two do, and must find room.
  ClearSetUp();
  outbox_.clear();
  shutDown_ = true;
  SetLeds(LedsFourOnly);
  SetReportMode(ModeButtons);
  FinishWrites(ShutdownWaitMs);
}

void TWiimoteLink::LeaveAsFound() {
  ClearSetUp();
  outbox_.clear();
  shutDown_ = true;
  rumbleBit_ = 0;
  SetLeds(static_cast<uint8_t>(foundLeds_ >= 0 ? foundLeds_ : LedsFourOnly));
  SetReportMode(ModeButtons);
  FinishWrites(ShutdownWaitMs);
}
