#include "frame/remote_session.h"

#include "frame/remote_grab.h"
#include "input/desktop/timer_intervals.h"

const std::array<TRemoteTimerInfo, RemoteTimerCount>& RemoteTimers() {
  static constexpr std::array<TRemoteTimerInfo, RemoteTimerCount> Timers{{
      {TRemoteTimer::Battery, BatteryTimerMs, false},
      {TRemoteTimer::Motion, MotionTimerMs, false},
      {TRemoteTimer::Draw, DrawTimerMs, false},
      {TRemoteTimer::Repeat, RepeatTimerMs, false},
      {TRemoteTimer::Cursor, CursorTimerMs, false},
      // Lets the remote's set-up and writes go on without any frame waiting for them.
      {TRemoteTimer::LinkTick, LinkTickMs, true},
      // Programs started from the remote are collected even after the remote has gone.
      {TRemoteTimer::Reap, ReapTimerMs, true},
  }};
  return Timers;
}

TRemoteSession::TRemoteSession(TSceneSession& cenas, TCamera& camera, TQuillonSetting& Setting,
                               const TWiimoteButtonAssign& ButtonAssign, const TRemoteServices& servicos,
                               IRemoteView& vista)
    : scenes_(cenas),
      camera_(camera),
      setting_(Setting),
      clock_(servicos.Clock),
      view_(vista),
      controller_(THidServices{servicos.Enumerator, servicos.Monitor, servicos.Opener, servicos.Loop}),
      link_(controller_, rawHost_, servicos.Clock, wiimote_),
      desktop_(Setting, ButtonAssign, wiimote_, servicos.Desktop, starter_, *this, rumble_) {
  if (servicos.Kernel != nullptr && !Setting.UseRawHID) {
    kernel_ = std::make_unique<TKernelWiimoteLink>(*servicos.Kernel, servicos.Loop, kernelHost_,
                                                   servicos.Clock, wiimote_);
    // What the driver has bound is the kernel link's; the raw link takes only remotes with no driver.
    link_.SetClaimRule(
        [](const TJvHidDevice& HidDev) { return HidDev.InterfaceInfo().Driver != KernelDriverName; });
    rawHost_.SetOther(kernel_.get());
    kernelHost_.SetOther(&link_);
  }
  for (const TRemoteTimerInfo& t : RemoteTimers())
    if (t.AlwaysOn) Run(t.Timer, true);
}

TRemoteSession::~TRemoteSession() = default;

IRemoteLink& TRemoteSession::Held() {
  if (kernel_ && kernel_->Connected()) return *kernel_;
  return link_;
}

const IRemoteLink& TRemoteSession::Held() const {
  if (kernel_ && kernel_->Connected()) return *kernel_;
  return link_;
}

void TRemoteSession::Shutdown() {
  Held().Shutdown();
}

TRemoteReading TRemoteSession::Reading() const {
  const TWiimote& w = wiimote_;
  TRemoteReading r;
  r.Connected = Held().Connected();
  r.AccelX = w.AccelX, r.AccelY = w.AccelY, r.AccelZ = w.AccelZ;
  r.ADown = w.ButtonState[ButtonA].Down;
  r.BDown = w.ButtonState[ButtonB].Down;
  r.IRSize1 = w.IRSize1, r.IRSize2 = w.IRSize2;
  return r;
}

void TRemoteSession::GrabStep(TScene& cena, const TVector& P, bool haptico) {
  MarcaProximos(cena, P);
  const uint8_t leds =
      MoveObjetoUsuario(cena, P, scenes_.FrameState().Remote, haptico, rumble_, clock_.Milliseconds());
  // Without a remote there is no one to tell; the caption keeps saying so.
  if (Held().Connected()) Held().SetLedsIfChanged(leds);
}

