#pragma once
// What a class reads off one object: where it is, how fast it goes, and its energies about the floor.

#include "scene/scene.h"

#include <cstddef>

struct TObjectReadout {
  TVector Posicao, VecV;  // m, m/s
  TVector Acceleration;   // m/s², over the last step (the net force per unit mass)
  double Speed = 0;       // m/s
  bool HasMass = false;   // only a body has a mass, and so energies
  double Mass = 0;        // kg
  TVector NetForce;       // N: m·a
  TVector Momentum;       // kg·m/s: m·v
  // J. Kinetic includes rotation (½ m v² + ½ ωᵀIω); potential is m g z of the centre of mass, z = 0 at the
  // floor, with the world's own gravity (none in a scene without it), plus Elastic: ½ k x² of the springs
  // of the object's own row.
  double Kinetic = 0, Potential = 0, Total = 0, Elastic = 0;
};

// Object `i` of the scene as the frame left it.
TObjectReadout ReadObject(const TScene& cena, std::size_t i);

// What the whole scene holds, summed over the objects the physics moves (ODEMove): an object held still
// has no momentum, and its potential energy never changes.
struct TSceneTotals {
  TVector Momentum;   // kg·m/s
  double Energy = 0;  // J: kinetic (with rotation) plus potential, and every spring's once
};
TSceneTotals ReadSceneTotals(const TScene& cena);

// The energy of object `i`'s turning, ½ ωᵀIω, in J: 0 for an object the physics does not move.
double RotationEnergy(const TScene& cena, std::size_t i);

// The z component of the world's gravity in m/s² (0 in a scene without it).
double GravityZ(const TScene& cena);
