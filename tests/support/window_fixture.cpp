#include "support/window_fixture.h"

#include "app/application.h"
#include "support_gl/gl_test_context.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

#include <csignal>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

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

void TWindowTest::SetUp() {
  *testUi = TTestUserInterface{};
  if (copyScenes_)
    fs::copy(fs::path(VIRETA_SOURCE_DIR) / "Cenas", pasta / "Cenas", fs::copy_options::recursive);
}

void TWindowTest::Abre() {
  form = std::make_unique<TMainForm>(pasta.Path(), *testUi, &servicos, &desktop);
  form->Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  MantemDriverCarregado();
}

void TWindowTest::EsperaQuadros(long n) {
  const long alvo = form->FramesRun() + n;
  ASSERT_TRUE(QTest::qWaitFor([&] { return form->FramesRun() >= alvo; }, 20000));
}

QAction* TWindowTest::Menu(const QString& texto) const {
  for (QAction* a : form->menuBar()->actions()) {
    if (a->text() == texto) return a;
    if (a->menu())
      for (QAction* b : a->menu()->actions())
        if (b->text() == texto) return b;
  }
  return nullptr;
}
