#pragma once
// Drawing of the scene objects: the lit solid pass and the unlit overlays (height markers, velocity and
// force vectors, rotation axes) and the subdivided unit cube.

#include "render/unit_cube.h"
#include "scene/scene.h"

#include <ode/ode.h>

#include <span>

class GLUquadric;  // as GLU declares it for C++

// Multiplies the current GL matrix by a body's pose: position p (3 values) and rotation R (3 x 4, row by
// row, as the engine returns it), narrowed to single precision.
void MultMatrizODE(const dReal* p, const dReal* R);

// Draws the scene objects. Holds the GL objects that live as long as the drawing context, the GLU quadric
// of spheres and capsules and the unit cube's buffers: Create and Release are called with the context
// current; the destructor touches no GL object, because the context may already be gone when it runs.
class TObjectDrawing {
 public:
  TObjectDrawing() = default;
  ~TObjectDrawing() = default;
  TObjectDrawing(const TObjectDrawing&) = delete;
  TObjectDrawing& operator=(const TObjectDrawing&) = delete;

  void Create();   // once the context is current; a second call changes nothing
  void Release();  // before the context goes away; safe to call again
  bool Created() const { return quadric_ != nullptr; }

  // The cube of side 1 centred at the origin, each face 20 x 20 quads with its outward normal, in the
  // current colour, as indexed triangles (see TUnitCube). Leaves the matrix as on entry and the client
  // arrays switched off. Works before Create too, from plain memory.
  void DesenhaCubo() const;

  // Every object in list order: the lit solid pass, then the overlays, with height markers when comAltura.
  // The pose comes from Corpos[i]; an object without a body is drawn at its Posicao and Quaternio.
  // Expects lighting off and the model-view matrix at the identity; returns with lighting, colour tracking
  // and blending off, line width 1 and the matrix as on entry. Before Create, spheres and capsules are
  // left out (they need the quadric).
  void DesenhaObjetos(std::span<const TObjetoCena> objetos, std::span<const dBodyID> corpos,
                      bool comAltura) const;
  void DesenhaObjetos(const TScene& cena, bool comAltura) const {
    DesenhaObjetos(cena.Objetos, cena.Corpos, comAltura);
  }

  // The pointer's yellow 1 x 3 x 1 block at -PonteiroPos.
  void DrawPointerBlock(const TVector& PonteiroPos) const;

 private:
  void DrawSolid(const TObjetoCena& o) const;

  GLUquadric* quadric_ = nullptr;
  TUnitCube cube_;
};
