// The ready lessons, run as a student runs them, against the textbook to 1 %; and the samples of scene
// files without the launch columns, which must run exactly as they did before those columns existed.

#include "scene/scene_table.h"
#include "support/child_process.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <numbers>
#include <sstream>
#include <vector>

namespace {

namespace fs = std::filesystem;
constexpr double g = 9.81;

struct TLinha {
  double t, x, z, vx, vz, y, vy;
};
using TTrajetorias = std::map<int, std::vector<TLinha>>;  // by object

// The fields of a CSV line; a quoted field may hold commas and doubled quotes.
std::vector<std::string> Campos(const std::string& linha) {
  std::vector<std::string> v(1);
  bool aspas = false;
  for (std::size_t k = 0; k < linha.size(); ++k) {
    const char c = linha[k];
    if (c == '"' && aspas && k + 1 < linha.size() && linha[k + 1] == '"') {
      v.back() += c;
      ++k;
    } else if (c == '"') {
      aspas = !aspas;
    } else if (c == ',' && !aspas) {
      v.emplace_back();
    } else {
      v.back() += c;
    }
  }
  return v;
}

TTrajetorias Roda(const std::string& licao, int quadros) {
  const TTempFolder pasta;
  fs::copy(fs::path(VIRETA_SOURCE_DIR) / "Cenas" / licao, pasta / licao);
  const TCommandResult r = RunCommand(std::string(VIRETA_SIM) + " " + (pasta / licao).string() +
                                      " --frames " + std::to_string(quadros));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  TTrajetorias t;
  std::istringstream in(r.out);
  std::string linha;
  std::getline(in, linha);  // header: frame,t,i,nome,x,y,z,vx,vy,vz,...
  while (std::getline(in, linha)) {
    const auto c = Campos(linha);
    t[std::stoi(c.at(2))].push_back({std::stod(c.at(1)), std::stod(c.at(4)), std::stod(c.at(6)),
                                     std::stod(c.at(7)), std::stod(c.at(9)), std::stod(c.at(5)),
                                     std::stod(c.at(8))});
  }
  return t;
}

// Time and x at which z first comes down through `nivel`, between frames by a straight line.
std::pair<double, double> Descida(const std::vector<TLinha>& v, double nivel) {
  for (std::size_t k = 2; k < v.size(); ++k) {
    if (v[k - 1].z > nivel && v[k].z <= nivel) {
      const double f = (v[k - 1].z - nivel) / (v[k - 1].z - v[k].z);
      return {v[k - 1].t + f * (v[k].t - v[k - 1].t), v[k - 1].x + f * (v[k].x - v[k - 1].x)};
    }
  }
  ADD_FAILURE() << "never came down to " << nivel;
  return {0, 0};
}

void PertoDoLivro(double medido, double livro) {
  EXPECT_NEAR(medido, livro, 0.01 * std::fabs(livro));
}

TEST(Licoes, LancamentoObliquoAlcanceETempoDeVoo) {
  const TTrajetorias t = Roda("lancamento_obliquo.xml", 250);
  const double graus[] = {30, 45, 60};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(graus[i]);
    const double th = graus[i] * std::numbers::pi / 180;
    const auto [tempo, x] = Descida(t.at(i), 0.1);
    PertoDoLivro(x, 10 * 10 * std::sin(2 * th) / g);
    PertoDoLivro(tempo, 2 * 10 * std::sin(th) / g);
    // The guide's energy plot: the total falls slowly, by less than 2 % up to the ground.
    const auto energia = [&](const TLinha& l) {
      return g * l.z + (l.vx * l.vx + l.vy * l.vy + l.vz * l.vz) / 2;
    };
    const double inicio = energia(t.at(i)[1]);
    double fim = inicio;
    for (std::size_t k = 2; k < t.at(i).size() && t.at(i)[k].t < tempo; ++k) {
      EXPECT_LE(energia(t.at(i)[k]), fim + 1e-9) << k;
      fim = energia(t.at(i)[k]);
    }
    EXPECT_LT(inicio - fim, 0.02 * inicio);
    EXPECT_GT(inicio - fim, 0.002 * inicio) << "the guide warns of a drop the plot shows";
  }
}

TEST(Licoes, LancamentoHorizontalDeUmaMesa) {
  const TTrajetorias t = Roda("lancamento_horizontal.xml", 100);
  const double h = 2.0, v = 3.0;
  const auto [tempo, x] = Descida(t.at(1), 0.1);
  PertoDoLivro(tempo, std::sqrt(2 * h / g));
  PertoDoLivro(x - 0.1, v * std::sqrt(2 * h / g));
}

