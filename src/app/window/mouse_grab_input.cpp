#include "app/window/mouse_grab_input.h"

#include "app/widgets/panel_view.h"

namespace {

int64_t Millis(const QMouseEvent& e) {
  return static_cast<int64_t>(e.timestamp());
}

}  // namespace

bool TMouseGrabInput::MousePress(QMouseEvent& e) {
  TScene* cena = scene_();
  if (e.button() != Qt::LeftButton || !cena) return false;
  const TPanelSpot p = EventSpot(e);
  return grab_.Press(*cena, PanelViewOf(panel_, camera_), p.x, p.y, Millis(e));
}

bool TMouseGrabInput::MouseMove(QMouseEvent& e) {
  if (!(e.buttons() & Qt::LeftButton)) return false;
  const TPanelSpot p = EventSpot(e);
  return grab_.Move(PanelViewOf(panel_, camera_), p.x, p.y, Millis(e));
}

bool TMouseGrabInput::MouseRelease(QMouseEvent& e) {
  TScene* cena = scene_();
  if (e.button() != Qt::LeftButton || !cena) return false;
  const TPanelSpot p = EventSpot(e);
  return grab_.Release(*cena, PanelViewOf(panel_, camera_), p.x, p.y, Millis(e));
}
