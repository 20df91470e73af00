#include "scene/csv_output.h"

#include <charconv>
#include <string>
#include <string_view>

namespace {

std::string Numero(double v) {
  char buf[40];
  const auto [fim, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 9);
  return ec == std::errc() ? std::string(buf, fim) : std::string("nan");
}

// Names are free text: quote them when they hold a comma, a quote or a line break.
std::string Campo(std::string_view texto) {
  if (texto.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(texto);
  std::string s = "\"";
  for (char c : texto) {
    if (c == '"') s += '"';
    s += c;
  }
  return s + '"';
}

}  // namespace

void EscreveCabecalhoCSV(std::ostream& saida) {
  saida << "frame,t,i,nome,x,y,z,vx,vy,vz,qw,qx,qy,qz\n";
}

void EscreveQuadroCSV(std::ostream& saida, const TScene& cena, long quadro) {
  // Whole hundredths, so t never shows the binary rounding of frame x 0.01.
  const std::string t =
      std::to_string(quadro / 100) + "." + (quadro % 100 < 10 ? "0" : "") + std::to_string(quadro % 100);
  for (std::size_t i = 0; i < cena.Objetos.size(); ++i) {
    const TObjetoCena& o = cena.Objetos[i];
    saida << quadro << ',' << t << ',' << i << ','
          << Campo(cena.Tabela.Text(static_cast<int>(i), TColumn::Nome)) << ',' << Numero(o.Posicao.x) << ','
          << Numero(o.Posicao.y) << ',' << Numero(o.Posicao.z) << ',' << Numero(o.VecV.x) << ','
          << Numero(o.VecV.y) << ',' << Numero(o.VecV.z) << ',' << Numero(o.Quaternio[0]) << ','
          << Numero(o.Quaternio[1]) << ',' << Numero(o.Quaternio[2]) << ',' << Numero(o.Quaternio[3]) << '\n';
  }
}
