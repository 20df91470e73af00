#include "support/qt_test_app.h"

#include "app/window/application.h"
#include "support_gl/gl_test_context.h"

#include <gtest/gtest.h>

#include <csignal>

namespace {

TTestUserInterface* testUi = nullptr;

class TQtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    // A write to a virtual remote that went away must come back as an error, not end the tests.
    std::signal(SIGPIPE, SIG_IGN);
    TViretaApplication::SetGLFormat();
    static int argc = 1;
    static char nome[] = "vireta_window_test";
    static char* argv[] = {nome, nullptr};
    testUi = new TTestUserInterface;
    app_ = new TViretaApplication(argc, argv, *testUi);
  }
  void TearDown() override {
    delete app_;
    delete testUi;
  }

 private:
  TViretaApplication* app_ = nullptr;
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new TQtEnvironment);

}  // namespace

QString TTestUserInterface::ChooseScene(const QString& pasta, const QString& amostras,
                                        const QString& filtro) {
  pastaPedida = pasta;
  amostrasPedidas = amostras;
  filtroPedido = filtro;
  if (respostas.empty()) return {};
  const QString r = respostas.front();
  respostas.pop_front();
  return r;
}

TTestUserInterface& TestUserInterface() {
  return *testUi;
}

void ResetTestUserInterface() {
  *testUi = TTestUserInterface{};
}
