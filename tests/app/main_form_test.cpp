// The real main window in-process under the virtual display: start-up, frames, scenes, the picture, and
// shut-down, with the dialogs answered by the test.

#include "app/main_form.h"
#include "app/application.h"
#include "app/gl_panel.h"
#include "app/measure_tools.h"
#include "app/plots_dock.h"
#include "app/user_interface.h"
#include "input/testing/recording_desktop_input.h"
#include "support/child_process.h"
#include "support/scene_builder.h"
#include "support/temp_folder.h"
#include "support_gl/gl_test_context.h"
#include "wiimote/testing/fake_hid_platform.h"
#include "wiimote/testing/test_main_loop.h"
#include "wiimote/testing/virtual_wiimote.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QSurfaceFormat>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <deque>

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

class InterfaceDeTeste : public TUserInterface {
 public:
  QString ChooseScene(const QString& pasta, const QString& filtro) override {
    pastaPedida = pasta;
    filtroPedido = filtro;
    if (respostas.empty()) return {};
    const QString r = respostas.front();
    respostas.pop_front();
    return r;
  }
  QString ChooseSaveFile(const QString& titulo, const QString&, const QString&) override {
    tituloSalvar = titulo;
    return salvarComo;
  }
  void ShowError(const QString& texto) override { erros.push_back(texto.toStdString()); }
  void ShowNotice(const QString& texto, const QString& titulo) override {
    avisos.push_back((titulo + ": " + texto).toStdString());
  }
  std::deque<QString> respostas;
  QString pastaPedida, filtroPedido;
  QString salvarComo, tituloSalvar;
  std::vector<std::string> erros, avisos;
};

InterfaceDeTeste* uiGlobal = nullptr;

// One application object for the whole run, as in the program.
class AmbienteQt : public ::testing::Environment {
 public:
  void SetUp() override {
    // A write to a virtual remote that went away must come back as an error, not end the tests.
    std::signal(SIGPIPE, SIG_IGN);
    TViretaApplication::SetGLFormat();
    static int argc = 1;
    static char nome[] = "test_window";
    static char* argv[] = {nome, nullptr};
    uiGlobal = new InterfaceDeTeste;
    app_ = new TViretaApplication(argc, argv, *uiGlobal);
  }
  void TearDown() override {
    delete app_;
    delete uiGlobal;
  }

 private:
  TViretaApplication* app_ = nullptr;
};
const auto* const ambiente = ::testing::AddGlobalTestEnvironment(new AmbienteQt);

class Janela : public ::testing::Test {
 protected:
  void SetUp() override {
    *uiGlobal = InterfaceDeTeste{};
    fs::copy(fs::path(VIRETA_SOURCE_DIR) / "Cenas", pasta / "Cenas", fs::copy_options::recursive);
  }
  // The window goes before the platform and any virtual remote it may still be reading.
  void TearDown() override { form.reset(); }
  void Abre() {
    form = std::make_unique<TMainForm>(pasta.Path(), *uiGlobal, &servicos, &desktop);
    form->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    MantemDriverCarregado();
  }
  void EsperaQuadros(long n) {
    const long alvo = form->FramesRun() + n;
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->FramesRun() >= alvo; }, 20000));
  }
  QAction* Menu(const QString& texto) {
    for (QAction* a : form->menuBar()->actions()) {
      if (a->text() == texto) return a;
      if (a->menu())
        for (QAction* b : a->menu()->actions())
          if (b->text() == texto) return b;
    }
    return nullptr;
  }

  template <typename F>
  bool Espera(F condicao) {
    return QTest::qWaitFor(condicao, 20000);
  }

  TFakeHidPlatform plataforma;
  TFakeClock relogio;
  TRecordingDesktopInput desktop;
  TWiiServices servicos{plataforma, plataforma, plataforma, relogio};
  TTempFolder pasta;
  std::unique_ptr<TMainForm> form;
};

