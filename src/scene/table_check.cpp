#include "scene/table_check.h"

#include "common/number_text.h"
#include "scene/scene_links.h"
#include "scene/shape_kind.h"
#include "scene/simulation_step.h"
#include "scene/text_encoding.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace fs = std::filesystem;

namespace {

bool IsPlaced(int32_t tipo) {
  const std::optional<TShapeKind> forma = ShapeKindOf(tipo);
  return forma && ShapeInfo(*forma).Placed;
}

// A file's cells were checked as they were read; a table made or edited in memory gets the same check here.
void CheckValues(const TSceneTable& tabela, int i, const fs::path& arquivo) {
  for (std::size_t c = 0; c < SceneColumns().size(); ++c) {
    const auto coluna = static_cast<TColumn>(c);
    const TSceneTable::Celula& celula = tabela.Cell(i, coluna);
    if (const double* v = std::get_if<double>(&celula); v && !FitsFloat(*v))
      throw ESceneError(
          CellPlace(arquivo, i, coluna) + ": \"" + FormatDouble(*v) + "\" não é um número real válido", i,
          coluna);
    if (const std::string* s = std::get_if<std::string>(&celula); s && !ValidUtf8(*s))
      throw ESceneError(CellPlace(arquivo, i, coluna) + ": o texto não é UTF-8 válido", i, coluna);
  }
}

// A moving body placed outside the world would be frozen on the first frame, or break the engine at once.
// One that physics does not move (a floor, a pit's bottom) may stand below the floor limit: nothing moves it
// there, so only the world's bounds apply to it.
void CheckPlacement(const TSceneTable& tabela, int i, const fs::path& arquivo) {
  if (!IsPlaced(tabela.Integer(i, TColumn::ODETipo))) return;
  const bool fixo = !tabela.Boolean(i, TColumn::ODEMove);
  for (const TColumn c : {TColumn::X, TColumn::Y, TColumn::Z}) {
    const double v = tabela.Real(i, c);
    const TVector p = c == TColumn::Z && !fixo ? TVector{0, 0, v} : TVector{v, 0, 0};
    if (InsideWorld(p)) continue;
    const std::string limites = "de " + FormatDouble(-WorldBound) + " a " + FormatDouble(WorldBound) + " m";
    throw ESceneError(CellPlace(arquivo, i, c) + ": " + FormatDouble(v) + " fica fora do mundo (" + limites +
                          (fixo ? ")" : ", e Z acima de " + FormatDouble(FloorLimit) + " m)"),
                      i, c);
  }
}

// A start speed or spin the world cannot hold, or a restitution beyond a perfect bounce.
void CheckLaunch(const TSceneTable& tabela, int i, const fs::path& arquivo) {
  for (const TColumn c :
       {TColumn::VelX, TColumn::VelY, TColumn::VelZ, TColumn::VelAngX, TColumn::VelAngY, TColumn::VelAngZ}) {
    const double v = tabela.Real(i, c);
    if (std::fabs(v) <= MaxStartSpeed) continue;
    const bool giro = c == TColumn::VelAngX || c == TColumn::VelAngY || c == TColumn::VelAngZ;
    throw ESceneError(CellPlace(arquivo, i, c) + ": " + FormatDouble(v) + (giro ? " rad/s" : " m/s") +
                          " passa do limite do mundo (de " + FormatDouble(-MaxStartSpeed) + " a " +
                          FormatDouble(MaxStartSpeed) + ")",
                      i, c);
  }
  const double e = tabela.Real(i, TColumn::Elasticidade);
  if (e > 1)
    throw ESceneError(CellPlace(arquivo, i, TColumn::Elasticidade) + ": " + FormatDouble(e) +
                          " passa de 1 (a elasticidade vai de 0 a 1; vazia ou negativa: a da cena)",
                      i, TColumn::Elasticidade);
}

[[noreturn]] void OutOfEngineRange(const TSceneTable& tabela, int i, const fs::path& arquivo, TColumn c,
                                   const std::string& motivo) {
  throw ESceneError(CellPlace(arquivo, i, c) + ": " + FormatDouble(tabela.Real(i, c)) + " " + motivo, i, c);
}

std::vector<TColumn> SolidLengths(TShapeKind tipo) {
  std::vector<TColumn> colunas;
  for (const TSizeField& f : ShapeInfo(tipo).Sizes)
    if (f.SolidLength) colunas.push_back(f.Column);
  return colunas;
}

// Values the engine would take and then fail on, some frames later, with a message that names nothing.
void CheckEngineRange(const TSceneTable& tabela, int i, const fs::path& arquivo) {
  if (!IsPlaced(tabela.Integer(i, TColumn::ODETipo))) return;
  const TShapeKind tipo = *ShapeKindOf(tabela.Integer(i, TColumn::ODETipo));
  const std::string limite = " para o motor de física";
  double maior = 0;
  for (const TColumn c : SolidLengths(tipo)) {
    const double v = tabela.Real(i, c);
    if (v > MaxObjectSize)
      OutOfEngineRange(tabela, i, arquivo, c,
                       "é grande demais" + limite + " (no máximo " + FormatDouble(MaxObjectSize) + ")");
    if (v > 0 && v < MinObjectSize)
      OutOfEngineRange(
          tabela, i, arquivo, c,
          "é pequeno demais" + limite + " (no mínimo " + FormatDouble(MinObjectSize) + ", ou 0)");
    maior = std::max(maior, v);
  }
  if (tipo == TShapeKind::Mesh) {
    for (const TColumn c : {TColumn::SX, TColumn::SY, TColumn::SZ})
      if (std::fabs(tabela.Real(i, c)) > MaxObjectSize)
        OutOfEngineRange(tabela, i, arquivo, c,
                         "é grande demais" + limite + " (no máximo " + FormatDouble(MaxObjectSize) + ")");
  }
  const double massa = tabela.Real(i, TColumn::Massa);
  if (massa > MaxObjectMass)
    OutOfEngineRange(tabela, i, arquivo, TColumn::Massa,
                     "é grande demais" + limite + " (no máximo " + FormatDouble(MaxObjectMass) + " kg)");
  if (massa * maior * maior > MaxMassMoment)
    OutOfEngineRange(tabela, i, arquivo, TColumn::Massa,
                     "é grande demais" + limite + " para um objeto deste tamanho");
  for (const TColumn c : {TColumn::eixoX, TColumn::eixoY, TColumn::eixoZ})
    if (std::fabs(tabela.Real(i, c)) > MaxAxisComponent)
      OutOfEngineRange(tabela, i, arquivo, c,
                       "é grande demais" + limite + " (no máximo " + FormatDouble(MaxAxisComponent) + ")");
}

}  // namespace

void CheckSceneTable(const TSceneTable& tabela, const fs::path& arquivo) {
  CheckLinks(tabela, arquivo);
  for (int i = 0; i < tabela.RowCount(); ++i) {
    CheckValues(tabela, i, arquivo);
    CheckPlacement(tabela, i, arquivo);
    CheckLaunch(tabela, i, arquivo);
    CheckEngineRange(tabela, i, arquivo);
  }
}
