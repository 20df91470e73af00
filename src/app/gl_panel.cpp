#include "gl_panel.h"

#include "UConfiguraGL.h"

#include <QOpenGLContext>

TPainelGL::TPainelGL(QWidget* pai, double aspecto) : QOpenGLWidget(pai), desenho_(aspecto) {
  // The frame draws outside paintGL; the picture must survive until the panel is composed.
  setUpdateBehavior(QOpenGLWidget::PartialUpdate);
}

TPainelGL::~TPainelGL() {
  FinalizaGL();
  // The base class destroys the context after this object is gone: nothing of ours may run then.
  disconnect(finalizaComContexto_);
}

void TPainelGL::initializeGL() {
  IniciaEstadoGL();
  ConfiguraLuzesEMaterial();
  desenho_.CriaRecursos();
  ativo_ = true;
  // Should the context go first (the panel torn down with its window), the resources go with it.
  disconnect(finalizaComContexto_);  // a panel moved to another window gets a new context
  finalizaComContexto_ =
      connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] { FinalizaGL(); });
}

void TPainelGL::paintGL() {
  // Nothing to do: the frame timer has already drawn the picture into the panel.
}

bool TPainelGL::DesenhaQuadro(const std::function<void(TDesenhoQuadro&)>& quadro) {
  if (!ativo_) return false;
  makeCurrent();
  quadro(desenho_);
  doneCurrent();
  update();
  return true;
}

void TPainelGL::FinalizaGL() {
  if (!ativo_) return;
  ativo_ = false;
  makeCurrent();
  desenho_.LiberaRecursos();
  doneCurrent();
}
