// What of an opaque cube is handed to the driver, seen through a perspective of 60 degrees, near 1, far
// 100, with the eye at the origin looking down -z and the cube placed by a translation.

#include "render/cube_faces.h"
#include "support/panel_size.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Projection times a translation to (x, y, z) and a scale by s, column-major.
std::array<double, 16> Seen(double x, double y, double z, double s) {
  const double f = 1 / std::tan(M_PI / 6), n = 1, l = 100, aspect = double(PanelWidth) / PanelHeight;
  const double p[16] = {f / aspect,          0, 0, 0, 0, f, 0, 0, 0, 0, (l + n) / (n - l), -1, 0, 0,
                        2 * l * n / (n - l), 0};
  std::array<double, 16> m{};
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 3; ++c) m[4 * c + r] = s * p[4 * c + r];
    m[12 + r] = p[r] * x + p[4 + r] * y + p[8 + r] * z + p[12 + r];
  }
  return m;
}

TCubeView View(double x, double y, double z, double s = 1, bool opaque = true) {
  return ViewCube(Seen(x, y, z, s), {0, 0, PanelWidth, PanelHeight}, opaque);
}

TEST(CubeFaces, NearFacesWholeFarFacesOnlyBehindTheEdgesNothingOutOfView) {
  // Up, right and ahead of the eye: -x, -y and +z face the eye.
  const TCubeView v = View(1.2, 1, -3.5);
  ASSERT_TRUE(v.anything);
  const bool perto[6] = {false, false, true, true, true, false};
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(v.whole[k], perto[k]) << k;
    if (!perto[k]) {
      EXPECT_GT(v.cells[k].count(), 0u) << k;
      EXPECT_LT(v.cells[k].count(), v.cells[k].size() / 2) << k;
    }
  }
  const TCubeView translucido = View(1.2, 1, -3.5, 1, false);  // far faces show through
  for (int k = 0; k < 6; ++k) EXPECT_TRUE(translucido.whole[k]) << k;
  EXPECT_FALSE(View(30, 0, -6).anything);  // far to the right
  EXPECT_FALSE(View(0, 0, 6).anything);    // behind the eye
  EXPECT_TRUE(View(0, 0, -60).anything);   // small, far ahead
}

TEST(CubeFaces, EverythingWholeWithTheEyeInsideOrTheNearPlaneCutting) {
  for (const TCubeView& v : {View(0, 0, 0, 10), View(0, 0, -1.2)}) {
    ASSERT_TRUE(v.anything);
    for (int k = 0; k < 6; ++k) EXPECT_TRUE(v.whole[k]) << k;
  }
}

// Five pixels wide, 99 ahead: of each face's 400 quads only those over one of its few pixel centres.
TEST(CubeFaces, TinyCubeKeepsOnlyQuadsOverPixelCentres) {
  const TCubeView v = View(0.3, 0.2, -99);
  ASSERT_TRUE(v.anything);
  EXPECT_GT(v.cells[4].count(), 0u);  // the face towards the eye
  for (int k = 0; k < 6; ++k) {
    EXPECT_FALSE(v.whole[k]) << k;
    EXPECT_LT(v.cells[k].count(), 120u) << k;
  }
}

}  // namespace
