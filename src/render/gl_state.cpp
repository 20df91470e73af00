#include "render/gl_state.h"

#include <GL/gl.h>

std::array<TLuzGL, 2> LuzesIniciais() {
  TLuzGL luz0;
  luz0.TemDirecao = false;
  luz0.Posicao = {5, -5, 3, 1};
  luz0.Atenuacao = {0.05f, 0, 0};
  luz0.Ambiente = {0.1f, 0.1f, 0.1f, 1};
  luz0.Difusa = {1, 1, 1, 1};
  luz0.Especular = {0.2f, 0.2f, 0.2f, 1};

  TLuzGL luz1 = luz0;
  luz1.TemDirecao = true;
  luz1.Posicao = {-5, 5, 5, 0};
  luz1.Direcao = {0, -1, -1};
  return {luz0, luz1};
}

void InitGLState() {
  glClearColor(0, 0, 0, 0);
  glShadeModel(GL_SMOOTH);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glDisable(GL_CULL_FACE);
}

void SetLightsAndMaterial() {
  const std::array<TLuzGL, 2> luzes = LuzesIniciais();
  const GLenum nomes[2] = {GL_LIGHT0, GL_LIGHT1};

  for (int i = 0; i < 2; ++i) glLightfv(nomes[i], GL_POSITION, luzes[i].Posicao.data());
  for (int i = 0; i < 2; ++i)
    if (luzes[i].TemDirecao) glLightfv(nomes[i], GL_SPOT_DIRECTION, luzes[i].Direcao.data());
  for (int i = 0; i < 2; ++i) {
    glLightfv(nomes[i], GL_AMBIENT, luzes[i].Ambiente.data());
    glLightfv(nomes[i], GL_DIFFUSE, luzes[i].Difusa.data());
    glLightfv(nomes[i], GL_SPECULAR, luzes[i].Especular.data());
  }
  for (int i = 0; i < 2; ++i) {
    glLightf(nomes[i], GL_QUADRATIC_ATTENUATION, luzes[i].Atenuacao[0]);
    glLightf(nomes[i], GL_LINEAR_ATTENUATION, luzes[i].Atenuacao[1]);
    glLightf(nomes[i], GL_CONSTANT_ATTENUATION, luzes[i].Atenuacao[2]);
  }

  const GLfloat ambiente[4] = {0, 0, 0, 0};
  const GLfloat difusa[4] = {0.8f, 0.8f, 0.8f, 1};
  const GLfloat especular[4] = {0.2f, 0.2f, 0.2f, 1};
  const GLfloat emissao[4] = {0, 0, 0, 1};
  glMaterialfv(GL_FRONT, GL_AMBIENT, ambiente);
  glMaterialfv(GL_FRONT, GL_DIFFUSE, difusa);
  glMaterialfv(GL_FRONT, GL_SPECULAR, especular);
  glMaterialfv(GL_FRONT, GL_EMISSION, emissao);
  glMaterialf(GL_FRONT, GL_SHININESS, 20);

  glEnable(GL_LIGHT0);
  glEnable(GL_LIGHT1);
  glEnable(GL_NORMALIZE);
}
