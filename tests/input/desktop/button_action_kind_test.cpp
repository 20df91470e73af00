#include <gtest/gtest.h>

#include <set>
#include <string_view>

#include "input/desktop/button_action_kind.h"

namespace {

TEST(ButtonActionKind, EveryKindHasOneNameThatReadsBackAsIt) {
  std::set<std::string_view> names;
  std::set<TButtonActionKind> kinds;
  for (const TNamedValue<TButtonActionKind>& entry : ButtonActionNames) {
    EXPECT_EQ(ButtonActionKindOf(entry.Name), entry.Value) << entry.Name;
    EXPECT_NE(entry.Value, TButtonActionKind::Unknown) << entry.Name;
    names.insert(entry.Name);
    kinds.insert(entry.Value);
  }
  EXPECT_EQ(names.size(), ButtonActionNames.size());
  // Execute is the last kind and Unknown has no name: a kind added without a name shows here.
  EXPECT_EQ(kinds.size(), static_cast<std::size_t>(TButtonActionKind::Execute));
}

TEST(ButtonActionKind, OnlyTheExactNameMatches) {
  for (std::string_view text : {"", "keys", "Keys ", " Keys", "Cursor On", "Cursor ON/OFF\r", "Mouse->"})
    EXPECT_EQ(ButtonActionKindOf(text), TButtonActionKind::Unknown) << text;
}

TEST(ButtonActionKind, ExactlyTheSevenRepeatingActionsRepeat) {
  const std::set<std::string_view> repeating{
      "Keys",          "Mouse->Wheel Up",  "Mouse->Wheel Down", "Web->Forward",
      "Web->Backward", "Mixer->Volume Up", "Mixer->Volume Down"};
  for (const TNamedValue<TButtonActionKind>& entry : ButtonActionNames)
    EXPECT_EQ(IsRepeatable(entry.Value), repeating.count(entry.Name) == 1) << entry.Name;
  EXPECT_FALSE(IsRepeatable(TButtonActionKind::Unknown));
}

}  // namespace
