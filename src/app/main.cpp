// Vireta: a physics sandbox for students. Takes no command-line arguments.

#include "TMainForm.h"
#include "application.h"
#include "settings.h"
#include "termination_signals.h"
#include "user_interface.h"

#include <csignal>

int main(int argc, char** argv) {
  // A write to a device or process that went away comes back as an error instead of ending the program.
  std::signal(SIGPIPE, SIG_IGN);
  // Floating-point exceptions stay masked, as x86-64 Linux starts: degenerate math gives NaN, never a trap.
  TAplicacaoVireta::DefineFormatoGL();
  TInterfaceUsuarioQt ui;
  TAplicacaoVireta app(argc, argv, ui);
  TMainForm form(PastaDoPrograma(), ui);
  TSinaisDeTermino sinais([&form] { form.close(); });
  form.Mostra();
  return app.exec();
}
