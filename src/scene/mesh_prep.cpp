#include "scene/mesh_prep.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <unordered_map>

namespace {

size_t CountVertices(const TModel& modelo) {
  const int64_t n = std::min<int64_t>(modelo.VertexCount, static_cast<int64_t>(modelo.Vertices.size()) - 1);
  return n > 0 ? static_cast<size_t>(n) : 0;
}

size_t CountGroups(const TModel& modelo) {
  const int64_t n = std::min<int64_t>(modelo.GroupCount, static_cast<int64_t>(modelo.Groups.size()) - 1);
  return n > 0 ? static_cast<size_t>(n) : 0;
}

size_t CountFaces(const TGroup& grupo) {
  const int64_t n = std::min<int64_t>(grupo.FaceCount, static_cast<int64_t>(grupo.Faces.size()) - 1);
  return n > 0 ? static_cast<size_t>(n) : 0;
}

// Bit patterns stand for numeric equality once -0 is folded into 0 (NaN vertices never reach the key).
struct TPositionKey {
  uint32_t x, y, z;
  bool operator==(const TPositionKey&) const = default;
};

uint32_t Bits(float f) {
  return std::bit_cast<uint32_t>(f == 0.0f ? 0.0f : f);
}

struct TPositionHash {
  size_t operator()(const TPositionKey& k) const {
    uint64_t h = k.x;
    h = h * 0x9E3779B97F4A7C15ull ^ k.y;
    h = h * 0x9E3779B97F4A7C15ull ^ k.z;
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 32;
    return static_cast<size_t>(h);
  }
};

bool SamePosition(const TVertex3f& a, const TVertex3f& b) {
  return a.x == b.x && a.y == b.y && a.z == b.z;
}

// Rewrites every in-range corner through `representante` (indexed by vertex number).
void ApplyWeld(TModel& modelo, const std::vector<int32_t>& representante) {
  const size_t n = representante.size() - 1;
  for (size_t g = 1; g <= CountGroups(modelo); ++g) {
    TGroup& grupo = modelo.Groups[g];
    for (size_t f = 1; f <= CountFaces(grupo); ++f) {
      for (int32_t& v : grupo.Faces[f].VertexIndex) {
        if (v >= 1 && static_cast<size_t>(v) <= n) v = representante[static_cast<size_t>(v)];
      }
    }
  }
}

}  // namespace

void WeldVertices(TModel& modelo) {
  const size_t n = CountVertices(modelo);
  std::vector<int32_t> representante(n + 1, 0);
  std::unordered_map<TPositionKey, int32_t, TPositionHash> primeiro;
  primeiro.reserve(n);
  for (size_t v = 1; v <= n; ++v) {
    const TVertex3f& p = modelo.Vertices[v];
    representante[v] = static_cast<int32_t>(v);
    if (std::isnan(p.x) || std::isnan(p.y) || std::isnan(p.z)) continue;
    // Vertices are visited in number order, so the first one stored at a position is the lowest.
    const auto [it, novo] =
        primeiro.try_emplace(TPositionKey{Bits(p.x), Bits(p.y), Bits(p.z)}, static_cast<int32_t>(v));
    if (!novo) representante[v] = it->second;
  }
  ApplyWeld(modelo, representante);
}

void WeldVerticesQuadratic(TModel& modelo) {
  const size_t n = CountVertices(modelo);
  std::vector<int32_t> representante(n + 1, 0);
  for (size_t v = 1; v <= n; ++v) {
    representante[v] = static_cast<int32_t>(v);
    for (size_t u = 1; u < v; ++u) {
      if (SamePosition(modelo.Vertices[u], modelo.Vertices[v])) {
        representante[v] = static_cast<int32_t>(u);
        break;
      }
    }
  }
  ApplyWeld(modelo, representante);
}

void ScaleModel(TModel& modelo, double sx, double sy, double sz) {
  const size_t n = CountVertices(modelo);
  for (size_t v = 1; v <= n; ++v) {
    TVertex3f& p = modelo.Vertices[v];
    p.x = static_cast<float>(p.x * sx);
    p.y = static_cast<float>(p.y * sy);
    p.z = static_cast<float>(p.z * sz);
  }
}

TCollisionMesh BuildCollisionMesh(const TModel& modelo) {
  TCollisionMesh malha;
  const size_t n = CountVertices(modelo);
  malha.Vertices.reserve(4 * n);
  for (size_t v = 1; v <= n; ++v) {
    const TVertex3f& p = modelo.Vertices[v];
    malha.Vertices.insert(malha.Vertices.end(), {p.x, p.y, p.z, 0.0f});
  }
  for (size_t g = 1; g <= CountGroups(modelo); ++g) {
    const TGroup& grupo = modelo.Groups[g];
    for (size_t f = 1; f <= CountFaces(grupo); ++f) {
      const TFace& face = grupo.Faces[f];
      if (face.Count < 3 || !ValidFace(modelo, face)) continue;
      const auto indice = [&](size_t c) { return static_cast<uint32_t>(face.VertexIndex[c] - 1); };
      for (size_t c = 1; c + 1 < face.VertexIndex.size(); ++c) {
        const uint32_t a = indice(0), b = indice(c), d = indice(c + 1);
        // Welding can fold corners together; a triangle without area only misleads the contact test.
        if (a == b || b == d || a == d) continue;
        malha.Indices.insert(malha.Indices.end(), {a, b, d});
      }
    }
  }
  return malha;
}
