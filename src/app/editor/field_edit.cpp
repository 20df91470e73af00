#include "app/editor/field_edit.h"

#include <QKeyEvent>

void TFieldEdit::ShowSaved(const QString& texto) {
  saved_ = texto;
  setText(texto);
}

void TFieldEdit::keyPressEvent(QKeyEvent* evento) {
  if (evento->key() == Qt::Key_Escape && text() != saved_) {
    setText(saved_);
    evento->accept();
    return;
  }
  const bool enter = evento->key() == Qt::Key_Return || evento->key() == Qt::Key_Enter;
  QLineEdit::keyPressEvent(evento);  // Enter emits editingFinished here, which commits
  if (enter && afterEnter_) afterEnter_();
}