void TRemoteSession::Tick(TRemoteTimer timer) {
  switch (timer) {
    case TRemoteTimer::Battery:
      Held().BatteryTimerTimer();
      return;
    case TRemoteTimer::Motion:
      desktop_.MotionTimerTimer(clock_.Milliseconds());
      return;
    case TRemoteTimer::Draw:
      DrawTimerTimer();
      return;
    case TRemoteTimer::Repeat:
      desktop_.RepeatTimerTimer(clock_.Milliseconds());
      return;
    case TRemoteTimer::Cursor: {
      desktop_.CursorTimerTimer();
      TFrameState& estado = scenes_.FrameState();
      GrabAndThrow(estado.Remote, estado, camera_, Reading());
      return;
    }
    case TRemoteTimer::LinkTick:
      link_.Tick();
      return;
    case TRemoteTimer::Reap:
      starter_.ReapFinished();
      return;
  }
}

void TRemoteSession::DrawTimerTimer() {
  Held().ShowBattery();
  if (!setting_.DrawGraph) return;
  const auto& b = wiimote_.ButtonState;
  TCameraButtons botoes;
  botoes.Up = b[ButtonUp].Down, botoes.Down = b[ButtonDown].Down;
  botoes.Right = b[ButtonRight].Down, botoes.Left = b[ButtonLeft].Down;
  botoes.Home = b[ButtonHome].Down, botoes.Plus = b[ButtonPlus].Down, botoes.Minus = b[ButtonMinus].Down;
  botoes.Um = b[ButtonOne].Down, botoes.Dois = b[ButtonTwo].Down;
  ControleCamera(botoes, camera_, scenes_.FrameState().PonteiroPos);
}

void TRemoteSession::Calibrate() {
  ::CalibrateButtonClick(Reading(), setting_);
}

void TRemoteSession::Run(TRemoteTimer timer, bool ativo) {
  running_[static_cast<int>(timer)] = ativo;
  view_.RunTimer(timer, ativo);
}

void TRemoteSession::SetOptionsEnabled(bool Enabled) {
  // Called as a remote comes and goes: without one, nothing of the remote is shown.
  scenes_.FrameState().PointerShown = Enabled;
  view_.ShowConnected(Enabled);
}

void TRemoteSession::SetTimerEnabled(TInputTimer Timer, bool Enabled) {
  switch (Timer) {
    case TInputTimer::BatteryTimer:
      return Run(TRemoteTimer::Battery, Enabled);
    case TInputTimer::MotionTimer:
      return Run(TRemoteTimer::Motion, Enabled);
    case TInputTimer::DrawTimer:
      return Run(TRemoteTimer::Draw, Enabled);
    case TInputTimer::RepeatTimer:
      return Run(TRemoteTimer::Repeat, Enabled);
    case TInputTimer::CursorTimer:
      return Run(TRemoteTimer::Cursor, Enabled);
  }
}

void TRemoteSession::TPathHost::SetCaption(const std::string& Caption) {
  if (Caption == CaptionNotDetected && OtherHoldsOne()) return;
  session_.view_.ShowCaption(Caption);
}

void TRemoteSession::TPathHost::SetOptionsEnabled(bool Enabled) {
  if (!Enabled && OtherHoldsOne()) return;
  session_.SetOptionsEnabled(Enabled);
}

void TRemoteSession::TPathHost::SetTimerEnabled(TInputTimer Timer, bool Enabled) {
  if (!Enabled && OtherHoldsOne()) return;
  session_.SetTimerEnabled(Timer, Enabled);
}

TWiimoteSettings TRemoteSession::TPathHost::WiimoteSettings() const {
  return {session_.setting_.UseNunchuk, session_.setting_.EnableCursorAtStartup};
}

void TRemoteSession::TPathHost::ButtonEdge(uint16_t Mask, int Kind, TButtonState& State) {
  session_.desktop_.ButtonEdge(Mask, Kind, State, session_.clock_.Milliseconds());
}

void TRemoteSession::RemoteLost() {
  THand& mao = scenes_.FrameState().Remote;
  if (TScene* cena = scenes_.CurrentScene())
    ReleaseInPlace(*cena, mao);
  else
    mao = THand(RemoteHand);
  rumble_.Vibrando = false;
  rumble_.PulsoDeBorda = false;
}

void TRemoteSession::SetLeds(uint8_t Value) {
  if (Held().Connected()) Held().SetLeds(Value);
}
