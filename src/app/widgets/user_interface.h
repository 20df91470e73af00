#pragma once
// The window's conversations with the user: the scene dialog and message boxes. Behind an interface so
// that the window runs in tests without anything modal.

#include <QString>

class TUserInterface {
 public:
  virtual ~TUserInterface() = default;
  // The chosen file, or an empty text when the user cancels. The dialog opens in `pastaInicial` with
  // `pastaAmostras` (the shipped samples) one click away.
  virtual QString ChooseScene(const QString& pastaInicial, const QString& pastaAmostras,
                              const QString& filtro) = 0;
  // Where to write a new file, starting from `sugestao`; an empty text when the user cancels.
  virtual QString ChooseSaveFile(const QString& titulo, const QString& sugestao, const QString& filtro) = 0;
  // The application's general error handler: the error's text in a message box.
  virtual void ShowError(const QString& texto) = 0;
  // A notice with its own caption (the model loader's missing files).
  virtual void ShowNotice(const QString& texto, const QString& titulo) = 0;
};

// Qt's file dialog and message boxes.
class TQtUserInterface : public TUserInterface {
 public:
  QString ChooseScene(const QString& pastaInicial, const QString& pastaAmostras,
                      const QString& filtro) override;
  QString ChooseSaveFile(const QString& titulo, const QString& sugestao, const QString& filtro) override;
  void ShowError(const QString& texto) override;
  void ShowNotice(const QString& texto, const QString& titulo) override;
};
