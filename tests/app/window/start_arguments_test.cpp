#include "app/window/start_arguments.h"

#include "app/window/program_version.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::HasSubstr;

TEST(StartArguments, AnOptionalSceneAndTheRest) {
  EXPECT_FALSE(ParseStartArguments({"vireta"}).Scene);
  EXPECT_TRUE(ParseStartArguments({"vireta"}).Error.isEmpty());

  const TStartArguments duas = ParseStartArguments({"vireta", "a b.xml", "c.xml"});
  ASSERT_TRUE(duas.Scene);
  EXPECT_EQ(*duas.Scene, "a b.xml");
  EXPECT_THAT(duas.Error.toStdString(), HasSubstr("ignorado: c.xml"));

  const TStartArguments opcoes = ParseStartArguments({"vireta", "-x", "--", "-cena.xml"});
  ASSERT_TRUE(opcoes.Scene);
  EXPECT_EQ(*opcoes.Scene, "-cena.xml");
  EXPECT_EQ(opcoes.Unknown, "-x") << "refused before any window";
  EXPECT_TRUE(opcoes.Error.isEmpty());
  EXPECT_FALSE(opcoes.Help);
  EXPECT_EQ(ParseStartArguments({"vireta", "-a", "--b"}).Unknown, "-a");

  // Qt's own options are left to Qt, with their values, in either spelling.
  const TStartArguments qt = ParseStartArguments(
      {"vireta", "-platform", "offscreen", "--style=Fusion", "-reverse", "--qwindowtitle", "-x", "c.xml"});
  EXPECT_TRUE(qt.Unknown.isEmpty()) << qt.Unknown.toStdString();
  ASSERT_TRUE(qt.Scene);
  EXPECT_EQ(*qt.Scene, "c.xml");
  EXPECT_EQ(ParseStartArguments({"vireta", "--stylo=Fusion"}).Unknown, "--stylo=Fusion");

  EXPECT_TRUE(ParseStartArguments({"vireta", "--help"}).Help);
  const TStartArguments versao = ParseStartArguments({"vireta", "--version"});
  EXPECT_TRUE(versao.Version);
  EXPECT_TRUE(versao.Error.isEmpty());
  EXPECT_FALSE(ParseStartArguments({"vireta", "--", "--version"}).Version);
  EXPECT_THAT(StartUsage("vireta").toStdString(), HasSubstr("Uso: vireta [CENA.xml]"));
}

// A school needs to read its right to copy the program where the program shows who made it.
TEST(StartArguments, TheVersionTextNamesTheReleaseAndTheLicence) {
  EXPECT_THAT(ProgramVersion().toStdString(), ::testing::MatchesRegex("[0-9]+\\.[0-9]+\\.[0-9]+"));
  const QStringList linhas = VersionText().split('\n');
  ASSERT_GE(linhas.size(), 3);
  EXPECT_EQ(linhas[0], "Vireta " + ProgramVersion());
  EXPECT_THAT(VersionText().toStdString(), HasSubstr("GNU GPL versão 3 ou posterior"));
  EXPECT_THAT(VersionText().toStdString(), HasSubstr("GARANTIA"));
  EXPECT_THAT(StartUsage("vireta").toStdString(), HasSubstr("--version"));
}

}  // namespace
