#include "physics/collision.h"
#include "physics/geometry_factory.h"
#include "physics/world.h"
#include "scene/simulation_step.h"
#include "support/scene_builder.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(SuperficieDeContato, TipoDeColisaoDaORicochete) {
  EXPECT_FLOAT_EQ(ContactSurface(0, 0.5).bounce, 0.0f);
  EXPECT_FLOAT_EQ(ContactSurface(1, 0.5).bounce, 0.5f);
  EXPECT_FLOAT_EQ(ContactSurface(2, 0.5).bounce, 1.0f);
  EXPECT_FLOAT_EQ(ContactSurface(7, 0.5).bounce, 0.0f);
  EXPECT_FLOAT_EQ(ContactSurface(-1, 0.5).bounce, 0.0f);
  const dSurfaceParameters s = ContactSurface(1, 0.25);
  EXPECT_FLOAT_EQ(s.mu, 0.25f);
  EXPECT_EQ(s.mode & dContactApprox1, dContactApprox1) << "mu must act as a Coulomb coefficient";
  EXPECT_EQ(s.mode & dContactMu2, 0);
  EXPECT_FLOAT_EQ(s.soft_erp, 0.5f);
}

TEST(SuperficieDeContato, ElasticidadePropriaDeCadaObjeto) {
  const std::vector<double> elasticidades{1.0, 0.2, -1.0};
  TContactParameters p{2, {}, elasticidades};
  EXPECT_DOUBLE_EQ(PairRestitution(p, 0, 1), 0.6) << "both their own: the mean";
  EXPECT_DOUBLE_EQ(PairRestitution(p, 1, std::nullopt), 0.2) << "against the ground: its own";
  EXPECT_DOUBLE_EQ(PairRestitution(p, 2, 1), 0.2) << "against one without: its own";
  EXPECT_DOUBLE_EQ(PairRestitution(p, 2, std::nullopt), 1.0) << "none: the collision kind's";
  p.TipoDeColisao = 1;
  EXPECT_DOUBLE_EQ(PairRestitution(p, 2, 7), 0.5) << "an object outside the list has none";
  EXPECT_FLOAT_EQ(ContactSurfaceWithBounce(0.6, 0.5).bounce, 0.6f);
}

class Contatos : public ::testing::Test {
 protected:
  // Runs the handler on one pair and returns the number of contact joints it made.
  int ContatosDoPar(dGeomID a, dGeomID b) {
    dJointGroupID grupo = dJointGroupCreate(0);
    TContactParameters p{0, atritos};
    TCollisionContext ctx{mundo.Mundo(), grupo, &p, nullptr, {}, {}, {}};
    const int antes = Juntas(a) + Juntas(b);
    TrataColisao(&ctx, a, b);
    const int feitas = Juntas(a) + Juntas(b) - antes;
    dJointGroupDestroy(grupo);
    return feitas;
  }
  static int Juntas(dGeomID g) { return dGeomGetBody(g) ? dBodyGetNumJoints(dGeomGetBody(g)) : 0; }

  dGeomID Esfera(float r, float z) {
    dBodyID b = dBodyCreate(mundo.Mundo());
    dGeomID geo = CriaEsfera(mundo.Espaco(), r);
    dGeomSetBody(geo, b);
    dBodySetPosition(b, 0, 0, z);
    return geo;
  }

  TPhysicsWorld mundo{true};
  std::vector<double> atritos{0.5, 0.5};
};

TEST_F(Contatos, ObjetoContraOChaoSempreTemContato) {
  dGeomID bola = Esfera(0.5f, 0.45f);
  EXPECT_GT(ContatosDoPar(bola, mundo.Chao()), 0);
  EXPECT_GT(ContatosDoPar(mundo.Chao(), bola), 0);
}

TEST_F(Contatos, CorposLigadosPorJuntaNaoColidem) {
  dGeomID a = Esfera(0.5f, 2.0f);
  dGeomID b = Esfera(0.5f, 2.5f);
  dJointID junta = dJointCreateBall(mundo.Mundo(), nullptr);
  dJointAttach(junta, dGeomGetBody(a), dGeomGetBody(b));
  EXPECT_EQ(ContatosDoPar(a, b), 0);
  dJointDestroy(junta);
  EXPECT_GT(ContatosDoPar(a, b), 0);
}

