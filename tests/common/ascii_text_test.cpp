#include <gtest/gtest.h>

#include <string>

#include "common/ascii_text.h"

namespace {

using namespace std::string_literals;

TEST(Trim, TakesBytesUpToSpaceButWhiteSpaceOnlyTheCLocaleSix) {
  const std::string padded = "\0\x01 \tname\v\f\r\n"s;
  EXPECT_EQ(Trim(padded), "name");
  EXPECT_EQ(TrimEnd(padded), "\0\x01 \tname"s);
  EXPECT_EQ(TrimWhiteSpace(padded), "\0\x01 \tname"s);
  EXPECT_EQ(TrimWhiteSpace(" \t a b \v\f"), "a b");
  // A no-break space in Latin-1 or UTF-8 is text, and so is DEL.
  EXPECT_EQ(Trim("\xA0x\xC2\xA0\x7F"), "\xA0x\xC2\xA0\x7F");
  EXPECT_EQ(Trim(" \t "), "");
}

TEST(AsciiCase, OnlyAsciiLettersFoldWhateverTheLocale) {
  EXPECT_TRUE(EqualsIgnoringAsciiCase("Cubo.OBJ", "cUBO.obj"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("cubo", "cubos"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("\xC9", "\xE9")) << "Latin-1 E acute in both cases";
  EXPECT_FALSE(EqualsIgnoringAsciiCase("@[", "`{")) << "neighbours of the letters differ by the case bit too";
  EXPECT_TRUE(StartsWithIgnoringAsciiCase("shift+a", "Shift+"));
  EXPECT_FALSE(StartsWithIgnoringAsciiCase("Shift", "Shift+"));
  std::string name = "usemtl Pedra-\xC3\xA9z";
  MakeUpperAscii(name);
  EXPECT_EQ(name, "USEMTL PEDRA-\xC3\xA9Z");
  MakeLowerAscii(name);
  EXPECT_EQ(name, "usemtl pedra-\xC3\xA9z");
  EXPECT_EQ(ToUpperAscii('{'), '{');
  EXPECT_EQ(ToLowerAscii('@'), '@');
}

}  // namespace
