#pragma once
// The left mouse button on the drawing panel, handed to the mouse grab: presses on movable objects are
// taken, everything else goes on to the handlers after this one (the camera's).

#include "app/widgets/panel_input.h"
#include "frame/mouse_grab.h"
#include "render/camera.h"

#include <functional>

class QWindow;

class TMouseGrabInput : public IPanelInput {
 public:
  // `cena` gives the scene in play (it may be none); `panel` and `camera` outlive this handler.
  TMouseGrabInput(const QWindow& panel, const TCamera& camera, std::function<TScene*()> cena,
                  TSelection& selecao, THand& mao)
      : panel_(panel), camera_(camera), scene_(std::move(cena)), grab_(selecao, mao) {}

  bool MousePress(QMouseEvent& evento) override;
  bool MouseMove(QMouseEvent& evento) override;
  bool MouseRelease(QMouseEvent& evento) override;

  TMouseGrab& Grab() { return grab_; }

 private:
  const QWindow& panel_;
  const TCamera& camera_;
  std::function<TScene*()> scene_;
  TMouseGrab grab_;
};
