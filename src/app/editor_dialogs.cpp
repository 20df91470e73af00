#include "app/editor_dialogs.h"

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
  // Qt's own dialogs, never the desktop's, here as for opening scenes: only they speak the program's
  // language.
  QString escolhido = QFileDialog::getSaveFileName(QApplication::activeWindow(), "Salvar cena como", sugestao,
                                                   "Arquivo de cena (.xml) (*.xml)", nullptr,
                                                   QFileDialog::DontUseNativeDialog);
  if (!escolhido.isEmpty() && !escolhido.endsWith(".xml", Qt::CaseInsensitive)) escolhido += ".xml";
  return escolhido;
}

QString TQtEditorDialogs::ChooseModel(const QString& pastaInicial) {
  return QFileDialog::getOpenFileName(QApplication::activeWindow(), "Escolher modelo", pastaInicial,
                                      "Modelo OBJ (*.obj *.OBJ)", nullptr, QFileDialog::DontUseNativeDialog);
}

std::optional<QColor> TQtEditorDialogs::ChooseColour(const QColor& atual) {
  const QColor c = QColorDialog::getColor(atual, QApplication::activeWindow(), "Cor do objeto",
                                          QColorDialog::ShowAlphaChannel | QColorDialog::DontUseNativeDialog);
  if (!c.isValid()) return std::nullopt;
  return c;
}
