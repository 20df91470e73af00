#include "app/window/user_folders.h"

#include "input/settings/install_folders.h"

#include <QFile>
#include <QStandardPaths>

namespace {

std::filesystem::path Folder(QStandardPaths::StandardLocation tipo) {
  return QFile::encodeName(QStandardPaths::writableLocation(tipo)).toStdString();
}

}  // namespace

TSettingsLocation SettingsLocationFor(const std::filesystem::path& pastaPrograma) {
  const TInstallFolders instalado = InstallFoldersOf(pastaPrograma);
  return ChooseSettingsLocation(
      pastaPrograma, Folder(QStandardPaths::AppConfigLocation), Folder(QStandardPaths::AppDataLocation),
      [&](const std::filesystem::path& p) { return ProgramFolderTakesFiles(p, instalado); });
}

QString SettingsLocationNotice(const TSettingsLocation& lugar) {
  if (!lugar.InUserFolders) return {};
  // Installed, this is the usual place, not a failure: the notice says where, not what went wrong.
  return QStringLiteral("Configurações do usuário em %1").arg(QFile::decodeName(lugar.SettingsFile.c_str()));
}
