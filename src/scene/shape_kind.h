#pragma once
// The kinds of shape a row builds, as the ODETipo column keeps them (the integers 0 to 4 on disk), and how
// far each solid reaches from its centre.

#include <cstdint>
#include <optional>

enum class TShapeKind : uint8_t { Sphere = 0, Capsule = 1, Box = 2, Plane = 3, Mesh = 4 };

// The kind an ODETipo value names; none for a value that builds no shape.
std::optional<TShapeKind> ShapeKindOf(int32_t tipo);

// How far a solid reaches from its centre in any direction, from its sizes (Dim1, Dim2, Dim3): a sphere's
// radius, half a capsule's whole length (its cylinder and one cap), half a box's diagonal. 0 for a plane
// and a model, whose extent their sizes do not give.
double SolidReach(TShapeKind tipo, double dim1, double dim2, double dim3);
// How far an unturned solid reaches above (and below) its centre; 0 for a plane and a model.
double SolidHalfHeight(TShapeKind tipo, double dim1, double dim2, double dim3);
