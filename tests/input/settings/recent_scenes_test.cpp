#include <gtest/gtest.h>

#include "input/settings/ini_document.h"
#include "input/settings/recent_scenes.h"
#include "input/settings/settings.h"
#include "support/temp_folder.h"

#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> Paths(const fs::path& pasta, const std::string& nomes) {
  std::vector<fs::path> r;
  for (char c : nomes) r.push_back(pasta / (std::string(1, c) + ".xml"));
  return r;
}

TEST(RecentScenes, KeepsFiveMostRecentFirstWithoutDuplicates) {
  TTempFolder pasta;
  TRecentScenes lista;
  for (const fs::path& p : Paths(pasta.Path(), "abcdefg")) lista.Add(p);
  EXPECT_EQ(lista.Items(), Paths(pasta.Path(), "gfedc"));

  // The same file named another way is still the same entry.
  lista.Add(pasta / "x" / ".." / "d.xml");
  EXPECT_EQ(lista.Items(), Paths(pasta.Path(), "dgfec"));
  lista.Remove(pasta / "f.xml");
  lista.Remove(pasta / "never.xml");
  EXPECT_EQ(lista.Items(), Paths(pasta.Path(), "dgec"));

  // Relative names are kept absolute, so the list means the same from any working folder.
  lista.Add("relativa.xml");
  EXPECT_EQ(lista.Items().front(), fs::current_path() / "relativa.xml");
}

TEST(RecentScenes, LiveInTheirOwnSectionBesideTheSettings) {
  TTempFolder pasta;
  const fs::path ini = pasta / "config.ini";
  TRecentScenes lista;
  for (const fs::path& p : Paths(pasta.Path(), "abcd")) lista.Add(p);
  lista.Add(pasta / "linha\nquebrada.xml");  // no INI line can hold it: left out of the file only
  lista.Save(ini);

  // The settings save at exit keeps the list, and the list's save keeps the settings.
  TQuillonSetting s;
  s.BaseX = 99;
  SalvaConfiguracao(ini, s, TWiimoteButtonAssign{});
  TRecentScenes lida;
  lida.Load(ini);
  EXPECT_EQ(lida.Items(), Paths(pasta.Path(), "dcba"));

  lida.Remove(pasta / "c.xml");
  lida.Remove(pasta / "a.xml");
  lida.Save(ini);
  TQuillonSetting relida;
  TWiimoteButtonAssign botoes;
  LeConfiguracao(ini, relida, botoes);
  EXPECT_EQ(relida.BaseX, 99);
  TRecentScenes final;
  final.Load(ini);
  EXPECT_EQ(final.Items(), Paths(pasta.Path(), "db"));

  // A hand-edited section: blanks and repeats are skipped, never more than five kept.
  TIniDocument doc(
      "[RecentScenes]\nScene1=/a.xml\nScene2=\nScene3=/a.xml\nScene4=/b.xml\nScene5=/c.xml\nScene6=/d.xml\n");
  final.ReadFrom(doc);
  EXPECT_EQ(final.Items(), (std::vector<fs::path>{"/a.xml", "/b.xml", "/c.xml"}));
  final.Load(pasta / "missing.ini");
  EXPECT_TRUE(final.Items().empty());
}

// Two copies of the program share the file: the one that saves last keeps what the other saved, and a
// scene one of them dropped does not come back from the other's list.
TEST(RecentScenes, TwoCopiesOfTheProgramKeepEachOthersScenes) {
  TTempFolder pasta;
  const fs::path ini = pasta / "config.ini";
  TRecentScenes antes;
  for (const fs::path& p : Paths(pasta.Path(), "xy")) antes.Add(p);
  antes.Save(ini);
  TRecentScenes primeira, segunda;
  primeira.Load(ini);
  segunda.Load(ini);
  primeira.Add(pasta / "a.xml");
  primeira.Remove(pasta / "x.xml");
  segunda.Add(pasta / "b.xml");
  segunda.Add(pasta / "c.xml");
  primeira.Save(ini);
  segunda.Save(ini);
  EXPECT_EQ(segunda.Items(), Paths(pasta.Path(), "cbay"));
  TRecentScenes lida;
  lida.Load(ini);
  EXPECT_EQ(lida.Items(), Paths(pasta.Path(), "cbay"));
  // Saved again with nothing new, the first copy takes the other's scenes and loses none of its own.
  primeira.Save(ini);
  EXPECT_EQ(primeira.Items(), Paths(pasta.Path(), "cbay"));
  // A scene pushed off the end stays off, even where a later removal makes room for it.
  for (const fs::path& p : Paths(pasta.Path(), "defc")) primeira.Add(p);
  primeira.Remove(pasta / "e.xml");
  ASSERT_EQ(primeira.Items(), Paths(pasta.Path(), "cfdb"));
  const std::vector<fs::path> vistas = primeira.Items();
  primeira.Save(ini);
  EXPECT_EQ(primeira.Items(), vistas);
}

}  // namespace
