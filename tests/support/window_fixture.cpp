#include "support/window_fixture.h"

#include "support_gl/gl_test_context.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

#include <filesystem>

namespace fs = std::filesystem;

void TWindowTest::SetUp() {
  ResetTestUserInterface();
  if (copyScenes_)
    fs::copy(fs::path(VIRETA_SOURCE_DIR) / "Cenas", pasta / "Cenas", fs::copy_options::recursive);
}

void TWindowTest::Abre() {
  form = std::make_unique<TMainForm>(pasta.Path(), TestUserInterface(), &servicos, &desktop);
  form->Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  MantemDriverCarregado();
}

void TWindowTest::EsperaQuadros(long n) {
  const long alvo = form->Session().FramesRun() + n;
  ASSERT_TRUE(QTest::qWaitFor([&] { return form->Session().FramesRun() >= alvo; }, 20000));
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
