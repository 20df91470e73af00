// The processor time a paused window takes, with the real window, frame and drawing: the world paused and
// nothing moving (a moving object selected, its launch arrow shown), the picture should rest (the aim is
// under 5 % of one core). For comparison, the same scene running.
// Usage: vireta-bench-paused [SCENE.xml] [seconds]   (needs a display; under CI xvfb-run)

#include "app/window/application.h"
#include "app/window/main_form.h"
#include "support/silent_user_interface.h"

#include <QElapsedTimer>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace {

// User and system time of every thread of the process (the GL driver's included), in seconds.
double ProcessorSeconds() {
  rusage uso{};
  getrusage(RUSAGE_SELF, &uso);
  const auto s = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
  return s(uso.ru_utime) + s(uso.ru_stime);
}

// Measures `segundos` of the running event loop, then calls `depois` with the share of one core taken.
void Measure(double segundos, std::function<void(double)> depois) {
  auto relogio = std::make_shared<QElapsedTimer>();
  relogio->start();
  const double inicio = ProcessorSeconds();
  QTimer::singleShot(static_cast<int>(segundos * 1000), [=] {
    depois(100.0 * (ProcessorSeconds() - inicio) / (relogio->nsecsElapsed() / 1e9));
  });
}

}  // namespace

int main(int argc, char** argv) {
  const std::string cena = argc > 1 ? argv[1] : std::string(VIRETA_SOURCE_DIR) + "/Cenas/rampa_atrito.xml";
  const double segundos = argc > 2 ? std::stod(argv[2]) : 60.0;
  TViretaApplication::SetGLFormat();
  TSilentUserInterface ui;
  TViretaApplication app(argc, argv, ui);
  const auto pasta = std::filesystem::temp_directory_path() / "vireta-bench-paused";
  std::filesystem::create_directories(pasta);
  {
    TMainForm form(pasta, ui);
    form.Show();
    form.OpenScene(cena);
    const double correndo = std::min(segundos, 10.0);
    QTimer::singleShot(1000, [&] {  // after start-up has settled
      Measure(correndo, [&](double rodando) {
        std::printf("%s running: %.1f %% of a core over %.0f s\n", cena.c_str(), rodando, correndo);
        // Paused with a moving object selected, as a teacher aiming a launch leaves it: its arrow is drawn.
        if (const TScene* s = form.Session().CurrentScene())
          for (std::size_t i = 0; i < s->Objetos.size(); ++i)
            if (s->Objetos[i].ODEMove) {
              form.Session().Selection().Set(i);
              break;
            }
        form.Session().Control().SetPaused(true);
        QTimer::singleShot(500, [&] {
          Measure(segundos, [&](double pausado) {
            std::printf("%s paused: %.1f %% of a core over %.0f s (aim: under 5 %%)\n", cena.c_str(), pausado,
                        segundos);
            form.close();
          });
        });
      });
    });
    app.exec();
  }
  std::filesystem::remove_all(pasta);
  return 0;
}
