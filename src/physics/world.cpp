#include "physics/world.h"

#include "physics/geometry_factory.h"
#include "physics/ode_runtime.h"

#include <memory>
#include <mutex>
#include <utility>
#include <vector>

TPhysicsWorld::TPhysicsWorld(bool TemGravidade) {
  InitPhysicsEngine();
  Mundo_ = dWorldCreate();
  scheduler_ = std::make_unique<TStepScheduler>();
  scheduler_->Attach(Mundo_);
  memory_ = std::make_unique<TStepMemory>();
  memory_->Attach(Mundo_);
  Espaco_ = dHashSpaceCreate(nullptr);
  dWorldSetGravity(Mundo_, 0, 0, TemGravidade ? static_cast<float>(-9.81) : 0.0f);
  dWorldSetCFM(Mundo_, static_cast<float>(1e-5));
  // Without a cap, pushing a fast body out of the ground adds more speed than its bounce gives: a ball
  // that should stop dead pops up at 40% of its impact speed. The cap keeps rebounds to the collision
  // kind's ratio; the thin surface layer keeps resting contacts from flickering on and off.
  dWorldSetContactMaxCorrectingVel(Mundo_, static_cast<float>(MaxContactCorrection));
  dWorldSetContactSurfaceLayer(Mundo_, static_cast<float>(ContactSurfaceLayer));
  Chao_ = CriaCaixa(Espaco_, ChaoDim.x, ChaoDim.y, ChaoDim.z);
  dGeomSetPosition(Chao_, ChaoPos.x, ChaoPos.y, ChaoPos.z);
  GrupoContatos_ = dJointGroupCreate(0);
  EndCap_ = dCreateSphere(nullptr, 1);
}

namespace {

// An error that left the collision pass itself (not the contact handler, which keeps its errors) may have
// left the space locked, and destroying a locked space ends the program. Such a world is kept here until
// the process ends, still reachable; an error in the step proper leaves nothing locked, and its world is
// destroyed as usual: the scheduler has taken back the step's job records, and the step memory frees the
// working blocks the engine lost.
void SetAside(dWorldID mundo, dSpaceID espaco, dJointGroupID grupo, dGeomID tampa,
              std::unique_ptr<TStepScheduler> agenda, std::unique_ptr<TStepMemory> memoria) {
  struct TBrokenWorld {
    dWorldID Mundo;
    dSpaceID Espaco;
    dJointGroupID Grupo;
    dGeomID Tampa;
    std::unique_ptr<TStepScheduler> Agenda;
    std::unique_ptr<TStepMemory> Memoria;
  };
  static std::mutex guarda;
  // Never destroyed, so the handles stay reachable through the exit checks as well.
  static auto* const deixados = new std::vector<TBrokenWorld>;
  std::lock_guard<std::mutex> trava(guarda);
  deixados->push_back({mundo, espaco, grupo, tampa, std::move(agenda), std::move(memoria)});
}

}  // namespace

TPhysicsWorld::~TPhysicsWorld() {
  if (spaceLocked_) {
    SetAside(Mundo_, Espaco_, GrupoContatos_, EndCap_, std::move(scheduler_), std::move(memory_));
    return;
  }
  // The blocks the engine frees now are told apart from the ones a failed step lost, freed after it.
  const TStepMemory::TScope passo(*memory_);
  try {
    dGeomDestroy(EndCap_);
    dJointGroupDestroy(GrupoContatos_);
    dSpaceDestroy(Espaco_);
    dWorldDestroy(Mundo_);
  } catch (const EPhysicsEngineError&) {
    // Nothing is left to tell: the scene is going away, and the world's memory with it.
  }
}

void TPhysicsWorld::PassoMundo(const TContactParameters& parametros) {
  if (broken_) throw EPhysicsEngineError("motor de física: o mundo parou depois de um erro");
  dVector3 g;
  dWorldGetGravity(Mundo_, g);
  // Links swing and spring faster than a frame's step resolves: such a scene takes equal sub-steps.
  const int passos = links_.SubSteps(PassoFixo, g[2]);
  const double passo = PassoFixo / passos;
  for (int k = 0; k < passos; ++k) {
    TCollisionContext ctx{Mundo_, GrupoContatos_, &parametros, EndCap_, {}, {}, {}};
    try {
      dSpaceCollide(Espaco_, &ctx, TrataColisao);
    } catch (...) {
      broken_ = spaceLocked_ = true;
      throw;
    }
    try {
      if (!ctx.Error.empty()) throw EPhysicsEngineError(ctx.Error, ctx.ErrorObjects);
      links_.BeforeStep(Mundo_, GrupoContatos_, parametros);
      const TStepMemory::TScope escopo(*memory_);
      // Scenes without links step exactly as before; a rod needs the exact solver to keep its length.
      if (links_.Empty())
        dWorldQuickStep(Mundo_, passo);
      else
        dWorldStep(Mundo_, passo);
      dJointGroupEmpty(GrupoContatos_);
      SeparateOverlaps(ctx.Overlaps, passo, ContactSurfaceLayer);
      links_.AfterStep(passo);
    } catch (...) {
      broken_ = true;
      scheduler_->Recover();
      throw;
    }
  }
}
