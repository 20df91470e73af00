#include "app/user_interface.h"

#include "app/scene_dialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

QString TQtUserInterface::ChooseScene(const QString& pastaInicial, const QString& filtro) {
  const auto dialogo = MakeSceneDialog(QApplication::activeWindow(), pastaInicial, filtro);
  if (dialogo->exec() != QDialog::Accepted) return {};
  return dialogo->selectedFiles().value(0);
}

QString TQtUserInterface::ChooseSaveFile(const QString& titulo, const QString& sugestao,
                                         const QString& filtro) {
  // Qt's own dialog, as for opening scenes: only it speaks the language the program loads.
  return QFileDialog::getSaveFileName(QApplication::activeWindow(), titulo, sugestao, filtro, nullptr,
                                      QFileDialog::DontUseNativeDialog);
}

void TQtUserInterface::ShowError(const QString& texto) {
  QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationDisplayName(), texto);
}

void TQtUserInterface::ShowNotice(const QString& texto, const QString& titulo) {
  // Like the loader's own boxes: no owner window, one OK button.
  QMessageBox::information(nullptr, titulo, texto, QMessageBox::Ok);
}
