#pragma once
// The kinds of shape a row builds, as the ODETipo column keeps them (the integers 0 to 4 on disk), and
// every fact about a kind in its one entry: the name the user sees, the size columns it uses and their
// labels, the row a new object of the kind starts from, and how far each solid reaches from its centre.

#include "scene/scene_table.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

enum class TShapeKind : uint8_t { Sphere = 0, Capsule = 1, Box = 2, Plane = 3, Mesh = 4 };
inline constexpr std::array<TShapeKind, 5> ShapeKinds = {
    TShapeKind::Sphere, TShapeKind::Capsule, TShapeKind::Box, TShapeKind::Plane, TShapeKind::Mesh};

// What a size field takes: a solid's length must be positive (a capsule's cylinder may be missing: then it
// is a sphere), a plane's drawn widths may be 0, a plane's equation and a model's scales may be negative.
enum class TSizeMinimum { Positive, ZeroOrMore, Any };

// One size column a kind uses.
struct TSizeField {
  TColumn Column;
  std::string_view Label;  // as the editor shows it
  std::string_view Unit;   // " m", or empty for a number without one
  TSizeMinimum Minimum;
  bool SolidLength;  // a length of the solid the engine steps (bounded by MaxObjectSize)
};

struct TShapeInfo {
  std::string_view Name;     // as the user sees it in a list
  std::string_view RowName;  // the name a new row of the kind takes, before its number
  std::span<const TSizeField> Sizes;
  bool Placed;  // stands at its row's X, Y, Z turned by its row's angle (every kind but the plane)
  // A new row's Dim1 to Dim4 and colour (0 to 255): sizes a person can see from the start view and pick
  // up, colours that tell the kinds apart. A new object of a kind that moves falls and can be grabbed.
  std::array<double, 4> TemplateSizes;
  std::array<double, 3> TemplateColour;
  bool TemplateMoves;
};

const TShapeInfo& ShapeInfo(TShapeKind tipo);

// The kind an ODETipo value names; none for a value that builds no shape.
std::optional<TShapeKind> ShapeKindOf(int32_t tipo);

// How far a solid reaches from its centre in any direction, from its sizes (Dim1, Dim2, Dim3): a sphere's
// radius, half a capsule's whole length (its cylinder and one cap), half a box's diagonal. 0 for a plane
// and a model, whose extent their sizes do not give.
double SolidReach(TShapeKind tipo, double dim1, double dim2, double dim3);
// How far an unturned solid reaches above (and below) its centre; 0 for a plane and a model.
double SolidHalfHeight(TShapeKind tipo, double dim1, double dim2, double dim3);
