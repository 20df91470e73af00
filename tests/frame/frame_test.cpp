// The frame's logic without a picture: state copy, the 3D pointer driven by the Wii Remote's record,
// trails and the bounded time step.

#include "frame/frame.h"
#include "scene/simulation_step.h"
#include "support/frame_rig.h"
#include "support/scene_builder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace std::chrono_literals;

class Frame : public ::testing::Test, protected TFrameRig {
 protected:
  void Roda(const TRemoteReading& r, std::chrono::milliseconds passo = 10ms) {
    agora += passo;
    TFrameContext ctx = Contexto();
    relogio.Time = agora + duracao;
    TimerGLTimer(ctx, r, agora, relogio);
  }
  void Carrega(const TTestScene& c) { ::Carrega(c, cena); }

  std::chrono::milliseconds duracao{0};  // how long each frame's own work takes
};

TRemoteReading Remoto(uint8_t x, uint8_t y, uint8_t z, bool a, int ir = 4) {
  TRemoteReading r;
  r.Connected = true;
  r.AccelX = x, r.AccelY = y, r.AccelZ = z;
  r.ADown = a;
  r.IRSize1 = ir;
  return r;
}

TEST_F(Frame, TheFirstFramesDtIsBounded) {
  Roda(Remoto(0, 0, 0, false));
  EXPECT_EQ(estado.Dt, DtMaximo) << "the zero date is decades ago";
  Roda(Remoto(0, 0, 0, false), 12ms);
  EXPECT_DOUBLE_EQ(estado.Dt, 0.012);
  Roda(Remoto(0, 0, 0, false), 5s);
  EXPECT_EQ(estado.Dt, DtMaximo);
}

// A frame whose own work takes 30 ms: the next Dt counts from its end, not from its start.
TEST_F(Frame, DtIsMeasuredFromTheEndOfThePreviousFrame) {
  Roda(Remoto(0, 0, 0, false));
  duracao = 30ms;
  Roda(Remoto(0, 0, 0, false));
  duracao = 0ms;
  Roda(Remoto(0, 0, 0, false), 40ms);
  EXPECT_DOUBLE_EQ(estado.Dt, 0.010);
}

TEST_F(Frame, WithoutAThePointerStaysAndRecalibrates) {
  for (uint8_t v : {100, 140, 200}) {
    Roda(Remoto(v, uint8_t(v + 1), uint8_t(v + 2), false));
    EXPECT_EQ(estado.PonteiroPos.x, 0);
    EXPECT_EQ(estado.PonteiroPos.y, 0);
    EXPECT_EQ(estado.PonteiroPos.z, 0);
    EXPECT_TRUE(estado.PonteiroCaminho.empty());
    EXPECT_EQ(setting.BaseX, v);
    EXPECT_EQ(setting.BaseZ, v + 2);
  }
  // "A" down but no infrared dot: still no motion.
  Roda(Remoto(250, 10, 10, true, 0));
  EXPECT_EQ(estado.PonteiroPos.x, 0);
  // Without a remote its bytes read zero: the user's calibration must outlive such a run.
  setting.BaseX = 120, setting.BaseY = 121, setting.BaseZ = 150;
  Roda(TRemoteReading{});
  EXPECT_EQ(setting.BaseX, 120);
  EXPECT_EQ(setting.BaseY, 121);
  EXPECT_EQ(setting.BaseZ, 150);
}

// The pointer's displacement after one frame with "A" down and an accelerometer x change of 10.
TVector UmPassoComGanho(int ganho) {
  TFrameRig q;
  q.camera.Ganho = ganho;
  TFrameContext ctx = q.Contexto();
  const auto t0 = q.agora;
  q.relogio.Time = t0;
  TimerGLTimer(ctx, Remoto(120, 128, 128, false), t0, q.relogio);
  q.relogio.Time = t0 + 10ms;
  TimerGLTimer(ctx, Remoto(130, 128, 128, true), t0 + 10ms, q.relogio);
  EXPECT_EQ(q.estado.PonteiroCaminho.size(), 1u);
  return q.estado.PonteiroPos;
}

