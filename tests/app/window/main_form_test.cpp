// The real main window in-process under the virtual display: start-up, frames, scenes, the picture, and
// shut-down, with the dialogs answered by the test.

#include "app/window/main_form.h"
#include "app/editor/field_edit.h"
#include "app/editor/launch_fields.h"
#include "app/editor/object_fields.h"
#include "app/editor/scene_editor.h"
#include "app/measure/measure_tools.h"
#include "app/measure/plots_dock.h"
#include "app/widgets/gl_panel.h"
#include "app/widgets/user_interface.h"
#include "app/window/application.h"
#include "app/window/help_menu.h"
#include "frame/mouse_grab.h"
#include "input/desktop/testing/recording_desktop_input.h"
#include "render/camera_navigation.h"
#include "scene/simulation_step.h"
#include "support/child_process.h"
#include "support/scene_builder.h"
#include "support/temp_folder.h"
#include "support/view_projection.h"
#include "support/window_fixture.h"
#include "support_gl/gl_test_context.h"
#include "wiimote/session_recording.h"
#include "wiimote/testing/fake_hid_platform.h"
#include "wiimote/testing/test_main_loop.h"
#include "wiimote/testing/virtual_wiimote.h"
#include "wiimote/wiimote_decoder.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QSurfaceFormat>
#include <QTest>
#include <QTextBrowser>
#include <QWheelEvent>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <deque>
#include <fstream>
#include <functional>
#include <tuple>

