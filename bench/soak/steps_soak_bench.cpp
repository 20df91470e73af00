// Soak of the physics half of the frame: a scene stepped headless for hours of simulated time with every
// trail on, printing per simulated hour the resident memory and the median and 99th-percentile time of a
// frame's step plus its trail bookkeeping. Not run by CI; bench/soak/run_soak.sh runs it on every sample.
//
//   vireta-bench-soak-steps SCENE.xml [hours]   (8 by default: 2,880,000 frames)

#include "scene/scene_loader.h"
#include "scene/simulation_step.h"
#include "support/frame_times.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

namespace {

constexpr long FramesPerHour = 360000;  // 0.01 s a frame

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "uso: vireta-bench-soak-steps CENA.xml [horas]\n");
    return 2;
  }
  const long horas = argc > 2 ? std::atol(argv[2]) : 8;
  try {
    TScene cena;
    LoadScene(argv[1], cena, [](const std::string& texto, const std::string&) {
      std::fprintf(stderr, "aviso: %s\n", texto.c_str());
    });
    for (TObjetoCena& o : cena.Objetos) o.MostraRastroSempre = true;
    std::printf("%s: %zu objects, trails on, %ld simulated hours\n", argv[1], cena.Objetos.size(), horas);
    std::printf("%-22s %9s %9s %10s %10s %10s\n", "simulated hour", "frames", "RSS MiB", "median us",
                "p99 us", "max us");
    TFrameTimes tempos(FramesPerHour);
    for (long h = 1; h <= horas; ++h) {
      for (long q = 0; q < FramesPerHour; ++q) {
        const auto inicio = std::chrono::steady_clock::now();
        for (const std::size_t i : SimulationStep(cena))
          std::printf("  hour %ld frame %ld: %s\n", h, q, ObjectLeftWorldText(i).c_str());
        const std::chrono::duration<double, std::micro> gasto = std::chrono::steady_clock::now() - inicio;
        tempos.Add(gasto.count());
      }
      tempos.PrintRow(stdout, std::to_string(h));
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", argv[1], e.what());
    return 1;
  }
  return 0;
}
