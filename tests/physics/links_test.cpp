// Rods, hinges, springs and ropes through the real loader and world, against the textbook.

#include "scene/simulation_step.h"
#include "support/scene_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double g = 9.81;
constexpr double Pi = std::numbers::pi;

// A ball of `massa` kg at (x, y, z), moved by the physics under gravity, with these link cells.
TRowCells Bola(double x, double y, double z, double massa, TRowCells ligacao) {
  TRowCells v = {{TColumn::X, x},         {TColumn::Y, y},          {TColumn::Z, z},
                 {TColumn::Massa, massa}, {TColumn::ODEMove, true}, {TColumn::TemGravidade, true},
                 {TColumn::MoveX, true},  {TColumn::MoveY, true},   {TColumn::MoveZ, true}};
  v.insert(v.end(), ligacao.begin(), ligacao.end());
  return v;
}

TRowCells Ponto(int tipo, TVector p, TRowCells mais = {}) {
  TRowCells v = {
      {TColumn::Ligacao, tipo}, {TColumn::PontoX, p.x}, {TColumn::PontoY, p.y}, {TColumn::PontoZ, p.z}};
  v.insert(v.end(), mais.begin(), mais.end());
  return v;
}

double Distancia(const TVector& a, const TVector& b) {
  return NormaVet(SubVet(a, b));
}

class Ligacoes : public ::testing::Test {
 protected:
  void Carrega(const TTestScene& c) { ::Carrega(c, cena); }
  // Steps `n` frames, calling `cada` with the time after each.
  template <typename F>
  void Passos(int n, F cada) {
    for (int k = 1; k <= n; ++k) {
      SimulationStep(cena);
      cada(k * PassoFixo);
    }
  }
  const TObjetoCena& Obj(std::size_t i) const { return cena.Objetos.at(i); }
  // Mean period of a quantity that swings through zero.
  template <typename F>
  double Periodo(int quadros, F valor) {
    std::vector<double> subidas;
    double antes = valor();
    Passos(quadros, [&](double t) {
      const double agora = valor();
      if (antes < 0 && agora >= 0) subidas.push_back(t - PassoFixo * agora / (agora - antes));
      antes = agora;
    });
    EXPECT_GE(subidas.size(), 3u);
    return subidas.size() < 2 ? 0 : (subidas.back() - subidas.front()) / double(subidas.size() - 1);
  }

  TScene cena;
};

TEST_F(Ligacoes, PenduloDeUmMetroA5Graus) {
  const double th = 5 * Pi / 180, L = 1;
  const TVector pivo{0, 0, 3};
  TTestScene c;
  c.Linha(SphereRow(0.05), Bola(L * std::sin(th), 0, 3 - L * std::cos(th), 1, Ponto(1, pivo)));
  Carrega(c);
  const auto energia = [&] {
    return g * Obj(0).Posicao.z + NormaVet(Obj(0).VecV) * NormaVet(Obj(0).VecV) / 2;
  };
  const double e0 = energia(), balanco = g * L * (1 - std::cos(th));
  double comprimento = 0, energiaFora = 0;
  const double T = Periodo(6000, [&] {
    comprimento = std::max(comprimento, std::fabs(Distancia(Obj(0).Posicao, pivo) - L));
    energiaFora = std::max(energiaFora, std::fabs(energia() - e0));
    return Obj(0).VecV.x;
  });
  EXPECT_NEAR(T, 2 * Pi * std::sqrt(L / g), 0.01 * T);
  EXPECT_LT(comprimento, 0.002) << "the rod keeps its length";
  EXPECT_LT(energiaFora, 0.01 * balanco) << "a minute without losing or gaining energy";
}

