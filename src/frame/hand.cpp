#include "frame/hand.h"

std::optional<std::size_t> HeldBy(const TScene& cena, THandId mao) {
  for (std::size_t i = 0; i < cena.Objetos.size(); ++i)
    if (cena.Objetos[i].Agarrado == mao) return i;
  return std::nullopt;
}

void CarryAlongAllowedAxes(TObjetoCena& o, dBodyID corpo, const TVector& P) {
  if (o.MoveX) o.Posicao.x = P.x;
  if (o.MoveY) o.Posicao.y = P.y;
  if (o.MoveZ) o.Posicao.z = P.z;
  if (corpo)
    dBodySetPosition(corpo, static_cast<float>(o.Posicao.x), static_cast<float>(o.Posicao.y),
                     static_cast<float>(o.Posicao.z));
}

namespace {

// Sets the body's velocity along the object's allowed axes to `v`; the others keep the world's.
void SetAllowedVelocity(const TObjetoCena& o, dBodyID corpo, const TVector& v) {
  const dReal* atual = dBodyGetLinearVel(corpo);
  dBodySetLinearVel(corpo, static_cast<float>(o.MoveX ? v.x : atual[0]),
                    static_cast<float>(o.MoveY ? v.y : atual[1]),
                    static_cast<float>(o.MoveZ ? v.z : atual[2]));
}

TVector AtMost(const TVector& v, double rapidez) {
  const double n = NormaVet(v);
  return n > rapidez ? EscalaVet(v, rapidez / n) : v;
}

}  // namespace

void CarryAlongAllowedAxes(TScene& cena, std::size_t i, const TVector& P) {
  TObjetoCena& o = cena.Objetos[i];
  dBodyID corpo = cena.Corpos[i];
  if (!corpo || !cena.Mundo->Links().Linked(i)) {
    CarryAlongAllowedAxes(o, corpo, P);
    return;
  }
  const dReal* p = dBodyGetPosition(corpo);
  SetAllowedVelocity(o, corpo,
                     AtMost(EscalaVet(SubVet(P, {p[0], p[1], p[2]}), 1 / PassoFixo), HandPullSpeed));
}

void ThrowAlongAllowedAxes(TScene& cena, std::size_t i, const TVector& v) {
  dBodyID corpo = cena.Corpos[i];
  if (!corpo) return;
  const TObjetoCena& o = cena.Objetos[i];
  SetAllowedVelocity(o, corpo, AtMost(AlongAllowedAxes(v, o), MaxThrowSpeed));
}

void ApplyThrow(TScene& cena, THand& mao) {
  if (!mao.Throw) return;
  if (const auto i = HeldBy(cena, mao.Id)) ThrowAlongAllowedAxes(cena, *i, *mao.Throw);
  mao.Throw.reset();
}