TEST_F(Frame, ThePointerFollowsTheGainInTheCamerasDirection) {
  const TVector p100 = UmPassoComGanho(100);
  const TVector p10 = UmPassoComGanho(10);
  // v = G a dt, p = v dt + G a dt^2 / 2 = 1.5 G a dt^2 with |a| = 10 along the camera's right.
  EXPECT_NEAR(NormaVet(p100), 1.5 * 100 * 10 * 0.01 * 0.01, 1e-12);
  EXPECT_NEAR(NormaVet(p100) / NormaVet(p10), 10, 1e-9);
  // From the start view the camera's right is (1, -1, 0) / sqrt 2.
  EXPECT_NEAR(p100.x, -p100.y, 1e-12);
  EXPECT_NEAR(p100.z, 0, 1e-12);
  EXPECT_GT(p100.x, 0);
}

TEST_F(Frame, LettingGoOfAEmptiesThePathAndStopsThePointer) {
  Roda(Remoto(120, 128, 128, false));
  Roda(Remoto(130, 128, 128, true));
  Roda(Remoto(140, 128, 128, true));
  EXPECT_EQ(estado.PonteiroCaminho.size(), 2u);
  const TVector antes = estado.PonteiroPos;
  Roda(Remoto(140, 128, 128, false));
  EXPECT_TRUE(estado.PonteiroCaminho.empty());
  EXPECT_EQ(estado.PonteiroVel.x, 0);
  EXPECT_EQ(estado.PonteiroPos.x, antes.x) << "the pointer stays where it was let go";
}

TEST_F(Frame, ATrailGrowsOnePointAFrameAndAFixedObjectStays) {
  TTestScene c;
  c.Linha(SphereRow(0.5), {{TColumn::Z, 5.0},
                           {TColumn::ODEMove, true},
                           {TColumn::MostraRastroSempre, true},
                           {TColumn::TemGravidade, true}});
  c.Linha(BoxRow(1.0, 1.0, 1.0),
          {{TColumn::Z, 3.0}, {TColumn::ODEMove, false}, {TColumn::MostraRastroSempre, true}});
  Carrega(c);
  for (int i = 1; i <= 7; ++i) {
    Roda(Remoto(0, 0, 0, false));
    ASSERT_EQ(cena.Objetos[0].Rastro.size(), static_cast<std::size_t>(i));
    EXPECT_EQ(cena.Objetos[0].Rastro.back().z, cena.Objetos[0].Posicao.z);
  }
  EXPECT_LT(cena.Objetos[0].Posicao.z, 5.0);
  EXPECT_TRUE(cena.Objetos[1].Rastro.empty()) << "an object physics does not move has no trail";
  EXPECT_EQ(cena.Objetos[1].Posicao.z, 3.0);
}

TEST_F(Frame, TheGrabStepGetsThePointersPoint) {
  estado.PonteiroPos = {1, -2, 3};
  TVector recebido;
  TFrameContext ctx = Contexto([&](const TVector& p) { recebido = p; });
  TimerGLTimer(ctx, Remoto(0, 0, 0, false), agora);
  EXPECT_EQ(recebido.x, -1);
  EXPECT_EQ(recebido.y, 2);
  EXPECT_EQ(recebido.z, -3);
}

