#pragma once
// The key text of a "Keys" assignment ("Ctrl+Shift+T", "^C", "Win+E", "Alt+F4", "BkSp", "Print") and the
// key strokes it types.

#include <optional>
#include <string_view>

#include "input/desktop/desktop_input.h"
#include "input/desktop/key_symbols.h"

struct TKeyCombination {
  bool Win = false;  // the left Windows (Super) key
  bool Alt = false;
  bool Ctrl = false;
  bool Shift = false;
  std::optional<TKeySym> Key;  // none: only the Windows key, if any, is struck
  bool operator==(const TKeyCombination&) const = default;
};

// The program's own key names, without regard to case: "BkSp", "Tab", "Enter", "Esc", "Space", "PgUp",
// "PgDn", "End", "Home", "Left", "Up", "Right", "Down", "Ins", "Del", "0" to "9", "A" to "Z", "F1" to "F24".
std::optional<TKeySym> NamedKey(std::string_view Name);

// "Win" anywhere (case-sensitive) asks for the Windows key and is taken out of the text; then any number of
// the prefixes "Shift+", "Ctrl+", "^" and "Alt+" (any case, any order), then one key: a name of NamedKey,
// else the keyboard layout's name through Layout.KeyByName. Text naming no key gives no key and no
// modifiers.
TKeyCombination ParseKeyText(std::string_view Text, const IDesktopInput& Layout);

// Types the key text: presses Alt, Ctrl, Shift and Windows as asked, strikes the key, and releases the
// modifiers in the reverse order.
void SendKeys(IDesktopInput& Desktop, std::string_view Text);
