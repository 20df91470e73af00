#include "scene/object_readout.h"

namespace {

// ½ ωᵀ R I Rᵀ ω: the body's inertia is about its own axes, the angular velocity in the world's.
double RotationalEnergy(dBodyID corpo, const dMass& m) {
  const dReal* w = dBodyGetAngularVel(corpo);
  const dReal* R = dBodyGetRotation(corpo);  // 3 x 4, row-major
  double local[3];
  for (int k = 0; k < 3; ++k) local[k] = R[0 * 4 + k] * w[0] + R[1 * 4 + k] * w[1] + R[2 * 4 + k] * w[2];
  double e = 0;
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) e += local[r] * m.I[r * 4 + c] * local[c];
  return e / 2;
}

}  // namespace

TObjectReadout ReadObject(const TScene& cena, std::size_t i) {
  const TObjetoCena& o = cena.Objetos.at(i);
  TObjectReadout r;
  r.Posicao = o.Posicao;
  r.VecV = o.VecV;
  r.Acceleration = o.VecA;
  r.Speed = NormaVet(o.VecV);
  const dBodyID corpo = i < cena.Corpos.size() ? cena.Corpos[i] : nullptr;
  if (!corpo) return r;
  dMass m;
  dBodyGetMass(corpo, &m);
  r.HasMass = true;
  r.Mass = m.mass;
  r.NetForce = EscalaVet(o.VecA, r.Mass);
  r.Momentum = EscalaVet(o.VecV, r.Mass);
  dVector3 g{0, 0, 0};
  // A body the world's gravity leaves alone (a plane's) has no potential energy from it.
  if (cena.Mundo && dBodyGetGravityMode(corpo)) dWorldGetGravity(cena.Mundo->Mundo(), g);
  r.Kinetic = r.Mass * r.Speed * r.Speed / 2 + (o.ODEMove ? RotationalEnergy(corpo, m) : 0);
  r.Elastic = cena.Mundo ? cena.Mundo->Links().ElasticEnergyOf(i) : 0;
  r.Potential = -r.Mass * g[2] * o.Posicao.z + r.Elastic;
  r.Total = r.Kinetic + r.Potential;
  return r;
}

TSceneTotals ReadSceneTotals(const TScene& cena) {
  TSceneTotals t;
  for (std::size_t i = 0; i < cena.Objetos.size(); ++i) {
    if (!cena.Objetos[i].ODEMove) continue;
    const TObjectReadout r = ReadObject(cena, i);
    t.Momentum = SomaVet(t.Momentum, r.Momentum);
    t.Energy += r.Total - r.Elastic;
  }
  // A spring stores its energy whichever of its ends moves (a support's spring included), and only once.
  if (cena.Mundo) t.Energy += cena.Mundo->Links().ElasticEnergy();
  return t;
}

double RotationEnergy(const TScene& cena, std::size_t i) {
  const dBodyID corpo = i < cena.Corpos.size() ? cena.Corpos[i] : nullptr;
  if (!corpo || !cena.Objetos.at(i).ODEMove) return 0;
  dMass m;
  dBodyGetMass(corpo, &m);
  return RotationalEnergy(corpo, m);
}

double GravityZ(const TScene& cena) {
  dVector3 g{0, 0, 0};
  if (cena.Mundo) dWorldGetGravity(cena.Mundo->Mundo(), g);
  return g[2];
}
