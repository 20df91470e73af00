// Saving when the file cannot be written: the error names the file and the old file stays as it was.
// Tests may run as root, which ignores permission bits, so the unwritable cases run in a child process
// that first becomes the unprivileged user "nobody".

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "input/settings/ini_file.h"
#include "input/settings/settings.h"
#include "support/child_process.h"
#include "support/temp_folder.h"

namespace {

constexpr int Refused = 0;    // EIniWriteError with the expected text
constexpr int WrongText = 4;  // EIniWriteError with another text
constexpr int NoError = 3;    // the save claimed success
constexpr int CannotDropRoot = 77;

const std::string OldFile = "[General]\nCursorMode=IR\n; mine\n[Extra]\nkeep=1\n";

int SaveExpectingRefusal(const std::filesystem::path& config) {
  TQuillonSetting setting;
  setting.CursorMode = "Motion";
  const TWiimoteButtonAssign buttons;
  try {
    SalvaConfiguracao(config, setting, buttons);
    return NoError;
  } catch (const EIniWriteError& error) {
    // The file's full path, then the system's reason.
    const std::string start = "Unable to write to " + config.string() + ": ";
    const std::string text = error.what();
    return text.starts_with(start) && text.size() > start.size() ? Refused : WrongText;
  }
}

class UnwritableSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    ::chmod(folder_.Path().c_str(), 0755);  // "nobody" must reach the file to read it
    WriteFile(Config(), OldFile);
  }
  std::filesystem::path Config() const { return folder_.Path() / "config.ini"; }

  void ExpectRefusedAsUnprivilegedUser() {
    const int outcome =
        RunInChild([&] { return GiveUpRoot() ? SaveExpectingRefusal(Config()) : CannotDropRoot; });
    if (outcome == CannotDropRoot) GTEST_SKIP() << "running as root and unable to become \"nobody\"";
    EXPECT_EQ(outcome, Refused);
    ::chmod(Config().c_str(), 0644);  // so that a test run by its owner can read it back
    EXPECT_EQ(ReadFile(Config()), OldFile);
    EXPECT_EQ(ListFolder(folder_.Path()), "config.ini ");
  }

  TTempFolder folder_;
};

TEST_F(UnwritableSettings, AReadOnlyFolderKeepsTheOldFileByteForByte) {
  ::chmod(folder_.Path().c_str(), 0555);
  ExpectRefusedAsUnprivilegedUser();
}

TEST_F(UnwritableSettings, AReadOnlyFileIsNotReplacedEvenInAWritableFolder) {
  ::chmod(folder_.Path().c_str(), 0777);
  ::chmod(Config().c_str(), 0444);
  ExpectRefusedAsUnprivilegedUser();
}

// Root may write any file; a file without any write bit is still the user's "read-only".
TEST_F(UnwritableSettings, AReadOnlyFileIsNotReplacedEvenByRoot) {
  ::chmod(Config().c_str(), 0444);
  EXPECT_EQ(SaveExpectingRefusal(Config()), Refused);
  ::chmod(Config().c_str(), 0644);
  EXPECT_EQ(ReadFile(Config()), OldFile);
}

TEST_F(UnwritableSettings, AFileThatCannotBeReadIsNotOverwrittenWithDefaults) {
  ::chmod(folder_.Path().c_str(), 0777);
  ::chmod(Config().c_str(), 0222);  // writable, but what it holds would be lost
  ExpectRefusedAsUnprivilegedUser();
}

TEST_F(UnwritableSettings, ASaveCutOffMidWriteLeavesTheOldFile) {
  const int outcome = RunInChild([&] {
    // The file-size limit makes write() stop after 64 bytes of the new text, whatever the user's rights.
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64, 64};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return CannotDropRoot;
    return SaveExpectingRefusal(Config());
  });
  ASSERT_NE(outcome, CannotDropRoot) << "setrlimit failed";
  EXPECT_EQ(outcome, Refused);
  EXPECT_EQ(ReadFile(Config()), OldFile);
  EXPECT_EQ(ListFolder(folder_.Path()), "config.ini ");
}

TEST(UnwritableSettingsPath, AFolderThatIsAFileGivesTheErrorWithTheFullPath) {
  TTempFolder folder;
  const std::filesystem::path notAFolder = folder.Path() / "plain";
  WriteFile(notAFolder, "data");
  EXPECT_EQ(SaveExpectingRefusal(notAFolder / "config.ini"), Refused);
  EXPECT_EQ(ReadFile(notAFolder), "data");
  EXPECT_EQ(SaveExpectingRefusal("/proc/config.ini"), Refused);

  TQuillonSetting setting;
  TWiimoteButtonAssign buttons;
  LeConfiguracao(notAFolder / "config.ini", setting, buttons);
  EXPECT_EQ(setting, TQuillonSetting{});
}

TEST(UnwritableSettingsPath, AFolderNamedConfigIniReadsAsDefaultsAndIsNotReplaced) {
  TTempFolder folder;
  const std::filesystem::path config = folder.Path() / "config.ini";
  std::filesystem::create_directory(config);
  WriteFile(config / "inside", "x");
  TQuillonSetting setting;
  setting.CursorMode = "IR";
  TWiimoteButtonAssign buttons;
  LeConfiguracao(config, setting, buttons);
  EXPECT_EQ(setting, TQuillonSetting{});
  EXPECT_EQ(SaveExpectingRefusal(config), Refused);
  EXPECT_EQ(ReadFile(config / "inside"), "x");
}

// The reason says what the user can mend: a folder in the file's place, a link to nothing, a read-only file.
TEST(UnwritableSettingsPath, TheErrorGivesTheReason) {
  TTempFolder folder;
  const auto errorOf = [](const std::filesystem::path& config) {
    try {
      SalvaConfiguracao(config, TQuillonSetting{}, TWiimoteButtonAssign{});
    } catch (const EIniWriteError& error) {
      return std::string(error.what());
    }
    return std::string("(no error)");
  };
  std::filesystem::create_directory(folder / "pasta.ini");
  EXPECT_EQ(errorOf(folder / "pasta.ini"),
            "Unable to write to " + (folder / "pasta.ini").string() + ": it is a folder, not a file");
  std::filesystem::create_symlink(folder / "dotfiles" / "vireta.ini", folder / "link.ini");
  EXPECT_EQ(errorOf(folder / "link.ini"), "Unable to write to " + (folder / "link.ini").string() +
                                              ": it is a link to " +
                                              (folder / "dotfiles" / "vireta.ini").string() +
                                              ", which does not exist (No such file or directory)");
  const auto readOnly = folder.Write("ro.ini", "[General]\n");
  ::chmod(readOnly.c_str(), 0444);
  EXPECT_EQ(errorOf(readOnly),
            "Unable to write to " + readOnly.string() + ": the file is read-only (Permission denied)");
}

TEST(IniWriteError, NamesTheFullPathOfARelativeName) {
  const EIniWriteError error(std::filesystem::path("sub") / ".." / "config.ini");
  EXPECT_EQ(std::string(error.what()),
            "Unable to write to " + (std::filesystem::current_path() / "config.ini").string());
}

}  // namespace
