#include "app/window/help_menu.h"

#include "app/window/program_version.h"
#include "common/file_io.h"
#include "scene/lesson_list.h"

#include <QAction>
#include <QDialog>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTextBrowser>
#include <QVBoxLayout>

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

// The guide beside the picture, not over it: students read it while the scene runs.
void ShowGuide(QMainWindow& janela, const TLesson& aula) {
  auto* guia = janela.findChild<QDialog*>(QStringLiteral("guia"));
  if (!guia) {
    guia = new QDialog(&janela);
    guia->setObjectName(QStringLiteral("guia"));
    guia->resize(560, 640);
    auto* layout = new QVBoxLayout(guia);
    auto* texto = new QTextBrowser(guia);
    texto->setOpenExternalLinks(false);
    texto->setAccessibleName(QStringLiteral("Guia da aula"));
    layout->addWidget(texto);
  }
  auto* texto = guia->findChild<QTextBrowser*>();
  const TFileContents lido = ReadWholeFile(aula.Guide, 1 << 20);
  const QString conteudo = QString::fromUtf8(lido.Bytes);
  if (aula.Guide.extension() == ".html")
    texto->setHtml(conteudo);
  else
    texto->setPlainText(conteudo);
  guia->setWindowTitle(QStringLiteral("Guia: ") + LessonCaption(QString::fromStdString(aula.Title)));
  guia->show();
  guia->raise();
}

}  // namespace

QString LessonCaption(const QString& titulo) {
  QString texto = titulo.trimmed();
  // Only a title written in capitals is recased; one the author wrote in mixed case stays as written.
  if (texto != texto.toUpper()) return texto;
  texto = texto.toLower();
  if (!texto.isEmpty()) texto[0] = texto[0].toUpper();
  return texto;
}

QString KeysAndMouseText(const QMenuBar& barra) {
  QString texto = QString::fromUtf8(MouseAndPanelKeys) + "\nTeclado, em toda a janela:\n";
  for (const QAction* a : barra.actions())
    if (a->menu()) ListMenu(*a->menu(), Caption(a->text()), texto);
  return texto;
}

QMenu* CreateHelpMenu(QMainWindow& janela, const std::filesystem::path& pastaAmostras,
                      std::function<bool(const std::filesystem::path&)> abrirCena) {
  QMenu* menu = janela.menuBar()->addMenu("Ajuda");
  QMenu* aulas = menu->addMenu("Aulas prontas");
  for (const TLesson& aula : FindLessons(pastaAmostras))
    aulas->addAction(LessonCaption(QString::fromStdString(aula.Title)), &janela, [&janela, aula, abrirCena] {
      if (abrirCena(aula.Scene)) ShowGuide(janela, aula);
    });
  aulas->setEnabled(!aulas->isEmpty());
  menu->addSeparator();
  menu->addAction("Teclas e mouse", &janela, [&janela] {
    QMessageBox::information(&janela, "Teclas e mouse", KeysAndMouseText(*janela.menuBar()));
  });
  menu->addAction("Sobre o Vireta", &janela, [&janela] {
    QMessageBox::about(
        &janela, "Sobre o Vireta",
        "Vireta: um laboratório de física para estudantes.\n\n"
        "Abre uma cena da pasta \"Cenas\", simula os corpos rígidos com o Open Dynamics Engine e "
        "desenha tudo em 3D. Os objetos se pegam e se arremessam com um Wii Remote ou com o mouse; "
        "a simulação pode ser pausada, avançada passo a passo, reiniciada e desacelerada.\n\n" +
            VersionText());
  });
  return menu;
}
