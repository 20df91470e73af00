#include "app/window/scene_drop.h"

#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QStringList>
#include <QUrl>
#include <QWidget>

namespace {

QStringList LocalFiles(const QMimeData* dados) {
  QStringList arquivos;
  if (!dados) return arquivos;
  for (const QUrl& url : dados->urls())
    if (url.isLocalFile()) arquivos << url.toLocalFile();
  return arquivos;
}

bool IsSceneFile(const QString& arquivo) {
  return QFileInfo(arquivo).suffix().compare("xml", Qt::CaseInsensitive) == 0;
}

}  // namespace

TSceneDropTarget::TSceneDropTarget(QWidget& janela, TOpen abre, TNotice aviso)
    : QObject(&janela), open_(std::move(abre)), notice_(std::move(aviso)) {
  janela.setAcceptDrops(true);
  janela.installEventFilter(this);
}

bool TSceneDropTarget::eventFilter(QObject* alvo, QEvent* evento) {
  const auto tipo = evento->type();
  if (tipo != QEvent::DragEnter && tipo != QEvent::DragMove && tipo != QEvent::Drop)
    return QObject::eventFilter(alvo, evento);
  auto* arrasto = static_cast<QDropEvent*>(evento);
  const QStringList arquivos = LocalFiles(arrasto->mimeData());
  if (arquivos.isEmpty()) {
    arrasto->ignore();
    return true;
  }
  // Any local file is taken, so that a wrong one still gets its notice instead of a silent refusal.
  arrasto->acceptProposedAction();
  if (tipo != QEvent::Drop) return true;

  QStringList cenas, outros;
  for (const QString& a : arquivos) (IsSceneFile(a) ? cenas : outros) << a;
  if (cenas.isEmpty()) {
    notice_(QStringLiteral("Só arquivos de cena (.xml) podem ser abertos: %1")
                .arg(QFileInfo(outros.first()).fileName()));
    return true;
  }
  if (cenas.size() > 1)
    notice_(QStringLiteral("Uma cena por vez: aberta %1").arg(QFileInfo(cenas.first()).fileName()));
  const std::filesystem::path cena = QFile::encodeName(cenas.first()).toStdString();
  QMetaObject::invokeMethod(
      this, [this, cena] { open_(cena); }, Qt::QueuedConnection);
  return true;
}
