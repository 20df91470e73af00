// vireta-remote: checks a Wii Remote set-up from a terminal, without the window.
//   vireta-remote [--segundos N] [--nunchuk] [--gravar ARQUIVO]
// Exit status 0 when a remote answered, 1 when none did, 2 for a usage error, 3 when the recording could not
// be made or written.

#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "common/release_text.h"
#include "wiimote/linux_services.h"
#include "wiimote/remote_check.h"
#include "wiimote/udev_hid_platform.h"
#include "wiimote/xwiimote_remotes.h"

namespace {

std::atomic<bool> StopRequested{false};

constexpr const char* Usage =
    "uso: vireta-remote [--segundos N] [--nunchuk] [--hidraw] [--gravar ARQUIVO]\n"
    "  Confere pelo terminal se o Wii Remote está pronto para o Vireta e mostra o que ele envia.\n"
    "  --segundos N      para depois de N segundos (padrão: até \"q\" ou Ctrl+C)\n"
    "  --nunchuk         mostra o Nunchuk (pelo HID bruto, pede os relatórios com os bytes da extensão)\n"
    "  --hidraw          lê os relatórios HID brutos mesmo onde o driver do kernel está ligado\n"
    "  --gravar ARQUIVO  grava nesse arquivo os relatórios brutos da sessão (lidos pelo HID bruto)\n"
    "  -h, --help        mostra esta ajuda\n"
    "  --version         mostra a versão e a licença\n"
    "Sai com 0 quando um controle respondeu, 1 quando nenhum respondeu, 2 para um erro de uso, 3 quando\n"
    "a gravação não pôde ser feita.\n";

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

// The udev rule as installed beside the program (the build puts it there), else where the sources keep it;
// absolute either way, so the command printed works from any folder.
std::string UdevRulePath() {
  constexpr const char* RuleName = "70-vireta-wiimote.rules";
  std::error_code Error;
  const std::filesystem::path Beside =
      std::filesystem::read_symlink("/proc/self/exe", Error).parent_path() / RuleName;
  if (!Error && std::filesystem::exists(Beside, Error)) return Beside.string();
  return VIRETA_UDEV_RULE;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> Args(argv + 1, argv + argc);
  // Help and version answer before any device is looked at, as every program of the package does.
  for (const std::string& Arg : Args) {
    if (Arg == "-h" || Arg == "--help" || Arg == "--version") {
      std::cout << (Arg == "--version" ? ReleaseText("vireta-remote") : std::string(Usage));
      return std::cout.flush() ? 0 : 1;
    }
  }
  TRemoteCheckOptions Options;
  std::string Error;
  if (!ParseRemoteCheckArguments(Args, Options, Error)) {
    std::cerr << "vireta-remote: " << Error << '\n' << Usage;
    return CheckUsageError;
  }
  Options.Terminal = ::isatty(STDOUT_FILENO) != 0;
  Options.UdevRulePath = UdevRulePath();
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  Options.Stop = &StopRequested;
  Options.KeysFd = STDIN_FILENO;
  TRawKeys Keys;
  TUdevHidPlatform Platform;
  THidrawOpener Opener;
  TSteadyClock Clock;
  TXwiimoteRemotes Kernel;
  return RunRemoteCheck(Platform, Platform, Opener, Clock, Options, std::cout, &Kernel);
}
