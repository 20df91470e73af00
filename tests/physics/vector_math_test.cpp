#include "physics/vector_math.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void EsperaPerto(const TVector4& r, double x, double y, double z, double tol = 1e-12) {
  EXPECT_NEAR(r[0], x, tol);
  EXPECT_NEAR(r[1], y, tol);
  EXPECT_NEAR(r[2], z, tol);
}

TEST(Matrizes, RotacaoNormalizaOEixoEUsaGraus) {
  EsperaPerto(MultMatrizPonto(RotacaoEixo({0, 0, 2}, 90), {1, 0, 0}), 0, 1, 0);
  // Right-handed about x: y goes to z.
  EsperaPerto(MultMatrizPonto(RotacaoEixo({3, 0, 0}, 90), {0, 1, 0}), 0, 0, 1);
}

TEST(Matrizes, TranslacaoFicaNaUltimaColuna) {
  const TVector4 r = MultMatrizPonto(Translacao({1, 2, 3}), {0, 0, 0});
  EsperaPerto(r, 1, 2, 3);
  EXPECT_EQ(r[3], 1);
}

TEST(Matrizes, ProdutoAplicaADireitaPrimeiro) {
  // Turn then move: (1,0,0) turned 90 about z is (0,1,0), then moved by (5,0,0).
  const TMatrix4 m = MultMatriz(Translacao({5, 0, 0}), RotacaoEixo({0, 0, 1}, 90));
  EsperaPerto(MultMatrizPonto(m, {1, 0, 0}), 5, 1, 0);
}

TEST(Matrizes, InversaDeRotacaoEATransposta) {
  const TMatrix4 r = RotacaoEixo({1, 2, 3}, 37);
  const TMatrix4 inv = Inversa4(r);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(inv[4 * i + j], r[4 * j + i], 1e-12);
}

TEST(Matrizes, InversaDesfazUmaTransformacaoGeral) {
  const TMatrix4 m = MultMatriz(Translacao({1, -2, 3}), RotacaoEixo({0, 1, 1}, 70));
  const TMatrix4 id = MultMatriz(Inversa4(m), m);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(id[i], Identidade()[i], 1e-12);
}

TEST(Matrizes, InversaSingularDaNaoFinitos) {
  TMatrix4 zero{};
  const TMatrix4 inv = Inversa4(zero);
  EXPECT_FALSE(std::isfinite(inv[0]));
}

TEST(Matrizes, VistaDaCameraInicial) {
  const TMatrix4 v = MatrizVista({-50, -50, -25}, {0, 0, 1});
  const double n = std::sqrt(50.0 * 50 + 50 * 50 + 25 * 25);
  // Third row: from the eye at (50, 50, 25) towards the origin.
  EXPECT_NEAR(v[8], -50 / n, 1e-12);
  EXPECT_NEAR(v[9], -50 / n, 1e-12);
  EXPECT_NEAR(v[10], -25 / n, 1e-12);
  // First row is horizontal; rows are orthonormal.
  EXPECT_NEAR(v[2], 0, 1e-12);
  for (int a = 0; a < 3; ++a)
    for (int b = 0; b < 3; ++b) {
      double dot = 0;
      for (int k = 0; k < 3; ++k) dot += v[4 * a + k] * v[4 * b + k];
      EXPECT_NEAR(dot, a == b ? 1 : 0, 1e-12);
    }
}

TEST(Vetores, ProdutoVetorialENorma) {
  const TVector c = ProdVetorial({1, 0, 0}, {0, 1, 0});
  EXPECT_EQ(c.z, 1);
  EXPECT_DOUBLE_EQ(NormaVet({3, 4, 12}), 13);
  EXPECT_EQ(Dot({1, 2, 3}, {4, -5, 6}), 12);
  EXPECT_TRUE(std::isnan(NormalizaVet({0, 0, 0}).x));
}

}  // namespace
