#pragma once
// A real X client for the desktop tests: one window over the whole screen, with the keyboard focus, that
// writes down every key, button and pointer event it receives.

#include <memory>
#include <string>

#include "input/desktop/desktop_input.h"

class TXEventRecorder {
 public:
  // Opens $DISPLAY, maps the window and waits until it has the focus.
  TXEventRecorder();
  ~TXEventRecorder();
  TXEventRecorder(const TXEventRecorder&) = delete;
  TXEventRecorder& operator=(const TXEventRecorder&) = delete;

  bool Ready() const;
  // Whether pointer motion is written down ("move(x,y)", root coordinates); off at first.
  void RecordMotion(bool On) { recordMotion_ = On; }

  // Strikes the marker key (Pause) through `Desktop` and gives every event that arrived before it, as
  // words: "+t[CS]" for a key press with Control and Shift held (S Shift, C Control, A Alt, W Super),
  // "-t[CS]" for its release, "+b1"/"-b1" for buttons. Events from one connection arrive in order, so
  // everything the desktop was asked to do before the marker is in. "<timeout>" ends the text when the
  // marker did not come within ten seconds.
  std::string TakeUntilMarker(IDesktopInput& Desktop);

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
  bool recordMotion_ = false;
};
