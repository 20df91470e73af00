#pragma once
// Reference drawing, unlit: the coordinate axes, the floor grid, and the 3D pointer's wire box and path.

#include "physics/vector_math.h"

#include <cstdint>
#include <span>

// Red x, green y and blue z axis lines to `comprimento`, starting at -comprimento when simetrico, else at
// -comprimento/10, in the line width in force.
void DesenhaEixos(bool simetrico, double comprimento);

// Around the pointer's place q = -p: sets the point size to 5 (left in force: the height markers use it),
// red, green and blue points at q's projections on the axes, and the dark green wire box from the origin
// to q. Leaves the matrix as on entry.
void DesenhaCaixaPonto(const TVector& p);

// celulas/2 (truncated) cells each way from the origin, each largura x altura, as green line loops with a
// translucent light green fill, then the red x and green y axis lines 8 pixels wide across the grid.
// Leaves blending off, the line width at 1 and the matrix as on entry.
void DesenhaPiso(int32_t celulas, double largura, double altura);

// The pointer's path: one yellow line strip through -p for every stored p, in order.
void DrawPointerPath(std::span<const TVector> caminho);