namespace {

class TestEditorDialogs : public IEditorDialogs {
 public:
  TUnsavedAnswer AskUnsaved(const QString&) override { return resposta; }
  QString ChooseSavePath(const QString&) override { return {}; }
  QString ChooseModel(const QString&) override { return {}; }
  std::optional<QColor> ChooseColour(const QColor&) override { return std::nullopt; }
  std::optional<TRampSpec> AskRamp() override { return std::nullopt; }
  std::optional<TBlockSpec> AskBlock() override { return std::nullopt; }
  TUnsavedAnswer resposta = TUnsavedAnswer::Cancel;
};

namespace fs = std::filesystem;
using ::testing::HasSubstr;

using Window = TWindowTest;

TEST_F(Window, StartsWithItsMenusStatusAndAnEmptyTempScene) {
  Abre();
  EXPECT_TRUE(Espera([&] { return form->windowTitle() == "Wii Remote não detectado"; }))
      << form->windowTitle().toStdString();
  ASSERT_NE(Menu("&Arquivo"), nullptr);
  ASSERT_NE(Menu("&Abrir Cena"), nullptr);
  ASSERT_NE(Menu("&Sair"), nullptr);
  ASSERT_NE(Menu("Configurações"), nullptr);
  EXPECT_FALSE(Menu("Configurações")->isEnabled());
  ASSERT_NE(Menu("Calibrar acelerômetro"), nullptr);
  EXPECT_FALSE(Menu("Calibrar acelerômetro")->isVisible());
  QAction* haptica = Menu("ReaçãoHaptica");
  ASSERT_NE(haptica, nullptr);
  EXPECT_TRUE(haptica->isCheckable());
  EXPECT_FALSE(haptica->isChecked());
  haptica->trigger();
  haptica->trigger();
  EXPECT_FALSE(haptica->isChecked());
  EXPECT_EQ(form->BatteryPanel()->text(), "Bateria");
  EXPECT_FALSE(form->BatteryPanel()->isVisible()) << "no remote, no battery";
  EXPECT_EQ(TSceneTable::Read(pasta / "Cenas" / "temp.xml").RowCount(), 0);
  EXPECT_TRUE(form->FrameTimer().isActive());
  EsperaQuadros(10);
  EXPECT_TRUE(TestUserInterface().erros.empty());
}

TEST_F(Window, FrameDrawsABlackBackgroundAndAGreenFloor) {
  Abre();
  EsperaQuadros(5);
  form->Panel()->RequestCapture();
  EsperaQuadros(2);
  const QImage imagem = form->Panel()->Captura();
  ASSERT_EQ(imagem.size(), QSize(769, 610));
  EXPECT_EQ(QColor(imagem.pixel(5, 5)), QColor(Qt::black)) << "the sky is the black clear colour";
  // The floor fills the lower part of the start view: its translucent green cells over black.
  const QColor piso(imagem.pixel(384, 560));
  EXPECT_GT(piso.green(), 80);
  EXPECT_GT(piso.green(), 2 * piso.red());
  EXPECT_GT(piso.green(), 2 * piso.blue());
}

TEST_F(Window, OpensASceneFromTheMenuAndCancellingChangesNothing) {
  Abre();
  TestUserInterface().respostas = {QString::fromStdString((pasta / "Cenas" / "queda_livre.xml").string()),
                                   QString()};
  form->AbrirCena1Click();
  // Run from a build, the user's scenes and the samples are the one folder beside the program.
  EXPECT_EQ(TestUserInterface().pastaPedida.toStdString(), (pasta / "Cenas").string());
  EXPECT_EQ(TestUserInterface().amostrasPedidas.toStdString(), (pasta / "Cenas").string());
  EXPECT_EQ(TestUserInterface().filtroPedido, "Arquivo de cena (.xml) (*xml)");
  ASSERT_EQ(form->Session().CurrentScene()->Objetos.size(), 1u);
  EXPECT_TRUE(form->FrameTimer().isActive());
  EsperaQuadros(20);
  EXPECT_LT(form->Session().CurrentScene()->Objetos[0].Posicao.z, 10.0) << "the ball falls";

  const TScene* antes = form->Session().CurrentScene();
  const TVector posicao = antes->Objetos[0].Posicao;
  form->AbrirCena1Click();  // cancelled
  EXPECT_TRUE(form->FrameTimer().isActive());
  ASSERT_EQ(form->Session().CurrentScene()->Objetos.size(), 1u);
  EXPECT_LE(form->Session().CurrentScene()->Objetos[0].Posicao.z, posicao.z);
  EXPECT_TRUE(TestUserInterface().erros.empty());
}

TEST_F(Window, ABadSceneShowsTheErrorAndKeepsThePreviousScene) {
  Abre();
  form->OpenScene(pasta / "Cenas" / "pilha_caixas.xml");
  ASSERT_EQ(form->Session().CurrentScene()->Objetos.size(), 5u);
  pasta.Write("ruim.xml", "<DATAPACKET><METADATA><FIELDS/></METADATA></DATAPACKET>");
  form->OpenScene(pasta / "ruim.xml");
  ASSERT_EQ(TestUserInterface().erros.size(), 1u);
  EXPECT_THAT(TestUserInterface().erros[0], HasSubstr("ruim.xml"));
  EXPECT_EQ(form->Session().CurrentScene()->Objetos.size(), 5u);
  EXPECT_TRUE(form->FrameTimer().isActive());
  const long antes = form->Session().FramesRun();
  EsperaQuadros(5);
  EXPECT_GT(form->Session().FramesRun(), antes);
}

TEST_F(Window, AMissingMaterialWarnsWithTheLoadersTitle) {
  Abre();
  pasta.Write("Cenas/sem.obj", "mtllib nada.mtl\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\n");
  TTestScene c;
  c.Linha(ModelRow("sem.obj"));
  form->OpenScene(c.Write(pasta / "Cenas" / "m.xml"));
  ASSERT_EQ(TestUserInterface().avisos.size(), 1u);
  EXPECT_THAT(TestUserInterface().avisos[0],
              HasSubstr("Load Model Material: Cannot find the material file : "));
  EXPECT_EQ(form->Session().CurrentScene()->Objetos.size(), 1u);
}

TEST_F(Window, ClosingWritesConfigAndItsHandAddedKeys) {
  pasta.Write("config.ini", "[General]\nCursorMode=IR\nMinhaChave=42\n[Extra]\nx=1\n[Motion]\nBaseZ=150\n");
  Abre();
  EsperaQuadros(3);
  form->close();
  EXPECT_FALSE(form->FrameTimer().isActive());
  EXPECT_EQ(form->Session().CurrentScene(), nullptr) << "the world is destroyed on close";
  const long quadros = form->Session().FramesRun();
  QTest::qWait(100);
  EXPECT_EQ(form->Session().FramesRun(), quadros) << "no frame after close";
  const std::string ini = pasta.Read("config.ini");
  EXPECT_THAT(ini, HasSubstr("CursorMode=IR"));
  EXPECT_THAT(ini, HasSubstr("MinhaChave=42"));
  EXPECT_THAT(ini, HasSubstr("[Extra]"));
  EXPECT_THAT(ini, HasSubstr("BaseZ=150")) << "no remote: the user's calibration is kept";
  EXPECT_THAT(ini, HasSubstr("[Z]"));
  EXPECT_TRUE(TestUserInterface().erros.empty());
}

TEST_F(Window, AnUnwritableFolderShowsAnErrorAndClosesAnyway) {
  Abre();
  fs::create_directory(pasta / "config.ini");  // not a file: no one can write it, root included
  form->close();
  ASSERT_EQ(TestUserInterface().erros.size(), 1u);
  EXPECT_EQ(TestUserInterface().erros[0],
            "Unable to write to " + (pasta / "config.ini").string() + ": it is a folder, not a file");
  EXPECT_FALSE(form->isVisible());
}

// At the end of a session no one is there to answer a box, and the logout would wait for it: the error
// goes to the log and the window closes.
TEST_F(Window, AtTheEndOfASessionTheSettingsErrorGoesToTheLogWithoutABox) {
  Abre();
  fs::create_directory(pasta / "config.ini");
  ::testing::internal::CaptureStderr();
  form->CloseAtSessionEnd();
  const std::string log = ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(TestUserInterface().erros.empty());
  EXPECT_THAT(log, HasSubstr("Unable to write to " + (pasta / "config.ini").string() + ": it is a folder"));
  EXPECT_FALSE(form->isVisible());
}

TEST_F(Window, ClosingWithUnsavedEditsAsksAndAFailedSaveKeepsTheWindowAndTheEdits) {
  Abre();
  TestEditorDialogs dialogos;
  form->Editor().SetDialogs(dialogos);
  fs::create_directories(pasta / "sub");
  const fs::path arquivo = TTestScene{}.Linha(SphereRow(0.5), {}).Write(pasta / "sub" / "cena.xml");
  form->OpenScene(arquivo);
  ASSERT_TRUE(form->Session().Document().Path() == arquivo);
  form->Session().Document().SetCell(0, TColumn::Massa, 4.0);

  // Cancel keeps the window running.
  form->close();
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(form->FrameTimer().isActive());

  // A save that cannot be written says so; the window stays, with its edits.
  fs::rename(pasta / "sub", pasta / "guardada");
  WriteFile(pasta / "sub", "não é uma pasta");
  dialogos.resposta = TUnsavedAnswer::Save;
  form->close();
  EXPECT_TRUE(form->isVisible());
  ASSERT_EQ(TestUserInterface().erros.size(), 1u);
  EXPECT_THAT(TestUserInterface().erros[0], HasSubstr("cena.xml"));
  EXPECT_TRUE(form->Session().Document().Modified());
  EXPECT_EQ(form->Session().CurrentScene()->Tabela().Real(0, TColumn::Massa), 4.0);

  // Where it can be written, the save goes through and the window closes and writes its settings.
  fs::remove(pasta / "sub");
  fs::rename(pasta / "guardada", pasta / "sub");
  form->close();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(TSceneTable::Read(arquivo).Real(0, TColumn::Massa), 4.0);
  EXPECT_NE(pasta.Read("config.ini"), "");
}

// A carriage return inside a value once made the save throw through the close: no settings written again.
TEST_F(Window, ACarriageReturnInAValueDoesNotCostTheOtherSettings) {
  pasta.Write("config.ini", "[General]\nCursorMode=IR\n[Up]\nType=Keys\nValue=a\rb\n");
  Abre();
  form->close();
  EXPECT_FALSE(form->isVisible());
  EXPECT_TRUE(TestUserInterface().erros.empty());
  const std::string ini = pasta.Read("config.ini");
  EXPECT_THAT(ini, HasSubstr("CursorMode=IR"));
  EXPECT_THAT(ini, HasSubstr("[Z]"));
}

TEST_F(Window, MinimisedAtStartItKeepsRunning) {
  pasta.Write("config.ini", "[General]\nMinimizeAtStartup=1\n");
  form = std::make_unique<TMainForm>(pasta.Path(), TestUserInterface(), &servicos, &desktop);
  form->Show();
  EXPECT_TRUE(form->isMinimized());
  form->OpenScene(pasta / "Cenas" / "queda_livre.xml");
  EsperaQuadros(10);
  EXPECT_LT(form->Session().CurrentScene()->Objetos[0].Posicao.z, 10.0);
}

TEST_F(Window, WithoutX11TheActionsSwitchOffAndTheStatusSaysSoOnce) {
  desktop.SetAvailable(false);
  Abre();
  EXPECT_EQ(form->statusBar()->currentMessage().toStdString(), AvisoSemX11);
  EsperaQuadros(5);
  EXPECT_TRUE(form->FrameTimer().isActive());
}

TEST_F(Window, WithoutTheDeviceLibraryTheTitleStaysForm1) {
  plataforma.SetReady(false);
  Abre();
  EsperaQuadros(10);
  EXPECT_EQ(form->windowTitle(), "Form1");
  EXPECT_FALSE(Menu("Configurações")->isEnabled());
  EXPECT_TRUE(TestUserInterface().erros.empty());
}

// The camera from the panel as a user drives it: mouse drags and keys go to the panel window, the camera
// turns with the horizon level and zooms as the remote's "1" would.
TEST_F(Window, MouseAndKeysTurnLevelAndZoomAsTheRemoteDoes) {
  Abre();
  QWindow* painel = form->Panel();
  TCamera esperado;
  QTest::mousePress(painel, Qt::LeftButton, {}, QPoint(400, 300));
  QTest::mouseMove(painel, QPoint(396, 300));  // 4 pixels left: the eye goes 2 degrees to the right
  QTest::mouseRelease(painel, Qt::LeftButton, {}, QPoint(396, 300));
  OrbitLevel(esperado, 0, 2);
  EXPECT_NEAR(NormaVet(SubVet(form->CurrentCamera().Olho, esperado.Olho)), 0, 1e-9);

  QWheelEvent roda(QPointF(400, 300), painel->mapToGlobal(QPointF(400, 300)), {}, QPoint(0, 120),
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(painel, &roda);
  AproximaCamera(esperado, 7.5);
  EXPECT_NEAR(NormaVet(SubVet(form->CurrentCamera().Olho, esperado.Olho)), 0, 1e-9);

  QTest::keyClick(painel, Qt::Key_Up);
  OrbitLevel(esperado, OrbitDegreesPerKey, 0);
  QTest::keyClick(painel, Qt::Key_PageDown);
  AproximaCamera(esperado, -ZoomStep(esperado));
  EXPECT_NEAR(NormaVet(SubVet(form->CurrentCamera().Olho, esperado.Olho)), 0, 1e-9);

  // A right-drag carries the centre and the eye together; the line of sight stays.
  const TVector visada = SubVet(form->CurrentCamera().Centro, form->CurrentCamera().Olho);
  QTest::mousePress(painel, Qt::RightButton, {}, QPoint(400, 300));
  QTest::mouseMove(painel, QPoint(450, 330));
  QTest::mouseRelease(painel, Qt::RightButton, {}, QPoint(450, 330));
  EXPECT_GT(NormaVet(form->CurrentCamera().Centro), 1);
  EXPECT_NEAR(NormaVet(SubVet(SubVet(form->CurrentCamera().Centro, form->CurrentCamera().Olho), visada)), 0,
              1e-9);
  EXPECT_TRUE(painel->isActive()) << "the panel holds the keys";
}

// Opening a scene shows it whole from the start view's direction; Home brings that direction back after the
// mouse has turned the view, and a reload keeps the view the class was looking at.
TEST_F(Window, OpeningAndHomeFrameAlongTheStartingDirection) {
  Abre();
  TTestScene c;
  const TVector centros[] = {{-150, 0, 1}, {200, 80, 1}, {0, -120, 30}, {20, 20, 90}};
  for (const TVector& p : centros)
    c.Linha(SphereRow(1),
            {{TColumn::X, p.x}, {TColumn::Y, p.y}, {TColumn::Z, p.z}, {TColumn::TemGravidade, false}});
  const TVector inicial = NormalizaVet(SubVet(TCamera{}.Centro, TCamera{}.Olho));
  const auto direcao = [&] {
    return NormalizaVet(SubVet(form->CurrentCamera().Centro, form->CurrentCamera().Olho));
  };
  const auto todosVisiveis = [&] {
    int n = 0;
    for (const TVector& p : centros)
      n += InsidePanel(ProjectToPanel(form->CurrentCamera(), p, 769, 610), 769, 610);
    return n == 4;
  };
  form->OpenScene(c.Write(pasta / "longe.xml"));
  EXPECT_TRUE(todosVisiveis());
  EXPECT_NEAR(NormaVet(SubVet(direcao(), inicial)), 0, 1e-9);

  for (int k = 0; k < 6; ++k) QTest::keyClick(form->Panel(), Qt::Key_Right);
  const TCamera girada = form->CurrentCamera();
  form->ReloadScene();
  EXPECT_NEAR(NormaVet(SubVet(form->CurrentCamera().Olho, girada.Olho)), 0, 1e-9)
      << "a reload keeps the view";
  QTest::keyClick(form->Panel(), Qt::Key_Home);
  EXPECT_TRUE(todosVisiveis());
  EXPECT_NEAR(NormaVet(SubVet(direcao(), inicial)), 0, 1e-9);
}

// A pendulum's anchor and the Atwood machine's pulley are in the picture after Home, though no row draws
// them.
TEST_F(Window, HomeFramesTheAnchorsAndThePulley) {
  Abre();
  for (const char* amostra : {"pendulo_simples.xml", "pendulo_duplo.xml", "maquina_atwood.xml"}) {
    form->OpenScene(pasta / "Cenas" / amostra);
    QTest::keyClick(form->Panel(), Qt::Key_Home);
    const TScene* cena = form->Session().CurrentScene();
    ASSERT_TRUE(cena != nullptr && cena->Mundo) << amostra;
    const auto formas = cena->Mundo->Links().Shapes();
    ASSERT_FALSE(formas.empty()) << amostra;
    const QSize tamanho = form->Panel()->size();
    for (const TLinkSet::TLinkShape& f : formas)
      for (const TVector& p : f.Points)
        EXPECT_TRUE(InsidePanel(ProjectToPanel(form->CurrentCamera(), p, tamanho.width(), tamanho.height()),
                                tamanho.width(), tamanho.height()))
            << amostra << ": " << p.x << ' ' << p.y << ' ' << p.z;
  }
}

// Space, ".", Backspace and Ctrl+R as a user presses them, with the focus in the panel or elsewhere in the
// window: each acts once.
TEST_F(Window, PauseStepAndRestartFromTheKeyboard) {
  Abre();
  form->ReloadScene();
  EXPECT_EQ(form->statusBar()->currentMessage(), "Nenhuma cena aberta para reiniciar");
  const fs::path arquivo = pasta / "Cenas" / "queda_livre.xml";
  form->OpenScene(arquivo);
  EXPECT_TRUE(form->statusBar()->currentMessage().isEmpty()) << "a notice goes with the scene change";
  EXPECT_EQ(form->Session().Path(), arquivo);
  const double z0 = form->Session().CurrentScene()->Objetos[0].Posicao.z;
  EsperaQuadros(10);
  QTest::keyClick(form->Panel(), Qt::Key_Space);
  ASSERT_TRUE(form->Session().Control().Paused());
  EXPECT_EQ(form->StatusPanel()->text(), "Pausado");
  EsperaQuadros(2);
  const double z = form->Session().CurrentScene()->Objetos[0].Posicao.z;
  const double t = form->Session().FrameState().SimulatedTime;
  EXPECT_LT(z, z0);
  const long desenhados = form->Panel()->PicturesDrawn();
  EsperaQuadros(10);
  EXPECT_EQ(form->Session().CurrentScene()->Objetos[0].Posicao.z, z) << "paused, the ball hangs";
  EXPECT_LE(form->Panel()->PicturesDrawn(), desenhados + 1) << "and the still picture is not drawn again";
  QTest::keyClick(form->Panel(), Qt::Key_Left);
  EsperaQuadros(2);
  EXPECT_GT(form->Panel()->PicturesDrawn(), desenhados) << "the view turned: drawn again";

  QTest::keyClick(form->Panel(), Qt::Key_Period);
  EsperaQuadros(3);
  EXPECT_DOUBLE_EQ(form->Session().FrameState().SimulatedTime, t + 0.01);
  EXPECT_LT(form->Session().CurrentScene()->Objetos[0].Posicao.z, z);

  QTest::keyClick(form->Panel(), Qt::Key_Backspace);
  EXPECT_EQ(form->Session().CurrentScene()->Objetos[0].Posicao.z, z0) << "the start state again";
  EXPECT_EQ(form->Session().FrameState().SimulatedTime, 0);
  EXPECT_TRUE(form->Session().Control().Paused());

  // A broken file on reload: the error is told and the running scene stays.
  pasta.Write("Cenas/queda_livre.xml", "<DATAPACKET><ROWDATA><ROW");
  QTest::keyClick(form.get(), Qt::Key_R, Qt::ControlModifier);
  ASSERT_EQ(TestUserInterface().erros.size(), 1u);
  EXPECT_THAT(TestUserInterface().erros[0], HasSubstr("queda_livre.xml"));
  ASSERT_EQ(form->Session().CurrentScene()->Objetos.size(), 1u);
  EXPECT_EQ(form->Session().CurrentScene()->Objetos[0].Posicao.z, z0);

  form->menuBar()->setFocus();  // the focus away from the panel: the keys still reach the menu
  QTest::keyClick(form.get(), Qt::Key_Space);
  EXPECT_FALSE(form->Session().Control().Paused());
  EXPECT_TRUE(form->StatusPanel()->text().isEmpty());
  EsperaQuadros(5);
  EXPECT_LT(form->Session().CurrentScene()->Objetos[0].Posicao.z, z0);

  QLabel* velocidade = form->statusBar()->findChild<QLabel*>("velocidade");
  ASSERT_NE(velocidade, nullptr);
  EXPECT_EQ(velocidade->text(), "Velocidade: 1×");
  QTest::keyClick(form->Panel(), Qt::Key_BracketLeft);
  QTest::keyClick(form->Panel(), Qt::Key_BracketLeft);
  EXPECT_EQ(form->Session().Control().SpeedDivisor(), 4);
  EXPECT_EQ(velocidade->text(), "Velocidade: ¼×");
  QTest::keyClick(form->Panel(), Qt::Key_BracketRight);
  EXPECT_EQ(velocidade->text(), "Velocidade: ½×");
}

// The window for a projector: it starts at its old size, grows, and the picture keeps its shape and centre.
TEST_F(Window, TheWindowGrowsAndGoesFullScreenAndThePictureFollowsThePanel) {
  Abre();
  EXPECT_TRUE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
  TTestScene c;
  c.Linha(SphereRow(5), {{TColumn::Z, 6.0},
                         {TColumn::R, 230.0},
                         {TColumn::G, 30.0},
                         {TColumn::B, 230.0},
                         {TColumn::TemGravidade, false}});
  form->OpenScene(c.Write(pasta / "bola.xml"));
  form->CurrentCamera() = TCamera{};  // the ball seen from afar, as round as the view makes it
  form->resize(1280, 800 + form->height() - 610);
  ASSERT_TRUE(Espera([&] { return form->Panel()->size() == QSize(1280, 800); })) << form->Panel()->width();
  EsperaQuadros(3);
  form->Panel()->RequestCapture();
  EsperaQuadros(2);
  const QImage imagem = form->Panel()->Captura();
  ASSERT_EQ(imagem.size(), QSize(1280, 800));
  QRect bola;
  for (int y = 0; y < imagem.height(); ++y)
    for (int x = 0; x < imagem.width(); ++x) {
      const QColor p(imagem.pixel(x, y));
      if (p.red() > 60 && p.blue() > 60 && p.green() < p.red() / 2) bola |= QRect(x, y, 1, 1);
    }
  // The ball lands where the 60 degree view of the larger panel puts it, and round.
  const TPanelPoint centro = ProjectToPanel(form->CurrentCamera(), {0, 0, 6}, 1280, 800);
  EXPECT_NEAR(bola.center().x(), centro.x, 4);
  EXPECT_NEAR(bola.center().y(), centro.y, 4);
  EXPECT_NEAR(double(bola.width()) / bola.height(), 1.0, 0.05) << bola.width() << "x" << bola.height();

  QTest::keyClick(form->Panel(), Qt::Key_F11);
  EXPECT_TRUE(form->isFullScreen());
  QTest::keyClick(form->Panel(), Qt::Key_F11);
  EXPECT_FALSE(form->isFullScreen());
}

// Every action with keys is in the help, under its key's Portuguese name, and the help's menu comes last.
TEST_F(Window, HelpListsEveryKeyOfTheMenus) {
  Abre();
  const QString ajuda = KeysAndMouseText(*form->menuBar());
  EXPECT_TRUE(ajuda.contains("Espaço: Simulação → Pausar/Continuar")) << ajuda.toStdString();
  EXPECT_TRUE(ajuda.contains("Ctrl+R ou Backspace: Simulação → Reiniciar cena"));
  int comTeclas = 0;
  for (const QAction* menu : form->menuBar()->actions())
    if (menu->menu())
      for (const QAction* a : menu->menu()->actions())
        if (!a->shortcuts().isEmpty()) {
          ++comTeclas;
          EXPECT_TRUE(ajuda.contains(a->text().remove('&'))) << a->text().toStdString();
        }
  EXPECT_GE(comTeclas, 7);
  EXPECT_EQ(form->menuBar()->actions().last()->text(), "Ajuda");
  ASSERT_NE(Menu("Teclas e mouse"), nullptr);
  ASSERT_NE(Menu("Sobre o Vireta"), nullptr);
}

TEST_F(Window, ReadyLessonsOpenTheirSceneAndGuide) {
  Abre();
  QMenu* aulas = Menu("Aulas prontas")->menu();
  ASSERT_NE(aulas, nullptr);
  QStringList titulos;
  for (const QAction* a : aulas->actions()) titulos << a->text();
  EXPECT_GE(titulos.size(), 6);
  ASSERT_TRUE(titulos.contains("Lançamento oblíquo")) << titulos.join(", ").toStdString();
  EXPECT_TRUE(titulos.contains("Máquina de Atwood")) << "a person's name keeps its capital";
  aulas->actions()[titulos.indexOf("Lançamento oblíquo")]->trigger();
  EXPECT_EQ(form->Session().Path().filename(), "lancamento_obliquo.xml");
  auto* guia = form->findChild<QDialog*>("guia");
  ASSERT_NE(guia, nullptr);
  EXPECT_TRUE(guia->isVisible());
  EXPECT_EQ(guia->windowTitle(), "Guia: Lançamento oblíquo");
  EXPECT_TRUE(guia->findChild<QTextBrowser*>()->toPlainText().contains("A pergunta"));
  guia->close();
}

class WindowWithRemote : public Window {
 protected:
  void Conecta() {
    Abre();
    caminho = plataforma.Plug(remoto);
    ASSERT_TRUE(Espera([&] { return form->windowTitle() == "Form1" && Menu("Configurações")->isEnabled(); }));
    // A remote at rest has been reporting before any button is pressed, as a real one streams its reports:
    // the frames have seen its accelerometer.
    remoto.SetAccel(128, 128, 154);
    Envia(0);
    EsperaQuadros(2);
  }
  // One report with these buttons, once the remote has taken in the set-up's report mode; then the window
  // must show them. Sending once, not until the state matches, lets a remote that the window has silenced
  // (a mode without the accelerometer, reports paused) show as a failure.
  void Envia(uint16_t botoes) {
    ASSERT_TRUE(Espera([&] { return remoto.ReportMode() == 0x33 || remoto.ReportMode() == 0x37; }));
    remoto.SetButtons(botoes);
    ASSERT_TRUE(remoto.SendDataReport());
    ASSERT_TRUE(Espera([&] {
      const TWiimote& w = form->Remote().Link().Wiimote();
      for (int b = ButtonUp; b <= ButtonTwo; ++b)
        if (w.ButtonState[b].Down != bool(botoes & WiimoteButtons[b].Mask)) return false;
      return w.AccelZ == remoto.Accel()[2];
    }));
  }
  // One ball the user may lift, at the pointer's start place, without gravity.
  void AbreBolaNaOrigem() {
    TTestScene c;
    c.Linha(SphereRow(0.5), {{TColumn::Z, 0.2},
                             {TColumn::ODEMove, true},
                             {TColumn::UserMove, true},
                             {TColumn::MoveZ, true},
                             {TColumn::TemGravidade, false}});
    form->OpenScene(c.Write(pasta / "bola.xml"));
  }
  // Plays the reports a recorded session read from its remote into the window, at their times, as the
  // virtual remote's own; the rest of the protocol (set-up, status) the virtual remote answers live.
  // `aCada` runs after each report.
  void Reproduz(const std::string& nome, const std::function<void()>& aCada) {
    const fs::path arquivo = fs::path(VIRETA_SOURCE_DIR) / "tests" / "wiimote" / "sessions" / nome;
    std::ifstream entrada(arquivo);
    ASSERT_TRUE(entrada) << arquivo;
    const std::vector<TRecordedReport> relatorios = ReadRecording(entrada, arquivo.string());
    // Paced as recorded, but no pause lasts more than a second, however far ahead the next time is.
    const std::vector<uint32_t> quando = ReplaySchedule(relatorios, 1000);
    QElapsedTimer relogioReal;
    relogioReal.start();
    int dados = 0;
    for (size_t i = 0; i < relatorios.size(); ++i) {
      const TRecordedReport& r = relatorios[i];
      if (r.Direction != '<' || r.Bytes[0] < 0x30 || r.Bytes[0] > 0x3F) continue;
      while (relogioReal.elapsed() < quando[i]) QTest::qWait(1);
      remoto.SendRaw(r.Bytes);
      ++dados;
      aCada();
    }
    ASSERT_GT(dados, 100) << "a session of a few seconds at about 100 reports a second";
  }
  TVirtualWiimote remoto;
  std::string caminho;
};

// A session recorded from a remote (here the strict virtual one): the ball is grabbed, carried and let go.
TEST_F(WindowWithRemote, ARecordedSessionGrabsCarriesAndLetsGo) {
  Conecta();
  AbreBolaNaOrigem();
  const double zInicial = form->Session().CurrentScene()->Objetos[0].Posicao.z;
  bool pegou = false;
  double zMaisLonge = 0;
  auto observa = [&] {
    const TObjetoCena& bola = form->Session().CurrentScene()->Objetos[0];
    pegou = pegou || bola.Agarrado;
    if (bola.Agarrado) zMaisLonge = std::max(zMaisLonge, std::abs(bola.Posicao.z - zInicial));
  };
  Reproduz("grab_carry_throw.txt", observa);
  // The window may still be handing the last reports over (a slow machine, a sanitizer build).
  EXPECT_TRUE(Espera([&] {
    observa();
    return pegou && !form->Session().CurrentScene()->Objetos[0].Agarrado &&
           !form->Session().FrameState().Remote.Grab;
  }));
  EXPECT_TRUE(pegou);
  EXPECT_GT(zMaisLonge, 0.1) << "carried with the pointer";
}

// A session with the IR camera and the Nunchuk: the desktop pointer goes where the dots say, and the
// stick pushed fully left reads as full deflection.
TEST_F(WindowWithRemote, ARecordedSessionWithInfraredAndNunchukMovesThePointer) {
  pasta.Write("config.ini", "[General]\nCursorMode=IR\nEnableCursorAtStartup=1\n");
  remoto.PlugExtension(true);
  Conecta();
  ASSERT_TRUE(Espera([&] { return form->Remote().Link().Wiimote().ExtensionConnected; }));
  desktop.Take();
  Reproduz("pointer_ir_nunchuk.txt", [] {});
  const TWiimote& w = form->Remote().Link().Wiimote();
  // The window may still be handing the last reports over (a slow machine, a sanitizer build).
  EXPECT_TRUE(Espera([&] {
    return w.IRMidX == 700 && w.NunchukStickX == NunchukLowest && !w.ButtonState[ButtonC].Down;
  })) << w.IRMidX
      << " " << w.NunchukStickX;
  // C held for a moment: its default action, the right mouse button, went down and up.
  const std::string feito = desktop.Take();
  EXPECT_NE(feito.find("+right"), std::string::npos) << feito;
  EXPECT_NE(feito.find("-right"), std::string::npos) << feito;
  // The pointer glides a sixth of the way each tick towards x = 1024 * (1024 - 700) / 1024.
  EXPECT_TRUE(Espera([&] { return std::abs(desktop.CursorPos().X - 324) <= 6; })) << desktop.CursorPos().X;
}

TEST_F(WindowWithRemote, ConnectingShowsTheBatteryAndTheButtonsTurnTheCamera) {
  remoto.SetBattery(0x64);
  Conecta();
  for (TRemoteTimer t :
       {TRemoteTimer::Cursor, TRemoteTimer::Draw, TRemoteTimer::Repeat, TRemoteTimer::Battery})
    EXPECT_TRUE(form->Timer(t).isActive());
  EXPECT_TRUE(Espera([&] { return form->BatteryPanel()->text() == "Bateria: 50%"; }))
      << form->BatteryPanel()->text().toStdString();
  EXPECT_TRUE(form->BatteryPanel()->isVisible());
  EXPECT_TRUE(form->Session().FrameState().PointerShown);
  const TVector olho = form->CurrentCamera().Olho;
  Envia(0x0200);  // "Right" held: the eye orbits every 50 ms
  EXPECT_TRUE(Espera([&] { return form->CurrentCamera().Olho.x < olho.x - 1; }));
  Envia(0);

  plataforma.Unplug(caminho);
  EXPECT_TRUE(Espera([&] { return form->windowTitle() == "Wii Remote não detectado"; }));
  EXPECT_FALSE(form->Timer(TRemoteTimer::Cursor).isActive());
  EXPECT_FALSE(form->Timer(TRemoteTimer::Draw).isActive());
  EXPECT_FALSE(Menu("Configurações")->isEnabled());
  EXPECT_FALSE(form->BatteryPanel()->isVisible());
  EXPECT_FALSE(form->Session().FrameState().PointerShown) << "the pointer goes with the remote";
  EXPECT_TRUE(form->FrameTimer().isActive()) << "the sandbox runs on without a remote";
}

TEST_F(WindowWithRemote, APlusBGrabsAnObjectAndRumblesWithTheMark) {
  Conecta();
  AbreBolaNaOrigem();
  Menu("ReaçãoHaptica")->trigger();
  Envia(0x0008 | 0x0004);
  EXPECT_TRUE(Espera([&] { return form->Session().CurrentScene()->Objetos[0].Agarrado; }));
  EXPECT_TRUE(Espera([&] { return remoto.LedByte() == 0x91; })) << int(remoto.LedByte());
  EXPECT_EQ(form->Session().CurrentScene()->Objetos[0].Posicao.z, 0.0)
      << "carried to the pointer at the origin";
  Envia(0x0008);
  EXPECT_TRUE(Espera([&] { return !form->Session().CurrentScene()->Objetos[0].Agarrado; }));
  EXPECT_TRUE(Espera([&] { return remoto.LedByte() == 0x90; }));
}

// A remote lost in the middle of a grab lets go: the object stays where it was, at rest, not thrown, and
// no longer follows the pointer.
TEST_F(WindowWithRemote, ARemoteLostWhileHoldingLetsGoInPlace) {
  Conecta();
  AbreBolaNaOrigem();
  Menu("ReaçãoHaptica")->trigger();
  Envia(0x0008 | 0x0004);
  ASSERT_TRUE(Espera([&] { return form->Session().CurrentScene()->Objetos[0].Agarrado; }));
  ASSERT_TRUE(Espera([&] { return remoto.LedByte() == 0x91; }));
  remoto.SetAccel(200, 60, 154);  // a swing the throw would have turned into speed
  remoto.SwitchOff();
  plataforma.Unplug(caminho);
  ASSERT_TRUE(Espera([&] { return form->windowTitle() == "Wii Remote não detectado"; }));
  const TObjetoCena& bola = form->Session().CurrentScene()->Objetos[0];
  EXPECT_FALSE(bola.Agarrado);
  EXPECT_FALSE(form->Session().FrameState().Remote.Grab);
  const TVector ondeEstava = bola.Posicao;
  EsperaQuadros(10);
  // The pointer put it half into the floor, which pushes it out gently; a throw of that swing would be
  // tens of metres a second.
  EXPECT_LT(NormaVet(SubVet(form->Session().CurrentScene()->Objetos[0].Posicao, ondeEstava)), 0.1);
  const dReal* v = dBodyGetLinearVel(form->Session().CurrentScene()->Corpos[0]);
  EXPECT_LT(std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]), 1.0);

