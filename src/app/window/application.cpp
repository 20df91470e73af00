#include "app/window/application.h"

#include "app/widgets/user_interface.h"
#include "app/window/translations.h"

#include <QIcon>
#include <QSurfaceFormat>

#include <exception>

// The icon's resource lives in a static library: its registration must be asked for by name, from outside
// any namespace.
static void RegisterResources() {
  Q_INIT_RESOURCE(vireta);
}

TViretaApplication::TViretaApplication(int& argc, char** argv, TUserInterface& ui)
    : QApplication(argc, argv), ui_(ui) {
  setApplicationName("Vireta");
  setApplicationDisplayName("Vireta");
  // Matches the installed "vireta.desktop", so the desktop shows that entry's name and icon.
  setDesktopFileName("vireta");
  RegisterResources();
  setWindowIcon(QIcon(":/vireta.svg"));
  InstallPortugueseTranslations(*this);
}

bool TViretaApplication::notify(QObject* receptor, QEvent* evento) {
  try {
    return QApplication::notify(receptor, evento);
  } catch (const std::exception& e) {
    ui_.ShowError(QString::fromUtf8(e.what()));
  } catch (...) {
    ui_.ShowError(QStringLiteral("Erro desconhecido"));
  }
  return true;
}

void TViretaApplication::SetGLFormat() {
  QSurfaceFormat f;
  f.setRenderableType(QSurfaceFormat::OpenGL);
  f.setProfile(QSurfaceFormat::CompatibilityProfile);
  f.setVersion(2, 1);
  f.setRedBufferSize(8);
  f.setGreenBufferSize(8);
  f.setBlueBufferSize(8);
  f.setAlphaBufferSize(0);
  f.setDepthBufferSize(32);  // the driver grants what it has, usually 24
  f.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
  // The frame timer paces the picture: a swap that waited for the display would hold the world back.
  f.setSwapInterval(0);
  QSurfaceFormat::setDefaultFormat(f);
}
