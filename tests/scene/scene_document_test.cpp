// Editing a scene: saved edits load back as made and nothing else, undo reaches the opened state, a value
// the loader refuses changes neither the document nor the running scene.

#include "scene/scene_document.h"
#include "scene/scene_loader.h"
#include "scene/simulation_step.h"
#include "support/scene_builder.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <tuple>

namespace {

namespace fs = std::filesystem;
using C = TColumn;

class DocumentoTeste : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(fs::path(VIRETA_SOURCE_DIR) / "Cenas", pasta / "Cenas", fs::copy_options::recursive);
  }
  fs::path Amostra(const std::string& nome) const { return pasta / "Cenas" / nome; }
  void Abre(const std::string& nome) { doc.Reset(TSceneTable::Read(Amostra(nome)), Amostra(nome)); }
  // The running scene follows the document: each accepted table is built, as the window does.
  void Encena() {
    doc.SetStage([this](const TSceneDocument::TTable& t) {
      LoadSceneTable(t, doc.Path().empty() ? pasta / "nova" : doc.Path(), cena, {});
    });
    LoadSceneTable(doc.SharedTable(), doc.Path(), cena, {});
  }

  TTempFolder pasta;
  TSceneDocument doc;
  TScene cena;
};

std::tuple<double, double, double> Xyz(const TVector& v) {
  return {v.x, v.y, v.z};
}

// What a load makes of a row that a student could see differ.
void EsperaObjetosIguais(const TScene& a, const TScene& b) {
  ASSERT_EQ(a.Objetos.size(), b.Objetos.size());
  EXPECT_EQ(HasGravity(a), HasGravity(b));
  EXPECT_EQ(a.ContactParameters().TipoDeColisao, b.ContactParameters().TipoDeColisao);
  EXPECT_EQ(a.Atritos, b.Atritos);
  for (std::size_t i = 0; i < a.Objetos.size(); ++i) {
    const TObjetoCena &x = a.Objetos[i], &y = b.Objetos[i];
    EXPECT_EQ(Xyz(x.Posicao), Xyz(y.Posicao)) << i;
    EXPECT_EQ(x.Quaternio, y.Quaternio) << i;
    EXPECT_EQ(x.Dim, y.Dim) << i;
    EXPECT_EQ(x.Raio, y.Raio) << i;
    EXPECT_EQ(std::tie(x.R, x.G, x.B, x.A), std::tie(y.R, y.G, y.B, y.A)) << i;
    EXPECT_EQ(std::tie(x.ODETipo, x.ODEMove, x.UserMove, x.MoveX, x.MoveY, x.MoveZ, x.MostraRastroSempre,
                       x.MostraVecV, x.MostraVecA, x.MostraEixoRot),
              std::tie(y.ODETipo, y.ODEMove, y.UserMove, y.MoveX, y.MoveY, y.MoveZ, y.MostraRastroSempre,
                       y.MostraVecV, y.MostraVecA, y.MostraEixoRot))
        << i;
    EXPECT_EQ(x.Modelo.VertexCount, y.Modelo.VertexCount) << i;
  }
}

TEST_F(DocumentoTeste, CadaAmostraGravadaSemEdicaoCarregaOsMesmosObjetos) {
  for (const auto& e : fs::directory_iterator(pasta / "Cenas")) {
    if (e.path().extension() != ".xml" || e.path().filename() == "temp.xml") continue;
    SCOPED_TRACE(e.path().filename());
    doc.Reset(TSceneTable::Read(e.path()), e.path());
    const fs::path copia = e.path().parent_path() / ("copia_" + e.path().filename().string());
    doc.Save(copia);
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(doc.Path(), copia);
    EXPECT_EQ(TSceneTable::Read(copia), TSceneTable::Read(e.path()));
    TScene original, regravada;
    Carrega(e.path(), original);
    Carrega(copia, regravada);
    EsperaObjetosIguais(original, regravada);
  }
}

