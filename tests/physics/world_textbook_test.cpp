// The simulation against what a physics textbook predicts, through the real loader, world and contacts.

#include "scene/simulation_step.h"
#include "support/scene_builder.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double g = 9.81;

class FisicaDeLivro : public ::testing::Test {
 protected:
  void Carrega(const TTestScene& c) { ::Carrega(c, cena); }
  void Passos(int n) {
    for (int i = 0; i < n; ++i) SimulationStep(cena);
  }
  const TObjetoCena& Obj(std::size_t i) const { return cena.Objetos.at(i); }

  TScene cena;
};

TTestScene Bola(double z, int tipoDeColisao = 0, double massa = 1) {
  TTestScene c;
  c.Linha(SphereRow(0.5), {{TColumn::Massa, massa},
                           {TColumn::Z, z},
                           {TColumn::ODEMove, true},
                           {TColumn::TemGravidade, true},
                           {TColumn::TipoDeColisao, tipoDeColisao}});
  return c;
}

TEST_F(FisicaDeLivro, QuedaLivreDepoisDeUmSegundo) {
  Carrega(Bola(100));
  Passos(100);
  EXPECT_NEAR(Obj(0).VecV.z, -g, 1e-4);
  // z0 - g t^2 / 2, within the fixed step's own discretisation error (g t dt).
  EXPECT_NEAR(Obj(0).Posicao.z, 100 - g / 2, g * 1.0 * 0.01);
  EXPECT_DOUBLE_EQ(Obj(0).Posicao.x, 0);
}

TEST_F(FisicaDeLivro, SemGravidadeOCorpoFicaParado) {
  TTestScene c = Bola(10);
  c.Linha(SphereRow(0.5), {{TColumn::Z, 20.0}, {TColumn::ODEMove, true}});
  // Only the first row speaks for the scene: the second row's empty TemGravidade does not matter.
  Carrega(c);
  Passos(50);
  EXPECT_NEAR(Obj(0).Posicao.z, 10 - g * 0.0001 * 50 * 51 / 2, 1e-6);

  TTestScene semGravidade;
  semGravidade.Linha(SphereRow(0.5),
                     {{TColumn::Z, 10.0}, {TColumn::ODEMove, true}, {TColumn::TemGravidade, false}});
  semGravidade.Linha(SphereRow(0.5),
                     {{TColumn::Z, 20.0}, {TColumn::ODEMove, true}, {TColumn::TemGravidade, true}});
  Carrega(semGravidade);
  Passos(50);
  EXPECT_DOUBLE_EQ(Obj(0).Posicao.z, static_cast<float>(10.0));
  EXPECT_DOUBLE_EQ(Obj(1).Posicao.z, static_cast<float>(20.0));
}

// Speed just before the first contact and just after it, from the frames' velocities.
double RazaoDeRicochete(FisicaDeLivro& t, TScene& cena) {
  double antes = 0;
  for (int i = 0; i < 300; ++i) {
    const double v = cena.Objetos[0].VecV.z;
    SimulationStep(cena);
    const double depois = cena.Objetos[0].VecV.z;
    if (v < -1 && depois > v + 1) {
      antes = v;
      // Let the contact finish: the largest upward speed over the next few frames.
      double maximo = depois;
      for (int k = 0; k < 5; ++k) {
        SimulationStep(cena);
        maximo = std::max(maximo, cena.Objetos[0].VecV.z);
      }
      return maximo / -antes;
    }
  }
  (void)t;
  ADD_FAILURE() << "the ball never reached the ground";
  return -1;
}

TEST_F(FisicaDeLivro, RicocheteSegueOTipoDeColisao) {
  const double esperado[] = {0.0, 0.5, 1.0};
  for (int tipo = 0; tipo < 3; ++tipo) {
    SCOPED_TRACE(tipo);
    Carrega(Bola(5, tipo));
    EXPECT_NEAR(RazaoDeRicochete(*this, cena), esperado[tipo], 0.05);
  }
}

