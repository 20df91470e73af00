#pragma once
// A start velocity as a teacher thinks of it (speed, angle above the horizontal, direction) and as the table
// keeps it (three components, an empty cell for none). Plain math, shared by the editor's fields and the
// arrow the view lets the teacher drag.

#include "physics/vector_math.h"
#include "scene/scene_table.h"

#include <array>

// Speed (m/s), angle above the horizontal and azimuth from +X towards +Y (degrees) of a velocity.
struct TLaunch {
  double Speed = 0, Angle = 0, Azimuth = 0;
};
TLaunch LaunchOf(double vx, double vy, double vz);
// The velocity's components, rounded to the micrometre per second so that 10 m/s at 30° is 5, not
// 4.999999999999999.
std::array<double, 3> ComponentsOf(const TLaunch& l);

// An empty cell for a zero, so that a scene without a launch keeps its file's plain columns.
TSceneTable::Celula LaunchCell(double v);

// The launch row `linha` gives its body, as the loader applies it: only along the axes the row lets the
// object move (MoveX, MoveY, MoveZ); nothing for an object the physics holds still.
TVector RowLaunch(const TSceneTable& tabela, int linha);
