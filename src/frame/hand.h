#pragma once
// A hand that takes, carries and throws scene objects: the Wii Remote's pointer or the mouse. Its input side
// writes what it means to do into its record in the frame state, and every hand carries and throws by the
// same rules, so no hand can throw faster, or along other axes, than another. The remote's intent arrives
// between frames and is applied by the frame before each step; the mouse lets go on its own event, at once,
// so that the object is free for the next press.

#include "physics/vector_math.h"
#include "scene/scene.h"

#include <cstddef>
#include <optional>

// A throw is never faster than this (m/s): a flick far from the eye, or a jerk of the remote, would
// otherwise send an object out of the world in one step.
inline constexpr double MaxThrowSpeed = 20.0;
// A linked object is pulled towards the hand at most this fast (m/s) instead of being put there.
inline constexpr double HandPullSpeed = 20.0;

// One hand's record: the intent its input side wrote, taken by the frame.
struct THand {
  explicit THand(THandId id = NoHand) : Id(id) {}

  THandId Id;
  bool Grab = false;     // it wants to hold: the remote's "A" and "B" down
  bool Release = false;  // the tick after it let go: what it held loses the force it was given
  TVector Target;        // where the held object is carried
  // The velocity to let go with, set on the tick the hand lets go and cleared when the frame has thrown.
  std::optional<TVector> Throw;
};

// The object `mao` holds in the scene, if any.
std::optional<std::size_t> HeldBy(const TScene& cena, THandId mao);

// Carries the object to P along the axes it allows (MoveX, MoveY, MoveZ) and puts its body there; the other
// components stay as they are.
void CarryAlongAllowedAxes(TObjetoCena& o, dBodyID corpo, const TVector& P);
// The same for object `i` of the scene; a linked object is not put at P, which would tear its link, but
// given the speed that takes it there in one step (along its allowed axes, at most HandPullSpeed): the
// step's joints and springs then hold it back, so the hand pulls against its link.
void CarryAlongAllowedAxes(TScene& cena, std::size_t i, const TVector& P);

// The one throw rule of every hand: object `i` leaves with `v` along the axes it allows, at most
// MaxThrowSpeed; along an axis it may not be moved it keeps the speed the world gave it.
void ThrowAlongAllowedAxes(TScene& cena, std::size_t i, const TVector& v);

// Applies a throw the hand's input side asked for to what it holds, once: called by the frame before each
// step of the world.
void ApplyThrow(TScene& cena, THand& mao);
