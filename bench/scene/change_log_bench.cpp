// Reading a scene whose change log was never merged: N rows marked modified and deleted, none original, so
// the merge looks for an original to replace for every one of them. The time must grow with N, not N².

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "scene/scene_table.h"

namespace fs = std::filesystem;

namespace {

void BM_RegistroDeAlteracoes(benchmark::State& state) {
  const fs::path arquivo =
      fs::temp_directory_path() / ("vireta-bench-log-" + std::to_string(::getpid()) + ".xml");
  {
    TSceneTable vazia;
    std::string texto = vazia.ToXml();
    std::string linhas;
    for (int64_t i = 0; i < state.range(0); ++i)
      linhas += "<ROW RowState=\"10\" ID=\"" + std::to_string(i) + "\"/>";
    const size_t inicio = texto.find("<ROWDATA"), fim = texto.find("/>", inicio) + 2;
    texto.replace(inicio, fim - inicio, "<ROWDATA>" + linhas + "</ROWDATA>");
    std::ofstream(arquivo) << texto;
  }
  for (auto _ : state) benchmark::DoNotOptimize(TSceneTable::Read(arquivo).RowCount());
  state.SetComplexityN(state.range(0));
  fs::remove(arquivo);
}
BENCHMARK(BM_RegistroDeAlteracoes)
    ->RangeMultiplier(2)
    ->Range(20000, 160000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
