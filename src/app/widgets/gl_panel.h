#pragma once
// Panel1: the OpenGL surface under the menu, a native window of its own inside the main window. It owns
// the GL context and the drawing resources that live with it; the frame draws into it from the frame
// timer and presents the picture right there, by swapping the buffers.

#include "app/widgets/panel_input.h"
#include "app/widgets/panel_overlay.h"
#include "frame/frame.h"
#include "frame/frame_drawing.h"

#include <QImage>
#include <QOpenGLWindow>

#include <functional>
#include <vector>

class TGLPanel : public QOpenGLWindow {
 public:
  TGLPanel();
  ~TGLPanel() override;

  // Runs `quadro` with the context current and the panel's drawing at hand, the picture filling the panel
  // at its current size, then swaps the buffers.
  // Returns false, having run nothing, while there is no context or nothing of the panel is on screen
  // (before the window first shows, minimised, after FinalizaGL).
  bool DrawFrame(const std::function<void(TFrameDrawing&)>& quadro);

  // Releases the drawing resources with the context current; the context goes with the panel.
  void FinalizaGL();

  // The next picture drawn is also kept as an image (for checks of what the student sees).
  void RequestCapture() {
    captureRequested_ = true;
    pictureWanted_ = true;
  }
  // Something the picture shows has changed in a way only its owner knows (an overlay switched, an input
  // event, an expose): the next tick draws even when the world rests. Cleared by DrawFrame.
  void RequestPicture() { pictureWanted_ = true; }
  bool PictureWanted() const { return pictureWanted_; }
  // Pictures presented so far (for checks that a resting window draws nothing).
  long PicturesDrawn() const { return picturesDrawn_; }
  const QImage& Captura() const { return capture_; }

  // Mouse and key events go to these, in order, until one takes them. The handlers outlive the panel's use.
  void AddInputHandler(IPanelInput& handler) { inputHandlers_.push_back(&handler); }

  // Drawn over every picture in the order added, part of what is shown and captured. An overlay that goes
  // before the panel is removed first.
  void AddOverlay(IPanelOverlay& overlay) { overlays_.push_back(&overlay); }
  void RemoveOverlay(IPanelOverlay& overlay) { std::erase(overlays_, &overlay); }

 protected:
  void initializeGL() override;
  void paintGL() override;
  void resizeGL(int largura, int altura) override;
  void mousePressEvent(QMouseEvent* evento) override;
  void mouseMoveEvent(QMouseEvent* evento) override;
  void mouseReleaseEvent(QMouseEvent* evento) override;
  void wheelEvent(QWheelEvent* evento) override;
  void keyPressEvent(QKeyEvent* evento) override;

 private:
  TGLFrameDrawing drawing_;
  bool active_ = false;
  bool captureRequested_ = false;
  bool pictureWanted_ = true;
  long picturesDrawn_ = 0;
  QImage capture_;
  QMetaObject::Connection finishWithContext_;
  std::vector<IPanelInput*> inputHandlers_;
  std::vector<IPanelOverlay*> overlays_;
};
