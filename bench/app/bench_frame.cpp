// The cost of one whole frame in an offscreen context: physics step, state copy, the full redraw, and a
// glFinish standing in for the swap (the GPU, here Mesa's llvmpipe, must really finish the picture).
// Needs a display: run under xvfb-run.

#include "UConfiguraGL.h"
#include "contexto_gl_teste.h"
#include "frame.h"
#include "frame_drawing.h"
#include "scene_loader.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

ContextoGLTeste& Contexto() {
  static ContextoGLTeste ctx(769, 610);
  return ctx;
}

fs::path CaixasEmGrade(int n) {
  TabelaCena t;
  for (int i = 0; i < n; ++i) {
    t.AcrescentaLinha();
    const auto set = [&](Coluna c, TabelaCena::Celula v) { t.Define(i, c, std::move(v)); };
    set(Coluna::ODETipo, 2);
    for (Coluna c : {Coluna::Dim1, Coluna::Dim2, Coluna::Dim3}) set(c, 1.0);
    set(Coluna::X, double(i % 15) * 1.5 - 10);
    set(Coluna::Y, double((i / 15) % 15) * 1.5 - 10);
    set(Coluna::Z, 0.5 + 1.1 * (i / 225));
    set(Coluna::Massa, 1.0);
    set(Coluna::ODEMove, true);
    set(Coluna::R, 200.0);
    set(Coluna::MostraVecV, true);
    if (i == 0) set(Coluna::TemGravidade, true);
  }
  const fs::path p = fs::temp_directory_path() /
                     ("vireta-bench-caixas-" + std::to_string(::getpid()) + "-" + std::to_string(n) + ".xml");
  t.Grava(p);
  return p;
}

void RodaQuadros(benchmark::State& state, const fs::path& arquivo) {
  Contexto().FazAtual();
  IniciaEstadoGL();
  ConfiguraLuzesEMaterial();
  TDesenhoQuadroGL desenho(769.0 / 610.0);
  desenho.CriaRecursos();
  Cena cena;
  if (!arquivo.empty()) CarregaCena(arquivo, cena, [](const std::string&, const std::string&) {});
  TCamera camera;
  TEstadoQuadro estado;
  TQuillonSetting setting;
  TContextoQuadro ctx{cena, camera, estado, setting, desenho, {}};
  const TLeituraRemoto remoto;
  for (auto _ : state) {
    TimerGLTimer(ctx, remoto, TRelogio::now());
    glFinish();
  }
  desenho.LiberaRecursos();
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

}  // namespace
