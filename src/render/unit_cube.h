#pragma once
// The subdivided unit cube of boxes and of the pointer's block: one face of 20 x 20 quads kept as a vertex
// array in plain memory, drawn six times under turns. Holds no GL object, so it needs no context to exist.

#include <vector>

class TUnitCube {
 public:
  TUnitCube();

  // Side 1, centred at the origin, outward normals, in the current colour; the matrix as on entry.
  void Draw() const;

 private:
  std::vector<float> face_;  // x, y, z of the +x face's quads, corner by corner
};
