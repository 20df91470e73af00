// The real adapter (libxwiimote and libevdev) against a remote mocked with umockdev: a `wiimote` HID device
// with the driver's input children, event nodes, LEDs and battery. Runs under umockdev's preload
// (umockdev-wrapper, from CTest); skipped without it.

#include "wiimote/xwiimote_remotes.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <umockdev.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_folder.h"

namespace {

using TKind = TKernelRemoteEvent::TKind;
using TBytes = std::vector<uint8_t>;

std::string Hex(const TBytes& Bytes) {
  std::string Text;
  char Pair[3];
  for (uint8_t B : Bytes) {
    std::snprintf(Pair, sizeof Pair, "%02X", B);
    Text += Pair;
  }
  return Text;
}

TBytes Bits(size_t Size, std::initializer_list<int> Set) {
  TBytes B(Size, 0);
  for (int Bit : Set) B[Bit / 8] |= static_cast<uint8_t>(1u << (Bit % 8));
  return B;
}

TBytes Ints(std::initializer_list<int32_t> Values) {
  TBytes B;
  for (int32_t V : Values)
    for (int I = 0; I < 4; ++I) B.push_back(static_cast<uint8_t>(static_cast<uint32_t>(V) >> (8 * I)));
  return B;
}

// What an input device of the driver answers to ioctls: its name and, for libevdev, its ids, event types,
// keys and axes (code, Min, Max). The mock answers a request of the recorded length only: libxwiimote asks
// the name into 256 bytes, libevdev its strings into 255.
constexpr size_t XwiimoteNameSize = 256;
constexpr size_t EvdevNameSize = 255;
std::string IoctlAnswers(const std::string& Name, std::initializer_list<int> Keys,
                         std::initializer_list<std::array<int32_t, 3>> Axes,
                         size_t NameSize = XwiimoteNameSize) {
  TBytes NameBytes(NameSize, 0);
  std::copy(Name.begin(), Name.end(), NameBytes.begin());
  std::ostringstream Out;
  Out << "EVIOCGVERSION 0 01000100\n"
      << "EVIOCGID 0 05007E0506030000\n"
      << "EVIOCGNAME(0) " << Name.size() + 1 << " " << Hex(NameBytes) << "\n"
      << "EVIOCGPHYS(0) 1 " << Hex(TBytes(NameSize, 0)) << "\n"
      << "EVIOCGUNIQ(0) 1 " << Hex(TBytes(NameSize, 0)) << "\n"
      << "EVIOCGPROP(0) 8 " << Hex(TBytes(8, 0)) << "\n";
  std::vector<int> AxisCodes;
  for (const auto& A : Axes) AxisCodes.push_back(A[0]);
  std::initializer_list<int> None{};
  Out << "EVIOCGBIT(0) 8 " << Hex(Bits(8, {0, 1, 3})) << "\n"
      << "EVIOCGBIT(1) 96 " << Hex(Bits(96, Keys)) << "\n"
      << "EVIOCGBIT(2) 8 " << Hex(Bits(8, None)) << "\n";
  TBytes AbsBits(8, 0);
  for (int Code : AxisCodes) AbsBits[Code / 8] |= static_cast<uint8_t>(1u << (Code % 8));
  Out << "EVIOCGBIT(3) 8 " << Hex(AbsBits) << "\n";
  for (int Type : {4, 5, 17, 18}) Out << "EVIOCGBIT(" << Type << ") 8 " << Hex(TBytes(8, 0)) << "\n";
  Out << "EVIOCGBIT(21) 16 " << Hex(TBytes(16, 0)) << "\n"
      << "EVIOCGKEY(0) 96 " << Hex(TBytes(96, 0)) << "\n"
      << "EVIOCGLED(0) 8 " << Hex(TBytes(8, 0)) << "\n"
      << "EVIOCGSW(0) 8 " << Hex(TBytes(8, 0)) << "\n";
  for (const auto& A : Axes)
    Out << "EVIOCGABS(" << A[0] << ") 0 " << Hex(Ints({0, A[1], A[2], 2, 4, 0})) << "\n";
  return Out.str();
}

// evemu lines: type and code in hex, value in decimal; one report ends with SYN_REPORT.
struct TEvemu {
  std::ostringstream Text;
  int Usec = 0;
  TEvemu& Event(int Type, int Code, int Value) {
    char Line[64];
    std::snprintf(Line, sizeof Line, "E: 0.%06d %04x %04x %d\n", ++Usec, Type, Code, Value);
    Text << Line;
    return *this;
  }
  TEvemu& Sync() { return Event(0, 0, 0); }
};

class XwiimoteRemotes : public ::testing::Test {
 protected:
  UMockdevTestbed* Bed = nullptr;
  TTempFolder Folder;
  int nextInput_ = 0;
  std::vector<std::string> added_;  // the input devices' sysfs paths, each event device before its input

