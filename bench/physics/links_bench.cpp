// One frame (0.01 s, however many steps its links need) of the lessons with links, and of a chain of N
// rods hanging from a fixed point, whose swing the engine's exact solver holds.

#include "scene/scene_loader.h"
#include "scene/simulation_step.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

const char* const Licoes[] = {"pendulo_simples.xml",      "pendulo_duplo.xml",  "massa_mola_vertical.xml",
                              "molas_serie_paralelo.xml", "maquina_atwood.xml", "porta_dobradica.xml"};

void BM_QuadroDaLicao(benchmark::State& state) {
  TScene cena;
  const std::string nome = Licoes[state.range(0)];
  LoadScene(std::string(VIRETA_SOURCE_DIR) + "/Cenas/" + nome, cena, {});
  state.SetLabel(nome);
  for (int i = 0; i < 50; ++i) SimulationStep(cena);
  for (auto _ : state) SimulationStep(cena);
}
BENCHMARK(BM_QuadroDaLicao)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);

void BM_QuadroDeCorrenteDeHastes(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  TSceneTable t;
  for (int i = 0; i < n; ++i) {
    t.AppendRow();
    const double x = 0.3 * (i + 1);
    const std::pair<TColumn, TSceneTable::Celula> celulas[] = {{TColumn::ID, int32_t(i + 1)},
                                                               {TColumn::X, x},
                                                               {TColumn::Z, 20.0},
                                                               {TColumn::Dim1, 0.05},
                                                               {TColumn::Massa, 1.0},
                                                               {TColumn::ODEMove, true},
                                                               {TColumn::TemGravidade, true},
                                                               {TColumn::Ligacao, int32_t(1)},
                                                               {TColumn::LigaCom, int32_t(i)},
                                                               {TColumn::PontoX, x - 0.3},
                                                               {TColumn::PontoZ, 20.0}};
    for (const auto& [c, v] : celulas) t.Define(i, c, v);
  }
  TScene cena;
  LoadSceneTable(t, "corrente.xml", cena, {});
  for (int i = 0; i < 50; ++i) SimulationStep(cena);
  for (auto _ : state) SimulationStep(cena);
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_QuadroDeCorrenteDeHastes)->Arg(2)->Arg(10)->Arg(50)->Unit(benchmark::kMicrosecond);

}  // namespace
