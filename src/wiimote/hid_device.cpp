#include <fcntl.h>

#include <cerrno>
#include <charconv>

#include "wiimote/hid_device.h"

namespace {

bool ParseHexField(std::string_view Field, uint32_t& Value) {
  if (Field.empty() || Field.size() > 8) return false;
  const auto [End, Error] = std::from_chars(Field.data(), Field.data() + Field.size(), Value, 16);
  return Error == std::errc() && End == Field.data() + Field.size();
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
  ApplyDataHandler(Start.OnData);  // no reader yet: the device is not claimed
  readWaitSlice_.store(Start.ReadWaitSlice >= 10 && Start.ReadWaitSlice <= 10000 ? Start.ReadWaitSlice : 100);
  // Knowing that the node opens is enough here; the attributes come from the enumeration.
  TUniqueFd Probe = OpenNode(TOpenAccess::ReadWrite);
  if (!Probe.Valid()) throw EControllerError("device cannot be opened");
  if (!ParseHidId(interfaceInfo_.HidId, hidAttributes_))
    throw EControllerError("device cannot be identified");
  layout_ = ParseReportDescriptor(interfaceInfo_.ReportDescriptor);
}

TJvHidDevice::~TJvHidDevice() {
  StopThread();
  unplugHandler_ = nullptr;
}

TUniqueFd TJvHidDevice::OpenNode(TOpenAccess Access) {
  int Error = 0;
  TUniqueFd Fd = services_->Opener.Open(interfaceInfo_.InterfacePath, Access, Error);
  if (Access != TOpenAccess::ReadWrite) {
    if (!Fd.Valid()) lastError_ = Error;
    return Fd;
  }
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
  if (CanAccess() && !ioHandle_.Valid()) {
    ioHandle_ = OpenNode(TOpenAccess::ReadWrite);
    // Writes run on the main thread: one the device cannot take now fails with EAGAIN instead of holding
    // every frame up.
    if (ioHandle_.Valid()) ::fcntl(ioHandle_.Get(), F_SETFL, ::fcntl(ioHandle_.Get(), F_GETFL) | O_NONBLOCK);
  }
  return ioHandle_.Valid();
}

void TJvHidDevice::CloseIo() {
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
    Count = ::write(ioHandle_.Get(), Buffer, Length);
  } while (Count < 0 && errno == EINTR);
  if (Count < 0) {
    lastError_ = errno;
    return false;
  }
  BytesWritten = static_cast<size_t>(Count);
  if (BytesWritten != Length) {
    lastError_ = EIO;
    return false;
  }
  // A node the user could not open when it was claimed (udev had not applied its rule yet) got no reader;
  // a write that goes through shows the rights are there now.
  StartThread();
  return true;
}

void TJvHidDevice::SetReadWaitSlice(uint32_t Ms) {
  if (Ms >= 10 && Ms <= 10000) readWaitSlice_.store(Ms);
}

void TJvHidDevice::SetDataHandler(TJvHidDataEvent Handler) {
  dataHandlerFromController_ = false;
  ApplyDataHandler(std::move(Handler));
}

void TJvHidDevice::ApplyDataHandler(TJvHidDataEvent Handler) {
  if (!Handler) StopThread();
  dataHandler_ = std::move(Handler);
  StartThread();
}

void TJvHidDevice::StartThread() {
  if (!dataHandler_ || !plugged_ || !claimed_ || !readWriteOpen_ || readThread_) return;
  const uint16_t Length = QueryCaps().InputReportByteLength;
  if (Length == 0) return;  // the descriptor declares no input report: nothing to read
  TUniqueFd ReadHandle = OpenNode(TOpenAccess::ReadOnly);
  if (!ReadHandle.Valid()) return;
  readThread_ =
      std::make_unique<TJvHidDeviceReadThread>(*this, std::move(ReadHandle), Length, services_->HandOver);
}

void TJvHidDevice::StopThread() {
  readThread_.reset();
}

void TJvHidDevice::MarkUnplugged() {
  // The reader keeps its own handle until the device is released: closing a descriptor that another thread
  // polls would let a new file take its number.
  CloseIo();
  plugged_ = false;
  TJvHidPlugEvent Handler = std::move(unplugHandler_);
  unplugHandler_ = nullptr;
  if (Handler) Handler(*this);
}
