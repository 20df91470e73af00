#include "app/widgets/dock_width.h"

#include <QMainWindow>
#include <QScreen>

#include <algorithm>

void WidenForDock(QMainWindow& janela, int largura, bool mostrando) {
  const QSize novo(janela.width() + (mostrando ? largura : -largura), janela.height());
  if (janela.minimumSize() == janela.maximumSize())
    janela.setFixedSize(novo);
  else
    janela.resize(novo);
  if (const QScreen* tela = janela.screen()) {
    const QRect area = tela->availableGeometry();
    const int sobra = janela.frameGeometry().right() - area.right();
    if (mostrando && sobra > 0) janela.move(std::max(area.left(), janela.x() - sobra), janela.y());
  }
}
