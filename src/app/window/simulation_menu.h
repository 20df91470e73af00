#pragma once
// The "Simulação" menu: pause, one step, reload, speed, framing and full screen, each action carrying its
// keys so they work wherever the focus is in the window. The speed shows in the status bar, and the first
// status panel says "Pausado" while the world is paused.

#include "frame/simulation_control.h"

#include <functional>

class QLabel;
class QMainWindow;
class QMenu;

// What the menu asks of the window besides the world's clock.
struct TSimulationCommands {
  std::function<void()> reiniciar;  // the current scene again, from its file
  std::function<void()> enquadrar;  // every object in view
};

// Adds the menu to the window's menu bar and the speed panel to its status bar.
QMenu* CreateSimulationMenu(QMainWindow& janela, TSimulationControl& controle, QLabel& status,
                            TSimulationCommands comandos);

inline constexpr const char* PausedText = "Pausado";
