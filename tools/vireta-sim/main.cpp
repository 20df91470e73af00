// vireta-sim: steps a scene file without a window and prints the objects' states as CSV, for plots.
// It loads and steps exactly as the program does: same loader, world, contacts and fixed 0.01 s step.

#include "common/release_text.h"
#include "export/csv_output.h"
#include "scene/scene_loader.h"
#include "scene/simulation_step.h"

#include <clocale>
#include <cstdio>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr const char* Uso =
    "uso: vireta-sim CENA.xml [--frames N] [--every K]\n"
    "  Simula a cena sem janela e escreve o estado dos objetos em CSV na saída padrão.\n"
    "  --frames N  quadros de 0,01 s a simular (padrão 100)\n"
    "  --every K   escreve um quadro a cada K (padrão 1); o quadro 0 é o estado logo após carregar\n"
    "  -h, --help  mostra esta ajuda\n"
    "  --version   mostra a versão e a licença\n";

struct TOptions {
  std::string cena;
  long quadros = 100;
  long cada = 1;
  bool ajuda = false, versao = false;
  std::string erro;  // what is wrong with the command line, for the user; empty when nothing is
};

std::optional<long> Numero(std::string_view texto, long minimo) {
  long v = 0;
  std::size_t usado = 0;
  try {
    v = std::stol(std::string(texto), &usado);
  } catch (const std::exception&) {
    return std::nullopt;
  }
  if (usado != texto.size() || v < minimo) return std::nullopt;
  return v;
}

TOptions LeOpcoes(int argc, char** argv) {
  TOptions o;
  for (int i = 1; i < argc && o.erro.empty(); ++i) {
    const std::string_view a = argv[i];
    if (a == "-h" || a == "--help") {
      o.ajuda = true;
    } else if (a == "--version") {
      o.versao = true;
    } else if (a == "--frames" || a == "--every") {
      const long minimo = a == "--frames" ? 0 : 1;
      const std::optional<long> v = i + 1 < argc ? Numero(argv[i + 1], minimo) : std::nullopt;
      if (!v)
        o.erro = std::string(a) + " espera um número inteiro a partir de " + std::to_string(minimo) +
                 (i + 1 < argc ? ", não \"" + std::string(argv[i + 1]) + "\"" : "");
      else
        (a == "--frames" ? o.quadros : o.cada) = *v;
      ++i;
    } else if (a.size() > 1 && a[0] == '-') {
      o.erro = "opção desconhecida: " + std::string(a);
    } else if (!o.cena.empty()) {
      o.erro = "só uma cena por vez; sobrou: " + std::string(a);
    } else {
      o.cena = a;
    }
  }
  if (o.erro.empty() && o.cena.empty() && !o.ajuda && !o.versao) o.erro = "falta a cena";
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  // The user's language, as the window has it, so that the system's own words in an error (a missing
  // file) read as the rest of the message; numbers in the CSV keep their point whatever the language.
  std::setlocale(LC_ALL, "");
  std::setlocale(LC_NUMERIC, "C");
  const TOptions opcoes = LeOpcoes(argc, argv);
  if (!opcoes.erro.empty()) {
    std::cerr << "vireta-sim: " << opcoes.erro << '\n' << Uso;
    return 2;
  }
  if (opcoes.ajuda || opcoes.versao) {
    std::cout << (opcoes.ajuda ? std::string(Uso) : ReleaseText("vireta-sim"));
    return std::cout.flush() ? 0 : 1;
  }
  try {
    TScene cena;
    // Notices (a missing material file) do not stop the load; they go where the user will see them.
    const TModelNotice aviso = [](const std::string& texto, const std::string& titulo) {
      std::cerr << titulo << ": " << texto << '\n';
    };
    LoadScene(opcoes.cena, cena, aviso);
    EscreveCabecalhoCSV(std::cout);
    EscreveQuadroCSV(std::cout, cena, 0);
    for (long q = 1; q <= opcoes.quadros; ++q) {
      for (const std::size_t i : SimulationStep(cena))
        std::cerr << "quadro " << q << ": " << ObjectLeftWorldText(i) << '\n';
      if (q % opcoes.cada == 0) EscreveQuadroCSV(std::cout, cena, q);
    }
    std::cout.flush();
    return std::cout ? 0 : 1;
  } catch (const std::exception& e) {
    std::cerr << e.what() << '\n';
    return 1;
  }
}
