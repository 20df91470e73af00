#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <random>
#include <set>
#include <string>
#include <type_traits>
#include <variant>

#include "input/settings/ini_file.h"
#include "input/settings/settings.h"
#include "support/temp_folder.h"

namespace {

const std::string DefaultFile =
    "[General]\nCursorMode=Motion\nRumbleOnEdge=1\nUseMotionWhenLostIR=0\nMinimizeAtStartup=0\n"
    "EnableCursorAtStartup=0\nDrawGraph=1\nDisplayEdgeAdjustment=50\n"
    "\n[Motion]\nSensorThreshold=2\nOnPush=Slower\nInvertH=0\nInvertV=0\nBaseX=128\nBaseY=128\nBaseZ=160\n"
    "SpeedFast=5\nSpeedSlow=3\nRecalibrate=0\n"
    "\n[Nunchuk]\nAnalogInvertH=0\nAnalogInvertV=0\nAnalogCursorSpeed=8\n"
    "\n[Up]\nType=Keys\nValue=Up\n\n[Down]\nType=Keys\nValue=Down\n\n[Right]\nType=Keys\nValue=Right\n"
    "\n[Left]\nType=Keys\nValue=Left\n\n[A]\nType=Mouse->Left Click\nValue=\n"
    "\n[B]\nType=Cursor ON/OFF\nValue=\n\n[Home]\nType=Keys\nValue=BkSp\n\n[Plus]\nType=Keys\nValue=Enter\n"
    "\n[Minus]\nType=Mouse->Right Click\nValue=\n\n[1]\nType=Keys\nValue=Tab\n\n[2]\nType=Keys\nValue=Enter\n"
    "\n[C]\nType=Mouse->Right Click\nValue=\n\n[Z]\nType=Mouse->Left Click\nValue=\n";

class SettingsFile : public ::testing::Test {
 protected:
  std::filesystem::path Config() const { return folder_.Path() / "config.ini"; }

  // Reads `text` as the file into fresh records that start far from the defaults.
  void Read(const std::string& text) {
    WriteFile(Config(), text);
    ReadBack();
  }
  void ReadBack() {
    setting_.CursorMode = "stale";
    setting_.BaseX = 1;
    buttons_[0].Type = "stale";
    LeConfiguracao(Config(), setting_, buttons_);
  }
  void Save() { SalvaConfiguracao(Config(), setting_, buttons_); }

