#include "scene/scene_document.h"

#include "scene/model_file.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace fs = std::filesystem;
using C = TColumn;

namespace {

// The first `n` characters of a UTF-8 text.
std::string FirstCharacters(std::string_view s, std::size_t n) {
  std::size_t vistos = 0, k = 0;
  for (; k < s.size(); ++k) {
    if ((s[k] & 0xC0) != 0x80 && vistos++ == n) break;
  }
  return std::string(s.substr(0, k));
}

// "Esfera 12" -> ("Esfera", 12); a name without a number -> (name, 0).
std::pair<std::string, int> SplitNumber(const std::string& nome) {
  const std::size_t espaco = nome.rfind(' ');
  if (espaco == std::string::npos || espaco + 1 == nome.size()) return {nome, 0};
  int n = 0;
  for (std::size_t k = espaco + 1; k < nome.size(); ++k) {
    if (nome[k] < '0' || nome[k] > '9' || n > 100000) return {nome, 0};
    n = n * 10 + (nome[k] - '0');
  }
  return {nome.substr(0, espaco), n};
}

// `base` followed by the next number no row of the table uses with it, within the column's width.
std::string NextName(const TSceneTable& tabela, const std::string& base) {
  int maior = 0;
  for (int i = 0; i < tabela.RowCount(); ++i) {
    const std::string nome = tabela.Text(i, C::Nome);
    const auto [b, n] = SplitNumber(nome);
    if (b == base) maior = std::max(maior, n);
    if (nome == base) maior = std::max(maior, 1);
  }
  const std::string numero = " " + std::to_string(maior + 1);
  const auto largura = static_cast<std::size_t>(SceneColumns()[static_cast<int>(C::Nome)].Largura);
  return FirstCharacters(base, largura - std::min(largura, numero.size())) + numero;
}

int NextId(const TSceneTable& tabela) {
  int32_t maior = 0;
  for (int i = 0; i < tabela.RowCount(); ++i) maior = std::max(maior, tabela.Integer(i, C::ID));
  return maior + 1;
}

// How far a row's shape reaches from its place, for keeping new objects apart; 0 for kinds without one.
double Reach(const TSceneTable& t, int i) {
  const std::optional<TShapeKind> tipo = ShapeKindOf(t.Integer(i, C::ODETipo));
  if (!tipo) return 0;
  if (*tipo == TShapeKind::Mesh) return 0.5;  // the table does not tell a model's size
  return SolidReach(*tipo, t.Real(i, C::Dim1), t.Real(i, C::Dim2), t.Real(i, C::Dim3));
}

// How far an unturned row reaches below and above its place; its Reach when it is turned (or a model, whose
// size the table does not tell).
double HalfHeight(const TSceneTable& t, int i) {
  const bool girado = t.Real(i, C::Ang) != 0 &&
                      (t.Real(i, C::eixoX) != 0 || t.Real(i, C::eixoY) != 0 || t.Real(i, C::eixoZ) != 0);
  const std::optional<TShapeKind> tipo = ShapeKindOf(t.Integer(i, C::ODETipo));
  if (girado || !tipo || *tipo == TShapeKind::Plane || *tipo == TShapeKind::Mesh) return Reach(t, i);
  return SolidHalfHeight(*tipo, t.Real(i, C::Dim1), t.Real(i, C::Dim2), t.Real(i, C::Dim3));
}

// Puts new row `i` with its lowest point at `chao` (`abaixo` below its place), or on top of whatever it
// would overlap there.
void LiftClear(TSceneTable& t, int i, double chao, double abaixo) {
  const double r = Reach(t, i), acima = HalfHeight(t, i);
  double z = chao + abaixo;
  for (bool mudou = true; mudou;) {
    mudou = false;
    for (int j = 0; j < t.RowCount(); ++j) {
      const double rj = Reach(t, j);
      if (j == i || rj <= 0) continue;
      const double dx = t.Real(i, C::X) - t.Real(j, C::X), dy = t.Real(i, C::Y) - t.Real(j, C::Y);
      const double zj = t.Real(j, C::Z), hj = HalfHeight(t, j);
      const bool separados = z - abaixo >= zj + hj || z + acima <= zj - hj;
      if (std::hypot(dx, dy) >= r + rj || separados) continue;
      z = zj + hj + abaixo;
      mudou = true;
    }
  }
  t.Define(i, C::Z, z);
}

void CheckType(C coluna, const TSceneTable::Celula& valor) {
  if (std::holds_alternative<std::monostate>(valor)) return;
  static constexpr std::size_t indices[] = {1, 2, 3, 4};  // Text, Integer, Real, Boolean in Celula
  if (valor.index() != indices[static_cast<int>(SceneColumns()[static_cast<std::size_t>(coluna)].Tipo)])
    throw std::invalid_argument("valor de tipo errado para a coluna " +
                                std::string(SceneColumns()[static_cast<std::size_t>(coluna)].Nome));
}

void CheckRow(const TSceneTable& t, int linha) {
  if (linha < 0 || linha >= t.RowCount()) throw std::out_of_range("linha fora da tabela");
}

// A new last row of `celulas`, named after `base` with the next free number and given the next ID.
void AppendRow(TSceneTable& t, const std::string& base, const TRowCells& celulas) {
  const std::string nome = NextName(t, base);
  const int32_t id = NextId(t);
  const int i = t.RowCount();
  t.AppendRow();
  t.Define(i, C::Nome, nome);
  t.Define(i, C::ID, id);
  for (const auto& [coluna, valor] : celulas) t.Define(i, coluna, valor);
}

void WriteSettings(TSceneTable& t, const TSceneSettings& s) {
  if (t.RowCount() == 0) return;
  // Only a value that differs is written, so an untouched first row keeps its empty cells.
  if (t.Boolean(0, C::TemGravidade) != s.TemGravidade) t.Define(0, C::TemGravidade, s.TemGravidade);
  if (t.Integer(0, C::TipoDeColisao) != s.TipoDeColisao)
    t.Define(0, C::TipoDeColisao, static_cast<int32_t>(s.TipoDeColisao));
}

}  // namespace

