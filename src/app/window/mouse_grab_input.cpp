#include "app/window/mouse_grab_input.h"

#include <QMouseEvent>
#include <QWindow>

#include <algorithm>

namespace {

// Qt places the mouse at a pixel's corner; the picture samples pixels at their centres.
constexpr double PixelCentre = 0.5;

int64_t Millis(const QMouseEvent& e) {
  return static_cast<int64_t>(e.timestamp());
}

}  // namespace

TPanelView TMouseGrabInput::View() const {
  return {camera_, double(std::max(panel_.width(), 1)), double(std::max(panel_.height(), 1))};
}

bool TMouseGrabInput::MousePress(QMouseEvent& e) {
  TScene* cena = scene_();
  if (e.button() != Qt::LeftButton || !cena) return false;
  const QPointF p = e.position();
  return grab_.Press(*cena, View(), p.x() + PixelCentre, p.y() + PixelCentre, Millis(e));
}

bool TMouseGrabInput::MouseMove(QMouseEvent& e) {
  if (!(e.buttons() & Qt::LeftButton)) return false;
  const QPointF p = e.position();
  return grab_.Move(View(), p.x() + PixelCentre, p.y() + PixelCentre, Millis(e));
}

bool TMouseGrabInput::MouseRelease(QMouseEvent& e) {
  TScene* cena = scene_();
  if (e.button() != Qt::LeftButton || !cena) return false;
  const QPointF p = e.position();
  return grab_.Release(*cena, View(), p.x() + PixelCentre, p.y() + PixelCentre, Millis(e));
}
