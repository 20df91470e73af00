// The kinds of shape the ODETipo column names, and how far each solid reaches from its centre.

#include "scene/shape_kind.h"

#include <gtest/gtest.h>

namespace {

TEST(ShapeKind, OnlyTheFiveKindsOnDiskNameAShape) {
  EXPECT_EQ(ShapeKindOf(0), TShapeKind::Sphere);
  EXPECT_EQ(ShapeKindOf(4), TShapeKind::Mesh);
  EXPECT_FALSE(ShapeKindOf(5));
  EXPECT_FALSE(ShapeKindOf(-1));
}

TEST(ShapeKind, SolidsReachAsFarAsTheirFarthestPoint) {
  // A capsule of radius 0.3 and cylinder 1: its cap's top is 0.5 + 0.3 above its centre.
  EXPECT_DOUBLE_EQ(SolidReach(TShapeKind::Capsule, 0.3, 1, 0), 0.8);
  EXPECT_DOUBLE_EQ(SolidHalfHeight(TShapeKind::Capsule, 0.3, 1, 0), 0.8);
  EXPECT_DOUBLE_EQ(SolidReach(TShapeKind::Sphere, 0.5, 0, 0), 0.5);
  // A 1 x 2 x 2 box: half its diagonal of 3, and half its height.
  EXPECT_DOUBLE_EQ(SolidReach(TShapeKind::Box, 1, 2, 2), 1.5);
  EXPECT_DOUBLE_EQ(SolidHalfHeight(TShapeKind::Box, 1, 2, 2), 1);
  EXPECT_EQ(SolidReach(TShapeKind::Plane, 0, 0, 1), 0);
  EXPECT_EQ(SolidReach(TShapeKind::Mesh, 1, 1, 1), 0);
}

// A new object of each kind starts from sizes its own fields accept, so the editor never shows a new row's
// size as refused.
TEST(ShapeKind, TemplateSizesKeepTheKindsOwnMinimums) {
  for (const TShapeKind k : ShapeKinds) {
    const TShapeInfo& forma = ShapeInfo(k);
    for (const TSizeField& f : forma.Sizes) {
      const int dim = static_cast<int>(f.Column) - static_cast<int>(TColumn::Dim1);
      if (dim < 0 || dim > 3) continue;
      const double v = forma.TemplateSizes[static_cast<std::size_t>(dim)];
      const double menor = f.Minimum == TSizeMinimum::Positive ? 1e-9
                           : f.Minimum == TSizeMinimum::Any    ? -1e9
                                                               : 0;
      EXPECT_GE(v, menor) << forma.Name << " " << f.Label;
    }
  }
}

}  // namespace
