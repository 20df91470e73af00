#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>
#include <string>

#include "input/settings/ini_document.h"

namespace {

TEST(ParseIniInteger, ReadsDecimalAndTheThreeHexadecimalPrefixes) {
  EXPECT_EQ(ParseIniInteger("144"), 144);
  EXPECT_EQ(ParseIniInteger("0x90"), 144);
  EXPECT_EQ(ParseIniInteger("0X90"), 144);
  EXPECT_EQ(ParseIniInteger("$90"), 144);
  EXPECT_EQ(ParseIniInteger("$fF"), 255);
  EXPECT_EQ(ParseIniInteger("-12"), -12);
  EXPECT_EQ(ParseIniInteger("+7"), 7);
  EXPECT_EQ(ParseIniInteger("-$10"), -16);
  EXPECT_EQ(ParseIniInteger("007"), 7);
}

TEST(ParseIniInteger, KeepsToTheSigned32BitRange) {
  EXPECT_EQ(ParseIniInteger("2147483647"), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(ParseIniInteger("-2147483648"), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(ParseIniInteger("$7FFFFFFF"), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(ParseIniInteger("2147483648"), std::nullopt);
  EXPECT_EQ(ParseIniInteger("-2147483649"), std::nullopt);
  EXPECT_EQ(ParseIniInteger("0x80000000"), std::nullopt);
  EXPECT_EQ(ParseIniInteger("99999999999999999999999999"), std::nullopt);
}

TEST(ParseIniInteger, RejectsAnythingElse) {
  for (const char* text : {"", "abc", "12a", "1 2", "0x", "$", "-", "0xG", "90h", "1e3", "--1", "0x-1"})
    EXPECT_EQ(ParseIniInteger(text), std::nullopt) << text;
}

TEST(IniRead, FindsSectionsAndKeysWithoutRegardToCaseAndTrimsValues) {
  const TIniDocument ini("  [ general ]  \nCURSORMODE   =   IR  \n[Motion]\nbasex=\t0x90\t\n");
  EXPECT_EQ(ini.ReadString("General", "CursorMode", "Motion"), "IR");
  EXPECT_EQ(ini.ReadInteger("MOTION", "BaseX", 128), 144);
  EXPECT_EQ(ini.ReadString("General", "BaseX", "none"), "none");  // keys stay in their own section
  EXPECT_EQ(ini.ReadString("Nunchuk", "BaseX", "none"), "none");
}

TEST(IniRead, TakesMatchingDoubleQuotesOff) {
  const TIniDocument ini("[S]\na=\"  padded  \"\nb=\"open\nc=\"\nd='single'\ne=\"\"\n");
  EXPECT_EQ(ini.ReadString("S", "a", ""), "  padded  ");
  EXPECT_EQ(ini.ReadString("S", "b", ""), "\"open");
  EXPECT_EQ(ini.ReadString("S", "c", ""), "\"");
  EXPECT_EQ(ini.ReadString("S", "d", ""), "'single'");
  EXPECT_EQ(ini.ReadString("S", "e", "def"), "");
}

TEST(IniRead, FirstOccurrenceWinsAndCommentsAndStrayLinesAreNotKeys) {
  const TIniDocument ini("Top=1\n[S]\n;k=comment\nk\nk=first\nk=second\n[s]\nk=third\n[Open\nx=5\n[Next]\n");
  EXPECT_EQ(ini.ReadString("S", "k", ""), "first");
  EXPECT_EQ(ini.ReadString("", "Top", "none"), "none");
  EXPECT_EQ(ini.ReadInteger("Open", "x", 0), 5);
  EXPECT_EQ(ini.ReadInteger("Next", "x", 0), 0);
}

TEST(IniRead, BoolIsAnyIntegerOtherThanZeroAndBadTextGivesTheDefault) {
  const TIniDocument ini("[S]\none=1\nzero=0\nneg=-3\nword=true\n");
  EXPECT_TRUE(ini.ReadBool("S", "one", false));
  EXPECT_FALSE(ini.ReadBool("S", "zero", true));
  EXPECT_TRUE(ini.ReadBool("S", "neg", false));
  EXPECT_TRUE(ini.ReadBool("S", "word", true));
  EXPECT_FALSE(ini.ReadBool("S", "word", false));
}

TEST(IniRead, CutsStringsAt2047Characters) {
  const TIniDocument ini("[S]\nlong=" + std::string(5000, 'x') + "\n");
  EXPECT_EQ(ini.ReadString("S", "long", ""), std::string(MaxIniValueLength, 'x'));
}

TEST(IniWrite, ReplacesInPlaceAndLeavesEveryOtherLineAlone) {
  TIniDocument ini("; mine\n[A]\nx=1\n\n; about B\n[B]\ny = 2 ; not a comment\n");
  ini.WriteInteger("A", "x", 5);
  ini.WriteString("b", "Y", "3");
  EXPECT_EQ(ini.Text(), "; mine\n[A]\nx=5\n\n; about B\n[B]\nY=3\n");
}

TEST(IniWrite, LeavesALineThatAlreadyHoldsTheValueAsTheUserWroteIt) {
  const std::string text = "[A]\n  Key =  \"value\"  \nLong=" + std::string(3000, 'z') + "\n";
  TIniDocument ini(text);
  ini.WriteString("A", "key", "value");
  ini.WriteString("A", "Long", ini.ReadString("A", "Long", ""));
  EXPECT_EQ(ini.Text(), text);
}

TEST(IniWrite, AppendsAMissingKeyAfterTheLastEntryOfItsSection) {
  TIniDocument ini("[A]\nx=1\n; trailing note\n\n[B]\ny=2");
  ini.WriteString("A", "z", "9");
  ini.WriteString("B", "w", "8");
  EXPECT_EQ(ini.Text(), "[A]\nx=1\nz=9\n; trailing note\n\n[B]\ny=2\nw=8\n");
}

TEST(IniWrite, AppendsAMissingSectionAtTheEnd) {
  TIniDocument ini("[A]\nx=1");
  ini.WriteString("New", "k", "v");
  EXPECT_EQ(ini.Text(), "[A]\nx=1\n\n[New]\nk=v\n");
  TIniDocument empty;
  empty.WriteString("First", "k", "v");
  EXPECT_EQ(empty.Text(), "[First]\nk=v\n");
}

TEST(IniWrite, KeepsCrlfLineEndsAndTheByteOrderMark) {
  TIniDocument ini("\xEF\xBB\xBF[A]\r\nx=1\r\n");
  EXPECT_EQ(ini.ReadInteger("A", "x", 0), 1);
  ini.WriteInteger("A", "x", 2);
  ini.WriteInteger("A", "y", 3);
  ini.WriteInteger("B", "z", 4);
  EXPECT_EQ(ini.Text(), "\xEF\xBB\xBF[A]\r\nx=2\r\ny=3\r\n\r\n[B]\r\nz=4\r\n");
}

TEST(IniRead, ALoneCarriageReturnEndsALineSoEveryValueReadCanBeWrittenBack) {
  TIniDocument ini("[S]\nk=a\rb=2\r\n[T]\rx=1");
  EXPECT_EQ(ini.ReadString("S", "k", "?"), "a");
  EXPECT_EQ(ini.ReadInteger("S", "b", 0), 2);
  EXPECT_EQ(ini.ReadInteger("T", "x", 0), 1);
  EXPECT_NO_THROW(ini.WriteString("S", "k", ini.ReadString("S", "k", "?")));
}

TEST(IniWrite, QuotesValuesThatWouldNotReadBackOtherwise) {
  TIniDocument ini;
  for (const std::string value : {" ", "  lead", "trail ", "\"quoted\"", "\"", "plain text"}) {
    ini.WriteString("S", "v", value);
    EXPECT_EQ(TIniDocument(ini.Text()).ReadString("S", "v", "?"), value) << ini.Text();
  }
}

TEST(IniWrite, RefusesWhatNoIniLineCanHold) {
  TIniDocument ini("[S]\nk=1\n");
  EXPECT_THROW(ini.WriteString("S", "k", "two\nlines"), std::invalid_argument);
  EXPECT_THROW(ini.WriteString("S", "a=b", "1"), std::invalid_argument);
  EXPECT_THROW(ini.WriteString("S", " ", "1"), std::invalid_argument);
  EXPECT_THROW(ini.WriteString("S]", "k", "1"), std::invalid_argument);
  EXPECT_EQ(ini.Text(), "[S]\nk=1\n");
}

}  // namespace
