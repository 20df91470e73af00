#pragma once
// Steering the camera from a mouse and a keyboard: drags, wheel steps and framing, in the view's own terms
// (pixels of a panel seen through the 60 degree vertical field of view). Plain math on TCamera; the
// orbit and the zoom go through the same OrbitaCamera and AproximaCamera as the remote's buttons.

#include "render/camera.h"

#include <vector>

// Vertical field of view of the picture, in degrees.
inline constexpr double CampoDeVisaoVertical = 60.0;

// Degrees the eye turns for each pixel the mouse is dragged over the panel.
inline constexpr double OrbitDegreesPerPixel = 0.5;

// Degrees the eye turns for each press of an arrow key.
inline constexpr double OrbitDegreesPerKey = 5.0;

// A left-drag of (dx, dy) logical pixels (y down, as the mouse reports it) turns the world with the mouse:
// dragging right moves the eye to the viewer's left, dragging down raises it over the centre.
void OrbitByDrag(TCamera& camera, double dx, double dy);

// The distance one wheel notch (or one PgUp/PgDn) moves the eye: a tenth of the distance to the centre,
// at least one unit, so that far and near views both zoom at a pace the eye can follow.
double ZoomStep(const TCamera& camera);

// `notches` wheel notches (positive: towards the centre, fractions for fine-grained wheels).
void ZoomByNotches(TCamera& camera, double notches);

// Moves Centro and Olho together so that the world point under the mouse at the centre's depth stays under
// it after a drag of (dx, dy) logical pixels on a panel `alturaPainel` logical pixels high.
void PanByDrag(TCamera& camera, double dx, double dy, double alturaPainel);

// A sphere that holds an object as drawn.
struct TBoundingSphere {
  TVector centro;
  double raio = 0;
};

// Points the camera, keeping its direction of view, at the middle of `objetos` from the nearest distance at
// which every sphere lies inside the picture of aspect `aspecto` (width / height), never nearer than
// DistanciaMinimaCamera nor with a sphere in front of the near plane. Nothing to frame leaves the camera
// as it was.
void FrameSpheres(TCamera& camera, const std::vector<TBoundingSphere>& objetos, double aspecto);
