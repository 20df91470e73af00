#pragma once
// The main window: it owns the scene, the physics world, the camera and pointer, the settings and every
// timer, and runs the start-up, frame and shut-down steps on the main thread.

#include "UArquivoCena.h"
#include "camera.h"
#include "frame.h"
#include "settings.h"

#include <QMainWindow>
#include <QTimer>

#include <filesystem>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class TInterfaceUsuario;
class TPainelGL;

class TMainForm : public QMainWindow {
 public:
  // FormCreate: `pastaPrograma` holds "Cenas" and "config.ini".
  TMainForm(const std::filesystem::path& pastaPrograma, TInterfaceUsuario& ui);
  ~TMainForm() override;

  // Shows the window, minimised when the settings ask for it.
  void Mostra();

  // Loads a scene file as the menu command does after its dialog; an error is shown, the old scene kept.
  void AbreCena(const std::filesystem::path& arquivo);

  // Menu handlers.
  void AbrirCena1Click();
  void Exit1Click();

  void TimerGLTimer();

  // Read access for the program's own checks.
  const Cena* CenaAtual() const { return cena_.get(); }
  const TEstadoQuadro& EstadoQuadro() const { return estado_; }
  const TCamera& CameraAtual() const { return Camera; }
  const TQuillonSetting& Configuracao() const { return Setting; }
  TPainelGL* Painel() const { return Panel1; }
  QLabel* PainelBateria() const { return painelBateria_; }
  QAction* ReacaoHaptica() const { return ReacaoHaptica1; }
  QTimer& TimerDoQuadro() { return TimerGL; }
  long QuadrosExecutados() const { return quadros_; }

 protected:
  void closeEvent(QCloseEvent* evento) override;

 private:
  void CriaMenu();
  void CriaTimers();
  void FormClose();
  void FormDestroy();

  std::filesystem::path pastaPrograma_;
  TInterfaceUsuario& ui_;

  TQuillonSetting Setting;
  TWiimoteButtonAssign ButtonAssign;
  std::unique_ptr<Cena> cena_;
  TCamera Camera;
  TEstadoQuadro estado_;
  TLeituraRemoto remoto_;
  long quadros_ = 0;
  bool fechada_ = false;

  TPainelGL* Panel1 = nullptr;
  QLabel* painelStatus_ = nullptr;
  QLabel* painelBateria_ = nullptr;
  QMenu* Options1 = nullptr;
  QAction* AbrirCena1 = nullptr;
  QAction* Exit1 = nullptr;
  QAction* Calibrate1 = nullptr;
  QAction* Preference1 = nullptr;
  QAction* ReacaoHaptica1 = nullptr;

  QTimer DrawTimer, MotionTimer, RepeatTimer, BatteryTimer, CursorTimer, TimerGL;
};
