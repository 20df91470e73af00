#pragma once
// The drawn form of a plane object a·x + b·y + c·z = d: a 10 x 10 grid of cells over its extent.

#include "scene/scene.h"

// The coefficients as drawn: a row with a zero normal lies flat, as its collision plane does.
struct TPlaneCoefficients {
  double a = 0, b = 0, c = 1, d = 0;
};
TPlaneCoefficients PlaneCoefficients(const TObjetoCena& o);

// The point of the plane over grid coordinates (u, v). A plane that is not vertical is solved for z over
// (x, y) = (u, v). A vertical plane (c = 0) is solved for y over (x, z) = (u, v) when |b| >= |a|, otherwise
// for x over (y, z) = (u, v), so it is drawn upright instead of with infinite or NaN corners.
TVector PlanePoint(const TPlaneCoefficients& p, double u, double v);

// The extent SX x SY of the plane's grid as the loader stores it in the record.
double ExtentX(const TObjetoCena& o);
double ExtentY(const TObjetoCena& o);

// The grid in body coordinates: normal (a, b, c) once, then per cell a line loop in the object's opaque
// colour and a quad in the same colour at alpha 0.5.
void DrawPlane(const TObjetoCena& o);
