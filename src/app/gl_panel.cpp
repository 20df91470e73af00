#include "app/gl_panel.h"

#include "render/gl_state.h"

#include <GL/gl.h>
#include <QOpenGLContext>

TGLPanel::TGLPanel(double aspecto) : QOpenGLWindow(QOpenGLWindow::NoPartialUpdate), drawing_(aspecto) {}

TGLPanel::~TGLPanel() {
  FinalizaGL();
  // The base class destroys the context after this object is gone: nothing of ours may run then.
  disconnect(finishWithContext_);
}

void TGLPanel::initializeGL() {
  InitGLState();
  SetLightsAndMaterial();
  drawing_.CreateResources();
  active_ = true;
  // Should the context go first (the panel torn down with its window), the resources go with it.
  disconnect(finishWithContext_);
  finishWithContext_ =
      connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] { FinalizaGL(); });
}

void TGLPanel::paintGL() {
  // An expose between frames: the frame timer draws the next picture within 10 ms.
}

bool TGLPanel::DrawFrame(const std::function<void(TFrameDrawing&)>& quadro) {
  if (!active_ || !isExposed()) return false;
  makeCurrent();
  quadro(drawing_);
  if (captureRequested_) {
    QImage imagem(width(), height(), QImage::Format_RGBA8888);
    glReadPixels(0, 0, width(), height(), GL_RGBA, GL_UNSIGNED_BYTE, imagem.bits());
    capture_ = imagem.mirrored();
    captureRequested_ = false;
  }
  context()->swapBuffers(this);
  return true;
}

void TGLPanel::FinalizaGL() {
  if (!active_) return;
  active_ = false;
  makeCurrent();
  drawing_.ReleaseResources();
  doneCurrent();
}
