// The information overlay's numbers: the free-fall sample after one simulated second against the headless
// runner and the textbook, the real-time factor when frames come late, and a legend that speaks of the
// remote's pointer only with a remote.

#include "frame/overlay_text.h"
#include "frame/frame.h"
#include "support/child_process.h"
#include "support/frame_rig.h"
#include "support/scene_builder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <vector>

namespace {

using namespace std::chrono_literals;
using ::testing::Contains;
namespace fs = std::filesystem;

class ObjectInformation : public ::testing::Test, protected TFrameRig {
 protected:
  // `n` ticks, each `intervalo` after the previous one on both the frame's and the meter's clock.
  void Quadros(int n, std::chrono::milliseconds intervalo) {
    for (int k = 0; k < n; ++k) {
      agora += intervalo;
      real.Time += intervalo;
      relogio.Time = agora;
      TFrameContext ctx = Contexto();
      TimerGLTimer(ctx, {}, agora, relogio);
      medidor.Frame(estado.SimulatedTime);
    }
  }
  std::vector<std::string> Textos() const {
    std::vector<std::string> v;
    for (const TOverlayLine& l : InformationLines(cena, estado.SimulatedTime, medidor, 0))
      v.push_back(l.Text);
    return v;
  }
  TRgb CorDoTempoReal() const { return InformationLines(cena, estado.SimulatedTime, medidor, 0)[2].Colour; }

