// How often TimerGL really fires with the real window, frame and drawing: 100 per second is the aim.
// Usage: vireta-bench-timer [SCENE.xml] [seconds]   (needs a display; under CI use xvfb-run)

#include "app/window/application.h"
#include "app/window/main_form.h"
#include "support/silent_user_interface.h"

#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
  const std::string cena = argc > 1 ? argv[1] : "";
  const double segundos = argc > 2 ? std::stod(argv[2]) : 10.0;
  TViretaApplication::SetGLFormat();
  TSilentUserInterface ui;
  TViretaApplication app(argc, argv, ui);
  const auto pasta = std::filesystem::temp_directory_path() / "vireta-bench-timer";
  std::filesystem::create_directories(pasta);
  long inicio = 0;
  QElapsedTimer relogio;
  {
    TMainForm form(pasta, ui);
    form.Show();
    if (!cena.empty()) form.OpenScene(cena);
    QTimer::singleShot(500, [&] {  // after start-up has settled
      inicio = form.Session().FramesRun();
      relogio.start();
      QTimer::singleShot(static_cast<int>(segundos * 1000), [&] {
        const double s = relogio.nsecsElapsed() / 1e9;
        const long n = form.Session().FramesRun() - inicio;
        std::printf("%s: %ld frames in %.2f s = %.1f frames per second (aim 100)\n",
                    cena.empty() ? "empty scene" : cena.c_str(), n, s, n / s);
        form.close();
      });
    });
    app.exec();
  }
  std::filesystem::remove_all(pasta);
  return 0;
}
