#include "support/scene_builder.h"

#include "support/temp_folder.h"

namespace fs = std::filesystem;

TRowCells SphereRow(double radius) {
  return {{TColumn::ODETipo, 0}, {TColumn::Dim1, radius}};
}

TRowCells BoxRow(double x, double y, double z) {
  return {{TColumn::ODETipo, 2}, {TColumn::Dim1, x}, {TColumn::Dim2, y}, {TColumn::Dim3, z}};
}

TRowCells ModelRow(const std::string& file) {
  return {{TColumn::ODETipo, 4},
          {TColumn::Arquivo, file},
          {TColumn::SX, 1.0},
          {TColumn::SY, 1.0},
          {TColumn::SZ, 1.0}};
}

TTestScene& TTestScene::Linha(const TRowCells& valores) {
  table_.AppendRow();
  for (const auto& [coluna, valor] : valores) table_.Define(table_.RowCount() - 1, coluna, valor);
  return *this;
}

TTestScene& TTestScene::Linha(TRowCells forma, const TRowCells& valores) {
  forma.insert(forma.end(), valores.begin(), valores.end());
  return Linha(forma);
}

fs::path TTestScene::Write(const fs::path& arquivo) const {
  table_.Write(arquivo);
  return arquivo;
}

void Carrega(const fs::path& arquivo, TScene& cena, std::string* avisos) {
  LoadScene(arquivo, cena, [avisos](const std::string& texto, const std::string& titulo) {
    if (avisos) *avisos += titulo + ": " + texto + "\n";
  });
}

void Carrega(const TTestScene& linhas, TScene& cena) {
  const TTempFolder folder;
  Carrega(linhas.Write(folder / "cena.xml"), cena);
}

bool HasGravity(const TScene& cena) {
  dVector3 g;
  dWorldGetGravity(cena.Mundo->Mundo(), g);
  return g[2] < 0;
}
