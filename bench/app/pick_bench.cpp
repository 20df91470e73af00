// The cost of one mouse pick: a ray through the panel against every object of the scene, for a grid of
// boxes and for the sample model scene (its triangles are tested one by one). No display needed.

#include "frame/mouse_pick.h"
#include "scene/scene_loader.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

TPanelView View() {
  TPanelView v{{}, 769, 610};
  v.camera.Olho = {7, -10, 6};
  v.camera.Centro = {0, 0, 1};
  return v;
}

void Load(const fs::path& arquivo, TScene& cena) {
  LoadScene(arquivo, cena, [](const std::string&, const std::string&) {});
}

// Rays over the panel's width at mid-height, so misses and hits are both counted.
void PickAcross(benchmark::State& state, const TScene& cena) {
  const TPanelView v = View();
  int x = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(PickObject(cena, RayThroughPanel(v, x, 305)));
    x = (x + 7) % 769;
  }
}

void BM_PickBoxes(benchmark::State& state) {
  const fs::path arquivo = fs::temp_directory_path() / "vireta_pick_bench.xml";
  TSceneTable t;
  for (int i = 0; i < state.range(0); ++i) {
    t.AppendRow();
    t.Define(i, TColumn::ODETipo, 2);
    for (TColumn c : {TColumn::Dim1, TColumn::Dim2, TColumn::Dim3}) t.Define(i, c, 1.0);
    t.Define(i, TColumn::X, double(i % 15) * 1.5 - 10);
    t.Define(i, TColumn::Y, double(i / 15) * 1.5 - 10);
    t.Define(i, TColumn::Massa, 1.0);
  }
  t.Write(arquivo);
  TScene cena;
  Load(arquivo, cena);
  fs::remove(arquivo);
  PickAcross(state, cena);
}
BENCHMARK(BM_PickBoxes)->Arg(10)->Arg(225);

void BM_PickModel(benchmark::State& state) {
  TScene cena;
  Load(fs::path(VIRETA_SOURCE_DIR) / "Cenas" / "malha_obj.xml", cena);
  PickAcross(state, cena);
}
BENCHMARK(BM_PickModel);

}  // namespace
