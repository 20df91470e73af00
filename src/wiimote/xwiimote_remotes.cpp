#include "wiimote/xwiimote_remotes.h"

#include <fcntl.h>
#include <libevdev/libevdev.h>
#include <libudev.h>
#include <linux/input.h>
#include <sys/epoll.h>
#include <xwiimote.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <future>
#include <optional>

#include "common/unique_fd.h"

namespace {

constexpr unsigned ReadInterfaces = XWII_IFACE_CORE | XWII_IFACE_ACCEL | XWII_IFACE_IR;

// Frees a string the library allocated.
std::string Take(char* Text) {
  std::string Value = Text != nullptr ? Text : "";
  std::free(Text);
  return Value;
}

bool ButtonOf(unsigned Code, TWiimoteButtonIndex& Button) {
  switch (Code) {
    case XWII_KEY_LEFT:
      Button = ButtonLeft;
      return true;
    case XWII_KEY_RIGHT:
      Button = ButtonRight;
      return true;
    case XWII_KEY_UP:
      Button = ButtonUp;
      return true;
    case XWII_KEY_DOWN:
      Button = ButtonDown;
      return true;
    case XWII_KEY_A:
      Button = ButtonA;
      return true;
    case XWII_KEY_B:
      Button = ButtonB;
      return true;
    case XWII_KEY_PLUS:
      Button = ButtonPlus;
      return true;
    case XWII_KEY_MINUS:
      Button = ButtonMinus;
      return true;
    case XWII_KEY_HOME:
      Button = ButtonHome;
      return true;
    case XWII_KEY_ONE:
      Button = ButtonOne;
      return true;
    case XWII_KEY_TWO:
      Button = ButtonTwo;
      return true;
    default:
      return false;
  }
}

// The event node of the driver's Nunchuk input device under the remote's HID device, or empty.
std::string NunchukNode(const std::string& SysPath) {
  std::string Node;
  udev* Udev = udev_new();
  if (Udev == nullptr) return Node;
  udev_device* Hid = udev_device_new_from_syspath(Udev, SysPath.c_str());
  udev_enumerate* List = Hid != nullptr ? udev_enumerate_new(Udev) : nullptr;
  if (List != nullptr && udev_enumerate_add_match_subsystem(List, "input") == 0 &&
      udev_enumerate_add_match_parent(List, Hid) == 0 &&
      udev_enumerate_add_match_sysname(List, "event*") == 0 && udev_enumerate_scan_devices(List) == 0) {
    udev_list_entry* Entry = nullptr;
    udev_list_entry_foreach(Entry, udev_enumerate_get_list_entry(List)) {
      udev_device* Event = udev_device_new_from_syspath(Udev, udev_list_entry_get_name(Entry));
      if (Event == nullptr) continue;
      udev_device* Input = udev_device_get_parent(Event);  // owned by Event
      const char* Name = Input != nullptr ? udev_device_get_sysattr_value(Input, "name") : nullptr;
      const char* DevNode = udev_device_get_devnode(Event);
      if (Name != nullptr && DevNode != nullptr && std::strcmp(Name, XWII_NAME_NUNCHUK) == 0) Node = DevNode;
      udev_device_unref(Event);
      if (!Node.empty()) break;
    }
  }
  if (List != nullptr) udev_enumerate_unref(List);
  if (Hid != nullptr) udev_device_unref(Hid);
  udev_unref(Udev);
  return Node;
}

// The capacity the driver gives in percent, from the battery (a power supply) under the remote's HID
// device; none when there is none or it cannot be read. A udev context of its own, so that it may run
// beside the main loop.
std::optional<int> ReadCapacity(const std::string& SysPath) {
  std::optional<int> Capacity;
  udev* Udev = udev_new();
  if (Udev == nullptr) return Capacity;
  udev_device* Hid = udev_device_new_from_syspath(Udev, SysPath.c_str());
  udev_enumerate* List = Hid != nullptr ? udev_enumerate_new(Udev) : nullptr;
  if (List != nullptr && udev_enumerate_add_match_subsystem(List, "power_supply") == 0 &&
      udev_enumerate_add_match_parent(List, Hid) == 0 && udev_enumerate_scan_devices(List) == 0) {
    udev_list_entry* Entry = nullptr;
    udev_list_entry_foreach(Entry, udev_enumerate_get_list_entry(List)) {
      std::ifstream In(std::string(udev_list_entry_get_name(Entry)) + "/capacity");
      int Percent = 0;
      if (In >> Percent) {
        Capacity = Percent;
        break;
      }
    }
  }
  if (List != nullptr) udev_enumerate_unref(List);
  if (Hid != nullptr) udev_device_unref(Hid);
  udev_unref(Udev);
  return Capacity;
}

class TXwiimoteRemote : public IKernelRemote {
 public:
  TXwiimoteRemote(xwii_iface* Iface, std::string SysPath, TUniqueFd Epoll)
      : iface_(Iface), sysPath_(std::move(SysPath)), epoll_(std::move(Epoll)) {}
  ~TXwiimoteRemote() override {
    CloseNunchuk();
    xwii_iface_unref(iface_);
  }
  TXwiimoteRemote(const TXwiimoteRemote&) = delete;
  TXwiimoteRemote& operator=(const TXwiimoteRemote&) = delete;