// Ball 2k of 1 kg at 2 m/s hits ball 2k + 1 at rest, of 1 kg (k = 0) and of 3 kg (k = 1).
void Colisoes(const TTrajetorias& t, bool elastica) {
  const double v1 = 2, m1 = 1;
  for (const double m2 : {1.0, 3.0}) {
    SCOPED_TRACE(m2);
    const int k = m2 == 1 ? 0 : 1;
    const double a = t.at(2 * k).back().vx, b = t.at(2 * k + 1).back().vx;
    PertoDoLivro(m1 * a + m2 * b, m1 * v1);
    if (elastica) {
      EXPECT_NEAR(a, (m1 - m2) / (m1 + m2) * v1, 0.01 * v1);
      PertoDoLivro(b, 2 * m1 / (m1 + m2) * v1);
      PertoDoLivro(m1 * a * a / 2 + m2 * b * b / 2, m1 * v1 * v1 / 2);
    } else {
      PertoDoLivro(a, m1 * v1 / (m1 + m2));
      PertoDoLivro(b, m1 * v1 / (m1 + m2));
    }
  }
}

TEST(Licoes, ColisaoElasticaEmUmaDimensao) {
  Colisoes(Roda("colisao_elastica_1d.xml", 300), true);
}

TEST(Licoes, ColisaoPerfeitamenteInelastica) {
  Colisoes(Roda("colisao_perfeitamente_inelastica.xml", 300), false);
}

TEST(Licoes, PlanoInclinadoComAtrito) {
  const TTrajetorias t = Roda("plano_inclinado.xml", 120);
  const auto rapidez = [&](int k) { return std::hypot(t.at(1)[k].vx, t.at(1)[k].vz); };
  const double th = std::numbers::pi / 6;
  PertoDoLivro((rapidez(110) - rapidez(20)) / 0.9, g * (std::sin(th) - 0.3 * std::cos(th)));
}

TEST(Licoes, QuedaLivreComESemRotacao) {
  const TTrajetorias t = Roda("queda_livre_rotacao.xml", 160);
  const double livro = std::sqrt(2 * 8 / g);
  PertoDoLivro(Descida(t.at(0), 2).first, livro);
  PertoDoLivro(Descida(t.at(1), 2).first, livro);
  for (std::size_t k = 0; k < 120; ++k) EXPECT_DOUBLE_EQ(t.at(0)[k].z, t.at(1)[k].z) << k;
}

// Mean time between upward zero crossings of `f` over the run.
template <typename F>
double Periodo(const std::vector<TLinha>& v, F f) {
  std::vector<double> subidas;
  for (std::size_t k = 1; k < v.size(); ++k) {
    const double a = f(v[k - 1]), b = f(v[k]);
    if (a < 0 && b >= 0) subidas.push_back(v[k - 1].t + (v[k].t - v[k - 1].t) * -a / (b - a));
  }
  if (subidas.size() < 3) {
    ADD_FAILURE() << "fewer than three swings";
    return 0;
  }
  return (subidas.back() - subidas.front()) / double(subidas.size() - 1);
}

double Vx(const TLinha& l) {
  return l.vx;
}
double Vz(const TLinha& l) {
  return l.vz;
}

// Period of a pendulum of length L at amplitude θ: 4√(L/g)·K(sin θ/2), K by its series.
double PeriodoExato(double L, double th) {
  const double k2 = std::pow(std::sin(th / 2), 2);
  double K = 0, termo = 1;
  for (int n = 0; n < 60; ++n) {
    K += termo;
    termo *= std::pow((2.0 * n + 1) / (2.0 * n + 2), 2) * k2;
  }
  return 4 * std::sqrt(L / g) * K * std::numbers::pi / 2;
}

// Times of the peaks of the height, each placed by the parabola through the frame and its neighbours: what
// a teacher reads off the "Altura" plot.
std::vector<double> PicosDaAltura(const std::vector<TLinha>& v) {
  std::vector<double> picos;
  for (std::size_t k = 1; k + 1 < v.size(); ++k) {
    const double a = v[k - 1].z, b = v[k].z, c = v[k + 1].z;
    if (b > a && b >= c) picos.push_back(v[k].t + (v[k + 1].t - v[k].t) * (a - c) / (2 * (a - 2 * b + c)));
  }
  return picos;
}

TEST(Licoes, PenduloSimplesPequenaEGrandeAmplitude) {
  const TTrajetorias t = Roda("pendulo_simples.xml", 1000);
  const double pequeno = Periodo(t.at(0), Vx), grande = Periodo(t.at(1), Vx);
  PertoDoLivro(pequeno, 2 * std::numbers::pi * std::sqrt(1 / g));
  PertoDoLivro(grande, PeriodoExato(1, 40 * std::numbers::pi / 180));
  EXPECT_GT(grande / pequeno, 1.02) << "a wide swing is slower than 2π√(L/g)";
  // The guide's plot: the height peaks on both sides, and the period runs from the first peak to the third.
  for (const int i : {0, 1}) {
    const std::vector<double> picos = PicosDaAltura(t.at(i));
    ASSERT_GE(picos.size(), 3u);
    PertoDoLivro(picos[2] - picos[0], i == 0 ? pequeno : grande);
  }
}

