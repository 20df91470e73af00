// The record behind the window's CSV export: the rows the runner writes, and a bound that drops whole
// frames from the oldest on.

#include "export/frame_record.h"
#include "scene/simulation_step.h"
#include "support/scene_builder.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(RegistroDeQuadros, GuardaOsUltimosQuadrosInteirosComAsLinhasDoViretaSim) {
  TTestScene linhas;
  for (double x : {0.0, 3.0})
    linhas.Linha(SphereRow(0.5), {{TColumn::Nome, std::string(x == 0 ? "A, \"um\"" : "B")},
                                  {TColumn::X, x},
                                  {TColumn::Z, 4.0},
                                  {TColumn::Massa, 1.0},
                                  {TColumn::ODEMove, true},
                                  {TColumn::TemGravidade, true}});
  TScene cena;
  Carrega(linhas, cena);

  TFrameRecord registro(2 * 5);  // five frames of two objects
  std::ostringstream esperado;
  EscreveCabecalhoCSV(esperado);
  registro.Add(cena);
  for (long q = 1; q <= 7; ++q) {
    SimulationStep(cena);
    registro.Add(cena);
    if (q >= 3) EscreveQuadroCSV(esperado, cena, q);
  }
  EXPECT_EQ(registro.FirstFrame(), 3);
  EXPECT_EQ(registro.LastFrame(), 7);
  std::ostringstream escrito;
  registro.WriteCSV(escrito, cena.Tabela());
  EXPECT_EQ(escrito.str(), esperado.str());

  registro.Restart();
  EXPECT_TRUE(registro.Empty());
  registro.Add(cena);
  EXPECT_EQ(registro.FirstFrame(), 0);
  EXPECT_EQ(registro.LastFrame(), 0);
}

}  // namespace
