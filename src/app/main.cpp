// Vireta: a physics sandbox for students. Takes no command-line arguments.

#include "app/application.h"
#include "app/main_form.h"
#include "app/termination_signals.h"
#include "app/user_interface.h"
#include "input/settings.h"

#include <csignal>

int main(int argc, char** argv) {
  // A write to a device or process that went away comes back as an error instead of ending the program.
  std::signal(SIGPIPE, SIG_IGN);
  // Floating-point exceptions stay masked, as x86-64 Linux starts: degenerate math gives NaN, never a trap.
  TViretaApplication::SetGLFormat();
  TQtUserInterface ui;
  TViretaApplication app(argc, argv, ui);
  TMainForm form(PastaDoPrograma(), ui);
  TTerminationSignals sinais([&form] { form.close(); });
  form.Show();
  return app.exec();
}
