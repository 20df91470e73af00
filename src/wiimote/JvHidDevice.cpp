#include <cerrno>
#include <charconv>

#include "wiimote/JvHidControllerClass.h"

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

TJvHidDevice::TJvHidDevice(TJvHidDeviceController& Controller, TJvHidPnPInfo Info)
    : FController(&Controller), FInterfaceInfo(std::move(Info)) {
  FDataErrorHandler = Controller.FOnDeviceDataError;
  FUnplugHandler = Controller.FOnDeviceUnplug;
  ApplyDataHandler(Controller.FOnDeviceData);  // no reader yet: the device is not claimed
  FReadWaitSlice.store(Controller.FDevThreadSleepTime >= 10 && Controller.FDevThreadSleepTime <= 10000
                           ? Controller.FDevThreadSleepTime
                           : 100);
  // Knowing that the node opens is enough here; the attributes come from the enumeration.
  TUniqueFd Probe = OpenNode(TOpenAccess::ReadWrite);
  if (!Probe.Valid()) throw EControllerError("device cannot be opened");
  if (!ParseHidId(FInterfaceInfo.HidId, FHidAttributes))
    throw EControllerError("device cannot be identified");
  FLayout = ParseReportDescriptor(FInterfaceInfo.ReportDescriptor);
}

TJvHidDevice::~TJvHidDevice() {
  StopThread();
  FUnplugHandler = nullptr;
}

TUniqueFd TJvHidDevice::OpenNode(TOpenAccess Access) {
  int Error = 0;
  TUniqueFd Fd = FController->FServices.Opener.Open(FInterfaceInfo.InterfacePath, Access, Error);
  if (Access != TOpenAccess::ReadWrite) {
    if (!Fd.Valid()) FLastError = Error;
    return Fd;
  }
  FReadWriteOpen = Fd.Valid();
  if (Fd.Valid()) return Fd;
  // Keep the reason the read-write open failed: it is what a later write reports (often EACCES, when the
  // udev rule that gives the user the node is missing).
  FLastError = Error;
  int Ignored = 0;
  return FController->FServices.Opener.Open(FInterfaceInfo.InterfacePath, TOpenAccess::None, Ignored);
}

THidCaps TJvHidDevice::QueryCaps() const {
  THidCaps Caps;
  Caps.InputReportByteLength = FLayout.LargestReportLength(THidReportKind::Input);
  Caps.OutputReportByteLength = FLayout.LargestReportLength(THidReportKind::Output);
  Caps.FeatureReportByteLength = FLayout.LargestReportLength(THidReportKind::Feature);
  return Caps;
}

uint16_t TJvHidDevice::OutputReportLength(uint8_t ReportID) const {
  return FLayout.ReportLength(THidReportKind::Output, ReportID);
}

bool TJvHidDevice::OpenIo() {
  if (CanAccess() && !FIoHandle.Valid()) FIoHandle = OpenNode(TOpenAccess::ReadWrite);
  return FIoHandle.Valid();
}

void TJvHidDevice::CloseIo() {
  FIoHandle.Reset();
}

bool TJvHidDevice::WriteReport(const void* Buffer, size_t Length, size_t& BytesWritten) {
  BytesWritten = 0;
  if (!OpenIo()) {
    if (!CanAccess()) FLastError = FPlugged ? EPERM : ENODEV;
    return false;
  }
  // A handle without access rights cannot write; FLastError already says why the read-write open failed.
  // It is closed so that the next write tries that open again instead of failing for good.
  if (!FReadWriteOpen) {
    CloseIo();
    return false;
  }
  ssize_t Count;
  do {
    Count = ::write(FIoHandle.Get(), Buffer, Length);
  } while (Count < 0 && errno == EINTR);
  if (Count < 0) {
    FLastError = errno;
    return false;
  }
  BytesWritten = static_cast<size_t>(Count);
  if (BytesWritten != Length) {
    FLastError = EIO;
    return false;
  }
  return true;
}

void TJvHidDevice::SetReadWaitSlice(uint32_t Ms) {
  if (Ms >= 10 && Ms <= 10000) FReadWaitSlice.store(Ms);
}

void TJvHidDevice::SetDataHandler(TJvHidDataEvent Handler) {
  FDataHandlerFromController = false;
  ApplyDataHandler(std::move(Handler));
}

void TJvHidDevice::ApplyDataHandler(TJvHidDataEvent Handler) {
  if (!Handler) StopThread();
  FDataHandler = std::move(Handler);
  StartThread();
}

void TJvHidDevice::StartThread() {
  if (!FDataHandler || !FPlugged || !FClaimed || !FReadWriteOpen || FReadThread) return;
  const uint16_t Length = QueryCaps().InputReportByteLength;
  if (Length == 0) return;  // the descriptor declares no input report: nothing to read
  TUniqueFd ReadHandle = OpenNode(TOpenAccess::ReadOnly);
  if (!ReadHandle.Valid()) return;
  FReadThread = std::make_unique<TJvHidDeviceReadThread>(*this, std::move(ReadHandle), Length,
                                                         FController->FServices.HandOver);
}

void TJvHidDevice::StopThread() {
  FReadThread.reset();
}

void TJvHidDevice::MarkUnplugged() {
  // The reader keeps its own handle until the device is released: closing a descriptor that another thread
  // polls would let a new file take its number.
  CloseIo();
  FPlugged = false;
  TJvHidPlugEvent Handler = std::move(FUnplugHandler);
  FUnplugHandler = nullptr;
  if (Handler) Handler(*this);
}