  void SetUp() override {
    Bed = umockdev_testbed_new();
    // Known only once a testbed exists.
    if (!umockdev_in_mock_environment())
      GTEST_SKIP()
          << "umockdev's preload is not loaded (umockdev-wrapper missing): nothing to mock the remote with";
  }
  void TearDown() override {
    if (Bed != nullptr) g_object_unref(Bed);
  }

  std::string Write(const std::string& Name, const std::string& Text) {
    return Folder.Write(Name, Text).string();
  }

  // The HID device the driver is bound to, with its LEDs and battery.
  std::string AddRemote(const std::string& Name, const std::string& DevType) {
    const std::string Uniq = "00:19:1d:00:00:0" + std::to_string(nextInput_);
    gchar* Path =
        umockdev_testbed_add_device(Bed, "hid", Name.c_str(), nullptr,
                                    // attributes
                                    "devtype", (DevType + "\n").c_str(), "extension", "none\n", nullptr,
                                    // properties
                                    "HID_ID", "0005:0000057E:00000306", "HID_NAME", "Nintendo RVL-CNT-01",
                                    "HID_UNIQ", Uniq.c_str(), "DRIVER", "wiimote", nullptr);
    const std::string Hid = Path;
    g_free(Path);
    umockdev_testbed_set_attribute_link(Bed, Hid.c_str(), "driver", "../../../bus/hid/drivers/wiimote");
    for (int Led = 0; Led < 4; ++Led) {
      const std::string LedName = Name + ":blue:p" + std::to_string(Led);
      g_free(umockdev_testbed_add_device(Bed, "leds", LedName.c_str(), Hid.c_str(), "brightness", "0\n",
                                         "max_brightness", "1\n", nullptr, nullptr));
    }
    g_free(umockdev_testbed_add_device(Bed, "power_supply", ("wiimote_battery_" + Uniq).c_str(), Hid.c_str(),
                                       "capacity", "75\n", "scope", "Device\n", nullptr, nullptr));
    return Hid;
  }

  // One input device of the driver under Hid, with its event node answering Ioctls; returns the node.
  std::string AddInput(const std::string& Hid, const std::string& Name, const std::string& Ioctls) {
    const int N = nextInput_++;
    const std::string InputName = "input" + std::to_string(10 + N);
    gchar* Input = umockdev_testbed_add_device(Bed, "input", InputName.c_str(), Hid.c_str(), "name",
                                               Name.c_str(), nullptr, nullptr);
    const std::string Node = "/dev/input/event" + std::to_string(10 + N);
    // Only a device described this way gets its node made.
    const std::string Description = "P: " + std::string(Input).substr(4) + "/event" + std::to_string(10 + N) +
                                    "\nN: " + Node.substr(5) + "\nE: DEVNAME=" + Node +
                                    "\nE: SUBSYSTEM=input\nA: dev=13:" + std::to_string(74 + N) + "\n";
    GError* Added = nullptr;
    EXPECT_TRUE(umockdev_testbed_add_from_string(Bed, Description.c_str(), &Added))
        << (Added != nullptr ? Added->message : "");
    if (Added != nullptr) g_error_free(Added);
    // Removed child first, as the kernel does.
    added_.push_back(std::string(Input) + "/event" + std::to_string(10 + N));
    added_.push_back(Input);
    g_free(Input);
    GError* Error = nullptr;
    const bool Loaded = umockdev_testbed_load_ioctl(
        Bed, Node.c_str(), Write("event" + std::to_string(N) + ".ioctl", Ioctls).c_str(), &Error);
    EXPECT_TRUE(Loaded) << (Error != nullptr ? Error->message : "");
    if (Error != nullptr) g_error_free(Error);
    return Node;
  }

