#pragma once
// Contact generation: the near-collision handler and the one contact surface of a scene.

#include <ode/ode.h>

#include <cstddef>
#include <span>

inline constexpr int ContatosMax = 5;

// What the handler needs of the scene: the collision kind and one friction coefficient per object.
struct TContactParameters {
  int TipoDeColisao = 0;
  std::span<const double> Atritos;
};

// Bounce of a collision kind: 0 none, 1 half, 2 full; any other kind does not bounce.
double RestitutionOfKind(int TipoDeColisao);

// The contact surface for one point. `mu` is a Coulomb coefficient: the pyramid flag makes the engine
// bound friction by mu times the normal force, so sliding does not depend on mass.
dSurfaceParameters ContactSurface(int TipoDeColisao, double mu);

// Handed to the engine's near-collision callback as its user data.
struct TCollisionContext {
  dWorldID Mundo;
  dJointGroupID GrupoContatos;
  const TContactParameters* ContactParameters;
};

// The engine's near-collision callback; `data` is a TCollisionContext.
void TrataColisao(void* data, dGeomID o1, dGeomID o2);
