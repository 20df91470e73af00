#pragma once
// The real main window in-process under the virtual display, for the window tests: a fixture that opens the
// window on a scratch program folder with a fake HID platform and a recording desktop.

#include "app/window/main_form.h"
#include "input/desktop/testing/recording_desktop_input.h"
#include "support/qt_test_app.h"
#include "support/temp_folder.h"
#include "wiimote/testing/fake_hid_platform.h"
#include "wiimote/testing/test_main_loop.h"

#include <QString>
#include <QTest>

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

class QAction;

class TWindowTest : public ::testing::Test {
 protected:
  // With `copiaCenas` the sample scenes are copied into the program folder's "Cenas".
  explicit TWindowTest(bool copiaCenas = true) : copyScenes_(copiaCenas) {}
  void SetUp() override;
  // The window goes before the platform and any virtual remote it may still be reading.
  void TearDown() override { form.reset(); }

  // Creates and shows the window; returns once it is on screen.
  void Abre();
  void EsperaQuadros(long n);
  // A menu, or an item of a menu, by its caption as written (access-key marks included).
  QAction* Menu(const QString& texto) const;
  template <typename F>
  static bool Espera(F condicao) {
    return QTest::qWaitFor(condicao, 20000);
  }

  TFakeHidPlatform plataforma;
  TFakeClock relogio;
  TRecordingDesktopInput desktop;
  TWiiServices servicos{plataforma, plataforma, plataforma, relogio};
  TTempFolder pasta;
  std::unique_ptr<TMainForm> form;

 private:
  bool copyScenes_;
};
