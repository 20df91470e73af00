// Loading a scene whose one row is a mesh of 65,535 vertices and 21,845 triangles: the whole road from
// the scene file to the engine's collision geometry (clean, load, weld, scale, bounds, collision data).

#include "scene/scene_loader.h"

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <fstream>

namespace fs = std::filesystem;

namespace {

struct Arquivos {
  fs::path pasta, cena;
  Arquivos() {
    pasta = fs::temp_directory_path() / ("vireta-bench-" + std::to_string(::getpid()));
    fs::create_directories(pasta);
    std::ofstream obj(pasta / "grande.obj");
    // 21,845 separate triangles: 65,535 vertices, a third of them repeated, so the weld has work.
    for (int t = 0; t < 21845; ++t) {
      const double x = t % 150, y = t / 150;
      obj << "v " << x << ' ' << y << " 0\n";
      obj << "v " << x + 1 << ' ' << y << " 0." << (t % 7) << "\n";
      obj << "v " << x << ' ' << y + 1 << " 0\n";
    }
    obj << "g malha\n";
    for (int t = 0; t < 21845; ++t) obj << "f " << 3 * t + 1 << ' ' << 3 * t + 2 << ' ' << 3 * t + 3 << '\n';
    obj.close();
    TSceneTable tabela;
    tabela.AppendRow();
    tabela.Define(0, TColumn::ODETipo, 4);
    tabela.Define(0, TColumn::Arquivo, std::string("grande.obj"));
    for (TColumn c : {TColumn::SX, TColumn::SY, TColumn::SZ}) tabela.Define(0, c, 0.1);
    tabela.Define(0, TColumn::Massa, 1.0);
    cena = pasta / "grande.xml";
    tabela.Write(cena);
  }
  ~Arquivos() { fs::remove_all(pasta); }
};

void BM_CarregaCenaComMalhaGrande(benchmark::State& state) {
  Arquivos a;
  for (auto _ : state) {
    TScene cena;
    LoadScene(a.cena, cena, [](const std::string&, const std::string&) {});
    benchmark::DoNotOptimize(cena.Geometrias[0]);
  }
}
BENCHMARK(BM_CarregaCenaComMalhaGrande)->Unit(benchmark::kMillisecond);

}  // namespace