TEST_F(FisicaDeLivro, CorposEmRepousoTocamOChaoEmZZero) {
  TTestScene c;
  c.Linha(
      SphereRow(0.5),
      {{TColumn::Massa, 1.0}, {TColumn::Z, 2.0}, {TColumn::ODEMove, true}, {TColumn::TemGravidade, true}});
  c.Linha(BoxRow(1.0, 2.0, 0.6),
          {{TColumn::Massa, 3.0}, {TColumn::X, 5.0}, {TColumn::Z, 1.0}, {TColumn::ODEMove, true}});
  // A capsule lying along x: turned 90 degrees about y.
  c.Linha({{TColumn::ODETipo, 1},
           {TColumn::Dim1, 0.25},
           {TColumn::Dim2, 1.0},
           {TColumn::Massa, 1.0},
           {TColumn::X, -5.0},
           {TColumn::Z, 1.0},
           {TColumn::Ang, 90.0},
           {TColumn::eixoY, 1.0},
           {TColumn::ODEMove, true}});
  // Boxes with their own elasticity, whose overlaps are undone by moving them: one on the ground, one on it.
  for (const double z : {1.0, 2.5})
    c.Linha(BoxRow(1.0, 1.0, 1.0), {{TColumn::Massa, 2.0},
                                    {TColumn::X, 10.0},
                                    {TColumn::Z, z},
                                    {TColumn::ODEMove, true},
                                    {TColumn::Elasticidade, 0.0}});
  Carrega(c);
  Passos(300);
  const double softness = 0.005;
  EXPECT_NEAR(Obj(0).Posicao.z - 0.5, 0, softness);
  EXPECT_NEAR(Obj(1).Posicao.z - 0.3, 0, softness);
  EXPECT_NEAR(Obj(2).Posicao.z - 0.25, 0, softness);
  EXPECT_NEAR(Obj(3).Posicao.z - 0.5, 0, softness);
  EXPECT_NEAR(Obj(4).Posicao.z - 1.5, 0, 2 * softness);
  for (std::size_t i = 0; i < 5; ++i) EXPECT_NEAR(Obj(i).VecV.z, 0, 0.01) << i;
}

TEST_F(FisicaDeLivro, ObjetoSemODEMoveNuncaSeMove) {
  TTestScene c;
  c.Linha(BoxRow(4.0, 4.0, 0.5), {{TColumn::Massa, 1.0},
                                  {TColumn::Z, 3.0},
                                  {TColumn::Ang, 30.0},
                                  {TColumn::eixoY, 1.0},
                                  {TColumn::ODEMove, false},
                                  {TColumn::TemGravidade, true}});
  // A heavy box lands on it and slides off.
  c.Linha(BoxRow(1.0, 1.0, 1.0), {{TColumn::Massa, 50.0}, {TColumn::Z, 6.0}, {TColumn::ODEMove, true}});
  Carrega(c);
  const TVector fixoPos = Obj(0).Posicao;
  const std::array<float, 4> fixoQ = Obj(0).Quaternio;
  dBodyID corpo = cena.Corpos[0];
  for (int i = 0; i < 300; ++i) {
    SimulationStep(cena);
    const dReal* p = dBodyGetPosition(corpo);
    const dReal* q = dBodyGetQuaternion(corpo);
    ASSERT_EQ(p[2], static_cast<float>(3.0)) << "frame " << i;
    ASSERT_EQ(p[0], 0.0);
    ASSERT_FLOAT_EQ(static_cast<float>(q[0]), fixoQ[0]);
    ASSERT_FLOAT_EQ(static_cast<float>(q[2]), fixoQ[2]);
  }
  EXPECT_EQ(Obj(0).Posicao.z, fixoPos.z);
  EXPECT_GT(Obj(1).Posicao.x, 1.0) << "the box should have slid off the turned static box";
}

