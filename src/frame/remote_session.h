#pragma once
// The Wii Remote's side of the program: the HID controller that finds it, the link that talks to it, the
// desktop control it drives, the rumble, and the work of the timers they need. Plain C++: the window hands
// it the platform services, runs a timer for each TRemoteTimer it asks for, and shows what it says through
// IRemoteView; the frame reads the remote through Reading() and grabs through GrabStep().

#include "frame/remote_reading.h"
#include "frame/scene_session.h"
#include "input/desktop/desktop_control.h"
#include "input/desktop/desktop_control_host.h"
#include "input/desktop/desktop_input.h"
#include "input/desktop/process_starter.h"
#include "input/desktop/rumble_state.h"
#include "input/settings/settings.h"
#include "render/camera.h"
#include "wiimote/hid_controller.h"
#include "wiimote/hid_platform.h"
#include "wiimote/kernel_remotes.h"
#include "wiimote/kernel_wiimote_link.h"
#include "wiimote/remote_link.h"
#include "wiimote/wiimote_host.h"
#include "wiimote/wiimote_link.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

// The periodic work of the remote's side. Input timers run only while the link asks for them; the last two
// always run.
enum class TRemoteTimer { Battery, Motion, Draw, Repeat, Cursor, LinkTick, Reap };
inline constexpr int RemoteTimerCount = 7;

struct TRemoteTimerInfo {
  TRemoteTimer Timer;
  int Ms;  // interval
  bool AlwaysOn;
};
// Each timer's interval, from the one table of intervals.
const std::array<TRemoteTimerInfo, RemoteTimerCount>& RemoteTimers();

// What the remote's side shows: the window implements it, tests record it.
class IRemoteView {
 public:
  virtual ~IRemoteView() = default;
  virtual void ShowCaption(const std::string& texto) = 0;  // the window's title, UTF-8
  virtual void ShowBattery(const std::string& texto) = 0;  // the battery panel of the status bar
  virtual void ShowNotice(const std::string& texto) = 0;   // the status bar's notice
  // A remote is connected: the settings menu, the battery panel and the pointer show only then.
  virtual void ShowConnected(bool conectado) = 0;
  // Starts or stops the timer that calls Tick(timer) every RemoteTimers() interval.
  virtual void RunTimer(TRemoteTimer timer, bool ativo) = 0;
  // One of the program's own windows has the keyboard.
  virtual bool OwnWindowActive() const = 0;
};

// The platform services the remote is reached through; all must outlive the session.
struct TRemoteServices {
  IHidEnumerator& Enumerator;
  IDeviceChangeMonitor& Monitor;
  IDeviceOpener& Opener;
  IClock& Clock;
  IMainLoop& Loop;
  IDesktopInput& Desktop;
  // The remotes the kernel's own driver has bound, read through it; none: every remote is read through
  // its raw HID reports.
  IKernelRemotes* Kernel = nullptr;
};

class TRemoteSession : private IDesktopControlHost {
 public:
  // Everything is kept by reference. The controller posts its first device change now, to run once the
  // main loop does: build the session before the loop runs. `Setting` and `ButtonAssign` are read at every
  // use; a calibration writes the zero point into `Setting`.
  TRemoteSession(TSceneSession& cenas, TCamera& camera, TQuillonSetting& Setting,
                 const TWiimoteButtonAssign& ButtonAssign, const TRemoteServices& servicos,
                 IRemoteView& vista);
  ~TRemoteSession() override;
  TRemoteSession(const TRemoteSession&) = delete;
  TRemoteSession& operator=(const TRemoteSession&) = delete;

  // What the frame reads of the remote now (Connected false without one).
  TRemoteReading Reading() const;
  // One grab step of the remote's hand with its pointer at P (see MoveObjetoUsuario), whose LED and rumble
  // byte goes to the remote when it changed.
  void GrabStep(TScene& cena, const TVector& P, bool haptico);
  // The work of one timer.
  void Tick(TRemoteTimer timer);
  // The desktop's "Calibrar acelerômetro": a connected remote's accelerometer becomes the zero point.
  void Calibrate();
  // The program closes, after the settings are saved: the remote's last reports.
  void Shutdown();
  // A timer asked for is running.
  bool TimerRunning(TRemoteTimer timer) const { return running_[static_cast<int>(timer)]; }

  // The remote held, through whichever way reached it; the raw HID link while none is held. A remote
  // the kernel's driver has bound is read through the driver, unless the settings ask for the raw HID
  // reports (UseRawHID) or the platform has no kernel remotes to offer; any other is read raw.
  IRemoteLink& Held();
  const IRemoteLink& Held() const;
  TWiimoteLink& Link() { return link_; }
  const TWiimoteLink& Link() const { return link_; }
  // The link through the kernel's driver, or none when remotes are read raw.
  TKernelWiimoteLink* KernelLink() { return kernel_.get(); }
  TSpawnProcessStarter& Starter() { return starter_; }
  TJvHidDeviceController& Controller() { return controller_; }

 private:
  // What one way to the remote tells the session. While the other way holds a remote, what this one says of
  // having none (the caption, the menu, the timers going off) is not said: one remote is shown at a time.
  class TPathHost : public IWiimoteHost {
   public:
    explicit TPathHost(TRemoteSession& session) : session_(session) {}
    void SetOther(const IRemoteLink* other) { other_ = other; }
    void SetCaption(const std::string& Caption) override;
    void SetBatteryText(const std::string& Text) override { session_.view_.ShowBattery(Text); }
    void SetStatusNotice(const std::string& Text) override { session_.view_.ShowNotice(Text); }
    void SetOptionsEnabled(bool Enabled) override;
    void SetTimerEnabled(TInputTimer Timer, bool Enabled) override;
    TWiimoteSettings WiimoteSettings() const override;
    void ButtonEdge(uint16_t Mask, int Kind, TButtonState& State) override;
    void RemoteLost() override { session_.RemoteLost(); }

   private:
    bool OtherHoldsOne() const { return other_ != nullptr && other_->Connected(); }
    TRemoteSession& session_;
    const IRemoteLink* other_ = nullptr;
  };

  void SetOptionsEnabled(bool Enabled);
  void SetTimerEnabled(TInputTimer Timer, bool Enabled);
  void RemoteLost();
  // IDesktopControlHost
  void SetLeds(uint8_t Value) override;
  bool MotionTimerActive() const override { return TimerRunning(TRemoteTimer::Motion); }
  void SetMotionTimerActive(bool Active) override { Run(TRemoteTimer::Motion, Active); }
  void CalibrateButtonClick() override { Calibrate(); }
  bool OwnWindowActive() const override { return view_.OwnWindowActive(); }

  void Run(TRemoteTimer timer, bool ativo);
  void DrawTimerTimer();

  TSceneSession& scenes_;
  TCamera& camera_;
  TQuillonSetting& setting_;
  IClock& clock_;
  IRemoteView& view_;
  std::array<bool, RemoteTimerCount> running_{};
  TRumbleState rumble_;
  TSpawnProcessStarter starter_;
  // The one record every way to the remote decodes into, which the desktop control reads.
  TWiimote wiimote_;
  TPathHost rawHost_{*this};
  TPathHost kernelHost_{*this};
  // Destroyed in reverse order: the desktop control and the link before the controller they use.
  TJvHidDeviceController controller_;
  TWiimoteLink link_;
  std::unique_ptr<TKernelWiimoteLink> kernel_;
  TDesktopControl desktop_;
};
