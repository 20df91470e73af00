#pragma once
// Contact generation: the near-collision handler and the one contact surface of a scene.

#include <ode/ode.h>

#include <cstddef>
#include <span>
#include <string>
#include <vector>

inline constexpr int ContatosMax = 5;

// The engine's mesh-against-mesh test walks both meshes' bounding-volume trees and faults on a tree of a
// single triangle; a mesh with fewer triangles than this collides with everything but other meshes.
inline constexpr int MeshMeshMinTriangles = 2;

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
  // A sphere outside any space, moved onto a capsule's end caps to find where each cap touches a box.
  dGeomID EndCap = nullptr;
  // The first error met during the pass; the rest of the pass adds no contacts. An exception must not
  // unwind through the engine, which would leave the space locked for good.
  std::string Error;
  std::vector<std::size_t> ErrorObjects;  // the scene objects of the pair that raised Error
};

// The engine's near-collision callback; `data` is a TCollisionContext. Never throws.
void TrataColisao(void* data, dGeomID o1, dGeomID o2);
