// vireta-sim: steps a scene file without a window and prints the objects' states as CSV, for plots.
// It loads and steps exactly as the program does: same loader, world, contacts and fixed 0.01 s step.

#include "export/csv_output.h"
#include "scene/scene_loader.h"
#include "scene/simulation_step.h"

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
    "  --every K   escreve um quadro a cada K (padrão 1); o quadro 0 é o estado logo após carregar\n";

struct TOptions {
  std::string cena;
  long quadros = 100;
  long cada = 1;
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

std::optional<TOptions> LeOpcoes(int argc, char** argv) {
  TOptions o;
  for (int i = 1; i < argc; ++i) {
    const std::string_view a = argv[i];
    if ((a == "--frames" || a == "--every") && i + 1 < argc) {
      const auto v = Numero(argv[++i], a == "--frames" ? 0 : 1);
      if (!v) return std::nullopt;
      (a == "--frames" ? o.quadros : o.cada) = *v;
    } else if (!a.empty() && a[0] != '-' && o.cena.empty()) {
      o.cena = a;
    } else {
      return std::nullopt;
    }
  }
  if (o.cena.empty()) return std::nullopt;
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<TOptions> opcoes = LeOpcoes(argc, argv);
  if (!opcoes) {
    std::cerr << Uso;
    return 2;
  }
  try {
    TScene cena;
    // Notices (a missing material file) do not stop the load; they go where the user will see them.
    const TModelNotice aviso = [](const std::string& texto, const std::string& titulo) {
      std::cerr << titulo << ": " << texto << '\n';
    };
    LoadScene(opcoes->cena, cena, aviso);
    EscreveCabecalhoCSV(std::cout);
    EscreveQuadroCSV(std::cout, cena, 0);
    for (long q = 1; q <= opcoes->quadros; ++q) {
      for (const std::size_t i : SimulationStep(cena))
        std::cerr << "quadro " << q << ": " << ObjectLeftWorldText(i) << '\n';
      if (q % opcoes->cada == 0) EscreveQuadroCSV(std::cout, cena, q);
    }
    std::cout.flush();
    return std::cout ? 0 : 1;
  } catch (const std::exception& e) {
    std::cerr << e.what() << '\n';
    return 1;
  }
}
