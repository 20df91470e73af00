#include "app/main_form.h"

#include "app/camera_input.h"
#include "app/gl_panel.h"
#include "app/help_menu.h"
#include "app/measure_tools.h"
#include "app/menu_check_style.h"
#include "app/recent_scenes_menu.h"
#include "app/scene_drop.h"
#include "app/scene_editor.h"
#include "app/simulation_menu.h"
#include "app/user_folders.h"
#include "app/user_interface.h"
#include "input/ini_file.h"
#include "scene/scene_loader.h"
#include "scene/scene_table.h"
#include "scene/simulation_step.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QSocketNotifier>
#include <QStatusBar>
#include <QStyleFactory>
#include <QVBoxLayout>

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
    : programFolder_(pastaPrograma), settingsPlace_(SettingsLocationFor(pastaPrograma)), ui_(ui) {
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
  painel->setFocus();
  layout->addWidget(painel);
  mouseGrab_ = std::make_unique<TMouseGrabInput>(
      *Panel1, Camera, [this] { return scene_.get(); }, selection_);
  Panel1->AddInputHandler(*mouseGrab_);
  // Paused, the mouse arranges the scene: where an object is dropped becomes its start position.
  mouseGrab_->Grab().SetPlacing([this] { return state_.Control.Paused(); },
                                [this](std::size_t objeto, const TVector& posicao) {
                                  editor_->MoveStartPosition(static_cast<int>(objeto), posicao);
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

  CreateMenu();
  CreateSimulationMenu(*this, state_.Control, *statusPanel_,
                       {[this] { ReloadScene(); },
                        [this] {
                          if (scene_) cameraInput_->FrameScene(*scene_);
                        }});
  CreateTimers();
  measure_ = std::make_unique<TMeasureTools>(*this, ui_);

  // FormCreate, in its order; the GL context and the lights follow when the panel first shows.
  CreateStartScene(settingsPlace_.StartSceneFolder);
  LeConfiguracao(settingsPlace_.SettingsFile, Setting, ButtonAssign);
  if (const QString onde = SettingsLocationNotice(settingsPlace_); !onde.isEmpty())
    statusBar()->showMessage(onde, 20000);
  new TSceneDropTarget(
      *this, [this](const std::filesystem::path& p) { OpenScene(p); },
      [this](const QString& texto) { statusBar()->showMessage(texto, 8000); });
  scene_ = std::make_unique<TScene>(true);
  editor_ = std::make_unique<TSceneEditor>(*this, ui_);
  editor_->CreateMenu(*menuBar());
  CreateHelpMenu(*this);  // last: the help lists the keys of every menu before it
  state_.PonteiroPos = {};
  state_.Dt = 0;

  // The controller posts its first device change now; it runs as soon as the event loop does.
  if (!servicosWii) wiiPlatform_ = std::make_unique<TRealWiiPlatform>();
  const TWiiServices wii = servicosWii ? *servicosWii : wiiPlatform_->Services();
  HIDCtl = std::make_unique<TJvHidDeviceController>(
      THidServices{wii.Enumerator, wii.Monitor, wii.Opener, handOver_});
  wiiLink_ = std::make_unique<TWiimoteLink>(*HIDCtl, *this, wii.Clock);
  clockMs_ = &wii.Clock;
  if (!desktop) {
    desktopX_ = std::make_unique<TX11DesktopInput>();
    desktop = desktopX_.get();
  }
  desktop_ = std::make_unique<TDesktopControl>(Setting, ButtonAssign, wiiLink_->Wiimote(), *desktop, starter_,
                                               *this, rumble_);
  // Said once: the sandbox works on, only the desktop actions are off.
  if (!desktop->Available())
    statusPanel_->setText(AvisoSemX11);
  else if (const char* wayland = std::getenv("WAYLAND_DISPLAY"); wayland && *wayland)
    statusPanel_->setText(AvisoWayland);
  if (HIDCtl->DeviceChangeFd() >= 0) {
    deviceNotifier_ = new QSocketNotifier(HIDCtl->DeviceChangeFd(), QSocketNotifier::Read, this);
    connect(deviceNotifier_, &QSocketNotifier::activated, this, [this] { HIDCtl->DeviceChangeNotified(); });
  }

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
  QMenu* File1 = menuBar()->addMenu("&Arquivo");
  AbrirCena1 = File1->addAction("&Abrir Cena", this, &TMainForm::AbrirCena1Click);
  QAction* antesDeSair = File1->addSeparator();
  Exit1 = File1->addAction("&Sair", this, &TMainForm::Exit1Click);
  recentScenes_ = new TRecentScenesMenu(*File1, antesDeSair, settingsPlace_.SettingsFile, ui_,
                                        [this](const std::filesystem::path& p) { OpenScene(p); });

  Options1 = menuBar()->addMenu("Configurações");
  Options1->setEnabled(false);
  Calibrate1 = Options1->addAction("Calibrar acelerômetro", this, [this] { CalibrateButtonClick(); });
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
  struct {
    QTimer& t;
    int ms;
  } timers[] = {{DrawTimer, 50},    {MotionTimer, MotionTimerMs},
                {RepeatTimer, 20},  {BatteryTimer, 1000},
                {CursorTimer, 12},  {TimerGL, 10},
                {reapTimer_, 1000}, {wiiTickTimer_, LinkTickMs}};
  for (auto& [t, ms] : timers) {
    t.setInterval(ms);
    t.setTimerType(Qt::PreciseTimer);
  }
  connect(&TimerGL, &QTimer::timeout, this, &TMainForm::TimerGLTimer);
  connect(&CursorTimer, &QTimer::timeout, this, &TMainForm::CursorTimerTimer);
  connect(&DrawTimer, &QTimer::timeout, this, &TMainForm::DrawTimerTimer);
  connect(&BatteryTimer, &QTimer::timeout, this, [this] { wiiLink_->BatteryTimerTimer(); });
  connect(&RepeatTimer, &QTimer::timeout, this,
          [this] { desktop_->RepeatTimerTimer(clockMs_->Milliseconds()); });
  connect(&MotionTimer, &QTimer::timeout, this,
          [this] { desktop_->MotionTimerTimer(clockMs_->Milliseconds()); });
  // Programs started from the remote are collected even after the remote (and so the repeat timer) has
  // gone.
  connect(&reapTimer_, &QTimer::timeout, this, [this] { starter_.ReapFinished(); });
  reapTimer_.start();
  connect(&wiiTickTimer_, &QTimer::timeout, this, [this] {
    if (wiiLink_) wiiLink_->Tick();
  });
  wiiTickTimer_.start();
}

QTimer& TMainForm::Timer(TInputTimer t) {
  switch (t) {
    case TInputTimer::BatteryTimer:
      return BatteryTimer;
    case TInputTimer::MotionTimer:
      return MotionTimer;
    case TInputTimer::DrawTimer:
      return DrawTimer;
    case TInputTimer::RepeatTimer:
      return RepeatTimer;
    case TInputTimer::CursorTimer:
      return CursorTimer;
  }
  return CursorTimer;
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
  const QString escolhido = ui_.ChooseScene(QString::fromStdString((programFolder_ / "Cenas").string()),
                                            "Arquivo de cena (.xml) (*xml)");
  if (escolhido.isEmpty()) return;
  LoadSceneFile(escolhido.toStdString());
}

void TMainForm::OpenScene(const std::filesystem::path& arquivo) {
  if (editor_->ConfirmDiscard()) LoadSceneFile(arquivo);
}

TModelNotice TMainForm::Notices() {
  return [this](const std::string& texto, const std::string& titulo) {
    ui_.ShowNotice(QString::fromStdString(texto), QString::fromStdString(titulo));
  };
}

void TMainForm::LoadSceneFile(const std::filesystem::path& arquivo) {
  TRestartOnExit reinicia(TimerGL);
  // The time the load takes is not the world's to catch up with.
  state_.LastStepCount = {};
  try {
    LoadScene(arquivo, *scene_, Notices());
    // Another scene's objects are other objects: only a reload keeps what was selected.
    if (arquivo != scenePath_) selection_.Set(std::nullopt);
    selection_.KeepWithin(scene_->Objetos.size());
    recentScenes_->Opened(arquivo);
    editor_->SceneOpened(arquivo, scene_->Tabela);
    SceneStarted(arquivo);
  } catch (const std::exception& e) {
    ui_.ShowError(QString::fromUtf8(e.what()));
  }
}

void TMainForm::RebuildScene(const TSceneTable& tabela, const std::filesystem::path& arquivo) {
  TRestartOnExit reinicia(TimerGL);
  state_.LastStepCount = {};
  LoadSceneTable(tabela, arquivo, *scene_, Notices());
  selection_.KeepWithin(scene_->Objetos.size());
  SceneStarted(arquivo);
}

void TMainForm::SceneStarted(const std::filesystem::path& arquivo) {
  scenePath_ = arquivo;
  state_.SimulatedTime = 0;
  measure_->SceneLoaded(arquivo);
}

void TMainForm::ReloadScene() {
  if (closed_) return;
  const TSceneDocument& doc = editor_->Document();
  if (doc.Modified() || doc.Path().empty()) {
    if (scenePath_.empty()) {
      statusPanel_->setText(AvisoNadaParaReiniciar);
      return;
    }
    // Edits not saved yet are the scene's start state now: restarting goes back to them, not to the file.
    try {
      RebuildScene(doc.Table(), scenePath_);
    } catch (const std::exception& e) {
      ui_.ShowError(QString::fromUtf8(e.what()));
    }
    return;
  }
  const std::filesystem::path arquivo = doc.Path();
  LoadSceneFile(arquivo);
}

TRemoteReading TMainForm::RemoteReading() const {
  const TWiimote& w = wiiLink_->Wiimote();
  TRemoteReading r;
  r.AccelX = w.AccelX, r.AccelY = w.AccelY, r.AccelZ = w.AccelZ;
  r.ADown = w.ButtonState[ButtonA].Down;
  r.BDown = w.ButtonState[ButtonB].Down;
  r.IRSize1 = w.IRSize1, r.IRSize2 = w.IRSize2;
  return r;
}

void TMainForm::TimerGLTimer() {
  if (!scene_) return;
  ++frames_;
  const auto agora = TRelogio::now();
  const bool haptico = ReacaoHaptica1->isChecked();
  auto agarrar = [this, haptico](const TVector& P) {
    MarcaProximos(*scene_, P);
    TMouseGrab& mouse = mouseGrab_->Grab();
    const uint8_t leds =
        MoveObjetoUsuario(*scene_, P, Camera, haptico, rumble_, clockMs_->Milliseconds(), mouse.Held());
    mouse.Carry(*scene_);
    // Without a remote there is no one to tell; the caption keeps saying so.
    if (wiiLink_->WiiDevice()) wiiLink_->SetLedsIfChanged(leds);
  };
  auto aviso = [this](const std::string& texto) { statusPanel_->setText(QString::fromStdString(texto)); };
  auto quadro = [&](TFrameDrawing& desenho) {
    TFrameContext ctx{*scene_, Camera,  state_, Setting,
                      desenho, agarrar, aviso,  [this] { measure_->StepDone(); }};
    ::TimerGLTimer(ctx, RemoteReading(), agora);
  };
  if (!Panel1->DrawFrame(quadro)) {
    // No picture yet (a window that starts minimised): the world still runs.
    TNullFrameDrawing nulo;
    quadro(nulo);
  }
  if (state_.BehindRealTime) statusBar()->showMessage(AvisoMaisLento, 2000);
  measure_->FrameDone();
}

void TMainForm::ClearTrails() {
  if (scene_) ::ClearTrails(*scene_);
  std::vector<TVector>().swap(state_.PonteiroCaminho);
}

void TMainForm::CursorTimerTimer() {
  desktop_->CursorTimerTimer();
  if (scene_) GrabAndThrow(*scene_, Camera, state_, RemoteReading(), mouseGrab_->Grab().Held());
}

void TMainForm::DrawTimerTimer() {
  wiiLink_->ShowBattery();
  if (!Setting.DrawGraph) return;
  const auto& b = wiiLink_->Wiimote().ButtonState;
  TCameraButtons botoes;
  botoes.Up = b[ButtonUp].Down, botoes.Down = b[ButtonDown].Down;
  botoes.Right = b[ButtonRight].Down, botoes.Left = b[ButtonLeft].Down;
  botoes.Home = b[ButtonHome].Down, botoes.Plus = b[ButtonPlus].Down, botoes.Minus = b[ButtonMinus].Down;
  botoes.Um = b[ButtonOne].Down, botoes.Dois = b[ButtonTwo].Down;
  ControleCamera(botoes, Camera, state_.PonteiroPos);
}

void TMainForm::SetCaption(const std::string& Caption) {
  setWindowTitle(QString::fromStdString(Caption));
}

void TMainForm::SetBatteryText(const std::string& Text) {
  batteryPanel_->setText(QString::fromStdString(Text));
}

void TMainForm::SetStatusNotice(const std::string& Text) {
  statusPanel_->setText(QString::fromStdString(Text));
}

void TMainForm::SetOptionsEnabled(bool Enabled) {
  Options1->setEnabled(Enabled);
}

void TMainForm::SetTimerEnabled(TInputTimer t, bool Enabled) {
  if (closed_) return;
  QTimer& timer = Timer(t);
  if (Enabled)
    timer.start();
  else
    timer.stop();
}

TWiimoteSettings TMainForm::WiimoteSettings() const {
  return {Setting.UseNunchuk, Setting.EnableCursorAtStartup};
}

void TMainForm::ButtonEdge(uint16_t Mask, int Kind, TButtonState& State) {
  desktop_->ButtonEdge(Mask, Kind, State, clockMs_->Milliseconds());
}

void TMainForm::RemoteLost() {
  if (scene_) ReleaseInPlace(*scene_, Camera, mouseGrab_->Grab().Held());
  rumble_.Vibrando = false;
  rumble_.PulsoDeBorda = false;
}

bool TMainForm::OwnWindowActive() const {
  // This window, or one of its own (a dialog, a floating dock), has the keyboard.
  for (const QWidget* w = QApplication::activeWindow(); w; w = w->parentWidget())
    if (w == this) return true;
  return false;
}

void TMainForm::SetLeds(uint8_t Value) {
  if (wiiLink_->WiiDevice()) wiiLink_->SetLeds(Value);
}

void TMainForm::CalibrateButtonClick() {
  ::CalibrateButtonClick(RemoteReading(), Setting);
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
  for (QTimer* t : {&DrawTimer, &MotionTimer, &RepeatTimer, &BatteryTimer, &CursorTimer, &TimerGL,
                    &reapTimer_, &wiiTickTimer_})
    t->stop();
  Panel1->FinalizaGL();
  scene_.reset();
  delete deviceNotifier_;
  deviceNotifier_ = nullptr;
}

void TMainForm::FormDestroy() {
  try {
    SalvaConfiguracao(settingsPlace_.SettingsFile, Setting, ButtonAssign);
    recentScenes_->Save();
  } catch (const EIniWriteError& e) {
    ui_.ShowError(QString::fromUtf8(e.what()));
  }
  wiiLink_->Shutdown();
}
