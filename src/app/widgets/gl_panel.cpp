#include "app/widgets/gl_panel.h"

#include "render/gl_state.h"

#include <GL/gl.h>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QWheelEvent>

TGLPanel::TGLPanel() : QOpenGLWindow(QOpenGLWindow::NoPartialUpdate), drawing_(1.0) {}

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
  // An expose between frames: the frame timer draws the next picture within TimerGLMs, even when the world
  // rests.
  pictureWanted_ = true;
}

void TGLPanel::resizeGL(int, int) {
  pictureWanted_ = true;
}

bool TGLPanel::DrawFrame(const std::function<void(TFrameDrawing&)>& quadro) {
  if (!active_ || !isExposed() || width() <= 0 || height() <= 0) return false;
  makeCurrent();
  // The window can be resized at any time: the picture follows, in device pixels, with the same field of
  // view and the panel's own shape.
  const int largura = qRound(width() * devicePixelRatio()), altura = qRound(height() * devicePixelRatio());
  glViewport(0, 0, largura, altura);
  drawing_.SetAspect(double(width()) / height());
  quadro(drawing_);
  for (IPanelOverlay* o : overlays_)
    o->Draw(static_cast<int>(width() * devicePixelRatio()), static_cast<int>(height() * devicePixelRatio()));
  if (captureRequested_) {
    QImage imagem(largura, altura, QImage::Format_RGBA8888);
    glReadPixels(0, 0, largura, altura, GL_RGBA, GL_UNSIGNED_BYTE, imagem.bits());
    capture_ = imagem.mirrored();
    captureRequested_ = false;
  }
  context()->swapBuffers(this);
  pictureWanted_ = false;
  ++picturesDrawn_;
  return true;
}

void TGLPanel::FinalizaGL() {
  if (!active_) return;
  active_ = false;
  makeCurrent();
  drawing_.ReleaseResources();
  for (IPanelOverlay* o : overlays_) o->Release();
  doneCurrent();
}

namespace {

// Offers the event to each handler until one takes it; an event no handler takes goes on to Qt.
template <typename TEvent>
void Offer(const std::vector<IPanelInput*>& handlers, TEvent* evento, bool (IPanelInput::*metodo)(TEvent&),
           bool& pictureWanted) {
  // Whatever the mouse or a key does may change the picture (a drag, a turn, a pick).
  pictureWanted = true;
  for (IPanelInput* h : handlers)
    if ((h->*metodo)(*evento)) {
      evento->accept();
      return;
    }
  evento->ignore();
}

}  // namespace

void TGLPanel::mousePressEvent(QMouseEvent* evento) {
  // A click gives the panel the keys back, as it does any other widget.
  requestActivate();
  Offer(inputHandlers_, evento, &IPanelInput::MousePress, pictureWanted_);
}

void TGLPanel::mouseMoveEvent(QMouseEvent* evento) {
  Offer(inputHandlers_, evento, &IPanelInput::MouseMove, pictureWanted_);
}

void TGLPanel::mouseReleaseEvent(QMouseEvent* evento) {
  Offer(inputHandlers_, evento, &IPanelInput::MouseRelease, pictureWanted_);
}

void TGLPanel::wheelEvent(QWheelEvent* evento) {
  Offer(inputHandlers_, evento, &IPanelInput::Wheel, pictureWanted_);
}

void TGLPanel::keyPressEvent(QKeyEvent* evento) {
  Offer(inputHandlers_, evento, &IPanelInput::KeyPress, pictureWanted_);
}
