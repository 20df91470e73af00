#pragma once
// The dialogs that pick a file to open or to save.

#include <QString>
#include <QStringList>

#include <memory>

class QFileDialog;
class QWidget;

// Qt's own file dialog, never the desktop's: only Qt's dialog speaks the language the program loads. It
// opens in `pastaInicial`, shows the files `filtro` lets through, and picks one existing file. The side
// panel lists `pastaInicial`, each folder of `atalhos` and the home folder.
std::unique_ptr<QFileDialog> MakeSceneDialog(QWidget* dono, const QString& pastaInicial,
                                             const QString& filtro, const QStringList& atalhos = {});

// The same dialog for saving: titled `titulo`, opening on `sugestao` (a folder, or a file to propose), asking
// before it replaces a file.
std::unique_ptr<QFileDialog> MakeSaveDialog(QWidget* dono, const QString& titulo, const QString& sugestao,
                                            const QString& filtro);

// Runs a dialog made above; the chosen file, or an empty text when the user cancels.
QString ChosenFile(QFileDialog& dialogo);
