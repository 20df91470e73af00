#include "scene/simulation_step.h"

void CopyBodyStates(TScene& cena) {
  for (std::size_t i = 0; i < cena.Objetos.size(); ++i) {
    dBodyID corpo = cena.Corpos[i];
    if (!corpo) continue;
    TObjetoCena& o = cena.Objetos[i];
    if (o.ODEMove) {
      const dReal* p = dBodyGetPosition(corpo);
      const dReal* v = dBodyGetLinearVel(corpo);
      const dReal* f = dBodyGetForce(corpo);
      const dReal* q = dBodyGetQuaternion(corpo);
      o.PosicaoAnterior = o.Posicao;
      o.Posicao = {p[0], p[1], p[2]};
      o.VecV = {v[0], v[1], v[2]};
      o.VecA = {f[0], f[1], f[2]};
      o.Quaternio = {static_cast<float>(q[0]), static_cast<float>(q[1]), static_cast<float>(q[2]),
                     static_cast<float>(q[3])};
      if (o.MostraRastroSempre) o.Rastro.push_back(o.Posicao);
    } else {
      dBodySetPosition(corpo, static_cast<float>(o.Posicao.x), static_cast<float>(o.Posicao.y),
                       static_cast<float>(o.Posicao.z));
      const dQuaternion q = {o.Quaternio[0], o.Quaternio[1], o.Quaternio[2], o.Quaternio[3]};
      dBodySetQuaternion(corpo, q);
      dBodySetLinearVel(corpo, 0, 0, 0);
      dBodySetAngularVel(corpo, 0, 0, 0);
    }
  }
}

void SimulationStep(TScene& cena) {
  cena.Mundo->PassoMundo(cena.ContactParameters());
  CopyBodyStates(cena);
}
