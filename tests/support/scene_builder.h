#pragma once
// Builds scene files for tests through the real table writer, so every test also goes through the
// real reader and loader.

#include "scene/scene_loader.h"
#include "scene/scene_table.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

// The cells that make a row a sphere, a box, or a model file at scale 1; a test adds its own after them.
TRowCells SphereRow(double radius);
TRowCells BoxRow(double x, double y, double z);
TRowCells ModelRow(const std::string& file);

class TTestScene {
 public:
  // Appends a row with these cells; the others stay empty.
  TTestScene& Linha(const TRowCells& valores);
  // Appends a row of a shape's cells followed by the test's own.
  TTestScene& Linha(TRowCells forma, const TRowCells& valores);
  // Writes the table to `arquivo` and returns the path.
  std::filesystem::path Write(const std::filesystem::path& arquivo) const;
  const TSceneTable& Tabela() const { return table_; }

 private:
  TSceneTable table_;
};

// Loads `arquivo` into a fresh scene; notices are collected in `avisos` when given.
void Carrega(const std::filesystem::path& arquivo, TScene& cena, std::string* avisos = nullptr);
// Writes `linhas` to a scratch folder of its own and loads them: for scenes with no file beside them.
void Carrega(const TTestScene& linhas, TScene& cena);

// Whether the scene's world pulls its bodies down: what the table's first row asked for.
bool HasGravity(const TScene& cena);
