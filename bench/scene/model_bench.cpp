// Model loading as a scene load does it: the largest mesh a scene must take (65535 vertices, 21845
// triangles) through cleaning, reading, welding, scaling, bounds and the collision buffers; and the
// reader's throughput on a model of several megabytes.

#include "scene/mesh_prep.h"
#include "scene/model_file.h"
#include "scene/obj_loader.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;

namespace {

class ArquivoGerado {
 public:
  explicit ArquivoGerado(const std::string& texto) {
    std::string modelo = (fs::temp_directory_path() / "vireta-bench-XXXXXX").string();
    if (mkdtemp(modelo.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    folder_ = modelo;
    std::ofstream(Caminho(), std::ios::binary) << texto;
    size_ = texto.size();
  }
  ~ArquivoGerado() {
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }
  ArquivoGerado(const ArquivoGerado&) = delete;
  ArquivoGerado& operator=(const ArquivoGerado&) = delete;
  fs::path Caminho() const { return folder_ / "malha.obj"; }
  size_t Tamanho() const { return size_; }

 private:
  fs::path folder_;
  size_t size_ = 0;
};

// A triangle soup over a grid, as exporters write it: every triangle has three vertices of its own, so
// neighbouring triangles repeat positions and the weld has work to do.
std::string GeraSopa(int triangulos, bool comTextura) {
  std::string texto = "# generated\nvn 0 0 1\n";
  if (comTextura) texto += "vt 0 0\nvt 1 0\nvt 0 1\n";
  texto += "g malha\n";
  char linha[128];
  constexpr int largura = 128;
  for (int t = 0; t < triangulos; ++t) {
    const int quad = t / 2;
    const float x = static_cast<float>(quad % largura) * 0.25f;
    const float y = static_cast<float>(quad / largura) * 0.25f;
    const bool primeiro = t % 2 == 0;
    const float cantos[3][2] = {
        {x, y}, {x + 0.25f, primeiro ? y : y + 0.25f}, {primeiro ? x + 0.25f : x, y + 0.25f}};
    for (const auto& c : cantos) {
      std::snprintf(linha, sizeof linha, "v %.6g %.6g %.6g\n", c[0], c[1], 0.01 * (t % 7));
      texto += linha;
    }
    const int v = 3 * t + 1;
    if (comTextura) {
      std::snprintf(linha, sizeof linha, "f %d/1/1 %d/2/1 %d/3/1\n", v, v + 1, v + 2);
    } else {
      std::snprintf(linha, sizeof linha, "f %d//1 %d//1 %d//1\n", v, v + 1, v + 2);
    }
    texto += linha;
  }
  return texto;
}

constexpr int TriangulosMaximos = 21845;  // 65535 vertices and 65535 index entries

template <void (*Solda)(TModel&)>
void PreparaMalha(benchmark::State& state) {
  const ArquivoGerado arquivo(GeraSopa(TriangulosMaximos, false));
  const std::string nome = arquivo.Caminho().string();
  for (auto _ : state) {
    const TCleanedModel limpo = CleanModelFile(arquivo.Caminho());
    TModel modelo = LoadModelFromText(nome, limpo.Original, {});
    Solda(modelo);
    ScaleModel(modelo, 1.5, 2.0, 0.5);
    ComputeBounds(modelo);
    const TCollisionMesh malha = BuildCollisionMesh(modelo);
    benchmark::DoNotOptimize(malha.Indices.data());
    if (modelo.VertexCount != 3 * TriangulosMaximos || malha.Indices.size() != 3u * TriangulosMaximos) {
      state.SkipWithError("generated mesh did not load whole");
    }
  }
}

void BM_PreparaMalhaMaxima(benchmark::State& state) {
  PreparaMalha<WeldVertices>(state);
}
void BM_PreparaMalhaMaximaSoldaQuadratica(benchmark::State& state) {
  PreparaMalha<WeldVerticesQuadratic>(state);
}

void BM_LeituraOBJDaMemoria(benchmark::State& state) {
  const ArquivoGerado arquivo(GeraSopa(static_cast<int>(state.range(0)), true));
  const std::string nome = arquivo.Caminho().string();
  const std::string texto = CleanModelFile(arquivo.Caminho()).Original;
  for (auto _ : state) {
    TModel modelo = LoadModelFromText(nome, texto, {});
    benchmark::DoNotOptimize(modelo.Vertices.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(arquivo.Tamanho()));
  state.counters["MB"] = static_cast<double>(arquivo.Tamanho()) / 1e6;
}

void BM_LeituraOBJDoDisco(benchmark::State& state) {
  const ArquivoGerado arquivo(GeraSopa(static_cast<int>(state.range(0)), true));
  const std::string nome = arquivo.Caminho().string();
  for (auto _ : state) {
    TModel modelo = LoadModel(nome, {});
    benchmark::DoNotOptimize(modelo.Vertices.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(arquivo.Tamanho()));
  state.counters["MB"] = static_cast<double>(arquivo.Tamanho()) / 1e6;
}

}  // namespace

BENCHMARK(BM_PreparaMalhaMaxima)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreparaMalhaMaximaSoldaQuadratica)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LeituraOBJDaMemoria)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LeituraOBJDoDisco)->Arg(100000)->Unit(benchmark::kMillisecond);
