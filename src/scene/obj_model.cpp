#include "scene/obj_model.h"

#include <algorithm>

namespace {

bool InRange(int32_t numero, int32_t contagem, size_t tamanho) {
  const int64_t limite = std::min<int64_t>(contagem, static_cast<int64_t>(tamanho) - 1);
  return numero >= 1 && numero <= limite;
}

}  // namespace

EModelError::EModelError(const std::string& arquivo, int linha, const std::string& detalhe)
    : std::runtime_error(arquivo + ", line " + std::to_string(linha) + ": " + detalhe),
      file_(arquivo),
      line_(linha) {}

void ComputeBounds(TModel& modelo) {
  float minimo[3] = {0, 0, 0};
  float maximo[3] = {0, 0, 0};
  const int64_t n = std::min<int64_t>(modelo.VertexCount, static_cast<int64_t>(modelo.Vertices.size()) - 1);
  for (int64_t i = 1; i <= n; ++i) {
    const TVertex3f& v = modelo.Vertices[static_cast<size_t>(i)];
    const float c[3] = {v.x, v.y, v.z};
    for (int e = 0; e < 3; ++e) {
      if (c[e] < minimo[e]) {
        minimo[e] = c[e];
      } else if (c[e] > maximo[e]) {
        maximo[e] = c[e];
      }
    }
  }
  modelo.BoundsMin = {minimo[0], minimo[1], minimo[2]};
  modelo.BoundsMax = {maximo[0], maximo[1], maximo[2]};
  modelo.BoundsCentre = {(minimo[0] + maximo[0]) / 2, (minimo[1] + maximo[1]) / 2,
                         (minimo[2] + maximo[2]) / 2};
  modelo.MaxExtent = 0;
  for (int e = 0; e < 3; ++e) {
    modelo.MaxExtent = std::max(modelo.MaxExtent, static_cast<double>(maximo[e]) - minimo[e]);
  }
}

bool ValidFace(const TModel& modelo, const TFace& face) {
  if (face.Count < 1 || face.VertexIndex.size() != static_cast<size_t>(face.Count)) return false;
  for (const int32_t v : face.VertexIndex) {
    if (!InRange(v, modelo.VertexCount, modelo.Vertices.size())) return false;
  }
  return true;
}

const TVertex3f* CornerNormal(const TModel& modelo, const TFace& face, size_t canto) {
  if (canto >= face.NormalIndex.size()) return nullptr;
  const int32_t n = face.NormalIndex[canto];
  return InRange(n, modelo.NormalCount, modelo.Normals.size()) ? &modelo.Normals[static_cast<size_t>(n)]
                                                               : nullptr;
}
