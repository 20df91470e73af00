// Bad link cells are refused with the row and column named; good ones reach the world.

#include "scene/scene_links.h"
#include "support/scene_builder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

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

}  // namespace