  void Feed(const std::string& Node, const TEvemu& Events) {
    GError* Error = nullptr;
    const bool Loaded = umockdev_testbed_load_evemu_events(
        Bed, Node.c_str(), Write("events" + std::to_string(nextInput_++), Events.Text.str()).c_str(), &Error);
    ASSERT_TRUE(Loaded) << (Error != nullptr ? Error->message : "");
  }

  // A whole remote as the driver makes it: core, accelerometer and camera.
  struct TNodes {
    std::string Hid, Core, Accel, IR;
    std::vector<std::string> Inputs;  // their input devices' sysfs paths
  };
  TNodes AddWholeRemote(const std::string& Name, const std::string& DevType = "gen10") {
    TNodes N;
    N.Hid = AddRemote(Name, DevType);
    const size_t Before = added_.size();
    N.Core = AddInput(N.Hid, "Nintendo Wii Remote", IoctlAnswers("Nintendo Wii Remote", {}, {}));
    N.Accel = AddInput(N.Hid, "Nintendo Wii Remote Accelerometer",
                       IoctlAnswers("Nintendo Wii Remote Accelerometer", {}, {}));
    N.IR = AddInput(N.Hid, "Nintendo Wii Remote IR", IoctlAnswers("Nintendo Wii Remote IR", {}, {}));
    N.Inputs.assign(added_.begin() + static_cast<std::ptrdiff_t>(Before), added_.end());
    return N;
  }

  std::string Attribute(const std::string& SysPath, const std::string& Name) {
    gchar* Root = umockdev_testbed_get_root_dir(Bed);
    std::ifstream In(std::string(Root) + SysPath + "/" + Name);
    g_free(Root);
    std::string Value;
    std::getline(In, Value);
    return Value;
  }

  // Reads events until Done says so, waiting on the remote's descriptor; false after a few seconds.
  static bool ReadUntil(IKernelRemote& Remote, std::vector<TKernelRemoteEvent>& Events,
                        const std::function<bool()>& Done) {
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!Done()) {
      if (std::chrono::steady_clock::now() > Deadline) return false;
      pollfd Ready{Remote.Fd(), POLLIN, 0};
      ::poll(&Ready, 1, 50);
      for (const TKernelRemoteEvent& E : Remote.ReadEvents()) Events.push_back(E);
    }
    return true;
  }
};

bool Has(const std::vector<TKernelRemoteEvent>& Events,
         const std::function<bool(const TKernelRemoteEvent&)>& Match) {
  return std::any_of(Events.begin(), Events.end(), Match);
}

