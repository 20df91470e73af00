// The frame's logic without a picture: state copy, the 3D pointer driven by the Wii Remote's record,
// trails and the bounded time step.

#include "app/frame.h"
#include "support/scene_builder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace std::chrono_literals;

class Quadro : public ::testing::Test {
 protected:
  void Roda(const TRemoteReading& r, std::chrono::milliseconds passo = 10ms) {
    agora += passo;
    TFrameContext ctx{cena, camera, estado, setting, desenho, {}};
    TimerGLTimer(ctx, r, agora, [this] { return agora + duracao; });
  }
  void Carrega(const TTestScene& c) { ::Carrega(c, cena); }

  TScene cena;
  TCamera camera;
  TFrameState estado;
  TQuillonSetting setting;
  TNullFrameDrawing desenho;
  TRelogio::time_point agora = TRelogio::now();
  std::chrono::milliseconds duracao{0};  // how long each frame's own work takes
};

TRemoteReading Remoto(uint8_t x, uint8_t y, uint8_t z, bool a, int ir = 4) {
  TRemoteReading r;
  r.AccelX = x, r.AccelY = y, r.AccelZ = z;
  r.ADown = a;
  r.IRSize1 = ir;
  return r;
}

TEST_F(Quadro, PrimeiroQuadroTemDtLimitado) {
  Roda(Remoto(0, 0, 0, false));
  EXPECT_EQ(estado.Dt, DtMaximo) << "the zero date is decades ago";
  Roda(Remoto(0, 0, 0, false), 12ms);
  EXPECT_DOUBLE_EQ(estado.Dt, 0.012);
  Roda(Remoto(0, 0, 0, false), 5s);
  EXPECT_EQ(estado.Dt, DtMaximo);
}

// A frame whose own work takes 30 ms: the next Dt counts from its end, not from its start.
TEST_F(Quadro, DtIsMeasuredFromTheEndOfThePreviousFrame) {
  Roda(Remoto(0, 0, 0, false));
  duracao = 30ms;
  Roda(Remoto(0, 0, 0, false));
  duracao = 0ms;
  Roda(Remoto(0, 0, 0, false), 40ms);
  EXPECT_DOUBLE_EQ(estado.Dt, 0.010);
}

TEST_F(Quadro, SemABotaoOPonteiroFicaERecalibra) {
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
}

// The pointer's displacement after one frame with "A" down and an accelerometer x change of 10.
TVector UmPassoComGanho(int ganho) {
  TScene cena;
  TCamera camera;
  camera.Ganho = ganho;
  TFrameState estado;
  TQuillonSetting setting;
  TNullFrameDrawing desenho;
  TFrameContext ctx{cena, camera, estado, setting, desenho, {}};
  const auto t0 = TRelogio::now();
  TimerGLTimer(ctx, Remoto(120, 128, 128, false), t0, [&] { return t0; });
  TimerGLTimer(ctx, Remoto(130, 128, 128, true), t0 + 10ms, [&] { return t0 + 10ms; });
  EXPECT_EQ(estado.PonteiroCaminho.size(), 1u);
  return estado.PonteiroPos;
}

TEST_F(Quadro, PonteiroSegueOGanhoNaDirecaoDaCamera) {
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

TEST_F(Quadro, SoltarAEsvaziaOCaminhoEParaOPonteiro) {
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

TEST_F(Quadro, RastroCresceUmPontoPorQuadroEFixoNaoSeMove) {
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

TEST_F(Quadro, PassoDeAgarrarRecebeOPontoDoPonteiro) {
  estado.PonteiroPos = {1, -2, 3};
  TVector recebido;
  TFrameContext ctx{cena, camera, estado, setting, desenho, [&](const TVector& p) { recebido = p; }};
  TimerGLTimer(ctx, Remoto(0, 0, 0, false), agora);
  EXPECT_EQ(recebido.x, -1);
  EXPECT_EQ(recebido.y, 2);
  EXPECT_EQ(recebido.z, -3);
}

}  // namespace
