#pragma once
// One Qt application object for a whole test program (as in the program), and a user interface that records
// what the program shows and answers its dialogs: for tests of the window, the editor and the measure tools.

#include "app/widgets/user_interface.h"

#include <QString>

#include <deque>
#include <string>
#include <vector>

class TTestUserInterface : public TUserInterface {
 public:
  QString ChooseScene(const QString& pasta, const QString& amostras, const QString& filtro) override;
  QString ChooseSaveFile(const QString& titulo, const QString&, const QString&) override {
    tituloSalvar = titulo;
    return salvarComo;
  }
  void ShowError(const QString& texto) override { erros.push_back(texto.toStdString()); }
  void ShowNotice(const QString& texto, const QString& titulo) override {
    avisos.push_back((titulo + ": " + texto).toStdString());
  }

  std::deque<QString> respostas;  // the scene dialog's answers, in turn; none left: cancelled
  QString pastaPedida, amostrasPedidas, filtroPedido;
  QString salvarComo, tituloSalvar;  // the save dialog's answer, and the title it was asked with
  std::vector<std::string> erros, avisos;
};

// The user interface the application object was made with; made fresh by ResetTestUserInterface().
TTestUserInterface& TestUserInterface();
void ResetTestUserInterface();
