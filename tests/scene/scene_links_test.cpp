// Bad link cells are refused with the row and column named; good ones reach the world.

#include "scene/scene_links.h"
#include "scene/simulation_step.h"
#include "support/scene_builder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using ::testing::HasSubstr;

TRowCells Movel(int id, TRowCells mais) {
  TRowCells v = SphereRow(0.1);
  const TRowCells base = {
      {TColumn::ID, id}, {TColumn::Z, 2.0}, {TColumn::Massa, 1.0}, {TColumn::ODEMove, true}};
  v.insert(v.end(), base.begin(), base.end());
  v.insert(v.end(), mais.begin(), mais.end());
  return v;
}

// The error of loading a first row that moves and a second with `ligacao`, or "(nenhum erro)".
std::string ErroDaSegunda(TRowCells ligacao, TRowCells primeira = {}) {
  TTestScene c;
  c.Linha(Movel(1, primeira));
  c.Linha(Movel(2, ligacao));
  TScene cena;
  try {
    Carrega(c, cena);
  } catch (const ESceneError& e) {
    EXPECT_EQ(e.Row(), 1) << e.what();
    return std::string(e.what()) + " [" +
           std::string(SceneColumns()[static_cast<std::size_t>(e.Column().value_or(TColumn::Nome))].Nome) +
           "]";
  }
  EXPECT_TRUE(cena.Mundo->Links().Linked(1));
  return "(nenhum erro)";
}

TEST(LigacoesNaCena, ColunasRuinsNomeiamLinhaEColuna) {
  using C = TColumn;
  const struct {
    TRowCells linha, primeira;
    const char* coluna;
  } casos[] = {
      {{{C::Ligacao, 1}, {C::LigaCom, 7}}, {}, "linha 2, coluna \"LigaCom\""},
      {{{C::Ligacao, 1}, {C::LigaCom, 2}}, {}, "linha 2, coluna \"LigaCom\""},  // itself
      {{{C::Ligacao, 3}}, {}, "linha 2, coluna \"Rigidez\""},
      {{{C::Ligacao, 3}, {C::Rigidez, -5.0}}, {}, "linha 2, coluna \"Rigidez\""},
      {{{C::Ligacao, 2}}, {}, "linha 2, coluna \"EixoLigX\""},
      {{{C::Ligacao, 9}}, {}, "linha 2, coluna \"Ligacao\""},
      {{{C::Ligacao, 4}, {C::Comprimento, -1.0}}, {}, "linha 2, coluna \"Comprimento\""},
      {{{C::Ligacao, 3}, {C::Rigidez, 5.0}, {C::Amortecimento, -1.0}},
       {},
       "linha 2, coluna \"Amortecimento\""},
      {{{C::Ligacao, 5}}, {}, "linha 2, coluna \"LigaCom\""},  // a pulley needs the other side
      {{{C::Ligacao, 1}, {C::PontoZ, -1e4}}, {}, "linha 2, coluna \"PontoX\""},
      {{{C::Ligacao, 1}, {C::ODEMove, false}}, {}, "linha 2, coluna \"Ligacao\""},
      // Neither end moves: the other row is held still.
      {{{C::Ligacao, 1}, {C::LigaCom, 1}, {C::ODEMove, false}}, {{C::ODEMove, false}}, "coluna \"Ligacao\""},
  };
  for (const auto& caso : casos)
    EXPECT_THAT(ErroDaSegunda(caso.linha, caso.primeira), HasSubstr(caso.coluna));

  // Two rows with the ID a link names.
  TTestScene dois;
  dois.Linha(Movel(1, {}));
  dois.Linha(Movel(1, {}));
  dois.Linha(Movel(3, {{TColumn::Ligacao, 1}, {TColumn::LigaCom, 1}}));
  TScene cena;
  try {
    Carrega(dois, cena);
    ADD_FAILURE() << "loaded";
  } catch (const ESceneError& e) {
    EXPECT_THAT(e.what(), HasSubstr("linha 3, coluna \"LigaCom\""));
    EXPECT_THAT(e.what(), HasSubstr("1 e 2"));
  }
}

