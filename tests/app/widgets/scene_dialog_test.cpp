#include <gtest/gtest.h>

#include "app/widgets/scene_dialog.h"
#include "support/qt_test_app.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFileDialog>
#include <QUrl>

namespace {

QUrl Url(const std::filesystem::path& p) {
  return QUrl::fromLocalFile(QString::fromStdString(p.string()));
}

// The open dialog starts in the user's own scenes with the shipped samples in its side panel; a folder
// named twice shows once, and one that does not exist not at all.
TEST(SceneDialog, SamplesAreOneClickAwayFromTheUsersScenes) {
  ResetTestUserInterface();  // the application object the dialog needs
  TTempFolder pasta;
  pasta.Write("usuario/Cenas/minha.xml", "");
  pasta.Write("amostras/queda_livre.xml", "");
  const QString usuario = QString::fromStdString((pasta / "usuario" / "Cenas").string());
  const QString amostras = QString::fromStdString((pasta / "amostras").string());
  const QString ausente = QString::fromStdString((pasta / "ausente").string());

  auto dialogo =
      MakeSceneDialog(nullptr, usuario, "Arquivo de cena (.xml) (*xml)", {amostras, ausente, usuario});
  EXPECT_EQ(dialogo->directory().absolutePath(), usuario);
  const QList<QUrl> esperado{Url(pasta / "usuario" / "Cenas"), Url(pasta / "amostras"),
                             QUrl::fromLocalFile(QDir::homePath())};
  EXPECT_EQ(dialogo->sidebarUrls(), esperado);
}

}  // namespace