TEST_F(XwiimoteRemotes, FindsTheRemoteAndReadsItsDevicesAndAttributes) {
  const TNodes Nodes = AddWholeRemote("0005:057E:0306.0001");
  AddRemote("0005:057E:0306.0002", "balanceboard");  // reported; the link decides
  TXwiimoteRemotes Remotes;
  const std::vector<std::string> Found = Remotes.TakeNewRemotes();
  ASSERT_EQ(Found.size(), 2u);
  EXPECT_TRUE(Remotes.TakeNewRemotes().empty()) << "each one is reported once";

  int Error = 0;
  std::unique_ptr<IKernelRemote> Remote = Remotes.Open(Nodes.Hid, Error);
  ASSERT_NE(Remote, nullptr) << std::strerror(Error);
  EXPECT_EQ(Remote->DeviceType(), "gen10");
  EXPECT_EQ(Remote->Extension(), "none");
  // The capacity is read beside the caller, which gets it at a later call.
  const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  std::optional<int> Capacity;
  while (!(Capacity = Remote->BatteryCapacity()) && std::chrono::steady_clock::now() < Deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(Capacity, 75);
  EXPECT_TRUE(Remote->SetLed(1, true));
  EXPECT_TRUE(Remote->SetLed(4, true));
  EXPECT_TRUE(Remote->SetLed(4, false));
  EXPECT_EQ(Attribute(Nodes.Hid + "/0005:057E:0306.0001:blue:p0", "brightness"), "1");
  EXPECT_EQ(Attribute(Nodes.Hid + "/0005:057E:0306.0001:blue:p3", "brightness"), "0");
  EXPECT_FALSE(Remote->OpenNunchuk()) << "no Nunchuk plugged";

  TEvemu Core;
  Core.Event(1, 0x130 /*BTN_A*/, 1).Sync().Event(1, 0x197 /*KEY_NEXT*/, 1).Sync().Event(1, 0x130, 0).Sync();
  Feed(Nodes.Core, Core);
  TEvemu Accel;
  Accel.Event(3, 3 /*ABS_RX*/, -512).Event(3, 4, 0).Event(3, 5, 511).Sync();
  Feed(Nodes.Accel, Accel);
  TEvemu IR;
  IR.Event(3, 0x10, 100).Event(3, 0x11, 200).Event(3, 0x12, 1023).Event(3, 0x13, 1023).Sync();
  Feed(Nodes.IR, IR);

  std::vector<TKernelRemoteEvent> Events;
  const auto Buttons = [&] {
    int N = 0;
    for (const auto& E : Events) N += E.Kind == TKind::Button;
    return N;
  };
  const auto Accelerated = [&](const TKernelRemoteEvent& E) {
    return E.Kind == TKind::Accel && E.Accel == std::array<int32_t, 3>{-512, 0, 511};
  };
  const auto Pointed = [&](const TKernelRemoteEvent& E) {
    return E.Kind == TKind::IR && E.Dots[0] == std::array<int32_t, 2>{100, 200} &&
           E.Dots[1] == std::array<int32_t, 2>{1023, 1023};
  };
  ASSERT_TRUE(ReadUntil(*Remote, Events,
                        [&] { return Buttons() == 3 && Has(Events, Accelerated) && Has(Events, Pointed); }));
  std::vector<std::pair<int, bool>> Seen;
  for (const auto& E : Events)
    if (E.Kind == TKind::Button) Seen.emplace_back(E.Button, E.Down);
  EXPECT_EQ(Seen, (std::vector<std::pair<int, bool>>{{ButtonA, true}, {ButtonPlus, true}, {ButtonA, false}}));
}

}  // namespace

