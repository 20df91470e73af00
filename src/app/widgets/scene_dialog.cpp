#include "app/widgets/scene_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QUrl>

namespace {

// Qt's Brazilian Portuguese texts lack the kind of a folder in the file list; everything else they have.
class TPortugueseIconProvider : public QFileIconProvider {
 public:
  QString type(const QFileInfo& info) const override {
    return info.isDir() ? QStringLiteral("Pasta") : QFileIconProvider::type(info);
  }
};

// A base before the dialog, so the provider outlives the dialog's own teardown.
struct TIconProviderHolder {
  TPortugueseIconProvider icons_;
};

class TSceneDialog : private TIconProviderHolder, public QFileDialog {
 public:
  TSceneDialog(QWidget* dono, const QString& titulo, const QString& pasta, const QString& filtro,
               QFileDialog::AcceptMode modo)
      : QFileDialog(dono, titulo, pasta, filtro) {
    setOption(QFileDialog::DontUseNativeDialog);
    setIconProvider(&icons_);
    setFileMode(modo == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    setAcceptMode(modo);
  }
};

}  // namespace

std::unique_ptr<QFileDialog> MakeSceneDialog(QWidget* dono, const QString& pastaInicial,
                                             const QString& filtro, const QStringList& atalhos) {
  auto dialogo =
      std::make_unique<TSceneDialog>(dono, QString(), pastaInicial, filtro, QFileDialog::AcceptOpen);
  if (atalhos.isEmpty()) return dialogo;
  QList<QUrl> lado;
  for (const QString& pasta : QStringList{pastaInicial} + atalhos + QStringList{QDir::homePath()}) {
    const QUrl url = QUrl::fromLocalFile(QDir::cleanPath(pasta));
    if (!pasta.isEmpty() && QFileInfo(pasta).isDir() && !lado.contains(url)) lado.append(url);
  }
  dialogo->setSidebarUrls(lado);
  return dialogo;
}

std::unique_ptr<QFileDialog> MakeSaveDialog(QWidget* dono, const QString& titulo, const QString& sugestao,
                                            const QString& filtro) {
  return std::make_unique<TSceneDialog>(dono, titulo, sugestao, filtro, QFileDialog::AcceptSave);
}

QString ChosenFile(QFileDialog& dialogo) {
  if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty()) return {};
  return dialogo.selectedFiles().constFirst();
}
