#pragma once
// The objects' trails.

#include <span>

#include "scene/scene.h"

// Each object's Rastro as a line strip 3 pixels wide in half the object's colour (R/510, G/510, B/510),
// every point kept, drawn from a vertex array. Leaves the line width at 1 and the vertex array switched off.
void DesenhaRastros(std::span<const TObjetoCena> objetos);