TEST_F(XwiimoteRemotes, TheNunchukIsReadWhenItIsPluggedInAndLetGoWhenPulled) {
  const TNodes Nodes = AddWholeRemote("0005:057E:0306.0003");
  TXwiimoteRemotes Remotes;
  int Error = 0;
  std::unique_ptr<IKernelRemote> Remote = Remotes.Open(Nodes.Hid, Error);
  ASSERT_NE(Remote, nullptr) << std::strerror(Error);

  // The driver makes the Nunchuk's input device, says so in the attribute, and udev tells.
  const std::string Nunchuk =
      AddInput(Nodes.Hid, "Nintendo Wii Remote Nunchuk",
               IoctlAnswers("Nintendo Wii Remote Nunchuk", {0x132 /*BTN_C*/, 0x135 /*BTN_Z*/},
                            {{{0x03, -500, 500}},
                             {{0x04, -500, 500}},
                             {{0x05, -500, 500}},
                             {{0x10, -120, 120}},
                             {{0x11, -120, 120}}},
                            EvdevNameSize));
  umockdev_testbed_set_attribute(Bed, Nodes.Hid.c_str(), "extension", "nunchuk\n");
  umockdev_testbed_uevent(Bed, Nodes.Hid.c_str(), "change");
  std::vector<TKernelRemoteEvent> Events;
  ASSERT_TRUE(ReadUntil(*Remote, Events, [&] {
    return Has(Events, [](const TKernelRemoteEvent& E) { return E.Kind == TKind::Changed; });
  }));
  EXPECT_EQ(Remote->Extension(), "nunchuk");
  ASSERT_TRUE(Remote->OpenNunchuk());

  TEvemu Moves;
  Moves.Event(3, 0x10, -128).Event(3, 0x11, 127).Event(3, 3, -512).Event(3, 4, 0).Event(3, 5, 511).Sync();
  Moves.Event(1, 0x132, 1).Sync();
  Feed(Nunchuk, Moves);
  Events.clear();
  const auto Moved = [](const TKernelRemoteEvent& E) {
    return E.Kind == TKind::NunchukMove && E.Stick == std::array<int32_t, 2>{-128, 127} &&
           E.Accel == std::array<int32_t, 3>{-512, 0, 511};
  };
  const auto Pressed = [](const TKernelRemoteEvent& E) {
    return E.Kind == TKind::Button && E.Button == ButtonC && E.Down;
  };
  EXPECT_TRUE(ReadUntil(*Remote, Events, [&] { return Has(Events, Moved) && Has(Events, Pressed); }));
  Remote->CloseNunchuk();
  EXPECT_TRUE(Remote->OpenNunchuk()) << "opened again while its device is there";
}

TEST_F(XwiimoteRemotes, RemotesThatComeAreReportedAndOneThatGoesSaysSo) {
  const TNodes Nodes = AddWholeRemote("0005:057E:0306.0004");
  TXwiimoteRemotes Remotes;
  ASSERT_GE(Remotes.MonitorFd(), 0);
  EXPECT_EQ(Remotes.TakeNewRemotes(), std::vector<std::string>{Nodes.Hid});
  int Error = 0;
  std::unique_ptr<IKernelRemote> Remote = Remotes.Open(Nodes.Hid, Error);
  ASSERT_NE(Remote, nullptr) << std::strerror(Error);

  const TNodes Later = AddWholeRemote("0005:057E:0330.0005");
  // The testbed sends the "add" of each device it adds.
  std::vector<std::string> Came;
  const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (Came.empty() && std::chrono::steady_clock::now() < Deadline) {
    pollfd Ready{Remotes.MonitorFd(), POLLIN, 0};
    ::poll(&Ready, 1, 50);
    Came = Remotes.TakeNewRemotes();
  }
  EXPECT_EQ(Came, std::vector<std::string>{Later.Hid});

  // The driver lets the remote go: its input devices go, then the HID device. The testbed sends a removed
  // device's uevent once its folder has gone, where libudev no longer finds its HID parent; a change event
  // of the HID device has the library look again instead.
  for (const std::string& Input : Nodes.Inputs) umockdev_testbed_remove_device(Bed, Input.c_str());
  umockdev_testbed_uevent(Bed, Nodes.Hid.c_str(), "change");
  std::vector<TKernelRemoteEvent> Events;
  EXPECT_TRUE(ReadUntil(*Remote, Events, [&] {
    return Has(Events, [](const TKernelRemoteEvent& E) { return E.Kind == TKind::Gone; });
  }));
  umockdev_testbed_remove_device(Bed, Nodes.Hid.c_str());
  int Again = 0;
  EXPECT_EQ(Remotes.Open(Nodes.Hid, Again), nullptr);
  EXPECT_NE(Again, 0);
}
