// What seeing and measuring adds to a frame: the same frames of the samples as vireta-bench-frame, with and
// without the information overlay, the names and the plots' share of the frame (the record and the plot
// history filled after each step). The plots' redraw runs from its own 50 ms timer between frames, never
// inside one: measured on its own, it is the longest the event loop keeps the next frame waiting.
// Needs a display: run under xvfb-run.

#include "app/measure/font_atlas.h"
#include "app/measure/plots_dock.h"
#include "export/frame_record.h"
#include "frame/frame.h"
#include "frame/frame_drawing.h"
#include "frame/overlay_drawing.h"
#include "frame/plot_history.h"
#include "render/gl_state.h"
#include "scene/object_readout.h"
#include "scene/scene_loader.h"
#include "support_gl/gl_test_context.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <QApplication>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The samples copied aside once, so that nothing a run does can reach the repository.
fs::path Amostras() {
  static const fs::path pasta = [] {
    const fs::path p = fs::temp_directory_path() / ("vireta-bench-overlay-" + std::to_string(::getpid()));
    fs::copy(fs::path(VIRETA_SOURCE_DIR) / "Cenas", p, fs::copy_options::recursive);
    return p;
  }();
  return pasta;
}

TTestGLContext& Contexto() {
  static TTestGLContext ctx(769, 610);
  return ctx;
}

enum class TMedida { Sem, Com, SoAsMedidas, SoOFinish, Alternadas };

double Mediana(std::vector<double> v) {
  std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
  return v[v.size() / 2];
}

void Quadros(benchmark::State& state, const char* nome, TMedida qual) {
  bool medidas = qual == TMedida::Com || qual == TMedida::SoAsMedidas || qual == TMedida::Alternadas;
  Contexto().FazAtual();
  InitGLState();
  SetLightsAndMaterial();
  TGLFrameDrawing desenho(769.0 / 610.0);
  desenho.CreateResources();
  TScene cena;
  LoadScene(Amostras() / nome, cena, [](const std::string&, const std::string&) {});
  TCamera camera;
  TFrameState estado;
  TQuillonSetting setting;
  TOverlayDrawing overlay(RenderGlyphAtlas(OverlayFont()));
  TRateMeter medidor;
  TFrameRecord registro;
  TPlotHistory historico;
  std::function<void()> passo;
  if (medidas)
    passo = [&] {
      if (!medidas) return;
      registro.Add(cena);
      const TObjectReadout r = ReadObject(cena, 0);
      historico.Add({estado.SimulatedTime, r.Posicao.z, r.Speed, r.Kinetic, r.Potential, r.Total});
    };
  TFrameContext ctx{cena, camera, estado, setting, desenho, {}, {}, passo};
  const TRemoteReading remoto;
  std::vector<double> tempos[2];  // without and with, alternate frames
  for (auto _ : state) {
    if (qual == TMedida::Alternadas) {
      medidas = tempos[0].size() > tempos[1].size();
      const auto inicio = TMonotonicClock::now();
      TimerGLTimer(ctx, remoto, inicio);
      if (medidas) {
        overlay.Draw(769, 610, {cena, estado.SimulatedTime, medidor, std::size_t{0}}, {true, true});
        medidor.Frame(estado.SimulatedTime);
      }
      glFinish();
      tempos[medidas].push_back(
          std::chrono::duration<double, std::milli>(TMonotonicClock::now() - inicio).count());
      continue;
    }
    if (qual == TMedida::SoAsMedidas || qual == TMedida::SoOFinish) {
      // The frame untimed and finished; then only what the measuring adds, one step's share included.
      state.PauseTiming();
      TimerGLTimer(ctx, remoto, TMonotonicClock::now());
      glFinish();
      state.ResumeTiming();
      if (medidas) passo();
    } else {
      TimerGLTimer(ctx, remoto, TMonotonicClock::now());
    }
    if (medidas) {
      overlay.Draw(769, 610, {cena, estado.SimulatedTime, medidor, std::size_t{0}}, {true, true});
      medidor.Frame(estado.SimulatedTime);
    }
    glFinish();
  }
  if (qual == TMedida::Alternadas && !tempos[1].empty()) {
    const double sem = Mediana(tempos[0]), com = Mediana(tempos[1]);
    state.counters["sem_ms"] = sem;
    state.counters["com_ms"] = com;
    state.counters["a_mais_ms"] = com - sem;
  }
  overlay.Release();
  desenho.ReleaseResources();
}

void BM_Quadro(benchmark::State& s, const char* nome) {
  Quadros(s, nome, TMedida::Sem);
}
void BM_QuadroComMedidas(benchmark::State& s, const char* nome) {
  Quadros(s, nome, TMedida::Com);
}
// The difference alone, free of the noise of two whole frames measured apart; minus the second glFinish
// the real frame does not have, which SoOFinish measures on its own.
void BM_SoAsMedidas(benchmark::State& s, const char* nome) {
  Quadros(s, nome, TMedida::SoAsMedidas);
}
void BM_SoOFinish(benchmark::State& s, const char* nome) {
  Quadros(s, nome, TMedida::SoOFinish);
}
// Frames without and with, one after the other, so that the machine's drift weighs on both alike: the
// medians of each and what the second costs more.
void BM_Alternados(benchmark::State& s, const char* nome) {
  Quadros(s, nome, TMedida::Alternadas);
}
#define AMOSTRA(nome)                                                                                    \
  BENCHMARK_CAPTURE(BM_Quadro, nome, #nome ".xml")->Unit(benchmark::kMillisecond);                       \
  BENCHMARK_CAPTURE(BM_QuadroComMedidas, nome, #nome ".xml")->Unit(benchmark::kMillisecond);             \
  BENCHMARK_CAPTURE(BM_SoAsMedidas, nome, #nome ".xml")->Unit(benchmark::kMicrosecond)->Iterations(200); \
  BENCHMARK_CAPTURE(BM_SoOFinish, nome, #nome ".xml")->Unit(benchmark::kMicrosecond)->Iterations(200);   \
  BENCHMARK_CAPTURE(BM_Alternados, nome, #nome ".xml")->Unit(benchmark::kMillisecond)->Iterations(1000)
AMOSTRA(queda_livre);
AMOSTRA(rampa_atrito);
AMOSTRA(pilha_caixas);
AMOSTRA(plano);
AMOSTRA(malha_obj);

// One redraw of the plots with ten seconds of samples, the most they ever show at once.
void BM_GraficosRedesenho(benchmark::State& state) {
  TPlotHistory historico;
  for (int k = 0; k <= 1000; ++k) {
    const double t = k * 0.01;
    historico.Add({t, 10 - 4.9 * t * t, 9.81 * t, 48 * t * t, 98 - 48 * t * t, 98});
  }
  TPlotsDock graficos(historico, nullptr);
  graficos.resize(380, 500);
  for (auto _ : state) {
    graficos.Refresh();
    benchmark::DoNotOptimize(graficos.grab());
  }
}
BENCHMARK(BM_GraficosRedesenho)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);  // fonts for the glyphs, widgets for the plots
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fs::remove_all(Amostras());
  return 0;
}
