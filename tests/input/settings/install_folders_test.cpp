#include <gtest/gtest.h>

#include "input/settings/install_folders.h"
#include "input/settings/settings_location.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

// A scratch prefix laid out as the package lays it out: programs in "usr/bin", samples in
// "usr/share/vireta/Cenas", and a build folder with its own "Cenas" beside the program.
class InstallFolders : public ::testing::Test {
 protected:
  InstallFolders() {
    fs::create_directories(instalado_.Programs);
    pasta_.Write("usr/share/vireta/Cenas/queda_livre.xml", "<DATAPACKET/>");
    pasta_.Write("build/Cenas/queda_livre.xml", "<DATAPACKET/>");
  }
  TTempFolder pasta_;
  TInstallFolders instalado_{pasta_ / "usr" / "bin", pasta_ / "usr" / "share" / "vireta" / "Cenas"};
  fs::path build_ = pasta_ / "build";
};

TEST_F(InstallFolders, InstalledProgramIsKnownByAnyNameOfItsFolder) {
  EXPECT_TRUE(IsInstalledProgram(instalado_.Programs, instalado_));
  // As the program names its own folder: with a trailing separator.
  EXPECT_TRUE(IsInstalledProgram(instalado_.Programs / "", instalado_));
  fs::create_directory_symlink(pasta_ / "usr" / "bin", pasta_ / "bin");
  EXPECT_TRUE(IsInstalledProgram(pasta_ / "bin", instalado_));
  EXPECT_FALSE(IsInstalledProgram(build_, instalado_));
  EXPECT_FALSE(IsInstalledProgram(build_, TInstallFolders{}));
}

TEST_F(InstallFolders, SamplesComeFromTheBuildOrTheInstall) {
  // A build run offers its own copy even with the package installed beside it.
  EXPECT_EQ(FindSamplesFolder(build_ / "", instalado_), build_ / "Cenas");
  // The installed program offers the installed samples.
  EXPECT_EQ(FindSamplesFolder(instalado_.Programs / "", instalado_), instalado_.Samples);
  // A copy with nothing beside it falls back to the installed samples.
  EXPECT_EQ(FindSamplesFolder(pasta_ / "sozinho", instalado_), instalado_.Samples);
  // With the samples gone from both places, the folder beside the program is where they are looked for.
  fs::remove_all(pasta_ / "usr" / "share");
  EXPECT_EQ(FindSamplesFolder(pasta_ / "sozinho", instalado_), pasta_ / "sozinho" / "Cenas");
  EXPECT_EQ(FindSamplesFolder(instalado_.Programs, instalado_), instalado_.Programs / "Cenas");
}

// A package made with another prefix, or `cmake --install` into a folder: the program knows it is installed
// from where it is, shows the samples installed with it, and writes nothing beside itself.
TEST_F(InstallFolders, AnInstallUnderAnyPrefixIsFoundFromWhereTheProgramIs) {
  const fs::path programs = pasta_ / "opt" / "outro" / "bin";
  fs::create_directories(programs);
  pasta_.Write(fs::relative(programs / SamplesFromPrograms() / "queda_livre.xml", pasta_.Path()),
               "<DATAPACKET/>");
  const TInstallFolders found = InstallFoldersOf(programs / "");
  EXPECT_EQ(found.Programs, programs);
  EXPECT_TRUE(fs::equivalent(found.Samples, pasta_ / "opt" / "outro" / "share" / "vireta" / "Cenas"));
  EXPECT_EQ(FindSamplesFolder(programs / "", found), found.Samples);
  EXPECT_FALSE(ProgramFolderTakesFiles(programs / "", found));

  // A build run from its own folder is no install: it keeps its own samples and its files beside it.
  const TInstallFolders none = InstallFoldersOf(build_ / "");
  EXPECT_TRUE(none.Programs.empty());
  EXPECT_EQ(FindSamplesFolder(build_ / "", none), build_ / "Cenas");
  EXPECT_TRUE(ProgramFolderTakesFiles(build_ / "", none));
}

// The programs folder here can be written, as /usr/bin can by root: the installed program still keeps
// its settings and start-up scene in the user's folders and leaves its own folder untouched.
TEST_F(InstallFolders, InstalledProgramWritesNothingBesideItself) {
  const auto escolhe = [&](const fs::path& programa) {
    return ChooseSettingsLocation(programa, pasta_ / "config", pasta_ / "data",
                                  [&](const fs::path& p) { return ProgramFolderTakesFiles(p, instalado_); });
  };
  const TSettingsLocation instalado = escolhe(instalado_.Programs);
  EXPECT_TRUE(instalado.InUserFolders);
  EXPECT_EQ(instalado.SettingsFile, pasta_ / "config" / "config.ini");
  EXPECT_EQ(ListFolder(instalado_.Programs), "");

  const TSettingsLocation build = escolhe(build_);
  EXPECT_FALSE(build.InUserFolders);
  EXPECT_EQ(build.SettingsFile, build_ / "config.ini");
}

}  // namespace
