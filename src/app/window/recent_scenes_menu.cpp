#include "app/window/recent_scenes_menu.h"

#include "app/widgets/user_interface.h"

#include <QFile>
#include <QMenu>

#include <system_error>

namespace fs = std::filesystem;

TRecentScenesMenu::TRecentScenesMenu(QMenu& arquivo, QAction* antes, fs::path arquivoIni, TUserInterface& ui,
                                     TOpen abre)
    : QObject(&arquivo),
      menu_(new QMenu("Cenas &recentes", &arquivo)),
      settingsFile_(std::move(arquivoIni)),
      ui_(ui),
      open_(std::move(abre)) {
  arquivo.insertMenu(antes, menu_);
  menu_->setToolTipsVisible(true);
  scenes_.Load(settingsFile_);
  Rebuild();
}

void TRecentScenesMenu::Opened(const fs::path& arquivo) {
  scenes_.Add(arquivo);
  Rebuild();
}

void TRecentScenesMenu::Save() {
  scenes_.Save(settingsFile_);
  Rebuild();
}

void TRecentScenesMenu::Rebuild() {
  menu_->clear();
  int numero = 0;
  for (const fs::path& p : scenes_.Items()) {
    const QString caminho = QFile::decodeName(p.c_str());
    QString nome = QFile::decodeName(p.filename().c_str());
    nome.replace("&", "&&");
    QAction* item = menu_->addAction(QStringLiteral("&%1 %2").arg(++numero).arg(nome));
    item->setToolTip(caminho);
    item->setStatusTip(caminho);
    // Queued: choosing rebuilds this menu, which must not delete the item while it is still being chosen.
    connect(
        item, &QAction::triggered, this, [this, p] { Choose(p); }, Qt::QueuedConnection);
  }
  menu_->setEnabled(!scenes_.Items().empty());
}

void TRecentScenesMenu::Choose(const fs::path& arquivo) {
  std::error_code ec;
  if (!fs::is_regular_file(arquivo, ec)) {
    scenes_.Remove(arquivo);
    Rebuild();
    ui_.ShowNotice(QStringLiteral("O arquivo não existe mais e saiu da lista: %1")
                       .arg(QFile::decodeName(arquivo.c_str())),
                   QStringLiteral("Cenas recentes"));
    return;
  }
  open_(arquivo);
}