  TTempFolder folder_;
  TQuillonSetting setting_;
  TWiimoteButtonAssign buttons_;
};

TEST_F(SettingsFile, FirstRunReadsDefaultsAndWritesEveryKeyInOrder) {
  ReadBack();
  EXPECT_EQ(setting_, TQuillonSetting{});
  EXPECT_EQ(buttons_, TWiimoteButtonAssign{});
  Save();
  EXPECT_EQ(ReadFile(Config()), DefaultFile);
  EXPECT_EQ(ListFolder(folder_.Path()), "config.ini ");
  Save();  // a second exit changes nothing
  EXPECT_EQ(ReadFile(Config()), DefaultFile);
}

// Changing one field at a time proves that each entry writes and reads back its own field; the distinct
// offsets prove that no two entries share a field, so the 20 entries cover the 20 stored fields. DefaultFile
// above pins the names and their order.
TEST_F(SettingsFile, EveryTableEntryHasItsOwnFieldAndRoundTripsAValueOtherThanItsDefault) {
  std::set<std::ptrdiff_t> fields;  // offsets in the record
  std::size_t fieldCount = 0;
  for (const TSettingEntry& entry : SettingEntries) {
    TQuillonSetting changed;
    const auto note = [&](const auto& member) {
      fields.insert(reinterpret_cast<const char*>(&member) - reinterpret_cast<const char*>(&changed));
      ++fieldCount;
    };
    std::visit(
        [&](auto field) {
          if constexpr (std::is_same_v<decltype(field), TBoundedSetting>) {
            const TSettingLimit limit = field.Limit;
            const int32_t other = changed.*field.InUse != limit.Min ? limit.Min : limit.Max;
            changed.*field.InUse = other;
            changed.FileValues.*field.FromFile = other;
            note(changed.*field.InUse);
            note(changed.FileValues.*field.FromFile);
          } else {
            auto& value = changed.*field;
            using TValue = std::remove_reference_t<decltype(value)>;
            if constexpr (std::is_same_v<TValue, std::string>)
              value += " changed";
            else if constexpr (std::is_same_v<TValue, bool>)
              value = !value;
            else
              value = static_cast<TValue>(value + 1);
            note(value);
          }
        },
        entry.Field);
    ASSERT_NE(changed, TQuillonSetting{}) << entry.Key;
    SalvaConfiguracao(Config(), changed, buttons_);
    TQuillonSetting read;  // fresh, so a field that was never stored shows as its default
    LeConfiguracao(Config(), read, buttons_);
    EXPECT_EQ(read, changed) << entry.Section << "/" << entry.Key;
  }
  EXPECT_EQ(fields.size(), fieldCount);
}

TEST_F(SettingsFile, BaseXReadsHexadecimalFallsBackOnGarbageAndKeepsTheLowByte) {
  const std::pair<const char*, int> cases[] = {{"0x90", 144}, {"$90", 144}, {"0X90", 144},   {"abc", 128},
                                               {"300", 44},   {"-1", 255},  {" 0x90 ", 144}, {"", 128}};
  for (const auto& [text, expected] : cases) {
    Read(std::string("[Motion]\nBaseX=") + text + "\n");
    EXPECT_EQ(setting_.BaseX, expected) << text;
  }
}

TEST_F(SettingsFile, OnlyTheExactNunchukModeNamesSetUseNunchuk) {
  const std::pair<const char*, bool> cases[] = {{"Nunchuk Analog", true},
                                                {"Nunchuk Motion", true},
                                                {"nunchuk analog", false},
                                                {"NUNCHUK MOTION", false},
                                                {"IR", false},
                                                {"\"Nunchuk Analog\"", true}};
  for (const auto& [mode, expected] : cases) {
    Read(std::string("[General]\nCursorMode=") + mode + "\n");
    EXPECT_EQ(setting_.UseNunchuk, expected) << mode;
  }
}

TEST_F(SettingsFile, TheRawPathIsChosenOnlyByAHandAddedKeyThatASaveKeeps) {
  Read("");
  EXPECT_FALSE(setting_.UseRawHID);
  Save();
  EXPECT_EQ(ReadFile(Config()).find("Wiimote"), std::string::npos);

  Read("[Wiimote]\nUseRawHID=1\n");
  EXPECT_TRUE(setting_.UseRawHID);
  setting_.UseRawHID = false;  // what the program holds is never written over the user's choice
  Save();
  ReadBack();
  EXPECT_TRUE(setting_.UseRawHID);
  Read("[Wiimote]\nUseRawHID=nem\n");
  EXPECT_FALSE(setting_.UseRawHID);
}

TEST_F(SettingsFile, HandAddedKeysSectionsAndCommentsSurviveTheRewriteInPlace) {
  const std::string mine =
      "; my remote\n[General]\nCursorMode=IR\nTheme=dark\n\n[Extra]\nfoo = bar\n\n[Home]\nType=Execute\n"
      "Value=xterm -e top\nNote=keep me\n";
  Read(mine);
  EXPECT_EQ(setting_.CursorMode, "IR");
  EXPECT_EQ(buttons_[6].Type, "Execute");
  EXPECT_EQ(buttons_[6].Value, "xterm -e top");
  Save();
  const std::string saved = ReadFile(Config());
  EXPECT_EQ(saved.substr(0, saved.find("DrawGraph")),
            "; my remote\n[General]\nCursorMode=IR\nTheme=dark\nRumbleOnEdge=1\nUseMotionWhenLostIR=0\n"
            "MinimizeAtStartup=0\nEnableCursorAtStartup=0\n");
  EXPECT_NE(
      saved.find(
          "\n\n[Extra]\nfoo = bar\n\n[Home]\nType=Execute\nValue=xterm -e top\nNote=keep me\n\n[Motion]"),
      std::string::npos)
      << saved;
  ReadBack();
  EXPECT_EQ(buttons_[6].Value, "xterm -e top");
}

TEST_F(SettingsFile, AChangedValueIsReplacedOnItsOwnLine) {
  Read("[Motion]\nBaseX=100\nFoo=1\n[General]\nCursorMode=Motion\n");
  setting_.BaseX = 120;  // as a calibration would
  Save();
  const std::string saved = ReadFile(Config());
  EXPECT_TRUE(saved.starts_with("[Motion]\nBaseX=120\nFoo=1\nSensorThreshold=2\n")) << saved;
}

TEST_F(SettingsFile, QuotedValuesAndAnyCaseOfNamesAreReadAndKeptAsWritten) {
  const std::string mine = "[general]\r\ncursormode = \"Nunchuk Analog\"\r\n[z]\r\nVALUE=\" \"\r\n";
  Read(mine);
  EXPECT_EQ(setting_.CursorMode, "Nunchuk Analog");
  EXPECT_TRUE(setting_.UseNunchuk);
  EXPECT_EQ(buttons_[12].Value, " ");
  Save();
  const std::string saved = ReadFile(Config());
  EXPECT_TRUE(saved.starts_with("[general]\r\ncursormode = \"Nunchuk Analog\"\r\nRumbleOnEdge=1\r\n"))
      << saved;
  EXPECT_NE(saved.find("[z]\r\nVALUE=\" \"\r\nType=Mouse->Left Click\r\n"), std::string::npos) << saved;
  EXPECT_EQ(saved.find("[General]"), std::string::npos);
  EXPECT_EQ(saved.find("\n\n"), std::string::npos);  // every line end stays CRLF
}

TEST_F(SettingsFile, DivisorsAreClampedWhenReadAndTheFileValueIsKeptOnSave) {
  Read(
      "[General]\nDisplayEdgeAdjustment=384\n[Motion]\nSpeedFast=100\nSpeedSlow=12\n"
      "[Nunchuk]\nAnalogCursorSpeed=-5\n");
  EXPECT_EQ(setting_.SpeedFast, 22);
  EXPECT_EQ(setting_.SpeedSlow, 11);
  EXPECT_EQ(setting_.AnalogCursorSpeed, 1);
  EXPECT_EQ(setting_.DisplayEdgeAdjustment, 383);
  Save();
  const TIniFile saved(Config());
  EXPECT_EQ(saved.Document().ReadInteger("General", "DisplayEdgeAdjustment", 0), 384);
  EXPECT_EQ(saved.Document().ReadInteger("Motion", "SpeedFast", 0), 100);
  EXPECT_EQ(saved.Document().ReadInteger("Motion", "SpeedSlow", 0), 12);
  EXPECT_EQ(saved.Document().ReadInteger("Nunchuk", "AnalogCursorSpeed", 0), -5);

  setting_.SpeedSlow = 4;  // a value changed in memory is written as changed
  Save();
  EXPECT_EQ(TIniFile(Config()).Document().ReadInteger("Motion", "SpeedSlow", 0), 4);
}

TEST_F(SettingsFile, ValuesInsideTheLimitsPassUnchanged) {
  Read(
      "[General]\nDisplayEdgeAdjustment=0\n[Motion]\nSpeedFast=1\nSpeedSlow=11\n[Nunchuk]\nAnalogCursorSpeed="
      "21\n");
  EXPECT_EQ(setting_.DisplayEdgeAdjustment, 0);
  EXPECT_EQ(setting_.SpeedFast, 1);
  EXPECT_EQ(setting_.SpeedSlow, 11);
  EXPECT_EQ(setting_.AnalogCursorSpeed, 21);
}

TEST(SettingLimits, KeepEveryPointerDivisorPositiveForAnyFileValue) {
  for (const int32_t value : {INT_MIN, -1, 0, 1, 22, 23, 383, 384, INT_MAX}) {
    EXPECT_GT(2.25 - 0.1 * SpeedFastLimit.Clamp(value), 0.0) << value;
    EXPECT_GT(12 - SpeedSlowLimit.Clamp(value), 0) << value;
    EXPECT_GT(22 - AnalogCursorSpeedLimit.Clamp(value), 0) << value;
    EXPECT_GT(768 - 2 * DisplayEdgeAdjustmentLimit.Clamp(value), 0) << value;
    EXPECT_GE(SpeedFastLimit.Clamp(value), 1);
  }
}

TEST_F(SettingsFile, GarbageFilesNeverCrashAndGiveDefaults) {
  std::mt19937 random(20240607);
  std::string binary(1 << 16, '\0');
  for (char& c : binary) c = static_cast<char>(random());
  const std::string cases[] = {
      binary,
      std::string(MaxIniFileSize - 1, 'q'),
      std::string(MaxIniFileSize / 2, '\n'),
      "CursorMode=IR\nBaseX=1\nSpeedFast=9\n",  // no section at all
      "[\n]\n=\n==\n[General\n[]\n[]]\n=1\n\r\n\r\r\n\0\0\0",
      std::string("\0[General]\nCursorMode=IR\n", 25),
  };
  for (const std::string& text : cases) {
    Read(text);
    EXPECT_EQ(setting_, TQuillonSetting{}) << text.substr(0, 40);
    EXPECT_EQ(buttons_, TWiimoteButtonAssign{});
    Save();
    ReadBack();
    EXPECT_EQ(setting_, TQuillonSetting{});
  }
}

TEST_F(SettingsFile, ACarriageReturnInAValueCostsNothingElseAtTheSave) {
  Read("[General]\nCursorMode=IR\n[Up]\nType=Keys\nValue=a\rb\n");
  EXPECT_EQ(buttons_[0].Value, "a");
  setting_.SpeedFast = 7;
  EXPECT_TRUE(SalvaConfiguracao(Config(), setting_, buttons_).empty());
  ReadBack();
  EXPECT_EQ(setting_.CursorMode, "IR");
  EXPECT_EQ(setting_.SpeedFast, 7);

  // A value set in memory that no line can hold is skipped and named; every other key is still written.
  buttons_[1].Value = "two\nlines";
  setting_.SpeedSlow = 9;
  EXPECT_EQ(SalvaConfiguracao(Config(), setting_, buttons_), std::vector<std::string>{"[Down] Value"});
  ReadBack();
  EXPECT_EQ(buttons_[1].Value, "Down");
  EXPECT_EQ(setting_.SpeedSlow, 9);
}

TEST_F(SettingsFile, AHugeValueIsCutWhenReadButKeptWholeInTheFile) {
  const std::string command = "run " + std::string(500000, 'x');
  Read("[Home]\nType=Execute\nValue=" + command + "\n");
  EXPECT_EQ(buttons_[6].Value, command.substr(0, 2047));
  Save();
  EXPECT_NE(ReadFile(Config()).find("Value=" + command + "\n"), std::string::npos);
}

TEST_F(SettingsFile, AnOverlongFileReadsAsDefaultsAndIsNotOverwritten) {
  const std::string runaway = "[General]\nCursorMode=IR\n" + std::string(MaxIniFileSize, '\n');
  Read(runaway);
  EXPECT_EQ(setting_, TQuillonSetting{});
  EXPECT_THROW(Save(), EIniWriteError);
  EXPECT_EQ(ReadFile(Config()), runaway);
}

TEST(ProgramFolder, IsTheRunningExecutablesFolderWithATrailingSeparator) {
  const std::string folder = PastaDoPrograma().string();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(folder) / "vireta_settings_tests"));
  EXPECT_EQ(SettingsFilePath(), std::filesystem::path(folder + "config.ini"));
}

}  // namespace
