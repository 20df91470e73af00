#include "input/desktop/key_text.h"

#include <array>
#include <string>

#include "common/ascii_text.h"

namespace {

struct TKeyName {
  std::string_view Name;
  TKeySym Key;
};

// In the order of the keys' virtual-key codes, the order in which a name is matched.
constexpr std::array<TKeyName, 15> NamedKeys{{
    {"BkSp", KeySyms::BackSpace},
    {"Tab", KeySyms::Tab},
    {"Enter", KeySyms::Return},
    {"Esc", KeySyms::Escape},
    {"Space", KeySyms::Space},
    {"PgUp", KeySyms::PageUp},
    {"PgDn", KeySyms::PageDown},
    {"End", KeySyms::End},
    {"Home", KeySyms::Home},
    {"Left", KeySyms::Left},
    {"Up", KeySyms::Up},
    {"Right", KeySyms::Right},
    {"Down", KeySyms::Down},
    {"Ins", KeySyms::Insert},
    {"Del", KeySyms::Delete},
}};

void ReplaceAll(std::string& text, std::string_view what, std::string_view with) {
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
    text.replace(at, what.size(), with);
}

// Strips the modifier prefixes off `rest`, noting them in `keys`.
void TakeModifiers(std::string_view& rest, TKeyCombination& keys) {
  for (;;) {
    if (StartsWithIgnoringAsciiCase(rest, "Shift+")) {
      keys.Shift = true;
      rest.remove_prefix(6);
    } else if (StartsWithIgnoringAsciiCase(rest, "Ctrl+")) {
      keys.Ctrl = true;
      rest.remove_prefix(5);
    } else if (StartsWithIgnoringAsciiCase(rest, "^")) {
      keys.Ctrl = true;
      rest.remove_prefix(1);
    } else if (StartsWithIgnoringAsciiCase(rest, "Alt+")) {
      keys.Alt = true;
      rest.remove_prefix(4);
    } else {
      return;
    }
  }
}

}  // namespace

std::optional<TKeySym> NamedKey(std::string_view Name) {
  for (const TKeyName& k : NamedKeys)
    if (EqualsIgnoringAsciiCase(Name, k.Name)) return k.Key;
  if (Name.size() == 1) {
    const char c = ToLowerAscii(Name[0]);
    if (c >= '0' && c <= '9') return KeySyms::Digit0 + static_cast<TKeySym>(c - '0');
    if (c >= 'a' && c <= 'z') return KeySyms::LetterA + static_cast<TKeySym>(c - 'a');
  }
  if ((Name.size() == 2 || Name.size() == 3) && ToLowerAscii(Name[0]) == 'f' && Name[1] != '0') {
    int number = 0;
    for (char c : Name.substr(1)) {
      if (c < '0' || c > '9') return std::nullopt;
      number = number * 10 + (c - '0');
    }
    if (number >= 1 && number <= 24) return KeySyms::F1 + static_cast<TKeySym>(number - 1);
  }
  return std::nullopt;
}

TKeyCombination ParseKeyText(std::string_view Text, const IDesktopInput& Layout) {
  TKeyCombination keys;
  std::string text(Text);
  if (text.find("Win") != std::string::npos) {
    keys.Win = true;
    ReplaceAll(text, "+Win+", "+");
    ReplaceAll(text, "Win+", "");
    ReplaceAll(text, "+Win", "");
    ReplaceAll(text, "Win", "");
  }
  std::string_view rest = text;
  TakeModifiers(rest, keys);
  keys.Key = NamedKey(rest);
  if (!keys.Key && !rest.empty()) keys.Key = Layout.KeyByName(rest);
  if (!keys.Key) keys.Alt = keys.Ctrl = keys.Shift = false;
  return keys;
}

void SendKeys(IDesktopInput& Desktop, std::string_view Text) {
  const TKeyCombination keys = ParseKeyText(Text, Desktop);
  if (keys.Alt) Desktop.KeyDown(KeySyms::AltL);
  if (keys.Ctrl) Desktop.KeyDown(KeySyms::ControlL);
  if (keys.Shift) Desktop.KeyDown(KeySyms::ShiftL);
  if (keys.Win) Desktop.KeyDown(KeySyms::SuperL);
  if (keys.Key) {
    Desktop.KeyDown(*keys.Key);
    Desktop.KeyUp(*keys.Key);
  }
  if (keys.Win) Desktop.KeyUp(KeySyms::SuperL);
  if (keys.Shift) Desktop.KeyUp(KeySyms::ShiftL);
  if (keys.Ctrl) Desktop.KeyUp(KeySyms::ControlL);
  if (keys.Alt) Desktop.KeyUp(KeySyms::AltL);
}
