#include "physics/world.h"

#include "physics/geometry_factory.h"
#include "physics/ode_runtime.h"

#include <mutex>
#include <vector>

TPhysicsWorld::TPhysicsWorld(bool TemGravidade) {
  InitPhysicsEngine();
  Mundo_ = dWorldCreate();
  Espaco_ = dHashSpaceCreate(nullptr);
  dWorldSetGravity(Mundo_, 0, 0, TemGravidade ? static_cast<float>(-9.81) : 0.0f);
  dWorldSetCFM(Mundo_, static_cast<float>(1e-5));
  // Without a cap, pushing a fast body out of the ground adds more speed than its bounce gives: a ball
  // that should stop dead pops up at 40% of its impact speed. The cap keeps rebounds to the collision
  // kind's ratio; the thin surface layer keeps resting contacts from flickering on and off.
  dWorldSetContactMaxCorrectingVel(Mundo_, static_cast<float>(CorrecaoMaxima));
  dWorldSetContactSurfaceLayer(Mundo_, static_cast<float>(CamadaDeContato));
  Chao_ = CriaCaixa(Espaco_, ChaoDim.x, ChaoDim.y, ChaoDim.z);
  dGeomSetPosition(Chao_, ChaoPos.x, ChaoPos.y, ChaoPos.z);
  GrupoContatos_ = dJointGroupCreate(0);
  EndCap_ = dCreateSphere(nullptr, 1);
}

namespace {

// A step the engine left half way may have left its space locked, and destroying a locked space ends
// the program. Such a world is set aside here until the process ends: a few kilobytes per engine error,
// still reachable, so the leak checker tells it from a real leak.
void SetAside(dWorldID mundo, dSpaceID espaco, dJointGroupID grupo, dGeomID tampa) {
  struct TBrokenWorld {
    dWorldID Mundo;
    dSpaceID Espaco;
    dJointGroupID Grupo;
    dGeomID Tampa;
  };
  static std::mutex guarda;
  // Never destroyed, so the handles stay reachable through the exit checks as well.
  static auto* const deixados = new std::vector<TBrokenWorld>;
  std::lock_guard<std::mutex> trava(guarda);
  deixados->push_back({mundo, espaco, grupo, tampa});
}

}  // namespace

TPhysicsWorld::~TPhysicsWorld() {
  if (broken_) {
    SetAside(Mundo_, Espaco_, GrupoContatos_, EndCap_);
    return;
  }
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
  const int passos = links_.SubSteps(PassoFixo, g[2]);
  const double passo = PassoFixo / passos;
  try {
    for (int k = 0; k < passos; ++k) {
      TCollisionContext ctx{Mundo_, GrupoContatos_, &parametros, EndCap_, {}, {}};
      dSpaceCollide(Espaco_, &ctx, TrataColisao);
      if (!ctx.Error.empty()) throw EPhysicsEngineError(ctx.Error);
      links_.BeforeStep(Mundo_, GrupoContatos_, parametros);
      if (links_.Empty())
        dWorldQuickStep(Mundo_, passo);
      else
        dWorldStep(Mundo_, passo);
      dJointGroupEmpty(GrupoContatos_);
      SeparateOverlaps(ctx.Overlaps, passo, CamadaDeContato);
      links_.AfterStep(passo);
    }
  } catch (...) {
    broken_ = true;
    throw;
  }
}