// A static ramp turned by `graus` about y and a box of side 1 lying on it, 3 m up the slope.
TTestScene Rampa(double graus, double mu, double massa) {
  const double th = graus * std::numbers::pi / 180;
  const double nx = std::sin(th), nz = std::cos(th);   // the ramp's top normal
  const double dx = std::cos(th), dz = -std::sin(th);  // down the slope
  const double meio = 0.25 + 0.5 + 0.0005;
  const double x = nx * meio - 3 * dx, z = 3 + nz * meio - 3 * dz;
  TTestScene c;
  c.Linha(BoxRow(14.0, 4.0, 0.5), {{TColumn::Z, 3.0},
                                   {TColumn::Ang, graus},
                                   {TColumn::eixoY, 1.0},
                                   {TColumn::ODEMove, false},
                                   {TColumn::Atrito, 0.0},
                                   {TColumn::TemGravidade, true}});
  c.Linha(BoxRow(1.0, 1.0, 1.0), {{TColumn::Massa, massa},
                                  {TColumn::X, x},
                                  {TColumn::Z, z},
                                  {TColumn::Ang, graus},
                                  {TColumn::eixoY, 1.0},
                                  {TColumn::ODEMove, true},
                                  {TColumn::Atrito, mu}});
  return c;
}

// The box of Rampa: the distance it travels along the slope in `segundos`.
double DeslizaNaRampa(double graus, double mu, double massa, double segundos) {
  const double th = graus * std::numbers::pi / 180;
  const double dx = std::cos(th), dz = -std::sin(th);  // down the slope
  TScene cena;
  Carrega(Rampa(graus, mu, massa), cena);
  // Settle onto the slope first, then measure from rest.
  SimulationStep(cena);
  const TVector inicio = cena.Objetos[1].Posicao;
  const int quadros = static_cast<int>(std::lround(segundos / 0.01));
  for (int i = 0; i < quadros; ++i) SimulationStep(cena);
  const TVector fim = cena.Objetos[1].Posicao;
  return (fim.x - inicio.x) * dx + (fim.z - inicio.z) * dz;
}

TEST(Atrito, CaixaDeslizaQuandoATangenteSuperaOCoeficiente) {
  const double tan30 = std::tan(std::numbers::pi / 6);  // 0.577
  for (double massa : {1.0, 50.0}) {
    SCOPED_TRACE(massa);
    EXPECT_LT(std::fabs(DeslizaNaRampa(30, tan30 + 0.1, massa, 1.0)), 0.02) << "should hold";
    EXPECT_GT(DeslizaNaRampa(30, tan30 - 0.1, massa, 1.0), 0.2) << "should slide";
  }
}

TEST(Atrito, AceleracaoNaRampaEADoLivroQualquerQueSejaAMassa) {
  const double th = std::numbers::pi / 6, mu = 0.3, t = 1.0;
  const double a = g * (std::sin(th) - mu * std::cos(th));  // 2.36 m/s^2
  const double leve = DeslizaNaRampa(30, mu, 1, t);
  const double pesada = DeslizaNaRampa(30, mu, 40, t);
  EXPECT_NEAR(leve, a * t * t / 2, 0.05 * a * t * t / 2);
  EXPECT_NEAR(pesada, leve, 0.01);
}

// The force vector is the net force per unit mass: down the slope, g (sin θ - μ cos θ) long.
TEST(Atrito, VetorForcaDoBlocoNaRampaApontaRampaAbaixo) {
  const double th = std::numbers::pi / 6, mu = 0.3;
  TScene cena;
  Carrega(Rampa(30, mu, 2), cena);
  for (int i = 0; i < 30; ++i) SimulationStep(cena);
  const TVector a = cena.Objetos[1].VecA;
  const double esperado = g * (std::sin(th) - mu * std::cos(th));
  EXPECT_NEAR(NormaVet(a), esperado, 0.01 * esperado);
  const TVector rampaAbaixo{std::cos(th), 0, -std::sin(th)};
  const double aoLongo = a.x * rampaAbaixo.x + a.y * rampaAbaixo.y + a.z * rampaAbaixo.z;
  EXPECT_GT(aoLongo, 0.999 * NormaVet(a));
}

