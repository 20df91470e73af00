#include <gtest/gtest.h>

#include "input/desktop/key_text.h"
#include "input/desktop/testing/recording_desktop_input.h"

namespace {

class KeyText : public ::testing::Test {
 protected:
  std::string Typed(std::string_view text) {
    SendKeys(desktop_, text);
    return desktop_.Take();
  }
  TRecordingDesktopInput desktop_;
};

TEST_F(KeyText, ModifiersGoDownOutsideInAndComeUpInsideOut) {
  EXPECT_EQ(Typed("Ctrl+Shift+T"), "+Control_L +Shift_L +t -t -Shift_L -Control_L");
  EXPECT_EQ(Typed("shift+ctrl+t"), "+Control_L +Shift_L +t -t -Shift_L -Control_L");
  EXPECT_EQ(Typed("^C"), "+Control_L +c -c -Control_L");
  EXPECT_EQ(Typed("Alt+Ctrl+Shift+Del"),
            "+Alt_L +Control_L +Shift_L +Delete -Delete -Shift_L -Control_L -Alt_L");
  EXPECT_EQ(Typed("ALT+f4"), "+Alt_L +F4 -F4 -Alt_L");
  EXPECT_EQ(Typed("^^x"), "+Control_L +x -x -Control_L");
}

TEST_F(KeyText, TheWindowsKeyComesOutOfTheTextWhereverItStands) {
  EXPECT_EQ(Typed("Win+E"), "+Super_L +e -e -Super_L");
  EXPECT_EQ(Typed("Ctrl+Win+D"), "+Control_L +Super_L +d -d -Super_L -Control_L");
  EXPECT_EQ(Typed("Shift+Win"), "+Super_L -Super_L");  // "Shift" is no key, so no modifier either
  EXPECT_EQ(Typed("Win"), "+Super_L -Super_L");
  // Only the exact spelling asks for it; the rest is an unknown key name.
  EXPECT_EQ(Typed("win+E"), "");
}

TEST_F(KeyText, EveryNamedKeyAnyCase) {
  const std::pair<const char*, const char*> named[] = {{"BkSp", "BackSpace"},
                                                       {"tab", "Tab"},
                                                       {"ENTER", "Return"},
                                                       {"Esc", "Escape"},
                                                       {"Space", "space"},
                                                       {"PgUp", "Prior"},
                                                       {"pgdn", "Next"},
                                                       {"End", "End"},
                                                       {"Home", "Home"},
                                                       {"Left", "Left"},
                                                       {"Up", "Up"},
                                                       {"Right", "Right"},
                                                       {"Down", "Down"},
                                                       {"Ins", "Insert"},
                                                       {"Del", "Delete"},
                                                       {"0", "0"},
                                                       {"9", "9"},
                                                       {"a", "a"},
                                                       {"Z", "z"},
                                                       {"F1", "F1"},
                                                       {"f12", "F12"},
                                                       {"F13", "F13"},
                                                       {"F24", "F24"}};
  for (const auto& [text, key] : named) EXPECT_EQ(Typed(text), std::string("+") + key + " -" + key) << text;
}

TEST_F(KeyText, TextNamingNoKeyTypesNothing) {
  for (const char* text : {"", "Ctrl+", "Ctrl+Shift+", "F0", "F25", "F1a", "Hyper+Q", "AB", "Ctrl+Nada", "+"})
    EXPECT_EQ(Typed(text), "") << text;
}

TEST_F(KeyText, OtherKeysGoByTheLayoutsName) {
  desktop_.AddLayoutName("Print", 0xff61);
  EXPECT_EQ(Typed("Print"), "+0xff61 -0xff61");
  EXPECT_EQ(Typed("Alt+Print"), "+Alt_L +0xff61 -0xff61 -Alt_L");
  // The program's own names come first: the layout's "Up" never gets a say.
  desktop_.AddLayoutName("Up", 0x1234);
  EXPECT_EQ(Typed("Up"), "+Up -Up");
}

TEST(KeyTextParse, ParsedCombination) {
  TRecordingDesktopInput layout;
  EXPECT_EQ(ParseKeyText("Ctrl+Win+D", layout),
            (TKeyCombination{true, false, true, false, KeySyms::LetterA + 3}));
  EXPECT_EQ(ParseKeyText("Ctrl+Bogus", layout), (TKeyCombination{}));
  EXPECT_EQ(NamedKey("F24"), KeySyms::F1 + 23);
  EXPECT_EQ(NamedKey("F07"), std::nullopt);
}

}  // namespace
