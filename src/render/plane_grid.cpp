#include "render/plane_grid.h"

#include <GL/gl.h>

#include <cmath>

namespace {

constexpr int CelulasPlano = 10;

void Vertice(const TVector& p) {
  glVertex3f(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z));
}

}  // namespace

TPlaneCoefficients PlaneCoefficients(const TObjetoCena& o) {
  TPlaneCoefficients p{o.Dim[0], o.Dim[1], o.Dim[2], o.Dim[3]};
  if (p.a == 0 && p.b == 0 && p.c == 0) p.c = 1;
  return p;
}

TVector PlanePoint(const TPlaneCoefficients& p, double u, double v) {
  if (p.c != 0) return {u, v, (p.d - p.a * u - p.b * v) / p.c};
  if (std::fabs(p.b) >= std::fabs(p.a)) return {u, (p.d - p.a * u) / p.b, v};
  return {(p.d - p.b * u) / p.a, u, v};
}

// The loader keeps a plane's SX and SY in the bounds centre of its (otherwise unused) model.
double ExtentX(const TObjetoCena& o) {
  return o.Modelo.BoundsCentre.x;
}
double ExtentY(const TObjetoCena& o) {
  return o.Modelo.BoundsCentre.y;
}

void DrawPlane(const TObjetoCena& o) {
  const TPlaneCoefficients p = PlaneCoefficients(o);
  const double sx = ExtentX(o), sy = ExtentY(o);
  const double fx = sx / CelulasPlano, fy = sy / CelulasPlano;
  const float r = static_cast<float>(o.R / 255), g = static_cast<float>(o.G / 255),
              b = static_cast<float>(o.B / 255);
  glNormal3f(static_cast<float>(p.a), static_cast<float>(p.b), static_cast<float>(p.c));
  for (int i = 0; i < CelulasPlano; ++i) {
    const double x = -sx / 2 + i * fx;
    for (int j = 0; j < CelulasPlano; ++j) {
      const double y = -sy / 2 + j * fy;
      const TVector cantos[4] = {PlanePoint(p, x, y), PlanePoint(p, x, y + fy), PlanePoint(p, x + fx, y + fy),
                                 PlanePoint(p, x + fx, y)};
      glColor4f(r, g, b, 1);
      glBegin(GL_LINE_LOOP);
      for (const TVector& c : cantos) Vertice(c);
      glEnd();
      glColor4f(r, g, b, 0.5f);
      glBegin(GL_QUADS);
      for (const TVector& c : cantos) Vertice(c);
      glEnd();
    }
  }
}