TEST_F(Ligacoes, MolaVerticalPeriodoPontoMaisBaixoEEnergia) {
  // Released at rest at its rest length: it swings down to twice mg/k and back, with period 2π√(m/k).
  for (const auto& [m, k] : {std::pair{0.5, 20.0}, std::pair{0.01, 100.0}}) {
    SCOPED_TRACE(k / m);
    TTestScene c;
    c.Linha(SphereRow(0.05),
            Bola(0, 0, 2, m, Ponto(3, {0, 0, 3}, {{TColumn::Rigidez, k}, {TColumn::Comprimento, 1.0}})));
    Carrega(c);
    const auto energia = [&] {
      const double x = 3 - Obj(0).Posicao.z - 1, v = Obj(0).VecV.z;
      return m * g * Obj(0).Posicao.z + m * v * v / 2 + k * x * x / 2;
    };
    const double e0 = energia(), escala = m * g * (2 * m * g / k);
    double baixo = 2, energiaFora = 0;
    const double T = Periodo(6000, [&] {
      baixo = std::min(baixo, Obj(0).Posicao.z);
      energiaFora = std::max(energiaFora, std::fabs(energia() - e0));
      return Obj(0).VecV.z;
    });
    EXPECT_NEAR(T, 2 * Pi * std::sqrt(m / k), 0.01 * T);
    EXPECT_NEAR(2 - baixo, 2 * m * g / k, 0.01 * 2 * m * g / k);
    EXPECT_LT(energiaFora, 0.01 * escala);
  }
}

TEST_F(Ligacoes, CordaFrouxaDeixaCairAteEsticarESegura) {
  // Hung 0.5 m below its fixed point on a rope of 1 m: free fall for 0.5 m, then held at 1 m.
  TTestScene c;
  c.Linha(SphereRow(0.05), Bola(0, 0, 2.5, 1, Ponto(4, {0, 0, 3}, {{TColumn::Comprimento, 1.0}})));
  Carrega(c);
  const double queda = std::sqrt(2 * 0.5 / g);
  Passos(100, [&](double t) {
    if (t < queda - PassoFixo) {
      EXPECT_NEAR(Obj(0).Posicao.z, 2.5 - g * t * t / 2, g * t * PassoFixo) << t;
    }
    if (t > queda + 0.2) {
      EXPECT_NEAR(Obj(0).Posicao.z, 2, 0.002) << t;
      EXPECT_NEAR(Obj(0).VecV.z, 0, 0.05) << t;
    }
  });
  const std::optional<TLinkReading> r = cena.Mundo->Links().Reading(0);
  ASSERT_TRUE(r);
  EXPECT_NEAR(r->Force, g, 0.05 * g) << "a still rope pulls with the weight";

  // Thrown up from its lowest point it goes slack and flies freely above the rope's reach.
  TTestScene jogada;
  jogada.Linha(SphereRow(0.05), Bola(0, 0, 2, 1, Ponto(4, {0, 0, 3}, {{TColumn::VelZ, 3.0}})));
  Carrega(jogada);
  Passos(20, [&](double t) { EXPECT_NEAR(Obj(0).VecV.z, 3 - g * t, 1e-3) << t; });
}

TEST_F(Ligacoes, DobradicaMantemOObjetoNoSeuPlano) {
  // A door on a vertical axis, pushed to turn at 1 rad/s and knocked sideways and up: it only turns.
  TTestScene c;
  c.Linha(BoxRow(0.9, 0.04, 2), Bola(0.45, 0, 1.1, 20,
                                     Ponto(2, {0, 0, 1.1},
                                           {{TColumn::EixoLigZ, 1.0},
                                            {TColumn::VelY, 0.45},
                                            {TColumn::VelZ, 0.5},
                                            {TColumn::VelAngZ, 1.0},
                                            {TColumn::VelAngX, 0.7}})));
  Carrega(c);
  Passos(300, [&](double t) {
    EXPECT_NEAR(Obj(0).Posicao.z, 1.1, 0.002) << t;
    EXPECT_NEAR(std::hypot(Obj(0).Posicao.x, Obj(0).Posicao.y), 0.45, 0.002) << t;
  });
  EXPECT_GT(Obj(0).Posicao.y, 0.05) << "it did turn";
}

TEST_F(Ligacoes, PenduloDuploMantemOsDoisComprimentos) {
  const TVector pivo{0, 0, 3};
  TTestScene c;
  c.Linha(SphereRow(0.05), Bola(0.8, 0, 3, 1, Ponto(1, pivo, {{TColumn::ID, 1}})));
  c.Linha(SphereRow(0.05), Bola(1.6, 0, 3, 1, Ponto(1, {0.8, 0, 3}, {{TColumn::LigaCom, 1}})));
  Carrega(c);
  double pior = 0;
  Passos(1000, [&](double) {
    pior = std::max({pior, std::fabs(Distancia(Obj(0).Posicao, pivo) - 0.8),
                     std::fabs(Distancia(Obj(1).Posicao, Obj(0).Posicao) - 0.8)});
  });
  EXPECT_LT(pior, 0.002);
}

