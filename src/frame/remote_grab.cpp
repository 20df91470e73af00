#include "frame/remote_grab.h"

void MarcaProximos(TScene& cena, const TVector& P) {
  for (TObjetoCena& o : cena.Objetos)
    if (o.UserMove) o.Proximo = FatorRaioDePega * o.Raio >= NormaVet(SubVet(o.Posicao, P));
}

uint8_t MoveObjetoUsuario(TScene& cena, const TVector& P, THand& mao, bool haptico, TRumbleState& vibracao,
                          uint32_t agoraMs) {
  // The edge pulse of the desktop pointer is left to run its 60 ms, and no longer: the pointer control that
  // would end it may have stopped within the pulse. Any other rumble stops here unless an object is still
  // carried.
  const bool pulsoDeBorda =
      vibracao.Vibrando && vibracao.PulsoDeBorda && agoraMs - vibracao.InicioVibracao <= EdgeRumbleMs;
  if (!pulsoDeBorda) vibracao.PulsoDeBorda = false;
  uint8_t leds = pulsoDeBorda ? LedsOneAndFourRumble : LedsOneAndFour;
  if (!pulsoDeBorda) vibracao.Vibrando = false;
  mao.Target = P;
  if (!mao.Grab) {
    // A throw still waiting (the world is paused, so no step took it) leaves with the object.
    ApplyThrow(cena, mao);
    if (const auto i = HeldBy(cena, mao.Id)) {
      if (mao.Release && cena.Corpos[*i]) dBodySetForce(cena.Corpos[*i], 0, 0, 0);
      cena.Objetos[*i].Agarrado = NoHand;
    }
    return leds;
  }
  // A hand holds one object at a time: it grabs only while it holds none.
  std::optional<std::size_t> preso = HeldBy(cena, mao.Id);
  for (std::size_t i = 0; i < cena.Objetos.size(); ++i) {
    TObjetoCena& o = cena.Objetos[i];
    if (o.Agarrado && o.Agarrado != mao.Id) continue;
    if (preso && *preso != i) continue;
    // A linked object lags behind the pointer, held back by its link: the hand keeps it all the same.
    const bool seguraLigado = preso == i && cena.Mundo->Links().Linked(i);
    if (!(o.Proximo || seguraLigado)) continue;
    o.Agarrado = mao.Id;
    preso = i;
    CarryAlongAllowedAxes(cena, i, P);
    if (haptico) {
      leds = LedsOneAndFourRumble;
      vibracao.InicioVibracao = agoraMs;  // renewed every frame: the edge pulse's time-out never ends a hold
      vibracao.Vibrando = true;
      vibracao.PulsoDeBorda = false;
    }
  }
  return leds;
}

void ReleaseInPlace(TScene& cena, THand& mao) {
  if (const auto i = HeldBy(cena, mao.Id)) {
    cena.Objetos[*i].Agarrado = NoHand;
    if (dBodyID corpo = cena.Corpos[*i]) {
      dBodySetLinearVel(corpo, 0, 0, 0);
      dBodySetForce(corpo, 0, 0, 0);
    }
  }
  mao.Grab = false;
  mao.Release = false;
  mao.Throw.reset();
}

void GrabAndThrow(THand& mao, const TFrameState& estado, const TCamera& camera,
                  const TRemoteReading& remoto) {
  const bool ambos = remoto.ADown && remoto.BDown;
  if (mao.Grab && !ambos) {
    // The change since the frame last sampled the accelerometer; the frame stays that sample's one writer.
    mao.Throw = AccelerometerInWorld(estado, camera,
                                     {double(remoto.AccelX), double(remoto.AccelY), double(remoto.AccelZ)});
  }
  mao.Release = mao.Grab && !ambos;
  mao.Grab = ambos;
}