// Ticks that come late (slow drawing, a loaded machine) still advance the world with real time, up to
// MaxStepsPerTick steps a tick; beyond that the world falls behind and says so.
TEST_F(Frame, ALateTickCatchesUpWithRealTimeUpToTheLimit) {
  TTestScene c;
  c.Linha(SphereRow(0.5), {{TColumn::Z, 100.0}, {TColumn::ODEMove, true}, {TColumn::TemGravidade, true}});
  Carrega(c);
  Roda(Remoto(0, 0, 0, false));
  const double inicio = estado.SimulatedTime;
  double real = 0;
  for (const auto atraso : {25ms, 40ms, 13ms, 37ms, 50ms, 9ms, 31ms}) {
    Roda(Remoto(0, 0, 0, false), atraso);
    real += std::chrono::duration<double>(atraso).count();
    EXPECT_NEAR(estado.SimulatedTime - inicio, real, 0.01 + 1e-9)
        << "after a tick " << atraso.count() << " ms late";
    EXPECT_FALSE(estado.BehindRealTime);
  }
  // The ball has fallen as far as real time says, not as far as the number of ticks says.
  EXPECT_NEAR(cena.Objetos[0].Posicao.z, 100 - 9.81 * std::pow(estado.SimulatedTime, 2) / 2, 0.02);

  const double antes = estado.SimulatedTime;
  Roda(Remoto(0, 0, 0, false), 250ms);
  EXPECT_DOUBLE_EQ(estado.SimulatedTime - antes, MaxStepsPerTick * PassoFixo);
  EXPECT_TRUE(estado.BehindRealTime);
  Roda(Remoto(0, 0, 0, false), 10ms);
  EXPECT_FALSE(estado.BehindRealTime) << "the lost time is not owed for ever";
}

TEST_F(Frame, TrailsAndThePointersPathKeepABoundedNumberOfPoints) {
  TTestScene c;
  c.Linha(SphereRow(0.5), {{TColumn::Z, 5.0},
                           {TColumn::ODEMove, true},
                           {TColumn::MostraRastroSempre, true},
                           {TColumn::TemGravidade, false}});
  Carrega(c);
  dBodySetLinearVel(cena.Corpos[0], 0.01f, 0, 0);
  const std::size_t quadros = PathLimit + 2000;
  for (std::size_t i = 0; i < quadros; ++i) {
    Roda(Remoto(static_cast<uint8_t>(128 + i % 2), 128, 128, true));
    ASSERT_LE(cena.Objetos[0].Rastro.size(), PathLimit + 500);
    ASSERT_LE(estado.PonteiroCaminho.size(), PathLimit + 500);
  }
  const std::vector<TVector>& rastro = cena.Objetos[0].Rastro;
  EXPECT_GE(rastro.size(), PathLimit) << "the last minutes are all there";
  EXPECT_EQ(rastro.back().x, cena.Objetos[0].Posicao.x);
  // Oldest first, one frame apart, with no gap where old points were dropped.
  for (std::size_t k = 1; k < rastro.size(); ++k)
    ASSERT_NEAR(rastro[k].x - rastro[k - 1].x, 0.0001, 1e-6) << k;
  EXPECT_GE(estado.PonteiroCaminho.size(), PathLimit);
}

TEST_F(Frame, AnObjectOutsideTheWorldIsToldOnceAndABrokenWorldStopsWithoutTheFrame) {
  TTestScene c;
  c.Linha(SphereRow(0.5), {{TColumn::Z, 1.0}, {TColumn::ODEMove, true}, {TColumn::TemGravidade, true}});
  c.Linha(SphereRow(0.5), {{TColumn::X, 3.0}, {TColumn::Z, 1.0}, {TColumn::ODEMove, true}});
  Carrega(c);
  std::vector<std::string> avisos;
  auto quadro = [&] {
    agora += 10ms;
    TFrameContext ctx = Contexto({}, [&](const std::string& t) { avisos.push_back(t); });
    TimerGLTimer(ctx, Remoto(0, 0, 0, false), agora);
  };
  quadro();
  dBodySetLinearVel(cena.Corpos[0], 0, 0, -1000);
  for (int i = 0; i < 20; ++i) quadro();
  ASSERT_EQ(avisos.size(), 1u);
  EXPECT_EQ(avisos[0], ObjectLeftWorldText(0));

  // A body the engine cannot place (here moved by hand, as a stray value would) breaks the step.
  dBodySetPosition(cena.Corpos[1], 0, 0, 1e10f);
  for (int i = 0; i < 5; ++i) quadro();
  ASSERT_EQ(avisos.size(), 2u);
  EXPECT_EQ(avisos[1].rfind("A simulação parou: motor de física", 0), 0u) << avisos[1];
  EXPECT_TRUE(cena.Mundo->Broken());
}

