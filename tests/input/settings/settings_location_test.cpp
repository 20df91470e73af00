#include <gtest/gtest.h>

#include "input/settings/settings_location.h"
#include "support/child_process.h"
#include "support/temp_folder.h"

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class SettingsLocation : public ::testing::Test {
 protected:
  TSettingsLocation Choose(bool programWritable) {
    return ChooseSettingsLocation(programa_, pasta_ / "config" / "Vireta", pasta_ / "data" / "Vireta",
                                  [&](const fs::path& p) {
                                    perguntado_ = p;
                                    return programWritable;
                                  });
  }
  TTempFolder pasta_;
  fs::path programa_ = pasta_ / "programa";
  fs::path perguntado_;
};

TEST_F(SettingsLocation, ProgramFolderWinsWhileItCanBeWritten) {
  const TSettingsLocation lugar = Choose(true);
  EXPECT_EQ(perguntado_, programa_);
  EXPECT_EQ(lugar.SettingsFile, programa_ / "config.ini");
  EXPECT_EQ(lugar.StartSceneFolder, programa_);
  EXPECT_FALSE(lugar.InUserFolders);
  EXPECT_FALSE(fs::exists(pasta_ / "config"));
}

TEST_F(SettingsLocation, ReadOnlyProgramFolderSendsThemToTheUsersFolders) {
  pasta_.Write("programa/config.ini", "[General]\nDrawGraph=0\n");
  const TSettingsLocation lugar = Choose(false);
  EXPECT_EQ(lugar.SettingsFile, pasta_ / "config" / "Vireta" / "config.ini");
  EXPECT_EQ(lugar.StartSceneFolder, pasta_ / "data" / "Vireta");
  EXPECT_TRUE(lugar.InUserFolders);
  EXPECT_TRUE(fs::is_directory(lugar.StartSceneFolder));
  // The settings shipped beside the program are the user's starting point, once.
  EXPECT_EQ(ReadFile(lugar.SettingsFile), "[General]\nDrawGraph=0\n");
  WriteFile(lugar.SettingsFile, "[General]\nDrawGraph=1\n");
  Choose(false);
  EXPECT_EQ(ReadFile(lugar.SettingsFile), "[General]\nDrawGraph=1\n");
}

// The real probe against a folder nobody may write. Root writes past mode bits, so as root the folder is
// made read-only by a read-only bind mount in a mount namespace of a child's own; where the sandbox allows
// no namespace, there is no way to make a folder root cannot write, and the case is skipped.
TEST_F(SettingsLocation, RealProbeSeesAReadOnlyFolder) {
  fs::create_directories(programa_);
  EXPECT_TRUE(CanWriteFolder(programa_));
  EXPECT_EQ(ListFolder(programa_), "");  // the probe leaves nothing behind
  EXPECT_FALSE(CanWriteFolder(pasta_ / "missing"));

  const std::string alvo = programa_.string();
  const int r = RunInChild([&] {
    if (::geteuid() == 0) {
      if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
          ::mount(alvo.c_str(), alvo.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
          ::mount(nullptr, alvo.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
        return 77;
    } else {
      fs::permissions(alvo, fs::perms::owner_read | fs::perms::owner_exec);
    }
    return CanWriteFolder(alvo) ? 1 : 0;
  });
  if (r == 77) GTEST_SKIP() << "no mount namespace here to make a folder read-only for root";
  EXPECT_EQ(r, 0);
}

}  // namespace
