// The camera's orbit, zoom and button handling, checked against the values a user sees from the start view.

#include "render/camera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double Tolerancia = 1e-3;

void EsperaPerto(const TVector& v, double x, double y, double z, double tol = Tolerancia) {
  EXPECT_NEAR(v.x, x, tol);
  EXPECT_NEAR(v.y, y, tol);
  EXPECT_NEAR(v.z, z, tol);
}

double Distancia(const TCamera& c) {
  return NormaVet(SubVet(c.Olho, c.Centro));
}

double Produto(const TVector& a, const TVector& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

void Tiques(TCamera& camera, TVector& ponteiro, const TCameraButtons& botoes, int n) {
  for (int i = 0; i < n; ++i) ControleCamera(botoes, camera, ponteiro);
}

class ControleCameraTeste : public ::testing::Test {
 protected:
  TCamera camera;
  TVector ponteiro{1, 2, 3};
};

TEST_F(ControleCameraTeste, StartViewValues) {
  EsperaPerto(camera.Olho, 50, 50, 25, 0);
  EsperaPerto(camera.Cima, 0, 0, 1, 0);
  EsperaPerto(camera.Centro, 0, 0, 0, 0);
  EXPECT_EQ(camera.Ganho, 100);
  EXPECT_EQ(camera.EscalaX, 1.0);
  EXPECT_EQ(camera.EscalaY, 2.0);
  EXPECT_EQ(camera.EscalaZ, 1.0);
}

TEST_F(ControleCameraTeste, UpRaisesTheEyeOverTheCentre) {
  ControleCamera({.Up = true}, camera, ponteiro);
  EsperaPerto(camera.Olho, 49.684, 49.684, 26.230);
  EXPECT_NEAR(Distancia(camera), 75, 1e-9);
}

TEST_F(ControleCameraTeste, RightMovesTheEyeToTheViewersRight) {
  ControleCamera({.Right = true}, camera, ponteiro);
  EsperaPerto(camera.Olho, 49.067, 50.918, 24.996);
  EXPECT_NEAR(Distancia(camera), 75, 1e-9);
}

TEST_F(ControleCameraTeste, DownAndLeftUndoUpAndRight) {
  Tiques(camera, ponteiro, {.Up = true}, 7);
  Tiques(camera, ponteiro, {.Right = true}, 5);
  Tiques(camera, ponteiro, {.Left = true}, 5);
  Tiques(camera, ponteiro, {.Down = true}, 7);
  EsperaPerto(camera.Olho, 50, 50, 25, 1e-9);
  TCamera parada;
  OrbitaCamera(parada, 0, 0);  // only makes Cima perpendicular to the line of sight
  EsperaPerto(camera.Cima, parada.Cima.x, parada.Cima.y, parada.Cima.z, 1e-9);
  EXPECT_GT(parada.Cima.z, 0.9);
}

// Cima, made perpendicular to the line of sight, is the orbit axis, so "Right" held tilts the eye's path
// down towards the ground; "Down" held sinks it straight towards it. Neither takes it under the floor, and
// the distance to the centre stays; "Up" lifts it again.
TEST_F(ControleCameraTeste, OrbitNeverTakesTheEyeUnderTheFloor) {
  double maisBaixo = camera.Olho.z;
  for (const TCameraButtons b : {TCameraButtons{.Right = true}, TCameraButtons{.Down = true}})
    for (int i = 0; i < 360; ++i) {
      ControleCamera(b, camera, ponteiro);
      maisBaixo = std::min(maisBaixo, camera.Olho.z);
      ASSERT_NEAR(Distancia(camera), 75, 1e-9) << i;
      ASSERT_NEAR(Produto(camera.Cima, SubVet(camera.Centro, camera.Olho)), 0, 1e-9) << i;
    }
  EXPECT_NEAR(maisBaixo, MinimumEyeHeight, 1e-9) << "the eye reached the floor and stopped there";
  Tiques(camera, ponteiro, {.Up = true}, 10);
  EXPECT_GT(camera.Olho.z, 10);
}

TEST_F(ControleCameraTeste, OrbitKeepsCimaUnitAndPerpendicular) {
  for (int i = 0; i < 100; ++i) ControleCamera({.Up = true, .Right = (i % 3 == 0)}, camera, ponteiro);
  const TVector visada = SubVet(camera.Centro, camera.Olho);
  EXPECT_NEAR(NormaVet(camera.Cima), 1, 1e-12);
  EXPECT_NEAR(Produto(camera.Cima, visada), 0, 1e-9);
  EXPECT_NEAR(Distancia(camera), 75, 1e-9);
}

TEST_F(ControleCameraTeste, HomeResetsOnlyThePointer) {
  ControleCamera({.Home = true}, camera, ponteiro);
  EsperaPerto(ponteiro, 0, 0, 0, 0);
  EsperaPerto(camera.Olho, 50, 50, 25, 0);
  EXPECT_EQ(camera.Ganho, 100);
}

TEST_F(ControleCameraTeste, PlusAndMinusChangeTheGainInStepsOfTen) {
  ControleCamera({.Plus = true}, camera, ponteiro);
  EXPECT_EQ(camera.Ganho, 110);
  camera.Ganho = 10;
  ControleCamera({.Minus = true}, camera, ponteiro);
  EXPECT_EQ(camera.Ganho, 10);
  camera.Ganho = 15;
  ControleCamera({.Minus = true}, camera, ponteiro);
  EXPECT_EQ(camera.Ganho, 5);
  ControleCamera({.Minus = true}, camera, ponteiro);
  EXPECT_EQ(camera.Ganho, 10);
  EsperaPerto(ponteiro, 1, 2, 3, 0);
}

TEST_F(ControleCameraTeste, PlusHeldForeverStopsBeforeOverflow) {
  camera.Ganho = std::numeric_limits<int32_t>::max() - 15;
  Tiques(camera, ponteiro, {.Plus = true}, 3);
  EXPECT_EQ(camera.Ganho, std::numeric_limits<int32_t>::max() - 5);
}

TEST_F(ControleCameraTeste, OneMovesOneUnitAlongTheLineOfSight) {
  ControleCamera({.Um = true}, camera, ponteiro);
  EXPECT_NEAR(Distancia(camera), 74, 1e-9);
  EsperaPerto(camera.Olho, 50 * 74.0 / 75, 50 * 74.0 / 75, 25 * 74.0 / 75, 1e-9);
  ControleCamera({.Dois = true}, camera, ponteiro);
  EsperaPerto(camera.Olho, 50, 50, 25, 1e-9);
}

TEST_F(ControleCameraTeste, OneHeldNeverReachesTheCentre) {
  for (int i = 0; i < 200; ++i) {
    ControleCamera({.Um = true}, camera, ponteiro);
    ASSERT_GE(Distancia(camera), DistanciaMinimaCamera - 1e-12) << "tick " << i;
  }
  EXPECT_NEAR(Distancia(camera), DistanciaMinimaCamera, 1e-12);
  // Still on the start view's line of sight, on the eye's side of the centre.
  const TVector dir = NormalizaVet(camera.Olho);
  EsperaPerto(dir, 50 / 75.0, 50 / 75.0, 25 / 75.0, 1e-12);
  // The view still works: an orbit from there keeps finite values.
  ControleCamera({.Up = true, .Right = true}, camera, ponteiro);
  EXPECT_TRUE(std::isfinite(camera.Olho.x) && std::isfinite(camera.Olho.y) && std::isfinite(camera.Olho.z));
  EXPECT_TRUE(std::isfinite(camera.Cima.x) && std::isfinite(camera.Cima.y) && std::isfinite(camera.Cima.z));
  ControleCamera({.Dois = true}, camera, ponteiro);
  EXPECT_NEAR(Distancia(camera), DistanciaMinimaCamera + 1, 1e-9);
}

TEST(AproximaCamera, LargeStepStopsAtTheMinimumDistance) {
  TCamera camera;
  AproximaCamera(camera, 500);
  EXPECT_NEAR(Distancia(camera), DistanciaMinimaCamera, 1e-12);
  EXPECT_GT(camera.Olho.z, 0);
}

TEST(AproximaCamera, EyeInsideTheMinimumIsNotPushedOutNorIn) {
  TCamera camera;
  camera.Olho = {0.2, 0, 0};
  AproximaCamera(camera, 1);
  EsperaPerto(camera.Olho, 0.2, 0, 0, 1e-15);
  AproximaCamera(camera, -1);
  EsperaPerto(camera.Olho, 1.2, 0, 0, 1e-12);
}

TEST(AproximaCamera, EyeAtTheCentreStaysFinite) {
  TCamera camera;
  camera.Olho = camera.Centro;
  AproximaCamera(camera, 1);
  AproximaCamera(camera, -1);
  EsperaPerto(camera.Olho, 0, 0, 0, 0);
}

TEST_F(ControleCameraTeste, SeveralButtonsActInOneTick) {
  TCamera so;
  ControleCamera({.Up = true}, so, ponteiro);
  ControleCamera({.Right = true}, so, ponteiro);
  AproximaCamera(so, 1);
  ControleCamera({.Up = true, .Right = true, .Plus = true, .Um = true}, camera, ponteiro);
  EsperaPerto(camera.Olho, so.Olho.x, so.Olho.y, so.Olho.z, 1e-12);
  EXPECT_EQ(camera.Ganho, 110);
}

}  // namespace
