#include "input/desktop/button_action_kind.h"

TButtonActionKind ButtonActionKindOf(std::string_view Type) {
  return ValueOfName(ButtonActionNames, Type, TButtonActionKind::Unknown);
}

bool IsRepeatable(TButtonActionKind Kind) {
  switch (Kind) {
    case TButtonActionKind::Keys:
    case TButtonActionKind::WheelUp:
    case TButtonActionKind::WheelDown:
    case TButtonActionKind::WebForward:
    case TButtonActionKind::WebBackward:
    case TButtonActionKind::VolumeUp:
    case TButtonActionKind::VolumeDown:
      return true;
    default:
      return false;
  }
}
