// One physics step (collide plus quick step plus state copy) with N spheres resting on the ground.

#include "scene/simulation_step.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

void Esferas(TScene& cena, int n) {
  cena.Objetos.resize(static_cast<std::size_t>(n));
  cena.Corpos.assign(static_cast<std::size_t>(n), nullptr);
  cena.Geometrias.assign(static_cast<std::size_t>(n), nullptr);
  cena.Atritos.assign(static_cast<std::size_t>(n), 0.5);
  const int lado = static_cast<int>(std::ceil(std::sqrt(n)));
  for (int i = 0; i < n; ++i) {
    dBodyID b = dBodyCreate(cena.Mundo->Mundo());
    dGeomID g = dCreateSphere(cena.Mundo->Espaco(), 0.4f);
    dGeomSetBody(g, b);
    dBodySetPosition(b, float(i % lado) - lado / 2.0f, float(i / lado) - lado / 2.0f, 0.4f);
    dMass m;
    dMassSetSphereTotal(&m, 1, 0.4f);
    dBodySetMass(b, &m);
    cena.Corpos[static_cast<std::size_t>(i)] = b;
    cena.Geometrias[static_cast<std::size_t>(i)] = g;
    cena.Objetos[static_cast<std::size_t>(i)].ODEMove = true;
  }
}

void BM_PassoComEsferasEmRepouso(benchmark::State& state) {
  TScene cena;
  Esferas(cena, static_cast<int>(state.range(0)));
  for (int i = 0; i < 100; ++i) SimulationStep(cena);  // settle into resting contact
  for (auto _ : state) SimulationStep(cena);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PassoComEsferasEmRepouso)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
