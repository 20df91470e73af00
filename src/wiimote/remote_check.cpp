#include "wiimote/remote_check.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>

#include "common/number_text.h"
#include "wiimote/hid_controller.h"
#include "wiimote/hid_device.h"
#include "wiimote/kernel_wiimote_link.h"
#include "wiimote/linux_services.h"
#include "wiimote/session_recording.h"
#include "wiimote/wiimote_link.h"

namespace {

// The package installs the rule; a build from source has it beside the tool. Either way the rule applies to
// a remote connected after it, hence the reconnection.
std::string UdevFix(const std::string& RulePath) {
  return "instale o pacote vireta, ou, numa compilação, a regra: sudo install -m 644 " + RulePath +
         " /etc/udev/rules.d/ && sudo udevadm control --reload-rules && sudo udevadm trigger; depois "
         "desligue "
         "e ligue o controle";
}

// What the window would show, kept for the status line; notices go straight to the terminal.
class TConsoleHost : public IWiimoteHost {
 public:
  TConsoleHost(std::ostream& Out, bool Nunchuk) : out_(Out), nunchuk_(Nunchuk) {}
  void SetCaption(const std::string& Text) override { Caption = Text; }
  void SetBatteryText(const std::string& Text) override { Battery = Text; }
  void SetStatusNotice(const std::string& Text) override { out_ << "\n" << Text << "\n"; }
  void SetOptionsEnabled(bool) override {}
  void SetTimerEnabled(TInputTimer, bool) override {}
  TWiimoteSettings WiimoteSettings() const override { return {nunchuk_, false}; }
  void ButtonEdge(uint16_t, int, TButtonState&) override {}
  void RemoteLost() override {}

  std::string Caption, Battery;

 private:
  std::ostream& out_;
  bool nunchuk_;
};

// The recording of a run, written into a hidden temporary file beside its target and moved over it only
// when the run is worth keeping, so that an earlier recording survives a run with nothing to show and a
// full disk. The first failed write is remembered with its reason; the file is removed unless committed.
class TRecordingFile {
 public:
  TRecordingFile() = default;
  TRecordingFile(const TRecordingFile&) = delete;
  TRecordingFile& operator=(const TRecordingFile&) = delete;
  ~TRecordingFile() { Discard(); }

  // False with Error set when Path is not a regular file or the temporary file cannot be made.
  bool Open(const std::string& Path, std::string& Error) {
    namespace fs = std::filesystem;
    std::error_code Ignored;
    // A link is followed, so that the file it names is replaced and the link stays.
    target_ = fs::is_symlink(Path, Ignored) ? fs::weakly_canonical(Path, Ignored) : fs::path(Path);
    if (target_.empty()) target_ = Path;
    struct stat Info {};
    // Checked before anything opens it: opening a FIFO for writing waits for a reader, deaf to Ctrl+C.
    if (::stat(target_.c_str(), &Info) == 0) {
      if (!S_ISREG(Info.st_mode)) {
        Error = Path + " não é um arquivo comum (é um FIFO ou um dispositivo?): grave num arquivo";
        return false;
      }
      // Replacing it would get round its permissions: a read-only recording stays as it is.
      const int Denied = ::access(target_.c_str(), W_OK) != 0 ? errno
                         : (Info.st_mode & 0222) == 0         ? EACCES
                                                              : 0;
      if (Denied != 0) {
        Error = "Não foi possível gravar em " + Path + ": " + std::strerror(Denied);
        return false;
      }
    }
    const fs::path Folder = target_.has_parent_path() ? target_.parent_path() : fs::path(".");
    std::string Template = (Folder / ("." + target_.filename().string() + ".XXXXXX")).string();
    const int Fd = ::mkstemp(Template.data());
    if (Fd < 0) {
      Error = "Não foi possível criar " + Path + ": " + std::strerror(errno);
      return false;
    }
    // mkstemp leaves the file to its owner alone; a recording is meant to be sent, as any new file is.
    const mode_t Mask = ::umask(0);
    ::umask(Mask);
    ::fchmod(Fd, 0666 & ~Mask);
    ::close(Fd);
    temporary_ = Template;
    stream_.open(temporary_, std::ios::trunc);
    if (!stream_) {
      Error = "Não foi possível criar " + Path + ": " + std::strerror(errno);
      Discard();
      return false;
    }
    return true;
  }
  std::ostream& Stream() { return stream_; }
  // After each line: a write that failed keeps its reason (ENOSPC, EFBIG) for the end.
  void CheckWrite() {
    if (!stream_ && writeError_ == 0) writeError_ = errno != 0 ? errno : EIO;
  }
  // Moves the recording over its target; false with Error set when a line or the move failed.
  bool Commit(const std::string& Path, std::string& Error) {
    stream_.flush();
    CheckWrite();
    stream_.close();
    if (writeError_ == 0 && stream_.fail()) writeError_ = errno != 0 ? errno : EIO;
    // The lines reach the disk before the name does, so that a crash leaves the old file or the whole new
    // one.
    if (writeError_ == 0) {
      const int Fd = ::open(temporary_.c_str(), O_WRONLY | O_CLOEXEC);
      if (Fd < 0 || ::fsync(Fd) != 0) writeError_ = errno;
      if (Fd >= 0) ::close(Fd);
    }
    if (writeError_ == 0 && std::rename(temporary_.c_str(), target_.c_str()) != 0) writeError_ = errno;
    if (writeError_ != 0) {
      Error = "Falha ao gravar " + Path + ": " + std::strerror(writeError_) + "; o arquivo ficou como estava";
      Discard();
      return false;
    }
    temporary_.clear();
    return true;
  }
  void Discard() {
    if (stream_.is_open()) stream_.close();
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
  }

