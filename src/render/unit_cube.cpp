#include "render/unit_cube.h"

#include <GL/gl.h>

namespace {

constexpr int QuadsPorLado = 20;
constexpr float PassoCubo = 0.05f;

void DrawFace(const std::vector<float>& face) {
  glNormal3f(1, 0, 0);
  glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(face.size() / 3));
}

}  // namespace

TUnitCube::TUnitCube() {
  face_.reserve(QuadsPorLado * QuadsPorLado * 4 * 3);
  const auto canto = [this](float y, float z) { face_.insert(face_.end(), {0.5f, y, z}); };
  for (int i = 0; i < QuadsPorLado; ++i) {
    const float y = -0.5f + static_cast<float>(i) * PassoCubo;
    for (int j = 0; j < QuadsPorLado; ++j) {
      const float z = -0.5f + static_cast<float>(j) * PassoCubo;
      canto(y, z);
      canto(y, z + PassoCubo);
      canto(y + PassoCubo, z + PassoCubo);
      canto(y + PassoCubo, z);
    }
  }
}

// The six faces as the +x face under cumulative turns: +x, +y, -x, -y about z, then +z and -z about y.
// The same vertices, matrices and primitive as drawing the quads call by call, so the same pixels.
void TUnitCube::Draw() const {
  glPushMatrix();
  glVertexPointer(3, GL_FLOAT, 0, face_.data());
  glEnableClientState(GL_VERTEX_ARRAY);
  DrawFace(face_);
  for (int k = 0; k < 3; ++k) {
    glRotatef(90, 0, 0, 1);
    DrawFace(face_);
  }
  glRotatef(-90, 0, 1, 0);
  DrawFace(face_);
  glRotatef(-180, 0, 1, 0);
  DrawFace(face_);
  glDisableClientState(GL_VERTEX_ARRAY);
  glPopMatrix();
}
