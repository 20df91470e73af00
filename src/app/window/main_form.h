#pragma once
// The main window: it owns the scene session, the camera, the settings and the remote session, runs the
// timers they ask for, shows what the remote session tells it, puts the editor and the measure tools beside
// the picture, and runs the start-up, frame and shut-down steps on the main thread.

#include "app/window/launch_arrow_input.h"
#include "app/window/mouse_grab_input.h"
#include "app/window/wii_platform.h"
#include "frame/remote_session.h"
#include "frame/scene_session.h"
#include "input/desktop/x11_desktop_input.h"
#include "input/settings/settings.h"
#include "input/settings/settings_location.h"
#include "render/camera.h"
#include "scene/scene.h"

#include <QMainWindow>
#include <QTimer>

#include <array>
#include <filesystem>
#include <memory>

class QAction;
class QLabel;
class TCameraInput;
class QMenu;
class TMeasureTools;
class TUserInterface;
class TGLPanel;
class TRecentScenesMenu;
class TSceneEditor;

class TMainForm : public QMainWindow, public IRemoteView {
 public:
  // FormCreate: `pastaPrograma` holds "Cenas" and "config.ini". The Wii Remote is looked for through
  // `servicosWii`, or through udev and hidraw when none are given; the desktop's keys and mouse are
  // reached through `desktop`, or through the X display when none is given.
  TMainForm(const std::filesystem::path& pastaPrograma, TUserInterface& ui,
            const TWiiServices* servicosWii = nullptr, IDesktopInput* desktop = nullptr);
  ~TMainForm() override;

  // Shows the window, minimised when the settings ask for it.
  void Show();

  // Loads a scene file as the menu command does after its dialog; an error is shown, the old scene kept.
  // Unsaved edits are asked about first. True when the scene now runs.
  bool OpenScene(const std::filesystem::path& arquivo);
  // The current scene again from its start state; a failed load keeps the running scene. With no scene
  // opened yet, the status bar says there is nothing to reload.
  void ReloadScene();

  // The running scene, its document, selection and frame state.
  TSceneSession& Session() { return session_; }
  const TSceneSession& Session() const { return session_; }

  // Closes the window because the desktop session ends or a signal asks the program to stop. No one may be
  // there to answer a message box, and the desktop waits for the program: an error saving the settings goes
  // to the log (standard error) instead of a box.
  void CloseAtSessionEnd();

  // Menu handlers.
  void AbrirCena1Click();
  void Exit1Click();

  void TimerGLTimer();

  // The Wii Remote and the desktop it drives, and what the window shows of them.
  TRemoteSession& Remote() { return *remote_; }
  void ShowCaption(const std::string& texto) override;
  void ShowBattery(const std::string& texto) override;
  void ShowNotice(const std::string& texto) override;
  void ShowConnected(bool conectado) override;
  void RunTimer(TRemoteTimer timer, bool ativo) override;
  bool OwnWindowActive() const override;

  // Read access for the window's tests.
  const TCamera& CurrentCamera() const { return Camera; }
  TCamera& CurrentCamera() { return Camera; }
  TGLPanel* Panel() const { return Panel1; }
  QLabel* BatteryPanel() const { return batteryPanel_; }
  QLabel* StatusPanel() const { return statusPanel_; }
  QTimer& FrameTimer() { return TimerGL; }
  QTimer& Timer(TRemoteTimer t) { return remoteTimers_[static_cast<int>(t)]; }
  TRecentScenesMenu& RecentScenes() const { return *recentScenes_; }
  TSceneEditor& Editor() { return *editor_; }
  TMeasureTools& Measurements() { return *measure_; }

 protected:
  void closeEvent(QCloseEvent* evento) override;

 private:
  void CreateMenu();
  void CreateTimers();
  void FormClose();
  void FormDestroy();
  // An error met while closing: in a box while the user is there, in the log when the session ends.
  void ReportClosingError(const QString& texto);
  bool LoadSceneFile(const std::filesystem::path& arquivo);
  // The user's own scenes ("Cenas" beside "temp.xml"): where "Abrir Cena" and a new scene start.
  std::filesystem::path UserScenesFolder() const { return settingsPlace_.StartSceneFolder / "Cenas"; }

  std::filesystem::path programFolder_;
  TSettingsLocation settingsPlace_;  // where "config.ini" and the start-up scene go
  std::filesystem::path
      samplesFolder_;  // the samples: beside a build, under the install prefix when installed
  TUserInterface& ui_;

  TQuillonSetting Setting;
  TWiimoteButtonAssign ButtonAssign;
  TSceneSession session_;
  TCamera Camera;
  std::unique_ptr<TLaunchArrowInput> launchArrow_;  // before the mouse grab: it takes presses on its handle
  std::unique_ptr<TMouseGrabInput> mouseGrab_;
  bool closed_ = false;
  bool sessionEnding_ = false;  // see CloseAtSessionEnd

  TGLPanel* Panel1 = nullptr;
  QLabel* statusPanel_ = nullptr;
  QLabel* batteryPanel_ = nullptr;
  QMenu* FileMenu = nullptr;
  QMenu* Options1 = nullptr;
  QAction* AbrirCena1 = nullptr;
  QAction* Exit1 = nullptr;
  QAction* Calibrate1 = nullptr;
  QAction* Preference1 = nullptr;
  QAction* ReacaoHaptica1 = nullptr;
  TRecentScenesMenu* recentScenes_ = nullptr;
  std::unique_ptr<TCameraInput> cameraInput_;  // the mouse and keys on the panel steer the camera
  std::filesystem::path framedScene_;          // the scene file the view was last framed for

  QTimer TimerGL;
  std::array<QTimer, RemoteTimerCount> remoteTimers_;  // one per TRemoteTimer, run as the remote asks

  // The Wii Remote's platform and main loop, then its session; destroyed in reverse order.
  std::unique_ptr<TRealWiiPlatform> wiiPlatform_;
  TQtMainLoop wiiLoop_;
  // The desktop's mouse and keys driven from the remote; off without an X display.
  std::unique_ptr<TX11DesktopInput> desktopX_;
  std::unique_ptr<TRemoteSession> remote_;

  std::unique_ptr<TSceneEditor> editor_;
  std::unique_ptr<TMeasureTools> measure_;  // uses the panel, the menus and the session above
};
