#pragma once
// Panel1: the OpenGL surface under the menu. It owns the GL context and the drawing resources that live
// with it; the frame draws into it from the frame timer and the picture is presented right after.

#include "frame.h"
#include "frame_drawing.h"

#include <QOpenGLWidget>

#include <functional>

class TPainelGL : public QOpenGLWidget {
 public:
  // `aspecto`: width / height of the panel, fixed with the window.
  TPainelGL(QWidget* pai, double aspecto);
  ~TPainelGL() override;

  // Runs `quadro` with the context current and the panel's drawing at hand, then presents the picture.
  // Returns false, having run nothing, while the context does not exist (before the window is first shown
  // or after FinalizaGL).
  bool DesenhaQuadro(const std::function<void(TDesenhoQuadro&)>& quadro);

  // Releases the drawing resources with the context current; the context goes with the panel.
  void FinalizaGL();

 protected:
  void initializeGL() override;
  void paintGL() override;

 private:
  TDesenhoQuadroGL desenho_;
  bool ativo_ = false;
  QMetaObject::Connection finalizaComContexto_;
};
