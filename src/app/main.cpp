// Vireta: a physics sandbox for students. Takes no command-line arguments.

#include "TMainForm.h"
#include "application.h"
#include "settings.h"
#include "termination_signals.h"
#include "user_interface.h"

int main(int argc, char** argv) {
  // Floating-point exceptions stay masked, as x86-64 Linux starts: degenerate math gives NaN, never a trap.
  TAplicacaoVireta::DefineFormatoGL();
  TInterfaceUsuarioQt ui;
  TAplicacaoVireta app(argc, argv, ui);
  TMainForm form(PastaDoPrograma(), ui);
  TSinaisDeTermino sinais([&form] { form.close(); });
  form.Mostra();
  return app.exec();
}
