#include "scene/scene.h"

#include <utility>

TOdeMeshData& TOdeMeshData::operator=(TOdeMeshData&& o) noexcept {
  if (this != &o) {
    Release();
    data_ = std::exchange(o.data_, nullptr);
  }
  return *this;
}

void TOdeMeshData::Release() {
  if (data_) dGeomTriMeshDataDestroy(data_);
  data_ = nullptr;
}

TScene::TScene(bool temGravidade) : Mundo(std::make_unique<TPhysicsWorld>(temGravidade)) {}

TContactParameters TScene::ContactParameters() const {
  return {Tabela().RowCount() > 0 ? Tabela().Integer(0, TColumn::TipoDeColisao) : 0, Atritos, Elasticidades};
}

// The world goes first: its mesh geometries still point into the objects' buffers until then.
TScene::~TScene() {
  Mundo.reset();
}

void TScene::Swap(TScene& outra) noexcept {
  using std::swap;
  swap(table_, outra.table_);
  swap(Objetos, outra.Objetos);
  swap(Corpos, outra.Corpos);
  swap(Geometrias, outra.Geometrias);
  swap(Atritos, outra.Atritos);
  swap(Elasticidades, outra.Elasticidades);
  swap(Mundo, outra.Mundo);
}