  // Back again: nothing is held, so its first LED report has the rumble off.
  remoto.SwitchOn();
  caminho = plataforma.Plug(remoto);
  ASSERT_TRUE(Espera([&] { return form->windowTitle() == "Form1"; }));
  EXPECT_TRUE(Espera([&] { return remoto.LedByte() == 0x90 && !remoto.Rumble(); })) << int(remoto.LedByte());
}

// In Vireta's own window the remote's buttons do their own work and type no keys into it: Home does not
// reload the scene (BackSpace), and the cross pad turns the camera at the draw timer's pace only.
TEST_F(WindowWithRemote, HomeAndTheCrossTypeNoKeysIntoTheProgramsOwnWindow) {
  Conecta();
  form->OpenScene(pasta / "Cenas" / "queda_livre.xml");
  ASSERT_TRUE(Espera([&] { return form->OwnWindowActive(); }));
  desktop.Take();
  EsperaQuadros(20);
  const double tempo = form->Session().FrameState().SimulatedTime;
  Envia(0x0080);  // Home
  Envia(0);
  const TVector olho = form->CurrentCamera().Olho;
  Envia(0x0200);  // Right, held
  EXPECT_TRUE(Espera([&] { return form->CurrentCamera().Olho.x < olho.x - 1; }));
  Envia(0);
  EXPECT_EQ(desktop.Take(), "") << "no key went to the desktop, so none to this window";
  EXPECT_GT(form->Session().FrameState().SimulatedTime, tempo) << "the scene was not reloaded";
}

