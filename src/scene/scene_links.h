#pragma once
// The link columns of a scene table: checked before the scene is built, then made into the world's links
// once every row has its body.

#include "physics/links.h"
#include "scene/scene.h"

#include <filesystem>
#include <optional>

// The link row `linha` asks for, or none; its other object resolved to a row index. Call only after
// CheckLinks.
std::optional<TLinkSpec> LinkOfRow(const TSceneTable& tabela, int linha);

// Throws ESceneError naming the row and column of the first bad link cell: an unknown kind, a link on an
// object the physics does not move, an ID that no row or more than one row has, a spring without a positive
// Rigidez, a hinge without an axis, a negative length or damping, an anchor outside the world, a spring too
// stiff or too damped for the masses it joins to be stepped even at the finest sub-step.
void CheckLinks(const TSceneTable& tabela, const std::filesystem::path& arquivo);

// Adds every row's link to the scene's world; the rows' bodies must exist.
void BuildLinks(TScene& cena);
