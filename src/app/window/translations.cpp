#include "app/window/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool InstallPortugueseTranslations(QCoreApplication& app) {
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
