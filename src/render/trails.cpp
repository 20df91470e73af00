#include "render/trails.h"

#include <GL/gl.h>

#include <algorithm>
#include <limits>

namespace {

// The points are handed to GL as they are stored, three doubles each, without a copy.
static_assert(sizeof(TVector) == 3 * sizeof(double), "TVector must be three packed doubles");

// One line strip through every point; a strip longer than one draw call can take goes in pieces that
// share their end points, so the line stays unbroken.
void DrawStrip(const std::vector<TVector>& pontos) {
  if (pontos.size() < 2) return;
  const size_t lote = static_cast<size_t>(std::numeric_limits<GLsizei>::max());
  for (size_t inicio = 0; inicio + 1 < pontos.size(); inicio += lote - 1) {
    const size_t n = std::min(lote, pontos.size() - inicio);
    glVertexPointer(3, GL_DOUBLE, sizeof(TVector), &pontos[inicio].x);
    glDrawArrays(GL_LINE_STRIP, 0, static_cast<GLsizei>(n));
  }
}

}  // namespace

void DesenhaRastros(std::span<const TObjetoCena> objetos) {
  glEnableClientState(GL_VERTEX_ARRAY);
  for (const TObjetoCena& o : objetos) {
    glLineWidth(3);
    glColor4f(static_cast<float>(o.R / 510), static_cast<float>(o.G / 510), static_cast<float>(o.B / 510), 1);
    DrawStrip(o.Rastro);
    glLineWidth(1);
  }
  glDisableClientState(GL_VERTEX_ARRAY);
}