TEST(Licoes, PenduloDuploGuardaEnergiaEComprimentosESeSepara) {
  const TTrajetorias t = Roda("pendulo_duplo.xml", 1000);
  const double cima = 2.5, braco = 0.8;
  for (const int k : {0, 2}) {
    SCOPED_TRACE(k);
    const auto& a = t.at(k);
    const auto& b = t.at(k + 1);
    const auto energia = [&](std::size_t n) {
      return g * (a[n].z + b[n].z) +
             (a[n].vx * a[n].vx + a[n].vz * a[n].vz + b[n].vx * b[n].vx + b[n].vz * b[n].vz) / 2;
    };
    // Against what the arms can give away, from the start down to both hanging.
    const double disponivel = energia(0) - g * ((cima - braco) + (cima - 2 * braco));
    for (std::size_t n = 0; n < a.size(); n += 10) {
      EXPECT_NEAR(energia(n), energia(0), 0.01 * disponivel) << n;
      EXPECT_NEAR(std::hypot(a[n].x, a[n].z - cima), braco, 0.002) << n;
      EXPECT_NEAR(std::hypot(b[n].x - a[n].x, b[n].z - a[n].z), braco, 0.002) << n;
    }
  }
  // Half a degree apart at the start, far apart within ten seconds.
  EXPECT_LT(std::hypot(t.at(1)[50].x - t.at(3)[50].x, t.at(1)[50].z - t.at(3)[50].z), 0.05);
  double separou = 0;
  for (std::size_t n = 0; n < t.at(1).size(); ++n)
    separou = std::max(separou, std::hypot(t.at(1)[n].x - t.at(3)[n].x, t.at(1)[n].z - t.at(3)[n].z));
  EXPECT_GT(separou, 0.5);
}

TEST(Licoes, MassaMolaVerticalPeriodoEPontoMaisBaixo) {
  const TTrajetorias t = Roda("massa_mola_vertical.xml", 500);
  const double m = 0.5, k = 20;
  PertoDoLivro(Periodo(t.at(0), Vz), 2 * std::numbers::pi * std::sqrt(m / k));
  const std::vector<double> picos = PicosDaAltura(t.at(0));
  ASSERT_GE(picos.size(), 2u);
  // One peak of the height a period.
  PertoDoLivro(picos[1] - picos[0], 2 * std::numbers::pi * std::sqrt(m / k));
  double baixo = 2;
  for (const TLinha& l : t.at(0)) baixo = std::min(baixo, l.z);
  PertoDoLivro(2 - baixo, 2 * m * g / k);
}

TEST(Licoes, MolasEmSerieEEmParalelo) {
  const TTrajetorias t = Roda("molas_serie_paralelo.xml", 500);
  const double m = 0.5, k = 20;
  const auto livro = [&](double kk) { return 2 * std::numbers::pi * std::sqrt(m / kk); };
  PertoDoLivro(Periodo(t.at(0), Vz), livro(k));
  PertoDoLivro(Periodo(t.at(2), Vz), livro(k / 2));
  PertoDoLivro(Periodo(t.at(3), Vz), livro(2 * k));
}

TEST(Licoes, MaquinaDeAtwood) {
  const TTrajetorias t = Roda("maquina_atwood.xml", 200);
  const double m1 = 1.2, m2 = 0.8;
  PertoDoLivro((t.at(0)[110].vz - t.at(0)[10].vz) / 1.0, -(m1 - m2) * g / (m1 + m2));
  PertoDoLivro((t.at(1)[110].vz - t.at(1)[10].vz) / 1.0, (m1 - m2) * g / (m1 + m2));
  // The guide's numbers: vz from -0.20 to -2.16 m/s, and net forces of 2.35 N and 1.57 N, not equal.
  EXPECT_NEAR(t.at(0)[10].vz, -0.20, 0.005);
  EXPECT_NEAR(t.at(0)[110].vz, -2.16, 0.005);
  EXPECT_NEAR(m1 * (t.at(0)[10].vz - t.at(0)[110].vz), 2.35, 0.005);
  EXPECT_NEAR(m2 * (t.at(1)[110].vz - t.at(1)[10].vz), 1.57, 0.005);
  // Near 1.4 s the light block reaches the pulley and both stay there.
  for (std::size_t k = 150; k <= 200; ++k) {
    EXPECT_NEAR(t.at(0)[k].vz, 0, 1e-6) << k;
    EXPECT_NEAR(t.at(1)[k].z, 4 - 0.1, 0.002) << k;
  }
}

