#include "render/reference_drawing.h"

#include <GL/gl.h>

// Colours always go with their alpha (see render/object_drawing.cpp).

namespace {

void Vertice(double x, double y, double z) {
  glVertex3f(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

void Loop(const TVector (&cantos)[4]) {
  glBegin(GL_LINE_LOOP);
  for (const TVector& c : cantos) Vertice(c.x, c.y, c.z);
  glEnd();
}

}  // namespace

void DesenhaEixos(bool simetrico, double comprimento) {
  const double s = simetrico ? -comprimento : -comprimento / 10;
  glBegin(GL_LINES);
  glColor4f(1, 0, 0, 1);
  Vertice(s, 0, 0);
  Vertice(comprimento, 0, 0);
  glColor4f(0, 1, 0, 1);
  Vertice(0, s, 0);
  Vertice(0, comprimento, 0);
  glColor4f(0, 0, 1, 1);
  Vertice(0, 0, s);
  Vertice(0, 0, comprimento);
  glEnd();
}

void DesenhaCaixaPonto(const TVector& p) {
  const double x = -p.x, y = -p.y, z = -p.z;
  glPushMatrix();
  glPointSize(5);
  glBegin(GL_POINTS);
  glColor4f(1, 0, 0, 1);
  Vertice(x, 0, 0);
  glColor4f(0, 1, 0, 1);
  Vertice(0, y, 0);
  glColor4f(0, 0, 1, 1);
  Vertice(0, 0, z);
  glEnd();

  glColor4f(0, 0.5f, 0, 1);
  Loop({{0, 0, 0}, {x, 0, 0}, {x, y, 0}, {0, y, 0}});
  Loop({{0, 0, z}, {x, 0, z}, {x, y, z}, {0, y, z}});
  Loop({{0, 0, 0}, {x, 0, 0}, {x, 0, z}, {0, 0, z}});
  Loop({{0, y, 0}, {x, y, 0}, {x, y, z}, {0, y, z}});
  Loop({{0, 0, 0}, {0, y, 0}, {0, y, z}, {0, 0, z}});
  Loop({{x, 0, 0}, {x, y, 0}, {x, y, z}, {x, 0, z}});
  glPopMatrix();
}

void DesenhaPiso(int32_t celulas, double largura, double altura) {
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_BLEND);
  glPushMatrix();
  glScalef(static_cast<float>(largura), static_cast<float>(altura), 1);
  const int32_t h = celulas / 2;
  for (int32_t i = -h; i < h; ++i) {
    for (int32_t j = -h; j < h; ++j) {
      const auto celula = [&](GLenum primitiva) {
        glBegin(primitiva);
        Vertice(i, j, 0);
        Vertice(i + 1, j, 0);
        Vertice(i + 1, j + 1, 0);
        Vertice(i, j + 1, 0);
        glEnd();
      };
      glColor4f(0, 1, 0, 1);
      celula(GL_LINE_LOOP);
      glColor4f(0.3f, 1, 0.3f, 0.5f);
      celula(GL_QUADS);
    }
  }
  glPopMatrix();
  glDisable(GL_BLEND);

  glLineWidth(8);
  glBegin(GL_LINES);
  glColor4f(1, 0, 0, 1);
  Vertice(-largura * h, 0, 0);
  Vertice(largura * h, 0, 0);
  glColor4f(0, 1, 0, 1);
  Vertice(0, -altura * h, 0);
  Vertice(0, altura * h, 0);
  glEnd();
  glLineWidth(1);
}

void DrawPointerPath(std::span<const TVector> caminho) {
  glColor4f(1, 1, 0, 1);
  glBegin(GL_LINE_STRIP);
  for (const TVector& p : caminho) Vertice(-p.x, -p.y, -p.z);
  glEnd();
}
