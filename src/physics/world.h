#pragma once
// The rigid-body world of one scene: the engine's world, its collision space, the contact group of the
// current step and the fixed ground, a flat box whose top face is z = 0. Created with the scene,
// destroyed with it (the engine then destroys every body, geometry and joint in it).

#include "physics/collision.h"
#include "physics/links.h"
#include "physics/step_memory.h"
#include "physics/step_scheduler.h"
#include "physics/vector_math.h"

#include <ode/ode.h>

#include <memory>

inline constexpr int StepsPerSecond = 100;
inline constexpr double PassoFixo = 1.0 / StepsPerSecond;  // seconds of simulated time per step
// m/s: fastest a contact may push bodies apart to undo overlap.
inline constexpr double MaxContactCorrection = 0.1;
inline constexpr double ContactSurfaceLayer = 0.001;  // m of overlap allowed before a contact pushes back
inline constexpr TODEArray ChaoPos{0.0f, 0.0f, -0.25f};
inline constexpr TODEArray ChaoDim{100.0f, 100.0f, 0.5f};

class TPhysicsWorld {
 public:
  // CriaMundo: gravity 9.81 downwards along -z when TemGravidade, none otherwise.
  explicit TPhysicsWorld(bool TemGravidade);
  ~TPhysicsWorld();  // DestroiMundo
  TPhysicsWorld(const TPhysicsWorld&) = delete;
  TPhysicsWorld& operator=(const TPhysicsWorld&) = delete;

  // Advances the world by exactly PassoFixo, whatever the real time between frames (in several equal steps
  // when its links need them, see TLinkSet::SubSteps). An engine error
  // during the step throws EPhysicsEngineError; the world is then broken and must not be stepped again.
  void PassoMundo(const TContactParameters& parametros);

  // An engine error interrupted a step: the engine's own state may be half updated.
  bool Broken() const { return broken_; }

  dWorldID Mundo() const { return Mundo_; }
  dSpaceID Espaco() const { return Espaco_; }
  dGeomID Chao() const { return Chao_; }
  TLinkSet& Links() { return links_; }
  const TLinkSet& Links() const { return links_; }

 private:
  dWorldID Mundo_ = nullptr;
  dSpaceID Espaco_ = nullptr;
  dJointGroupID GrupoContatos_ = nullptr;
  dGeomID Chao_ = nullptr;
  dGeomID EndCap_ = nullptr;                   // see TCollisionContext::EndCap
  std::unique_ptr<TStepScheduler> scheduler_;  // runs the world's steps; outlives the world
  std::unique_ptr<TStepMemory> memory_;        // the steps' working memory; outlives the world
  bool broken_ = false;
  bool spaceLocked_ = false;  // an error left the collision pass itself, so the space may still be locked
  TLinkSet links_;            // its joints belong to Mundo_
};
