// Vireta: a physics sandbox for students. Takes one optional argument: a scene file to open at start.

#include "app/widgets/user_interface.h"
#include "app/window/application.h"
#include "app/window/main_form.h"
#include "app/window/program_version.h"
#include "app/window/start_arguments.h"
#include "app/window/termination_signals.h"
#include "input/settings/settings.h"

#include <QStringList>
#include <QTimer>

#include <csignal>
#include <cstdio>

int main(int argc, char** argv) {
  // A write to a device or process that went away comes back as an error instead of ending the program.
  std::signal(SIGPIPE, SIG_IGN);
  // Floating-point exceptions stay masked, as x86-64 Linux starts: degenerate math gives NaN, never a trap.
  // Help and version are answered before Qt connects to a display, so that both work without one; the
  // command line is read again below, once Qt has taken its own options out of it.
  QStringList linha;
  for (int i = 0; i < argc; ++i) linha << QString::fromLocal8Bit(argv[i]);
  const TStartArguments antes = ParseStartArguments(linha);
  if (antes.Help || antes.Version) {
    const QString texto = antes.Help ? StartUsage(QStringLiteral("vireta")) : VersionText();
    std::fputs(texto.toLocal8Bit().constData(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  // A mistyped option ends here, in the terminal it was typed in, rather than in a window.
  if (!antes.Unknown.isEmpty()) {
    std::fputs(UnknownOptionText(QStringLiteral("vireta"), antes.Unknown).toLocal8Bit().constData(), stderr);
    return 2;
  }
  TViretaApplication::SetGLFormat();
  TQtUserInterface ui;
  TViretaApplication app(argc, argv, ui);
  const TStartArguments argumentos = ParseStartArguments(app.arguments());
  TMainForm form(PastaDoPrograma(), ui);
  // Quitting too ends a message box that may still be open (an error about the command line's scene).
  TTerminationSignals sinais([&form] {
    form.CloseAtSessionEnd();
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