 private:
  std::filesystem::path target_;
  std::string temporary_;
  std::ofstream stream_;
  int writeError_ = 0;
};

}  // namespace

std::vector<TRemoteCandidate> ListCandidates(IHidEnumerator& Enumerator, IDeviceOpener& Opener) {
  std::vector<TRemoteCandidate> Found;
  if (!Enumerator.Ready()) return Found;
  for (const TJvHidPnPInfo& Info : Enumerator.Enumerate()) {
    THidAttributes Ids;
    if (!ParseHidId(Info.HidId, Ids) || Ids.VendorID != WiimoteVendorID) continue;
    if (Ids.ProductID != WiimoteProductID && Ids.ProductID != WiimotePlusProductID) continue;
    TRemoteCandidate C;
    C.Path = Info.InterfacePath;
    C.Name = Info.DeviceDescr;
    C.Driver = Info.Driver;
    C.WiiRemote = C.Name != BalanceBoardName && C.Name != ProControllerName;
    Opener.Open(Info.InterfacePath, TOpenAccess::ReadWrite, C.OpenError);
    Found.push_back(std::move(C));
  }
  return Found;
}

bool ParseRemoteCheckArguments(const std::vector<std::string>& Args, TRemoteCheckOptions& Options,
                               std::string& Error) {
  for (size_t I = 0; I < Args.size(); ++I) {
    const std::string& Arg = Args[I];
    const bool HasValue = I + 1 < Args.size();
    int32_t Seconds = 0;
    if (Arg == "--segundos" && HasValue && ParseInt(Args[I + 1], Seconds) && Seconds >= 0 &&
        Seconds <= MaxCheckSeconds) {
      Options.Seconds = Seconds;
      ++I;
    } else if (Arg == "--segundos") {
      Error = HasValue ? "--segundos espera um número inteiro de segundos de 0 a " +
                             std::to_string(MaxCheckSeconds) + ", não \"" + Args[I + 1] + "\""
                       : "--segundos espera um número de segundos";
      return false;
    } else if (Arg == "--gravar" && HasValue) {
      Options.RecordPath = Args[++I];
    } else if (Arg == "--gravar") {
      Error = "--gravar espera o nome do arquivo";
      return false;
    } else if (Arg == "--nunchuk") {
      Options.Nunchuk = true;
    } else if (Arg == "--hidraw") {
      Options.Raw = true;
    } else {
      Error = "opção desconhecida: " + Arg;
      return false;
    }
  }
  return true;
}

std::string Diagnose(const std::vector<TRemoteCandidate>& Candidates, const std::string& UdevRulePath) {
  if (Candidates.empty())
    return "Nenhum Wii Remote encontrado: pareie o controle pelo Bluetooth (botões 1 e 2, ou o botão "
           "vermelho); esperando por ele.";
  const TRemoteCandidate* Remote = nullptr;
  for (const TRemoteCandidate& C : Candidates)
    if (C.WiiRemote && Remote == nullptr) Remote = &C;
  if (Remote == nullptr)
    return "Modelo errado: " + Candidates.front().Name +
           " não é um Wii Remote (Balance Board ou Pro Controller).";
  if (Remote->OpenError != 0)
    return "Sem permissão para abrir " + Remote->Path + " (" + std::strerror(Remote->OpenError) +
           "): " + UdevFix(UdevRulePath);
  if (Remote->Driver == KernelDriverName) return KernelDriverNotice;
  return "Tudo certo: " + Remote->Path + " pode ser aberto.";
}

