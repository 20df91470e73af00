// Trails and the unit cube drawn the fast way (arrays, buffer objects) against one GL call per vertex, in a
// real offscreen context; glFinish makes each iteration include the rasterisation.

#include "render/gl_state.h"
#include "render/object_drawing.h"
#include "render/trails.h"
#include "render/view_gl.h"
#include "support_gl/gl_test_context.h"
#include "support_gl/reference_cube.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

TTestGLContext& Contexto() {
  static const std::unique_ptr<TTestGLContext> contexto = [] {
    auto c = std::make_unique<TTestGLContext>();
    InitGLState();
    SetLightsAndMaterial();
    ClearFrame();
    ApplyProjectionAndView(TCamera{}, 769.0 / 610.0);
    return c;
  }();
  return *contexto;
}

// A falling, bouncing trail: one point per 10 ms frame.
TObjetoCena ObjetoComRastro(int64_t pontos) {
  TObjetoCena o;
  o.R = 255;
  o.Rastro.reserve(static_cast<size_t>(pontos));
  for (int64_t i = 0; i < pontos; ++i) {
    const double t = static_cast<double>(i) * 0.01;
    o.Rastro.push_back({std::fmod(t, 40) - 20, 0.5 * t, 10 * std::fabs(std::sin(t))});
  }
  return o;
}

void RastroEmArranjo(benchmark::State& state) {
  Contexto();
  const TObjetoCena o = ObjetoComRastro(state.range(0));
  for (auto _ : state) {
    DesenhaRastros(std::span<const TObjetoCena>(&o, 1));
    glFinish();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(RastroEmArranjo)->Arg(1000)->Arg(30000)->Arg(360000)->Unit(benchmark::kMicrosecond);

void RastroPontoAPonto(benchmark::State& state) {
  Contexto();
  const TObjetoCena o = ObjetoComRastro(state.range(0));
  for (auto _ : state) {
    glLineWidth(3);
    glColor4f(0.5f, 0, 0, 1);
    glBegin(GL_LINE_STRIP);
    for (const TVector& p : o.Rastro)
      glVertex3f(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z));
    glEnd();
    glLineWidth(1);
    glFinish();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(RastroPontoAPonto)->Arg(1000)->Arg(30000)->Arg(360000)->Unit(benchmark::kMicrosecond);

void CuboEmArranjo(benchmark::State& state) {
  Contexto();
  TObjectDrawing desenho;
  for (auto _ : state) {
    desenho.DesenhaCubo();
    glFinish();
  }
}
BENCHMARK(CuboEmArranjo)->Unit(benchmark::kMicrosecond);

void CuboDeBuffers(benchmark::State& state) {
  Contexto();
  TObjectDrawing desenho;
  desenho.Create();
  for (auto _ : state) {
    desenho.DesenhaCubo();
    glFinish();
  }
  desenho.Release();
}
BENCHMARK(CuboDeBuffers)->Unit(benchmark::kMicrosecond);

void CuboUmaChamadaPorCanto(benchmark::State& state) {
  Contexto();
  for (auto _ : state) {
    CuboChamadaAChamada();
    glFinish();
  }
}
BENCHMARK(CuboUmaChamadaPorCanto)->Unit(benchmark::kMicrosecond);

}  // namespace
