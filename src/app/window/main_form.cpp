#include "app/window/main_form.h"

#include "app/editor/scene_editor.h"
#include "app/measure/measure_tools.h"
#include "app/widgets/gl_panel.h"
#include "app/widgets/user_interface.h"
#include "app/window/camera_input.h"
#include "app/window/help_menu.h"
#include "app/window/menu_check_style.h"
#include "app/window/recent_scenes_menu.h"
#include "app/window/scene_drop.h"
#include "app/window/simulation_menu.h"
#include "app/window/user_folders.h"
#include "common/file_io.h"
#include "input/desktop/timer_intervals.h"
#include "input/settings/ini_file.h"
#include "input/settings/install_folders.h"
#include "scene/scene_loader.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyleFactory>
#include <QVBoxLayout>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int LarguraCliente = 769;
constexpr int AlturaPainel = 610;
constexpr int AlturaStatus = 19;

const QString AvisoMaisLento = QStringLiteral("Simulação mais lenta que o tempo real");
const QString AvisoNadaParaReiniciar = QStringLiteral("Nenhuma cena aberta para reiniciar");

// Restarts the frame timer however the scene command ends, error or not.
class TRestartOnExit {
 public:
  explicit TRestartOnExit(QTimer& t) : t_(t) { t_.stop(); }
  ~TRestartOnExit() { t_.start(); }
  TRestartOnExit(const TRestartOnExit&) = delete;
  TRestartOnExit& operator=(const TRestartOnExit&) = delete;

 private:
  QTimer& t_;
};

}  // namespace

