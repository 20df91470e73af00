#include "frame/frame_drawing.h"

#include "physics/world.h"
#include "render/link_drawing.h"
#include "render/reference_drawing.h"
#include "render/trails.h"
#include "render/view_gl.h"

#include <GL/gl.h>

void TGLFrameDrawing::Clear() {
  ClearFrame();
}

void TGLFrameDrawing::Projection(const TCamera& camera) {
  ApplyProjectionAndView(camera, aspect_);
}

void TGLFrameDrawing::References(const TFrameState& estado, const TScene& cena) {
  if (estado.PointerShown) {
    DesenhaCaixaPonto(estado.PonteiroPos);
    DrawPointerPath(estado.PonteiroCaminho);
  }
  DesenhaRastros(cena.Objetos);
  DesenhaEixos(true, 5);
  if (estado.PointerShown) gl_.DrawPointerBlock(estado.PonteiroPos);
  glPushMatrix();
  DesenhaPiso(20, ChaoDim.x / 20.0, ChaoDim.y / 20.0);
  glPopMatrix();
}

void TGLFrameDrawing::Objetos(const TScene& cena) {
  gl_.DesenhaObjetos(cena, true);
  DrawLinks(cena.Mundo->Links());
}