TSceneSettings SettingsOf(const TSceneTable& tabela) {
  if (tabela.RowCount() == 0) return {false, 0};
  return {tabela.Boolean(0, C::TemGravidade), tabela.Integer(0, C::TipoDeColisao)};
}

void TSceneDocument::Reset(TSceneTable tabela, fs::path arquivo) {
  Reset(std::make_shared<const TSceneTable>(std::move(tabela)), std::move(arquivo));
}

void TSceneDocument::Reset(TTable tabela, fs::path arquivo) {
  // A new scene has gravity on; an opened one has what its first row says.
  const TSceneSettings ajustes =
      arquivo.empty() && tabela->RowCount() == 0 ? TSceneSettings{} : SettingsOf(*tabela);
  current_ = {std::move(tabela), ajustes, nextVersion_++};
  savedVersion_ = current_.version;
  undo_.clear();
  redo_.clear();
  path_ = std::move(arquivo);
}

void TSceneDocument::Edit(const std::function<void(TDraft&)>& edit) {
  TDraft rascunho{Table(), current_.settings};
  edit(rascunho);
  WriteSettings(rascunho.table, rascunho.settings);
  if (rascunho.table == Table() && rascunho.settings == current_.settings) return;
  TState novo{std::make_shared<const TSceneTable>(std::move(rascunho.table)), rascunho.settings,
              nextVersion_++};
  if (stage_) stage_(novo.table);
  undo_.push_back(std::move(current_));
  redo_.clear();
  current_ = std::move(novo);
}

void TSceneDocument::Become(TState estado) {
  if (stage_) stage_(estado.table);
  current_ = std::move(estado);
}

void TSceneDocument::SetCell(int linha, C coluna, TSceneTable::Celula valor) {
  SetCells(linha, {{coluna, std::move(valor)}});
}

void TSceneDocument::SetCells(int linha, const TRowCells& valores) {
  CheckRow(Table(), linha);
  for (const auto& [coluna, valor] : valores) CheckType(coluna, valor);
  Edit([&](TDraft& s) {
    for (const auto& [coluna, valor] : valores) s.table.Define(linha, coluna, valor);
    if (linha == 0) s.settings = SettingsOf(s.table);
  });
}

void TSceneDocument::MoveStartPosition(int linha, const TVector& p) {
  SetCells(linha, {{C::X, p.x}, {C::Y, p.y}, {C::Z, p.z}});
}

void TSceneDocument::SetSettings(const TSceneSettings& ajustes) {
  Edit([&](TDraft& s) { s.settings = ajustes; });
}

