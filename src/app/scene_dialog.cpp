#include "app/scene_dialog.h"

#include <QFileDialog>

std::unique_ptr<QFileDialog> MakeSceneDialog(QWidget* dono, const QString& pastaInicial,
                                             const QString& filtro) {
  auto dialogo = std::make_unique<QFileDialog>(dono, QString(), pastaInicial, filtro);
  dialogo->setOption(QFileDialog::DontUseNativeDialog);
  dialogo->setFileMode(QFileDialog::ExistingFile);
  dialogo->setAcceptMode(QFileDialog::AcceptOpen);
  return dialogo;
}
