#pragma once
// The frame's picture with OpenGL, into whatever context is current: the drawing steps of the frame in
// their order, and the GL objects that live with the context.

#include "frame/frame.h"
#include "render/object_drawing.h"

class TGLFrameDrawing : public TFrameDrawing {
 public:
  // `aspecto`: width / height of the drawing area.
  explicit TGLFrameDrawing(double aspecto) : aspect_(aspecto) {}

  void SetAspect(double aspecto) { aspect_ = aspecto; }

  void CreateResources() { gl_.Create(); }    // with the context current, once it exists
  void ReleaseResources() { gl_.Release(); }  // with the context current, before it goes

  void Clear() override;
  void Projection(const TCamera& camera) override;
  void References(const TFrameState& estado, const TScene& cena) override;
  void Objetos(const TScene& cena) override;

 private:
  double aspect_;
  TObjectDrawing gl_;
};
