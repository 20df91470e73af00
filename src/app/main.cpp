// Vireta: a physics sandbox for students. Takes one optional argument: a scene file to open at start.

#include "app/widgets/user_interface.h"
#include "app/window/application.h"
#include "app/window/main_form.h"
#include "app/window/start_arguments.h"
#include "app/window/termination_signals.h"
#include "input/settings/settings.h"

#include <QTimer>

#include <csignal>
#include <cstdio>

int main(int argc, char** argv) {
  // A write to a device or process that went away comes back as an error instead of ending the program.
  std::signal(SIGPIPE, SIG_IGN);
  // Floating-point exceptions stay masked, as x86-64 Linux starts: degenerate math gives NaN, never a trap.
  TViretaApplication::SetGLFormat();
  TQtUserInterface ui;
  TViretaApplication app(argc, argv, ui);
  const TStartArguments argumentos = ParseStartArguments(app.arguments());
  if (argumentos.Help) {
    std::fputs(StartUsage(app.arguments().value(0)).toLocal8Bit().constData(), stdout);
    return 0;
  }
  TMainForm form(PastaDoPrograma(), ui);
  // Quitting too ends a message box that may still be open (an error about the command line's scene).
  TTerminationSignals sinais([&form] {
    form.close();
    QCoreApplication::quit();
  });
  form.Show();
  // Once the window shows, so that an error about the arguments or the scene appears over it.
  QTimer::singleShot(0, &form, [&] {
    if (!argumentos.Error.isEmpty()) ui.ShowError(argumentos.Error);
    if (argumentos.Scene) form.OpenScene(*argumentos.Scene);
  });
  return app.exec();
}