TEST_F(WindowWithRemote, TheRemotesButtonsDriveTheDesktop) {
  pasta.Write("config.ini", "[Home]\nType=Cursor ON/OFF\n");
  Conecta();
  // Nothing to say about the remote (a loaded machine may still say that the world runs behind).
  const QString aviso = form->statusBar()->currentMessage();
  EXPECT_TRUE(aviso.isEmpty() || aviso == "Simulação mais lenta que o tempo real") << aviso.toStdString();
  // Another program's window has the keyboard: the keys go to it.
  QWidget outro;
  outro.show();
  outro.activateWindow();
  ASSERT_TRUE(Espera([&] { return !form->OwnWindowActive(); }));
  desktop.Take();
  Envia(0x0800);  // "Up": the key "Up" by default
  Envia(0);
  EXPECT_EQ(desktop.Take(), "+Up -Up");
  // "Home", set to "Cursor ON/OFF", switches the desktop pointer on (tap) and off (tap), with its timer.
  Envia(0x0080);
  Envia(0);
  EXPECT_TRUE(form->Timer(TRemoteTimer::Motion).isActive());
  Envia(0x0080);
  Envia(0);
  EXPECT_FALSE(form->Timer(TRemoteTimer::Motion).isActive());
}

// A scene load sends the remote nothing: the pointer and a throw keep their accelerometer, and without a
// remote the caption keeps saying that none is held.
TEST_F(WindowWithRemote, OpeningASceneLeavesTheRemoteAlone) {
  Abre();
  AbreBolaNaOrigem();
  EsperaQuadros(2);
  EXPECT_EQ(form->windowTitle(), "Wii Remote não detectado");

  caminho = plataforma.Plug(remoto);
  ASSERT_TRUE(Espera([&] { return form->windowTitle() == "Form1"; }));
  // The remote's own set-up (and the frame's first LED byte) is done before the load is watched.
  ASSERT_TRUE(Espera([&] {
    const TWiimoteLink& link = form->Remote().Link();
    return link.Answered() && !link.SetUpPending() && link.LedByte() >= 0;
  }));
  Envia(0);
  EsperaQuadros(2);
  remoto.Drain();
  remoto.ClearReceived();
  AbreBolaNaOrigem();
  remoto.Drain();
  std::string recebidos;
  for (const auto& r : remoto.Received())
    for (uint8_t b : r.Bytes) recebidos += std::to_string(b) + ' ';
  EXPECT_EQ(remoto.ReceivedCount(), 0u) << recebidos;
  EXPECT_EQ(remoto.ReportMode(), 0x33);
  remoto.SetAccel(130, 131, 160);
  Envia(0);
}