TEST_F(DocumentoTeste, EdicoesGravadasVoltamComoFeitasENadaMais) {
  Abre("rampa_atrito.xml");
  const TSceneTable antes = doc.Table();
  doc.SetCell(1, C::Massa, 3.5);
  doc.SetCell(2, C::Atrito, 0.25);
  doc.SetCell(0, C::Nome, std::string("Rampa íngreme"));
  doc.SetCell(2, C::MostraVecA, true);
  doc.SetSettings({false, 2});
  EXPECT_TRUE(doc.Modified());
  doc.Save(pasta / "editada.xml");
  EXPECT_FALSE(doc.Modified());

  const TSceneTable lida = TSceneTable::Read(pasta / "editada.xml");
  ASSERT_EQ(lida.RowCount(), antes.RowCount());
  int diferentes = 0;
  for (int i = 0; i < lida.RowCount(); ++i)
    for (std::size_t c = 0; c < NumeroColunas; ++c)
      diferentes += lida.Cell(i, static_cast<C>(c)) != antes.Cell(i, static_cast<C>(c));
  EXPECT_EQ(diferentes, 6) << "the four cells and the two scene settings of the first row";
  EXPECT_EQ(lida.Real(1, C::Massa), 3.5);
  EXPECT_EQ(lida.Real(2, C::Atrito), 0.25);
  EXPECT_EQ(lida.Text(0, C::Nome), "Rampa íngreme");
  EXPECT_TRUE(lida.Boolean(2, C::MostraVecA));
  TScene c;
  Carrega(pasta / "editada.xml", c);
  EXPECT_FALSE(HasGravity(c));
  EXPECT_EQ(c.ContactParameters().TipoDeColisao, 2);
  EXPECT_EQ(c.Atritos[2], 0.25);

  EXPECT_THROW(doc.SetCell(0, C::Massa, std::string("pesado")), std::invalid_argument);
  EXPECT_THROW(doc.SetCell(9, C::Massa, 1.0), std::out_of_range);
  EXPECT_FALSE(doc.Modified());
}

TEST_F(DocumentoTeste, DesfazerUmaCadeiaVoltaAoEstadoAbertoERefazerAoFinal) {
  Abre("pilha_caixas.xml");
  const TSceneTable aberta = doc.Table();
  EXPECT_FALSE(doc.CanUndo());
  doc.SetCell(0, C::Massa, 9.0);
  doc.Add(TShapeKind::Sphere, {0, 0, 3});
  doc.Duplicate(1);
  doc.Delete(0);
  EXPECT_EQ(doc.MoveDown(0), 1);
  EXPECT_EQ(doc.MoveUp(3), 2);
  doc.SetSettings({false, 1});
  doc.MoveStartPosition(2, {4, 5, 6});
  const TSceneTable final = doc.Table();
  int passos = 0;
  while (doc.CanUndo()) doc.Undo(), ++passos;
  EXPECT_EQ(passos, 8);
  EXPECT_EQ(doc.Table(), aberta);
  EXPECT_FALSE(doc.Modified());
  while (doc.CanRedo()) doc.Redo();
  EXPECT_EQ(doc.Table(), final);
  EXPECT_TRUE(doc.Modified());

  doc.Undo();
  doc.SetCell(0, C::Massa, 2.0);
  EXPECT_FALSE(doc.CanRedo()) << "a new edit ends the redo branch";
  doc.Save(pasta / "p.xml");
  doc.Undo();
  EXPECT_TRUE(doc.Modified()) << "undone past the saved state";
  doc.Redo();
  EXPECT_FALSE(doc.Modified());
}

TEST_F(DocumentoTeste, ValorRecusadoMantemCenaEDocumentoEDizOndeFoi) {
  Abre("pilha_caixas.xml");
  Encena();
  const TSceneTable aberta = doc.Table();
  const TVector posicao = cena.Objetos[3].Posicao;
  const dBodyID corpo = cena.Corpos[3];
  try {
    doc.SetCell(3, C::Z, 20000.0);
    FAIL() << "accepted a place outside the world";
  } catch (const ESceneError& e) {
    EXPECT_EQ(e.Row(), 3);
    EXPECT_EQ(e.Column(), C::Z);
    EXPECT_THAT(e.what(), ::testing::HasSubstr("linha 4, coluna \"Z\""));
  }
  try {
    doc.SetCell(1, C::ODETipo, 4);  // a model with no file
    FAIL() << "accepted a model without a file";
  } catch (const ESceneError& e) {
    EXPECT_EQ(e.Row(), 1);
    EXPECT_EQ(e.Column(), C::Arquivo);
  }
  EXPECT_EQ(doc.Table(), aberta);
  EXPECT_FALSE(doc.CanUndo());
  EXPECT_EQ(cena.Corpos[3], corpo) << "the running scene was not rebuilt";
  EXPECT_EQ(Xyz(cena.Objetos[3].Posicao), Xyz(posicao));

  doc.SetCell(3, C::Z, 12.0);
  EXPECT_NE(cena.Corpos[3], corpo);
  EXPECT_EQ(cena.Objetos[3].Posicao.z, 12.0) << "an accepted edit rebuilds the scene";
}

