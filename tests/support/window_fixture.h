#pragma once
// The real main window in-process under the virtual display, for the window tests: one application object
// for the whole test program (as in the program), a user interface that records what the window shows and
// answers its scene dialog, and a fixture that opens the window on a scratch program folder with a fake
// HID platform and a recording desktop.

#include "app/main_form.h"
#include "app/user_interface.h"
#include "input/testing/recording_desktop_input.h"
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

class TTestUserInterface : public TUserInterface {
 public:
  QString ChooseScene(const QString& pasta, const QString& amostras, const QString& filtro) override;
  QString ChooseSaveFile(const QString& titulo, const QString&, const QString&) override {
    tituloSalvar = titulo;
    return salvarComo;
  }
  void ShowError(const QString& texto) override { erros.push_back(texto.toStdString()); }
  void ShowNotice(const QString& texto, const QString& titulo) override {
    avisos.push_back((titulo + ": " + texto).toStdString());
  }

  std::deque<QString> respostas;  // the scene dialog's answers, in turn; none left: cancelled
  QString pastaPedida, amostrasPedidas, filtroPedido;
  QString salvarComo, tituloSalvar;  // the save dialog's answer, and the title it was asked with
  std::vector<std::string> erros, avisos;
};

// The user interface the application object was made with; fresh for every test.
TTestUserInterface& TestUserInterface();

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
