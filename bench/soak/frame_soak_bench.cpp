// Soak of the whole frame with its picture: one scene drawn offscreen (Mesa, here llvmpipe) for a number
// of real minutes with every trail on, frame after frame as fast as they come, each one stepping the
// world once. Prints per stretch of real time the resident memory and the median and 99th-percentile frame
// time, glFinish included in place of the swap. Needs a display: run under xvfb-run. Not run by CI.
//
//   vireta-bench-soak-frame SCENE.xml [minutes] [minutes per row]   (30 and 5 by default)

#include "frame/frame.h"
#include "frame/frame_drawing.h"
#include "render/gl_state.h"
#include "scene/scene_loader.h"
#include "support/frame_times.h"
#include "support_gl/gl_test_context.h"

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

int main(int argc, char** argv) {
  using namespace std::chrono;
  if (argc < 2) {
    std::fprintf(stderr, "uso: vireta-bench-soak-frame CENA.xml [minutos] [minutos por linha]\n");
    return 2;
  }
  const long minutos = argc > 2 ? std::atol(argv[2]) : 30;
  const long porLinha = argc > 3 ? std::atol(argv[3]) : 5;
  try {
    TTestGLContext contexto(769, 610);
    InitGLState();
    SetLightsAndMaterial();
    TGLFrameDrawing desenho(769.0 / 610.0);
    desenho.CreateResources();
    TScene cena;
    LoadScene(argv[1], cena, [](const std::string& texto, const std::string&) {
      std::fprintf(stderr, "aviso: %s\n", texto.c_str());
    });
    for (TObjetoCena& o : cena.Objetos) o.MostraRastroSempre = true;
    TCamera camera;
    TFrameState estado;
    TQuillonSetting setting;
    TFrameContext ctx{cena, camera, estado, setting, desenho, {}, [](const std::string& texto) {
                        std::printf("  aviso: %s\n", texto.c_str());
                      }};
    const TRemoteReading remoto;
    std::printf("%s: %zu objects, trails on, drawn offscreen for %ld real minutes\n", argv[1],
                cena.Objetos.size(), minutos);
    std::printf("%-22s %9s %9s %10s %10s %10s\n", "real minutes (sim h)", "frames", "RSS MiB", "median us",
                "p99 us", "max us");
    TFrameTimes tempos(200000);
    // The frame's clock moves 10 ms a frame: one step each, whatever the real time between frames.
    TTimePoint relogio = TMonotonicClock::now();
    long quadros = 0;
    const auto inicio = steady_clock::now();
    for (long linha = 1; linha * porLinha <= minutos; ++linha) {
      const auto fim = inicio + minutes(linha * porLinha);
      while (steady_clock::now() < fim) {
        relogio += milliseconds(10);
        const auto t0 = steady_clock::now();
        TimerGLTimer(ctx, remoto, relogio);
        glFinish();
        tempos.Add(duration<double, std::micro>(steady_clock::now() - t0).count());
        ++quadros;
      }
      char rotulo[64];
      std::snprintf(rotulo, sizeof rotulo, "%ld (%.2f)", linha * porLinha,
                    static_cast<double>(quadros) / 360000);
      tempos.PrintRow(stdout, rotulo);
    }
    desenho.ReleaseResources();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", argv[1], e.what());
    return 1;
  }
  return 0;
}
