#include "render/view_gl.h"

#include <GL/gl.h>
#include <GL/glu.h>

void ClearFrame() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void ApplyProjectionAndView(const TCamera& camera, double aspecto) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(60.0, aspecto, 1.0, 1000.0);
  const TVector& o = camera.Olho;
  const TVector& c = camera.Centro;
  const TVector& u = camera.Cima;
  gluLookAt(o.x, o.y, o.z, c.x, c.y, c.z, u.x, u.y, u.z);
  glMatrixMode(GL_MODELVIEW);
}
