#pragma once
// What the editor and the measure tools are given in the program, without the program's window: a scene
// session over a scratch scenes folder, a plain main window with a "&Arquivo" menu, the GL panel at its
// centre and a camera. The test runs the frames itself.

#include "app/widgets/gl_panel.h"
#include "frame/scene_session.h"
#include "render/camera.h"
#include "support/qt_test_app.h"

#include <QMainWindow>
#include <QMenu>

#include <filesystem>

class TSessionRig {
 public:
  explicit TSessionRig(const std::filesystem::path& pastaCenas);
  ~TSessionRig();
  TSessionRig(const TSessionRig&) = delete;
  TSessionRig& operator=(const TSessionRig&) = delete;

  // Shows the window; false when it did not come on screen.
  bool Show();
  // One frame of the running scene, drawn on the panel when it can be, then told done.
  void Frame();

  TSceneSession session;
  QMainWindow window;
  QMenu* arquivo = nullptr;  // "&Abrir Cena", a separator, "&Sair", as the program's
  TGLPanel* panel = nullptr;
  TCamera camera;
  TQuillonSetting ajustes;
};