TMainForm::TMainForm(const std::filesystem::path& pastaPrograma, TUserInterface& ui,
                     const TWiiServices* servicosWii, IDesktopInput* desktop)
    : programFolder_(pastaPrograma),
      settingsPlace_(SettingsLocationFor(pastaPrograma)),
      samplesFolder_(FindSamplesFolder(pastaPrograma, InstallFoldersOf(pastaPrograma))),
      ui_(ui),
      session_(settingsPlace_.StartSceneFolder / "Cenas",
               [&ui](const std::string& texto, const std::string& titulo) {
                 ui.ShowNotice(QString::fromStdString(texto), QString::fromStdString(titulo));
               }) {
  setWindowTitle("Form1");
  // The fixed size of old is only where the window starts: a projector wants it larger.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);

  auto* cliente = new QWidget(this);
  auto* layout = new QVBoxLayout(cliente);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  Panel1 = new TGLPanel;
  QWidget* painel = QWidget::createWindowContainer(Panel1, cliente);
  painel->setMinimumSize(160, 120);
  // The panel takes the keys from the start, so the arrows steer the camera without a click first.
  painel->setFocusPolicy(Qt::StrongFocus);
  painel->setAccessibleName("Vista 3D");
  // Whoever hands the keyboard back to the view (the editor, after Enter) gives it to the panel.
  cliente->setFocusProxy(painel);
  painel->setFocus();
  layout->addWidget(painel);
  // Paused, the selected object's launch shows as an arrow whose tip the mouse drags to aim it.
  launchArrow_ = std::make_unique<TLaunchArrowInput>(
      *Panel1, Camera, [this] { return session_.CurrentScene(); },
      TLaunchArrowDrag(
          session_.Selection(), [this] { return session_.Control().Paused(); },
          [this](std::size_t objeto, const TVector& v) { editor_->SetLaunch(static_cast<int>(objeto), v); },
          [this](const TVector& v) { ShowStatusNotice(*this, QString::fromStdString(LaunchText(v))); }));
  Panel1->AddInputHandler(*launchArrow_);
  mouseGrab_ = std::make_unique<TMouseGrabInput>(
      *Panel1, Camera, [this] { return session_.CurrentScene(); }, session_.Selection(),
      session_.FrameState().Mouse);
  Panel1->AddInputHandler(*mouseGrab_);
  // Paused, the mouse arranges the scene: where an object is dropped becomes its start position.
  mouseGrab_->Grab().SetPlacing([this] { return session_.Control().Paused(); },
                                [this](std::size_t objeto, const TVector& posicao) {
                                  // A model's body sits at its mesh's middle; its row places the file's
                                  // origin.
                                  const TVector linha =
                                      RowPlaceOfBody(session_.CurrentScene()->Objetos[objeto], posicao);
                                  editor_->MoveStartPosition(static_cast<int>(objeto), linha);
                                });
  setCentralWidget(cliente);
  cameraInput_ = std::make_unique<TCameraInput>(Camera, *Panel1);
  Panel1->AddInputHandler(*cameraInput_);

  statusPanel_ = new QLabel(this);
  // Wide enough for the one-line notices it shows, the engine's message included.
  statusPanel_->setMinimumWidth(100);
  batteryPanel_ = new QLabel("Bateria", this);
  // The last panel takes the room its text needs, so "Bateria: 100%" shows whole.
  batteryPanel_->setMinimumWidth(50);
  batteryPanel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  statusBar()->setFixedHeight(AlturaStatus);
  statusBar()->setSizeGripEnabled(false);
  statusBar()->addWidget(statusPanel_);
  statusBar()->addPermanentWidget(batteryPanel_);
  batteryPanel_->hide();  // until a remote connects

  CreateMenu();
  CreateSimulationMenu(*this, session_.Control(), *statusPanel_,
                       {[this] { ReloadScene(); },
                        [this] {
                          if (const TScene* cena = session_.CurrentScene()) cameraInput_->FrameScene(*cena);
                        }});
  CreateTimers();
  // The frame timer waits while a scene loads: a notice the loader shows must not see a frame run.
  session_.SetLoadWrapper([this](const std::function<void()>& carrega) {
    TRestartOnExit reinicia(TimerGL);
    carrega();
  });
  session_.OnSceneStarted([this](TSceneSession::TStart como) {
    // What was said of the scene before says nothing of this one.
    statusBar()->clearMessage();
    if (como != TSceneSession::TStart::Opened) return;
    recentScenes_->Opened(session_.Path());
    // Another scene is shown whole; a reload of the same one keeps the view the class was looking at.
    if (session_.Path() != framedScene_) {
      framedScene_ = session_.Path();
      if (const TScene* cena = session_.CurrentScene()) cameraInput_->FrameScene(*cena);
    }
  });
  measure_ = std::make_unique<TMeasureTools>(session_, *this, *FileMenu, *Panel1, ui_);

  // FormCreate, in its order; the GL context and the lights follow when the panel first shows.
  CreateStartScene(settingsPlace_.StartSceneFolder);
  LeConfiguracao(settingsPlace_.SettingsFile, Setting, ButtonAssign);
  // A save of the settings killed part way in an earlier run left its hidden temporary file beside them.
  RemoveLeftoverTemporaryFiles(settingsPlace_.SettingsFile.parent_path());
  if (const QString onde = SettingsLocationNotice(settingsPlace_); !onde.isEmpty())
    ShowStatusNotice(*this, onde);
  new TSceneDropTarget(
      *this, [this](const std::filesystem::path& p) { OpenScene(p); },
      [this](const QString& texto) { ShowStatusNotice(*this, texto); });
  editor_ = std::make_unique<TSceneEditor>(session_, *this, Camera, ui_);
  // A scene saved under a new name is one the class will want again, as one opened is.
  editor_->OnSaved([this](const std::filesystem::path& p) { recentScenes_->Opened(p); });
  editor_->CreateMenu(*menuBar());
  // Last: the help lists the keys of every menu before it.
  CreateHelpMenu(*this, samplesFolder_, [this](const std::filesystem::path& p) { return OpenScene(p); });

  if (!servicosWii) wiiPlatform_ = std::make_unique<TRealWiiPlatform>();
  const TWiiServices wii = servicosWii ? *servicosWii : wiiPlatform_->Services();
  if (!desktop) {
    desktopX_ = std::make_unique<TX11DesktopInput>();
    desktop = desktopX_.get();
  }
  // The controller posts its first device change now; it runs as soon as the event loop does.
  remote_ = std::make_unique<TRemoteSession>(
      session_, Camera, Setting, ButtonAssign,
      TRemoteServices{wii.Enumerator, wii.Monitor, wii.Opener, wii.Clock, wiiLoop_, *desktop, wii.Kernel},
      *this);
  // Said once: the sandbox works on, only the desktop actions are off.
  if (!desktop->Available())
    ShowStatusNotice(*this, AvisoSemX11);
  else if (const char* wayland = std::getenv("WAYLAND_DISPLAY"); wayland && *wayland)
    ShowStatusNotice(*this, AvisoWayland);

  resize(LarguraCliente, menuBar()->sizeHint().height() + AlturaPainel + AlturaStatus);
  if (const QScreen* tela = QGuiApplication::primaryScreen()) {
    const QRect area = tela->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }
  TimerGL.start();
}

