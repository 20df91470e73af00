// The world's own step scheduler and step memory: steps come out as with the engine's built-in scheduler,
// and engine errors that leave a step by exception cost no memory, however often they happen.

#include "physics/step_scheduler.h"
#include "physics/ode_runtime.h"
#include "physics/step_memory.h"
#include "physics/world.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

namespace {

// Three boxes dropped on each other and on a box floor, with contacts, stepped 200 times; their heights.
std::array<dReal, 3> DropBoxes(TStepScheduler* agenda) {
  InitPhysicsEngine();
  dRandSetSeed(0);  // the solver shuffles its rows with the engine's one random sequence
  dWorldID mundo = dWorldCreate();
  if (agenda) agenda->Attach(mundo);
  dWorldSetGravity(mundo, 0, 0, -9.81);
  dSpaceID espaco = dHashSpaceCreate(nullptr);
  dJointGroupID contatos = dJointGroupCreate(0);
  dGeomID chao = dCreateBox(espaco, 10, 10, 1);
  dGeomSetPosition(chao, 0, 0, -0.5);
  std::array<dBodyID, 3> corpos{};
  for (int i = 0; i < 3; ++i) {
    corpos[i] = dBodyCreate(mundo);
    dGeomSetBody(dCreateBox(espaco, 1, 1, 1), corpos[i]);
    dBodySetPosition(corpos[i], 0.2 * i, 0, 1 + 1.5 * i);
  }
  struct TPass {
    dWorldID mundo;
    dJointGroupID grupo;
  } passo{mundo, contatos};
  for (int k = 0; k < 200; ++k) {
    dSpaceCollide(espaco, &passo, [](void* dados, dGeomID a, dGeomID b) {
      auto& p = *static_cast<TPass*>(dados);
      dContact c[4] = {};
      const int n = dCollide(a, b, 4, &c[0].geom, sizeof(dContact));
      for (int i = 0; i < n; ++i) {
        c[i].surface.mu = 0.5;
        dJointAttach(dJointCreateContact(p.mundo, p.grupo, &c[i]), dGeomGetBody(a), dGeomGetBody(b));
      }
    });
    dWorldQuickStep(mundo, 0.01);
    dJointGroupEmpty(contatos);
  }
  std::array<dReal, 3> alturas{};
  for (int i = 0; i < 3; ++i) alturas[i] = dBodyGetPosition(corpos[i])[2];
  dJointGroupDestroy(contatos);
  dSpaceDestroy(espaco);
  dWorldDestroy(mundo);
  return alturas;
}

TEST(TStepScheduler, StepsAsTheEnginesOwnScheduler) {
  TStepScheduler agenda;
  const auto proprio = DropBoxes(&agenda);
  const auto doMotor = DropBoxes(nullptr);
  for (int i = 0; i < 3; ++i) EXPECT_DOUBLE_EQ(proprio[i], doMotor[i]) << i;
  EXPECT_NEAR(proprio[2], 2.5, 0.05) << "the top box rests on the other two";
}

// Under the leak checker this fails if a single record is lost; here it also counts what the scheduler
// holds after each error.
TEST(TStepScheduler, RepeatedEngineErrorsKeepMemoryFlat) {
  const dReal nan = std::numeric_limits<dReal>::quiet_NaN();
  for (int vez = 0; vez < 50; ++vez) {
    TPhysicsWorld mundo(true);
    dBodyID corpo = dBodyCreate(mundo.Mundo());
    dGeomSetBody(dCreateSphere(mundo.Espaco(), 0.5), corpo);
    dBodySetPosition(corpo, 0, 0, 2);
    dBodySetAngularVel(corpo, nan, nan, nan);
    const std::vector<double> atritos{0.5};
    EXPECT_THROW(mundo.PassoMundo({0, atritos}), EPhysicsEngineError);
    EXPECT_TRUE(mundo.Broken());
  }

  // One world failing again and again: the scheduler's records stay as many as after the first error, and
  // the working blocks each failed step loses are freed with the world.
  InitPhysicsEngine();
  TStepScheduler agenda;
  TStepMemory memoria;
  dWorldID mundo = dWorldCreate();
  agenda.Attach(mundo);
  memoria.Attach(mundo);
  dBodyID corpo = dBodyCreate(mundo);
  std::size_t registros = 0;
  for (int vez = 0; vez < 20; ++vez) {
    dBodySetAngularVel(corpo, nan, 0, 0);
    {
      const TStepMemory::TScope passo(memoria);
      EXPECT_THROW(dWorldQuickStep(mundo, 0.01), EPhysicsEngineError);
    }
    agenda.Recover();
    if (vez == 0) registros = agenda.RecordCount();
    EXPECT_EQ(agenda.RecordCount(), registros) << "error " << vez;
  }
  EXPECT_GT(memoria.BlockCount(), 0u) << "the failed steps' blocks are known";
  const TStepMemory::TScope fim(memoria);
  dWorldDestroy(mundo);
}

}  // namespace