std::string StatusLine(const TWiimote& W, const std::string& Battery, int LedByte) {
  std::ostringstream Line;
  Line << "Botões:";
  bool Any = false;
  for (size_t I = 0; I < WiimoteButtons.size(); ++I)
    if (W.ButtonState[I].Down) {
      Line << ' ' << WiimoteButtons[I].Key;
      Any = true;
    }
  if (!Any) Line << " -";
  // As numbers: a byte is a character to a stream.
  Line << " | Acel: " << int{W.AccelX} << ' ' << int{W.AccelY} << ' ' << int{W.AccelZ} << " | IR:";
  if (W.IRSize1 < NoDotSize) Line << " (" << W.IRX1 << ',' << W.IRY1 << ')';
  if (W.IRSize2 < NoDotSize) Line << " (" << W.IRX2 << ',' << W.IRY2 << ')';
  if (W.IRSize1 >= NoDotSize && W.IRSize2 >= NoDotSize) Line << " -";
  if (W.ExtensionConnected)
    Line << " | Nunchuk: " << W.NunchukStickX << ',' << W.NunchukStickY << ' ' << W.NunchukAccelX << ' '
         << W.NunchukAccelY << ' ' << W.NunchukAccelZ;
  Line << " | " << Battery << " | LEDs:";
  for (int Led = 0; Led < 4; ++Led) Line << ((LedByte >= 0 && (LedByte & (0x10 << Led)) != 0) ? '*' : '.');
  Line << " Vibração: " << ((LedByte >= 0 && (LedByte & 1) != 0) ? "sim" : "não");
  return Line.str();
}

std::string PathLine(const std::vector<TRemoteCandidate>& Candidates, bool KernelOffered,
                     const TRemoteCheckOptions& Options) {
  const bool Bound = std::any_of(Candidates.begin(), Candidates.end(), [](const TRemoteCandidate& C) {
    return C.WiiRemote && C.Driver == KernelDriverName;
  });
  if (!Options.RecordPath.empty()) return std::string(PathRawLine) + ": --gravar grava os relatórios brutos.";
  if (Options.Raw) return std::string(PathRawLine) + ": pedido por --hidraw.";
  if (!KernelOffered) return std::string(PathRawLine) + ": o driver do kernel não pode ser lido aqui.";
  if (Candidates.empty() || Bound)
    return std::string(PathKernelLine) + " (--hidraw lê os relatórios HID brutos).";
  return std::string(PathRawLine) + ": nenhum driver do kernel está ligado ao controle.";
}

