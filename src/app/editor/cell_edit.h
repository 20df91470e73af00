#pragma once
// What an editor field hands on: the cells of one row to set, in one step of undo.

#include "scene/scene_table.h"

#include <utility>
#include <vector>

using TCellEdit = std::vector<std::pair<TColumn, TSceneTable::Celula>>;
