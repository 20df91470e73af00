#pragma once
// Grabbing, carrying and throwing a scene object with the mouse, and choosing the selected object by
// clicking. Plain C++: the window hands in the left button's events with the panel's view and the event's
// time; the frame carries the held object at each grab step, as it carries the remote's.

#include "frame/hand.h"
#include "frame/mouse_pick.h"
#include "frame/selection.h"
#include "scene/scene.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <utility>

// The throw takes the mouse's speed over this much time before the release (ms).
inline constexpr int64_t ThrowWindowMs = 50;

class TMouseGrab {
 public:
  using TPlacedHandler = std::function<void(std::size_t objeto, const TVector& posicao)>;

  // `mao` is the mouse's hand record (the frame state's), where the drag writes its intent and target.
  TMouseGrab(TSelection& selecao, THand& mao) : selection_(selecao), hand_(mao) {}

  // While `placing` says so (the world is paused), a drag places any object instead of carrying it: on
  // every axis, with no throw, and its release hands the object's new place, rounded to the millimetre, to
  // `placed` (which makes it the object's start position). A press that never moves further than ClickSlop
  // is a click: it selects and places nothing.
  void SetPlacing(std::function<bool()> placing, TPlacedHandler placed) {
    placingMode_ = std::move(placing);
    placed_ = std::move(placed);
  }

  // Left button down at panel point (x, y) at `ms`. Grabs the object under it when the user may move it
  // (UserMove, and not held by the remote) and selects it; returns true then. Any other press is left to
  // the next handler (false), remembered only to tell a click at its release.
  bool Press(TScene& cena, const TPanelView& vista, double x, double y, int64_t ms);

  // The mouse moved with the button down. Returns true while it holds an object.
  bool Move(const TPanelView& vista, double x, double y, int64_t ms);

  // Left button up. A held object is thrown with the mouse's speed in the world over the last
  // ThrowWindowMs (only along its allowed axes, at most MaxThrowSpeed) and let go: returns true. Otherwise a
  // click selects the object under the mouse, or clears the selection on empty space, and returns false.
  bool Release(TScene& cena, const TPanelView& vista, double x, double y, int64_t ms);

  // At each grab step of the frame, after the remote's: carries the held object to the mouse, drops a hold
  // the scene no longer knows (a new scene), and selects an object the remote has just taken.
  void Carry(TScene& cena);

  std::optional<std::size_t> Held() const { return held_; }

 private:
  struct TSample {
    int64_t ms;
    TVector ponto;  // where the mouse is on the drag plane
  };

  std::optional<TVector> OnDragPlane(const TPanelView& vista, double x, double y) const;
  void Record(int64_t ms, const TVector& ponto);
  // The mouse's speed on the drag plane over the last ThrowWindowMs.
  TVector ThrowVelocity(int64_t agora) const;

  TSelection& selection_;
  THand& hand_;  // Grab while it holds; Target: where the object's centre is carried
  std::optional<std::size_t> held_;
  TVector grabPoint_;   // on the object's surface, where the press met it
  TVector viewNormal_;  // the line of sight at the press: the drag plane faces the camera
  TVector offset_;      // from the mouse's point on the plane to the object's centre
  std::deque<TSample> samples_;
  std::optional<std::pair<double, double>> pressAt_;  // of a press left to others, for the click test
  std::optional<std::size_t> pressedObject_;
  std::optional<std::size_t> remoteHeld_;
  std::function<bool()> placingMode_;
  TPlacedHandler placed_;
  bool placing_ = false;  // the held object is being placed, not carried
  bool dragged_ = false;  // the held object's drag has gone past ClickSlop
  std::pair<double, double> heldPressAt_;
};
