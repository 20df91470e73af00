#include "app/widgets/status_notice.h"

#include <QMainWindow>
#include <QStatusBar>

QString Capitalised(QString texto) {
  if (!texto.isEmpty()) texto[0] = texto[0].toUpper();
  return texto;
}

void ShowStatusNotice(QMainWindow& janela, const QString& texto, int ms) {
  janela.statusBar()->showMessage(Capitalised(texto), ms);
}
