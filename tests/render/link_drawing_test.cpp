// The links as drawn: the spring's coil spreads with its length, and rods, springs and fixed anchors show
// where the camera puts them.

#include "render/link_drawing.h"
#include "render/render_fixture.h"
#include "support/scene_builder.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Distance from p to the line through a and b.
double DoEixo(const TVector& p, const TVector& a, const TVector& b) {
  const TVector d = NormalizaVet(SubVet(b, a));
  return NormaVet(ProdVetorial(SubVet(p, a), d));
}

TEST(Mola, EspiraVaiDePontaAPontaEEspalhaAoEsticar) {
  const TVector a{0, 0, 3};
  for (const double comprimento : {0.5, 2.0}) {
    const TVector b{0, 0, 3 - comprimento};
    const std::vector<TVector> espira = SpringCoil(a, b, SpringTurns, SpringRadius, 12);
    ASSERT_EQ(espira.size(), std::size_t(SpringTurns * 12 + 1)) << "the same turns at any length";
    EXPECT_EQ(espira.front(), a);
    EXPECT_EQ(espira.back(), b);
    double longe = 0;
    for (std::size_t k = 1; k < espira.size(); ++k) {
      EXPECT_LT(espira[k].z, espira[k - 1].z) << "always onwards along the spring";
      longe = std::max(longe, DoEixo(espira[k], a, b));
    }
    EXPECT_NEAR(longe, SpringRadius, 1e-9);
    // One turn is as long as the spring over its turns.
    EXPECT_NEAR(espira[12 * 6].z - espira[12 * 7].z, comprimento / SpringTurns, 1e-9);
  }
}

class LigacoesDesenhadas : public TDrawingTest {
 protected:
  TTempFolder pasta;
  TScene cena;
};

TEST_F(LigacoesDesenhadas, HasteMolaEPontoFixoAparecem) {
  const auto bola = [](double x, TRowCells ligacao) {
    TRowCells v = SphereRow(0.2);
    const TRowCells base = {{TColumn::X, x},          {TColumn::Z, 1.0},    {TColumn::Massa, 1.0},
                            {TColumn::ODEMove, true}, {TColumn::PontoX, x}, {TColumn::PontoZ, 5.0}};
    v.insert(v.end(), base.begin(), base.end());
    v.insert(v.end(), ligacao.begin(), ligacao.end());
    return v;
  };
  TTestScene c;
  c.Linha(bola(-3, {{TColumn::Ligacao, 1}}));
  c.Linha(bola(3, {{TColumn::Ligacao, 3}, {TColumn::Rigidez, 10.0}}));
  ::Carrega(c.Write(pasta / "cena.xml"), cena);
  camera.Olho = {0, -15, 3};
  camera.Centro = {0, 0, 3};
  ComecaQuadro();
  DrawLinks(cena.Mundo->Links());

  const TRgbColor haste = MaisClaraPerto({-3, 0, 3}, 3);
  EXPECT_GT(haste.r, 120);
  EXPECT_NEAR(haste.r, haste.b, 10) << "grey";
  const TRgbColor mola = MaisClaraPerto({3, 0, 3}, 4);
  EXPECT_GT(mola.b, 200);
  EXPECT_LT(mola.r, mola.b - 40) << "blue";
  for (const double x : {-3.0, 3.0}) {
    const TRgbColor bloco = CorEm({x, 0, 5});
    EXPECT_FALSE(Preto(bloco)) << x;
    EXPECT_LT(bloco.r, 100) << "dark";
  }
  EXPECT_TRUE(Preto(CorEm({0, 0, 3}))) << "nothing between them";
}

}  // namespace
