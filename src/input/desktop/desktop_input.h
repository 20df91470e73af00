#pragma once
// The desktop's keyboard, mouse and pointer, as the button actions and the pointer control use them. The
// real service talks to the X server (x11_desktop_input.h); tests record the calls instead.

#include <optional>
#include <string_view>

#include "input/desktop/key_symbols.h"
#include "input/desktop/screen_geometry.h"

// Shown once in the first panel of the status bar when there is no X display to drive.
inline constexpr const char* AvisoSemX11 = "Sem X11: ações desligadas";
// In a Wayland session the synthetic keys and mouse reach only the programs that run on XWayland.
inline constexpr const char* AvisoWayland = "Wayland: ações só em programas X";

enum class TMouseButton { Left, Middle, Right };

class IDesktopInput {
 public:
  virtual ~IDesktopInput() = default;

  // False when there is no desktop to drive; every other call then does nothing and reads zeros.
  virtual bool Available() const = 0;

  // One synthetic key press or release, modifiers included, as if the key had been struck on the
  // keyboard; the window with the keyboard focus gets it. A key the keyboard cannot produce is skipped.
  virtual void KeyDown(TKeySym Key) = 0;
  virtual void KeyUp(TKeySym Key) = 0;
  // One synthetic mouse button press or release at the pointer's place.
  virtual void ButtonDown(TMouseButton Button) = 0;
  virtual void ButtonUp(TMouseButton Button) = 0;
  // Wheel notches: positive turns away from the user (scrolls up), negative toward the user.
  virtual void Wheel(int Notches) = 0;

  // The pointer's place on the desktop.
  virtual TPoint CursorPos() = 0;
  // Moves the pointer; the desktop keeps it within its bounds.
  virtual void SetCursorPos(TPoint P) = 0;

  // Every monitor's area on the desktop, the primary monitor first; never empty while Available.
  virtual TMonitors Monitors() = 0;

  // The key the keyboard layout calls Name ("Print", "Menu", "KP_Add", "minus", ...), or none.
  virtual std::optional<TKeySym> KeyByName(std::string_view Name) const = 0;
};