  TManualClock real;  // the meter's
  TRateMeter medidor{real};
};

// Field `k` of a CSV line without quoted fields.
double Campo(const std::string& linha, int k) {
  std::istringstream in(linha);
  std::string f;
  for (int i = 0; i <= k; ++i) std::getline(in, f, ',');
  return std::stod(f);
}

TEST_F(ObjectInformation, FreeFallAfterOneSecondAsViretaSimAndTheTextbook) {
  const fs::path amostra = fs::path(VIRETA_SOURCE_DIR) / "Cenas" / "queda_livre.xml";
  Carrega(amostra, cena);
  Quadros(100, 10ms);

  const TCommandResult sim =
      RunCommand(std::string(VIRETA_SIM) + " " + amostra.string() + " --frames 100 --every 100");
  ASSERT_EQ(sim.status, 0) << sim.err;
  const std::string ultima = sim.out.substr(sim.out.rfind('\n', sim.out.size() - 2) + 1);
  ASSERT_EQ(ultima.rfind("100,1.00,0,", 0), 0u) << ultima;
  const double z = Campo(ultima, 6), vz = Campo(ultima, 9);
  const double m = cena.Tabela().Real(0, TColumn::Massa), g = 9.81;

  const TObjectReadout r = ReadObject(cena, 0);
  const auto perto = [](double a, double b) { return std::abs(a - b) <= 0.01 * std::abs(b); };
  EXPECT_PRED2(perto, r.Posicao.z, z);
  EXPECT_PRED2(perto, r.Speed, std::abs(vz));
  EXPECT_PRED2(perto, r.Kinetic, m * vz * vz / 2);
  EXPECT_PRED2(perto, r.Potential, m * g * z);
  EXPECT_PRED2(perto, r.Total, m * g * z + m * vz * vz / 2);
  // Nothing but gravity works on it: the energy it started with, to a percent.
  EXPECT_PRED2(perto, r.Total, m * g * cena.Tabela().Real(0, TColumn::Z));

  const auto textos = Textos();
  EXPECT_EQ(textos[0], "Tempo simulado: 1,00 s");
  EXPECT_THAT(textos, Contains("Nome: Bola em queda (linha 1)"));
  EXPECT_THAT(textos, Contains("Rapidez: " + DecimalText(std::abs(vz), 2) + " m/s"));
  EXPECT_THAT(textos, Contains("Energia total: " + DecimalText(r.Total, 2) + " J"));
}

// The force vector's numbers: a 2 kg ball one second into free fall.
TEST_F(ObjectInformation, AccelerationForceAndMomentumOfAFreeFall) {
  TTestScene c;
  c.Linha(
      SphereRow(0.5),
      {{TColumn::Massa, 2.0}, {TColumn::Z, 100.0}, {TColumn::ODEMove, true}, {TColumn::TemGravidade, true}});
  Carrega(c, cena);
  Quadros(100, 10ms);
  const double g = 9.81, m = 2;
  const TObjectReadout r = ReadObject(cena, 0);
  EXPECT_NEAR(r.Acceleration.z, -g, 1e-4);
  EXPECT_NEAR(r.NetForce.z, -m * g, 1e-3);
  EXPECT_NEAR(r.Momentum.z, -m * g * 1.0, 1e-3);
  const auto textos = Textos();
  EXPECT_THAT(textos, Contains("Aceleração: (0,00; 0,00; -9,81) m/s²"));
  EXPECT_THAT(textos, Contains("Força resultante (m·a): (0,00; 0,00; -19,62) N"));
  EXPECT_THAT(textos, Contains("Momento (p = m·v): (0,00; 0,00; -19,62) kg·m/s"));
}

// The scene's totals across a sticking collision: the momentum stays, the energy the textbook says goes.
TEST_F(ObjectInformation, TotalMomentumStaysAndTheEnergyLostIsTheTextbooks) {
  Carrega(fs::path(VIRETA_SOURCE_DIR) / "Cenas" / "colisao_perfeitamente_inelastica.xml", cena);
  const TSceneTotals antes = ReadSceneTotals(cena);
  Quadros(300, 10ms);
  const TSceneTotals depois = ReadSceneTotals(cena);
  // Two pairs, 1 kg at 2 m/s against 1 kg and against 3 kg at rest.
  EXPECT_NEAR(antes.Momentum.x, 4.0, 1e-6);
  EXPECT_NEAR(depois.Momentum.x, 4.0, 0.01 * 4);
  const double perdida = (2.0 - 1.0) + (2.0 - 0.5);  // J: ½m₁v₁² - ½(m₁ + m₂)v'² for each pair
  EXPECT_NEAR(antes.Energy - depois.Energy, perdida, 0.01 * perdida);
  EXPECT_THAT(Textos(),
              Contains("Momento total: (" + DecimalText(depois.Momentum.x, 2) + "; 0,00; 0,00) kg·m/s"));
}

// A ball of 0.4 kg hanging still on a spring of k = 20 N/m, and one of 1 kg hanging on a rod.
TEST_F(ObjectInformation, TheSpringsStretchAndForceAndTheRodsTension) {
  const double m = 0.4, k = 20, g = 9.81;
  const auto pendurada = [](double massa, double z, TRowCells ligacao) {
    TRowCells v = {{TColumn::Massa, massa},
                   {TColumn::Z, z},
                   {TColumn::ODEMove, true},
                   {TColumn::TemGravidade, true},
                   {TColumn::PontoZ, 3.0}};
    v.insert(v.end(), ligacao.begin(), ligacao.end());
    return v;
  };
  TTestScene c;
  c.Linha(SphereRow(0.05),
          pendurada(m, 2 - m * g / k,
                    {{TColumn::Ligacao, 3}, {TColumn::Rigidez, k}, {TColumn::Comprimento, 1.0}}));
  c.Linha(SphereRow(0.05),
          pendurada(1, 2, {{TColumn::Ligacao, 1}, {TColumn::X, 1.0}, {TColumn::PontoX, 1.0}}));
  Carrega(c, cena);
  Quadros(100, 10ms);
  EXPECT_THAT(Textos(), Contains("Mola: comprimento 1,196 m, deformação 0,196 m"));
  EXPECT_THAT(Textos(), Contains("Força da mola: 3,92 N (k·deformação)"));
  // Hanging still at its stretch x = mg/k: m g z plus ½ k x², and the scene's total counts that once.
  const double x = m * g / k, z = 2 - x, elastica = k * x * x / 2;
  EXPECT_NEAR(ReadObject(cena, 0).Potential, m * g * z + elastica, 1e-3);
  EXPECT_NEAR(ReadSceneTotals(cena).Energy, m * g * z + elastica + 1 * g * 2, 1e-3);
  EXPECT_THAT(Textos(), Contains("Energia potencial: " + DecimalText(m * g * z + elastica, 2) +
                                 " J (z = 0 no piso, com 0,38 J da mola)"));
  std::vector<std::string> haste;
  for (const TOverlayLine& l : InformationLines(cena, estado.SimulatedTime, medidor, 1))
    haste.push_back(l.Text);
  EXPECT_THAT(haste, Contains("Haste: tração 9,81 N"));
}

TEST_F(ObjectInformation, TheRealTimeRateDropsAndTurnsRedWithSlowFrames) {
  Quadros(150, 10ms);
  EXPECT_NEAR(medidor.RealTimeFactor(), 1.0, 0.01);
  EXPECT_NEAR(medidor.FramesPerSecond(), 100, 1);
  EXPECT_EQ(CorDoTempoReal(), (TRgb{1, 1, 1}));

  // 80 ms a frame: the frame catches up at most five 10 ms steps, so the world runs at 50/80 of real time.
  Quadros(30, 80ms);
  EXPECT_NEAR(medidor.RealTimeFactor(), 0.625, 0.01);
  EXPECT_NEAR(medidor.FramesPerSecond(), 12.5, 0.5);
  EXPECT_NE(CorDoTempoReal(), (TRgb{1, 1, 1}));

  Quadros(150, 10ms);
  EXPECT_NEAR(medidor.RealTimeFactor(), 1.0, 0.01);
}

TEST(Legend, PointerEntriesOnlyWithARemote) {
  const auto doPonteiro = [](bool comRemoto) {
    int n = 0;
    for (const TLegendEntry& e : ColourLegend(comRemoto))
      n += std::string(e.Text).find("ponteiro") != std::string::npos;
    return n;
  };
  EXPECT_EQ(doPonteiro(false), 0);
  EXPECT_EQ(doPonteiro(true), 2);
  EXPECT_EQ(ColourLegend(true).size(), ColourLegend(false).size() + 2) << "the other entries stay";
}

}  // namespace
