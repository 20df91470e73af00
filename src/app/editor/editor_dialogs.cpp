#include "app/editor/editor_dialogs.h"

#include "app/editor/numbers_dialog.h"
#include "app/widgets/scene_dialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

TUnsavedAnswer TQtEditorDialogs::AskUnsaved(const QString& cena) {
  QMessageBox caixa(QMessageBox::Question, QApplication::applicationDisplayName(),
                    "A cena \"" + cena + "\" tem alterações que não foram salvas. Salvar antes de continuar?",
                    QMessageBox::NoButton, QApplication::activeWindow());
  QPushButton* salvar = caixa.addButton("Salvar", QMessageBox::AcceptRole);
  QPushButton* descartar = caixa.addButton("Descartar", QMessageBox::DestructiveRole);
  QPushButton* cancelar = caixa.addButton("Cancelar", QMessageBox::RejectRole);
  caixa.setDefaultButton(salvar);
  caixa.setEscapeButton(cancelar);
  caixa.exec();
  if (caixa.clickedButton() == salvar) return TUnsavedAnswer::Save;
  if (caixa.clickedButton() == descartar) return TUnsavedAnswer::Discard;
  return TUnsavedAnswer::Cancel;
}

QString TQtEditorDialogs::ChooseSavePath(const QString& sugestao) {
  const QString escolhido = ChosenFile(*MakeSaveDialog(QApplication::activeWindow(), "Salvar cena como",
                                                       sugestao, "Arquivo de cena (.xml) (*.xml)"));
  return SceneSavePath(escolhido);
}

QString SceneSavePath(const QString& escolhido) {
  if (escolhido.isEmpty() || escolhido.endsWith(".xml", Qt::CaseInsensitive)) return escolhido;
  return escolhido + ".cena.xml";
}

QString TQtEditorDialogs::ChooseModel(const QString& pastaInicial) {
  const auto dialogo =
      MakeSceneDialog(QApplication::activeWindow(), pastaInicial, "Modelo OBJ (*.obj *.OBJ)");
  dialogo->setWindowTitle("Escolher modelo");
  return ChosenFile(*dialogo);
}

std::optional<QColor> TQtEditorDialogs::ChooseColour(const QColor& atual) {
  // Qt's own dialog, never the desktop's, as for files: only it speaks the language the program loads.
  const QColor c = QColorDialog::getColor(atual, QApplication::activeWindow(), "Cor do objeto",
                                          QColorDialog::ShowAlphaChannel | QColorDialog::DontUseNativeDialog);
  if (!c.isValid()) return std::nullopt;
  return c;
}

std::optional<TRampSpec> TQtEditorDialogs::AskRamp() {
  const TRampSpec r;
  const auto v = AskNumbers(QApplication::activeWindow(), "Rampa",
                            {{"Ângulo", {0, 90, true, "°", "", true}, r.anguloGraus},
                             {"Comprimento", {0, 1000, true, " m", ""}, r.comprimento},
                             {"Largura", {0, 1000, true, " m", ""}, r.largura},
                             {"Atrito", {0, 100, false, "", ""}, r.atrito}});
  if (!v) return std::nullopt;
  return TRampSpec{(*v)[0], (*v)[1], (*v)[2], (*v)[3]};
}

std::optional<TBlockSpec> TQtEditorDialogs::AskBlock() {
  const TBlockSpec b;
  const auto v = AskNumbers(
      QApplication::activeWindow(), "Bloco na rampa",
      {{"Comprimento (ao longo da rampa)", {0, 1000, true, " m", ""}, b.comprimento},
       {"Largura", {0, 1000, true, " m", ""}, b.largura},
       {"Altura", {0, 1000, true, " m", ""}, b.altura},
       {"Massa", {0, 1e6, true, " kg", "o motor de física precisa de uma massa positiva"}, b.massa}});
  if (!v) return std::nullopt;
  return TBlockSpec{(*v)[0], (*v)[1], (*v)[2], (*v)[3]};
}
