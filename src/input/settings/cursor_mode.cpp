#include "input/settings/cursor_mode.h"

TCursorMode CursorModeOf(std::string_view CursorMode) {
  return ValueOfName(CursorModeNames, CursorMode, TCursorMode::Unknown);
}

bool UsesNunchuk(TCursorMode Mode) {
  return Mode == TCursorMode::NunchukMotion || Mode == TCursorMode::NunchukAnalog;
}