// The battery text shows whole, and the desktop pointer runs at the pace its step sizes were made for.
TEST_F(WindowWithRemote, BatteryTextFits) {
  remoto.SetBattery(0xC8);
  Conecta();
  ASSERT_TRUE(Espera([&] { return form->BatteryPanel()->text() == "Bateria: 100%"; }));
  QLabel* painel = form->BatteryPanel();
  EXPECT_TRUE(Espera([&] {
    return painel->contentsRect().width() >= painel->fontMetrics().horizontalAdvance(painel->text());
  })) << painel->contentsRect().width();
}

// Synthetic input in a Wayland session reaches only X programs: the status bar says so instead of pretending.
TEST_F(Window, AWaylandSessionIsNamedInTheStatusBar) {
  setenv("WAYLAND_DISPLAY", "wayland-0", 1);
  Abre();
  unsetenv("WAYLAND_DISPLAY");
  EXPECT_EQ(form->statusBar()->currentMessage().toStdString(), AvisoWayland);
  form->ShowNotice(ObjectLeftWorldText(0));
  EXPECT_EQ(form->statusBar()->currentMessage().left(9), "O objeto ") << "a notice starts with a capital";
}

// Programs an "Execute" button started are collected with or without a remote.
TEST_F(Window, FinishedProgramsAreCollectedWithoutARemote) {
  Abre();
  ASSERT_TRUE(form->Remote().Starter().Start("true"));
  EXPECT_TRUE(Espera([&] { return form->Remote().Starter().RunningCount() == 0; }));
}

