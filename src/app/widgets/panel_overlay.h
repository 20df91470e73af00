#pragma once
// What the drawing panel draws over each finished picture, before the picture is captured and shown.

class IPanelOverlay {
 public:
  virtual ~IPanelOverlay() = default;
  // With the context current and the frame's matrices still loaded; `largura` x `altura` device pixels.
  virtual void Draw(int largura, int altura) = 0;
  // With the context current, before it goes.
  virtual void Release() = 0;
};
