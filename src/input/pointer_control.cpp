#include "pointer_control.h"

#include "pointer_math.h"

namespace {

constexpr int32_t NoDotSize = 15;

}  // namespace

TPointerControl::TPointerControl(const TQuillonSetting& Setting, const TWiimote& Wiimote,
                                 IDesktopInput& Desktop, IDesktopControlHost& Host, TVibracao& Vibracao)
    : FSetting(Setting), FWiimote(Wiimote), FDesktop(Desktop), FHost(Host), FVibracao(Vibracao) {}

void TPointerControl::CursorOn() {
  FCursorWasOn = FHost.MotionTimerActive();
  FHost.SetMotionTimerActive(true);
  FHost.SetLeds(LedsPointerOn);
  if (FSetting.Recalibrate) FHost.CalibrateButtonClick();
}

void TPointerControl::CursorOff() {
  FCursorWasOn = false;
  FHost.SetMotionTimerActive(false);
  FHost.SetLeds(LedsPointerOff);
  if (FSetting.Recalibrate) FHost.CalibrateButtonClick();
}

// The pointer is kept on the desktop here rather than by the window system, and a move that would not
// change its place is not made: pushing against an edge sends no stream of motion events, and a real
// mouse still works while the remote rests.
void TPointerControl::MoveTo(TPoint From, TPoint To, const TMonitors& Monitors) {
  const TPoint p = ClampTo(BoundingBox(Monitors), To);
  if (p != From) FDesktop.SetCursorPos(p);
}

void TPointerControl::MotionTimerTimer(uint32_t Now, bool CursorButtonHeld) {
  if (!FDesktop.Available()) return;
  const TMonitors monitors = FDesktop.Monitors();
  const TPoint c = FDesktop.CursorPos();
  const std::string& mode = FSetting.CursorMode;
  const bool lostIR = FWiimote.IRSize1 == NoDotSize && FWiimote.IRSize2 == NoDotSize;
  if (mode == "Motion" || (mode == "IR" && lostIR && FSetting.UseMotionWhenLostIR)) {
    const TPoint m = TiltStep(FSetting, FWiimote.AccelX, FWiimote.AccelY, CursorButtonHeld);
    MoveTo(c, {c.X + m.X, c.Y + m.Y}, monitors);
  } else if (mode == "IR") {
    const TScreenRect primary = monitors.empty() ? TScreenRect{} : monitors.front();
    const TPoint target = IRTarget(primary, FWiimote.IRMidX, FWiimote.IRMidY, FSetting.DisplayEdgeAdjustment);
    MoveTo(c, IRGlide(target, c), monitors);
  }
  if (mode == "Nunchuk Analog" && FWiimote.ExtensionConnected) {
    const TPoint m = NunchukStep(FSetting, FWiimote.NunchukStickX, FWiimote.NunchukStickY);
    const TPoint p = FDesktop.CursorPos();
    MoveTo(p, {p.X + m.X, p.Y - m.Y}, monitors);
  }
  EdgeRumble(Now, monitors);
}

void TPointerControl::EndPulse() {
  FHost.SetLeds(LedsPointerOn);
  FVibracao.Vibrando = false;
  FVibracao.PulsoDeBorda = false;
}

void TPointerControl::EdgeRumble(uint32_t Now, const TMonitors& Monitors) {
  const bool pulseOver = FVibracao.Vibrando && Now - FVibracao.InicioVibracao > EdgeRumbleMs;
  if (FSetting.RumbleOnEdge && OnDesktopEdge(Monitors, FDesktop.CursorPos())) {
    if (pulseOver) {
      EndPulse();
    } else if (!FVibracao.Vibrando && !FWasOnEdge) {
      FHost.SetLeds(LedsPointerOnRumble);
      FVibracao.InicioVibracao = Now;
      FVibracao.Vibrando = true;
      FVibracao.PulsoDeBorda = true;
    }
    FWasOnEdge = true;
    return;
  }
  FWasOnEdge = false;
  if (pulseOver) EndPulse();
}
