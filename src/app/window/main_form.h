#pragma once
// The main window: it owns the scene session, the camera, the settings, the remote's link and every timer,
// puts the editor and the measure tools beside the picture, and runs the start-up, frame and shut-down
// steps on the main thread.

#include "app/window/launch_arrow_input.h"
#include "app/window/mouse_grab_input.h"
#include "app/window/wii_platform.h"
#include "frame/remote_grab.h"
#include "frame/scene_session.h"
#include "input/desktop/desktop_control.h"
#include "input/desktop/desktop_control_host.h"
#include "input/desktop/process_starter.h"
#include "input/desktop/x11_desktop_input.h"
#include "input/settings/settings.h"
#include "input/settings/settings_location.h"
#include "render/camera.h"
#include "scene/scene.h"
#include "wiimote/hid_controller.h"
#include "wiimote/wiimote_host.h"
#include "wiimote/wiimote_link.h"

#include <QMainWindow>
#include <QTimer>

#include <filesystem>
#include <memory>

class QAction;
class QLabel;
class TCameraInput;
class QMenu;
class QSocketNotifier;
class TMeasureTools;
class TUserInterface;
class TGLPanel;
class TRecentScenesMenu;
class TSceneEditor;

class TMainForm : public QMainWindow, public IWiimoteHost, public IDesktopControlHost {
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

  // Menu handlers.
  void AbrirCena1Click();
  void Exit1Click();

  void TimerGLTimer();
  void CursorTimerTimer();
  void DrawTimerTimer();

  // What the Wii Remote link asks of the window.
  void SetCaption(const std::string& Caption) override;
  void SetBatteryText(const std::string& Text) override;
  void SetStatusNotice(const std::string& Text) override;
  void SetOptionsEnabled(bool Enabled) override;
  void SetTimerEnabled(TInputTimer Timer, bool Enabled) override;
  TWiimoteSettings WiimoteSettings() const override;
  void ButtonEdge(uint16_t Mask, int Kind, TButtonState& State) override;
  void RemoteLost() override;

  // What the desktop pointer and the button actions ask of the window.
  void SetLeds(uint8_t Value) override;
  bool MotionTimerActive() const override { return MotionTimer.isActive(); }
  void SetMotionTimerActive(bool Active) override { SetTimerEnabled(TInputTimer::MotionTimer, Active); }
  void CalibrateButtonClick() override;
  bool OwnWindowActive() const override;

  // Read access for the window's own checks.
  const TCamera& CurrentCamera() const { return Camera; }
  TCamera& CurrentCamera() { return Camera; }
  const TQuillonSetting& Settings() const { return Setting; }
  TGLPanel* Panel() const { return Panel1; }
  QLabel* BatteryPanel() const { return batteryPanel_; }
  QLabel* StatusPanel() const { return statusPanel_; }
  QAction* ReacaoHaptica() const { return ReacaoHaptica1; }
  QTimer& FrameTimer() { return TimerGL; }
  TWiimoteLink& Wii() { return *wiiLink_; }
  QTimer& Timer(TInputTimer t);
  TSpawnProcessStarter& Starter() { return starter_; }
  const TSettingsLocation& SettingsPlace() const { return settingsPlace_; }
  TRecentScenesMenu& RecentScenes() const { return *recentScenes_; }
  TSceneEditor& Editor() { return *editor_; }
  // The user's own scenes ("Cenas" beside "temp.xml"): where "Abrir Cena" and a new scene start.
  std::filesystem::path UserScenesFolder() const { return settingsPlace_.StartSceneFolder / "Cenas"; }
  // The samples shipped with the program: beside a build, under the install prefix when installed.
  const std::filesystem::path& SamplesFolder() const { return samplesFolder_; }
  TMeasureTools& Measurements() { return *measure_; }
  const TLaunchArrowDrag& LaunchArrow() const { return launchArrow_->Arrow(); }

 protected:
  void closeEvent(QCloseEvent* evento) override;

 private:
  void CreateMenu();
  void CreateTimers();
  void FormClose();
  void FormDestroy();
  TRemoteReading RemoteReading() const;
  bool LoadSceneFile(const std::filesystem::path& arquivo);

  std::filesystem::path programFolder_;
  TSettingsLocation settingsPlace_;  // where "config.ini" and the start-up scene go
  std::filesystem::path samplesFolder_;
  TUserInterface& ui_;

  TQuillonSetting Setting;
  TWiimoteButtonAssign ButtonAssign;
  TSceneSession session_;
  TCamera Camera;
  TRumbleState rumble_;
  std::unique_ptr<TLaunchArrowInput> launchArrow_;  // before the mouse grab: it takes presses on its handle
  std::unique_ptr<TMouseGrabInput> mouseGrab_;
  bool closed_ = false;

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

  QTimer DrawTimer, MotionTimer, RepeatTimer, BatteryTimer, CursorTimer, TimerGL;
  QTimer reapTimer_;     // collects the programs an "Execute" button started
  QTimer wiiTickTimer_;  // lets the remote's set-up and writes go on without any frame waiting for them

  // The Wii Remote link; destroyed in reverse order, the link (and its reader thread) first.
  std::unique_ptr<TRealWiiPlatform> wiiPlatform_;
  TQtHandOver handOver_;
  std::unique_ptr<TJvHidDeviceController> HIDCtl;
  std::unique_ptr<TWiimoteLink> wiiLink_;
  IClock* clockMs_ = nullptr;  // the millisecond clock the rumble times are taken from
  QSocketNotifier* deviceNotifier_ = nullptr;

  // The desktop's mouse and keys driven from the remote; off without an X display.
  std::unique_ptr<TX11DesktopInput> desktopX_;
  TSpawnProcessStarter starter_;
  std::unique_ptr<TDesktopControl> desktop_;

  std::unique_ptr<TSceneEditor> editor_;
  std::unique_ptr<TMeasureTools> measure_;  // uses the panel, the menus and the session above
};