// Two equal balls head-on, without gravity: each ball's own elasticity, whatever the scene's kind says.
TEST(Colisao, ElasticidadeDosObjetosTrocaOuIgualaAsVelocidades) {
  for (const double e : {1.0, 0.0}) {
    SCOPED_TRACE(e);
    TTestScene c;
    c.Linha(SphereRow(0.5), {{TColumn::Massa, 2.0},
                             {TColumn::X, -1.73},
                             {TColumn::Z, 5.0},
                             {TColumn::VelX, 1.5},
                             {TColumn::Elasticidade, e},
                             {TColumn::ODEMove, true},
                             {TColumn::MoveX, true},
                             {TColumn::TipoDeColisao, e == 1 ? 0 : 2}});
    c.Linha(SphereRow(0.5),
            {{TColumn::Massa, 2.0}, {TColumn::Z, 5.0}, {TColumn::Elasticidade, e}, {TColumn::ODEMove, true}});
    TScene cena;
    Carrega(c, cena);
    for (int i = 0; i < 150; ++i) SimulationStep(cena);
    const double v1 = cena.Objetos[0].VecV.x, v2 = cena.Objetos[1].VecV.x;
    EXPECT_NEAR(v1 + v2, 1.5, 1e-6) << "momentum";
    EXPECT_NEAR(v1, e == 1 ? 0.0 : 0.75, 0.015);
    EXPECT_NEAR(v2, e == 1 ? 1.5 : 0.75, 0.015);
  }
}

TEST(Atrito, CaixaLancadaNoChaoParaEmVQuadradoSobreDoisMuG) {
  for (double massa : {1.0, 25.0}) {
    TTestScene c;
    c.Linha(BoxRow(1.0, 1.0, 1.0), {{TColumn::Massa, massa},
                                    {TColumn::Z, 0.5},
                                    {TColumn::ODEMove, true},
                                    {TColumn::Atrito, 0.5},
                                    {TColumn::TemGravidade, true}});
    TScene cena;
    Carrega(c, cena);
    for (int i = 0; i < 20; ++i) SimulationStep(cena);
    dBodySetLinearVel(cena.Corpos[0], 4, 0, 0);
    const double x0 = cena.Objetos[0].Posicao.x;
    for (int i = 0; i < 200; ++i) SimulationStep(cena);
    EXPECT_NEAR(cena.Objetos[0].Posicao.x - x0, 4.0 * 4.0 / (2 * 0.5 * g), 0.08) << massa;
    EXPECT_NEAR(cena.Objetos[0].VecV.x, 0, 1e-3);
  }
}

// Every kind of shape lying on the ground, dropped from a little height in some pose: after 20 s it
// rests on z = 0 and is still.
struct TRestingCase {
  const char* nome;
  TRowCells forma;
  double ang;  // degrees about x
};

void PrintTo(const TRestingCase& c, std::ostream* os) {
  *os << c.nome;
}

class Repouso : public ::testing::TestWithParam<TRestingCase> {};

