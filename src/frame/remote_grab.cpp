#include "frame/remote_grab.h"

void MarcaProximos(TScene& cena, const TVector& P) {
  for (TObjetoCena& o : cena.Objetos)
    if (o.UserMove) o.Proximo = FatorRaioDePega * o.Raio >= NormaVet(SubVet(o.Posicao, P));
}

void CarryAlongAllowedAxes(TObjetoCena& o, dBodyID corpo, const TVector& P) {
  if (o.MoveX) o.Posicao.x = P.x;
  if (o.MoveY) o.Posicao.y = P.y;
  if (o.MoveZ) o.Posicao.z = P.z;
  if (corpo)
    dBodySetPosition(corpo, static_cast<float>(o.Posicao.x), static_cast<float>(o.Posicao.y),
                     static_cast<float>(o.Posicao.z));
}

void CarryAlongAllowedAxes(TScene& cena, std::size_t i, const TVector& P) {
  TObjetoCena& o = cena.Objetos[i];
  dBodyID corpo = cena.Corpos[i];
  if (!corpo || !cena.Mundo->Links().Linked(i)) {
    CarryAlongAllowedAxes(o, corpo, P);
    return;
  }
  const dReal* p = dBodyGetPosition(corpo);
  const dReal* atual = dBodyGetLinearVel(corpo);
  TVector v = EscalaVet(SubVet(P, {p[0], p[1], p[2]}), 1 / PassoFixo);
  if (NormaVet(v) > HandPullSpeed) v = EscalaVet(v, HandPullSpeed / NormaVet(v));
  dBodySetLinearVel(corpo, static_cast<float>(o.MoveX ? v.x : atual[0]),
                    static_cast<float>(o.MoveY ? v.y : atual[1]),
                    static_cast<float>(o.MoveZ ? v.z : atual[2]));
}

uint8_t MoveObjetoUsuario(TScene& cena, const TVector& P, const TCamera& camera, bool haptico,
                          TRumbleState& vibracao, uint32_t agoraMs) {
  // The edge pulse of the desktop pointer is left to run its 60 ms, and no longer: the pointer control that
  // would end it may have stopped within the pulse. Any other rumble stops here unless an object is still
  // carried.
  const bool pulsoDeBorda =
      vibracao.Vibrando && vibracao.PulsoDeBorda && agoraMs - vibracao.InicioVibracao <= EdgeRumbleMs;
  if (!pulsoDeBorda) vibracao.PulsoDeBorda = false;
  uint8_t leds = pulsoDeBorda ? LedsOneAndFourRumble : LedsOneAndFour;
  if (!pulsoDeBorda) vibracao.Vibrando = false;
  // At most one object is held at a time: a grab only happens while no other is held.
  std::size_t preso = cena.Objetos.size();
  for (std::size_t i = 0; i < cena.Objetos.size() && preso == cena.Objetos.size(); ++i)
    if (cena.Objetos[i].Hand == THand::Remote) preso = i;
  for (std::size_t i = 0; i < cena.Objetos.size(); ++i) {
    TObjetoCena& o = cena.Objetos[i];
    if (o.Hand == THand::Mouse) continue;
    dBodyID corpo = cena.Corpos[i];
    if (!camera.Agarrar) {
      if (camera.Soltar && o.Hand == THand::Remote && corpo) dBodySetForce(corpo, 0, 0, 0);
      o.Agarrado = false;
      o.Hand = THand::None;
      continue;
    }
    const bool outroPreso = preso < cena.Objetos.size() && preso != i;
    // A linked object lags behind the pointer, held back by its link: the hand keeps it all the same.
    const bool seguraLigado = o.Hand == THand::Remote && cena.Mundo->Links().Linked(i);
    if (outroPreso || !(o.Proximo || seguraLigado)) continue;
    o.Agarrado = true;
    o.Hand = THand::Remote;
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

void ReleaseInPlace(TScene& cena, TCamera& camera) {
  for (std::size_t i = 0; i < cena.Objetos.size(); ++i) {
    TObjetoCena& o = cena.Objetos[i];
    if (o.Hand != THand::Remote) continue;
    o.Agarrado = false;
    o.Hand = THand::None;
    if (dBodyID corpo = cena.Corpos[i]) {
      dBodySetLinearVel(corpo, 0, 0, 0);
      dBodySetForce(corpo, 0, 0, 0);
    }
  }
  camera.Agarrar = false;
  camera.Soltar = false;
}

void GrabAndThrow(TScene& cena, TCamera& camera, TFrameState& estado, const TRemoteReading& remoto) {
  const bool ambos = remoto.ADown && remoto.BDown;
  if (camera.Agarrar && !ambos) {
    for (std::size_t i = 0; i < cena.Objetos.size(); ++i) {
      if (cena.Objetos[i].Hand != THand::Remote) continue;
      estado.AcelAtual = {double(remoto.AccelX), double(remoto.AccelY), double(remoto.AccelZ)};
      const TVector v = AccelerometerInWorld(estado, camera);
      if (cena.Corpos[i])
        dBodySetLinearVel(cena.Corpos[i], static_cast<float>(v.x), static_cast<float>(v.y),
                          static_cast<float>(v.z));
      estado.AcelAnterior = estado.AcelAtual;
    }
  }
  camera.Soltar = camera.Agarrar && !ambos;
  camera.Agarrar = ambos;
}
