#pragma once
// Vectors drawn on objects: the velocity and force vectors, and the launch arrow the teacher drags while the
// world is paused. Unlit lines in the current model-view matrix.

#include "physics/vector_math.h"

// Metres of picture per unit of the vector (m/s for a velocity, m/s² for a force per unit mass).
inline constexpr float VectorScale = 1.2f;
// Thick enough to read from the back of a classroom.
inline constexpr float VectorLineWidth = 5.0f;

// Components in cyan, magenta and yellow and the whole vector in white, from `posicao`, VectorScale long
// per unit. Leaves the line width at 1.
void DrawVector(const TVector& posicao, const TVector& v);

// A launch velocity: the vector drawn over everything (an arrow inside its object still shows), with a white
// handle on its tip where the mouse takes it. Leaves depth test, line width and point size as on entry.
void DrawLaunchArrow(const TVector& inicio, const TVector& v);
