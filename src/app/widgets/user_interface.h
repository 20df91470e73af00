#pragma once
// The window's conversations with the user: the scene dialog, message boxes and the status bar's notices.
// The dialogs and boxes are behind an interface, so that the window runs in tests without anything modal.

#include <QString>

class QMainWindow;

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

// A notice in the window's status bar: it starts with a capital letter and goes away by itself after
// StatusNoticeMs (the window also clears it when another scene starts). States that last, such as
// "Pausado", are not notices: they live in a panel of their own and come back when the notice goes.
inline constexpr int StatusNoticeMs = 10000;

// `texto` with its first letter made upper case.
QString Capitalised(QString texto);

void ShowStatusNotice(QMainWindow& janela, const QString& texto, int ms = StatusNoticeMs);
