#pragma once
// What the drawing panel does with the mouse and keys: it offers each event to its handlers in the order
// they were added, until one takes it. A handler that took a press keeps its own state for the moves and
// the release that follow.

class QKeyEvent;
class QMouseEvent;
class QWheelEvent;

class IPanelInput {
 public:
  virtual ~IPanelInput() = default;
  // Each returns true when it took the event.
  virtual bool MousePress(QMouseEvent&) { return false; }
  virtual bool MouseMove(QMouseEvent&) { return false; }
  virtual bool MouseRelease(QMouseEvent&) { return false; }
  virtual bool Wheel(QWheelEvent&) { return false; }
  virtual bool KeyPress(QKeyEvent&) { return false; }
};
