#include "app/window/start_arguments.h"

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
  EXPECT_EQ(opcoes.Error, "Opção desconhecida ignorada: -x");
  EXPECT_FALSE(opcoes.Help);

  EXPECT_TRUE(ParseStartArguments({"vireta", "--help"}).Help);
  EXPECT_THAT(StartUsage("vireta").toStdString(), HasSubstr("Uso: vireta [CENA.xml]"));
}

}  // namespace
