#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>

#include "wiimote/hid_device.h"

namespace {

bool ParseHexField(std::string_view Field, uint32_t& Value) {
  if (Field.empty() || Field.size() > 8) return false;
  const auto [End, Error] = std::from_chars(Field.data(), Field.data() + Field.size(), Value, 16);
  return Error == std::errc() && End == Field.data() + Field.size();
}

bool HungUp(int Fd) {
  const int Saved = errno;
  pollfd Poll{Fd, POLLIN, 0};
  const bool Gone = ::poll(&Poll, 1, 0) > 0 && (Poll.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
  errno = Saved;
  return Gone;
}

}  // namespace

bool ParseHidId(std::string_view HidId, THidAttributes& Attributes) {
  const size_t First = HidId.find(':');
  if (First == std::string_view::npos) return false;
  const size_t Second = HidId.find(':', First + 1);
  if (Second == std::string_view::npos) return false;
  uint32_t Bus = 0, Vendor = 0, Product = 0;
  if (!ParseHexField(HidId.substr(0, First), Bus) ||
      !ParseHexField(HidId.substr(First + 1, Second - First - 1), Vendor) ||
      !ParseHexField(HidId.substr(Second + 1), Product))
    return false;
  if (Bus > 0xFFFF || Vendor > 0xFFFF || Product > 0xFFFF) return false;
  Attributes.BusType = static_cast<uint16_t>(Bus);
  Attributes.VendorID = static_cast<uint16_t>(Vendor);
  Attributes.ProductID = static_cast<uint16_t>(Product);
  Attributes.VersionNumber = 0;
  return true;
}

TJvHidDevice::TJvHidDevice(TJvHidDeviceController& Controller, const THidDeviceStart& Start,
                           TJvHidPnPInfo Info)
    : controller_(&Controller), services_(&Start.Services), interfaceInfo_(std::move(Info)) {
  dataErrorHandler_ = Start.OnDataError;
  unplugHandler_ = Start.OnUnplug;
  ApplyDataHandler(Start.OnData);  // nothing is read yet: the device is not claimed
  // Knowing that the node opens is enough here; the attributes come from the enumeration. A device that is
  // not claimed holds no descriptor: every open one gets its own copy of each input report.
  if (!OpenNode().Valid()) throw EControllerError("device cannot be opened");
  if (!ParseHidId(interfaceInfo_.HidId, hidAttributes_))
    throw EControllerError("device cannot be identified");
  layout_ = ParseReportDescriptor(interfaceInfo_.ReportDescriptor);
}

TJvHidDevice::~TJvHidDevice() {
  StopReading();
  unplugHandler_ = nullptr;
}

TUniqueFd TJvHidDevice::OpenNode() {
  int Error = 0;
  TUniqueFd Fd = services_->Opener.Open(interfaceInfo_.InterfacePath, TOpenAccess::ReadWrite, Error);
  readWriteOpen_ = Fd.Valid();
  if (Fd.Valid()) return Fd;
  // Keep the reason the read-write open failed: it is what a later write reports (often EACCES, when the
  // udev rule that gives the user the node is missing).
  lastError_ = Error;
  int Ignored = 0;
  return services_->Opener.Open(interfaceInfo_.InterfacePath, TOpenAccess::None, Ignored);
}

THidCaps TJvHidDevice::QueryCaps() const {
  THidCaps Caps;
  Caps.InputReportByteLength = layout_.LargestReportLength(THidReportKind::Input);
  Caps.OutputReportByteLength = layout_.LargestReportLength(THidReportKind::Output);
  Caps.FeatureReportByteLength = layout_.LargestReportLength(THidReportKind::Feature);
  return Caps;
}

uint16_t TJvHidDevice::OutputReportLength(uint8_t ReportID) const {
  return layout_.ReportLength(THidReportKind::Output, ReportID);
}

bool TJvHidDevice::OpenIo() {
  if (CanAccess() && !ioHandle_.Valid()) ioHandle_ = OpenNode();
  return ioHandle_.Valid();
}

void TJvHidDevice::CloseIo() {
  // The watch goes first: it must never see the descriptor's number taken by another file.
  StopReading();
  ioHandle_.Reset();
}

bool TJvHidDevice::WriteReport(const void* Buffer, size_t Length, size_t& BytesWritten) {
  BytesWritten = 0;
  if (!OpenIo()) {
    if (!CanAccess()) lastError_ = plugged_ ? EPERM : ENODEV;
    return false;
  }
  // A handle without access rights cannot write; lastError_ already says why the read-write open failed.
  // It is closed so that the next write tries that open again instead of failing for good.
  if (!readWriteOpen_) {
    CloseIo();
    return false;
  }
  ssize_t Count;
  do {
    Count = services_->Opener.Write(ioHandle_.Get(), Buffer, Length);
  } while (Count < 0 && errno == EINTR);
  if (Count < 0) {
    lastError_ = errno;
    return false;
  }
  BytesWritten = static_cast<size_t>(Count);
  if (Count == 0) {
    // Some older Bluetooth stacks take nothing and say 0 rather than EAGAIN: the same, for the writer.
    lastError_ = EAGAIN;
    return false;
  }
  if (BytesWritten != Length) {
    lastError_ = EIO;
    return false;
  }
  // A node the user could not open when it was claimed (udev had not applied its rule yet) was not read;
  // a write that goes through shows the rights are there now.
  StartReading();
  return true;
}

bool TJvHidDevice::WaitWritable(int TimeoutMs) const {
  if (!ioHandle_.Valid() || !readWriteOpen_) return false;
  pollfd Fd{ioHandle_.Get(), POLLOUT, 0};
  int Ready;
  do {
    Ready = ::poll(&Fd, 1, TimeoutMs);
  } while (Ready < 0 && errno == EINTR);
  return Ready > 0 && (Fd.revents & POLLOUT) != 0;
}

void TJvHidDevice::SetDataHandler(TJvHidDataEvent Handler) {
  dataHandlerFromController_ = false;
  ApplyDataHandler(std::move(Handler));
}

void TJvHidDevice::FollowDataHandler(const TJvHidDataEvent& Handler) {
  if (dataHandlerFromController_) ApplyDataHandler(Handler);
}

void TJvHidDevice::SetUnplugHandler(TJvHidPlugEvent Handler) {
  if (plugged_) unplugHandler_ = std::move(Handler);
}

void TJvHidDevice::ApplyDataHandler(TJvHidDataEvent Handler) {
  if (!Handler) StopReading();
  dataHandler_ = std::move(Handler);
  StartReading();
}

void TJvHidDevice::SetClaimed(bool Claimed) {
  claimed_ = Claimed;
  if (Claimed) {
    StartReading();
  } else {
    CloseIo();
    readEnded_ = false;
  }
}

void TJvHidDevice::RaisePlugEvent(const TJvHidPlugEvent& Event) {
  if (!Event) return;
  inPlugEvent_ = true;
  Event(*this);
  inPlugEvent_ = false;
}

void TJvHidDevice::RetryAccess() {
  if (!claimed_ || !plugged_ || readWatch_ || readEnded_) return;
  StartReading();
}

void TJvHidDevice::StartReading() {
  if (!dataHandler_ || !plugged_ || !claimed_ || readWatch_ || readEnded_) return;
  const uint16_t Length = QueryCaps().InputReportByteLength;
  if (Length == 0) return;  // the descriptor declares no input report: nothing to read
  if (!OpenIo()) return;
  // A handle without access rights cannot be read: the next write or device change tries the open again.
  if (!readWriteOpen_) {
    ioHandle_.Reset();
    return;
  }
  readBuffer_ = std::make_shared<std::vector<uint8_t>>(Length);
  readWatch_ = services_->Loop.Watch(ioHandle_.Get(), [this] { ReadWaiting(); });
}

void TJvHidDevice::StopReading() {
  readWatch_.reset();
  readBuffer_.reset();
}

void TJvHidDevice::ReadWaiting() {
  // Copies: a handler may release the device (its buffer goes) or destroy it.
  const std::shared_ptr<std::vector<uint8_t>> Buffer = readBuffer_;
  const std::weak_ptr<bool> Alive = alive_;
  for (;;) {
    const ssize_t Count = ::read(ioHandle_.Get(), Buffer->data(), Buffer->size());
    if (Count > 0) {
      TJvHidDataEvent Handler = dataHandler_;
      if (Handler) Handler(*this, (*Buffer)[0], Buffer->data() + 1, static_cast<uint16_t>(Count - 1));
      // The handler released the device, or destroyed it, or stopped its reading: nothing more is read.
      if (Alive.expired() || readBuffer_ != Buffer) return;
      continue;
    }
    if (Count < 0 && errno == EINTR) continue;
    if (Count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      // Nothing more to read, but the descriptor may have hung up or failed without a read error to say
      // so; left alone it would stay ready for good.
      if (HungUp(ioHandle_.Get())) ReadFailed(ENODEV);
      return;
    }
    // End of file, or a read error: the device has vanished (hidraw reads EIO after its device went).
    // Reading again would fail the same way, so reading ends here; the next device change releases it.
    const int Error = Count == 0 || HungUp(ioHandle_.Get()) ? ENODEV : errno;
    ReadFailed(static_cast<uint32_t>(Error));
    return;
  }
}

void TJvHidDevice::ReadFailed(uint32_t Error) {
  StopReading();
  readEnded_ = true;
  TJvHidDataErrorEvent Handler = dataErrorHandler_;
  if (Handler) Handler(*this, Error);
}

void TJvHidDevice::MarkUnplugged() {
  CloseIo();
  plugged_ = false;
  TJvHidPlugEvent Handler = std::move(unplugHandler_);
  unplugHandler_ = nullptr;
  if (Handler) Handler(*this);
}