TEST_F(Janela, IniciaComMenuStatusETempVazio) {
  Abre();
  EXPECT_TRUE(Espera([&] { return form->windowTitle() == "Wii Remote não detectado"; }))
      << form->windowTitle().toStdString();
  EXPECT_EQ(form->centralWidget()->height() + form->statusBar()->height(), 629);
  EXPECT_EQ(form->Panel()->size(), QSize(769, 610));
  EXPECT_EQ(form->width(), 769);
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
  EXPECT_EQ(TSceneTable::Read(pasta / "Cenas" / "temp.xml").RowCount(), 0);
  EXPECT_TRUE(form->FrameTimer().isActive());
  EXPECT_EQ(form->FrameTimer().interval(), 10);
  EsperaQuadros(10);
  EXPECT_TRUE(uiGlobal->erros.empty());
}

TEST_F(Janela, QuadroDesenhaFundoPretoEPisoVerde) {
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

TEST_F(Janela, AbreCenaPeloMenuECancelarNaoMudaNada) {
  Abre();
  uiGlobal->respostas = {QString::fromStdString((pasta / "Cenas" / "queda_livre.xml").string()), QString()};
  form->AbrirCena1Click();
  EXPECT_EQ(uiGlobal->pastaPedida.toStdString(), (pasta / "Cenas").string());
  EXPECT_EQ(uiGlobal->filtroPedido, "Arquivo de cena (.xml) (*xml)");
  ASSERT_EQ(form->CurrentScene()->Objetos.size(), 1u);
  EXPECT_TRUE(form->FrameTimer().isActive());
  EsperaQuadros(20);
  EXPECT_LT(form->CurrentScene()->Objetos[0].Posicao.z, 10.0) << "the ball falls";

  const TScene* antes = form->CurrentScene();
  const TVector posicao = antes->Objetos[0].Posicao;
  form->AbrirCena1Click();  // cancelled
  EXPECT_TRUE(form->FrameTimer().isActive());
  ASSERT_EQ(form->CurrentScene()->Objetos.size(), 1u);
  EXPECT_LE(form->CurrentScene()->Objetos[0].Posicao.z, posicao.z);
  EXPECT_TRUE(uiGlobal->erros.empty());
}

TEST_F(Janela, CenaRuimMostraOErroEMantemACenaAnterior) {
  Abre();
  form->OpenScene(pasta / "Cenas" / "pilha_caixas.xml");
  ASSERT_EQ(form->CurrentScene()->Objetos.size(), 5u);
  pasta.Write("ruim.xml", "<DATAPACKET><METADATA><FIELDS/></METADATA></DATAPACKET>");
  form->OpenScene(pasta / "ruim.xml");
  ASSERT_EQ(uiGlobal->erros.size(), 1u);
  EXPECT_THAT(uiGlobal->erros[0], HasSubstr("ruim.xml"));
  EXPECT_EQ(form->CurrentScene()->Objetos.size(), 5u);
  EXPECT_TRUE(form->FrameTimer().isActive());
  const long antes = form->FramesRun();
  EsperaQuadros(5);
  EXPECT_GT(form->FramesRun(), antes);
}

TEST_F(Janela, MaterialAusenteAvisaComOTituloDoCarregador) {
  Abre();
  pasta.Write("Cenas/sem.obj", "mtllib nada.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
  TTestScene c;
  c.Linha(ModelRow("sem.obj"));
  form->OpenScene(c.Write(pasta / "Cenas" / "m.xml"));
  ASSERT_EQ(uiGlobal->avisos.size(), 1u);
  EXPECT_THAT(uiGlobal->avisos[0], HasSubstr("Load Model Material: Cannot find the material file : "));
  EXPECT_EQ(form->CurrentScene()->Objetos.size(), 1u);
}

TEST_F(Janela, FecharGravaConfigESuasChavesDeMao) {
  pasta.Write("config.ini", "[General]\nCursorMode=IR\nMinhaChave=42\n[Extra]\nx=1\n");
  Abre();
  EsperaQuadros(3);
  form->close();
  EXPECT_FALSE(form->FrameTimer().isActive());
  EXPECT_EQ(form->CurrentScene(), nullptr) << "the world is destroyed on close";
  const long quadros = form->FramesRun();
  QTest::qWait(100);
  EXPECT_EQ(form->FramesRun(), quadros) << "no frame after close";
  const std::string ini = pasta.Read("config.ini");
  EXPECT_THAT(ini, HasSubstr("CursorMode=IR"));
  EXPECT_THAT(ini, HasSubstr("MinhaChave=42"));
  EXPECT_THAT(ini, HasSubstr("[Extra]"));
  EXPECT_THAT(ini, HasSubstr("BaseZ=0")) << "no remote: the frame zeroed the accelerometer";
  EXPECT_THAT(ini, HasSubstr("[Z]"));
  EXPECT_TRUE(uiGlobal->erros.empty());
}

TEST_F(Janela, PastaSemEscritaMostraErroEFechaMesmoAssim) {
  Abre();
  fs::create_directory(pasta / "config.ini");  // not a file: no one can write it, root included
  form->close();
  ASSERT_EQ(uiGlobal->erros.size(), 1u);
  EXPECT_EQ(uiGlobal->erros[0], "Unable to write to " + (pasta / "config.ini").string());
  EXPECT_FALSE(form->isVisible());
}

TEST_F(Janela, MinimizadaNoInicioContinuaRodando) {
  pasta.Write("config.ini", "[General]\nMinimizeAtStartup=1\n");
  form = std::make_unique<TMainForm>(pasta.Path(), *uiGlobal, &servicos, &desktop);
  form->Show();
  EXPECT_TRUE(form->isMinimized());
  form->OpenScene(pasta / "Cenas" / "queda_livre.xml");
  EsperaQuadros(10);
  EXPECT_LT(form->CurrentScene()->Objetos[0].Posicao.z, 10.0);
}

TEST_F(Janela, SemX11AsAcoesDesligamEOStatusDizUmaVez) {
  desktop.SetAvailable(false);
  Abre();
  EXPECT_EQ(form->StatusPanel()->text().toStdString(), AvisoSemX11);
  EsperaQuadros(5);
  EXPECT_TRUE(form->FrameTimer().isActive());
}

TEST_F(Janela, SemBibliotecaDeDispositivosOTituloFicaForm1) {
  plataforma.SetReady(false);
  Abre();
  EsperaQuadros(10);
  EXPECT_EQ(form->windowTitle(), "Form1");
  EXPECT_FALSE(Menu("Configurações")->isEnabled());
  EXPECT_TRUE(uiGlobal->erros.empty());
}

class JanelaComRemoto : public Janela {
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
      const TWiimote& w = form->Wii().Wiimote();
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
  TVirtualWiimote remoto;
  std::string caminho;
};

TEST_F(JanelaComRemoto, ConectaMostraBateriaEOsBotoesGiramACamera) {
  remoto.SetBattery(0x60);
  Conecta();
  for (TInputTimer t : {TInputTimer::CursorTimer, TInputTimer::DrawTimer, TInputTimer::RepeatTimer,
                        TInputTimer::BatteryTimer})
    EXPECT_TRUE(form->Timer(t).isActive());
  EXPECT_TRUE(Espera([&] { return form->BatteryPanel()->text() == "Bateria: 50%"; }))
      << form->BatteryPanel()->text().toStdString();
  const TVector olho = form->CurrentCamera().Olho;
  Envia(0x0200);  // "Right" held: the eye orbits every 50 ms
  EXPECT_TRUE(Espera([&] { return form->CurrentCamera().Olho.x < olho.x - 1; }));
  Envia(0);

  plataforma.Unplug(caminho);
  EXPECT_TRUE(Espera([&] { return form->windowTitle() == "Wii Remote não detectado"; }));
  EXPECT_FALSE(form->Timer(TInputTimer::CursorTimer).isActive());
  EXPECT_FALSE(form->Timer(TInputTimer::DrawTimer).isActive());
  EXPECT_FALSE(Menu("Configurações")->isEnabled());
  EXPECT_TRUE(form->FrameTimer().isActive()) << "the sandbox runs on without a remote";
}

TEST_F(JanelaComRemoto, AMaisBPegaObjetoEVibraComAMarca) {
  Conecta();
  AbreBolaNaOrigem();
  Menu("ReaçãoHaptica")->trigger();
  Envia(0x0008 | 0x0004);
  EXPECT_TRUE(Espera([&] { return form->CurrentScene()->Objetos[0].Agarrado; }));
  EXPECT_TRUE(Espera([&] { return remoto.LedByte() == 0x91; })) << int(remoto.LedByte());
  EXPECT_EQ(form->CurrentScene()->Objetos[0].Posicao.z, 0.0) << "carried to the pointer at the origin";
  Envia(0x0008);
  EXPECT_TRUE(Espera([&] { return !form->CurrentScene()->Objetos[0].Agarrado; }));
  EXPECT_TRUE(Espera([&] { return remoto.LedByte() == 0x90; }));
}

TEST_F(JanelaComRemoto, RemotoSomeEnquantoSeguraEVoltaParaSoltar) {
  Conecta();
  AbreBolaNaOrigem();
  Envia(0x0008 | 0x0004);
  ASSERT_TRUE(Espera([&] { return form->CurrentScene()->Objetos[0].Agarrado; }));
  plataforma.Unplug(caminho);
  ASSERT_TRUE(Espera([&] { return form->windowTitle() == "Wii Remote não detectado"; }));
  EsperaQuadros(10);
  EXPECT_TRUE(form->CurrentScene()->Objetos[0].Agarrado) << "held until the remote says otherwise";
  caminho = plataforma.Plug(remoto);
  ASSERT_TRUE(Espera([&] { return form->windowTitle() == "Form1"; }));
  Envia(0);
  EXPECT_TRUE(Espera([&] { return !form->CurrentScene()->Objetos[0].Agarrado; }));
}

TEST_F(JanelaComRemoto, BotoesDoRemotoDirigemODesktop) {
  pasta.Write("config.ini", "[Home]\nType=Cursor ON/OFF\n");
  Conecta();
  EXPECT_TRUE(form->StatusPanel()->text().isEmpty());
  desktop.Take();
  Envia(0x0800);  // "Up": the key "Up" by default
  Envia(0);
  EXPECT_EQ(desktop.Take(), "+Up -Up");
  // "Home", set to "Cursor ON/OFF", switches the desktop pointer on (tap) and off (tap), with its timer.
  Envia(0x0080);
  Envia(0);
  EXPECT_TRUE(form->Timer(TInputTimer::MotionTimer).isActive());
  Envia(0x0080);
  Envia(0);
  EXPECT_FALSE(form->Timer(TInputTimer::MotionTimer).isActive());
}

// A scene load sends the remote nothing: the pointer and a throw keep their accelerometer, and without a
// remote the caption keeps saying that none is held.
TEST_F(JanelaComRemoto, OpeningASceneLeavesTheRemoteAlone) {
  Abre();
  AbreBolaNaOrigem();
  EsperaQuadros(2);
  EXPECT_EQ(form->windowTitle(), "Wii Remote não detectado");

  caminho = plataforma.Plug(remoto);
  ASSERT_TRUE(Espera([&] { return form->windowTitle() == "Form1"; }));
  Envia(0);
  remoto.ClearReceived();
  AbreBolaNaOrigem();
  remoto.Drain();
  EXPECT_EQ(remoto.ReceivedCount(), 0u);
  EXPECT_EQ(remoto.ReportMode(), 0x33);
  remoto.SetAccel(130, 131, 160);
  Envia(0);
}

// The battery text shows whole, and the desktop pointer runs at the pace its step sizes were made for.
TEST_F(JanelaComRemoto, BatteryTextFitsAndThePointerTimerRunsEvery10ms) {
  remoto.SetBattery(0xC0);
  Conecta();
  ASSERT_TRUE(Espera([&] { return form->BatteryPanel()->text() == "Bateria: 100%"; }));
  QLabel* painel = form->BatteryPanel();
  EXPECT_TRUE(Espera([&] {
    return painel->contentsRect().width() >= painel->fontMetrics().horizontalAdvance(painel->text());
  })) << painel->contentsRect().width();
  EXPECT_EQ(form->Timer(TInputTimer::MotionTimer).interval(), 10);
}

// Synthetic input in a Wayland session reaches only X programs: the status bar says so instead of pretending.
TEST_F(Janela, AWaylandSessionIsNamedInTheStatusBar) {
  setenv("WAYLAND_DISPLAY", "wayland-0", 1);
  Abre();
  unsetenv("WAYLAND_DISPLAY");
  EXPECT_EQ(form->StatusPanel()->text().toStdString(), AvisoWayland);
  EXPECT_GE(form->StatusPanel()->contentsRect().width(),
            form->StatusPanel()->fontMetrics().horizontalAdvance(form->StatusPanel()->text()));
}

// Programs an "Execute" button started are collected with or without a remote.
TEST_F(Janela, FinishedProgramsAreCollectedWithoutARemote) {
  Abre();
  ASSERT_TRUE(form->Starter().Start("true"));
  EXPECT_TRUE(Espera([&] { return form->Starter().RunningCount() == 0; }));
}

TEST_F(JanelaComRemoto, FecharDevolveORemotoAoModoDeBotoes) {
  Conecta();
  form->close();
  EXPECT_TRUE(Espera([&] { return remoto.LedByte() == 0x80 && remoto.ReportMode() == 0x30; }))
      << int(remoto.LedByte()) << " " << int(remoto.ReportMode());
}

TEST_F(Janela, PedeIntervaloDeTrocaZero) {
  Abre();
  EXPECT_EQ(QSurfaceFormat::defaultFormat().swapInterval(), 0);
  EXPECT_EQ(form->Panel()->requestedFormat().swapInterval(), 0) << "the swap must never wait for the display";
}

TEST_F(Janela, ErroDoMotorParaOMundoMasNaoOPrograma) {
  pasta.Write("config.ini", "[General]\nCursorMode=IR\n");
  Abre();
  form->OpenScene(pasta / "Cenas" / "queda_livre.xml");
  EsperaQuadros(3);
  // A body the engine cannot place: its next collision pass fails inside the engine.
  dBodySetPosition(form->CurrentScene()->Corpos[0], 0, 0, 1e10f);
  EsperaQuadros(5);
  EXPECT_THAT(form->StatusPanel()->text().toStdString(), HasSubstr("A simulação parou"));
  EXPECT_TRUE(form->CurrentScene()->Mundo->Broken());
  EXPECT_TRUE(uiGlobal->erros.empty()) << "one message in the status bar, not a box every frame";
  form->Panel()->RequestCapture();
  EsperaQuadros(2);
  EXPECT_EQ(form->Panel()->Captura().size(), QSize(769, 610)) << "the frame keeps drawing";

  form->OpenScene(pasta / "Cenas" / "queda_livre.xml");
  ASSERT_FALSE(form->CurrentScene()->Mundo->Broken());
  const double z = form->CurrentScene()->Objetos[0].Posicao.z;
  EsperaQuadros(10);
  EXPECT_LT(form->CurrentScene()->Objetos[0].Posicao.z, z) << "the next load steps again";

  form->close();
  EXPECT_THAT(pasta.Read("config.ini"), HasSubstr("CursorMode=IR"));
  EXPECT_TRUE(uiGlobal->erros.empty());
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
  const long alvo = form.FramesRun() + 2;
  EXPECT_TRUE(QTest::qWaitFor([&] { return form.FramesRun() >= alvo; }, 20000));
  return form.Panel()->Captura().convertToFormat(QImage::Format_RGB888);
}

TEST_F(Janela, ExportaCSVIgualAoViretaSimDesdeACarga) {
  Abre();
  EsperaQuadros(5);
  const fs::path cena = pasta / "Cenas" / "colisao_elastica.xml";
  form->OpenScene(cena);
  EsperaQuadros(40);
  form->FrameTimer().stop();
  const TFrameRecord& registro = form->Measurements().Record();
  ASSERT_EQ(registro.FirstFrame(), 0);
  ASSERT_GE(registro.LastFrame(), 40);

  uiGlobal->salvarComo = QString::fromStdString((pasta / "dados").string());
  Menu("Exportar dados (CSV)…")->trigger();
  EXPECT_EQ(uiGlobal->tituloSalvar, "Exportar dados (CSV)");
  const TCommandResult sim = RunCommand(std::string(VIRETA_SIM) + " " + cena.string() + " --frames " +
                                        std::to_string(registro.LastFrame()));
  ASSERT_EQ(sim.status, 0) << sim.err;
  EXPECT_EQ(pasta.Read("dados.csv"), sim.out);
  EXPECT_THAT(form->statusBar()->currentMessage().toStdString(), HasSubstr((pasta / "dados.csv").string()));

  // A folder that cannot take the file: the user is told, and the record is still there.
  uiGlobal->salvarComo = QString::fromStdString((pasta / "nao" / "existe.csv").string());
  Menu("Exportar dados (CSV)…")->trigger();
  ASSERT_EQ(uiGlobal->erros.size(), 1u);
  EXPECT_THAT(uiGlobal->erros[0], HasSubstr("existe.csv"));
  EXPECT_FALSE(registro.Empty());
}

TEST_F(Janela, ImagemF12NaPastaDeImagensEComoArquivoEscolhidoSaoOQueOPainelMostra) {
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

  uiGlobal->salvarComo = QString::fromStdString((pasta / "foto").string());
  Menu("Salvar imagem…")->trigger();
  ASSERT_TRUE(Espera([&] { return form->Measurements().LastImage().endsWith("foto.png"); }));
  EXPECT_TRUE(
      QImage(QString::fromStdString((pasta / "foto.png").string())).convertToFormat(QImage::Format_RGB888) ==
      tela);
}

TEST_F(Janela, InformacoesENomesSobreOQuadroESemElesOQuadroDeAntes) {
  TTestScene t;
  t.Linha(BoxRow(1, 1, 1), {{TColumn::Nome, std::string("Caixa")}, {TColumn::Z, 0.5}, {TColumn::Massa, 1.0}});
  Abre();
  form->OpenScene(t.Write(pasta / "caixa.xml"));
  ASSERT_TRUE(uiGlobal->erros.empty());
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

TEST_F(Janela, LimparRastrosEGraficosDoObjetoSelecionado) {
  Abre();
  form->OpenScene(pasta / "Cenas" / "queda_livre.xml");
  form->Selection().Set(0);
  Tecla(*form, Qt::Key_F3);
  EXPECT_TRUE(form->Measurements().Plots()->isVisible());
  EsperaQuadros(20);
  const TObjetoCena& bola = form->CurrentScene()->Objetos[0];
  ASSERT_FALSE(bola.Rastro.empty());
  EXPECT_GT(form->Measurements().History().LastTime(), 0.1);

  form->FrameTimer().stop();
  Menu("Limpar rastros")->trigger();
  EXPECT_TRUE(bola.Rastro.empty());
  form->FrameTimer().start();
  EsperaQuadros(3);
  EXPECT_FALSE(bola.Rastro.empty()) << "the trail grows again";

  form->Selection().Set(std::nullopt);
  EXPECT_TRUE(form->Measurements().History().Empty()) << "no object, no plot";
}

}  // namespace
