#pragma once
// The launch arrow on the drawing panel: it takes left-button presses on its handle before the mouse grab
// sees them, and draws itself over the picture.

#include "app/widgets/panel_input.h"
#include "app/widgets/panel_overlay.h"
#include "frame/launch_arrow.h"
#include "render/camera.h"

#include <functional>

class TGLPanel;

class TLaunchArrowInput : public IPanelInput, public IPanelOverlay {
 public:
  // `cena` gives the scene in play (it may be none); `panel` and `camera` outlive this handler. Draws over
  // `panel` from now on; the panel's input handlers are the caller's to order.
  TLaunchArrowInput(TGLPanel& panel, const TCamera& camera, std::function<TScene*()> cena,
                    TLaunchArrowDrag arrow);
  ~TLaunchArrowInput() override;
  TLaunchArrowInput(const TLaunchArrowInput&) = delete;
  TLaunchArrowInput& operator=(const TLaunchArrowInput&) = delete;

  bool MousePress(QMouseEvent& evento) override;
  bool MouseMove(QMouseEvent& evento) override;
  bool MouseRelease(QMouseEvent& evento) override;

  void Draw(int largura, int altura) override;
  void Release() override {}

  const TLaunchArrowDrag& Arrow() const { return arrow_; }

 private:
  TGLPanel& panel_;
  const TCamera& camera_;
  std::function<TScene*()> scene_;
  TLaunchArrowDrag arrow_;
};
