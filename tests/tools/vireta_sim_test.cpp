// The headless runner as a student uses it: its CSV, its exit codes and its one-line errors.

#include "scene/scene_document.h"
#include "support/child_process.h"
#include "support/command_line_check.h"
#include "support/scene_builder.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <cstring>
#include <sstream>
#include <vector>

namespace {

using ::testing::HasSubstr;
using ::testing::Not;
namespace fs = std::filesystem;

// The runner with these arguments: exit status, standard output and standard error.
TCommandResult Roda(const std::string& argumentos) {
  return RunCommand(std::string(VIRETA_SIM) + " " + argumentos);
}

std::vector<std::string> Linhas(const std::string& texto) {
  std::vector<std::string> v;
  std::istringstream in(texto);
  for (std::string l; std::getline(in, l);) v.push_back(l);
  return v;
}

// The samples are copied aside, so that nothing a run does can reach the repository.
class Amostras : public ::testing::TestWithParam<const char*> {};

TEST_P(Amostras, CarregaESimulaSemErro) {
  TTempFolder pasta;
  fs::copy(fs::path(VIRETA_SOURCE_DIR) / "Cenas", pasta / "Cenas", fs::copy_options::recursive);
  const TCommandResult e = Roda((pasta / "Cenas" / GetParam()).string() + " --frames 50 --every 25");
  EXPECT_EQ(e.status, 0) << e.err;
  EXPECT_EQ(e.err, "");
  const auto linhas = Linhas(e.out);
  ASSERT_GE(linhas.size(), 4u);
  EXPECT_EQ(linhas[0], "frame,t,i,nome,x,y,z,vx,vy,vz,qw,qx,qy,qz");
  EXPECT_EQ((linhas.size() - 1) % 3, 0u) << "frames 0, 25 and 50, the same objects in each";
  EXPECT_EQ(linhas[1].rfind("0,0.00,0,", 0), 0u);
  EXPECT_EQ(linhas.back().rfind("50,0.50,", 0), 0u);
  // The names students read in the plots and the spreadsheet are written as Portuguese is.
  for (const char* semAcento : {"Pendulo", "serie", "Maquina", "Colisao", "Lancamento", "Rotacao"})
    EXPECT_THAT(e.out, Not(HasSubstr(semAcento)));
}

INSTANTIATE_TEST_SUITE_P(Cenas, Amostras,
                         ::testing::Values("queda_livre.xml", "colisao_inelastica.xml", "colisao_parcial.xml",
                                           "colisao_elastica.xml", "rampa_atrito.xml", "pilha_caixas.xml",
                                           "capsula.xml", "plano.xml", "caixa_estatica.xml", "malha_obj.xml",
                                           "tipo7.xml", "pendulo_simples.xml", "pendulo_duplo.xml",
                                           "molas_serie_paralelo.xml", "maquina_atwood.xml",
                                           "colisao_elastica_1d.xml", "lancamento_obliquo.xml",
                                           "queda_livre_rotacao.xml"));

TEST(ViretaSim, FreeFallAsCSV) {
  TTempFolder pasta;
  TTestScene c;
  c.Linha({{TColumn::Nome, std::string("Bola, \"azul\"")},
           {TColumn::ODETipo, 0},
           {TColumn::Dim1, 0.5},
           {TColumn::Z, 100.0},
           {TColumn::ODEMove, true},
           {TColumn::TemGravidade, true}});
  const TCommandResult e = Roda(c.Write(pasta / "q.xml").string() + " --frames 100 --every 50");
  ASSERT_EQ(e.status, 0) << e.err;
  const auto linhas = Linhas(e.out);
  ASSERT_EQ(linhas.size(), 4u);
  EXPECT_EQ(linhas[1], "0,0.00,0,\"Bola, \"\"azul\"\"\",0,0,100,0,0,0,1,0,0,0");
  EXPECT_EQ(linhas[3].rfind("100,1.00,0,", 0), 0u);
  EXPECT_THAT(linhas[3], HasSubstr(",-9.81"));
}

// A ramp and a box built from the editor's templates, saved, then run: the box slides down the ramp and
// the ball lands on the floor.
TEST(ViretaSim, ASceneMadeOfModelsRuns) {
  TTempFolder pasta;
  TSceneDocument doc;
  const int rampa = doc.Add(TShapeKind::Box, {0, 0, 0});
  doc.SetCell(rampa, TColumn::Nome, std::string("Rampa"));
  doc.SetCell(rampa, TColumn::Dim1, 8.0);
  doc.SetCell(rampa, TColumn::Dim3, 0.2);
  doc.SetCell(rampa, TColumn::Ang, 25.0);
  doc.SetCell(rampa, TColumn::eixoY, 1.0);
  doc.SetCell(rampa, TColumn::ODEMove, false);
  doc.MoveStartPosition(rampa, {0, 0, 2});
  const int caixa = doc.Add(TShapeKind::Box, {-1, 0, 0});
  doc.SetCell(caixa, TColumn::Atrito, 0.1);
  doc.SetCell(caixa, TColumn::Ang, 25.0);
  doc.SetCell(caixa, TColumn::eixoY, 1.0);
  doc.Add(TShapeKind::Sphere, {6, 0, 3});
  doc.Save(pasta / "rampa.xml");

  const TCommandResult e = Roda((pasta / "rampa.xml").string() + " --frames 150 --every 150");
  ASSERT_EQ(e.status, 0) << e.err;
  const auto linhas = Linhas(e.out);
  ASSERT_EQ(linhas.size(), 7u) << e.out;
  EXPECT_EQ(linhas[1].rfind("0,0.00,0,Rampa,0,0,2,", 0), 0u) << linhas[1];
  EXPECT_THAT(linhas[2], HasSubstr(",Caixa 1,-1,0,"));
  EXPECT_THAT(linhas[3], HasSubstr(",Esfera 1,6,0,3.5,")) << "standing at z = 3, its centre half a metre up";
  auto coluna = [](const std::string& linha, int k) {
    std::istringstream in(linha);
    std::string campo;
    for (int i = 0; i <= k; ++i) std::getline(in, campo, ',');
    return std::stod(campo);
  };
  EXPECT_GT(coluna(linhas[5], 4), 0.5) << "the box slid down the ramp, whose +x end is low: " << linhas[5];
  EXPECT_NEAR(coluna(linhas[6], 6), 0.5, 0.05) << "the ball rests on the floor: " << linhas[6];
}

TEST(ViretaSim, ABadSceneExitsWithOneAndOneErrorLine) {
  TTempFolder pasta;
  TTestScene c;
  c.Linha({{TColumn::ODETipo, 4}, {TColumn::Arquivo, std::string("nao-ha.obj")}});
  const TCommandResult e = Roda(c.Write(pasta / "ruim.xml").string());
  EXPECT_EQ(e.status, 1);
  EXPECT_EQ(Linhas(e.err).size(), 1u) << e.err;
  EXPECT_THAT(e.err, HasSubstr("ruim.xml: linha 1, coluna \"Arquivo\""));
  EXPECT_EQ(e.out, "");

  const TCommandResult sumido = Roda((pasta / "sumido.xml").string());
  EXPECT_EQ(sumido.status, 1);
  EXPECT_THAT(sumido.err, HasSubstr("sumido.xml"));
}

TEST(ViretaSim, WrongUsageExitsWithTwo) {
  EXPECT_EQ(Roda("").status, 2);
  EXPECT_EQ(Roda("a.xml --frames").status, 2);
  EXPECT_EQ(Roda("a.xml --frames -1").status, 2);
  EXPECT_EQ(Roda("a.xml --every 0").status, 2);
  EXPECT_EQ(Roda("a.xml --every x").status, 2);
  EXPECT_EQ(Roda("a.xml b.xml").status, 2);
  EXPECT_THAT(Roda("--ajuda").err, HasSubstr("uso: vireta-sim"));
  EXPECT_THAT(Roda("a.xml --every x").err, HasSubstr("vireta-sim: --every espera um número inteiro"));
  EXPECT_THAT(Roda("a.xml b.xml").err, HasSubstr("sobrou: b.xml"));
  ExpectStandardOptions(VIRETA_SIM, "vireta-sim");
}

// The system's own words in an error follow the user's language, as the rest of the message does.
TEST(ViretaSim, SystemErrorsInTheUsersLanguage) {
  const char* antes = std::setlocale(LC_MESSAGES, nullptr);
  const std::string guardado = antes ? antes : "C";
  const std::string ingles = std::strerror(ENOENT);
  if (!std::setlocale(LC_ALL, "pt_BR.UTF-8")) GTEST_SKIP() << "no pt_BR locale on this machine";
  const std::string portugues = std::strerror(ENOENT);
  std::setlocale(LC_ALL, guardado.c_str());
  if (portugues == ingles) GTEST_SKIP() << "the C library has no Portuguese messages here";
  TTempFolder pasta;
  const TCommandResult r = RunInPortugueseWithoutDisplay(VIRETA_SIM, (pasta / "sumido.xml").string());
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, HasSubstr(portugues));
  EXPECT_THAT(r.err, Not(HasSubstr(ingles)));
}

}  // namespace
