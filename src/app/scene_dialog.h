#pragma once
// The dialog that picks a scene file.

#include <QString>

#include <memory>

class QFileDialog;
class QWidget;

// Qt's own file dialog, never the desktop's: only Qt's dialog speaks the language the program loads. It
// opens in `pastaInicial`, shows the files `filtro` lets through, and picks one existing file.
std::unique_ptr<QFileDialog> MakeSceneDialog(QWidget* dono, const QString& pastaInicial,
                                             const QString& filtro);
