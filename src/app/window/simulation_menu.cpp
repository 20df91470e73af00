#include "app/window/simulation_menu.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>

QMenu* CreateSimulationMenu(QMainWindow& janela, TSimulationControl& controle, QLabel& status,
                            TSimulationCommands comandos) {
  QMenu* menu = janela.menuBar()->addMenu("Simulação");
  struct {
    const char* texto;
    QList<QKeySequence> teclas;
    std::function<void()> acao;
  } const itens[] = {
      {"Pausar/Continuar", {Qt::Key_Space}, [&controle] { controle.TogglePause(); }},
      {"Avançar um passo", {Qt::Key_Period}, [&controle] { controle.StepOnce(); }},
      {"Reiniciar cena", {QKeySequence(Qt::CTRL | Qt::Key_R), Qt::Key_Backspace}, comandos.reiniciar},
      {"Mais rápido", {Qt::Key_BracketRight}, [&controle] { controle.Faster(); }},
      {"Mais lento", {Qt::Key_BracketLeft}, [&controle] { controle.Slower(); }},
      {"Enquadrar cena", {Qt::Key_Home}, comandos.enquadrar},
      {"Tela cheia",
       {Qt::Key_F11},
       [&janela] { janela.setWindowState(janela.windowState() ^ Qt::WindowFullScreen); }},
  };
  for (const auto& item : itens) {
    QAction* acao = menu->addAction(QString::fromUtf8(item.texto), &janela, item.acao);
    acao->setShortcuts(item.teclas);
  }

  auto* velocidade = new QLabel(QString::fromStdString(controle.SpeedText()), &janela);
  velocidade->setObjectName("velocidade");
  // Permanent: a passing notice never hides it.
  janela.statusBar()->addPermanentWidget(velocidade);
  controle.Subscribe([&controle, &status, velocidade] {
    velocidade->setText(QString::fromStdString(controle.SpeedText()));
    if (controle.Paused())
      status.setText(PausedText);
    else if (status.text() == PausedText)
      status.clear();
  });
  return menu;
}
