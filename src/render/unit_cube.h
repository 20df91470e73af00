#pragma once
// The subdivided unit cube of boxes and of the pointer's block: one face of 20 x 20 quads, kept as indexed
// triangles, drawn six times under turns. With a context
// that has buffer objects the vertices and indices live in the driver once (Create), otherwise they are
// handed over from plain memory at each draw; both give the same picture.

#include "render/cube_faces.h"

#include <cstdint>
#include <vector>

class TUnitCube {
 public:
  TUnitCube();
  ~TUnitCube() = default;
  TUnitCube(const TUnitCube&) = delete;
  TUnitCube& operator=(const TUnitCube&) = delete;

  // With the context current: puts the cube into buffer objects when the driver has them (OpenGL 1.5).
  // A second call changes nothing.
  void Create();
  // With the context current, before it goes away; safe to call again.
  void Release();

  // Side 1, centred at the origin, outward normals, in the current colour. Leaves the matrix as on entry,
  // the vertex array switched off and no buffer bound.
  void Draw() const;
  // The same picture for a cube nothing shows through (opaque): of the faces turned away only what can
  // show past the near faces' edges, nothing when it is wholly out of view (see ViewCube).
  // A translucent one (opaque false) keeps its far faces. Needs Create: with several samples a pixel,
  // or before Create, all of it.
  void DrawSeenFaces(bool opaque = true) const;

 private:
  void DrawFaces(const TCubeView* vista) const;  // all of it when null

  std::vector<float> vertices_;    // x, y, z of each quad's corners on the +x face
  std::vector<uint16_t> indices_;  // three corners a triangle
  unsigned vertexBuffer_ = 0, indexBuffer_ = 0;
  bool oneSampleAPixel_ = false;  // known at Create: pixel centres decide what a triangle covers
};