  int Fd() const override { return epoll_.Get(); }

  std::vector<TKernelRemoteEvent> ReadEvents() override {
    std::vector<TKernelRemoteEvent> Events;
    ReadCore(Events);
    if (nunchuk_ != nullptr) ReadNunchuk(Events);
    return Events;
  }

  std::string DeviceType() override {
    char* Text = nullptr;
    return xwii_iface_get_devtype(iface_, &Text) == 0 ? Take(Text) : std::string();
  }
  std::string Extension() override {
    char* Text = nullptr;
    return xwii_iface_get_extension(iface_, &Text) == 0 ? Take(Text) : std::string();
  }

  bool OpenNunchuk() override {
    if (nunchuk_ != nullptr) return true;
    const std::string Node = NunchukNode(sysPath_);
    if (Node.empty()) return false;
    TUniqueFd Fd(::open(Node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!Fd.Valid()) return false;
    libevdev* Device = nullptr;
    if (libevdev_new_from_fd(Fd.Get(), &Device) != 0) return false;
    // Another device may have taken the node's number since the enumeration.
    epoll_event Ready{};
    Ready.events = EPOLLIN;
    if (std::strcmp(libevdev_get_name(Device), XWII_NAME_NUNCHUK) != 0 ||
        ::epoll_ctl(epoll_.Get(), EPOLL_CTL_ADD, Fd.Get(), &Ready) != 0) {
      libevdev_free(Device);
      return false;
    }
    nunchuk_ = Device;
    nunchukFd_ = std::move(Fd);
    // Its axes as they stand, for the first move event.
    stick_ = {libevdev_get_event_value(Device, EV_ABS, ABS_HAT0X),
              libevdev_get_event_value(Device, EV_ABS, ABS_HAT0Y)};
    accel_ = {libevdev_get_event_value(Device, EV_ABS, ABS_RX),
              libevdev_get_event_value(Device, EV_ABS, ABS_RY),
              libevdev_get_event_value(Device, EV_ABS, ABS_RZ)};
    return true;
  }

  void CloseNunchuk() override {
    if (nunchuk_ == nullptr) return;
    ::epoll_ctl(epoll_.Get(), EPOLL_CTL_DEL, nunchukFd_.Get(), nullptr);
    libevdev_free(nunchuk_);
    nunchuk_ = nullptr;
    nunchukFd_.Reset();
  }

  bool ReopenIR() override {
    xwii_iface_close(iface_, XWII_IFACE_IR);
    return xwii_iface_open(iface_, XWII_IFACE_IR | XWII_IFACE_WRITABLE) == 0;
  }
  bool SetLed(int Led, bool On) override { return xwii_iface_set_led(iface_, XWII_LED(Led), On) == 0; }
  bool Rumble(bool On) override { return xwii_iface_rumble(iface_, On) == 0; }
  // The driver answers a read of the capacity by asking the remote for its status and waiting for the
  // reply, up to a second on a weak link: the read runs beside the main loop, which is given the last
  // capacity read (none until the first read is done) and starts the next read once that one is in.
  std::optional<int> BatteryCapacity() override {
    if (battery_.valid() && battery_.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
      capacity_ = battery_.get();
    if (!battery_.valid()) battery_ = std::async(std::launch::async, ReadCapacity, sysPath_);
    return capacity_;
  }

 private:
  void ReadCore(std::vector<TKernelRemoteEvent>& Events) {
    using TKind = TKernelRemoteEvent::TKind;
    for (;;) {
      xwii_event Read{};
      const int Result = xwii_iface_dispatch(iface_, &Read, sizeof Read);
      if (Result == -EAGAIN) return;
      TKernelRemoteEvent Event;
      if (Result < 0) {
        Event.Kind = TKind::Gone;
        Events.push_back(Event);
        return;
      }
      switch (Read.type) {
        case XWII_EVENT_KEY:
          // State 2 is the driver's auto-repeat of a held button.
          if (!ButtonOf(Read.v.key.code, Event.Button)) continue;
          Event.Kind = TKind::Button;
          Event.Down = Read.v.key.state != 0;
          break;
        case XWII_EVENT_ACCEL:
          Event.Kind = TKind::Accel;
          Event.Accel = {Read.v.abs[0].x, Read.v.abs[0].y, Read.v.abs[0].z};
          break;
        case XWII_EVENT_IR:
          Event.Kind = TKind::IR;
          for (size_t I = 0; I < Event.Dots.size(); ++I) Event.Dots[I] = {Read.v.abs[I].x, Read.v.abs[I].y};
          break;
        case XWII_EVENT_WATCH:
          // The library closes an interface whose node failed or went; with the core gone, so is the remote
          // (its input devices all go together).
          Event.Kind = (xwii_iface_opened(iface_) & XWII_IFACE_CORE) != 0 ? TKind::Changed : TKind::Gone;
          break;
        default:
          continue;
      }
      Events.push_back(Event);
      if (Event.Kind == TKind::Gone) return;
    }
  }

  void ReadNunchuk(std::vector<TKernelRemoteEvent>& Events) {
    using TKind = TKernelRemoteEvent::TKind;
    unsigned Flags = LIBEVDEV_READ_FLAG_NORMAL;
    for (;;) {
      input_event Input{};
      const int Result = libevdev_next_event(nunchuk_, Flags, &Input);
      if (Result == LIBEVDEV_READ_STATUS_SYNC) {
        // Events were dropped: the device's state comes as a burst of sync events, then normal ones.
        Flags = LIBEVDEV_READ_FLAG_SYNC;
        TakeNunchukEvent(Input, Events);
        continue;
      }
      if (Result == -EAGAIN && Flags == LIBEVDEV_READ_FLAG_SYNC) {
        Flags = LIBEVDEV_READ_FLAG_NORMAL;
        continue;
      }
      if (Result == -EAGAIN) return;
      if (Result < 0) {
        // Pulled: the driver removes the device; the extension attribute says so too.
        CloseNunchuk();
        TKernelRemoteEvent Event;
        Event.Kind = TKind::Changed;
        Events.push_back(Event);
        return;
      }
      TakeNunchukEvent(Input, Events);
    }
  }

  void TakeNunchukEvent(const input_event& Input, std::vector<TKernelRemoteEvent>& Events) {
    using TKind = TKernelRemoteEvent::TKind;
    if (Input.type == EV_KEY && (Input.code == BTN_C || Input.code == BTN_Z)) {
      TKernelRemoteEvent Event;
      Event.Kind = TKind::Button;
      Event.Button = Input.code == BTN_C ? ButtonC : ButtonZ;
      Event.Down = Input.value != 0;
      Events.push_back(Event);
    } else if (Input.type == EV_ABS) {
      switch (Input.code) {
        case ABS_HAT0X:
          stick_[0] = Input.value;
          break;
        case ABS_HAT0Y:
          stick_[1] = Input.value;
          break;
        case ABS_RX:
          accel_[0] = Input.value;
          break;
        case ABS_RY:
          accel_[1] = Input.value;
          break;
        case ABS_RZ:
          accel_[2] = Input.value;
          break;
        default:
          break;
      }
    } else if (Input.type == EV_SYN && Input.code == SYN_REPORT) {
      TKernelRemoteEvent Event;
      Event.Kind = TKind::NunchukMove;
      Event.Stick = stick_;
      Event.Accel = accel_;
      Events.push_back(Event);
    }
  }

  xwii_iface* iface_;
  std::future<std::optional<int>> battery_;
  std::optional<int> capacity_;
  std::string sysPath_;
  TUniqueFd epoll_;  // the library's descriptor and the Nunchuk's, as one
  libevdev* nunchuk_ = nullptr;
  TUniqueFd nunchukFd_;
  std::array<int32_t, 2> stick_{};
  std::array<int32_t, 3> accel_{};
};

}  // namespace

struct TXwiimoteRemotes::TMonitor {
  explicit TMonitor(xwii_monitor* M) : Monitor(M) {}
  ~TMonitor() { xwii_monitor_unref(Monitor); }
  TMonitor(const TMonitor&) = delete;
  TMonitor& operator=(const TMonitor&) = delete;
  xwii_monitor* Monitor;
};

TXwiimoteRemotes::TXwiimoteRemotes() {
  if (xwii_monitor* Monitor = xwii_monitor_new(true, false)) {
    monitor_ = std::make_unique<TMonitor>(Monitor);
    // Non-blocking, so that taking the remotes that came never waits.
    monitorFd_ = xwii_monitor_get_fd(Monitor, false);
  }
}

TXwiimoteRemotes::~TXwiimoteRemotes() = default;

std::vector<std::string> TXwiimoteRemotes::TakeNewRemotes() {
  std::vector<std::string> Paths;
  if (monitor_ == nullptr) return Paths;
  // The remotes present at the monitor's making first, then one per "add" waiting; the library returns
  // none for a notice of something else, and the descriptor stays readable while notices wait.
  while (char* Path = xwii_monitor_poll(monitor_->Monitor)) Paths.push_back(Take(Path));
  return Paths;
}

std::unique_ptr<IKernelRemote> TXwiimoteRemotes::Open(const std::string& SysPath, int& Error) {
  xwii_iface* Iface = nullptr;
  if (const int Result = xwii_iface_new(&Iface, SysPath.c_str()); Result < 0) {
    Error = -Result;
    return nullptr;
  }
  // The camera may be missing (or refuse) without the remote being useless; the core may not.
  const int Opened = xwii_iface_open(Iface, ReadInterfaces | XWII_IFACE_WRITABLE);
  if ((xwii_iface_opened(Iface) & XWII_IFACE_CORE) == 0) {
    Error = Opened < 0 ? -Opened : ENODEV;
    xwii_iface_unref(Iface);
    return nullptr;
  }
  TUniqueFd Epoll(::epoll_create1(EPOLL_CLOEXEC));
  epoll_event Ready{};
  Ready.events = EPOLLIN;
  if (xwii_iface_watch(Iface, true) != 0 || !Epoll.Valid() ||
      ::epoll_ctl(Epoll.Get(), EPOLL_CTL_ADD, xwii_iface_get_fd(Iface), &Ready) != 0) {
    Error = errno;
    xwii_iface_unref(Iface);
    return nullptr;
  }
  return std::make_unique<TXwiimoteRemote>(Iface, SysPath, std::move(Epoll));
}