TEST(LigacoesNaCena, LigacoesBoasChegamAoMundo) {
  using C = TColumn;
  EXPECT_EQ(ErroDaSegunda({{C::Ligacao, 1}, {C::LigaCom, 1}}), "(nenhum erro)");
  EXPECT_EQ(ErroDaSegunda({{C::Ligacao, 2}, {C::EixoLigY, 1.0}}), "(nenhum erro)");
  EXPECT_EQ(ErroDaSegunda({{C::Ligacao, 3}, {C::Rigidez, 10.0}, {C::LigaCom, 1}}), "(nenhum erro)");
  EXPECT_EQ(ErroDaSegunda({{C::Ligacao, 5}, {C::LigaCom, 1}}), "(nenhum erro)");
  // A support the physics holds still may carry the link of an object that moves.
  EXPECT_EQ(ErroDaSegunda({{C::Ligacao, 4}, {C::LigaCom, 1}, {C::ODEMove, false}}), "(nenhum erro)");
  // An empty or zero kind is no link, whatever the other cells hold.
  EXPECT_FALSE(LinkOfRow(TTestScene().Linha(Movel(1, {{C::LigaCom, 9}})).Tabela(), 0));
}

// A spring too stiff or too damped for the masses it joins gains energy every step until the engine fails;
// it is refused at load, naming its cell. One just inside the limit steps and keeps its energy.
TEST(LigacoesNaCena, MolaQueAFisicaNaoAcompanhaERecusada) {
  using C = TColumn;
  const struct {
    TRowCells linha, primeira;
    const char* erro;
  } casos[] = {
      {{{C::Ligacao, 3}, {C::PontoZ, 3.0}, {C::Rigidez, 1e7}, {C::Massa, 0.01}},
       {},
       "linha 2, coluna \"Rigidez\""},
      {{{C::Ligacao, 3}, {C::PontoZ, 3.0}, {C::Rigidez, 1e30}}, {}, "rígida demais"},
      {{{C::Ligacao, 3}, {C::PontoZ, 3.0}, {C::Rigidez, 10.0}, {C::Amortecimento, 1e6}},
       {},
       "linha 2, coluna \"Amortecimento\""},
      // Between two objects, the lighter one sets the pace.
      {{{C::Ligacao, 3}, {C::LigaCom, 1}, {C::Rigidez, 2e6}}, {{C::Massa, 0.01}}, "coluna \"Rigidez\""},
      {{{C::Ligacao, 3}, {C::PontoZ, 3.0}, {C::Rigidez, 1e4}, {C::Amortecimento, 1.0}}, {}, "(nenhum erro)"},
  };
  for (const auto& caso : casos) EXPECT_THAT(ErroDaSegunda(caso.linha, caso.primeira), HasSubstr(caso.erro));
  // Springs meeting on one body add up: each alone would pass.
  TTestScene c;
  c.Linha(Movel(1, {{C::Massa, 0.01}}));
  c.Linha(Movel(2, {{C::Ligacao, 3}, {C::LigaCom, 1}, {C::Rigidez, 2.5e5}}));
  c.Linha(Movel(3, {{C::Ligacao, 3}, {C::LigaCom, 1}, {C::Rigidez, 2.5e5}, {C::X, 1.0}}));
  TScene cena;
  EXPECT_THROW(Carrega(c, cena), ESceneError);
}

TEST(LigacoesNaCena, MolaNoLimiteAindaAnda) {
  // Near the largest stiffness a 0.01 kg ball on a fixed spring may have.
  TTestScene c;
  c.Linha(Movel(1, {{TColumn::Massa, 0.01},
                    {TColumn::Ligacao, 3},
                    {TColumn::PontoZ, 3.0},
                    {TColumn::Rigidez, 3e5},
                    {TColumn::Comprimento, 0.9}}));
  TScene cena;
  ASSERT_NO_THROW(Carrega(c, cena));
  double maisLonge = 0;
  for (int k = 0; k < 500; ++k) {
    ASSERT_NO_THROW(SimulationStep(cena)) << "frame " << k;
    maisLonge = std::max(maisLonge, std::fabs(cena.Objetos[0].Posicao.z - 2.1));
  }
  // It starts 0.1 m from rest and only swings about it.
  EXPECT_LT(maisLonge, 0.15);
}

}  // namespace
