#pragma once
// The desktop of an X server: synthetic keys and buttons through the XTest extension, the pointer through
// XQueryPointer and XWarpPointer, monitors through RandR 1.5 (else the whole root window). Works under
// XWayland too, where it reaches the programs that run on XWayland. Main thread only.

#include <memory>

#include "input/desktop/desktop_input.h"

class TX11DesktopInput final : public IDesktopInput {
 public:
  // Opens DisplayName, or $DISPLAY when null. Without a display (a pure Wayland session, no $DISPLAY) or
  // without XTest on the server, the service is unavailable and does nothing: show AvisoSemX11 once.
  explicit TX11DesktopInput(const char* DisplayName = nullptr);
  // Gives back the spare keycodes it bound, then closes the display.
  ~TX11DesktopInput() override;
  TX11DesktopInput(const TX11DesktopInput&) = delete;
  TX11DesktopInput& operator=(const TX11DesktopInput&) = delete;

  // False from the start without a usable display, and from the moment the connection breaks (the server
  // ended): the process goes on, the desktop actions stop.
  bool Available() const override;
  // A key that the layout lacks (F13 to F24 on most layouts, a character of another script) is bound to a
  // spare keycode for the rest of the run, then struck like any other.
  void KeyDown(TKeySym Key) override;
  void KeyUp(TKeySym Key) override;
  void ButtonDown(TMouseButton Button) override;
  void ButtonUp(TMouseButton Button) override;
  // Buttons 4 (up) and 5 (down), pressed and released once per notch.
  void Wheel(int Notches) override;
  TPoint CursorPos() override;
  void SetCursorPos(TPoint P) override;
  TMonitors Monitors() override;
  // XStringToKeysym, tried as written, then capitalised ("print" finds "Print"), then in lower case.
  std::optional<TKeySym> KeyByName(std::string_view Name) const override;

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};
