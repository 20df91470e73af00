#include "frame/overlay_text.h"

#include <charconv>

namespace {

constexpr TRgb Red{1, 0.3f, 0.3f};
constexpr TRgb Heading{1, 1, 0.6f};

std::string VectorText(const TVector& v, int casas) {
  return "(" + DecimalText(v.x, casas) + "; " + DecimalText(v.y, casas) + "; " + DecimalText(v.z, casas) +
         ")";
}

// The scene's momentum and energy, whichever object is shown: what a collision must keep.
void SceneTotalLines(const TScene& cena, std::vector<TOverlayLine>& v) {
  if (cena.Objetos.empty()) return;
  const TSceneTotals t = ReadSceneTotals(cena);
  v.push_back({"Cena (objetos que se movem):", Heading});
  v.push_back({"Momento total: " + VectorText(t.Momentum, 2) + " kg·m/s"});
  v.push_back({"Energia total: " + DecimalText(t.Energy, 2) + " J"});
}

const char* LinkName(TLinkKind k) {
  switch (k) {
    case TLinkKind::Rod:
      return "Haste";
    case TLinkKind::Hinge:
      return "Dobradiça";
    case TLinkKind::Spring:
      return "Mola";
    case TLinkKind::Rope:
      return "Corda";
    case TLinkKind::Pulley:
      return "Corda pela roldana";
    case TLinkKind::None:
      break;
  }
  return "Ligação";
}

// What the object's link does: a spring's stretch and force, a rod's, hinge's or rope's pull.
void LinkLines(const TScene& cena, std::size_t i, std::vector<TOverlayLine>& v) {
  const std::optional<TLinkReading> r = cena.Mundo->Links().Reading(i);
  if (!r) return;
  const std::string nome = LinkName(r->Kind);
  if (r->Kind == TLinkKind::Spring) {
    v.push_back({nome + ": comprimento " + DecimalText(r->Length, 3) + " m, deformação " +
                 DecimalText(r->Extension, 3) + " m"});
    v.push_back({"Força da mola: " + DecimalText(r->Force, 2) + " N (k·deformação)"});
    return;
  }
  const bool frouxa = (r->Kind == TLinkKind::Rope || r->Kind == TLinkKind::Pulley) && r->Extension < -1e-3;
  v.push_back({nome + ": " +
               (r->Force < 0 ? "compressão " + DecimalText(-r->Force, 2) + " N"
                             : "tração " + DecimalText(r->Force, 2) + " N") +
               (frouxa ? " (frouxa)" : "")});
}

}  // namespace

std::string DecimalText(double v, int casas) {
  char buf[64];
  const auto [fim, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, casas);
  if (ec != std::errc()) return "—";
  std::string s(buf, fim);
  if (s.find_first_not_of("-0.") == std::string::npos && s[0] == '-') s.erase(0, 1);
  for (char& c : s)
    if (c == '.') c = ',';
  return s;
}

std::optional<std::size_t> ShownObject(const TScene& cena, std::optional<std::size_t> selecionado) {
  for (std::size_t i = 0; i < cena.Objetos.size(); ++i)
    if (cena.Objetos[i].Agarrado) return i;
  if (selecionado && *selecionado < cena.Objetos.size()) return selecionado;
  return std::nullopt;
}

std::string ObjectName(const TScene& cena, std::size_t i) {
  return static_cast<int>(i) < cena.Tabela().RowCount()
             ? cena.Tabela().Text(static_cast<int>(i), TColumn::Nome)
             : std::string();
}

std::vector<TOverlayLine> InformationLines(const TScene& cena, double tempo, const TRateMeter& medidor,
                                           std::optional<std::size_t> mostrado) {
  std::vector<TOverlayLine> v;
  v.push_back({"Tempo simulado: " + DecimalText(tempo, 2) + " s"});
  v.push_back({"Quadros por segundo: " + DecimalText(medidor.FramesPerSecond(), 0)});
  const double fator = medidor.RealTimeFactor();
  v.push_back({"Tempo real: " + DecimalText(fator, 2) + " s simulados por s",
               fator < TRateMeter::SlowFactor ? Red : TRgb{1, 1, 1}});
  if (!mostrado || *mostrado >= cena.Objetos.size()) {
    v.push_back({"Clique num objeto para ver seus valores", Heading});
    SceneTotalLines(cena, v);
    return v;
  }
  const std::size_t i = *mostrado;
  const std::string nome = ObjectName(cena, i);
  v.push_back({"Nome: " + (nome.empty() ? std::string("(sem nome)") : nome) + " (linha " +
                   std::to_string(i + 1) + ")",
               Heading});
  const TObjectReadout r = ReadObject(cena, i);
  v.push_back({"Posição: " + VectorText(r.Posicao, 2) + " m"});
  v.push_back({"Velocidade: " + VectorText(r.VecV, 2) + " m/s"});
  v.push_back({"Rapidez: " + DecimalText(r.Speed, 2) + " m/s"});
  v.push_back({"Aceleração: " + VectorText(r.Acceleration, 2) + " m/s²"});
  if (r.HasMass) {
    v.push_back({"Massa: " + DecimalText(r.Mass, 3) + " kg"});
    v.push_back({"Força resultante (m·a): " + VectorText(r.NetForce, 2) + " N"});
    v.push_back({"Momento (p = m·v): " + VectorText(r.Momentum, 2) + " kg·m/s"});
    v.push_back({"Energia cinética: " + DecimalText(r.Kinetic, 2) + " J (com rotação)"});
    v.push_back({"Energia potencial: " + DecimalText(r.Potential, 2) + " J (z = 0 no piso" +
                 (r.Elastic > 0 ? ", com " + DecimalText(r.Elastic, 2) + " J da mola)" : ")")});
    v.push_back({"Energia total: " + DecimalText(r.Total, 2) + " J"});
  }
  LinkLines(cena, i, v);
  SceneTotalLines(cena, v);
  return v;
}

std::vector<TLegendEntry> ColourLegend(bool comRemoto) {
  // The colours the drawing code uses for these marks.
  struct TEntry {
    TLegendEntry entrada;
    bool ponteiro;  // a mark of the remote's pointer
  };
  static const TEntry todas[] = {
      {{{0, 1, 1}, "vetor: componente x"}, false},
      {{{1, 0, 1}, "vetor: componente y"}, false},
      {{{1, 1, 0}, "vetor: componente z"}, false},
      {{{1, 1, 1}, "vetor (velocidade ou força)"}, false},
      {{{1, 0.5f, 0.5f}, "eixo de rotação; objeto seguro"}, false},
      {{{0.5f, 0.5f, 1}, "objeto perto do ponteiro"}, true},
      {{{1, 1, 0}, "caminho do ponteiro"}, true},
      {{{1, 0, 0}, "eixo x"}, false},
      {{{0, 1, 0}, "eixo y"}, false},
      {{{0, 0, 1}, "eixo z; altura acima do piso"}, false},
  };
  std::vector<TLegendEntry> legenda;
  for (const TEntry& e : todas)
    if (comRemoto || !e.ponteiro) legenda.push_back(e.entrada);
  return legenda;
}
