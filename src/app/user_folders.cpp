#include "app/user_folders.h"

#include "input/install_folders.h"

#include <QFile>
#include <QStandardPaths>

namespace {

std::filesystem::path Folder(QStandardPaths::StandardLocation tipo) {
  return QFile::encodeName(QStandardPaths::writableLocation(tipo)).toStdString();
}

}  // namespace

TSettingsLocation SettingsLocationFor(const std::filesystem::path& pastaPrograma) {
  const TInstallFolders instalado = BuildInstallFolders();
  return ChooseSettingsLocation(
      pastaPrograma, Folder(QStandardPaths::AppConfigLocation), Folder(QStandardPaths::AppDataLocation),
      [&](const std::filesystem::path& p) { return ProgramFolderTakesFiles(p, instalado); });
}

QString SettingsLocationNotice(const TSettingsLocation& lugar) {
  if (!lugar.InUserFolders) return {};
  return QStringLiteral("A pasta do programa não aceita gravação: configurações em %1")
      .arg(QFile::decodeName(lugar.SettingsFile.c_str()));
}
