// A model file and its material file: any bytes load or give EModelError; the collision mesh built from a
// model names only its own vertices and no folded triangle; and the mesh collides, through the scene's own
// contact handler, with a copy of itself and with every other kind of shape without a fault.

#include <ode/ode.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "physics/geometry_factory.h"
#include "physics/ode_runtime.h"
#include "physics/world.h"
#include "scene/mesh_prep.h"
#include "scene/obj_loader.h"
#include "scene/scene.h"
#include "support/temp_folder.h"

namespace {

void CheckMesh(const TCollisionMesh& malha) {
  if (malha.Vertices.size() % 4 != 0) FuzzFailure("vertices not in fours");
  if (malha.Indices.size() % 3 != 0) FuzzFailure("indices not in threes");
  const std::size_t n = malha.Vertices.size() / 4;
  for (std::size_t t = 0; t < malha.Indices.size(); t += 3) {
    const uint32_t a = malha.Indices[t], b = malha.Indices[t + 1], c = malha.Indices[t + 2];
    if (a >= n || b >= n || c >= n) FuzzFailure("a triangle names a vertex the mesh does not have");
    if (a == b || b == c || a == c) FuzzFailure("a triangle with a folded corner");
  }
}

dBodyID Body(TPhysicsWorld& mundo, dGeomID g, double x, double y, double z) {
  dBodyID corpo = dBodyCreate(mundo.Mundo());
  dGeomSetBody(g, corpo);
  dBodySetPosition(corpo, x, y, z);
  return corpo;
}

// Two copies of the mesh a little apart, and a sphere, a box and a capsule where the mesh is, stepped.
void Collide(const TModel& modelo, TCollisionMesh& malha) {
  std::vector<TOdeMeshData> dados;  // outlives the world, whose geometries read it
  TPhysicsWorld mundo(true);
  const TVertex3f& c = modelo.BoundsCentre;
  const double z = 1 - modelo.BoundsMin.z;
  for (int copia = 0; copia < 2; ++copia) {
    dTriMeshDataID d = dados.emplace_back(dGeomTriMeshDataCreate()).get();
    dGeomTriMeshDataBuildSingle(d, malha.Vertices.data(), 4 * sizeof(float),
                                static_cast<int>(malha.Vertices.size() / 4), malha.Indices.data(),
                                static_cast<int>(malha.Indices.size()), 3 * sizeof(dTriIndex));
    dGeomID g = CriaMalha(mundo.Espaco(), d);
    TagGeometry(g, static_cast<std::size_t>(copia));
    Body(mundo, g, 0.1 * copia, 0, z);
  }
  const float r = static_cast<float>(std::max(0.05, modelo.MaxExtent / 4));
  Body(mundo, CriaEsfera(mundo.Espaco(), r), c.x, c.y, c.z + z);
  Body(mundo, CriaCaixa(mundo.Espaco(), r, r, r), c.x + r, c.y, c.z + z);
  Body(mundo, CriaCilindro(mundo.Espaco(), r, r), c.x, c.y + r, c.z + z);
  const std::vector<double> atritos(5, 0.5);
  const TContactParameters parametros{1, atritos};
  try {
    for (int passo = 0; passo < 3; ++passo) mundo.PassoMundo(parametros);
  } catch (const EPhysicsEngineError&) {
    // The engine refusing its numbers is reported to the user; only a fault is a finding here.
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::vector<std::string_view> partes = SplitFuzzInput(data, size);
  EmptyFuzzFolder();
  const auto nome = FuzzFolder() / "modelo.obj";
  WriteFile(nome, partes[0]);
  if (partes.size() > 1) WriteFile(FuzzFolder() / "modelo.mtl", partes[1]);
  InitPhysicsEngine();
  TModel modelo;
  try {
    modelo = LoadModel(nome.string(), nullptr);
  } catch (const EModelError&) {
    return 0;
  } catch (const std::runtime_error&) {
    return 0;  // a material file that cannot be read
  }
  WeldVertices(modelo);
  ComputeBounds(modelo);
  TCollisionMesh malha = BuildCollisionMesh(modelo);
  CheckMesh(malha);
  // The scene refuses models that leave the world or overflow; the contact test is for what it accepts.
  if (malha.Indices.empty() || !std::isfinite(modelo.MaxExtent) || modelo.MaxExtent > 1000) return 0;
  for (const float v : malha.Vertices)
    if (!std::isfinite(v)) return 0;
  Collide(modelo, malha);
  return 0;
}