// Paused, no body moves however long the pause; "." runs exactly one step; continuing owes nothing for the
// paused time.
TEST_F(Frame, PauseHoldsTheBodiesAStepAdvancesOneAndGoingOnFiresNoBurst) {
  TTestScene c;
  c.Linha(SphereRow(0.5), {{TColumn::Z, 100.0}, {TColumn::ODEMove, true}, {TColumn::TemGravidade, true}});
  c.Linha(SphereRow(0.5), {{TColumn::X, 3.0}, {TColumn::Z, 50.0}, {TColumn::ODEMove, true}});
  Carrega(c);
  for (int i = 0; i < 5; ++i) Roda(Remoto(0, 0, 0, false));
  estado.Control.SetPaused(true);
  const double t = estado.SimulatedTime;
  const TVector a = cena.Objetos[0].Posicao, b = cena.Objetos[1].Posicao;
  for (const std::chrono::milliseconds espera : {10ms, 10ms, 3000ms, 10ms})
    Roda(Remoto(0, 0, 0, false), espera);
  EXPECT_EQ(estado.SimulatedTime, t);
  EXPECT_EQ(cena.Objetos[0].Posicao.z, a.z);
  EXPECT_EQ(cena.Objetos[1].Posicao.z, b.z);

  estado.Control.StepOnce();
  Roda(Remoto(0, 0, 0, false), 500ms);
  EXPECT_DOUBLE_EQ(estado.SimulatedTime, t + PassoFixo);
  EXPECT_LT(cena.Objetos[0].Posicao.z, a.z);
  const double z = cena.Objetos[0].Posicao.z;
  Roda(Remoto(0, 0, 0, false));
  EXPECT_EQ(cena.Objetos[0].Posicao.z, z) << "one press, one step";

  estado.Control.SetPaused(false);
  estado.Control.StepOnce();  // running: nothing to ask for
  Roda(Remoto(0, 0, 0, false));
  EXPECT_DOUBLE_EQ(estado.SimulatedTime, t + 2 * PassoFixo) << "the pause is not caught up";
  EXPECT_FALSE(estado.BehindRealTime);
}

// At 1/2, 1/4 and 1/10 of real time the world steps once every 2, 4 and 10 ticks that come on time, and
// going back to real time owes no burst.
TEST_F(Frame, SlowMotionStepsOnceEveryNTicks) {
  Roda(Remoto(0, 0, 0, false));
  for (const int n : {2, 4, 10}) {
    estado.Control.Slower();
    ASSERT_EQ(estado.Control.SpeedDivisor(), n);
    for (int k = 0; k < 3; ++k) {
      const double t = estado.SimulatedTime;
      for (int i = 0; i < n; ++i) Roda(Remoto(0, 0, 0, false));
      EXPECT_NEAR(estado.SimulatedTime - t, PassoFixo, 1e-12) << "at 1/" << n;
    }
  }
  estado.Control.Slower();
  EXPECT_EQ(estado.Control.SpeedText(), "Velocidade: ⅒×");
  for (int i = 0; i < 3; ++i) estado.Control.Faster();
  EXPECT_EQ(estado.Control.SpeedDivisor(), 1);
  EXPECT_EQ(estado.Control.SpeedText(), "Velocidade: 1×");
  const double t = estado.SimulatedTime;
  Roda(Remoto(0, 0, 0, false));
  Roda(Remoto(0, 0, 0, false));
  EXPECT_NEAR(estado.SimulatedTime - t, 2 * PassoFixo, 1e-12);
  EXPECT_FALSE(estado.BehindRealTime);
}

}  // namespace
