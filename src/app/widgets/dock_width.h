#pragma once
// Docks open beside the picture, not over it: the main window grows by the dock's width while it shows.

class QMainWindow;

// Widens `janela` by `largura` pixels when a dock shows (narrows it back when it hides), keeping a window of
// fixed size fixed, and moves a window that would now reach past its screen's edge back onto it.
void WidenForDock(QMainWindow& janela, int largura, bool mostrando);