TEST_F(Contatos, NoMaximoCincoPontosPorPar) {
  // A box lying on a finely cut triangle mesh touches it in many places.
  std::vector<float> vertices;
  std::vector<dTriIndex> indices;
  const int n = 10;
  for (int j = 0; j <= n; ++j)
    for (int i = 0; i <= n; ++i) vertices.insert(vertices.end(), {float(i) / 5 - 1, float(j) / 5 - 1, 0, 0});
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      const dTriIndex v = static_cast<dTriIndex>(j * (n + 1) + i);
      indices.insert(indices.end(), {v, v + 1, v + n + 1, v + 1, v + n + 2, v + n + 1});
    }
  dTriMeshDataID dados = dGeomTriMeshDataCreate();
  dGeomTriMeshDataBuildSingle(dados, vertices.data(), 4 * sizeof(float), (n + 1) * (n + 1), indices.data(),
                              static_cast<int>(indices.size()), 3 * sizeof(dTriIndex));
  dGeomID malha = CriaMalha(mundo.Espaco(), dados);
  dGeomSetPosition(malha, 0, 0, 5);
  dBodyID b = dBodyCreate(mundo.Mundo());
  dGeomID caixa = CriaCaixa(mundo.Espaco(), 1.6f, 1.6f, 0.5f);
  dGeomSetBody(caixa, b);
  dBodySetPosition(b, 0, 0, 5.2f);
  dContactGeom todos[64];
  ASSERT_GT(dCollide(caixa, malha, 64, todos, sizeof(dContactGeom)), ContatosMax);
  EXPECT_EQ(ContatosDoPar(caixa, malha), ContatosMax);
  dGeomDestroy(malha);
  dGeomTriMeshDataDestroy(dados);
}

TEST_F(Contatos, SemNadaQueSeMovaNaoHaContato) {
  dGeomID a = Esfera(0.5f, 0.3f);
  dBodySetKinematic(dGeomGetBody(a));
  EXPECT_EQ(ContatosDoPar(a, mundo.Chao()), 0);
}

// Shapes sunk deep into the ground get contacts that push them both up and down; with a link the exact
// solver failed on them with an engine assertion. They step, and come out upwards.
TEST(DeepContacts, ShapesSunkIntoTheGroundWithALinkComeOutUpwards) {
  TTempFolder pasta;
  // A pyramid 1.5 m tall, its apex up in the file.
  pasta.Write("piramide.obj",
              "v -1 -1 -0.5\nv 1 -1 -0.5\nv 1 1 -0.5\nv -1 1 -0.5\nv 0 0 1\n"
              "f 1 4 3 2\nf 1 2 5\nf 2 3 5\nf 3 4 5\nf 4 1 5\n");
  const auto junta = [](std::initializer_list<TRowCells> partes) {
    TRowCells linha;
    for (const TRowCells& p : partes) linha.insert(linha.end(), p.begin(), p.end());
    return linha;
  };
  const TRowCells segue = {{TColumn::ODEMove, true}, {TColumn::Massa, 1.0}, {TColumn::TemGravidade, true}};
  TTestScene capsula;  // standing, its middle on the ground's top face, hung from a rod
  capsula.Linha(junta({{{TColumn::ODETipo, 1}, {TColumn::Dim1, 0.1}, {TColumn::Dim2, 0.5}},
                       segue,
                       {{TColumn::Ligacao, 1}, {TColumn::PontoZ, 2.0}}}));
  TTestScene malha;  // upside down through the ground onto a plane, on a rope
  malha.Linha(junta({ModelRow("piramide.obj"),
                     segue,
                     {{TColumn::Ang, 180.0}, {TColumn::eixoX, 1.0}},
                     {{TColumn::Ligacao, 4}, {TColumn::PontoZ, 3.0}}}));
  malha.Linha({{TColumn::ODETipo, 3}, {TColumn::Dim3, 1.0}, {TColumn::SX, 10.0}, {TColumn::SY, 10.0}});
  for (const auto& [nome, cena] : {std::pair{"capsule", &capsula}, std::pair{"mesh", &malha}}) {
    TScene s;
    Carrega(cena->Write(pasta / (std::string(nome) + ".xml")), s);
    for (int k = 0; k < 300; ++k) ASSERT_NO_THROW(SimulationStep(s)) << nome << ", frame " << k;
    EXPECT_GT(s.Objetos[0].Posicao.z, 0) << nome;
  }
}

}  // namespace
