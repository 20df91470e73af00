#pragma once
// The window's conversations with the user: the scene dialog and message boxes. Behind an interface so
// that the window runs in tests without anything modal.

#include <QString>

class TUserInterface {
 public:
  virtual ~TUserInterface() = default;
  // The chosen file, or an empty text when the user cancels.
  virtual QString EscolheCena(const QString& pastaInicial, const QString& filtro) = 0;
  // The application's general error handler: the error's text in a message box.
  virtual void MostraErro(const QString& texto) = 0;
  // A notice with its own caption (the model loader's missing files).
  virtual void MostraAviso(const QString& texto, const QString& titulo) = 0;
};

// Qt's file dialog and message boxes.
class TQtUserInterface : public TUserInterface {
 public:
  QString EscolheCena(const QString& pastaInicial, const QString& filtro) override;
  void MostraErro(const QString& texto) override;
  void MostraAviso(const QString& texto, const QString& titulo) override;
};
