#include "support_gl/reference_cube.h"

#include <GL/gl.h>

void CuboChamadaAChamada() {
  const auto face = [] {
    glNormal3f(1, 0, 0);
    glBegin(GL_QUADS);
    for (int i = 0; i < 20; ++i)
      for (int j = 0; j < 20; ++j) {
        const float y = -0.5f + static_cast<float>(i) * 0.05f, z = -0.5f + static_cast<float>(j) * 0.05f;
        glVertex3f(0.5f, y, z);
        glVertex3f(0.5f, y, z + 0.05f);
        glVertex3f(0.5f, y + 0.05f, z + 0.05f);
        glVertex3f(0.5f, y + 0.05f, z);
      }
    glEnd();
  };
  glPushMatrix();
  face();
  for (int k = 0; k < 3; ++k) {
    glRotatef(90, 0, 0, 1);
    face();
  }
  glRotatef(-90, 0, 1, 0);
  face();
  glRotatef(-180, 0, 1, 0);
  face();
  glPopMatrix();
}