TEST_F(WindowWithRemote, ClosingReturnsTheRemoteToButtonsMode) {
  Conecta();
  form->close();
  EXPECT_TRUE(Espera([&] { return remoto.LedByte() == 0x80 && remoto.ReportMode() == 0x30; }))
      << int(remoto.LedByte()) << " " << int(remoto.ReportMode());
}

TEST_F(Window, AsksForASwapIntervalOfZero) {
  Abre();
  EXPECT_EQ(QSurfaceFormat::defaultFormat().swapInterval(), 0);
  EXPECT_EQ(form->Panel()->requestedFormat().swapInterval(), 0) << "the swap must never wait for the display";
}

TEST_F(Window, AnEngineErrorStopsTheWorldButNotTheProgram) {
  pasta.Write("config.ini", "[General]\nCursorMode=IR\n");
  Abre();
  form->OpenScene(pasta / "Cenas" / "queda_livre.xml");
  EsperaQuadros(3);
  // A body the engine cannot place: its next collision pass fails inside the engine.
  dBodySetPosition(form->Session().CurrentScene()->Corpos[0], 0, 0, 1e10f);
  EsperaQuadros(5);
  EXPECT_THAT(form->statusBar()->currentMessage().toStdString(), HasSubstr("A simulação parou"));
  EXPECT_TRUE(form->Session().CurrentScene()->Mundo->Broken());
  EXPECT_TRUE(TestUserInterface().erros.empty()) << "one message in the status bar, not a box every frame";
  form->Panel()->RequestCapture();
  EsperaQuadros(2);
  EXPECT_EQ(form->Panel()->Captura().size(), QSize(769, 610)) << "the frame keeps drawing";

  form->OpenScene(pasta / "Cenas" / "queda_livre.xml");
  ASSERT_FALSE(form->Session().CurrentScene()->Mundo->Broken());
  const double z = form->Session().CurrentScene()->Objetos[0].Posicao.z;
  EsperaQuadros(10);
  EXPECT_LT(form->Session().CurrentScene()->Objetos[0].Posicao.z, z) << "the next load steps again";

  form->close();
  EXPECT_THAT(pasta.Read("config.ini"), HasSubstr("CursorMode=IR"));
  EXPECT_TRUE(TestUserInterface().erros.empty());
}

// The mouse on the panel, as a user moves it: the start camera looks at the origin from 75 m, so an object
// at (10, 10, 5), 60 m from the eye on that line, is under the panel's centre, clear of the ground; a pixel
// of drag is 1 / MousePixelsPerMetre m across the screen on the front of a ball of radius 3.
class WindowMouse : public Window {
 protected:
  static constexpr double MousePixelsPerMetre = 610 / (2 * 57 * 0.57735026918962573);
  void Abre(const TTestScene& cena) {
    Window::Abre();
    form->OpenScene(cena.Write(pasta / "Cenas" / "mouse.xml"));
    // The start view, whose scale the drags below are measured in, rather than the scene framed.
    form->CurrentCamera() = TCamera{};
    EsperaQuadros(2);
  }
  void Press() { QTest::mousePress(form->Panel(), Qt::LeftButton, {}, at_ = QPoint(384, 305), 10); }
  void Drag(int dx, int dy, int n) {
    for (int i = 0; i < n; ++i) QTest::mouseMove(form->Panel(), at_ += QPoint(dx, dy), 10);
    EsperaQuadros(3);
  }
  void Release() {
    QTest::mouseRelease(form->Panel(), Qt::LeftButton, {}, at_, 10);
    EsperaQuadros(3);
  }
  const TObjetoCena& Obj(std::size_t i) { return form->Session().CurrentScene()->Objetos.at(i); }
  TVector Moved() { return SubVet(Obj(0).Posicao, Start); }
  static constexpr TVector Start{10, 10, 5};
  // The screen's right from the start camera.
  const TVector right_ = NormalizaVet({-1, 1, 0});
  QPoint at_;
};

TTestScene BallAtTheCentre(bool soZ, bool userMove = true, double velZ = 0) {
  TTestScene t;
  t.Linha(SphereRow(3), {{TColumn::VelZ, velZ},
                         {TColumn::X, 10.0},
                         {TColumn::Y, 10.0},
                         {TColumn::Z, 5.0},
                         {TColumn::ODEMove, true},
                         {TColumn::UserMove, userMove},
                         {TColumn::MoveX, !soZ},
                         {TColumn::MoveY, !soZ},
                         {TColumn::MoveZ, true},
                         {TColumn::R, 200.0},
                         {TColumn::TemGravidade, false}});
  return t;
}

TEST_F(WindowMouse, ADragCarriesAndThrowsWithTheMousesSpeed) {
  Abre(BallAtTheCentre(false));
  Press();
  EXPECT_TRUE(Obj(0).Agarrado);
  EXPECT_EQ(form->Session().Selection().Current(), 0u);
  Drag(5, 0, 10);
  const TVector andou = Moved();
  EXPECT_NEAR(andou.x * right_.x + andou.y * right_.y, 50 / MousePixelsPerMetre, 0.1);
  EXPECT_NEAR(andou.z, 0, 1e-3);
  // 1 px every 10 ms: 4 px in the 50 ms before the release.
  Drag(1, 0, 10);
  Release();
  EXPECT_FALSE(Obj(0).Agarrado);
  const TVector v = Obj(0).VecV;
  EXPECT_NEAR(v.x * right_.x + v.y * right_.y, 4 / MousePixelsPerMetre / 0.05, 0.3);
  EXPECT_NEAR(v.z, 0, 1e-3);

  // A flick far faster than the bound.
  at_ = QPoint(384, 305) + QPoint(int(NormaVet(Moved()) * MousePixelsPerMetre), 0);
  QTest::mousePress(form->Panel(), Qt::LeftButton, {}, at_, 10);
  ASSERT_TRUE(Obj(0).Agarrado);
  Drag(-100, 0, 1);
  Release();
  EXPECT_NEAR(NormaVet(Obj(0).VecV), MaxThrowSpeed, 1e-3);
}

