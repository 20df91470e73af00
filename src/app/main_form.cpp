#include "app/main_form.h"

#include "app/gl_panel.h"
#include "app/measure_tools.h"
#include "app/menu_check_style.h"
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
    : programFolder_(pastaPrograma), ui_(ui) {
  setWindowTitle("Form1");
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

  auto* cliente = new QWidget(this);
  auto* layout = new QVBoxLayout(cliente);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  Panel1 = new TGLPanel(double(LarguraCliente) / AlturaPainel);
  QWidget* painel = QWidget::createWindowContainer(Panel1, cliente);
  painel->setFixedSize(LarguraCliente, AlturaPainel);
  layout->addWidget(painel);
  setCentralWidget(cliente);

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
  CreateTimers();
  measure_ = std::make_unique<TMeasureTools>(*this, ui_);

  // FormCreate, in its order; the GL context and the lights follow when the panel first shows.
  CreateStartScene(programFolder_);
  LeConfiguracao(programFolder_ / "config.ini", Setting, ButtonAssign);
  scene_ = std::make_unique<TScene>(true);
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

  setFixedSize(LarguraCliente, menuBar()->sizeHint().height() + AlturaPainel + AlturaStatus);
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
}

void TMainForm::CreateMenu() {
  QMenu* File1 = menuBar()->addMenu("&Arquivo");
  AbrirCena1 = File1->addAction("&Abrir Cena", this, &TMainForm::AbrirCena1Click);
  File1->addSeparator();
  Exit1 = File1->addAction("&Sair", this, &TMainForm::Exit1Click);

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
  if (Setting.MinimizeAtStartup)
    showMinimized();
  else
    show();
}

void TMainForm::Exit1Click() {
  close();
}

void TMainForm::AbrirCena1Click() {
  TRestartOnExit reinicia(TimerGL);
  const QString escolhido = ui_.ChooseScene(QString::fromStdString((programFolder_ / "Cenas").string()),
                                            "Arquivo de cena (.xml) (*xml)");
  if (escolhido.isEmpty()) return;
  OpenScene(escolhido.toStdString());
}

void TMainForm::OpenScene(const std::filesystem::path& arquivo) {
  TRestartOnExit reinicia(TimerGL);
  // The time the load takes is not the world's to catch up with.
  state_.LastStepCount = {};
  try {
    LoadScene(arquivo, *scene_, [this](const std::string& texto, const std::string& titulo) {
      ui_.ShowNotice(QString::fromStdString(texto), QString::fromStdString(titulo));
    });
    selection_.KeepWithin(scene_->Objetos.size());
    measure_->SceneLoaded(arquivo);
  } catch (const std::exception& e) {
    ui_.ShowError(QString::fromUtf8(e.what()));
  }
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
    const uint8_t leds = MoveObjetoUsuario(*scene_, P, Camera, haptico, rumble_, clockMs_->Milliseconds());
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
  if (scene_) GrabAndThrow(*scene_, Camera, state_, RemoteReading());
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

void TMainForm::SetLeds(uint8_t Value) {
  if (wiiLink_->WiiDevice()) wiiLink_->SetLeds(Value);
}

void TMainForm::CalibrateButtonClick() {
  ::CalibrateButtonClick(RemoteReading(), Setting);
}

void TMainForm::closeEvent(QCloseEvent* evento) {
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
    SalvaConfiguracao(programFolder_ / "config.ini", Setting, ButtonAssign);
  } catch (const EIniWriteError& e) {
    ui_.ShowError(QString::fromUtf8(e.what()));
  }
  wiiLink_->Shutdown();
}
