#include "physics/world.h"

#include "physics/geometry_factory.h"
#include "physics/ode_runtime.h"

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
}

TPhysicsWorld::~TPhysicsWorld() {
  dJointGroupDestroy(GrupoContatos_);
  dSpaceDestroy(Espaco_);
  dWorldDestroy(Mundo_);
}

void TPhysicsWorld::PassoMundo(const TContactParameters& parametros) {
  TCollisionContext ctx{Mundo_, GrupoContatos_, &parametros};
  dSpaceCollide(Espaco_, &ctx, TrataColisao);
  dWorldQuickStep(Mundo_, PassoFixo);
  dJointGroupEmpty(GrupoContatos_);
}
