// vireta-remote: checks a Wii Remote set-up from a terminal, without the window.
//   vireta-remote [--segundos N] [--nunchuk]
// Exit status 0 when a remote answered.

#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>

#include "wiimote/linux_services.h"
#include "wiimote/remote_check.h"
#include "wiimote/udev_hid_platform.h"

namespace {

std::atomic<bool> StopRequested{false};

void OnSignal(int) {
  StopRequested = true;
}

// Keys take effect as they are typed, and the terminal is given back as it was.
class TRawKeys {
 public:
  TRawKeys() {
    if (::isatty(STDIN_FILENO) == 0 || ::tcgetattr(STDIN_FILENO, &saved_) != 0) return;
    termios Raw = saved_;
    Raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    active_ = ::tcsetattr(STDIN_FILENO, TCSANOW, &Raw) == 0;
  }
  ~TRawKeys() {
    if (active_) ::tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
  }
  TRawKeys(const TRawKeys&) = delete;
  TRawKeys& operator=(const TRawKeys&) = delete;

 private:
  termios saved_{};
  bool active_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  TRemoteCheckOptions Options;
  for (int I = 1; I < argc; ++I) {
    const std::string Arg = argv[I];
    if (Arg == "--segundos" && I + 1 < argc) {
      Options.Seconds = std::atoi(argv[++I]);
    } else if (Arg == "--nunchuk") {
      Options.Nunchuk = true;
    } else {
      std::cerr << "uso: vireta-remote [--segundos N] [--nunchuk]\n";
      return 2;
    }
  }
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  Options.Stop = &StopRequested;
  Options.KeysFd = STDIN_FILENO;
  TRawKeys Keys;
  TUdevHidPlatform Platform;
  THidrawOpener Opener;
  TSteadyClock Clock;
  return RunRemoteCheck(Platform, Platform, Opener, Clock, Options, std::cout);
}
