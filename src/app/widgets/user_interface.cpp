#include "app/widgets/user_interface.h"

#include "app/widgets/scene_dialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>

QString TQtUserInterface::ChooseScene(const QString& pastaInicial, const QString& pastaAmostras,
                                      const QString& filtro) {
  return ChosenFile(*MakeSceneDialog(QApplication::activeWindow(), pastaInicial, filtro, {pastaAmostras}));
}

QString TQtUserInterface::ChooseSaveFile(const QString& titulo, const QString& sugestao,
                                         const QString& filtro) {
  return ChosenFile(*MakeSaveDialog(QApplication::activeWindow(), titulo, sugestao, filtro));
}

void TQtUserInterface::ShowError(const QString& texto) {
  QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationDisplayName(), texto);
}

void TQtUserInterface::ShowNotice(const QString& texto, const QString& titulo) {
  // Like the loader's own boxes: no owner window, one OK button.
  QMessageBox::information(nullptr, titulo, texto, QMessageBox::Ok);
}

QString Capitalised(QString texto) {
  if (!texto.isEmpty()) texto[0] = texto[0].toUpper();
  return texto;
}

void ShowStatusNotice(QMainWindow& janela, const QString& texto, int ms) {
  janela.statusBar()->showMessage(Capitalised(texto), ms);
}
