// The measure tools on a scene session, in a plain window under the virtual display: what they record from
// the session's steps, the plots beside the editor reading values and fitting lines, a CSV export or a
// picture that cannot be written says so and loses nothing, and the spreadsheet reads back as numbers with
// Brazilian conventions.

#include "app/measure/measure_tools.h"
#include "app/measure/plot_view.h"
#include "app/measure/plots_dock.h"
#include "support/scene_builder.h"
#include "support/session_rig.h"
#include "support/temp_folder.h"

#include <QAccessible>
#include <QChartView>
#include <QDockWidget>
#include <QLocale>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>

#include <algorithm>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

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
  ASSERT_GE(itens.size(), 7);
  EXPECT_EQ(itens[1]->text(), "Exportar dados (CSV)…") << "after the program's own first item";
  EXPECT_EQ(itens[2]->text(), "Exportar para planilha…");
  EXPECT_EQ(itens[3]->text(), "Planilha com objetos fixos");
  EXPECT_EQ(itens[4]->text(), "Salvar imagem…");

  Quadros(5);
  const long ultimo = medidas.Record().LastFrame();
  EXPECT_GE(ultimo, 5) << "one record a step, the start state included";
  rig.session.Selection().Set(0);
  EXPECT_FALSE(medidas.History().Empty());

  ASSERT_TRUE(rig.session.Reload());
  EXPECT_EQ(medidas.Record().LastFrame(), 0) << "the record restarts with the scene";

  // Each plot is named for a screen reader by what it shows.
  QStringList nomes;
  for (const QChartView* grafico : medidas.Plots()->findChildren<QChartView*>())
    nomes << QAccessible::queryAccessibleInterface(const_cast<QChartView*>(grafico))->text(QAccessible::Name);
  EXPECT_TRUE(nomes.contains("Gráfico: Rapidez")) << nomes.join(", ").toStdString();
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

// A ball of 2 kg falling from 20 m beside a fixed table: every number cell reads as a number in pt_BR, and
// the numbers say what the physics says (v = |vz|, Ec = ½mv², Ep = mgz, p = mv).
TEST_F(MeasureTools, SpreadsheetReadsBackAsBrazilianNumbers) {
  rig.session.Open(TTestScene{}
                       .Linha(SphereRow(0.5), {{TColumn::Nome, std::string("Bola; azul")},
                                               {TColumn::Z, 20.0},
                                               {TColumn::Massa, 2.0},
                                               {TColumn::ODEMove, true},
                                               {TColumn::TemGravidade, true}})
                       .Linha(BoxRow(2, 1, 1), {{TColumn::Nome, std::string("Mesa")},
                                                {TColumn::X, 4.0},
                                                {TColumn::Z, 0.5},
                                                {TColumn::Massa, 1.0}})
                       .Write(pasta / "Cenas" / "planilha.xml"));
  Quadros(20);
  const QLocale br(QLocale::Portuguese, QLocale::Brazil);
  const auto exporta = [&](bool fixos) {
    medidas.SpreadsheetWithFixed()->setChecked(fixos);
    TestUserInterface().salvarComo = QString::fromStdString((pasta / "planilha").string());
    medidas.ExportSpreadsheet();
    const std::string bruto = ReadFile(pasta / "planilha.csv");
    EXPECT_EQ(bruto.substr(0, 3), "\xEF\xBB\xBF") << "marked as UTF-8 for the spreadsheet";
    return QString::fromUtf8(bruto.substr(3)).split('\n', Qt::SkipEmptyParts);
  };

  const QStringList linhas = exporta(false);
  ASSERT_EQ(linhas.size(), medidas.Record().Frames() + 1) << "one row a frame: the table is left out";
  EXPECT_EQ(linhas[0],
            "quadro;t (s);linha;nome;x (m);y (m);z (m);vx (m/s);vy (m/s);vz (m/s);v (m/s);"
            "Ec (J);Ep (J);Em (J);px (kg·m/s);py (kg·m/s);pz (kg·m/s)");
  for (qsizetype k = 1; k < linhas.size(); ++k) {
    QStringList c = linhas[k].split(';');
    ASSERT_EQ(c.size(), 18) << "the name's ';' is quoted: " << linhas[k].toStdString();
    EXPECT_EQ(c[3] + ";" + c[4], "\"Bola; azul\"");
    c.remove(3, 2);
    std::vector<double> v;
    for (const QString& celula : c) {
      bool ok = false;
      v.push_back(br.toDouble(celula, &ok));
      ASSERT_TRUE(ok) << celula.toStdString() << " in row " << k;
      EXPECT_FALSE(celula.contains('.')) << celula.toStdString();
    }
    // quadro, t, linha, x, y, z, vx, vy, vz, v, Ec, Ep, Em, px, py, pz
    EXPECT_NEAR(v[1], v[0] * 0.01, 1e-9);
    EXPECT_EQ(v[2], 1);
    EXPECT_NEAR(v[9], std::abs(v[8]), 1e-5);
    EXPECT_NEAR(v[10], 2 * v[9] * v[9] / 2, 1e-4);
    EXPECT_NEAR(v[11], 2 * 9.81 * v[5], 1e-2);
    EXPECT_NEAR(v[12], v[10] + v[11], 1e-5);
    EXPECT_NEAR(v[15], 2 * v[8], 1e-5);
  }
  EXPECT_NEAR(br.toDouble(linhas.back().split(';')[10]), -9.81 * medidas.Record().LastFrame() * 0.01, 0.05);

  const QStringList todas = exporta(true);
  EXPECT_EQ(todas.size(), 2 * medidas.Record().Frames() + 1) << "asked for, the table is in";
  EXPECT_TRUE(todas[2].contains(";Mesa;"));
}

