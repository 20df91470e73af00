#include "input/desktop/pointer_control.h"

#include "input/desktop/pointer_math.h"

TPointerControl::TPointerControl(const TQuillonSetting& Setting, const TWiimote& Wiimote,
                                 IDesktopInput& Desktop, IDesktopControlHost& Host, TRumbleState& Vibracao)
    : setting_(Setting), wiimote_(Wiimote), desktop_(Desktop), host_(Host), rumble_(Vibracao) {}

void TPointerControl::CursorOn() {
  cursorWasOn_ = host_.MotionTimerActive();
  host_.SetMotionTimerActive(true);
  host_.SetLeds(LedsOneAndFour);
  if (setting_.Recalibrate) host_.CalibrateButtonClick();
}

void TPointerControl::CursorOff() {
  cursorWasOn_ = false;
  host_.SetMotionTimerActive(false);
  host_.SetLeds(LedsFourOnly);
  if (setting_.Recalibrate) host_.CalibrateButtonClick();
}

// The pointer is kept on the desktop here rather than by the window system, and a move that would not
// change its place is not made: pushing against an edge sends no stream of motion events, and a real
// mouse still works while the remote rests.
void TPointerControl::MoveTo(TPoint From, TPoint To, const TMonitors& Monitors) {
  const TPoint p = ClampTo(BoundingBox(Monitors), To);
  if (p != From) desktop_.SetCursorPos(p);
}

void TPointerControl::MotionTimerTimer(uint32_t Now, bool CursorButtonHeld) {
  if (!desktop_.Available()) return;
  const TMonitors monitors = desktop_.Monitors();
  const TPoint c = desktop_.CursorPos();
  const TCursorMode mode = CursorModeOf(setting_.CursorMode);
  const bool lostIR = wiimote_.IRSize1 == NoDotSize && wiimote_.IRSize2 == NoDotSize;
  if (mode == TCursorMode::Motion || (mode == TCursorMode::IR && lostIR && setting_.UseMotionWhenLostIR)) {
    const TPoint m = TiltStep(setting_, wiimote_.AccelX, wiimote_.AccelY, CursorButtonHeld);
    MoveTo(c, {c.X + m.X, c.Y + m.Y}, monitors);
  } else if (mode == TCursorMode::IR) {
    const TScreenRect primary = monitors.empty() ? TScreenRect{} : monitors.front();
    const TPoint target = IRTarget(primary, wiimote_.IRMidX, wiimote_.IRMidY, setting_.DisplayEdgeAdjustment);
    MoveTo(c, IRGlide(target, c), monitors);
  }
  if (mode == TCursorMode::NunchukAnalog && wiimote_.ExtensionConnected) {
    const TPoint m = NunchukStep(setting_, wiimote_.NunchukStickX, wiimote_.NunchukStickY);
    const TPoint p = desktop_.CursorPos();
    MoveTo(p, {p.X + m.X, p.Y - m.Y}, monitors);
  }
  EdgeRumble(Now, monitors);
}

void TPointerControl::EndPulse() {
  host_.SetLeds(LedsOneAndFour);
  rumble_.Vibrando = false;
  rumble_.PulsoDeBorda = false;
}

void TPointerControl::EdgeRumble(uint32_t Now, const TMonitors& Monitors) {
  const bool pulseOver = rumble_.Vibrando && Now - rumble_.InicioVibracao > EdgeRumbleMs;
  if (setting_.RumbleOnEdge && OnDesktopEdge(Monitors, desktop_.CursorPos())) {
    if (pulseOver) {
      EndPulse();
    } else if (!rumble_.Vibrando && !wasOnEdge_) {
      host_.SetLeds(LedsOneAndFourRumble);
      rumble_.InicioVibracao = Now;
      rumble_.Vibrando = true;
      rumble_.PulsoDeBorda = true;
    }
    wasOnEdge_ = true;
    return;
  }
  wasOnEdge_ = false;
  if (pulseOver) EndPulse();
}
