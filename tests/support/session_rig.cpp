#include "support/session_rig.h"

#include "support_gl/gl_test_context.h"

#include <QMenuBar>
#include <QTest>

TSessionRig::TSessionRig(const std::filesystem::path& pastaCenas)
    : session(pastaCenas, [](const std::string& texto, const std::string& titulo) {
        TestUserInterface().ShowNotice(QString::fromStdString(texto), QString::fromStdString(titulo));
      }) {
  arquivo = window.menuBar()->addMenu("&Arquivo");
  arquivo->addAction("&Abrir Cena");
  arquivo->addSeparator();
  arquivo->addAction("&Sair");
  panel = new TGLPanel;
  QWidget* centro = QWidget::createWindowContainer(panel, &window);
  centro->setMinimumSize(320, 240);
  centro->setFocusPolicy(Qt::StrongFocus);
  centro->setAccessibleName("Vista 3D");
  window.setCentralWidget(centro);
  // The program's window size, so that docks open beside the picture as they do there.
  window.resize(769, 650);
}

TSessionRig::~TSessionRig() {
  panel->FinalizaGL();
}

bool TSessionRig::Show() {
  window.show();
  const bool exposto =
      QTest::qWaitForWindowExposed(&window) && QTest::qWaitFor([&] { return panel->isExposed(); }, 20000);
  // The panel's context has loaded the GL driver by now; unloaded at exit, its state would look leaked.
  if (exposto) MantemDriverCarregado();
  return exposto;
}

void TSessionRig::Frame() {
  auto quadro = [&](TFrameDrawing& desenho) { session.Frame(desenho, camera, ajustes, {}, {}, {}); };
  if (!panel->DrawFrame(quadro)) {
    TNullFrameDrawing nulo;
    quadro(nulo);
  }
  session.FrameDone();
}