// The plots dock beside an open editor, never over it or the picture; over a falling ball's speed plot the
// mouse reads the time and the speed, and a drag across a span gives g as the slope, in m/s².
TEST_F(MeasureTools, PlotsBesideTheEditorReadValuesAndFitTheAcceleration) {
  rig.session.Open(TTestScene{}
                       .Linha(SphereRow(0.5),
                              {{TColumn::Z, 100.0}, {TColumn::ODEMove, true}, {TColumn::TemGravidade, true}})
                       .Write(pasta / "Cenas" / "alta.xml"));
  rig.session.Selection().Set(0);
  auto* editor = new QDockWidget("Cena", &rig.window);
  rig.window.addDockWidget(Qt::RightDockWidgetArea, editor);
  editor->show();
  medidas.Plots()->toggleViewAction()->trigger();
  TPlotsDock& graficos = *medidas.Plots();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&graficos));
  EXPECT_FALSE(graficos.isFloating());
  EXPECT_FALSE(graficos.geometry().intersects(editor->geometry()));
  EXPECT_FALSE(graficos.geometry().intersects(rig.window.centralWidget()->geometry()));

  Quadros(60);
  TPlotSample s;
  ASSERT_TRUE(medidas.History().At(medidas.History().LastTime(), s));
  EXPECT_NEAR(s.Acceleration, 9.81, 0.01) << "the acceleration plot's last value";
  const double fim = medidas.History().LastTime();
  ASSERT_GT(fim, 0.2);
  graficos.ShowPlot(TPlotsDock::Speed);
  graficos.Refresh();
  TPlotView& vista = graficos.View(TPlotsDock::Speed);
  QWidget* area = vista.viewport();
  const auto x = [&](double t) { return QPoint(static_cast<int>(vista.XOf(t)), area->height() / 2); };
  QTest::mouseMove(area, x(fim / 2));
  EXPECT_THAT(graficos.CursorText().toStdString(),
              ::testing::MatchesRegex("t = [0-9]+,[0-9]{2} s: rapidez [0-9]+,[0-9]{3} m/s"));

  QTest::mousePress(area, Qt::LeftButton, {}, x(fim * 0.2));
  QTest::mouseMove(area, x(fim * 0.9));
  QTest::mouseRelease(area, Qt::LeftButton, {}, x(fim * 0.9));
  EXPECT_NEAR(graficos.LastFit().Slope, 9.81, 0.1);
  EXPECT_THAT(graficos.FitText().toStdString(), HasSubstr(" m/s² "));
  EXPECT_THAT(graficos.FitText().toStdString(), HasSubstr("Inclinação: 9,8"));

  QTest::mouseClick(area, Qt::LeftButton, {}, x(fim / 2));
  EXPECT_NEAR(graficos.LastFit().Slope, 9.81, 0.1) << "a click is not a span";
  ASSERT_THAT(graficos.CursorText().toStdString(), HasSubstr("t = "));
  rig.session.Reload();
  EXPECT_EQ(graficos.LastFit().Points, 0u) << "the fit goes with the run it was made on";
  EXPECT_THAT(graficos.CursorText().toStdString(), Not(HasSubstr("t = "))) << "and so does the reading";
}

}  // namespace
