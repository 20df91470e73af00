#pragma once
// The pointer modes a CursorMode setting may name, each written once in CursorModeNames. The setting
// keeps the user's text; the pointer control and the settings reader switch on the mode it names.

#include <array>
#include <string_view>

#include "input/settings/name_table.h"

enum class TCursorMode {
  Unknown,  // a name no mode has: the pointer does not move and the Nunchuk is not set up
  Motion,
  IR,
  NunchukMotion,
  NunchukAnalog,
};

inline constexpr std::array<TNamedValue<TCursorMode>, 4> CursorModeNames{{
    {"Motion", TCursorMode::Motion},
    {"IR", TCursorMode::IR},
    {"Nunchuk Motion", TCursorMode::NunchukMotion},
    {"Nunchuk Analog", TCursorMode::NunchukAnalog},
}};

// The mode CursorMode names, matched exactly and case-sensitively; Unknown for any other text.
TCursorMode CursorModeOf(std::string_view CursorMode);

// The modes that read the Nunchuk, so the remote is asked to send its extension bytes.
bool UsesNunchuk(TCursorMode Mode);
