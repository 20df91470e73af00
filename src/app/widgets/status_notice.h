#pragma once
// A notice in the window's status bar: it starts with a capital letter and goes away by itself after
// StatusNoticeMs (the window also clears it when another scene starts). States that last, such as
// "Pausado", are not notices: they live in a panel of their own and come back when the notice goes.

#include <QString>

class QMainWindow;

inline constexpr int StatusNoticeMs = 10000;

// `texto` with its first letter made upper case.
QString Capitalised(QString texto);

void ShowStatusNotice(QMainWindow& janela, const QString& texto, int ms = StatusNoticeMs);
