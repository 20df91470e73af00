#pragma once
// Contact generation: the near-collision handler and the one contact surface of a scene.

#include <ode/ode.h>

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

inline constexpr int ContatosMax = 5;

// m: contacts deeper than this on both sides of a pair, pushing against each other, mean the shapes have
// sunk into each other too far for the engine to tell which way is out (see TrataColisao).
inline constexpr double DeepContact = 0.01;

// The engine's mesh-against-mesh test walks both meshes' bounding-volume trees and faults on a tree of a
// single triangle; a mesh with fewer triangles than this collides with everything but other meshes.
inline constexpr int MeshMeshMinTriangles = 2;

// What the handler needs of the scene: the collision kind, one friction coefficient per object and, where
// the scene gives them, each object's own coefficient of restitution (negative: the collision kind's).
struct TContactParameters {
  int TipoDeColisao = 0;
  std::span<const double> Atritos;
  std::span<const double> Elasticidades{};
};

// Bounce of a collision kind: 0 none, 1 half, 2 full; any other kind does not bounce.
double RestitutionOfKind(int TipoDeColisao);

// Bounce of a contact between objects `i` and `j` (none: the ground). Two objects with their own
// coefficient share the mean of the two; when only one has its own, that one counts; otherwise the kind's.
double PairRestitution(const TContactParameters& p, std::optional<std::size_t> i,
                       std::optional<std::size_t> j);

// The contact surface for one point. `mu` is a Coulomb coefficient: the pyramid flag makes the engine
// bound friction by mu times the normal force, so sliding does not depend on mass.
dSurfaceParameters ContactSurface(int TipoDeColisao, double mu);
// The same with the bounce given outright (0 to 1).
dSurfaceParameters ContactSurfaceWithBounce(double bounce, double mu);

// An overlap between two bodies (b2 null: something that cannot move) along `normal`, which points into the
// first. Contacts that bounce with an object's own elasticity leave overlaps to be undone by moving the
// bodies after the step: undone by speeding the bodies apart, as the engine does, a sticking collision
// would come apart at up to MaxContactCorrection.
struct TOverlap {
  dBodyID b1 = nullptr, b2 = nullptr;
  double normal[3] = {0, 0, 0};
  double depth = 0;  // m
};

// After a step of `passo` seconds: moves each pair apart along its normal by the part of its overlap the
// step left beyond `camada` (m), half of it each step (as the contacts' soft_erp), shared in inverse
// proportion to the masses. Velocities are not touched.
void SeparateOverlaps(const std::vector<TOverlap>& sobreposicoes, double passo, double camada);

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
  std::vector<TOverlap> Overlaps;         // see TOverlap
  std::vector<std::size_t> ErrorObjects;  // the scene objects of the pair that raised Error
};

// The engine's near-collision callback; `data` is a TCollisionContext. Never throws.
void TrataColisao(void* data, dGeomID o1, dGeomID o2);
