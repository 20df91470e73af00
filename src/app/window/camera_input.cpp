#include "app/window/camera_input.h"

#include "render/camera_navigation.h"
#include "render/link_drawing.h"
#include "scene/shape_kind.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWindow>

namespace {

// A sphere around the object as it is drawn, whatever its turn.
TBoundingSphere DrawnBounds(const TObjetoCena& o) {
  switch (static_cast<TShapeKind>(o.ODETipo)) {
    case TShapeKind::Sphere:
    case TShapeKind::Capsule:
      // Not Raio: a capsule's pick radius is wider than the capsule.
      return {o.Posicao, SolidReach(static_cast<TShapeKind>(o.ODETipo), o.Dim[0], o.Dim[1], o.Dim[2])};
    case TShapeKind::Mesh: {
      // The model's own middle need not be its origin.
      const TVertex3f& c = o.Modelo.BoundsCentre;
      return {o.Posicao, o.Raio + NormaVet({c.x, c.y, c.z})};
    }
    default:
      return {o.Posicao, o.Raio};
  }
}

}  // namespace

bool TCameraInput::MousePress(QMouseEvent& evento) {
  if (drag_ != TDrag::None) return true;  // a second button during a drag changes nothing
  switch (evento.button()) {
    case Qt::LeftButton:
      drag_ = TDrag::Orbit;
      break;
    case Qt::RightButton:
    case Qt::MiddleButton:
      drag_ = TDrag::Pan;
      break;
    default:
      return false;
  }
  dragButton_ = evento.button();
  last_ = evento.position();
  return true;
}

bool TCameraInput::MouseMove(QMouseEvent& evento) {
  if (drag_ == TDrag::None) return false;
  // A release lost elsewhere (another window took the mouse) must not leave the view turning on hover.
  if (!(evento.buttons() & dragButton_)) {
    drag_ = TDrag::None;
    return false;
  }
  const QPointF d = evento.position() - last_;
  last_ = evento.position();
  if (drag_ == TDrag::Orbit)
    OrbitByDrag(camera_, d.x(), d.y());
  else
    PanByDrag(camera_, d.x(), d.y(), panel_.height());
  return true;
}

bool TCameraInput::MouseRelease(QMouseEvent& evento) {
  if (drag_ == TDrag::None) return false;
  if (evento.button() == dragButton_) drag_ = TDrag::None;
  return true;
}

bool TCameraInput::Wheel(QWheelEvent& evento) {
  // One notch is 120 eighths of a degree; finer wheels and touchpads send parts of it.
  const int passos = evento.angleDelta().y();
  if (passos == 0) return false;
  ZoomByNotches(camera_, passos / 120.0);
  return true;
}

bool TCameraInput::KeyPress(QKeyEvent& evento) {
  // The arrows turn the eye the way the remote's cross pad does, a few of its ticks at a time, with the
  // horizon kept level as the mouse keeps it.
  switch (evento.key()) {
    case Qt::Key_Up:
      OrbitLevel(camera_, OrbitDegreesPerKey, 0);
      return true;
    case Qt::Key_Down:
      OrbitLevel(camera_, -OrbitDegreesPerKey, 0);
      return true;
    case Qt::Key_Right:
      OrbitLevel(camera_, 0, OrbitDegreesPerKey);
      return true;
    case Qt::Key_Left:
      OrbitLevel(camera_, 0, -OrbitDegreesPerKey);
      return true;
    case Qt::Key_PageUp:
      ZoomByNotches(camera_, 1);
      return true;
    case Qt::Key_PageDown:
      ZoomByNotches(camera_, -1);
      return true;
    default:
      return false;
  }
}

void TCameraInput::FrameScene(const TScene& cena) {
  // The start view's direction, whatever the mouse has done to it: a view the class knows again.
  const TCamera inicio;
  camera_.Olho = inicio.Olho, camera_.Centro = inicio.Centro, camera_.Cima = inicio.Cima;
  std::vector<TBoundingSphere> esferas;
  for (const TObjetoCena& o : cena.Objetos) {
    // An object frozen outside the world would only shrink the rest to a dot.
    if (o.LeftWorld) continue;
    const TBoundingSphere s = DrawnBounds(o);
    esferas.push_back(s);
    // What moves above the floor will fall onto it: the floor under it is in the picture too.
    if (o.ODEMove && s.centro.z > 0) esferas.push_back({{s.centro.x, s.centro.y, 0}, s.raio});
  }
  // A pendulum's anchor and a pulley's wheel are part of the lesson even though no row draws them.
  if (cena.Mundo)
    for (const TLinkSet::TLinkShape& f : cena.Mundo->Links().Shapes())
      for (const TVector& p : f.Points) esferas.push_back({p, AnchorBlock});
  FrameSpheres(camera_, esferas, double(panel_.width()) / std::max(1, panel_.height()));
}
