#include "scene/scene_links.h"

#include "common/number_text.h"
#include "physics/world.h"
#include "scene/shape_kind.h"
#include "scene/simulation_step.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <variant>

namespace fs = std::filesystem;

namespace {

bool HasLink(const TSceneTable& tabela, int i) {
  return tabela.Integer(i, TColumn::Ligacao) != 0;
}

// The rows whose ID is `id`.
std::vector<int> RowsWithId(const TSceneTable& tabela, int32_t id) {
  std::vector<int> linhas;
  for (int k = 0; k < tabela.RowCount(); ++k)
    if (std::holds_alternative<int32_t>(tabela.Cell(k, TColumn::ID)) && tabela.Integer(k, TColumn::ID) == id)
      linhas.push_back(k);
  return linhas;
}

TVector Triple(const TSceneTable& tabela, int i, TColumn x) {
  const auto c = [&](int k) { return static_cast<TColumn>(static_cast<int>(x) + k); };
  return {tabela.Real(i, c(0)), tabela.Real(i, c(1)), tabela.Real(i, c(2))};
}

[[noreturn]] void Fail(const fs::path& arquivo, int i, TColumn c, const std::string& detalhe) {
  throw ESceneError(CellPlace(arquivo, i, c) + ": " + detalhe, i, c);
}

bool Moves(const TSceneTable& tabela, int i) {
  const std::optional<TShapeKind> forma = ShapeKindOf(tabela.Integer(i, TColumn::ODETipo));
  return tabela.Boolean(i, TColumn::ODEMove) && forma && ShapeInfo(*forma).Placed;
}

void CheckRow(const TSceneTable& tabela, int i, const fs::path& arquivo) {
  const int32_t tipo = tabela.Integer(i, TColumn::Ligacao);
  if (tipo < 0 || tipo > LastLinkKind)
    Fail(
        arquivo, i, TColumn::Ligacao,
        std::to_string(tipo) +
            " não é uma ligação (0 nenhuma, 1 haste, 2 dobradiça, 3 mola, 4 corda, 5 corda por uma roldana)");
  const int32_t outro = tabela.Integer(i, TColumn::LigaCom);
  const std::vector<int> linhas = outro != 0 ? RowsWithId(tabela, outro) : std::vector<int>{};
  if (outro != 0) {
    if (linhas.empty()) Fail(arquivo, i, TColumn::LigaCom, "nenhuma linha tem o ID " + std::to_string(outro));
    if (linhas.size() > 1)
      Fail(arquivo, i, TColumn::LigaCom,
           "o ID " + std::to_string(outro) + " está em mais de uma linha (" + std::to_string(linhas[0] + 1) +
               " e " + std::to_string(linhas[1] + 1) + ")");
    if (linhas[0] == i) Fail(arquivo, i, TColumn::LigaCom, "o objeto não pode se ligar a si mesmo");
  } else if (tipo == static_cast<int>(TLinkKind::Pulley)) {
    Fail(arquivo, i, TColumn::LigaCom, "a corda por uma roldana precisa do ID do objeto do outro lado");
  }
  // A row the physics does not move may still hold one end of a link (a support), as long as the other
  // end is an object that moves.
  if (!Moves(tabela, i) && (linhas.size() != 1 || !Moves(tabela, linhas[0])))
    Fail(arquivo, i, TColumn::Ligacao,
         "a ligação precisa de um objeto que a física move (ODEMove verdadeiro, e uma esfera, cápsula, caixa "
         "ou modelo) nesta linha ou na do LigaCom");
  if (!InsideWorld(Triple(tabela, i, TColumn::PontoX)))
    Fail(arquivo, i, TColumn::PontoX, "o ponto de ligação fica fora do mundo");
  if (tipo == static_cast<int>(TLinkKind::Spring) && !(tabela.Real(i, TColumn::Rigidez) > 0))
    Fail(arquivo, i, TColumn::Rigidez, "a mola precisa de uma rigidez positiva (N/m)");
  if (tipo == static_cast<int>(TLinkKind::Hinge) && NormaVet(Triple(tabela, i, TColumn::EixoLigX)) == 0)
    Fail(arquivo, i, TColumn::EixoLigX, "a dobradiça precisa de um eixo (EixoLigX, EixoLigY, EixoLigZ)");
  if (tabela.Real(i, TColumn::Amortecimento) < 0)
    Fail(arquivo, i, TColumn::Amortecimento, "o amortecimento não pode ser negativo");
  if (tabela.Real(i, TColumn::Comprimento) < 0)
    Fail(arquivo, i, TColumn::Comprimento,
         "o comprimento não pode ser negativo (0: a distância ao carregar)");
}

// 1/kg of the row's body for the springs; 0 for one the physics holds still. A mass the loader cannot give
// leaves the engine's own, 1 kg.
double InverseMassOfRow(const TSceneTable& tabela, int i) {
  if (!tabela.Boolean(i, TColumn::ODEMove)) return 0;
  const double m = tabela.Real(i, TColumn::Massa);
  return m > 0 ? 1 / m : 1;
}

// Springs are forces the step adds, so a step longer than the spring's period makes it gain energy each
// step until the bodies fly out of the engine's range. For each body, its springs' stiffness and damping over
// the masses they join bound the fastest motion there (Gershgorin's bound on the stiffness over the
// masses); the step with k/m·h² + 2·c/m·h below 4 is stable, and this keeps a margin of four.
void CheckSpringPace(const TSceneTable& tabela, const fs::path& arquivo) {
  constexpr double StableLimit = 1;
  const double h = FinestSubStep(PassoFixo);
  const int n = tabela.RowCount();
  std::vector<double> rigidez(static_cast<std::size_t>(n)), amortecimento(static_cast<std::size_t>(n));
  // Each spring's share at each of its two ends.
  struct TShare {
    int linha, corpo;
    double rigidez, amortecimento;
  };
  std::vector<TShare> partes;
  for (int i = 0; i < n; ++i) {
    if (tabela.Integer(i, TColumn::Ligacao) != static_cast<int>(TLinkKind::Spring)) continue;
    const std::optional<TLinkSpec> s = LinkOfRow(tabela, i);
    const int outro = s->Other ? static_cast<int>(*s->Other) : -1;
    const double wi = InverseMassOfRow(tabela, i), wo = outro >= 0 ? InverseMassOfRow(tabela, outro) : 0;
    const double cruzado = std::sqrt(wi * wo);
    partes.push_back({i, i, s->Stiffness * (wi + cruzado), s->Damping * (wi + cruzado)});
    if (outro >= 0) partes.push_back({i, outro, s->Stiffness * (wo + cruzado), s->Damping * (wo + cruzado)});
  }
  for (const TShare& p : partes) {
    rigidez[static_cast<std::size_t>(p.corpo)] += p.rigidez;
    amortecimento[static_cast<std::size_t>(p.corpo)] += p.amortecimento;
  }
  for (const TShare& p : partes) {
    const auto c = static_cast<std::size_t>(p.corpo);
    const double ritmo = rigidez[c] * h * h + 2 * amortecimento[c] * h;
    if (ritmo <= StableLimit) continue;
    // The cell that weighs most at the body that cannot be followed.
    const bool molaPesa = p.rigidez * h * h >= 2 * p.amortecimento * h;
    const TColumn coluna = molaPesa ? TColumn::Rigidez : TColumn::Amortecimento;
    const double valor = tabela.Real(p.linha, coluna);
    Fail(arquivo, p.linha, coluna,
         FormatDouble(valor) + (molaPesa ? " N/m" : " N·s/m") + " é " + (molaPesa ? "rígida" : "amortecida") +
             " demais para as massas que a mola liga: a física não acompanha um movimento tão rápido (com "
             "estas massas, até cerca de " +
             FormatDouble(valor * StableLimit / ritmo) + ")");
  }
}

}  // namespace

