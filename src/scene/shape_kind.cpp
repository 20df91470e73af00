#include "scene/shape_kind.h"

#include <cmath>

std::optional<TShapeKind> ShapeKindOf(int32_t tipo) {
  if (tipo < 0 || tipo > static_cast<int32_t>(TShapeKind::Mesh)) return std::nullopt;
  return static_cast<TShapeKind>(tipo);
}

double SolidReach(TShapeKind tipo, double d1, double d2, double d3) {
  switch (tipo) {
    case TShapeKind::Sphere:
      return d1;
    case TShapeKind::Capsule:
      return d1 + d2 / 2;
    case TShapeKind::Box:
      return std::sqrt(d1 * d1 + d2 * d2 + d3 * d3) / 2;
    case TShapeKind::Plane:
    case TShapeKind::Mesh:
      break;
  }
  return 0;
}

double SolidHalfHeight(TShapeKind tipo, double d1, double d2, double d3) {
  // A capsule stands along its own z axis, so it reaches as far up as along its axis.
  return tipo == TShapeKind::Box ? d3 / 2 : SolidReach(tipo, d1, d2, d3);
}