int RunRemoteCheck(IHidEnumerator& Enumerator, IDeviceChangeMonitor& Monitor, IDeviceOpener& Opener,
                   IClock& Clock, const TRemoteCheckOptions& Options, std::ostream& Out,
                   IKernelRemotes* Kernel) {
  // Without libudev nothing can be listed: that is the first thing to say, not "no remote".
  if (!Enumerator.Ready()) {
    Out << "libudev não pôde ser carregada (libudev.so.1): instale o pacote libudev1.\n";
    return CheckNoRemote;
  }
  const std::vector<TRemoteCandidate> Candidates = ListCandidates(Enumerator, Opener);
  for (const TRemoteCandidate& C : Candidates)
    Out << C.Path << "  " << C.Name << "  driver: " << (C.Driver.empty() ? "nenhum" : C.Driver)
        << "  acesso: " << (C.OpenError == 0 ? "leitura e escrita" : std::strerror(C.OpenError)) << '\n';
  Out << Diagnose(Candidates, Options.UdevRulePath) << '\n';
  const std::string Path = PathLine(Candidates, Kernel != nullptr, Options);
  Out << Path << '\n';
  const bool ThroughKernel = Path.rfind(PathKernelLine, 0) == 0;

  TRecordingFile RecordFile;
  const bool Recording = !Options.RecordPath.empty();
  std::string RecordError;
  if (Recording && !RecordFile.Open(Options.RecordPath, RecordError)) {
    Out << RecordError << '\n';
    return CheckRecordingFailed;
  }

  TPollMainLoop Loop;
  TConsoleHost Host(Out, Options.Nunchuk);
  TJvHidDeviceController HIDCtl(THidServices{Enumerator, Monitor, Opener, Loop});
  TWiimote Record;
  TWiimoteLink Link(HIDCtl, Host, Clock, Record);
  std::unique_ptr<TKernelWiimoteLink> KernelLink;
  if (ThroughKernel) {
    KernelLink = std::make_unique<TKernelWiimoteLink>(*Kernel, Loop, Host, Clock, Record);
    // The driver's remote is the kernel link's alone.
    Link.SetClaimRule(
        [](const TJvHidDevice& HidDev) { return HidDev.InterfaceInfo().Driver != KernelDriverName; });
  }
  // The remote held, whichever way reaches it.
  const auto Held = [&]() -> IRemoteLink& {
    if (KernelLink && KernelLink->Connected()) return *KernelLink;
    return Link;
  };
  std::optional<TSessionRecorder> Recorder;
  if (Recording) {
    Recorder.emplace(RecordFile.Stream(), Clock);
    RecordFile.CheckWrite();
    Link.SetReportObserver([&Recorder, &RecordFile](char Direction, const uint8_t* Bytes, size_t Length) {
      Recorder->Record(Direction, Bytes, Length);
      RecordFile.CheckWrite();
    });
  }
  Out << "Teclas: r vibração, 1-4 LEDs, q sair.\n" << std::flush;

  bool Answered = false;
  bool Quit = false;
  uint8_t Toggled = 0;  // the LEDs and rumble the keys switched, against what the remote shows at first
  uint8_t Base = 0x10;
  std::unique_ptr<IFdWatch> KeysWatch;
  auto ReadKeys = [&] {
    char Keys[16];
    const ssize_t Count = ::read(Options.KeysFd, Keys, sizeof Keys);
    if (Count <= 0) KeysWatch.reset();  // no more keys: the run goes on for its time
    for (ssize_t I = 0; I < Count; ++I) {
      const char Key = Keys[I];
      if (Key == 'q') Quit = true;
      if (Key == 'r') Toggled ^= 0x01;
      if (Key >= '1' && Key <= '4') Toggled ^= static_cast<uint8_t>(0x10 << (Key - '1'));
      if ((Key == 'r' || (Key >= '1' && Key <= '4')) && Answered) Held().SetLeds(Base ^ Toggled);
    }
  };
  if (Options.KeysFd >= 0) KeysWatch = Loop.Watch(Options.KeysFd, ReadKeys);
  const uint32_t Start = Clock.Milliseconds();
  uint32_t LastTick = Start, LastStatus = Start, LastLine = Start;
  std::string Shown;
  for (;;) {
    Loop.RunOnce(LinkTickMs);
    if (Options.Stop != nullptr && Options.Stop->load()) Quit = true;
    const uint32_t Now = Clock.Milliseconds();
    if (Now - LastTick >= LinkTickMs) {
      LastTick = Now;
      Link.Tick();
    }
    if (Held().Connected() && Now - LastStatus >= 1000) {
      LastStatus = Now;
      Held().BatteryTimerTimer();
    }
    // LED 1 joins the LEDs the remote had, once its first status report has said which: those come back
    // at the end. Through the driver, which lights LED 1 itself, LED 1 is what it had.
    if (!Answered && KernelLink && KernelLink->Connected()) {
      Answered = true;
      Base = 0x10;
      KernelLink->SetLeds(Base ^ Toggled);
    } else if (!Answered && Link.Answered() && Link.FoundLeds() >= 0) {
      Answered = true;
      Base = static_cast<uint8_t>(Link.FoundLeds() | 0x10);
      Link.SetLeds(Base ^ Toggled);
    }
    if (Now - LastLine >= 100) {
      LastLine = Now;
      Held().ShowBattery();
      // Only a change is written: a log of the run (output not on a terminal) then stays readable.
      std::string Line =
          !Held().Connected() ? Host.Caption : StatusLine(Record, Host.Battery, Held().LedByte());
      if (Line != Shown) {
        // On a terminal the line is rewritten in place; elsewhere (a file, a pipe) each change is a line of
        // its own, with no escape codes in it.
        if (Options.Terminal)
          Out << '\r' << Line << "\033[K" << std::flush;
        else
          Out << Line << '\n' << std::flush;
        Shown = std::move(Line);
      }
    }
    if (Quit || (Options.Seconds > 0 && Now - Start >= static_cast<uint32_t>(Options.Seconds) * 1000)) break;
  }
  // The remote goes back as it was found: its LEDs, the rumble off, plain buttons.
  if (KernelLink && KernelLink->Connected())
    KernelLink->SetLeds(Base);
  else if (Link.WiiDevice() != nullptr)
    Link.LeaveAsFound();
  if (Options.Terminal) Out << '\n';
  Out << (Answered ? "O Wii Remote respondeu." : "Nenhum Wii Remote respondeu.") << '\n';
  if (!Recording) return Answered ? CheckRemoteAnswered : CheckNoRemote;
  // A run with no remote has nothing worth keeping: an earlier recording of that name stays whole.
  if (!Answered) {
    Out << "Nada foi gravado em " << Options.RecordPath << '\n';
    return CheckNoRemote;
  }
  if (!RecordFile.Commit(Options.RecordPath, RecordError)) {
    Out << RecordError << '\n';
    return CheckRecordingFailed;
  }
  Out << "Sessão gravada em " << Options.RecordPath << '\n';
  return CheckRemoteAnswered;
}
