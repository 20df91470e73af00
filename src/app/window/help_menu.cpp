#include "app/window/help_menu.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>

namespace {

const char* const MouseAndPanelKeys =
    "Mouse, na imagem:\n"
    "  Arrastar com o botão esquerdo no espaço vazio: girar a câmera em torno do centro\n"
    "  Arrastar com o botão esquerdo um objeto que o usuário pode mover: pegar, levar e soltar para "
    "arremessar\n"
    "  Clicar num objeto: selecioná-lo; clicar no espaço vazio: desfazer a seleção\n"
    "  Arrastar com o botão direito ou do meio: deslocar a vista\n"
    "  Roda: aproximar ou afastar a câmera\n"
    "\n"
    "Teclado, na imagem:\n"
    "  Setas: girar a câmera\n"
    "  PgUp / PgDn: aproximar / afastar a câmera\n";

// Key names as a Brazilian keyboard user reads them.
QString KeyText(const QKeySequence& teclas) {
  QStringList partes = teclas.toString(QKeySequence::PortableText).split('+');
  const struct {
    const char* ingles;
    const char* portugues;
  } nomes[] = {{"Space", "Espaço"},      {"Left", "Seta para a esquerda"}, {"Right", "Seta para a direita"},
               {"Up", "Seta para cima"}, {"Down", "Seta para baixo"},      {"Return", "Enter"}};
  for (const auto& n : nomes)
    if (partes.last() == QLatin1String(n.ingles)) partes.last() = QString::fromUtf8(n.portugues);
  return partes.join('+');
}

QString Caption(QString texto) {
  return texto.remove('&');
}

void ListMenu(const QMenu& menu, const QString& caminho, QString& saida) {
  for (const QAction* a : menu.actions()) {
    if (a->menu()) {
      ListMenu(*a->menu(), caminho + " → " + Caption(a->text()), saida);
      continue;
    }
    QStringList teclas;
    for (const QKeySequence& k : a->shortcuts()) teclas << KeyText(k);
    if (!teclas.isEmpty())
      saida += "  " + teclas.join(" ou ") + ": " + caminho + " → " + Caption(a->text()) + "\n";
  }
}

}  // namespace

QString KeysAndMouseText(const QMenuBar& barra) {
  QString texto = QString::fromUtf8(MouseAndPanelKeys) + "\nTeclado, em toda a janela:\n";
  for (const QAction* a : barra.actions())
    if (a->menu()) ListMenu(*a->menu(), Caption(a->text()), texto);
  return texto;
}

QMenu* CreateHelpMenu(QMainWindow& janela) {
  QMenu* menu = janela.menuBar()->addMenu("Ajuda");
  menu->addAction("Teclas e mouse", &janela, [&janela] {
    QMessageBox::information(&janela, "Teclas e mouse", KeysAndMouseText(*janela.menuBar()));
  });
  menu->addAction("Sobre o Vireta", &janela, [&janela] {
    QMessageBox::about(
        &janela, "Sobre o Vireta",
        "Vireta: um laboratório de física para estudantes.\n\n"
        "Abre uma cena da pasta \"Cenas\", simula os corpos rígidos com o Open Dynamics Engine e "
        "desenha tudo em 3D. Os objetos se pegam e se arremessam com um Wii Remote ou com o mouse; "
        "a simulação pode ser pausada, avançada passo a passo, reiniciada e desacelerada.");
  });
  return menu;
}
