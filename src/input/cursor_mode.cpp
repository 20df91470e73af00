#include "input/cursor_mode.h"

TCursorMode CursorModeOf(std::string_view CursorMode) {
  for (const TCursorModeName& entry : CursorModeNames)
    if (entry.Name == CursorMode) return entry.Mode;
  return TCursorMode::Unknown;
}

bool UsesNunchuk(TCursorMode Mode) {
  return Mode == TCursorMode::NunchukMotion || Mode == TCursorMode::NunchukAnalog;
}
