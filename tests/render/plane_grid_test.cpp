// Where the plane grid's corners go, for tilted, flat, vertical and blank planes.

#include "render/plane_grid.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

double Residuo(const TPlaneCoefficients& p, const TVector& v) {
  return p.a * v.x + p.b * v.y + p.c * v.z - p.d;
}

bool Finito(const TVector& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

TEST(PlanePoint, EveryCornerLiesOnThePlane) {
  const TPlaneCoefficients planos[] = {{0, 0, 1, 0},  {0.2, -0.3, 1, 2}, {1, 0, 0, 3},
                                       {0, 2, 0, -4}, {1, -3, 0, 1},     {-4, 1, 0, 2}};
  for (const TPlaneCoefficients& p : planos)
    for (double u = -5; u <= 5; u += 2.5)
      for (double v = -5; v <= 5; v += 2.5) {
        const TVector c = PlanePoint(p, u, v);
        ASSERT_TRUE(Finito(c)) << p.a << " " << p.b << " " << p.c;
        EXPECT_NEAR(Residuo(p, c), 0, 1e-12) << p.a << " " << p.b << " " << p.c;
      }
}

TEST(PlanePoint, PlaneThatIsNotVerticalIsSolvedForZ) {
  const TVector c = PlanePoint({0.5, 0.25, 2, 1}, 2, 4);
  EXPECT_DOUBLE_EQ(c.x, 2);
  EXPECT_DOUBLE_EQ(c.y, 4);
  EXPECT_DOUBLE_EQ(c.z, (1 - 1.0 - 1.0) / 2);
}

TEST(PlanePoint, VerticalPlaneStandsUpright) {
  // x = 3: the grid spans y and z.
  const TVector a = PlanePoint({1, 0, 0, 3}, -5, -5), b = PlanePoint({1, 0, 0, 3}, 5, 5);
  EXPECT_DOUBLE_EQ(a.x, 3);
  EXPECT_DOUBLE_EQ(b.x, 3);
  EXPECT_DOUBLE_EQ(b.y - a.y, 10);
  EXPECT_DOUBLE_EQ(b.z - a.z, 10);
  // y = -2: the grid spans x and z.
  const TVector c = PlanePoint({0, 2, 0, -4}, 1, 7);
  EXPECT_DOUBLE_EQ(c.x, 1);
  EXPECT_DOUBLE_EQ(c.y, -2);
  EXPECT_DOUBLE_EQ(c.z, 7);
}

TEST(PlaneCoefficients, BlankRowLiesFlatLikeItsCollisionPlane) {
  TObjetoCena o;
  o.Dim = {0, 0, 0, 2};
  const TPlaneCoefficients p = PlaneCoefficients(o);
  EXPECT_EQ(p.c, 1);
  EXPECT_DOUBLE_EQ(PlanePoint(p, 3, 4).z, 2);
}

}  // namespace