TEST_P(Repouso, DepoisDeVinteSegundosOPontoMaisBaixoEstaEmZZeroEParado) {
  TTempFolder pasta;
  // A flat triangular prism: its corners are the lowest points whatever its pose on a face.
  pasta.Write(
      "prisma.obj",
      "v -0.5 -0.5 -0.2\nv 0.5 -0.5 -0.2\nv 0 0.5 -0.2\nv -0.5 -0.5 0.2\nv 0.5 -0.5 0.2\nv 0 0.5 0.2\n"
      "f 1 3 2\nf 4 5 6\nf 1 2 5\nf 1 5 4\nf 2 3 6\nf 2 6 5\nf 3 1 4\nf 3 4 6\n");
  const TRestingCase& caso = GetParam();
  TTestScene c;
  c.Linha(caso.forma, {{TColumn::Massa, 1.0},
                       {TColumn::Z, 1.5},
                       {TColumn::Ang, caso.ang},
                       {TColumn::eixoX, 1.0},
                       {TColumn::ODEMove, true},
                       {TColumn::Atrito, 0.5},
                       {TColumn::TemGravidade, true}});
  TScene cena;
  Carrega(c.Write(pasta.Path() / "cena.xml"), cena);
  for (int i = 0; i < 2000; ++i) SimulationStep(cena);
  dReal caixa[6];
  dGeomGetAABB(cena.Geometrias[0], caixa);
  EXPECT_NEAR(caixa[4], 0, 0.002) << "lowest point";
  const dReal* v = dBodyGetLinearVel(cena.Corpos[0]);
  EXPECT_LT(std::hypot(v[0], v[1], v[2]), 0.001) << "speed";
}

INSTANTIATE_TEST_SUITE_P(
    CadaForma, Repouso,
    ::testing::Values(
        TRestingCase{"esfera", SphereRow(0.3), 0},
        TRestingCase{
            "capsula_deitada", {{TColumn::ODETipo, 1}, {TColumn::Dim1, 0.3}, {TColumn::Dim2, 1.5}}, 90},
        TRestingCase{
            "capsula_a_30_graus", {{TColumn::ODETipo, 1}, {TColumn::Dim1, 0.3}, {TColumn::Dim2, 1.5}}, 30},
        TRestingCase{
            "capsula_a_45_graus", {{TColumn::ODETipo, 1}, {TColumn::Dim1, 0.3}, {TColumn::Dim2, 1.5}}, 45},
        TRestingCase{
            "capsula_a_89_graus", {{TColumn::ODETipo, 1}, {TColumn::Dim1, 0.3}, {TColumn::Dim2, 1.5}}, 89},
        TRestingCase{"caixa_numa_face", BoxRow(1.0, 0.8, 0.6), 0},
        TRestingCase{"caixa_caindo_numa_aresta", BoxRow(1.0, 0.8, 0.6), 45},
        TRestingCase{"malha", ModelRow("prisma.obj"), 0}),
    [](const ::testing::TestParamInfo<TRestingCase>& i) { return std::string(i.param.nome); });

TEST(SaidaDoMundo, ObjetoQueCaiDoChaoFicaParadoEAvisaUmaVez) {
  TTestScene c;
  // One ball beyond the floor's edge falls for good; another rests on the floor.
  c.Linha(SphereRow(0.05), {{TColumn::Massa, 1.0},
                            {TColumn::X, 60.0},
                            {TColumn::Z, 1.0},
                            {TColumn::ODEMove, true},
                            {TColumn::TemGravidade, true}});
  c.Linha(SphereRow(0.5), {{TColumn::Massa, 1.0}, {TColumn::Z, 0.5}, {TColumn::ODEMove, true}});
  TScene cena;
  Carrega(c, cena);
  std::vector<std::size_t> congelados;
  // Ten simulated minutes: long enough to fall far beyond any bound, were the fall not stopped.
  for (int i = 0; i < 60000; ++i)
    for (const std::size_t k : SimulationStep(cena)) congelados.push_back(k);
  ASSERT_EQ(congelados, std::vector<std::size_t>{0});
  const TObjetoCena& caido = cena.Objetos[0];
  EXPECT_TRUE(caido.LeftWorld);
  EXPECT_GE(caido.Posicao.z, FloorLimit - 1);
  EXPECT_TRUE(InsideWorld(caido.Posicao));
  const dReal* p = dBodyGetPosition(cena.Corpos[0]);
  EXPECT_FLOAT_EQ(p[2], static_cast<float>(caido.Posicao.z)) << "held where it was frozen";
  EXPECT_NEAR(cena.Objetos[1].Posicao.z, 0.5, 0.005) << "the rest go on";
}

}  // namespace
