#include "render/vector_drawing.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr float HandleSize = 11.0f;  // pixels

void Vertex(const TVector& p) {
  glVertex3f(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z));
}

// Two barbs at the tip of `haste` (from `inicio`), in the plane of the shaft and the vertical (or of the
// shaft and X, for a shaft that is itself vertical).
void ArrowHead(const TVector& inicio, const TVector& haste) {
  const double L = NormaVet(haste);
  if (L < 1e-6) return;
  const TVector u = EscalaVet(haste, 1 / L);
  const TVector ref = std::abs(u.z) > 0.999 ? TVector{1, 0, 0} : TVector{0, 0, 1};
  const double d = ref.x * u.x + ref.y * u.y + ref.z * u.z;
  const TVector lado = NormalizaVet(SubVet(ref, EscalaVet(u, d)));  // across the shaft
  const double comprimento = std::min(0.25 * L, 0.8);
  const TVector ponta = SomaVet(inicio, haste);
  const TVector base = SubVet(ponta, EscalaVet(u, comprimento));
  glLineWidth(VectorLineWidth);
  glColor4f(1, 1, 1, 1);
  glBegin(GL_LINES);
  for (const double lado1 : {-1.0, 1.0}) {
    Vertex(ponta);
    Vertex(SomaVet(base, EscalaVet(lado, lado1 * comprimento / 2)));
  }
  glEnd();
  glLineWidth(1);
}

}  // namespace

void DrawVector(const TVector& posicao, const TVector& v) {
  glLineWidth(VectorLineWidth);
  glPushMatrix();
  glTranslatef(static_cast<float>(posicao.x), static_cast<float>(posicao.y), static_cast<float>(posicao.z));
  glScalef(VectorScale, VectorScale, VectorScale);
  glBegin(GL_LINES);
  glColor4f(0, 1, 1, 1);
  Vertex({0, 0, 0});
  Vertex({v.x, 0, 0});
  glColor4f(1, 0, 1, 1);
  Vertex({0, 0, 0});
  Vertex({0, v.y, 0});
  glColor4f(1, 1, 0, 1);
  Vertex({0, 0, 0});
  Vertex({0, 0, v.z});
  glColor4f(1, 1, 1, 1);
  Vertex({0, 0, 0});
  Vertex(v);
  glEnd();
  glPopMatrix();
  glLineWidth(1);
}

void DrawLaunchArrow(const TVector& inicio, const TVector& v) {
  glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT | GL_POINT_BIT | GL_CURRENT_BIT);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  DrawVector(inicio, v);
  ArrowHead(inicio, EscalaVet(v, VectorScale));
  // A dark rim under the white handle: it shows on the white floor lines and on a white ball alike.
  const TVector ponta = SomaVet(inicio, EscalaVet(v, VectorScale));
  glPointSize(HandleSize + 4);
  glColor4f(0, 0, 0, 1);
  glBegin(GL_POINTS);
  Vertex(ponta);
  glEnd();
  glPointSize(HandleSize);
  glColor4f(1, 1, 1, 1);
  glBegin(GL_POINTS);
  Vertex(ponta);
  glEnd();
  glPopAttrib();
}
