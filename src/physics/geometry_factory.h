#pragma once
// Creates each kind of collision geometry in a space, not attached to a body. Lengths are single precision,
// as the engine's own vectors are on the program's side.

#include <ode/ode.h>

dGeomID CriaEsfera(dSpaceID espaco, float raio);
dGeomID CriaCaixa(dSpaceID espaco, float lx, float ly, float lz);
dGeomID CriaPlano(dSpaceID espaco, float a, float b, float c, float d);  // a·x + b·y + c·z = d
dGeomID CriaCilindro(dSpaceID espaco, float raio, float comprimento);    // capped, axis along its own z
dGeomID CriaMalha(dSpaceID espaco, dTriMeshDataID dados, dTriCallback* cb = nullptr,
                  dTriArrayCallback* cbArray = nullptr, dTriRayCallback* cbRaio = nullptr);

// The scene object a geometry belongs to travels with the geometry, for the collision handler.
void TagGeometry(dGeomID geometria, std::size_t indiceObjeto);
// True and the object's index for a scene geometry; false for the ground and unmarked geometries.
bool GeometryIndex(dGeomID geometria, std::size_t& indiceObjeto);
