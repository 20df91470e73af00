#pragma once
// Links between objects, or from an object to a fixed point of the world: rods and hinges are the
// engine's ball-and-socket and hinge joints; springs are forces added before every step; ropes hold only
// when taut (a frictionless contact along the rope, made only while the rope is stretched); a rope over a
// fixed smooth pin ties two objects so that the sum of their distances to the pin stays at most its length,
// and what comes up to the pin stops there, its shape against the wheel.

#include "physics/collision.h"
#include "physics/vector_math.h"

#include <ode/ode.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

// The values of the scene table's Ligacao column.
enum class TLinkKind { None = 0, Rod = 1, Hinge = 2, Spring = 3, Rope = 4, Pulley = 5 };
inline constexpr int LastLinkKind = 5;

// One link as the scene gives it, in world coordinates at load.
struct TLinkSpec {
  TLinkKind Kind = TLinkKind::None;
  std::size_t Object = 0;            // the row's object; its body moves
  std::optional<std::size_t> Other;  // none: a fixed point of the world
  // On the other object, or fixed. A pulley's axle is at this height: each side's rope hangs from the
  // point of it straight above where its object was at load, so the pulley is as wide as the ropes are
  // apart and both hang plumb, as the textbook's pulley.
  TVector Anchor;
  TVector Axis;                       // of a hinge
  double Stiffness = 0, Damping = 0;  // N/m and N·s/m, springs
  double Length = 0;                  // spring's rest length, rope's length; <= 0: the distance at load
};

// What the overlay shows of a link: its length now and what it pulls with (N). Spring: extension beyond
// its rest length and the force along it; rod, hinge, rope, pulley: the tension (negative: a rod pushes; a
// pulley with one object held at the wheel: the pull on the other, which hangs).
struct TLinkReading {
  TLinkKind Kind = TLinkKind::None;
  double Length = 0, Extension = 0, Force = 0;
};

// The shortest sub-step a frame's step of `passo` seconds is ever cut into (see TLinkSet::SubSteps): a
// spring too stiff to follow at it cannot be stepped at all.
double FinestSubStep(double passo);

class TLinkSet {
 public:
  TLinkSet() = default;
  TLinkSet(const TLinkSet&) = delete;
  TLinkSet& operator=(const TLinkSet&) = delete;

  // Makes the link between `corpo` (the linked row's body) and `outro` (null: the world) in `mundo`, whose
  // destruction takes the joints with it.
  void Add(dWorldID mundo, const TLinkSpec& spec, dBodyID corpo, dBodyID outro);
  bool Empty() const { return links_.empty(); }

  // Sub-steps one step of `passo` seconds is cut into: enough that the stiffest spring or swing turns by a
  // small angle per step, so springs stay stable and energy is kept.
  int SubSteps(double passo, double gravidade) const;

  // Before each sub-step: adds the springs' forces, and a contact for each taut rope to `grupo`.
  void BeforeStep(dWorldID mundo, dJointGroupID grupo, const TContactParameters& parametros);
  // After each step: ropes over a pin take their pull and stop what reaches the pin, and ropes stretched
  // past their length are brought back to it.
  void AfterStep(double passo);

  // The first link of `objeto`, at either end, if it has one.
  std::optional<TLinkReading> Reading(std::size_t objeto) const;
  // J stored in the springs: ½ k x² over every spring, or over the springs of `objeto`'s own row.
  double ElasticEnergy() const;
  double ElasticEnergyOf(std::size_t objeto) const;
  bool Linked(std::size_t objeto) const;

  // Where each link is drawn, in world coordinates now: the object's centre, then the anchor (for a
  // pulley, its two rims and then the other object's centre).
  struct TLinkShape {
    TLinkKind Kind;
    std::vector<TVector> Points;
    TVector Axis;       // of a hinge, world, unit
    bool FixedAnchor;   // the anchor is a point of the world
    double RestLength;  // of a spring or rope
  };
  std::vector<TLinkShape> Shapes() const;

 private:
  struct TLink {
    TLinkSpec Spec;
    dBodyID Body = nullptr, OtherBody = nullptr;
    TVector LocalAnchor;  // in the other body's frame, or the world point
    TVector PulleyOther;  // a pulley's rope leaves it here for the other object; LocalAnchor for this one
    double Length = 0;
    dJointID Joint = nullptr;
    std::unique_ptr<dJointFeedback> Feedback;  // the engine writes the joint's force here
    double Tension = 0;                        // of a rope or pulley, over the last step
  };
  TVector AnchorNow(const TLink& l) const;
  double Pull(const TLink& l) const;
  double SpringEnergy(const TLink& l) const;
  void AddSpringForce(const TLink& l) const;
  void AddRopeContact(TLink& l, dWorldID mundo, dJointGroupID grupo, const TContactParameters& p);
  void HoldPulley(TLink& l, double passo);
  void KeepRopeLength(const TLink& l) const;

  std::vector<TLink> links_;
};
