#pragma once
// Which object the mouse points at: a ray from the eye through a point of the drawing panel, met with each
// object's shape where the picture draws it (the body's pose, the drawn sizes). Plain math, no window.

#include "physics/vector_math.h"
#include "render/camera.h"
#include "scene/scene.h"

#include <cstddef>
#include <optional>

// What the panel shows: the camera and the panel's size in logical pixels, the unit of the mouse's position.
// The picture's projection: 60 degrees vertical, aspect width / height, near 1, far 1000.
struct TPanelView {
  TCamera camera;
  double largura = 1, altura = 1;
};

// A press and release closer than this (logical pixels, each way) is a click, not a drag.
inline constexpr double ClickSlop = 4.0;

// A ray from the eye. `direcao` is scaled so that one unit of the ray's parameter is one unit of depth
// along the line of sight: the parameter of a point is its depth in the picture.
struct TViewRay {
  TVector origem, direcao;
  TVector At(double t) const { return SomaVet(origem, EscalaVet(direcao, t)); }
};

// The ray through panel point (x, y), measured from the panel's top-left corner.
TViewRay RayThroughPanel(const TPanelView& vista, double x, double y);

// Where `raio` meets the plane through `ponto` with normal `normal`; nothing for a ray along the plane or
// one that meets it behind the eye.
std::optional<TVector> MeetPlane(const TViewRay& raio, const TVector& ponto, const TVector& normal);

// Where world point `p` shows on the panel (x, y as RayThroughPanel takes them); nothing for a point
// behind the near plane.
struct TPanelSpot {
  double x = 0, y = 0;
};
std::optional<TPanelSpot> PanelSpotOf(const TPanelView& vista, const TVector& p);

struct TPickHit {
  std::size_t objeto = 0;  // index in the scene's object list
  double profundidade = 0;
  TVector ponto;  // where the ray meets the object's surface, in the world
};

// The nearest object the ray meets between the near and the far plane. Planes and objects without a shape
// are never picked.
std::optional<TPickHit> PickObject(const TScene& cena, const TViewRay& raio);
