// Model loading as a scene load does it: the largest mesh a scene must take (65535 vertices, 21845
// triangles) through cleaning, reading, welding, scaling, bounds and the collision buffers; and the
// reader's throughput on a model of about 8 MB, side by side with tinyobjloader (the common library) and
// with reading the file's bytes alone.

#include "common/file_io.h"
#include "scene/mesh_prep.h"
#include "scene/model_file.h"
#include "scene/obj_loader.h"

#include <benchmark/benchmark.h>
#include <tiny_obj_loader.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
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
    TModel modelo = LoadModelFromText(nome, ReadModelText(arquivo.Caminho()), {});
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

// About 8 MB: 98,000 triangles of a soup with texture coordinates and normals.
constexpr int TriangulosOitoMB = 98000;

void Bytes(benchmark::State& state, size_t tamanho) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(tamanho));
  state.counters["MB"] = static_cast<double>(tamanho) / 1e6;
}

void BM_LeituraDosBytes(benchmark::State& state) {
  const ArquivoGerado arquivo(GeraSopa(TriangulosOitoMB, true));
  for (auto _ : state) {
    TFileContents conteudo = ReadWholeFile(arquivo.Caminho());
    benchmark::DoNotOptimize(conteudo.Bytes.data());
  }
  Bytes(state, arquivo.Tamanho());
}

void BM_LeituraOBJDaMemoria(benchmark::State& state) {
  const ArquivoGerado arquivo(GeraSopa(TriangulosOitoMB, true));
  const std::string nome = arquivo.Caminho().string();
  const std::string texto = ReadWholeFile(arquivo.Caminho()).Bytes;
  for (auto _ : state) {
    TModel modelo = LoadModelFromText(nome, texto, {});
    benchmark::DoNotOptimize(modelo.Vertices.data());
  }
  Bytes(state, arquivo.Tamanho());
}

void BM_LeituraOBJDoDisco(benchmark::State& state) {
  const ArquivoGerado arquivo(GeraSopa(TriangulosOitoMB, true));
  const std::string nome = arquivo.Caminho().string();
  for (auto _ : state) {
    TModel modelo = LoadModel(nome, {});
    benchmark::DoNotOptimize(modelo.Vertices.data());
  }
  Bytes(state, arquivo.Tamanho());
}

// tinyobjloader without triangulation, as our reader keeps polygons whole.
void BM_TinyObjDaMemoria(benchmark::State& state) {
  const ArquivoGerado arquivo(GeraSopa(TriangulosOitoMB, true));
  const std::string texto = ReadWholeFile(arquivo.Caminho()).Bytes;
  for (auto _ : state) {
    tinyobj::attrib_t atributos;
    std::vector<tinyobj::shape_t> formas;
    std::vector<tinyobj::material_t> materiais;
    std::string aviso, erro;
    std::istringstream entrada(texto);
    if (!tinyobj::LoadObj(&atributos, &formas, &materiais, &aviso, &erro, &entrada, nullptr, false))
      state.SkipWithError(erro.c_str());
    benchmark::DoNotOptimize(atributos.vertices.data());
  }
  Bytes(state, arquivo.Tamanho());
}

void BM_TinyObjDoDisco(benchmark::State& state) {
  const ArquivoGerado arquivo(GeraSopa(TriangulosOitoMB, true));
  const std::string nome = arquivo.Caminho().string();
  for (auto _ : state) {
    tinyobj::attrib_t atributos;
    std::vector<tinyobj::shape_t> formas;
    std::vector<tinyobj::material_t> materiais;
    std::string aviso, erro;
    if (!tinyobj::LoadObj(&atributos, &formas, &materiais, &aviso, &erro, nome.c_str(), nullptr, false))
      state.SkipWithError(erro.c_str());
    benchmark::DoNotOptimize(atributos.vertices.data());
  }
  Bytes(state, arquivo.Tamanho());
}

}  // namespace

BENCHMARK(BM_PreparaMalhaMaxima)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreparaMalhaMaximaSoldaQuadratica)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LeituraDosBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LeituraOBJDaMemoria)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TinyObjDaMemoria)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LeituraOBJDoDisco)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TinyObjDoDisco)->Unit(benchmark::kMillisecond);
