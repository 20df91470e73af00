#pragma once
// The "Ajuda" menu: the ready lessons, every key and mouse action in one message, and a word about the
// program.

#include <QString>

#include <filesystem>
#include <functional>

class QMainWindow;
class QMenu;
class QMenuBar;

// Adds the menu to the window's menu bar. "Aulas prontas" lists the lessons in `pastaAmostras`; choosing one
// hands its scene to `abrirCena` and, once it opened, shows its guide in a window of its own.
QMenu* CreateHelpMenu(QMainWindow& janela, const std::filesystem::path& pastaAmostras,
                      std::function<bool(const std::filesystem::path&)> abrirCena);

// A lesson's title as a menu shows it: "LANÇAMENTO OBLÍQUO" becomes "Lançamento oblíquo".
QString LessonCaption(const QString& titulo);

// The mouse and panel keys, then every menu action that has keys, read from the menu bar as it stands, so
// no key is left out of the help.
QString KeysAndMouseText(const QMenuBar& barra);
