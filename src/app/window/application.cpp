#include "app/window/application.h"

#include "app/widgets/user_interface.h"

#include <QCoreApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QSurfaceFormat>
#include <QTranslator>

#include <exception>

// Qt's own texts (dialog buttons, labels, context menus) in Brazilian Portuguese, whatever the system's
// language: the program speaks Portuguese throughout. Loads Qt's Brazilian Portuguese translations and
// makes pt_BR the default locale. False when the translation file is not installed (package
// qt6-translations-l10n); Qt's texts then stay in English.
static bool InstallPortugueseTranslations(QCoreApplication& app) {
  const QLocale brasil(QLocale::Portuguese, QLocale::Brazil);
  QLocale::setDefault(brasil);
  // Owned by the application, so it lives as long as anything can ask it for a text.
  auto* qt = new QTranslator(&app);
  if (!qt->load(brasil, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete qt;
    return false;
  }
  return QCoreApplication::installTranslator(qt);
}

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