TEST_F(DocumentoTeste, MoverPosicaoInicialSeDesfaz) {
  Abre("queda_livre.xml");
  Encena();
  const TVector inicio = cena.Objetos[0].Posicao;
  doc.MoveStartPosition(0, {1.5, -2, 7});
  EXPECT_EQ(Xyz(cena.Objetos[0].Posicao), Xyz({1.5, -2, 7}));
  EXPECT_EQ(doc.Table().Real(0, C::Y), -2);
  doc.Undo();
  EXPECT_EQ(Xyz(cena.Objetos[0].Posicao), Xyz(inicio));
  EXPECT_FALSE(doc.Modified());
}

TEST_F(DocumentoTeste, ModelosNomeadosEmpilhadosEComOsAjustesNaPrimeiraLinha) {
  Encena();
  EXPECT_EQ(doc.Settings().TemGravidade, true) << "a new scene falls";
  doc.Add(TShapeKind::Plane, {3, 3, 3});
  doc.Add(TShapeKind::Box, {1, 2, 0});
  doc.Add(TShapeKind::Box, {1.2, 2, 0});
  doc.Add(TShapeKind::Sphere, {-5, 0, 4});
  doc.Add(TShapeKind::Capsule, {5, 0, 0});
  // Each edit makes a new table: read the current one every time.
  const auto t = [&]() -> const TSceneTable& { return doc.Table(); };
  ASSERT_EQ(t().RowCount(), 5);
  EXPECT_EQ(t().Text(1, C::Nome), "Caixa 1");
  EXPECT_EQ(t().Text(2, C::Nome), "Caixa 2");
  EXPECT_EQ(t().Text(4, C::Nome), "Cápsula 1");
  EXPECT_TRUE(t().Boolean(0, C::TemGravidade));
  EXPECT_EQ(t().Real(1, C::Z), 0.5) << "its lowest point on the floor, nothing under it";
  EXPECT_EQ(t().Real(2, C::Z), 1.5) << "resting on the first box";
  EXPECT_EQ(t().Real(3, C::Z), 4.5) << "its lowest point where it was asked for";
  EXPECT_EQ(t().Real(4, C::Z), 0.8);
  ASSERT_EQ(cena.Objetos.size(), 5u);
  EXPECT_TRUE(HasGravity(cena));
  EXPECT_EQ(cena.Objetos[0].ODETipo, 3);

  EXPECT_EQ(doc.Duplicate(3), 4);
  EXPECT_EQ(doc.Table().Text(4, C::Nome), "Esfera 2");
  EXPECT_EQ(doc.Table().Real(4, C::X), -5 + 1.1);
  doc.SetSettings({false, 1});
  doc.Delete(0);
  EXPECT_FALSE(doc.Table().Boolean(0, C::TemGravidade)) << "the new first row carries the settings";
  EXPECT_EQ(doc.Table().Integer(0, C::TipoDeColisao), 1);
  EXPECT_FALSE(HasGravity(cena));
  EXPECT_EQ(doc.Table().Integer(doc.Table().RowCount() - 1, C::ID), 5);
}

