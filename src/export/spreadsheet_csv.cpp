#include "export/spreadsheet_csv.h"

#include "common/number_text.h"
#include "scene/object_readout.h"

#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int Casas = 6;  // micrometres, micrometres per second, microjoules

// Free text: quoted when it holds a separator, a quote or a line break.
std::string Campo(std::string_view texto) {
  if (texto.find_first_of(";\"\r\n") == std::string_view::npos) return std::string(texto);
  std::string s = "\"";
  for (char c : texto) {
    if (c == '"') s += '"';
    s += c;
  }
  return s + '"';
}

struct TObjectFacts {
  std::size_t indice;
  std::string nome;
  bool temMassa;
  double massa;
};

}  // namespace

void WriteSpreadsheet(std::ostream& saida, const TFrameRecord& registro, const TScene& cena,
                      bool incluiFixos) {
  saida << "\xEF\xBB\xBF"
        << "quadro;t (s);linha;nome;x (m);y (m);z (m);vx (m/s);vy (m/s);vz (m/s);v (m/s);Ec (J);Ep (J);"
           "Em (J);px (kg·m/s);py (kg·m/s);pz (kg·m/s)\n";
  std::vector<TObjectFacts> objetos;
  for (std::size_t i = 0; i < cena.Objetos.size(); ++i) {
    const bool movido = cena.Objetos[i].ODEMove && i < cena.Corpos.size() && cena.Corpos[i];
    if (!movido && !incluiFixos) continue;
    const TObjectReadout r = ReadObject(cena, i);
    const std::string nome = static_cast<int>(i) < cena.Tabela().RowCount()
                                 ? cena.Tabela().Text(static_cast<int>(i), TColumn::Nome)
                                 : "";
    objetos.push_back({i, nome, r.HasMass, r.Mass});
  }
  const double gz = GravityZ(cena);
  const auto n = [](double v) { return FormatDecimalComma(v, Casas); };
  registro.ForEachFrame([&](long quadro, std::span<const TObjectState> estados) {
    const std::string t = FrameTime(quadro, ',');
    for (const TObjectFacts& o : objetos) {
      if (o.indice >= estados.size()) continue;
      const TObjectState& e = estados[o.indice];
      const TVector& p = e.Posicao;
      const TVector& v = e.VecV;
      const double rapidez = NormaVet(v);
      saida << quadro << ';' << t << ';' << o.indice + 1 << ';' << Campo(o.nome) << ';' << n(p.x) << ';'
            << n(p.y) << ';' << n(p.z) << ';' << n(v.x) << ';' << n(v.y) << ';' << n(v.z) << ';'
            << n(rapidez);
      // An object without a body has no mass: its energies and momentum are left blank.
      if (o.temMassa) {
        const double ec = o.massa * rapidez * rapidez / 2 + e.RotationEnergy, ep = -o.massa * gz * p.z;
        saida << ';' << n(ec) << ';' << n(ep) << ';' << n(ec + ep) << ';' << n(o.massa * v.x) << ';'
              << n(o.massa * v.y) << ';' << n(o.massa * v.z);
      } else {
        saida << ";;;;;;";
      }
      saida << '\n';
    }
  });
}
