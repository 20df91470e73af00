// The launch a row gives its body (start velocity and spin), the bad values the loader refuses, and a model
// whose mesh lies far from its file's origin.

#include "scene/simulation_step.h"
#include "support/scene_builder.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

using ::testing::HasSubstr;

TVector Vetor(const dReal* v) {
  return {v[0], v[1], v[2]};
}

class Lancamento : public ::testing::Test {
 protected:
  void Carrega(const TTestScene& c) { ::Carrega(c.Write(pasta / "cena.xml"), cena); }
  void Passos(int n) {
    for (int i = 0; i < n; ++i) SimulationStep(cena);
  }
  std::string ErroDe(const TTestScene& c) {
    try {
      Carrega(c);
    } catch (const ESceneError& e) {
      EXPECT_EQ(e.Row(), 1);
      return e.what();
    }
    return "(nenhum erro)";
  }

  TTempFolder pasta;
  TScene cena;
};

TRowCells Movel(double z, TRowCells mais) {
  TRowCells v = {{TColumn::Massa, 1.0},         {TColumn::Z, z},        {TColumn::ODEMove, true},
                 {TColumn::MoveX, true},        {TColumn::MoveY, true}, {TColumn::MoveZ, true},
                 {TColumn::TemGravidade, true}, {TColumn::Atrito, 0.5}};
  v.insert(v.end(), mais.begin(), mais.end());
  return v;
}

TEST_F(Lancamento, VelocidadeEGiroChegamAoCorpoAntesDoPrimeiroPasso) {
  TTestScene c;
  c.Linha(SphereRow(0.25), Movel(5, {{TColumn::VelX, 3.0}, {TColumn::VelAngZ, 2.0}}));
  Carrega(c);
  EXPECT_EQ(Vetor(dBodyGetLinearVel(cena.Corpos[0])), (TVector{3, 0, 0}));
  EXPECT_EQ(Vetor(dBodyGetAngularVel(cena.Corpos[0])), (TVector{0, 0, 2}));
  EXPECT_EQ(cena.Objetos[0].VecV, (TVector{3, 0, 0})) << "the first frame shows the launch";
  Passos(50);
  // A horizontal launch from 5 m at 3 m/s is 1.5 m further after 0.5 s, still spinning.
  EXPECT_NEAR(cena.Objetos[0].Posicao.x, 1.5, 1e-6);
  EXPECT_GT(cena.Objetos[0].Posicao.z, 3);
  EXPECT_NEAR(dBodyGetAngularVel(cena.Corpos[0])[2], 2.0, 1e-6);
}

TEST_F(Lancamento, SoCorposQueAFisicaMoveENosEixosPermitidos) {
  TTestScene c;
  c.Linha(SphereRow(0.25), Movel(5, {{TColumn::VelX, 3.0}, {TColumn::VelZ, 4.0}, {TColumn::MoveX, false}}));
  c.Linha(
      SphereRow(0.25),
      Movel(5,
            {{TColumn::X, 5.0}, {TColumn::VelX, 3.0}, {TColumn::VelAngY, 1.0}, {TColumn::ODEMove, false}}));
  Carrega(c);
  EXPECT_EQ(Vetor(dBodyGetLinearVel(cena.Corpos[0])), (TVector{0, 0, 4}));
  EXPECT_EQ(Vetor(dBodyGetLinearVel(cena.Corpos[1])), (TVector{}));
  EXPECT_EQ(Vetor(dBodyGetAngularVel(cena.Corpos[1])), (TVector{}));
  Passos(20);
  EXPECT_EQ(cena.Objetos[0].Posicao.x, 0);
  EXPECT_EQ(cena.Objetos[1].Posicao, (TVector{5, 0, 5}));
}

TEST_F(Lancamento, ValoresRuinsNomeiamLinhaEColuna) {
  const auto comSegunda = [](TRowCells mais) {
    TTestScene c;
    c.Linha(SphereRow(0.25), Movel(5, {}));
    c.Linha(SphereRow(0.25), Movel(5, mais));
    return c;
  };
  std::string e = ErroDe(comSegunda({{TColumn::Elasticidade, 1.5}}));
  EXPECT_THAT(e, HasSubstr("linha 2, coluna \"Elasticidade\""));
  EXPECT_THAT(e, HasSubstr("1.5"));
  EXPECT_THAT(ErroDe(comSegunda({{TColumn::VelY, -2e4}})), HasSubstr("linha 2, coluna \"VelY\""));
  EXPECT_THAT(ErroDe(comSegunda({{TColumn::VelAngX, 1e6}})), HasSubstr("linha 2, coluna \"VelAngX\""));
  // Negative: the scene's own bounce, as an empty cell.
  EXPECT_EQ(ErroDe(comSegunda({{TColumn::Elasticidade, -1.0}})), "(nenhum erro)");
  EXPECT_LT(cena.Elasticidades[1], 0);
}

// A cube of side 1 whose vertices lie 2.5 to 3.5 m from the file's origin, as many exporters write them.
const char* CuboLonge =
    "v 2.5 -0.5 2.5\nv 3.5 -0.5 2.5\nv 3.5 0.5 2.5\nv 2.5 0.5 2.5\n"
    "v 2.5 -0.5 3.5\nv 3.5 -0.5 3.5\nv 3.5 0.5 3.5\nv 2.5 0.5 3.5\n"
    "f 1 3 2\nf 1 4 3\nf 5 6 7\nf 5 7 8\nf 1 2 6\nf 1 6 5\n"
    "f 2 3 7\nf 2 7 6\nf 3 4 8\nf 3 8 7\nf 4 1 5\nf 4 5 8\n";

TEST_F(Lancamento, ModeloLongeDaOrigemFicaNoLugarEParaEmRepouso) {
  pasta.Write("cubo.obj", CuboLonge);
  TTestScene c;
  // The row puts the origin 2.4 m below the floor, so the cube starts 0.1 m above it.
  c.Linha(ModelRow("cubo.obj"), Movel(-2.4, {{TColumn::X, -3.0}}));
  Carrega(c);
  // The body sits at the middle of the mesh; the mesh is where the file and the row put it.
  EXPECT_NEAR(cena.Objetos[0].Posicao.x, 0, 1e-6);
  EXPECT_NEAR(cena.Objetos[0].Posicao.z, 0.6, 1e-6);
  EXPECT_NEAR(RowPlaceOfBody(cena.Objetos[0], cena.Objetos[0].Posicao).z, -2.4, 1e-6);
  Passos(400);
  const TObjetoCena& o = cena.Objetos[0];
  EXPECT_NEAR(o.Posicao.z, 0.5, 0.01) << "resting on a face";
  EXPECT_NEAR(o.Posicao.x, 0, 0.01);
  EXPECT_LT(NormaVet(o.VecV), 0.01) << "still moving";
  EXPECT_LT(NormaVet(Vetor(dBodyGetAngularVel(cena.Corpos[0]))), 0.01) << "still rocking";
}

}  // namespace
