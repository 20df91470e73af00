#pragma once
// The "Ajuda" menu: every key and mouse action in one message, and a word about the program.

#include <QString>

class QMainWindow;
class QMenu;
class QMenuBar;

// Adds the menu to the window's menu bar.
QMenu* CreateHelpMenu(QMainWindow& janela);

// The mouse and panel keys, then every menu action that has keys, read from the menu bar as it stands, so
// no key is left out of the help.
QString KeysAndMouseText(const QMenuBar& barra);
