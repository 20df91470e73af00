#include "scene/shape_kind.h"

#include <cmath>

namespace {

using C = TColumn;
using M = TSizeMinimum;

constexpr TSizeField SphereSizes[] = {{C::Dim1, "Raio", " m", M::Positive, true}};
constexpr TSizeField CapsuleSizes[] = {{C::Dim1, "Raio", " m", M::Positive, true},
                                       {C::Dim2, "Comprimento do cilindro", " m", M::ZeroOrMore, true}};
constexpr TSizeField BoxSizes[] = {{C::Dim1, "Comprimento (X)", " m", M::Positive, true},
                                   {C::Dim2, "Largura (Y)", " m", M::Positive, true},
                                   {C::Dim3, "Altura (Z)", " m", M::Positive, true}};
constexpr TSizeField PlaneSizes[] = {{C::Dim1, "Normal a (X)", "", M::Any, false},
                                     {C::Dim2, "Normal b (Y)", "", M::Any, false},
                                     {C::Dim3, "Normal c (Z)", "", M::Any, false},
                                     {C::Dim4, "Distância d", " m", M::Any, false},
                                     {C::SX, "Largura desenhada (X)", " m", M::ZeroOrMore, false},
                                     {C::SY, "Largura desenhada (Y)", " m", M::ZeroOrMore, false}};
constexpr TSizeField MeshSizes[] = {{C::SX, "Escala X", "", M::Any, false},
                                    {C::SY, "Escala Y", "", M::Any, false},
                                    {C::SZ, "Escala Z", "", M::Any, false}};

const TShapeInfo Kinds[] = {
    {"Esfera", "Esfera", SphereSizes, true, {0.5, 0, 0, 0}, {220, 60, 50}, true},
    {"Cápsula", "Cápsula", CapsuleSizes, true, {0.3, 1.0, 0, 0}, {240, 160, 40}, true},
    {"Caixa", "Caixa", BoxSizes, true, {1, 1, 1, 0}, {60, 110, 220}, true},
    {"Plano", "Plano", PlaneSizes, false, {0, 0, 1, 0}, {150, 150, 150}, false},
    {"Modelo OBJ", "Modelo", MeshSizes, true, {0, 0, 0, 0}, {90, 180, 90}, true},
};
static_assert(std::size(Kinds) == ShapeKinds.size());

}  // namespace

const TShapeInfo& ShapeInfo(TShapeKind tipo) {
  return Kinds[static_cast<std::size_t>(tipo)];
}

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
