#pragma once
// Drawing of the links between objects: a rod as a thin grey line, a rope as a light line, a spring as a
// coil whose turns spread as it stretches, a hinge as a short axis, a fixed anchor as a small dark block.

#include "physics/links.h"

#include <vector>

// Turns of every drawn spring, whatever its length: they spread as it stretches.
inline constexpr int SpringTurns = 12;
inline constexpr double SpringRadius = 0.04;  // m
inline constexpr double AnchorBlock = 0.1;    // m, side of a fixed anchor's block
inline constexpr double HingeHalfAxis = 0.2;  // m drawn each side of the anchor

// The coil from `a` to `b`: `voltas` turns of `raio` about the line ab, `porVolta` points each, starting
// at `a` and ending at `b` (on the axis), so it is as long as the spring.
std::vector<TVector> SpringCoil(const TVector& a, const TVector& b, int voltas, double raio, int porVolta);

// Every link of the set, unlit, in the current model-view. Leaves the line width at 1 and the colour as
// the last link set it.
void DrawLinks(const TLinkSet& ligacoes);