int TSceneDocument::Add(TShapeKind modelo, const TVector& lugar, const std::string& arquivoModelo,
                        double baseModelo) {
  const TShapeInfo& m = ShapeInfo(modelo);
  TRowCells c;
  c.emplace_back(C::ODETipo, static_cast<int32_t>(modelo));
  for (int k = 0; k < 4; ++k)
    c.emplace_back(static_cast<C>(static_cast<int>(C::Dim1) + k),
                   m.TemplateSizes[static_cast<std::size_t>(k)]);
  const std::array<double, 3>& cor = m.TemplateColour;
  c.insert(c.end(), {{C::R, cor[0]}, {C::G, cor[1]}, {C::B, cor[2]}, {C::A, 0.0}, {C::UsaCor, true}});
  c.insert(c.end(), {{C::Massa, 1.0}, {C::Atrito, 0.5}});
  for (C k : {C::UserMove, C::ODEMove, C::MoveX, C::MoveY, C::MoveZ}) c.emplace_back(k, m.TemplateMoves);
  if (modelo == TShapeKind::Plane) {
    // A plane has no place of its own; SX and SY are how much of it is drawn.
    c.insert(c.end(), {{C::SX, 10.0}, {C::SY, 10.0}});
  } else {
    c.insert(c.end(), {{C::X, lugar.x}, {C::Y, lugar.y}, {C::Z, lugar.z}});
  }
  if (modelo == TShapeKind::Mesh) {
    c.emplace_back(C::Arquivo, arquivoModelo);
    for (C k : {C::SX, C::SY, C::SZ}) c.emplace_back(k, 1.0);
  }
  const int i = Table().RowCount();
  Edit([&](TDraft& s) {
    AppendRow(s.table, std::string(m.RowName), c);
    if (modelo == TShapeKind::Plane) return;
    const double abaixo = modelo == TShapeKind::Mesh ? baseModelo : HalfHeight(s.table, i);
    LiftClear(s.table, i, std::max(lugar.z, 0.0), abaixo);
  });
  return i;
}

int TSceneDocument::AddRamp(const TRampSpec& rampa, const TVector& pe) {
  const int i = Table().RowCount();
  Edit([&](TDraft& s) { AppendRow(s.table, "Rampa", RampCells(rampa, pe)); });
  return i;
}

int TSceneDocument::AddBlockOnRamp(int rampa, const TBlockSpec& bloco) {
  const TRowCells c = BlockOnRampCells(Table(), rampa, bloco);
  const int i = Table().RowCount();
  Edit([&](TDraft& s) { AppendRow(s.table, "Bloco", c); });
  return i;
}

int TSceneDocument::Duplicate(int linha) {
  CheckRow(Table(), linha);
  Edit([&](TDraft& s) {
    TSceneTable& t = s.table;
    t.InsertRowCopy(linha + 1, linha);
    t.Define(linha + 1, C::Nome, NextName(t, SplitNumber(t.Text(linha, C::Nome)).first));
    t.Define(linha + 1, C::ID, static_cast<int32_t>(NextId(t)));
    // Beside the original, so the two do not start inside each other.
    const double lado = std::max(2 * Reach(t, linha) + 0.1, 0.5);
    if (t.Integer(linha, C::ODETipo) != static_cast<int32_t>(TShapeKind::Plane))
      t.Define(linha + 1, C::X, t.Real(linha, C::X) + lado);
  });
  return linha + 1;
}

void TSceneDocument::Delete(int linha) {
  CheckRow(Table(), linha);
  Edit([&](TDraft& s) { s.table.RemoveRow(linha); });
}

int TSceneDocument::MoveUp(int linha) {
  CheckRow(Table(), linha);
  if (linha == 0) return 0;
  Edit([&](TDraft& s) { s.table.SwapRows(linha, linha - 1); });
  return linha - 1;
}

int TSceneDocument::MoveDown(int linha) {
  CheckRow(Table(), linha);
  if (linha + 1 == Table().RowCount()) return linha;
  Edit([&](TDraft& s) { s.table.SwapRows(linha, linha + 1); });
  return linha + 1;
}

void TSceneDocument::Undo() {
  StepThrough(undo_, redo_);
}

void TSceneDocument::Redo() {
  StepThrough(redo_, undo_);
}

void TSceneDocument::StepThrough(std::vector<TState>& de, std::vector<TState>& para) {
  if (de.empty()) return;
  TState alvo = de.back();
  TState atual = current_;
  Become(std::move(alvo));
  de.pop_back();
  para.push_back(std::move(atual));
}

void TSceneDocument::Save(const fs::path& arquivo, const fs::path& pastaModelos) {
  const fs::path de = pastaModelos.empty() ? path_.parent_path() : pastaModelos;
  const fs::path para = arquivo.parent_path();
  // Every state undo and redo can reach is rebased too, so that none of them loses its model later.
  // A table whose names all stay is kept as it is (and so stays shared with the running scene).
  const auto rebase = [&](const TTable& t) {
    std::optional<TSceneTable> nova;
    for (int i = 0; i < t->RowCount(); ++i) {
      const std::string nome = t->Text(i, C::Arquivo);
      if (const std::string novo = StoredModelName(nome, de, para); novo != nome) {
        if (!nova) nova = *t;
        nova->Define(i, C::Arquivo, novo);
      }
    }
    return nova ? std::make_shared<const TSceneTable>(std::move(*nova)) : t;
  };
  TTable salva = rebase(current_.table);
  salva->Write(arquivo);
  const bool trocada = salva != current_.table;
  current_.table = std::move(salva);
  for (std::vector<TState>* pilha : {&undo_, &redo_})
    for (TState& s : *pilha) s.table = rebase(s.table);
  path_ = arquivo;
  savedVersion_ = current_.version;
  if (trocada && replaced_) replaced_(current_.table);
}