TMainForm::~TMainForm() {
  if (!closed_) {
    FormClose();
    FormDestroy();
  }
  // The editor's dock is a child widget; the editor goes first, while the window still stands.
  editor_.reset();
}

void TMainForm::CreateMenu() {
  QMenu* File1 = FileMenu = menuBar()->addMenu("&Arquivo");
  AbrirCena1 = File1->addAction("&Abrir Cena", this, &TMainForm::AbrirCena1Click);
  QAction* antesDeSair = File1->addSeparator();
  Exit1 = File1->addAction("&Sair", this, &TMainForm::Exit1Click);
  recentScenes_ = new TRecentScenesMenu(*File1, antesDeSair, settingsPlace_.SettingsFile, ui_,
                                        [this](const std::filesystem::path& p) { OpenScene(p); });

  Options1 = menuBar()->addMenu("Configurações");
  Options1->setEnabled(false);
  Calibrate1 = Options1->addAction("Calibrar acelerômetro", this, [this] { remote_->Calibrate(); });
  Calibrate1->setVisible(false);
  Preference1 = Options1->addAction("Configurações");
  Preference1->setVisible(false);

  ReacaoHaptica1 = menuBar()->addAction("ReaçãoHaptica");
  ReacaoHaptica1->setCheckable(true);
  ReacaoHaptica1->setChecked(false);
  auto* estilo = new TMenuCheckStyle(QStyleFactory::create(QApplication::style()->name()));
  estilo->setParent(menuBar());
  menuBar()->setStyle(estilo);
  ShowMenuCheckMark(ReacaoHaptica1);
  // Choosing it flips the check mark, which is all it does: the next frame reads the new state.
}

void TMainForm::CreateTimers() {
  TimerGL.setInterval(TimerGLMs);
  TimerGL.setTimerType(Qt::PreciseTimer);
  connect(&TimerGL, &QTimer::timeout, this, &TMainForm::TimerGLTimer);
  for (const TRemoteTimerInfo& info : RemoteTimers()) {
    QTimer& t = Timer(info.Timer);
    t.setInterval(info.Ms);
    t.setTimerType(Qt::PreciseTimer);
    connect(&t, &QTimer::timeout, this, [this, id = info.Timer] { remote_->Tick(id); });
  }
}

void TMainForm::Show() {
  if (Setting.MinimizeAtStartup) {
    showMinimized();
    return;
  }
  show();
  // The keys go to the picture from the start, with a window manager or without one.
  activateWindow();
}

void TMainForm::Exit1Click() {
  close();
}

void TMainForm::AbrirCena1Click() {
  if (!editor_->ConfirmDiscard()) return;
  TRestartOnExit reinicia(TimerGL);
  const QString escolhido =
      ui_.ChooseScene(QString::fromStdString(UserScenesFolder().string()),
                      QString::fromStdString(samplesFolder_.string()), "Arquivo de cena (.xml) (*xml)");
  if (escolhido.isEmpty()) return;
  LoadSceneFile(escolhido.toStdString());
}

bool TMainForm::OpenScene(const std::filesystem::path& arquivo) {
  return editor_->ConfirmDiscard() && LoadSceneFile(arquivo);
}

bool TMainForm::LoadSceneFile(const std::filesystem::path& arquivo) {
  try {
    session_.Open(arquivo);
    return true;
  } catch (const std::exception& e) {
    ui_.ShowError(QString::fromUtf8(e.what()));
    return false;
  }
}

void TMainForm::ReloadScene() {
  if (closed_) return;
  try {
    if (!session_.Reload()) ShowStatusNotice(*this, AvisoNadaParaReiniciar);
  } catch (const std::exception& e) {
    ui_.ShowError(QString::fromUtf8(e.what()));
  }
}

