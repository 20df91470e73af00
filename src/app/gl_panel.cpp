#include "app/gl_panel.h"

#include "render/gl_state.h"

#include <GL/gl.h>
#include <QOpenGLContext>

TGLPanel::TGLPanel(double aspecto) : QOpenGLWindow(QOpenGLWindow::NoPartialUpdate), desenho_(aspecto) {}

TGLPanel::~TGLPanel() {
  FinalizaGL();
  // The base class destroys the context after this object is gone: nothing of ours may run then.
  disconnect(finalizaComContexto_);
}

void TGLPanel::initializeGL() {
  InitGLState();
  SetLightsAndMaterial();
  desenho_.CreateResources();
  ativo_ = true;
  // Should the context go first (the panel torn down with its window), the resources go with it.
  disconnect(finalizaComContexto_);
  finalizaComContexto_ =
      connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] { FinalizaGL(); });
}

void TGLPanel::paintGL() {
  // An expose between frames: the frame timer draws the next picture within 10 ms.
}

bool TGLPanel::DrawFrame(const std::function<void(TFrameDrawing&)>& quadro) {
  if (!ativo_ || !isExposed()) return false;
  makeCurrent();
  quadro(desenho_);
  if (capturaPedida_) {
    QImage imagem(width(), height(), QImage::Format_RGBA8888);
    glReadPixels(0, 0, width(), height(), GL_RGBA, GL_UNSIGNED_BYTE, imagem.bits());
    captura_ = imagem.mirrored();
    capturaPedida_ = false;
  }
  context()->swapBuffers(this);
  return true;
}

void TGLPanel::FinalizaGL() {
  if (!ativo_) return;
  ativo_ = false;
  makeCurrent();
  desenho_.ReleaseResources();
  doneCurrent();
}
