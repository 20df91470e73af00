// Makes the recorded sessions the replay tests use, from the virtual remote in its strict mode (the kernel's
// driver bound and polling, acknowledgements late by a varying delay, writes taken in late, reports
// streaming at about 100 a second), through the vireta-remote check with --gravar, as a user with a real
// remote would make one:
//   vireta-session-maker FOLDER
// writes FOLDER/grab_carry_throw.txt and FOLDER/pointer_ir_nunchuk.txt. Not a test: run it by hand when
// the virtual remote or the recording format changes, and commit what it writes.

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <iostream>
#include <sstream>
#include <thread>

#include "wiimote/linux_services.h"
#include "wiimote/remote_check.h"
#include "wiimote/testing/fake_hid_platform.h"

namespace {

using namespace std::chrono_literals;

void Wait(std::chrono::milliseconds Ms) {
  std::this_thread::sleep_for(Ms);
}

bool Record(const std::filesystem::path& File, bool Nunchuk, int Seconds,
            const std::function<void(TVirtualWiimote&)>& Script) {
  TFakeHidPlatform Platform;
  TSteadyClock Clock;
  TVirtualWiimote Remote;
  Remote.SetKernelDriverMode(true);
  Remote.SetKernelPollPeriod(900ms);
  Remote.SetAckDelayRange(2ms, 15ms);
  Remote.SetDeliveryDelay(2ms);
  Remote.SetBattery(0xA0);
  Remote.SetAccel(128, 128, 154);
  if (Nunchuk) Remote.PlugExtension(true);
  const std::string Path = Platform.Plug(Remote);
  Platform.SetDriver(Path, "wiimote");
  Remote.SetStreaming(true);
  std::thread Player([&] { Script(Remote); });
  TRemoteCheckOptions Options;
  Options.Seconds = Seconds;
  Options.Terminal = false;
  Options.Nunchuk = Nunchuk;
  Options.RecordPath = File.string();
  std::ostringstream Out;
  const int Status = RunRemoteCheck(Platform, Platform, Platform, Clock, Options, Out);
  Player.join();
  Remote.SetStreaming(false);
  if (Status != 0) std::cerr << Out.str();
  return Status == 0;
}

// Rest, then A and B held while the remote moves, a swing with B let go, then A let go.
void GrabCarryThrow(TVirtualWiimote& R) {
  Wait(1200ms);
  R.SetButtons(0x0008 | 0x0004);
  for (int Step = 0; Step <= 40; ++Step) {
    R.SetAccel(static_cast<uint8_t>(128 + Step / 2), 128, static_cast<uint8_t>(154 + Step / 4));
    Wait(25ms);
  }
  R.SetAccel(190, 100, 170);
  R.SetButtons(0x0008);
  Wait(300ms);
  R.SetButtons(0);
  R.SetAccel(128, 128, 154);
}

// Two IR dots 100 apart gliding from left to right, the Nunchuk's stick centred, then fully left with C
// held, the dots stopping with their midpoint at x 700.
void PointerIRNunchuk(TVirtualWiimote& R) {
  R.SetNunchuk(0x80, 0x80, 0x80, 0x80, 0xB0, false, false);
  Wait(800ms);
  for (int X = 300; X <= 650; X += 10) {
    R.SetIRDot(0, X, 384, 3);
    R.SetIRDot(1, X + 100, 384, 3);
    Wait(30ms);
  }
  R.SetNunchuk(0x00, 0x80, 0x80, 0x80, 0xB0, true, false);
  Wait(400ms);
  R.SetNunchuk(0x00, 0x80, 0x80, 0x80, 0xB0, false, false);
}

}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGPIPE, SIG_IGN);
  if (argc != 2) {
    std::cerr << "uso: vireta-session-maker PASTA\n";
    return 2;
  }
  const std::filesystem::path Folder = argv[1];
  std::filesystem::create_directories(Folder);
  const bool Made = Record(Folder / "grab_carry_throw.txt", false, 4, GrabCarryThrow) &&
                    Record(Folder / "pointer_ir_nunchuk.txt", true, 4, PointerIRNunchuk);
  return Made ? 0 : 1;
}
