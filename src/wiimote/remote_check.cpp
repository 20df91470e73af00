#include "wiimote/remote_check.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstring>
#include <deque>
#include <functional>
#include <mutex>
#include <sstream>

#include "wiimote/hid_controller.h"
#include "wiimote/hid_device.h"
#include "wiimote/wiimote_link.h"

namespace {

constexpr const char* UdevFix =
    "sudo cp udev/70-vireta-wiimote.rules /etc/udev/rules.d/ && sudo udevadm control --reload && "
    "sudo udevadm trigger";

// The reader threads hand their reports over here; the check's loop runs them.
class TPollHandOver : public IMainThreadHandOver {
 public:
  TPollHandOver() : wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
  void Post(std::function<void()> Task) override {
    {
      std::lock_guard Lock(mutex_);
      queue_.push_back(std::move(Task));
    }
    const uint64_t One = 1;
    [[maybe_unused]] ssize_t Ignored = ::write(wake_.Get(), &One, sizeof One);
  }
  int Fd() const { return wake_.Get(); }
  void RunPending() {
    uint64_t Count = 0;
    [[maybe_unused]] ssize_t Ignored = ::read(wake_.Get(), &Count, sizeof Count);
    for (;;) {
      std::function<void()> Task;
      {
        std::lock_guard Lock(mutex_);
        if (queue_.empty()) return;
        Task = std::move(queue_.front());
        queue_.pop_front();
      }
      Task();
    }
  }

 private:
  TUniqueFd wake_;
  std::mutex mutex_;
  std::deque<std::function<void()>> queue_;
};

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

std::string Diagnose(const std::vector<TRemoteCandidate>& Candidates) {
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
           "); instale a regra udev: " + UdevFix;
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
  Line << " | Acel: " << W.AccelX << ' ' << W.AccelY << ' ' << W.AccelZ << " | IR:";
  if (W.IRSize1 < 15) Line << " (" << W.IRX1 << ',' << W.IRY1 << ')';
  if (W.IRSize2 < 15) Line << " (" << W.IRX2 << ',' << W.IRY2 << ')';
  if (W.IRSize1 >= 15 && W.IRSize2 >= 15) Line << " -";
  if (W.ExtensionConnected)
    Line << " | Nunchuk: " << W.NunchukStickX << ',' << W.NunchukStickY << ' ' << W.NunchukAccelX << ' '
         << W.NunchukAccelY << ' ' << W.NunchukAccelZ;
  Line << " | " << Battery << " | LEDs:";
  for (int Led = 0; Led < 4; ++Led) Line << ((LedByte >= 0 && (LedByte & (0x10 << Led)) != 0) ? '*' : '.');
  Line << " Vibração: " << ((LedByte >= 0 && (LedByte & 1) != 0) ? "sim" : "não");
  return Line.str();
}

int RunRemoteCheck(IHidEnumerator& Enumerator, IDeviceChangeMonitor& Monitor, IDeviceOpener& Opener,
                   IClock& Clock, const TRemoteCheckOptions& Options, std::ostream& Out) {
  const std::vector<TRemoteCandidate> Candidates = ListCandidates(Enumerator, Opener);
  for (const TRemoteCandidate& C : Candidates)
    Out << C.Path << "  " << C.Name << "  driver: " << (C.Driver.empty() ? "nenhum" : C.Driver)
        << "  acesso: " << (C.OpenError == 0 ? "leitura e escrita" : std::strerror(C.OpenError)) << '\n';
  Out << Diagnose(Candidates) << '\n';
  if (!Enumerator.Ready()) {
    Out << "libudev não encontrada: instale o pacote libudev1.\n";
    return 1;
  }

  TPollHandOver Loop;
  TConsoleHost Host(Out, Options.Nunchuk);
  TJvHidDeviceController HIDCtl(THidServices{Enumerator, Monitor, Opener, Loop});
  TWiimoteLink Link(HIDCtl, Host, Clock);
  Out << "Teclas: r vibração, 1-4 LEDs, q sair.\n" << std::flush;

  bool Answered = false;
  uint8_t Leds = 0x10;
  int KeysFd = Options.KeysFd;
  const uint32_t Start = Clock.Milliseconds();
  uint32_t LastTick = Start, LastStatus = Start, LastLine = Start;
  std::string Shown;
  for (;;) {
    pollfd Fds[] = {{Loop.Fd(), POLLIN, 0}, {HIDCtl.DeviceChangeFd(), POLLIN, 0}, {KeysFd, POLLIN, 0}};
    ::poll(Fds, 3, LinkTickMs);
    Loop.RunPending();
    if ((Fds[1].revents & POLLIN) != 0) HIDCtl.DeviceChangeNotified();
    bool Quit = Options.Stop != nullptr && Options.Stop->load();
    if ((Fds[2].revents & POLLIN) != 0) {
      char Keys[16];
      const ssize_t Count = ::read(KeysFd, Keys, sizeof Keys);
      if (Count <= 0) KeysFd = -1;  // no more keys: the run goes on for its time
      for (ssize_t I = 0; I < Count; ++I) {
        const char Key = Keys[I];
        if (Key == 'q') Quit = true;
        if (Key == 'r') Leds ^= 0x01;
        if (Key >= '1' && Key <= '4') Leds ^= static_cast<uint8_t>(0x10 << (Key - '1'));
        if ((Key == 'r' || (Key >= '1' && Key <= '4')) && Link.WiiDevice() != nullptr) Link.SetLeds(Leds);
      }
    }
    const uint32_t Now = Clock.Milliseconds();
    if (Now - LastTick >= LinkTickMs) {
      LastTick = Now;
      Link.Tick();
    }
    if (Link.WiiDevice() != nullptr && Now - LastStatus >= 1000) {
      LastStatus = Now;
      Link.BatteryTimerTimer();
    }
    if (!Answered && Link.Answered()) {
      Answered = true;
      Link.SetLeds(Leds);
    }
    if (Now - LastLine >= 100) {
      LastLine = Now;
      Link.ShowBattery();
      // Only a change is written: a log of the run (output not on a terminal) then stays readable.
      std::string Line = Link.WiiDevice() == nullptr
                             ? Host.Caption
                             : StatusLine(Link.Wiimote(), Host.Battery, Link.LedByte());
      if (Line != Shown) {
        Out << '\r' << Line << "\033[K" << std::flush;
        Shown = std::move(Line);
      }
    }
    if (Quit || (Options.Seconds > 0 && Now - Start >= static_cast<uint32_t>(Options.Seconds) * 1000)) break;
  }
  Out << '\n' << (Answered ? "O Wii Remote respondeu." : "Nenhum Wii Remote respondeu.") << '\n';
  return Answered ? 0 : 1;
}
