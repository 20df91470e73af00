#pragma once
// The inclined-plane lesson in one step: a fixed, tilted box whose lower edge lies on the floor, and a block
// resting on such a ramp's surface near its top, turned as the ramp is. The cells come out ready for the
// document to add as rows; nothing here knows the document or the world.

#include "physics/vector_math.h"
#include "scene/scene_table.h"

#include <string>
#include <utility>
#include <vector>

struct TRampSpec {
  double anguloGraus = 30;  // above the floor, greater than 0 and less than 90
  double comprimento = 4;   // along the slope, m
  double largura = 1;       // across it, m
  double atrito = 0.3;      // the friction coefficient a block on it slides with
};

struct TBlockSpec {
  double comprimento = 0.4;  // along the slope, m
  double largura = 0.4;
  double altura = 0.2;
  double massa = 1;  // kg
};

// How thick a ramp is made; its upper face is the slope.
inline constexpr double RampThickness = 0.1;

// A ramp rising along +x, its centre above `pe` (a point of the floor) and its lower edge on the floor.
TRowCells RampCells(const TRampSpec& rampa, const TVector& pe);

// Whether row `linha` can carry a block: a box that physics does not move.
bool IsRamp(const TSceneTable& tabela, int linha);

// A block on ramp row `rampa`, aligned with it, its upper end a little below the ramp's upper end, its
// friction the ramp's (a block sliding on a fixed body uses its own coefficient). Throws ESceneError, with
// a message for the teacher, when the row is no ramp or the block is longer or wider than the ramp.
TRowCells BlockOnRampCells(const TSceneTable& tabela, int rampa, const TBlockSpec& bloco);
