#include "frame/mouse_grab.h"

#include <cmath>

namespace {

bool WithinSlop(double x, double y, const std::pair<double, double>& inicio) {
  return std::abs(x - inicio.first) <= ClickSlop && std::abs(y - inicio.second) <= ClickSlop;
}

// A start position is written as the overlay shows it: to the millimetre, without the float noise of the
// drag plane.
TVector ToMillimetre(const TVector& p) {
  const auto mm = [](double v) { return std::round(v * 1000.0) / 1000.0; };
  return {mm(p.x), mm(p.y), mm(p.z)};
}

}  // namespace

bool TMouseGrab::Press(TScene& cena, const TPanelView& vista, double x, double y, int64_t ms) {
  pressAt_.reset();
  pressedObject_.reset();
  const std::optional<TPickHit> hit = PickObject(cena, RayThroughPanel(vista, x, y));
  if (hit && !held_) {
    TObjetoCena& o = cena.Objetos[hit->objeto];
    const bool colocando = placingMode_ && placingMode_();
    if ((o.UserMove || colocando) && !o.Agarrado) {
      held_ = hit->objeto;
      placing_ = colocando;
      dragged_ = false;
      heldPressAt_ = {x, y};
      o.Agarrado = MouseHand;
      grabPoint_ = hit->ponto;
      viewNormal_ = NormalizaVet(SubVet(vista.camera.Centro, vista.camera.Olho));
      hand_.Grab = true;
      hand_.Target = o.Posicao;
      offset_ = SubVet(o.Posicao, hit->ponto);
      samples_.clear();
      Record(ms, hit->ponto);
      selection_.Set(hit->objeto);
      return true;
    }
  }
  pressAt_ = {x, y};
  if (hit) pressedObject_ = hit->objeto;
  return false;
}

bool TMouseGrab::Move(const TPanelView& vista, double x, double y, int64_t ms) {
  if (!held_) return false;
  if (!dragged_ && WithinSlop(x, y, heldPressAt_)) return true;
  dragged_ = true;
  if (const auto ponto = OnDragPlane(vista, x, y)) {
    Record(ms, *ponto);
    hand_.Target = SomaVet(*ponto, offset_);
  }
  return true;
}

bool TMouseGrab::Release(TScene& cena, const TPanelView& vista, double x, double y, int64_t ms) {
  if (!held_) {
    const bool clique = pressAt_ && WithinSlop(x, y, *pressAt_);
    if (clique) selection_.Set(pressedObject_);
    pressAt_.reset();
    return false;
  }
  Move(vista, x, y, ms);
  const std::size_t i = *held_;
  held_.reset();
  hand_.Grab = false;
  if (i >= cena.Objetos.size() || cena.Objetos[i].Agarrado != MouseHand) return true;  // the scene went
  TObjetoCena& o = cena.Objetos[i];
  o.Agarrado = NoHand;
  if (placing_) {
    placing_ = false;
    samples_.clear();
    if (!dragged_) return true;  // a click selects; the start position stays as it was
    const TVector onde = ToMillimetre(hand_.Target);
    hand_.Target = onde;
    o.Posicao = onde;
    // Last: the handler may build the scene anew.
    if (placed_) placed_(i, onde);
    return true;
  }
  if (!cena.Corpos[i]) return true;
  CarryAlongAllowedAxes(cena, i, hand_.Target);
  ThrowAlongAllowedAxes(cena, i, ThrowVelocity(ms));
  samples_.clear();
  return true;
}

void TMouseGrab::Carry(TScene& cena) {
  if (held_ && (*held_ >= cena.Objetos.size() || cena.Objetos[*held_].Agarrado != MouseHand)) {
    held_.reset();
    hand_.Grab = false;
    placing_ = false;
    samples_.clear();
  }
  if (held_ && placing_) {
    TObjetoCena& o = cena.Objetos[*held_];
    o.Posicao = hand_.Target;
    if (dBodyID corpo = cena.Corpos[*held_])
      dBodySetPosition(corpo, static_cast<float>(hand_.Target.x), static_cast<float>(hand_.Target.y),
                       static_cast<float>(hand_.Target.z));
  } else if (held_) {
    TObjetoCena& o = cena.Objetos[*held_];
    dBodyID corpo = cena.Corpos[*held_];
    CarryAlongAllowedAxes(cena, *held_, hand_.Target);
    // The hand holds it: gravity must not pile up speed that a release would then keep. A linked object
    // moves by the speed the hand gave it.
    if (corpo && !cena.Mundo->Links().Linked(*held_)) {
      const dReal* v = dBodyGetLinearVel(corpo);
      dBodySetLinearVel(corpo, o.MoveX ? 0 : v[0], o.MoveY ? 0 : v[1], o.MoveZ ? 0 : v[2]);
    }
  }
  const std::optional<std::size_t> remoto = HeldBy(cena, RemoteHand);
  if (remoto && remoto != remoteHeld_) selection_.Set(remoto);
  remoteHeld_ = remoto;
}

std::optional<TVector> TMouseGrab::OnDragPlane(const TPanelView& vista, double x, double y) const {
  // A ray along the plane, or one that meets it behind the eye, leaves the object where it is.
  return MeetPlane(RayThroughPanel(vista, x, y), grabPoint_, viewNormal_);
}

void TMouseGrab::Record(int64_t ms, const TVector& ponto) {
  samples_.push_back({ms, ponto});
  // The oldest sample kept is the last one at or before the window's start: where the mouse was then.
  while (samples_.size() >= 2 && samples_[1].ms <= ms - ThrowWindowMs) samples_.pop_front();
}

TVector TMouseGrab::ThrowVelocity(int64_t agora) const {
  if (samples_.empty()) return {};
  const TSample* inicio = &samples_.front();
  for (const TSample& s : samples_)
    if (s.ms <= agora - ThrowWindowMs) inicio = &s;
  // A drag shorter than the window is measured over its whole length.
  const int64_t dt = inicio->ms <= agora - ThrowWindowMs ? ThrowWindowMs : agora - inicio->ms;
  if (dt <= 0) return {};
  return EscalaVet(SubVet(samples_.back().ponto, inicio->ponto), 1000.0 / double(dt));
}
