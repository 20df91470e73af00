#pragma once
// Preparing a loaded model for collision: welding vertices that share a position, scaling, and the
// vertex and index buffers the physics engine's triangle mesh reads.

#include "scene/obj_loader.h"

#include <cstdint>
#include <vector>

// Each corner's vertex number becomes the lowest-numbered vertex at exactly the same x, y and z
// (-0 and 0 are equal). The vertex list is not changed; corners naming no vertex are left alone.
// Expected linear time in the number of vertices and corners.
void WeldVertices(TModel& modelo);

// Same result as WeldVertices by comparing vertex pairs one by one; quadratic, kept for comparison only.
void WeldVerticesQuadratic(TModel& modelo);

// Multiplies vertices 1..VertexCount by the factors per axis (computed in double, stored as single).
// Normals are not changed.
void ScaleModel(TModel& modelo, double sx, double sy, double sz);

struct TCollisionMesh {
  std::vector<float> Vertices;    // 4 floats per vertex: x, y, z, 0, for vertices 1..n in order
  std::vector<uint32_t> Indices;  // 3 per triangle, 0-based positions in Vertices
};

// Every face of every group, in group and face order, as a fan of triangles from its first corner, so that
// a polygon collides over its whole area. Faces with fewer than three corners or naming a missing vertex
// are left out, and so are triangles whose corners share a vertex.
TCollisionMesh BuildCollisionMesh(const TModel& modelo);