TEST_F(WindowMouse, AFixedObjectIsOnlySelected) {
  TTestScene fixa;
  fixa.Linha(BoxRow(6, 6, 6), {{TColumn::X, Start.x},
                               {TColumn::Y, Start.y},
                               {TColumn::Z, Start.z},
                               {TColumn::ODEMove, true},
                               {TColumn::MoveX, true},
                               {TColumn::TemGravidade, false}});
  Abre(fixa);
  Press();
  Release();
  EXPECT_EQ(form->Session().Selection().Current(), 0u) << "a click selects it";
  // The drag goes on to the camera, which turns the view; the box stays and so does the selection.
  Press();
  Drag(5, -5, 10);
  Release();
  EXPECT_FALSE(Obj(0).Agarrado);
  EXPECT_NEAR(NormaVet(Moved()), 0, 1e-6) << "UserMove is not set";
  EXPECT_EQ(form->Session().Selection().Current(), 0u) << "a drag is no click";
  form->ReloadScene();
  EXPECT_EQ(form->Session().Selection().Current(), 0u) << "the same scene again keeps it";
  form->OpenScene(BallAtTheCentre(false).Write(pasta / "Cenas" / "outra.xml"));
  EXPECT_EQ(form->Session().Selection().Current(), std::nullopt)
      << "another scene's object 0 is another object";
}

TEST_F(WindowMouse, OnlyTheAllowedAxisMoves) {
  Abre(BallAtTheCentre(true));
  Press();
  Drag(5, -5, 10);
  EXPECT_NEAR(Moved().x, 0, 1e-6);
  EXPECT_NEAR(Moved().y, 0, 1e-6);
  // The screen's up from the start camera rises 2 sqrt(2) / 3 of its length.
  EXPECT_NEAR(Moved().z, 50 / MousePixelsPerMetre * 2 * std::sqrt(2.0) / 3, 0.1);
  Release();
}

TEST_F(WindowMouse, PausedADragChangesTheStartingPlace) {
  // A ball the user may not carry: paused, the mouse places it all the same.
  Abre(BallAtTheCentre(false, false));
  form->Session().Control().SetPaused(true);
  Press();
  Drag(5, 0, 10);
  Release();
  // Each edit makes a new table: read the current one every time.
  const auto tabela = [&]() -> const TSceneTable& { return form->Editor().Document().Table(); };
  const TVector inicio{tabela().Real(0, TColumn::X), tabela().Real(0, TColumn::Y),
                       tabela().Real(0, TColumn::Z)};
  const TVector andou = SubVet(inicio, Start);
  EXPECT_NEAR(andou.x * right_.x + andou.y * right_.y, 50 / MousePixelsPerMetre, 0.1);
  EXPECT_NEAR(andou.z, 0, 1e-3);
  EXPECT_TRUE(form->Editor().Document().Modified());
  // The scene starts again from the new start, still paused, with the box selected.
  EXPECT_NEAR(NormaVet(SubVet(Obj(0).Posicao, inicio)), 0, 1e-4);
  EXPECT_TRUE(form->Session().Control().Paused());
  EXPECT_EQ(form->Session().Selection().Current(), 0u);
}

TEST_F(WindowMouse, PausedAClickOnlySelectsAndEnterInTheEditorHandsTheArrowsBackToTheView) {
  Abre(BallAtTheCentre(false, false));
  form->Session().Control().SetPaused(true);
  Press();
  Release();
  EXPECT_EQ(form->Session().Selection().Current(), 0u);
  // Each edit makes a new table: read the current one every time.
  const auto tabela = [&]() -> const TSceneTable& { return form->Editor().Document().Table(); };
  EXPECT_EQ(
      std::tuple(tabela().Real(0, TColumn::X), tabela().Real(0, TColumn::Y), tabela().Real(0, TColumn::Z)),
      std::tuple(10.0, 10.0, 5.0))
      << "a click is not an edit";
  EXPECT_FALSE(form->Editor().Document().Modified());

  // Typed and committed with Enter, the field gives the keys back: the next arrow turns the camera.
  Menu("Editar cena")->trigger();
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  auto* z = qobject_cast<QLineEdit*>(form->Editor().Panel()->Fields()->Editor(TColumn::Z));
  ASSERT_TRUE(z);
  z->setFocus();
  z->selectAll();
  QTest::keyClicks(z, "6,5");
  QTest::keyClick(z, Qt::Key_Return);
  EXPECT_EQ(tabela().Real(0, TColumn::Z), 6.5);
  ASSERT_TRUE(Espera([&] { return QGuiApplication::focusWindow() == form->Panel(); }));
  const TVector olho = form->CurrentCamera().Olho;
  QTest::keyClick(QGuiApplication::focusWindow(), Qt::Key_Up);
  EXPECT_GT(NormaVet(SubVet(form->CurrentCamera().Olho, olho)), 1);
  EXPECT_EQ(z->text(), "6,5");
  EXPECT_EQ(tabela().Real(0, TColumn::Z), 6.5);

  // A click on the empty view (which selects nothing) or a drag of the view takes the keys from a field too,
  // and keeps what was typed there for the object shown.
  const auto digitaSemEnter = [&](const char* texto) {
    // As a click into the field does: the window takes the keys back, and the field has them.
    form->windowHandle()->requestActivate();
    z->setFocus();
    ASSERT_TRUE(Espera([&] {
      return QGuiApplication::focusWindow() == form->windowHandle() && QApplication::focusWidget() == z;
    }));
    z->selectAll();
    QTest::keyClicks(z, texto);
  };
  digitaSemEnter("7");
  QTest::mouseClick(form->Panel(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(Espera([&] { return QGuiApplication::focusWindow() == form->Panel(); }));
  EXPECT_EQ(tabela().Real(0, TColumn::Z), 7);
  EXPECT_EQ(form->Session().Selection().Current(), std::nullopt);
  form->Session().Selection().Set(0);
  digitaSemEnter("8");
  QTest::mousePress(form->Panel(), Qt::RightButton, {}, QPoint(5, 5));
  QTest::mouseMove(form->Panel(), QPoint(25, 5));
  QTest::mouseRelease(form->Panel(), Qt::RightButton, {}, QPoint(25, 5));
  EXPECT_TRUE(Espera([&] { return tabela().Real(0, TColumn::Z) == 8; }));
  QWidget* vista = form->centralWidget()->focusProxy();
  ASSERT_TRUE(vista);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(vista)->text(QAccessible::Name), "Vista 3D");
}

TEST_F(WindowMouse, PausedTheLaunchArrowShowsAndItsTipSetsTheLaunch) {
  Abre(BallAtTheCentre(false, true, 3));
  form->Session().Selection().Set(0);
  EsperaQuadros(2);
  // Pausing alone draws a picture again: the arrow appears without a click or a move.
  const long antes = form->Panel()->PicturesDrawn();
  form->Session().Control().SetPaused(true);
  EsperaQuadros(3);
  EXPECT_GT(form->Panel()->PicturesDrawn(), antes);

  const double w = form->Panel()->width(), h = form->Panel()->height();
  const TVector ponta{Start.x, Start.y, Start.z + 3 * 1.2};
  const TPanelPoint p = ProjectToPanel(form->CurrentCamera(), ponta, w, h);
  form->Panel()->RequestCapture();
  EsperaQuadros(2);
  const QColor alca(form->Panel()->Captura().pixel(int(p.x), int(p.y)));
  EXPECT_GT(std::min({alca.red(), alca.green(), alca.blue()}), 200) << "the white handle on the tip";

  // Dragged 2 m/s to the screen's right (2.4 m of picture, in the plane that faces the camera).
  const TPanelPoint alvo =
      ProjectToPanel(form->CurrentCamera(), SomaVet(ponta, EscalaVet(right_, 2 * 1.2)), w, h);
  QTest::mousePress(form->Panel(), Qt::LeftButton, {}, QPoint(int(p.x), int(p.y)), 10);
  QTest::mouseMove(form->Panel(), QPoint(int(alvo.x), int(alvo.y)), 10);
  EXPECT_THAT(form->statusBar()->currentMessage().toStdString(),
              ::testing::StartsWith("Lançamento: 3,6 m/s"));
  QTest::mouseRelease(form->Panel(), Qt::LeftButton, {}, QPoint(int(alvo.x), int(alvo.y)), 10);
  EsperaQuadros(2);
  // Each edit makes a new table: read the current one every time.
  const auto tabela = [&]() -> const TSceneTable& { return form->Editor().Document().Table(); };
  const TVector v{tabela().Real(0, TColumn::VelX), tabela().Real(0, TColumn::VelY),
                  tabela().Real(0, TColumn::VelZ)};
  EXPECT_NEAR(NormaVet(SubVet(v, SomaVet({0, 0, 3}, EscalaVet(right_, 2)))), 0, 0.15);
  EXPECT_NEAR(NormaVet(SubVet(Obj(0).Posicao, Start)), 0, 1e-4) << "the arrow took the press, not the ball";
  EXPECT_NEAR(NormaVet(SubVet(Obj(0).VecV, v)), 0, 1e-5) << "the scene starts again with the new launch";
  EXPECT_EQ(form->Editor().Panel()->Fields()->Launch()->Editor(TLaunchFields::TPolar::Speed)->text(), "3,6");
  form->Editor().Undo();
  EXPECT_EQ(form->Editor().Document().Table().Real(0, TColumn::VelX), 0);
  EXPECT_EQ(form->Editor().Document().Table().Real(0, TColumn::VelZ), 3);
}

// Seeing and measuring: the export, the screenshots, the overlay and the trails.

// Pixels brighter than the floor's green in `area`: text over the black sky.
int PixelsClaros(const QImage& imagem, const QRect& area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (QColor(imagem.pixel(x, y)).lightness() > 150) ++n;
  return n;
}

int PixelsDiferentes(const QImage& a, const QImage& b, const QRect& area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y)) ++n;
  return n;
}

