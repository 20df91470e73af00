#include "scene/mesh_prep.h"
#include "scene/obj_loader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

using TIndices = std::vector<int32_t>;

TModel Read(const std::vector<std::string>& linhas) {
  return LoadModelFromLines("m.obj", linhas, {});
}

TEST(WeldVertices, CornersTakeTheLowestNumberedVertexAtTheSamePlace) {
  TModel m = Read({"v 0 0 0", "v 1 0 0", "v 0 1 0", "v 1 0 0", "v -0 1 0", "v 1 1 0", "f 1 2 3", "f 4 6 5",
                   "f 4 0 9", "f -9 4 5"});
  WeldVertices(m);
  const auto& faces = m.Groups[1].Faces;
  EXPECT_EQ(faces[1].VertexIndex, (TIndices{1, 2, 3}));
  EXPECT_EQ(faces[2].VertexIndex, (TIndices{2, 6, 3}));  // -0 and 0 are the same position
  EXPECT_EQ(faces[3].VertexIndex, (TIndices{2, 0, 9}));  // corners naming no vertex are left alone
  EXPECT_EQ(faces[4].VertexIndex, (TIndices{-9, 2, 3}));
  EXPECT_EQ(m.VertexCount, 6);
  EXPECT_EQ(m.Vertices[4].x, 1);  // the vertex list itself is kept
}

TModel ModeloAleatorio(std::mt19937& gerador, int vertices, int faces) {
  // Few distinct values so that many vertices share positions; NaN never equals anything.
  const float valores[] = {0.0f, -0.0f, 1.0f, -1.0f, 0.5f, 1e-45f, std::numeric_limits<float>::quiet_NaN()};
  TModel m;
  for (int v = 0; v < vertices; ++v) {
    auto valor = [&] { return valores[gerador() % std::size(valores)]; };
    m.Vertices.push_back({valor(), valor(), valor()});
  }
  m.VertexCount = vertices;
  for (int g = 0; g < 3; ++g) {
    TGroup grupo;
    grupo.Faces.resize(1);
    for (int f = 0; f < faces; ++f) {
      TFace face;
      face.Count = 3 + static_cast<int32_t>(gerador() % 3);
      for (int c = 0; c < face.Count; ++c) {
        face.VertexIndex.push_back(static_cast<int32_t>(gerador() % (vertices + 3)) - 1);
      }
      grupo.Faces.push_back(face);
    }
    grupo.FaceCount = faces;
    m.Groups.push_back(grupo);
  }
  m.GroupCount = 3;
  return m;
}

TEST(WeldVertices, MatchesThePairwiseMethod) {
  std::mt19937 gerador(7);
  for (int rodada = 0; rodada < 40; ++rodada) {
    TModel rapido = ModeloAleatorio(gerador, 1 + static_cast<int>(gerador() % 300), 50);
    TModel pares = rapido;
    WeldVertices(rapido);
    WeldVerticesQuadratic(pares);
    for (int g = 1; g <= rapido.GroupCount; ++g) {
      for (int f = 1; f <= rapido.Groups[g].FaceCount; ++f) {
        ASSERT_EQ(rapido.Groups[g].Faces[f].VertexIndex, pares.Groups[g].Faces[f].VertexIndex)
            << "round " << rodada << " group " << g << " face " << f;
      }
    }
  }
}

TEST(ScaleModel, MultipliesOnlyTheVertices) {
  TModel m = Read({"v 1 2 3", "v -0.5 0 4", "vn 0 0 1"});
  ScaleModel(m, 2, 0.5, -1);
  EXPECT_EQ(m.Vertices[1].x, 2);
  EXPECT_EQ(m.Vertices[1].y, 1);
  EXPECT_EQ(m.Vertices[1].z, -3);
  EXPECT_EQ(m.Vertices[2].x, -1);
  EXPECT_EQ(m.Normals[1].z, 1);
  EXPECT_EQ(m.Vertices[0].x, 0);  // entry 0 holds no vertex and stays zero
}

TEST(BuildCollisionMesh, FansEachFaceOverItsValidVertices) {
  TModel m = Read({"v 0 0 0", "v 1 0 0", "v 1 1 0", "v 0 1 0", "g a", "f 1 2 3 4", "f 1 2", "f 1 2 7", "g b",
                   "f 4 3 2", "vn 0 0 1", "f 1//1 2//1 3//2", "f 1/5 2/5 3/5", "f 1 1 2", "f 1 2 2 3"});
  const TCollisionMesh malha = BuildCollisionMesh(m);
  EXPECT_EQ(malha.Vertices, (std::vector<float>{0, 0, 0, 0, 1, 0, 0, 0, 1, 1, 0, 0, 0, 1, 0, 0}));
  // The quad gives both halves; faces naming a missing normal or texture coordinate keep their shape; the
  // two-corner face, the face naming vertex 7 and triangles folded onto a shared vertex are left out.
  EXPECT_EQ(malha.Indices, (std::vector<uint32_t>{0, 1, 2, 0, 2, 3, 3, 2, 1, 0, 1, 2, 0, 1, 2, 0, 1, 2}));
}

TEST(BuildCollisionMesh, EmptyModelGivesEmptyMesh) {
  const TCollisionMesh malha = BuildCollisionMesh(TModel{});
  EXPECT_TRUE(malha.Vertices.empty());
  EXPECT_TRUE(malha.Indices.empty());
}

}  // namespace