std::optional<TLinkSpec> LinkOfRow(const TSceneTable& tabela, int i) {
  if (!HasLink(tabela, i)) return std::nullopt;
  TLinkSpec s;
  s.Kind = static_cast<TLinkKind>(tabela.Integer(i, TColumn::Ligacao));
  s.Object = static_cast<std::size_t>(i);
  if (const int32_t outro = tabela.Integer(i, TColumn::LigaCom); outro != 0) {
    const std::vector<int> linhas = RowsWithId(tabela, outro);
    if (!linhas.empty()) s.Other = static_cast<std::size_t>(linhas[0]);
  }
  s.Anchor = Triple(tabela, i, TColumn::PontoX);
  s.Axis = Triple(tabela, i, TColumn::EixoLigX);
  s.Stiffness = tabela.Real(i, TColumn::Rigidez);
  s.Damping = tabela.Real(i, TColumn::Amortecimento);
  s.Length = tabela.Real(i, TColumn::Comprimento);
  return s;
}

void CheckLinks(const TSceneTable& tabela, const fs::path& arquivo) {
  for (int i = 0; i < tabela.RowCount(); ++i)
    if (HasLink(tabela, i)) CheckRow(tabela, i, arquivo);
  CheckSpringPace(tabela, arquivo);
}

void BuildLinks(TScene& cena) {
  for (int i = 0; i < cena.Tabela().RowCount(); ++i) {
    const std::optional<TLinkSpec> s = LinkOfRow(cena.Tabela(), i);
    if (!s) continue;
    dBodyID outro = s->Other ? cena.Corpos[*s->Other] : nullptr;
    cena.Mundo->Links().Add(cena.Mundo->Mundo(), *s, cena.Corpos[s->Object], outro);
  }
}
