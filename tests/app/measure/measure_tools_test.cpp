// The measure tools on a scene session, in a plain window under the virtual display: what they record from
// the session's steps, and a CSV export or a picture that cannot be written says so and loses nothing.

#include "app/measure/measure_tools.h"
#include "support/scene_builder.h"
#include "support/session_rig.h"
#include "support/temp_folder.h"

#include <QMenuBar>
#include <QStatusBar>
#include <QTest>

#include <algorithm>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

class MeasureTools : public ::testing::Test {
 protected:
  MeasureTools() {
    ResetTestUserInterface();
    EXPECT_TRUE(rig.Show());
    fs::create_directories(pasta / "Cenas");
    const fs::path cena =
        TTestScene{}
            .Linha(SphereRow(0.5),
                   {{TColumn::Z, 5.0}, {TColumn::ODEMove, true}, {TColumn::TemGravidade, true}})
            .Write(pasta / "Cenas" / "bola.xml");
    rig.session.Open(cena);
  }
  void Quadros(int n) {
    for (int k = 0; k < n; ++k) {
      rig.Frame();
      QTest::qWait(10);
    }
  }
  // A path below a plain file: no one can write there, root included.
  QString Impossivel(const std::string& nome) {
    WriteFile(pasta / "arquivo_comum", "x");
    return QString::fromStdString((pasta / "arquivo_comum" / nome).string());
  }

  TTempFolder pasta;
  TSessionRig rig{pasta / "Cenas"};
  TMeasureTools medidas{rig.session, rig.window, *rig.arquivo, *rig.panel, TestUserInterface()};
};

TEST_F(MeasureTools, RecordFollowsTheSessionAndStartsAgainWithTheScene) {
  const auto itens = rig.arquivo->actions();
  ASSERT_GE(itens.size(), 5);
  EXPECT_EQ(itens[1]->text(), "Exportar dados (CSV)…") << "after the program's own first item";
  EXPECT_EQ(itens[2]->text(), "Salvar imagem…");

  Quadros(5);
  const long ultimo = medidas.Record().LastFrame();
  EXPECT_GE(ultimo, 5) << "one record a step, the start state included";
  rig.session.Selection().Set(0);
  EXPECT_FALSE(medidas.History().Empty());

  ASSERT_TRUE(rig.session.Reload());
  EXPECT_EQ(medidas.Record().LastFrame(), 0) << "the record restarts with the scene";
}

TEST_F(MeasureTools, ExportAndPictureThatCannotBeWrittenSaySoAndLoseNothing) {
  Quadros(5);
  const long quadros = medidas.Record().LastFrame();

  TestUserInterface().salvarComo = Impossivel("dados.csv");
  medidas.ExportCSV();
  ASSERT_EQ(TestUserInterface().erros.size(), 1u);
  EXPECT_THAT(TestUserInterface().erros[0], HasSubstr("dados.csv"));
  EXPECT_GE(medidas.Record().LastFrame(), quadros) << "the record is still there to export";

  TestUserInterface().salvarComo = QString::fromStdString((pasta / "dados.csv").string());
  medidas.ExportCSV();
  EXPECT_EQ(TestUserInterface().erros.size(), 1u);
  const std::string csv = ReadFile(pasta / "dados.csv");
  EXPECT_GE(std::count(csv.begin(), csv.end(), '\n'), quadros);
  EXPECT_THAT(rig.window.statusBar()->currentMessage().toStdString(), HasSubstr("dados.csv"));

  TestUserInterface().salvarComo = Impossivel("imagem.png");
  medidas.SaveImageAs();
  ASSERT_TRUE(QTest::qWaitFor([&] {
    rig.Frame();
    return TestUserInterface().erros.size() == 2;
  }));
  EXPECT_THAT(TestUserInterface().erros[1], HasSubstr("imagem.png"));
  EXPECT_TRUE(medidas.LastImage().isEmpty());

  TestUserInterface().salvarComo = QString::fromStdString((pasta / "imagem.png").string());
  medidas.SaveImageAs();
  ASSERT_TRUE(QTest::qWaitFor([&] {
    rig.Frame();
    return !medidas.LastImage().isEmpty();
  }));
  EXPECT_TRUE(fs::file_size(pasta / "imagem.png") > 0);
}

}  // namespace