TEST_F(DocumentoTeste, BlocoNaRampaDesceComAAceleracaoDosLivrosOuFicaParado) {
  Encena();
  const double g = 9.81;
  for (const auto& [graus, mu] : {std::pair{30.0, 0.3}, std::pair{20.0, 0.1}, std::pair{30.0, 0.8}}) {
    doc.Reset(TSceneTable{}, {});
    const int rampa = doc.AddRamp({graus, 4, 1, mu}, {2, 1, 0});
    const int bloco = doc.AddBlockOnRamp(rampa, {0.4, 0.4, 0.2, 2});
    const double th = graus * std::numbers::pi / 180;
    const TVector desce{-std::cos(th), 0, -std::sin(th)};
    // The ramp's lower edge lies on the floor, its centre above the point asked for.
    // Each edit makes a new table: read the current one every time.
    const auto t = [&]() -> const TSceneTable& { return doc.Table(); };
    EXPECT_NEAR(t().Real(rampa, C::Z) - 2 * std::sin(th) - RampThickness / 2 * std::cos(th), 0, 1e-12);
    EXPECT_EQ(std::pair(t().Real(rampa, C::X), t().Real(rampa, C::Y)), std::pair(2.0, 1.0));
    ASSERT_EQ(cena.Objetos.size(), 2u);
    const TObjetoCena& b = cena.Objetos[1];
    const TVector inicio = b.Posicao;
    for (int k = 0; k < 20; ++k) SimulationStep(cena);
    const double v1 = Dot(b.VecV, desce);
    for (int k = 0; k < 80; ++k) SimulationStep(cena);
    const double v2 = Dot(b.VecV, desce), s2 = Dot(SubVet(b.Posicao, inicio), desce);
    const double esperada = g * (std::sin(th) - mu * std::cos(th));
    if (mu < std::tan(th)) {
      // The speed gained from 0.2 s to 1 s: a start-up jolt, if any, would not count.
      const double a = (v2 - v1) / 0.8;
      EXPECT_NEAR(a, esperada, 0.01 * esperada) << graus << "°, μ " << mu;
    } else {
      EXPECT_NEAR(s2, 0, 1e-3) << "held by friction: " << graus << "°, μ " << mu;
    }
    EXPECT_NEAR(cena.Objetos[1].Posicao.y, 1, 1e-3) << "straight down the slope";
    EXPECT_EQ(t().Real(bloco, C::Atrito), mu);
  }
  // A block needs a ramp, and one that it fits on.
  EXPECT_THROW(doc.AddBlockOnRamp(1, {}), ESceneError);
  EXPECT_THROW(doc.AddBlockOnRamp(0, {5, 0.4, 0.2, 1}), ESceneError);
  EXPECT_EQ(doc.Table().RowCount(), 2);
}

TEST_F(DocumentoTeste, SalvarGuardaModeloRelativoAPastaDaCenaEACopiaCarrega) {
  // A model chosen by its full path, beside the scene: saved relative, the copied folder still loads.
  Abre("malha_obj.xml");
  Encena();
  const fs::path modelo = Amostra("modelos/piramide.obj");
  doc.SetCell(0, C::Arquivo, modelo.string());
  doc.Save(pasta / "Cenas" / "minha.xml");
  EXPECT_EQ(TSceneTable::Read(pasta / "Cenas" / "minha.xml").Text(0, C::Arquivo), "modelos/piramide.obj");
  EXPECT_FALSE(doc.Modified());
  fs::copy(pasta / "Cenas", pasta / "copia", fs::copy_options::recursive);
  fs::remove_all(pasta / "Cenas" / "modelos");
  TScene copia;
  LoadScene(pasta / "copia" / "minha.xml", copia, {});
  EXPECT_GT(copia.Objetos[0].Modelo.VertexCount, 0);

  // Saved where the model is not below it, the name becomes the model's full path; undo's states too.
  Abre("malha_obj.xml");
  fs::copy(pasta / "copia" / "modelos", pasta / "Cenas" / "modelos", fs::copy_options::recursive);
  doc.SetCell(0, C::Massa, 3.0);
  fs::create_directories(pasta / "fora");
  doc.Save(pasta / "fora" / "longe.xml", pasta / "Cenas");
  EXPECT_EQ(fs::path(doc.Table().Text(0, C::Arquivo)), fs::canonical(modelo));
  doc.Undo();
  EXPECT_EQ(fs::path(doc.Table().Text(0, C::Arquivo)), fs::canonical(modelo));
}

}  // namespace
