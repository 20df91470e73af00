#pragma once
// The camera steered from the drawing panel: left-drag orbits, right- or middle-drag pans, the wheel and
// PgUp/PgDn zoom, the arrow keys orbit in steps. It takes whatever mouse press reaches it, so it goes after
// every handler that wants presses on objects.

#include "app/widgets/panel_input.h"
#include "render/camera.h"
#include "scene/scene.h"

#include <QPointF>

class QWindow;

class TCameraInput : public IPanelInput {
 public:
  // `painel` gives the picture's size in logical pixels, as the mouse reports positions.
  TCameraInput(TCamera& camera, const QWindow& painel) : camera_(camera), panel_(painel) {}

  bool MousePress(QMouseEvent& evento) override;
  bool MouseMove(QMouseEvent& evento) override;
  bool MouseRelease(QMouseEvent& evento) override;
  bool Wheel(QWheelEvent& evento) override;
  bool KeyPress(QKeyEvent& evento) override;

  // Shows every object of `cena` (and the floor under each moving one) from the nearest distance, looking
  // in the start view's direction; with no object the start view comes back.
  void FrameScene(const TScene& cena);

 private:
  enum class TDrag { None, Orbit, Pan };

  TCamera& camera_;
  const QWindow& panel_;
  TDrag drag_ = TDrag::None;
  Qt::MouseButton dragButton_ = Qt::NoButton;
  QPointF last_;
};
