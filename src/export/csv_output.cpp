#include "export/csv_output.h"

#include <charconv>
#include <string>
#include <string_view>

// Whole hundredths counted from whole steps, so t never shows the binary rounding of frame x PassoFixo.
std::string FrameTime(long quadro, char separador) {
  static_assert(100 % StepsPerSecond == 0, "a step lasts a whole number of hundredths");
  const long c = quadro * (100 / StepsPerSecond);
  return std::to_string(c / 100) + separador + (c % 100 < 10 ? "0" : "") + std::to_string(c % 100);
}

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

void Linha(std::ostream& saida, long quadro, const std::string& t, std::size_t i, const TSceneTable& tabela,
           const TVector& p, const TVector& v, const std::array<float, 4>& q) {
  saida << quadro << ',' << t << ',' << i << ',' << Campo(tabela.Text(static_cast<int>(i), TColumn::Nome))
        << ',' << Numero(p.x) << ',' << Numero(p.y) << ',' << Numero(p.z) << ',' << Numero(v.x) << ','
        << Numero(v.y) << ',' << Numero(v.z) << ',' << Numero(q[0]) << ',' << Numero(q[1]) << ','
        << Numero(q[2]) << ',' << Numero(q[3]) << '\n';
}

}  // namespace

void EscreveCabecalhoCSV(std::ostream& saida) {
  saida << "frame,t,i,nome,x,y,z,vx,vy,vz,qw,qx,qy,qz\n";
}

void EscreveQuadroCSV(std::ostream& saida, const TScene& cena, long quadro) {
  const std::string t = FrameTime(quadro, '.');
  for (std::size_t i = 0; i < cena.Objetos.size(); ++i) {
    const TObjetoCena& o = cena.Objetos[i];
    Linha(saida, quadro, t, i, cena.Tabela(), o.Posicao, o.VecV, o.Quaternio);
  }
}

void EscreveQuadroCSV(std::ostream& saida, const TSceneTable& tabela, long quadro,
                      std::span<const TObjectState> estados) {
  const std::string t = FrameTime(quadro, '.');
  for (std::size_t i = 0; i < estados.size(); ++i)
    Linha(saida, quadro, t, i, tabela, estados[i].Posicao, estados[i].VecV, estados[i].Quaternio);
}
