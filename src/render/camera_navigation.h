#pragma once
// Steering the camera from a mouse and a keyboard: drags, wheel steps and framing, in the view's own terms
// (pixels of a panel seen through the 60 degree vertical field of view). Plain math on TCamera; the zoom
// goes through the same AproximaCamera as the remote's buttons, the orbit keeps the horizon level.

#include "render/camera.h"

#include <vector>

// Vertical field of view of the picture, in degrees.
inline constexpr double CampoDeVisaoVertical = 60.0;

// Degrees the eye turns for each pixel the mouse is dragged over the panel.
inline constexpr double OrbitDegreesPerPixel = 0.5;

// Degrees the eye turns for each press of an arrow key.
inline constexpr double OrbitDegreesPerKey = 5.0;

// The eye never climbs closer than this to straight above or below the centre in a level orbit, where the
// horizon would have no direction.
inline constexpr double MaximumElevationDegrees = 89.0;

// Orbits the eye about the centre keeping the horizon level, as a student turning a model on a table
// expects: `elevacao` degrees up over the centre, `azimute` degrees about the vertical through it
// (positive: the eye goes to the viewer's right). The distance is kept, the elevation stays within
// MaximumElevationDegrees, a sinking eye stops at MinimumEyeHeight, and Cima ends in the vertical plane of
// the line of sight, so a view the remote's cross pad has rolled comes back level.
void OrbitLevel(TCamera& camera, double elevacao, double azimute);

// A left-drag of (dx, dy) logical pixels (y down, as the mouse reports it) turns the world with the mouse,
// with the horizon level: dragging right moves the eye to the viewer's left, dragging down raises it over
// the centre.
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
