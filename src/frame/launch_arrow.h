#pragma once
// The launch arrow: while the world is paused, the selected object's start velocity is drawn from where the
// object starts, and its tip can be dragged with the mouse to aim the launch by eye. Plain C++: the window
// hands in the left button's events with the panel's view; the release hands the new velocity on, to be
// written into the object's row as any other edit.

#include "frame/mouse_pick.h"
#include "frame/selection.h"
#include "scene/scene.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

// How near the tip's handle (logical pixels) a press takes the arrow rather than the object under it.
inline constexpr double ArrowHandleReach = 10.0;

struct TLaunchArrow {
  std::size_t objeto = 0;
  TVector inicio;      // where the body starts
  TVector velocidade;  // m/s, world axes
  TVector Tip() const;
};

// The selected object's arrow, when it has one: an object the physics moves and no hand holds. Its launch
// is the one its row gives, along the axes it may move on, as the scene starts it.
std::optional<TLaunchArrow> LaunchArrowOf(const TScene& cena, std::optional<std::size_t> selecionado);

// A dragged velocity as it is kept: only along the object's allowed axes, its speed to 0.1 m/s and its two
// angles to whole degrees (the numbers a teacher aims for), no faster than the world allows.
TVector SnappedLaunch(const TVector& v, const TObjetoCena& o);

// What the status bar says while the arrow is dragged, e.g. "Lançamento: 10,0 m/s, 45° acima da
// horizontal, direção 0°".
std::string LaunchText(const TVector& v);

class TLaunchArrowDrag {
 public:
  // `set` gets the dragged velocity at the release; `showing` each velocity as the tip moves.
  using TSetHandler = std::function<void(std::size_t objeto, const TVector& velocidade)>;
  using TShowHandler = std::function<void(const TVector& velocidade)>;

  TLaunchArrowDrag(const TSelection& selecao, std::function<bool()> paused, TSetHandler set,
                   TShowHandler showing)
      : selection_(selecao), paused_(std::move(paused)), set_(std::move(set)), showing_(std::move(showing)) {}

  // Left button down at panel point (x, y): takes the press (true) when it falls on the shown arrow's handle.
  bool Press(const TScene& cena, const TPanelView& vista, double x, double y);
  // The mouse moved with the button down: the tip follows it, on the plane through the tip that faces the
  // camera. True while dragging.
  bool Move(const TScene& cena, const TPanelView& vista, double x, double y);
  // Left button up: a drag hands its velocity to `set`; a click on the handle changes nothing. True when the
  // press was the arrow's.
  bool Release(const TScene& cena, const TPanelView& vista, double x, double y);

  // What to draw now: the arrow being dragged, else the selected object's while the world is paused.
  std::optional<TLaunchArrow> Shown(const TScene& cena) const;
  bool Dragging() const { return drag_.has_value(); }

 private:
  const TSelection& selection_;
  std::function<bool()> paused_;
  TSetHandler set_;
  TShowHandler showing_;
  std::optional<TLaunchArrow> drag_;
  TVector viewNormal_;  // the line of sight at the press
  TVector planePoint_;  // the tip at the press: the drag plane goes through it
  TVector offset_;      // from the mouse's point on the drag plane to the tip
  double pressX_ = 0, pressY_ = 0;
  bool moved_ = false;  // the drag has gone past ClickSlop
};
