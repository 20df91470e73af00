#pragma once
// The action names a button assignment's Type may hold ("Keys", "Mouse->Left Click", "Execute", ...), each
// written once in ButtonActionNames, and the kind each name stands for. The actions switch on the kind;
// the assignment itself keeps the user's text, so an unknown name is written back as it was read.

#include <array>
#include <string_view>

#include "input/settings/settings.h"

enum class TButtonActionKind {
  Unknown,  // a name no action has: the button does nothing
  Keys,
  LeftClick,
  LeftDoubleClick,
  RightClick,
  RightDoubleClick,
  MiddleClick,
  MiddleDoubleClick,
  WheelUp,
  WheelDown,
  WebForward,
  WebBackward,
  VolumeUp,
  VolumeDown,
  Mute,
  CursorOnOff,
  CursorOn,
  CursorUp,
  CursorDown,
  CursorRight,
  CursorLeft,
  Execute,
};

inline constexpr std::array<TNamedValue<TButtonActionKind>, 21> ButtonActionNames{{
    {"Keys", TButtonActionKind::Keys},
    {"Mouse->Left Click", TButtonActionKind::LeftClick},
    {"Mouse->Left Double Click", TButtonActionKind::LeftDoubleClick},
    {"Mouse->Right Click", TButtonActionKind::RightClick},
    {"Mouse->Right Double Click", TButtonActionKind::RightDoubleClick},
    {"Mouse->Middle Click", TButtonActionKind::MiddleClick},
    {"Mouse->Middle Double Click", TButtonActionKind::MiddleDoubleClick},
    {"Mouse->Wheel Up", TButtonActionKind::WheelUp},
    {"Mouse->Wheel Down", TButtonActionKind::WheelDown},
    {"Web->Forward", TButtonActionKind::WebForward},
    {"Web->Backward", TButtonActionKind::WebBackward},
    {"Mixer->Volume Up", TButtonActionKind::VolumeUp},
    {"Mixer->Volume Down", TButtonActionKind::VolumeDown},
    {"Mixer->Mute", TButtonActionKind::Mute},
    {"Cursor ON/OFF", TButtonActionKind::CursorOnOff},
    {"Cursor ON", TButtonActionKind::CursorOn},
    {"Mouse->Cursor Up", TButtonActionKind::CursorUp},
    {"Mouse->Cursor Down", TButtonActionKind::CursorDown},
    {"Mouse->Cursor Right", TButtonActionKind::CursorRight},
    {"Mouse->Cursor Left", TButtonActionKind::CursorLeft},
    {"Execute", TButtonActionKind::Execute},
}};

// The kind of an assignment's Type, matched exactly and case-sensitively; Unknown for any other text.
constexpr TButtonActionKind ButtonActionKindOf(std::string_view Type) {
  return ValueOfName(ButtonActionNames, Type, TButtonActionKind::Unknown);
}

// True for the actions that repeat while held: "Keys", "Mouse->Wheel Up", "Mouse->Wheel Down",
// "Web->Forward", "Web->Backward", "Mixer->Volume Up", "Mixer->Volume Down".
constexpr bool IsRepeatable(TButtonActionKind Kind) {
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
