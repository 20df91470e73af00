// The cost of one whole frame in an offscreen context: physics step, state copy, the full redraw, and a
// glFinish standing in for the swap (the GPU, here Mesa's llvmpipe, must really finish the picture).
// Needs a display: run under xvfb-run.

#include "frame/frame.h"
#include "frame/frame_drawing.h"
#include "render/gl_state.h"
#include "scene/scene_loader.h"
#include "support_gl/gl_test_context.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

TTestGLContext& Contexto() {
  static TTestGLContext ctx(769, 610);
  return ctx;
}

fs::path CaixasEmGrade(int n) {
  TSceneTable t;
  for (int i = 0; i < n; ++i) {
    t.AppendRow();
    const auto set = [&](TColumn c, TSceneTable::Celula v) { t.Define(i, c, std::move(v)); };
    set(TColumn::ODETipo, 2);
    for (TColumn c : {TColumn::Dim1, TColumn::Dim2, TColumn::Dim3}) set(c, 1.0);
    set(TColumn::X, double(i % 15) * 1.5 - 10);
    set(TColumn::Y, double((i / 15) % 15) * 1.5 - 10);
    set(TColumn::Z, 0.5 + 1.1 * (i / 225));
    set(TColumn::Massa, 1.0);
    set(TColumn::ODEMove, true);
    set(TColumn::R, 200.0);
    set(TColumn::MostraVecV, true);
    if (i == 0) set(TColumn::TemGravidade, true);
  }
  const fs::path p = fs::temp_directory_path() /
                     ("vireta-bench-caixas-" + std::to_string(::getpid()) + "-" + std::to_string(n) + ".xml");
  t.Write(p);
  return p;
}

void RodaQuadros(benchmark::State& state, const fs::path& arquivo, TTestGLContext& contexto = Contexto(),
                 int largura = 769, int altura = 610) {
  contexto.FazAtual();
  glViewport(0, 0, largura, altura);
  InitGLState();
  SetLightsAndMaterial();
  TGLFrameDrawing desenho(double(largura) / altura);
  desenho.CreateResources();
  TScene cena;
  if (!arquivo.empty()) LoadScene(arquivo, cena, [](const std::string&, const std::string&) {});
  TCamera camera;
  TFrameState estado;
  TQuillonSetting setting;
  TFrameContext ctx{cena, camera, estado, setting, desenho, {}, {}};
  const TRemoteReading remoto;
  for (auto _ : state) {
    TimerGLTimer(ctx, remoto, TMonotonicClock::now());
    glFinish();
  }
  desenho.ReleaseResources();
}

void BM_QuadroCenaVazia(benchmark::State& s) {
  RodaQuadros(s, {});
}
BENCHMARK(BM_QuadroCenaVazia)->Unit(benchmark::kMillisecond);

void BM_QuadroAmostra(benchmark::State& s, const char* nome) {
  RodaQuadros(s, fs::path(VIRETA_SOURCE_DIR) / "Cenas" / nome);
}
BENCHMARK_CAPTURE(BM_QuadroAmostra, queda_livre, "queda_livre.xml")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QuadroAmostra, rampa_atrito, "rampa_atrito.xml")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QuadroAmostra, pilha_caixas, "pilha_caixas.xml")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QuadroAmostra, plano, "plano.xml")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QuadroAmostra, malha_obj, "malha_obj.xml")->Unit(benchmark::kMillisecond);

void BM_QuadroComCaixas(benchmark::State& s) {
  const fs::path p = CaixasEmGrade(static_cast<int>(s.range(0)));
  RodaQuadros(s, p);
  fs::remove(p);
}
BENCHMARK(BM_QuadroComCaixas)->Arg(10)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);

// The stack of boxes on a window grown for a projector: the picture's cost grows with its pixels.
void BM_QuadroNoTamanhoDaJanela(benchmark::State& s) {
  const int largura = static_cast<int>(s.range(0)), altura = static_cast<int>(s.range(1));
  TTestGLContext contexto(largura, altura);
  RodaQuadros(s, fs::path(VIRETA_SOURCE_DIR) / "Cenas" / "pilha_caixas.xml", contexto, largura, altura);
}
BENCHMARK(BM_QuadroNoTamanhoDaJanela)
    ->Args({769, 610})
    ->Args({1280, 800})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond);

}  // namespace
