// Models written as other tools write them (tests/scene/corpus): Blender 2.7 and 2.8+, 3ds Max, MeshLab,
// Rhino's wrapped lines, and an open mesh with Windows line ends and a Latin-1 name.

#include "scene/mesh_prep.h"
#include "scene/obj_loader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string Corpus = std::string(VIRETA_SOURCE_DIR) + "/tests/scene/corpus/";

struct TExpectedModel {
  const char* arquivo;
  int vertices, normais, texturas, faces, triangulos;
  std::vector<std::string> grupos;  // name, then material name ("" for none)
  float minimo[3], maximo[3];
};

const TExpectedModel Modelos[] = {
    {"blender27_cube.obj", 8, 6, 4, 6, 12, {"CUBE", "MATERIAL"}, {-1, -1, -1}, {1, 1, 1}},
    {"blender28_duas_pecas.obj",
     12,
     10,
     1,
     10,
     16,
     {"BASE", "VERMELHO", "TOPO", "AZUL"},
     {-1, -1, 0},
     {1, 1, 1.5f}},
    {"max_caixa.obj", 8, 6, 4, 6, 12, {"BOX001", "WIRE_028089177"}, {-1, -0.5f, 0}, {1, 0.5f, 0.5f}},
    {"meshlab_tetra.obj", 4, 4, 0, 4, 4, {"", ""}, {-1, -1, 0}, {1, 1, 1.5f}},
    {"rhino_prisma.obj", 12, 0, 0, 8, 20, {"OBJECT_1", ""}, {-1, -0.8660254f, 0}, {1, 0.8660254f, 0.6f}},
    {"aberta.obj",
     12,
     0,
     4,
     8,
     16,
     {"CABE\xE7"
      "A",
      "PELE"},
     {-1, -1, 0},
     {1, 1, 1.2f}},
};

TEST(ModelosDeOutrosProgramas, CarregamComContagensMateriaisELimites) {
  for (const TExpectedModel& e : Modelos) {
    SCOPED_TRACE(e.arquivo);
    std::vector<std::string> avisos;
    TModel m = LoadModel(Corpus + e.arquivo,
                         [&](const std::string& texto, const std::string&) { avisos.push_back(texto); });
    EXPECT_TRUE(avisos.empty()) << avisos.front();
    EXPECT_EQ(m.VertexCount, e.vertices);
    EXPECT_EQ(m.NormalCount, e.normais);
    EXPECT_EQ(m.TexCoordCount, e.texturas);
    ASSERT_EQ(static_cast<size_t>(m.GroupCount) * 2, e.grupos.size());
    int faces = 0;
    for (int g = 1; g <= m.GroupCount; ++g) {
      faces += m.Groups[g].FaceCount;
      EXPECT_EQ(m.Groups[g].Name, e.grupos[2 * g - 2]);
      const int material = m.Groups[g].MaterialIndex;
      EXPECT_EQ(material == 0 ? std::string() : m.Materials[material].Name, e.grupos[2 * g - 1]);
    }
    EXPECT_EQ(faces, e.faces);
    ComputeBounds(m);
    const float mn[3] = {m.BoundsMin.x, m.BoundsMin.y, m.BoundsMin.z};
    const float mx[3] = {m.BoundsMax.x, m.BoundsMax.y, m.BoundsMax.z};
    for (int k = 0; k < 3; ++k) {
      EXPECT_NEAR(mn[k], e.minimo[k], 1e-5);
      EXPECT_NEAR(mx[k], e.maximo[k], 1e-5);
    }
    WeldVertices(m);
    EXPECT_EQ(BuildCollisionMesh(m).Indices.size(), 3u * e.triangulos);
  }
}

TEST(ModelosDeOutrosProgramas, CoresDosMateriais) {
  const TModel max = LoadModel(Corpus + "max_caixa.obj", {});
  ASSERT_EQ(max.MaterialCount, 1);
  EXPECT_EQ(max.Materials[1].Diffuse[1], 0.5333f);
  EXPECT_EQ(max.Materials[1].Specular[2], 0.35f);
  EXPECT_EQ(max.Materials[1].Shininess, 32);
  const TModel aberta = LoadModel(Corpus + "aberta.obj", {});
  ASSERT_EQ(aberta.MaterialCount, 1);
  EXPECT_EQ(aberta.Materials[1].Ambient[2], 0.2f);
  EXPECT_EQ(aberta.Materials[1].Diffuse[2], 0.6f);
  EXPECT_EQ(aberta.Materials[1].Specular[0], 0);
  EXPECT_EQ(aberta.Materials[1].Shininess, 10);
}

}  // namespace
