#pragma once
// Turns a scene file into a running scene: every row becomes a body with its collision shape and record.

#include "scene/obj_loader.h"
#include "scene/scene.h"
#include "scene/table_check.h"

#include <filesystem>

// Reads and builds the whole scene aside, then exchanges it with `cena` in one step: on any error
// (ESceneError, naming the file and the row and column or the model's line) `cena` is left exactly as it was.
// Model names are resolved against the scene file's folder. `aviso` receives the model loader's notices.
void LoadScene(const std::filesystem::path& arquivo, TScene& cena, const TModelNotice& aviso);

// The same build from a table already in memory (one being edited). `arquivo` is the scene's file, or where
// a new scene would live: errors name it and model names are resolved against its folder. An error that
// comes from one cell carries its row and column (ESceneError::Row, Column).
void LoadSceneTable(TSceneTable tabela, const std::filesystem::path& arquivo, TScene& cena,
                    const TModelNotice& aviso);
// The same, with the scene sharing `tabela` with whoever else keeps it.
void LoadSceneTable(std::shared_ptr<const TSceneTable> tabela, const std::filesystem::path& arquivo,
                    TScene& cena, const TModelNotice& aviso);

// Load-time orientation: the unit quaternion (w, x, y, z) of a turn of `angGraus` about `eixo`;
// the identity for a zero axis.
std::array<float, 4> QuaternioDeCarga(double angGraus, const TVector& eixo);

// Where a body goes for a row placed at `linha` with turn `q`, when its mass sits at `centro` in the
// object's own coordinates (TObjetoCena::MeshCentre).
TVector BodyPlaceOfRow(const TVector& linha, const std::array<float, 4>& q, const TVector& centro);
// The other way round: the row's X, Y, Z that put object `o`'s body at `corpo` (for placing an object by
// dragging it: the row keeps the model's origin, not its middle).
TVector RowPlaceOfBody(const TObjetoCena& o, const TVector& corpo);
// Where object `i`'s body starts: where its row puts it when the scene is built.
TVector StartPlaceOfBody(const TScene& cena, std::size_t i);