// A key as the user presses it, to the active window: the menus' keys work there.
void Tecla(TMainForm& form, Qt::Key tecla) {
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  QTest::keyClick(&form, tecla);
}

QImage Quadro(TMainForm& form) {
  form.Panel()->RequestCapture();
  const long alvo = form.Session().FramesRun() + 2;
  EXPECT_TRUE(QTest::qWaitFor([&] { return form.Session().FramesRun() >= alvo; }, 20000));
  return form.Panel()->Captura().convertToFormat(QImage::Format_RGB888);
}

TEST_F(Window, ExportsTheSameCSVAsViretaSimSinceTheLoad) {
  Abre();
  EsperaQuadros(5);
  const fs::path cena = pasta / "Cenas" / "colisao_elastica.xml";
  form->OpenScene(cena);
  EsperaQuadros(40);
  form->FrameTimer().stop();
  const TFrameRecord& registro = form->Measurements().Record();
  ASSERT_EQ(registro.FirstFrame(), 0);
  ASSERT_GE(registro.LastFrame(), 40);

  TestUserInterface().salvarComo = QString::fromStdString((pasta / "dados").string());
  Menu("Exportar dados (CSV)…")->trigger();
  EXPECT_EQ(TestUserInterface().tituloSalvar, "Exportar dados (CSV)");
  const TCommandResult sim = RunCommand(std::string(VIRETA_SIM) + " " + cena.string() + " --frames " +
                                        std::to_string(registro.LastFrame()));
  ASSERT_EQ(sim.status, 0) << sim.err;
  EXPECT_EQ(pasta.Read("dados.csv"), sim.out);
  EXPECT_THAT(form->statusBar()->currentMessage().toStdString(), HasSubstr((pasta / "dados.csv").string()));

  // A folder that cannot take the file: the user is told, and the record is still there.
  TestUserInterface().salvarComo = QString::fromStdString((pasta / "nao" / "existe.csv").string());
  Menu("Exportar dados (CSV)…")->trigger();
  ASSERT_EQ(TestUserInterface().erros.size(), 1u);
  EXPECT_THAT(TestUserInterface().erros[0], HasSubstr("existe.csv"));
  EXPECT_FALSE(registro.Empty());
}

TEST_F(Window, F12PicturesInThePicturesFolderAndAsAChosenFileAreWhatThePanelShows) {
  // A home of its own whose pictures folder is the default one.
  const QByteArray home = qgetenv("HOME"), config = qgetenv("XDG_CONFIG_HOME");
  qputenv("HOME", QByteArray::fromStdString(pasta.Path().string()));
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((pasta / "config").string()));
  fs::create_directory(pasta / "Pictures");
  Abre();
  EsperaQuadros(5);
  Tecla(*form, Qt::Key_F12);
  ASSERT_TRUE(Espera([&] { return !form->Measurements().LastImage().isEmpty(); }));
  const fs::path arquivo = form->Measurements().LastImage().toStdString();
  qputenv("HOME", home);
  config.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", config);
  EXPECT_EQ(arquivo.parent_path(), pasta / "Pictures");
  EXPECT_THAT(arquivo.filename().string(), ::testing::MatchesRegex("cena-[0-9]{8}-[0-9]{6}\\.png"));
  EXPECT_THAT(form->statusBar()->currentMessage().toStdString(), HasSubstr(arquivo.string()));

  // The start-up scene holds still: the next picture read from the framebuffer is the same.
  const QImage salva =
      QImage(QString::fromStdString(arquivo.string())).convertToFormat(QImage::Format_RGB888);
  const QImage tela = Quadro(*form);
  ASSERT_EQ(salva.size(), QSize(769, 610));
  EXPECT_TRUE(salva == tela);

  TestUserInterface().salvarComo = QString::fromStdString((pasta / "foto").string());
  Menu("Salvar imagem…")->trigger();
  ASSERT_TRUE(Espera([&] { return form->Measurements().LastImage().endsWith("foto.png"); }));
  EXPECT_TRUE(
      QImage(QString::fromStdString((pasta / "foto.png").string())).convertToFormat(QImage::Format_RGB888) ==
      tela);
}

TEST_F(Window, InformationAndNamesOverTheFrameAndWithoutThemTheFrameAsBefore) {
  TTestScene t;
  t.Linha(BoxRow(1, 1, 1), {{TColumn::Nome, std::string("Caixa")}, {TColumn::Z, 0.5}, {TColumn::Massa, 1.0}});
  Abre();
  form->OpenScene(t.Write(pasta / "caixa.xml"));
  ASSERT_TRUE(TestUserInterface().erros.empty());
  EsperaQuadros(3);
  const QImage sem = Quadro(*form);

  Tecla(*form, Qt::Key_F2);
  Tecla(*form, Qt::Key_F4);
  ASSERT_TRUE(form->Measurements().Switches().Information);
  ASSERT_TRUE(form->Measurements().Switches().Names);
  const QImage com = Quadro(*form);
  // The panel in the top-left corner, over the black sky; the legend in the bottom-left corner.
  EXPECT_EQ(PixelsClaros(sem, {8, 8, 200, 60}), 0);
  EXPECT_GT(PixelsClaros(com, {8, 8, 200, 60}), 200);
  EXPECT_GT(PixelsDiferentes(sem, com, {8, 450, 150, 150}), 500);
  // The name right of the box, which the camera looks at from the middle of the picture.
  EXPECT_GT(PixelsDiferentes(sem, com, {390, 290, 60, 30}), 40);
  EXPECT_EQ(PixelsDiferentes(sem, com, {500, 350, 200, 200}), 0) << "the rest of the picture untouched";

  // Off again: the picture as it was, so the text pass left no GL state behind.
  Tecla(*form, Qt::Key_F2);
  Tecla(*form, Qt::Key_F4);
  EXPECT_TRUE(Quadro(*form) == sem);
}

TEST_F(Window, ClearingTheSelectedObjectsTrailsAndPlots) {
  Abre();
  form->OpenScene(pasta / "Cenas" / "queda_livre.xml");
  form->Session().Selection().Set(0);
  Tecla(*form, Qt::Key_F3);
  EXPECT_TRUE(form->Measurements().Plots()->isVisible());
  EsperaQuadros(20);
  const TObjetoCena& bola = form->Session().CurrentScene()->Objetos[0];
  ASSERT_FALSE(bola.Rastro.empty());
  EXPECT_GT(form->Measurements().History().LastTime(), 0.1);

  form->FrameTimer().stop();
  Menu("Limpar rastros")->trigger();
  EXPECT_TRUE(bola.Rastro.empty());
  form->FrameTimer().start();
  EsperaQuadros(3);
  EXPECT_FALSE(bola.Rastro.empty()) << "the trail grows again";

  form->Session().Selection().Set(std::nullopt);
  EXPECT_TRUE(form->Measurements().History().Empty()) << "no object, no plot";
}

}  // namespace
