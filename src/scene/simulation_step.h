#pragma once
// The physics half of a frame: one fixed step, then the bodies' state copied into the scene's records.
// The window's frame and the headless runner both go through here, so they simulate the same thing.

#include "scene/scene.h"

#include <cstddef>
#include <string>
#include <vector>

// Where an object may be. Below FloorLimit it has fallen off the ground for good; beyond WorldBound on any
// axis single precision is down to a millimetre and the engine soon fails on its own numbers.
inline constexpr double FloorLimit = -50;
inline constexpr double WorldBound = 10000;

// Finite, above FloorLimit and within WorldBound on every axis.
bool InsideWorld(const TVector& p);

// Points a trail (or the pointer's path) keeps: the last three minutes at one point per frame (TimerGLMs).
inline constexpr std::size_t PathLimit = 18000;

// Appends `p`; past PathLimit the oldest points go, a few seconds' worth at a time, so the cost of
// dropping them stays small per frame and the list never holds more than PathLimit plus that slack.
void AppendBounded(std::vector<TVector>& caminho, const TVector& p);

// Empties every object's trail; the objects go on adding to it as before.
void ClearTrails(TScene& cena);

// For each object with a body, after one step of PassoFixo: with ODEMove, the body's position, velocity
// and orientation go into the record, and VecA becomes the step's acceleration (the change of velocity
// over PassoFixo, the net force per unit mass) (and the position onto the trail when MostraRastroSempre);
// without it, the body is put back to the record's pose, at rest. An object the step took outside the world
// is frozen at its last pose inside it (LeftWorld); the indices of the objects frozen by this call are
// returned.
std::vector<std::size_t> CopyBodyStates(TScene& cena);

// What the user is told, once, about object `i` (0-based) frozen outside the world.
std::string ObjectLeftWorldText(std::size_t i);

// PassoMundo with the scene's contact parameters, then CopyBodyStates. Throws EPhysicsEngineError when the
// engine fails during the step, its text starting with the rows and names of the objects involved when they
// can be told ("linha 2 (\"Bola\"): ").
std::vector<std::size_t> SimulationStep(TScene& cena);
