#pragma once
// What the frame draws, in its order. The real one draws with OpenGL into the current context
// (frame/frame_drawing.h); the frame's logic runs in tests without a display through the null one.

#include "frame/frame_state.h"
#include "render/camera.h"
#include "scene/scene.h"

class TFrameDrawing {
 public:
  virtual ~TFrameDrawing() = default;
  virtual void Clear() = 0;                            // colour and depth
  virtual void Projection(const TCamera& camera) = 0;  // perspective and view
  virtual void References(const TFrameState& estado,
                          const TScene& cena) = 0;  // pointer, trails, axes, floor
  virtual void Objetos(const TScene& cena) = 0;     // the scene's objects
};

// Draws nothing: the frame still steps the world and moves the pointer.
class TNullFrameDrawing : public TFrameDrawing {
 public:
  void Clear() override {}
  void Projection(const TCamera&) override {}
  void References(const TFrameState&, const TScene&) override {}
  void Objetos(const TScene&) override {}
};
