#include "physics/geometry_factory.h"

#include <cstdint>

dGeomID CriaEsfera(dSpaceID espaco, float raio) {
  return dCreateSphere(espaco, raio);
}

dGeomID CriaCaixa(dSpaceID espaco, float lx, float ly, float lz) {
  return dCreateBox(espaco, lx, ly, lz);
}

dGeomID CriaPlano(dSpaceID espaco, float a, float b, float c, float d) {
  return dCreatePlane(espaco, a, b, c, d);
}

dGeomID CriaCilindro(dSpaceID espaco, float raio, float comprimento) {
  return dCreateCapsule(espaco, raio, comprimento);
}

dGeomID CriaMalha(dSpaceID espaco, dTriMeshDataID dados, dTriCallback* cb, dTriArrayCallback* cbArray,
                  dTriRayCallback* cbRaio) {
  return dCreateTriMesh(espaco, dados, cb, cbArray, cbRaio);
}

// Stored as index + 1 so that the engine's default (null) means "no scene object".
void TagGeometry(dGeomID geometria, std::size_t indiceObjeto) {
  dGeomSetData(geometria, reinterpret_cast<void*>(static_cast<std::uintptr_t>(indiceObjeto + 1)));
}

bool GeometryIndex(dGeomID geometria, std::size_t& indiceObjeto) {
  const auto marca = reinterpret_cast<std::uintptr_t>(dGeomGetData(geometria));
  if (marca == 0) return false;
  indiceObjeto = static_cast<std::size_t>(marca - 1);
  return true;
}