TEST_F(Ligacoes, CordaPorUmaRoldanaAceleraComoAMaquinaDeAtwood) {
  TTestScene c;
  c.Linha(BoxRow(0.2, 0.2, 0.2), Bola(-0.2, 0, 2, 3, Ponto(5, {0, 0, 3}, {{TColumn::LigaCom, 2}})));
  c.Linha(BoxRow(0.2, 0.2, 0.2), Bola(0.2, 0, 2, 1, {{TColumn::ID, 2}}));
  Carrega(c);
  Passos(50, [](double) {});
  const double a = (3.0 - 1.0) * g / (3.0 + 1.0);
  EXPECT_NEAR(Obj(0).VecV.z, -a * 0.5, 0.01 * a * 0.5);
  EXPECT_NEAR(Obj(1).VecV.z, a * 0.5, 0.01 * a * 0.5);
  EXPECT_NEAR(Obj(0).Posicao.z + Obj(1).Posicao.z, 4, 0.002) << "the rope keeps its length";
  EXPECT_NEAR(cena.Mundo->Links().Reading(1)->Force, 2 * 3.0 * 1.0 * g / 4.0, 0.02 * 15) << "tension";
}

TEST_F(Ligacoes, PulleyStopsWhatReachesItAndHoldsTheOtherSide) {
  // The 1 kg block rises 0.9 m until its top meets the pulley; the rope then holds the 3 kg one.
  TTestScene c;
  c.Linha(BoxRow(0.2, 0.2, 0.2), Bola(-0.2, 0, 2, 3, Ponto(5, {0, 0, 3}, {{TColumn::LigaCom, 2}})));
  c.Linha(BoxRow(0.2, 0.2, 0.2), Bola(0.2, 0, 2, 1, {{TColumn::ID, 2}}));
  Carrega(c);
  double hardest = 0;
  Passos(150, [&](double) { hardest = std::max({hardest, NormaVet(Obj(0).VecA), NormaVet(Obj(1).VecA)}); });
  EXPECT_LT(hardest, 2.5 * g) << "the stop is not one impact that hides the motion in the plots";
  double drift = 0, speed = 0;
  Passos(50, [&](double) {
    drift = std::max(
        {drift, std::fabs(Obj(1).Posicao.z - (3 - 0.1)), std::fabs(Obj(0).Posicao.z + Obj(1).Posicao.z - 4)});
    speed = std::max({speed, NormaVet(Obj(0).VecV), NormaVet(Obj(1).VecV)});
  });
  EXPECT_LT(drift, 0.002) << "the light block's top at the wheel, the rope at its length";
  EXPECT_LT(speed, 1e-4);
  EXPECT_NEAR(cena.Mundo->Links().Reading(0)->Force, 3 * g, 0.01 * 3 * g) << "the rope holds the heavy one";
}

TEST_F(Ligacoes, LaunchAlongTheAllowedMotionKeepsItsSpeed) {
  // Sideways at 3 m/s on a 1 m rod, and round a vertical hinge: no speed lost to the link at the start.
  TTestScene c;
  c.Linha(SphereRow(0.1), Bola(0, 0, 2, 1, Ponto(1, {0, 0, 3}, {{TColumn::VelX, 3.0}})));
  c.Linha(BoxRow(0.9, 0.04, 2),
          Bola(2.45, 0, 1.1, 20, Ponto(2, {2, 0, 1.1}, {{TColumn::EixoLigZ, 1.0}, {TColumn::VelY, 0.45}})));
  Carrega(c);
  const double e0 = g * Obj(0).Posicao.z + 4.5;
  Passos(3, [&](double t) {
    const double v = NormaVet(Obj(0).VecV);
    EXPECT_NEAR(g * Obj(0).Posicao.z + v * v / 2, e0, 1e-4 * e0) << t;
    EXPECT_NEAR(NormaVet(Obj(1).VecV), 0.45, 1e-4) << t;
  });
}

}  // namespace
