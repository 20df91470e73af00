// Loading scenes into the world: what each row kind builds, the scene-wide values, models, and that a
// failed load leaves the running scene exactly as it was.

#include "physics/ode_runtime.h"
#include "scene/obj_loader.h"
#include "scene/simulation_step.h"
#include "support/child_process.h"
#include "support/scene_builder.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <tuple>

namespace {

using ::testing::HasSubstr;
namespace fs = std::filesystem;

class CarregaCenaTeste : public ::testing::Test {
 protected:
  void Carrega(const TTestScene& c, const std::string& nome = "cena.xml") {
    ::Carrega(c.Write(pasta / nome), cena, &avisos);
  }
  std::string ErroDe(const TTestScene& c, const std::string& nome = "ruim.xml") {
    try {
      ::Carrega(c.Write(pasta / nome), cena, &avisos);
    } catch (const ESceneError& e) {
      return e.what();
    }
    return "(nenhum erro)";
  }
  const TObjetoCena& Obj(std::size_t i) const { return cena.Objetos.at(i); }

  TTempFolder pasta;
  TScene cena;
  std::string avisos;
};

TEST(QuaternioDeCarga, AnguloEEixo) {
  using Q = std::array<float, 4>;
  EXPECT_EQ(QuaternioDeCarga(0, {0, 0, 0}), (Q{1, 0, 0, 0}));
  EXPECT_EQ(QuaternioDeCarga(45, {0, 0, 0}), (Q{1, 0, 0, 0}));
  const Q q = QuaternioDeCarga(90, {0, 0, 1});
  EXPECT_NEAR(q[0], 0.70710678, 1e-6);
  EXPECT_EQ(q[1], 0);
  EXPECT_EQ(q[2], 0);
  EXPECT_NEAR(q[3], 0.70710678, 1e-6);
  EXPECT_EQ(QuaternioDeCarga(90, {0, 0, 2}), q);
}

TEST_F(CarregaCenaTeste, TabelaSemLinhasDaMundoSemGravidade) {
  Carrega(TTestScene{});
  EXPECT_TRUE(cena.Objetos.empty());
  EXPECT_FALSE(HasGravity(cena));
  EXPECT_EQ(cena.ContactParameters().TipoDeColisao, 0);
  dVector3 gr;
  dWorldGetGravity(cena.Mundo->Mundo(), gr);
  EXPECT_EQ(gr[2], 0);
}

TEST_F(CarregaCenaTeste, ValoresDaCenaVemDaPrimeiraLinha) {
  TTestScene c;
  c.Linha({{TColumn::TemGravidade, true}, {TColumn::TipoDeColisao, 2}, {TColumn::ODETipo, 7}});
  c.Linha({{TColumn::TemGravidade, false}, {TColumn::TipoDeColisao, 0}, {TColumn::ODETipo, 7}});
  Carrega(c);
  EXPECT_TRUE(HasGravity(cena));
  EXPECT_EQ(cena.ContactParameters().TipoDeColisao, 2);
  dVector3 gr;
  dWorldGetGravity(cena.Mundo->Mundo(), gr);
  EXPECT_NEAR(gr[2], -9.81, 1e-6);
}

TEST_F(CarregaCenaTeste, CadaFormaGuardaSuasDimensoesERaio) {
  TTestScene c;
  c.Linha(SphereRow(0.5), {{TColumn::Dim2, 7.0},
                           {TColumn::Dim3, 8.0},
                           {TColumn::Dim4, 9.0},
                           {TColumn::Z, 3.0},
                           {TColumn::ODEMove, true}});
  c.Linha({{TColumn::ODETipo, 1},
           {TColumn::Dim1, 0.25},
           {TColumn::Dim2, 2.0},
           {TColumn::Dim3, 5.0},
           {TColumn::X, 3.0}});
  c.Linha(BoxRow(2.0, 4.0, 4.0), {{TColumn::Dim4, 5.0}, {TColumn::Y, 9.0}});
  c.Linha({{TColumn::ODETipo, 3},
           {TColumn::Dim1, 0.0},
           {TColumn::Dim2, 0.0},
           {TColumn::Dim3, 1.0},
           {TColumn::Dim4, 2.0},
           {TColumn::SX, 6.0},
           {TColumn::SY, 8.0},
           {TColumn::X, 4.0},
           {TColumn::Ang, 30.0},
           {TColumn::eixoX, 1.0}});
  c.Linha({{TColumn::ODETipo, 7}, {TColumn::X, 5.0}, {TColumn::Dim1, 3.0}});
  Carrega(c);
  ASSERT_EQ(cena.Objetos.size(), 5u);
  EXPECT_EQ(Obj(0).Dim, (std::array<double, 4>{0.5, 0, 0, 0}));
  EXPECT_EQ(Obj(0).Raio, 0.5);
  EXPECT_EQ(Obj(0).Posicao.z, 3.0);
  EXPECT_EQ(Obj(1).Dim, (std::array<double, 4>{0.25, 2.0, 0, 0}));
  EXPECT_EQ(Obj(1).Raio, 2.5);
  EXPECT_EQ(Obj(2).Dim, (std::array<double, 4>{2, 4, 4, 0}));
  EXPECT_DOUBLE_EQ(Obj(2).Raio, 3.0);
  EXPECT_EQ(Obj(2).Posicao.y, 9.0);

  // The plane: no position of its own, no gravity, Raio from SX and SY, drawn extent in Modelo's centre.
  EXPECT_EQ(Obj(3).ODETipo, 3);
  EXPECT_EQ(Obj(3).Dim, (std::array<double, 4>{0, 0, 1, 2}));
  EXPECT_DOUBLE_EQ(Obj(3).Raio, 5.0);
  EXPECT_EQ(Obj(3).Posicao.x, 0);
  EXPECT_EQ(Obj(3).Quaternio, (std::array<float, 4>{1, 0, 0, 0}));
  EXPECT_EQ(Obj(3).Modelo.BoundsCentre.x, 6.0f);
  EXPECT_EQ(Obj(3).Modelo.BoundsCentre.y, 8.0f);
  EXPECT_EQ(dBodyGetGravityMode(cena.Corpos[3]), 0);
  ASSERT_NE(cena.Geometrias[3], nullptr);
  EXPECT_EQ(dGeomGetBody(cena.Geometrias[3]), nullptr);

  // Any other kind: a body without a shape, at the origin.
  EXPECT_EQ(Obj(4).ODETipo, SemForma);
  EXPECT_EQ(cena.Geometrias[4], nullptr);
  ASSERT_NE(cena.Corpos[4], nullptr);
  EXPECT_EQ(Obj(4).Posicao.x, 0);
  EXPECT_EQ(Obj(4).Dim, (std::array<double, 4>{}));
}

TEST_F(CarregaCenaTeste, ObjetoFixoGiradoMantemAOrientacaoDeCarga) {
  TTestScene c;
  c.Linha(BoxRow(1.0, 1.0, 1.0), {{TColumn::Z, 2.0},
                                  {TColumn::Ang, 30.0},
                                  {TColumn::eixoY, 1.0},
                                  {TColumn::ODEMove, false},
                                  {TColumn::TemGravidade, true}});
  Carrega(c);
  EXPECT_FALSE(dBodyIsEnabled(cena.Corpos[0]));
  EXPECT_NEAR(Obj(0).Quaternio[0], std::cos(M_PI / 12), 1e-6);
  EXPECT_NEAR(Obj(0).Quaternio[2], std::sin(M_PI / 12), 1e-6);
  EXPECT_NEAR(Obj(0).Ang, M_PI / 6, 1e-6);
  for (int i = 0; i < 100; ++i) SimulationStep(cena);
  const dReal* q = dBodyGetQuaternion(cena.Corpos[0]);
  EXPECT_FLOAT_EQ(q[0], Obj(0).Quaternio[0]);
  EXPECT_FLOAT_EQ(q[2], Obj(0).Quaternio[2]);
  EXPECT_EQ(dBodyGetPosition(cena.Corpos[0])[2], 2.0);
}

TEST_F(CarregaCenaTeste, ValoresQueOMotorRecusariaTemSubstitutos) {
  TTestScene c;
  c.Linha(SphereRow(-1.0), {{TColumn::Massa, 5.0}, {TColumn::ODEMove, true}});
  c.Linha(BoxRow(0.0, 0.0, 0.0), {{TColumn::Massa, 2.0}});
  c.Linha({{TColumn::ODETipo, 1}, {TColumn::Dim1, 0.5}, {TColumn::Dim2, 1.0}, {TColumn::Massa, -3.0}});
  c.Linha({{TColumn::ODETipo, 3}});  // a plane without a normal
  c.Linha(SphereRow(0.5), {{TColumn::Massa, 4.0}});
  Carrega(c);
  dMass m;
  for (std::size_t i = 0; i < 3; ++i) {
    dBodyGetMass(cena.Corpos[i], &m);
    EXPECT_EQ(m.mass, 1) << "row " << i << " keeps the engine's default mass";
  }
  dBodyGetMass(cena.Corpos[4], &m);
  EXPECT_FLOAT_EQ(m.mass, 4);
  dVector4 plano;
  dGeomPlaneGetParams(cena.Geometrias[3], plano);
  EXPECT_EQ(plano[2], 1);
  for (int i = 0; i < 50; ++i) SimulationStep(cena);
}

const char* Quadrado =
    "g chao\n"
    "v 0 0 0\nv 2 0 0\nv 2 2 0\nv 0 2 0\nv 2 0 0\n"
    "f 1 5 3 4\n"
    "f 1 2 3\n";

TEST_F(CarregaCenaTeste, MalhaSoldaEscalaEFazLequeDoQuadrilatero) {
  pasta.Write("modelos/Quadrado.OBJ", Quadrado);
  TTestScene c;
  // Written as on Windows: backslash and another letter case.
  c.Linha({{TColumn::ODETipo, 4},
           {TColumn::Arquivo, std::string("modelos\\quadrado.obj")},
           {TColumn::SX, 2.0},
           {TColumn::SY, 1.0},
           {TColumn::SZ, 1.0},
           {TColumn::Massa, 1.0},
           {TColumn::Z, 1.0}});
  Carrega(c);
  const TObjetoCena& o = Obj(0);
  EXPECT_EQ(o.ODETipo, 4);
  EXPECT_EQ(o.Modelo.VertexCount, 5);
  // Vertex 5 sits where vertex 2 does: the face names vertex 2 after the weld.
  EXPECT_EQ(o.Modelo.Groups[1].Faces[1].VertexIndex, (std::vector<int32_t>{1, 2, 3, 4}));
  // Scaled to x from 0 to 4 and y from 0 to 2, then moved onto the middle of the mesh, where the body
  // sits; the row's Z still places the model's origin.
  EXPECT_EQ(o.Modelo.Vertices[2].x, 2.0f);
  EXPECT_EQ(o.Modelo.BoundsMax.x, 2.0f);
  EXPECT_EQ(o.Modelo.BoundsMin.y, -1.0f);
  EXPECT_EQ(o.MeshCentre.x, 2.0);
  EXPECT_EQ(o.MeshCentre.y, 1.0);
  // The quad collides over its whole area, as a fan of two triangles.
  EXPECT_EQ(o.Malha.Indices, (std::vector<uint32_t>{0, 1, 2, 0, 2, 3, 0, 1, 2}));
  EXPECT_EQ(o.Malha.Vertices.size(), 5u * 4);
  EXPECT_DOUBLE_EQ(o.Raio, std::sqrt(2.0 * 2 + 1 * 1));
  ASSERT_NE(cena.Geometrias[0], nullptr);
  EXPECT_EQ(dGeomGetClass(cena.Geometrias[0]), dTriMeshClass);
  EXPECT_EQ(o.Posicao.x, 2.0);
  EXPECT_EQ(o.Posicao.y, 1.0);
  EXPECT_EQ(o.Posicao.z, 1.0);
}

TEST_F(CarregaCenaTeste, DuasMalhasGuardamCadaUmaASua) {
  pasta.Write("baixo.obj", "v -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\nf 1 2 3\nf 1 3 4\n");
  pasta.Write("alto.obj", "v -2 -1 2\nv 2 -1 2\nv 2 1 2\nv -2 1 2\nf 1 2 3\nf 1 3 4\n");
  TTestScene c;
  for (const char* nome : {"baixo.obj", "alto.obj"})
    c.Linha(ModelRow(nome), {{TColumn::X, nome[0] == 'b' ? 0.0 : 10.0},
                             {TColumn::Z, 1.0},
                             {TColumn::ODEMove, false},
                             {TColumn::TemGravidade, true}});
  for (double x : {0.0, 10.0})
    c.Linha(SphereRow(0.25),
            {{TColumn::Massa, 1.0}, {TColumn::X, x}, {TColumn::Z, 5.0}, {TColumn::ODEMove, true}});
  Carrega(c);
  EXPECT_NE(Obj(0).Malha.Vertices, Obj(1).Malha.Vertices);
  EXPECT_NE(dGeomTriMeshGetTriMeshDataID(cena.Geometrias[0]),
            dGeomTriMeshGetTriMeshDataID(cena.Geometrias[1]));
  for (int i = 0; i < 200; ++i) SimulationStep(cena);
  // Each ball rests on its own mesh: one at z = 1 + 0.25, the other at z = 3 + 0.25.
  EXPECT_NEAR(Obj(2).Posicao.z, 1.25, 0.01);
  EXPECT_NEAR(Obj(3).Posicao.z, 3.25, 0.01);
}

TEST_F(CarregaCenaTeste, CargaNuncaGravaOArquivoDoModeloNemOutroQualquer) {
  // A group line ending in two backslashes joins the empty line after it: loaded again and again, the
  // vertices and faces after it are all still there.
  const std::string cont = "g peca\\\\\n\nv 0 0 0\nv 1 0 0\nv 1 1 \\\n0\nf 1 2 3\n";
  const fs::path obj = pasta.Write("cont.obj", cont);
  // A shared scene may name any file; one with a line ending in a backslash must not be touched either.
  const std::string relatorio = "\\begin{document}\\\ntexto\n";
  const fs::path tex = pasta.Write("documentos/relatorio.tex", relatorio);
  for (int carga = 0; carga < 2; ++carga) {
    TTestScene c;
    c.Linha(ModelRow("cont.obj"));
    Carrega(c);
    EXPECT_EQ(Obj(0).Modelo.VertexCount, 3);
    EXPECT_EQ(Obj(0).Malha.Indices.size(), 3u);
    EXPECT_EQ(ReadFile(obj), cont);
  }
  TTestScene fora;
  fora.Linha(ModelRow("../documentos/relatorio.tex"));
  fs::create_directories(pasta / "cenas");
  Carrega(fora, "cenas/c.xml");  // loads as a model without triangles
  EXPECT_EQ(ReadFile(tex), relatorio);
}

// The engine faults on two single-triangle meshes that touch; a mesh of one triangle, flat or folded onto a
// line, is told about and kept out of mesh-against-mesh tests, while it still lands on the ground.
TEST_F(CarregaCenaTeste, MalhasDeUmTrianguloQueSeTocamNaoDerrubamOPrograma) {
  pasta.Write("tri.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
  pasta.Write("linha.obj", "v 0 0 0\nv 1 0 0\nv 2 0 0\nf 1 2 3\n");
  for (const std::string modelo : {"tri.obj", "linha.obj"}) {
    TTestScene c;
    c.Linha(
        ModelRow(modelo),
        {{TColumn::Z, 1.0}, {TColumn::Massa, 1.0}, {TColumn::ODEMove, true}, {TColumn::TemGravidade, true}});
    c.Linha(ModelRow(modelo),
            {{TColumn::X, 0.1}, {TColumn::Z, 1.0}, {TColumn::Massa, 1.0}, {TColumn::ODEMove, true}});
    const int saida = RunInChild([&] {
      Carrega(c);
      for (int i = 0; i < 200; ++i) SimulationStep(cena);
      return Obj(0).Posicao.z < 0.5 && avisos.find("um só triângulo") != std::string::npos ? 0 : 1;
    });
    EXPECT_EQ(saida, 0) << modelo << (saida >= 200 ? ": the engine faulted" : "");
  }
}

TEST_F(CarregaCenaTeste, MalhaSemTrianguloValidoCarregaSemGeometria) {
  pasta.Write("ruim.obj", "v 0 0 0\nv 1 0 0\nf 1 2 9\nf 0 1 2\n");
  TTestScene c;
  c.Linha(ModelRow("ruim.obj"), {{TColumn::Massa, 1.0}, {TColumn::ODEMove, true}});
  Carrega(c);
  EXPECT_EQ(cena.Geometrias[0], nullptr);
  EXPECT_TRUE(Obj(0).Malha.Indices.empty());
  EXPECT_THAT(avisos, HasSubstr("ruim.obj"));
  EXPECT_THAT(avisos, HasSubstr("nenhum triângulo para colisão"));
  for (int i = 0; i < 10; ++i) SimulationStep(cena);
}

TEST_F(CarregaCenaTeste, CargaQueFalhaNaoMudaNenhumArquivo) {
  // One model with a continued line that loads, one that is continued but malformed, one row after them
  // that fails: no file may change, byte for byte.
  const std::string bom = "v 0 0 0\r\nv 1 0 0\r\nv 1 1 \\\r\n0\r\nf 1 2 3\r\n";
  const std::string ruim = "# C:\\modelos\\\nv 0 0 0\nv 1 0 \\\n0\nv 1 1 y\nf 1 2 3\n";
  const fs::path objBom = pasta.Write("bom.obj", bom);
  const fs::path objRuim = pasta.Write("ruim.obj", ruim);
  TTestScene depoisFalha, modeloRuim;
  depoisFalha.Linha(ModelRow("bom.obj"));
  depoisFalha.Linha({{TColumn::ODETipo, 4}, {TColumn::Arquivo, std::string("sumiu.obj")}});
  modeloRuim.Linha(ModelRow("bom.obj"));
  modeloRuim.Linha(ModelRow("ruim.obj"));
  EXPECT_THAT(ErroDe(depoisFalha, "a.xml"), HasSubstr("sumiu.obj"));
  EXPECT_THAT(ErroDe(modeloRuim, "b.xml"), HasSubstr("ruim.obj, line 5"));
  EXPECT_EQ(ReadFile(objBom), bom);
  EXPECT_EQ(ReadFile(objRuim), ruim);

  TTestScene so;
  so.Linha(ModelRow("bom.obj"));
  Carrega(so);
  EXPECT_EQ(ReadFile(objBom), bom);
}

// Both halves of a quad-shaped floor tile hold a ball, and so does a face whose normal numbers name
// normals the file never gives.
TEST_F(CarregaCenaTeste, QuadrilateroEFacesSemNormaisSeguramBolas) {
  pasta.Write("ladrilho.obj", "v -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\nf 1 2 3 4\n");
  pasta.Write("sem_vn.obj", "v -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\nf 1//1 2//1 3//1\nf 1//1 3//1 4//1\n");
  TTestScene c;
  c.Linha(ModelRow("ladrilho.obj"),
          {{TColumn::Z, 1.0}, {TColumn::ODEMove, false}, {TColumn::TemGravidade, true}});
  c.Linha(ModelRow("sem_vn.obj"), {{TColumn::X, 10.0}, {TColumn::Z, 1.0}, {TColumn::ODEMove, false}});
  const double bolas[][2] = {{0.5, -0.5}, {-0.5, 0.5}, {10.5, -0.5}, {9.5, 0.5}};
  for (const auto& b : bolas)
    c.Linha(SphereRow(0.25), {{TColumn::Massa, 1.0},
                              {TColumn::X, b[0]},
                              {TColumn::Y, b[1]},
                              {TColumn::Z, 2.0},
                              {TColumn::ODEMove, true}});
  Carrega(c);
  EXPECT_EQ(avisos, "");
  for (int i = 0; i < 200; ++i) SimulationStep(cena);
  for (std::size_t b = 2; b < 6; ++b) EXPECT_NEAR(Obj(b).Posicao.z, 1.25, 0.01) << "ball " << b;
}

// Every model of the corpus, scaled to about 2 units and dropped, comes to rest on the floor.
TEST_F(CarregaCenaTeste, ModelosDeOutrosProgramasPousamNoChao) {
  const fs::path corpus = fs::path(VIRETA_SOURCE_DIR) / "tests/scene/corpus";
  for (const auto& entrada : fs::directory_iterator(corpus))
    fs::copy(entrada.path(), pasta / entrada.path().filename());
  for (const char* nome : {"blender27_cube.obj", "blender28_duas_pecas.obj", "max_caixa.obj",
                           "meshlab_tetra.obj", "rhino_prisma.obj", "aberta.obj"}) {
    SCOPED_TRACE(nome);
    TModel modelo = LoadModel((pasta / nome).string(), {});
    ComputeBounds(modelo);
    const double escala = 2.0 / modelo.MaxExtent;
    TTestScene c;
    c.Linha({{TColumn::ODETipo, 4},
             {TColumn::Arquivo, std::string(nome)},
             {TColumn::SX, escala},
             {TColumn::SY, escala},
             {TColumn::SZ, escala},
             {TColumn::Massa, 1.0},
             {TColumn::Atrito, 0.5},
             {TColumn::Z, 0.5 - escala * modelo.BoundsMin.z},
             {TColumn::ODEMove, true},
             {TColumn::TemGravidade, true}});
    Carrega(c, std::string(nome) + ".xml");
    ASSERT_NE(cena.Geometrias[0], nullptr);
    for (int i = 0; i < 400; ++i) SimulationStep(cena);
    const dReal* p = dBodyGetPosition(cena.Corpos[0]);
    const dReal* r = dBodyGetRotation(cena.Corpos[0]);
    double minimo = 1e9;
    const std::vector<float>& v = Obj(0).Malha.Vertices;
    for (std::size_t k = 0; k + 3 < v.size(); k += 4)
      minimo = std::min(minimo, p[2] + r[8] * v[k] + r[9] * v[k + 1] + r[10] * v[k + 2]);
    EXPECT_GE(minimo, -0.02);
    EXPECT_LT(minimo, 0.05) << "still in the air";
    const dReal* vel = dBodyGetLinearVel(cena.Corpos[0]);
    EXPECT_LT(std::sqrt(vel[0] * vel[0] + vel[1] * vel[1] + vel[2] * vel[2]), 0.05) << "not at rest";
  }
}

TEST_F(CarregaCenaTeste, ArquivoDeMaterialAusenteAvisaECarrega) {
  pasta.Write("m.obj", "mtllib falta.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
  TTestScene c;
  c.Linha(ModelRow("m.obj"));
  Carrega(c);
  EXPECT_THAT(avisos, HasSubstr("Cannot find the material file : "));
  EXPECT_EQ(Obj(0).Modelo.VertexCount, 3);
}

TEST_F(CarregaCenaTeste, CargaQueFalhaDeixaACenaComoEstava) {
  TTestScene boa;
  boa.Linha(SphereRow(0.5), {{TColumn::Z, 4.0},
                             {TColumn::ODEMove, true},
                             {TColumn::TemGravidade, true},
                             {TColumn::TipoDeColisao, 1},
                             {TColumn::Atrito, 0.7}});
  Carrega(boa);
  for (int i = 0; i < 10; ++i) SimulationStep(cena);
  const TPhysicsWorld* mundo = cena.Mundo.get();
  const dBodyID corpo = cena.Corpos[0];
  const TVector pos = Obj(0).Posicao;

  pasta.Write("quebrado.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 1 x 0\nf 1 2 3\n");
  TTestScene malhaRuim, valorRuim, semModelo;
  malhaRuim.Linha(SphereRow(1.0));
  malhaRuim.Linha({{TColumn::ODETipo, 4}, {TColumn::Arquivo, std::string("quebrado.obj")}});
  semModelo.Linha({{TColumn::ODETipo, 4}, {TColumn::Arquivo, std::string("sumiu.obj")}});
  valorRuim.Linha({{TColumn::ODETipo, 0}});

  const std::string e1 = ErroDe(malhaRuim, "m.xml");
  EXPECT_THAT(e1, HasSubstr("m.xml: linha 2, coluna \"Arquivo\""));
  EXPECT_THAT(e1, HasSubstr("quebrado.obj"));
  EXPECT_THAT(e1, HasSubstr("4"));  // the model's line
  EXPECT_THAT(ErroDe(semModelo, "s.xml"), HasSubstr("sumiu.obj"));
  pasta.Write("v.xml", ReadFile(valorRuim.Write(pasta / "v.xml")) + "junk<");
  EXPECT_THROW(::Carrega(pasta / "v.xml", cena), ESceneError);
  EXPECT_THROW(::Carrega(pasta / "nada.xml", cena), ESceneError);

  EXPECT_EQ(cena.Mundo.get(), mundo);
  ASSERT_EQ(cena.Objetos.size(), 1u);
  EXPECT_EQ(cena.Corpos[0], corpo);
  EXPECT_EQ(cena.ContactParameters().TipoDeColisao, 1);
  EXPECT_EQ(cena.Atritos[0], 0.7);
  EXPECT_EQ(Obj(0).Posicao.z, pos.z);
  SimulationStep(cena);
  EXPECT_LT(Obj(0).Posicao.z, pos.z) << "the old scene keeps running";
}

TEST_F(CarregaCenaTeste, NovaCenaNaoHerdaNadaDaAnterior) {
  TTestScene a, b;
  for (int i = 0; i < 3; ++i)
    a.Linha(SphereRow(0.5), {{TColumn::X, 2.0 * i},
                             {TColumn::ODEMove, true},
                             {TColumn::MostraRastroSempre, true},
                             {TColumn::TemGravidade, true}});
  b.Linha(BoxRow(1.0, 1.0, 1.0),
          {{TColumn::Z, 0.5}, {TColumn::ODEMove, true}, {TColumn::MostraRastroSempre, true}});
  Carrega(a, "a.xml");
  for (int i = 0; i < 20; ++i) SimulationStep(cena);
  EXPECT_EQ(Obj(0).Rastro.size(), 20u);
  Carrega(b, "b.xml");
  ASSERT_EQ(cena.Objetos.size(), 1u);
  EXPECT_TRUE(Obj(0).Rastro.empty());
  // Only the ground and the one box are in the new space.
  EXPECT_EQ(dSpaceGetNumGeoms(cena.Mundo->Espaco()), 2);
  SimulationStep(cena);
  EXPECT_EQ(Obj(0).Rastro.size(), 1u);
}

// Random damage to a real scene file and its model must end in a loaded scene or an ESceneError, never a
// crash.
TEST(CargaRobusta, ArquivosDanificadosNuncaDerrubamOPrograma) {
  TTempFolder pasta;
  const std::string modelo =
      "mtllib m.mtl\ng a\nusemtl X\nv 0 0 0\nv 1 0 0\nv 1 1 0\nvn 0 0 1\nf 1//1 2//1 3//1\n";
  TTestScene c;
  c.Linha(ModelRow("m.obj"),
          {{TColumn::Massa, 1.0}, {TColumn::ODEMove, true}, {TColumn::TemGravidade, true}});
  c.Linha(BoxRow(1.0, 1.0, 1.0),
          {{TColumn::Z, 3.0}, {TColumn::Ang, 30.0}, {TColumn::eixoX, 1.0}, {TColumn::ODEMove, true}});
  const std::string cenaTexto = ReadFile(c.Write(pasta / "base.xml"));
  std::mt19937 rng(1234);
  const std::string lixo = "<>\"=/\\ 0123456789.-eE+TRUEFALSnavfgu\n\xC3\xA7\xFF";
  auto estraga = [&](std::string s) {
    const int vezes = 1 + static_cast<int>(rng() % 4);
    for (int k = 0; k < vezes && !s.empty(); ++k) {
      const std::size_t pos = rng() % s.size();
      switch (rng() % 3) {
        case 0:
          s[pos] = lixo[rng() % lixo.size()];
          break;
        case 1:
          s.erase(pos, 1 + rng() % 8);
          break;
        case 2:
          s.resize(pos);
          break;
      }
    }
    return s;
  };
  int carregadas = 0;
  for (int i = 0; i < 400; ++i) {
    pasta.Write("m.obj", i % 2 ? estraga(modelo) : modelo);
    pasta.Write("m.mtl", "newmtl x\nKd 1 0 0\n");
    const fs::path p = pasta.Write("f.xml", i % 2 ? cenaTexto : estraga(cenaTexto));
    TScene cena;
    try {
      ::Carrega(p, cena);
      for (int k = 0; k < 5; ++k) SimulationStep(cena);
      ++carregadas;
    } catch (const ESceneError&) {
    }
  }
  EXPECT_GT(carregadas, 0);
}

TEST_F(CarregaCenaTeste, FormaSemTamanhoCarregaComAvisoNaLinhaEColuna) {
  TTestScene c;
  c.Linha(SphereRow(0.5), {{TColumn::Z, 1.0}});
  c.Linha(SphereRow(0.0), {{TColumn::Z, 1.0}});
  c.Linha(BoxRow(1.0, -2.0, 1.0), {{TColumn::Z, 1.0}});
  c.Linha({{TColumn::ODETipo, 1}, {TColumn::Dim1, 0.3}, {TColumn::Dim2, -1.0}});
  c.Linha({{TColumn::ODETipo, 1}, {TColumn::Dim1, 0.3}, {TColumn::Dim2, 0.0}});  // a sphere, and fine
  Carrega(c);
  ASSERT_EQ(cena.Objetos.size(), 5u) << "every row still loads";
  const std::string arquivo = (pasta / "cena.xml").string();
  EXPECT_EQ(avisos,
            "Objeto sem tamanho: " + arquivo +
                ": linha 2, coluna \"Dim1\": tamanho 0 não é positivo; o objeto fica sem forma visível e "
                "atravessa o chão.\n"
                "Objeto sem tamanho: " +
                arquivo +
                ": linha 3, coluna \"Dim2\": tamanho -2 não é positivo; o objeto fica sem forma visível e "
                "atravessa o chão.\n"
                "Objeto sem tamanho: " +
                arquivo +
                ": linha 4, coluna \"Dim2\": comprimento -1 é negativo; a cápsula é carregada com "
                "comprimento 0.\n");
  EXPECT_EQ(Obj(2).Dim[1], -2.0) << "the row is kept as written";
}

TEST_F(CarregaCenaTeste, PosicaoForaDoMundoEErroDeCargaNaLinhaEColuna) {
  const std::string arquivo = (pasta / "ruim.xml").string();
  for (const auto& [coluna, nome, valor] :
       {std::tuple{TColumn::Z, "Z", 1e10}, std::tuple{TColumn::X, "X", -2e4},
        std::tuple{TColumn::Z, "Z", -60.0}}) {
    TTestScene c;
    c.Linha(SphereRow(0.5), {{TColumn::Z, 1.0}});
    c.Linha(SphereRow(0.5), {{coluna, valor}, {TColumn::ODEMove, true}});
    EXPECT_EQ(ErroDe(c).rfind(arquivo + ": linha 2, coluna \"" + nome + "\": ", 0), 0u) << ErroDe(c);
  }
  EXPECT_TRUE(cena.Objetos.empty()) << "the scene before is kept";

  // A row physics does not move may stand anywhere within the world's bounds, far below the floor too.
  TTestScene fundo;
  fundo.Linha(BoxRow(4, 4, 1), {{TColumn::Z, -60.0}});
  fundo.Linha(BoxRow(4, 4, 1), {{TColumn::Z, -2e4}});
  EXPECT_THAT(ErroDe(fundo), HasSubstr("linha 2, coluna \"Z\""));
  TTestScene so;
  so.Linha(BoxRow(4, 4, 1), {{TColumn::Z, -60.0}});
  Carrega(so);
  ASSERT_EQ(cena.Objetos.size(), 1u);
  SimulationStep(cena);
  EXPECT_EQ(Obj(0).Posicao.z, -60.0);
  EXPECT_FALSE(Obj(0).LeftWorld);
}

// What the engine would take and fail on frames later is refused at its cell; an engine error that still
// happens during a run says which object it came from.
TEST_F(CarregaCenaTeste, ValoresQueOMotorNaoAguentaSaoErroNaCelulaEErrosDoMotorNomeiamOObjeto) {
  const std::string arquivo = (pasta / "ruim.xml").string();
  const TRowCells capsula = {{TColumn::ODETipo, 1}, {TColumn::Ang, 1e37},    {TColumn::eixoY, 1.0},
                             {TColumn::Dim1, 0.5},  {TColumn::Dim2, 1.0},    {TColumn::Massa, 1.0},
                             {TColumn::Z, 1.0},     {TColumn::ODEMove, true}};
  for (const auto& [coluna, nome, valor] :
       {std::tuple{TColumn::Dim2, "Dim2", 1e37}, std::tuple{TColumn::Massa, "Massa", 1e37},
        std::tuple{TColumn::eixoY, "eixoY", 1e37}, std::tuple{TColumn::Dim1, "Dim1", 1e-20},
        std::tuple{TColumn::Massa, "Massa", 1e19}}) {
    TTestScene c;
    c.Linha(SphereRow(0.5), {{TColumn::Z, 1.0}});
    c.Linha(capsula, {{coluna, valor}, {TColumn::Dim2, coluna == TColumn::Dim2 ? valor : 1e5}});
    const std::string erro = ErroDe(c);
    EXPECT_EQ(erro.rfind(arquivo + ": linha 2, coluna \"" + nome + "\": ", 0), 0u) << erro;
  }

  TTestScene c;
  c.Linha(SphereRow(0.5),
          {{TColumn::Nome, std::string("Bola")}, {TColumn::Z, 1.0}, {TColumn::ODEMove, true}});
  c.Linha(capsula, {{TColumn::Nome, std::string("Cápsula")}, {TColumn::X, 3.0}});
  Carrega(c);
  const dReal nan = std::numeric_limits<dReal>::quiet_NaN();
  dBodySetAngularVel(cena.Corpos[1], nan, nan, nan);
  try {
    SimulationStep(cena);
    ADD_FAILURE() << "the engine stepped a body turning at NaN";
  } catch (const EPhysicsEngineError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("linha 2 (\"Cápsula\"): motor de física", 0), 0u) << e.what();
  }
}

}  // namespace