TEST(Licoes, PortaComDobradicaGiraSemSairDoLugar) {
  const TTrajetorias t = Roda("porta_dobradica.xml", 300);
  for (const TLinha& l : t.at(0)) {
    // Pushed to turn at 1 rad/s about the hinge: its middle, 0.45 m out, keeps 0.45 m/s and its height.
    PertoDoLivro(std::hypot(l.vx, l.vy), 0.45);
    EXPECT_NEAR(std::hypot(l.x, l.y), 0.45, 0.002);
    EXPECT_NEAR(l.z, 1.1, 0.002);
  }
  EXPECT_LT(t.at(0).back().x, -0.4) << "three seconds at 1 rad/s: the door has turned past 90°";
}

// A guide speaks of what the teacher sees (the editor's fields, "Vetor força"), never of the file's columns.
TEST(Licoes, GuidesNameNoColumnOfTheSceneFile) {
  for (const auto& e : fs::directory_iterator(fs::path(VIRETA_SOURCE_DIR) / "Cenas")) {
    if (e.path().extension() != ".txt") continue;
    const std::string guia = ReadFile(e.path());
    for (const TColumnDefinition& c : SceneColumns()) {
      const std::string nome(c.Nome);
      // A name in two words run together (LigaCom, VelX) or given a value ("Ligacao = 5") is the file's.
      const bool interno =
          std::any_of(nome.begin() + 1, nome.end(), [](char ch) { return std::isupper(ch); });
      EXPECT_FALSE(interno && guia.find(nome) != std::string::npos) << e.path().filename() << ": " << nome;
      // One letter is the physics' own (A = 8,83 m, the range).
      const bool comValor = nome.size() > 2 && guia.find(nome + " = ") != std::string::npos;
      EXPECT_FALSE(comValor) << e.path().filename() << ": " << nome;
    }
  }
}

// Each guide's spreadsheet line, typed as written in a terminal opened in the user's home folder: it names
// the installed sample by its full path and leaves the CSV in the home folder.
TEST(Licoes, EachGuidesCommandLineWorksFromTheHomeFolder) {
  const TTempFolder pasta;
  const fs::path casa = pasta / "casa", instaladas = pasta / "instaladas";
  fs::create_directories(casa);
  fs::copy(fs::path(VIRETA_SOURCE_DIR) / "Cenas", instaladas, fs::copy_options::recursive);
  const std::string instalado = "vireta-sim /usr/share/vireta/Cenas/";
  int guias = 0;
  for (const auto& e : fs::directory_iterator(instaladas)) {
    if (e.path().extension() != ".txt") continue;
    ++guias;
    SCOPED_TRACE(e.path().filename());
    std::istringstream texto(ReadFile(e.path()));
    std::string comando;
    for (std::string l; std::getline(texto, l);)
      if (l.find("vireta-sim ") != std::string::npos) comando = l.substr(l.find_first_not_of(' '));
    ASSERT_EQ(comando.rfind(instalado + e.path().stem().string() + ".xml ", 0), 0u) << comando;
    const std::size_t seta = comando.find(" > ~/");
    ASSERT_NE(seta, std::string::npos) << comando;
    const std::string planilha = comando.substr(seta + 5);
    // The installed program and samples are the build's and a copy of the sources'.
    comando.replace(0, instalado.size(), std::string(VIRETA_SIM) + " " + instaladas.string() + "/");
    const TCommandResult r =
        RunCommand("cd " + casa.string() + " && HOME=" + casa.string() + " sh -c '" + comando + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(casa / planilha).rfind("frame,t,i,nome,", 0), 0u) << planilha;
  }
  EXPECT_GE(guias, 12);
}

// Recorded from the runner before the launch and elasticity columns existed.
class SemAsColunasNovas : public ::testing::TestWithParam<const char*> {};

TEST_P(SemAsColunasNovas, CSVIgualAoDeAntesByteAByte) {
  const TTempFolder pasta;
  fs::copy(fs::path(VIRETA_SOURCE_DIR) / "Cenas", pasta / "Cenas", fs::copy_options::recursive);
  const std::string nome = GetParam();
  const TCommandResult r =
      RunCommand(std::string(VIRETA_SIM) + " " + (pasta / "Cenas" / (nome + ".xml")).string() +
                 " --frames 300 --every 30");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, ReadFile(fs::path(VIRETA_SOURCE_DIR) / "tests/tools/golden" / (nome + ".csv")));
}

INSTANTIATE_TEST_SUITE_P(Cenas, SemAsColunasNovas,
                         ::testing::Values("queda_livre", "colisao_inelastica", "colisao_parcial",
                                           "colisao_elastica", "rampa_atrito", "pilha_caixas", "capsula",
                                           "plano", "caixa_estatica", "tipo7"));

}  // namespace
