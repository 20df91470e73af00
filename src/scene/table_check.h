#pragma once
// What a scene table must hold for the loader to build it, decided from the table alone (a model file is
// read only when the scene is built). The loader runs this before it builds anything, and the table runs
// it before it writes a file, so a file that could not be opened again is never written.

#include "scene/scene_table.h"

#include <filesystem>

// What the engine can step: it works in single precision, and its inertia, contact and normalisation
// arithmetic multiplies sizes and masses together. A row beyond these is refused at its cell.
inline constexpr double MaxObjectSize = 1e5;      // m: a shape's size, a model's extent or scale
inline constexpr double MinObjectSize = 1e-6;     // m: a positive size below it breaks the contact tests
inline constexpr double MaxObjectMass = 1e20;     // kg
inline constexpr double MaxMassMoment = 1e28;     // kg·m²: the mass times the largest size squared
inline constexpr double MaxAxisComponent = 1e18;  // the turning axis's squared length stays in range

// Fastest start velocity (m/s, each component) and spin (rad/s) a row may give: a body at this speed
// still takes ten seconds to cross from the middle of the world to its edge.
inline constexpr double MaxStartSpeed = 1000;

// Throws ESceneError naming `arquivo`, the row and the column of the first cell the loader would refuse:
// a link that cannot be made, a value single precision cannot hold or text that is not UTF-8, a moving
// object placed outside the world, a launch beyond MaxStartSpeed, an elasticity above 1, a size or mass
// the engine cannot step.
void CheckSceneTable(const TSceneTable& tabela, const std::filesystem::path& arquivo);
