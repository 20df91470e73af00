#include "frame_drawing.h"

#include "ObjetosGL.h"
#include "view_gl.h"
#include "world.h"

#include <GL/gl.h>

void TDesenhoQuadroGL::Limpa() {
  LimpaQuadro();
}

void TDesenhoQuadroGL::Projecao(const TCamera& camera) {
  AplicaProjecaoEVista(camera, aspecto_);
}

void TDesenhoQuadroGL::Referencias(const TEstadoQuadro& estado, const Cena& cena) {
  DesenhaCaixaPonto(estado.PonteiroPos);
  DesenhaCaminhoPonteiro(estado.PonteiroCaminho);
  DesenhaRastros(cena.Objetos);
  DesenhaEixos(true, 5);
  gl_.DesenhaBlocoPonteiro(estado.PonteiroPos);
  glPushMatrix();
  DesenhaPiso(20, ChaoDim.x / 20.0, ChaoDim.y / 20.0);
  glPopMatrix();
}

void TDesenhoQuadroGL::Objetos(const Cena& cena) {
  gl_.DesenhaObjetos(cena, true);
}
