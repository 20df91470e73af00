#pragma once
// The run-time form of a scene: one record per table row, the parallel arrays of engine handles and
// friction, the scene-wide values, the scene's table and the physics world that holds its bodies.

#include "physics/collision.h"
#include "physics/vector_math.h"
#include "physics/world.h"
#include "scene/mesh_prep.h"
#include "scene/obj_loader.h"
#include "scene/scene_table.h"

#include <ode/ode.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// Engine data behind a triangle-mesh geometry; released after the geometry that reads it.
class TOdeMeshData {
 public:
  TOdeMeshData() = default;
  explicit TOdeMeshData(dTriMeshDataID dados) : data_(dados) {}
  ~TOdeMeshData() { Release(); }
  TOdeMeshData(TOdeMeshData&& o) noexcept : data_(o.data_) { o.data_ = nullptr; }
  TOdeMeshData& operator=(TOdeMeshData&& o) noexcept;
  TOdeMeshData(const TOdeMeshData&) = delete;
  TOdeMeshData& operator=(const TOdeMeshData&) = delete;
  dTriMeshDataID get() const { return data_; }

 private:
  void Release();
  dTriMeshDataID data_ = nullptr;
};

inline constexpr uint8_t SemForma = 255;  // ODETipo of a row whose kind builds no shape

// Who holds an object: nobody (reads as false), the Wii Remote's pointer or the mouse. One hand never takes,
// carries, throws or drops what another holds.
enum THandId : uint8_t { NoHand = 0, RemoteHand, MouseHand };

struct TObjetoCena {
  TVector Posicao, PosicaoAnterior, VecV, VecA, Eixo;
  std::array<float, 4> Quaternio{};  // w, x, y, z as the engine orders them
  std::array<double, 4> Dim{};
  double Raio = 0;
  double Ang = 0;  // radians
  TModel Modelo;
  double R = 0, G = 0, B = 0, A = 0;  // 0 to 255
  bool Proximo = false;
  THandId Agarrado = NoHand;  // the hand that holds it
  bool ODEMove = false, UserMove = false;
  bool MostraRastroSempre = false, MostraRastroSolto = false;
  bool MostraVecV = false, MostraVecA = false, MostraEixoRot = false;
  uint8_t ODETipo = 0;  // 0 sphere, 1 capsule, 2 box, 3 plane, 4 mesh, SemForma otherwise
  bool MoveX = false, MoveY = false, MoveZ = false;
  std::vector<TVector> Rastro;  // oldest first, one point per frame, the last PathLimit kept
  bool LeftWorld = false;       // frozen where it was when a step took it outside the world
  // A mesh's mass sits at the middle of its bounds: this is that middle in the model's own scaled
  // coordinates, before the row's turn. The body, and Posicao, are there; the model's origin is at the
  // row's X, Y, Z. Zero for every other kind.
  TVector MeshCentre;

  // Collision mesh of a mesh object: the engine reads these buffers for as long as the geometry exists.
  TCollisionMesh Malha;
  TOdeMeshData DadosMalha;
};

// `v` with nothing along the axes the object may not move on (MoveX, MoveY, MoveZ): a throw, a launch.
inline TVector AlongAllowedAxes(TVector v, const TObjetoCena& o) {
  if (!o.MoveX) v.x = 0;
  if (!o.MoveY) v.y = 0;
  if (!o.MoveZ) v.z = 0;
  return v;
}

class TScene {
 public:
  // No objects; a world with only the ground, with gravity or without. The program starts with gravity.
  explicit TScene(bool temGravidade = true);
  ~TScene();
  TScene(const TScene&) = delete;
  TScene& operator=(const TScene&) = delete;

  // Exchanges everything with `outra`; nothing is destroyed, so both stay consistent.
  void Swap(TScene& outra) noexcept;

  // The collision kind is the scene's, read from its table's first row as the loader does.
  TContactParameters ContactParameters() const;

  // The rows the scene was built from. Never changed: it is shared with whoever keeps the table (the
  // document being edited), so the running scene and its document hold one table, not two.
  const TSceneTable& Tabela() const { return *table_; }
  const std::shared_ptr<const TSceneTable>& SharedTable() const { return table_; }
  void SetTable(std::shared_ptr<const TSceneTable> tabela) { table_ = std::move(tabela); }

  std::vector<TObjetoCena> Objetos;  // an object's index is its identity everywhere
  std::vector<dBodyID> Corpos;
  std::vector<dGeomID> Geometrias;  // null where the kind builds no shape
  std::vector<double> Atritos;
  std::vector<double> Elasticidades;  // an object's own restitution, negative where it has none
  std::unique_ptr<TPhysicsWorld> Mundo;

 private:
  std::shared_ptr<const TSceneTable> table_ = std::make_shared<const TSceneTable>();
};