void TMainForm::TimerGLTimer() {
  TScene* cena = session_.CurrentScene();
  if (!cena) return;
  const bool haptico = ReacaoHaptica1->isChecked();
  auto agarrar = [this, cena, haptico](const TVector& P) {
    remote_->GrabStep(*cena, P, haptico);
    mouseGrab_->Grab().Carry(*cena);
  };
  auto aviso = [this](const std::string& texto) { ShowStatusNotice(*this, QString::fromStdString(texto)); };
  const TRemoteReading remoto = remote_->Reading();
  auto quadro = [&](TFrameDrawing& desenho) {
    session_.Frame(desenho, Camera, Setting, remoto, agarrar, aviso);
  };
  // Paused and still, the picture on the panel stays: a paused window rests the machine.
  const bool descansa =
      !Panel1->PictureWanted() && session_.RestingFrame(Camera, Setting, remoto, agarrar, aviso);
  if (!descansa) {
    if (Panel1->DrawFrame(quadro)) {
      session_.PictureDrawn(Camera);
    } else {
      // No picture yet (a window that starts minimised): the world still runs.
      TNullFrameDrawing nulo;
      quadro(nulo);
    }
  }
  // Falling behind is said only over nothing more important: a stopped world's notice must stay readable.
  if (session_.FrameState().BehindRealTime) {
    const QString mostrado = statusBar()->currentMessage();
    if (mostrado.isEmpty() || mostrado == AvisoMaisLento) ShowStatusNotice(*this, AvisoMaisLento, 2000);
  }
  session_.FrameDone();
}

void TMainForm::ShowCaption(const std::string& texto) {
  setWindowTitle(QString::fromStdString(texto));
}

void TMainForm::ShowBattery(const std::string& texto) {
  batteryPanel_->setText(QString::fromStdString(texto));
}

void TMainForm::ShowNotice(const std::string& texto) {
  ShowStatusNotice(*this, QString::fromStdString(texto));
}

void TMainForm::ShowConnected(bool conectado) {
  Options1->setEnabled(conectado);
  batteryPanel_->setVisible(conectado);
}

void TMainForm::RunTimer(TRemoteTimer timer, bool ativo) {
  if (closed_) return;
  QTimer& t = Timer(timer);
  if (ativo)
    t.start();
  else
    t.stop();
}

bool TMainForm::OwnWindowActive() const {
  // This window, or one of its own (a dialog, a floating dock), has the keyboard.
  for (const QWidget* w = QApplication::activeWindow(); w; w = w->parentWidget())
    if (w == this) return true;
  return false;
}

void TMainForm::closeEvent(QCloseEvent* evento) {
  if (!closed_ && !editor_->ConfirmDiscard()) {
    evento->ignore();
    return;
  }
  if (!closed_) {
    FormClose();
    FormDestroy();
  }
  evento->accept();
}

void TMainForm::FormClose() {
  closed_ = true;
  TimerGL.stop();
  for (QTimer& t : remoteTimers_) t.stop();
  Panel1->FinalizaGL();
  session_.Close();
  remote_->Controller().SetOnDeviceChange(nullptr);  // a remote that comes or goes now reaches no one
}

void TMainForm::CloseAtSessionEnd() {
  sessionEnding_ = true;
  close();
}

void TMainForm::ReportClosingError(const QString& texto) {
  if (!sessionEnding_) {
    ui_.ShowError(texto);
    return;
  }
  std::fprintf(stderr, "vireta: %s\n", texto.toUtf8().constData());
  std::fflush(stderr);
}

void TMainForm::FormDestroy() {
  // Nothing from the save may leave the close: the remote's shutdown below must still run.
  try {
    const std::vector<std::string> skipped =
        SalvaConfiguracao(settingsPlace_.SettingsFile, Setting, ButtonAssign);
    if (!skipped.empty()) ReportClosingError(QString::fromUtf8(SkippedSettingsText(skipped)));
    recentScenes_->Save();
  } catch (const std::exception& e) {
    ReportClosingError(QString::fromUtf8(e.what()));
  }
  remote_->Shutdown();
}
