// Scene objects drawn in a real GL context and read back: shapes where the camera puts them, their
// colours, the plane grid, overlays, trails, models, and the GL state the drawing leaves behind.

#include "render/reference_drawing.h"
#include "render/render_fixture.h"
#include "render/trails.h"
#include "support/panel_size.h"
#include "support/scene_builder.h"
#include "support/temp_folder.h"
#include "support_gl/reference_cube.h"

#include <GL/gl.h>

#include <array>
#include <cmath>

namespace {

// One scene row: kind, place, Dim1..Dim4, colour (0-255), and any further cells.
struct Linha {
  Linha(int kind_, TVector pos_ = {}, std::array<double, 4> dim_ = {}, TVector colour_ = {},
        TRowCells extra_ = {})
      : tipo(kind_), pos(pos_), dim(dim_), cor(colour_), extra(std::move(extra_)) {}
  int tipo;
  TVector pos;
  std::array<double, 4> dim;
  TVector cor;
  TRowCells extra;
};

// Scenes written by the real table writer and read by the real loader.
class ObjetosTeste : public TDrawingTest {
 protected:
  void Carrega(const std::vector<Linha>& linhas) {
    TTestScene c;
    for (const Linha& l : linhas)
      c.Linha({{TColumn::ODETipo, l.tipo},
               {TColumn::X, l.pos.x},
               {TColumn::Y, l.pos.y},
               {TColumn::Z, l.pos.z},
               {TColumn::Dim1, l.dim[0]},
               {TColumn::Dim2, l.dim[1]},
               {TColumn::Dim3, l.dim[2]},
               {TColumn::Dim4, l.dim[3]},
               {TColumn::R, l.cor.x},
               {TColumn::G, l.cor.y},
               {TColumn::B, l.cor.z},
               {TColumn::Massa, 1.0}},
              l.extra);
    ::Carrega(c.Write(pasta / "cena.xml"), cena);
  }
  void Draw(bool comAltura = true) {
    ComecaQuadro();
    desenho.DesenhaObjetos(cena, comAltura);
  }
  TObjetoCena& Obj(size_t i) { return cena.Objetos.at(i); }
  // A unit vector across the line of sight, in the picture's horizontal.
  TVector Lado() const { return NormalizaVet(ProdVetorial(SubVet(camera.Centro, camera.Olho), camera.Cima)); }

  TTempFolder pasta;
  TScene cena;
};

constexpr int Esfera = 0, Capsula = 1, Caixa = 2, Plano = 3, Malha = 4, SemSolido = 7;

TEST_F(ObjetosTeste, ClearGivesABlackBackground) {
  ComecaQuadro();
  DesenhaPiso(20, 5, 5);
  ComecaQuadro();
  for (int x = 0; x < PanelWidth; x += 96)
    for (int y = 0; y < PanelHeight; y += 76) ASSERT_TRUE(Preto(contexto->Pixel(x, y))) << x << "," << y;
}

TEST_F(ObjetosTeste, SphereShowsInItsColourWhereTheCameraPutsIt) {
  Carrega({{Esfera, {10, -5, 3}, {2}, {0, 200, 0}}});
  for (int orbita : {0, 60}) {
    for (int i = 0; i < orbita; ++i) OrbitaCamera(camera, -0.5, 1);
    Draw();
    const TRgbColor c = CorEm({10, -5, 3});
    EXPECT_GT(c.g, 80) << "orbit " << orbita;
    EXPECT_LT(c.r, 40);
    EXPECT_LT(c.b, 40);
    EXPECT_TRUE(Preto(CorEm(SomaVet({10, -5, 3}, EscalaVet(Lado(), 2.6))))) << "orbit " << orbita;
    EXPECT_FALSE(Preto(CorEm(SomaVet({10, -5, 3}, EscalaVet(Lado(), 1.6))))) << "orbit " << orbita;
  }
}

TEST_F(ObjetosTeste, HeldColourWinsOverNearColour) {
  Carrega({{Esfera, {}, {3}, {0, 255, 0}}});
  const auto cor = [&](bool agarrado, bool proximo) {
    Obj(0).Agarrado = agarrado ? RemoteHand : NoHand;
    Obj(0).Proximo = proximo;
    Draw(false);
    return CorEm({0, 0, 0});
  };
  const TRgbColor proprio = cor(false, false), segura = cor(true, false), perto = cor(false, true),
                  ambos = cor(true, true);
  EXPECT_GT(proprio.g, proprio.r + 40);
  EXPECT_GT(segura.r, segura.b + 25);  // (1, 0.5, 0.5)
  EXPECT_NEAR(segura.g, segura.b, 2);
  EXPECT_GT(perto.b, perto.r + 25);  // (0.5, 0.5, 1)
  EXPECT_NEAR(perto.r, perto.g, 2);
  EXPECT_EQ(ambos.r, segura.r);
  EXPECT_EQ(ambos.g, segura.g);
  EXPECT_EQ(ambos.b, segura.b);
}

TEST_F(ObjetosTeste, TranslucentObjectBlendsOverBlack) {
  Carrega({{Esfera, {}, {3}, {255, 0, 0}}});
  Draw(false);
  const TRgbColor opaco = CorEm({0, 0, 0});
  Obj(0).A = 255;  // the translucent path with alpha 1
  Draw(false);
  EXPECT_EQ(CorEm({0, 0, 0}).r, opaco.r);
  Obj(0).A = 51;  // alpha 0.2: the front face over black, perhaps over the faint back face
  Draw(false);
  EXPECT_GT(CorEm({0, 0, 0}).r, opaco.r * 0.15);
  EXPECT_LT(CorEm({0, 0, 0}).r, opaco.r * 0.35);
}

TEST_F(ObjetosTeste, PlaneIsCellsOfItsColourWithAHalfAlphaFill) {
  Carrega({{Plano, {}, {0, 0, 1, 2}, {200, 0, 0}, {{TColumn::SX, 10.0}, {TColumn::SY, 10.0}}}});
  AproximaCamera(camera, 55);  // close enough for a cell to span many pixels
  for (bool agarrado : {false, true}) {
    Obj(0).Agarrado = agarrado ? RemoteHand : NoHand;  // the held colour never shows on a plane
    Draw(false);
    const TRgbColor linha = MaisClaraPerto({1, 0.5, 2}, 3), dentro = CorEm({0.5, 0.5, 2});
    EXPECT_GT(linha.r, 150);
    EXPECT_NEAR(dentro.r, linha.r / 2.0, linha.r * 0.08);
    EXPECT_LT(dentro.g, 15);
    EXPECT_LT(dentro.b, 15);
    EXPECT_FALSE(Preto(CorEm({-4.5, 4.5, 2})));
    EXPECT_TRUE(Preto(CorEm({0, 5.5, 2})));  // beyond the 10 x 10 extent
  }
}

TEST_F(ObjetosTeste, VerticalPlaneStandsUpright) {
  Carrega({{Plano, {}, {1, 0, 0, 3}, {0, 0, 255}, {{TColumn::SX, 10.0}, {TColumn::SY, 10.0}}}});
  Draw(false);
  EXPECT_GT(CorEm({3, 2.5, 2.5}).b, 40);
  EXPECT_TRUE(Preto(CorEm({3, 2.5, 6})));
}

TEST_F(ObjetosTeste, BoxAndCapsuleTakeTheirSizesAndTurn) {
  const TRowCells giro{{TColumn::Ang, 45.0}, {TColumn::eixoZ, 1.0}};
  Carrega(
      {{Caixa, {10, -10, 5}, {1, 8, 1}, {0, 0, 255}, giro}, {Capsula, {-10, 10, 5}, {1, 4}, {255, 0, 0}}});
  Draw(false);
  // Long along y, turned 45 degrees about z: its long axis runs along (-1, 1, 0), seen from the side.
  const TVector caixa{10, -10, 5}, eixo = NormalizaVet({-1, 1, 0}), outro = NormalizaVet({1, 1, 0});
  EXPECT_GT(CorEm(SomaVet(caixa, EscalaVet(eixo, 3.5))).b, 30);
  EXPECT_TRUE(Preto(CorEm(SomaVet(caixa, EscalaVet(eixo, 5)))));
  EXPECT_TRUE(Preto(CorEm(SomaVet(caixa, EscalaVet(outro, 2.5)))));
  // Capsule of radius 1 and length 4 along z: caps centred at z = +-2, ends at +-3.
  EXPECT_FALSE(Preto(CorEm({-10, 10, 5 + 2.8})));
  EXPECT_FALSE(Preto(CorEm({-10, 10, 5 - 2.8})));
  EXPECT_TRUE(Preto(CorEm({-10, 10, 5 + 3.4})));
}

TEST_F(ObjetosTeste, CubeFromAVertexArrayDrawsTheSamePixelsAsCallByCall) {
  const auto quadro = [&](bool chamadaAChamada) {
    ComecaQuadro();
    glEnable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    glColor4f(0.35f, 0.8f, 0.1f, 1);
    glPushMatrix();
    glTranslatef(2, -1, 3);
    glRotatef(30, 1, 0.5f, 0);
    glScalef(12, 8, 6);
    if (chamadaAChamada)
      CuboChamadaAChamada();
    else
      desenho.DesenhaCubo();
    glPopMatrix();
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_LIGHTING);
    return QuadroInteiro();
  };
  const std::vector<unsigned char> referencia = quadro(true), cubo = quadro(false);
  EXPECT_FALSE(Preto(CorEm({2, -1, 3})));
  EXPECT_TRUE(referencia == cubo);
  EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
}

// Faces turned away are left out, or only the cells that show past the near edges drawn, and quads between
// pixel centres; every pixel must stay as drawing all six faces makes it, hairline gaps at the edges
// included. Poses from near (the near plane cutting the cube, the eye inside it) to a few pixels wide,
// turned every way, partly off screen; every other one translucent, its far faces showing through.
TEST_F(ObjetosTeste, CubeDrawsOnlyWhatShowsWithTheSamePixels) {
  TUnitCube cubo;
  cubo.Create();
  const auto quadro = [&](int pose, bool inteiro) {
    ComecaQuadro();
    glEnable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    const bool opaco = pose % 2 == 0;
    glColor4f(0.9f, 0.6f, 0.2f, opaco ? 1 : 0.6f);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glPushMatrix();
    const float k = static_cast<float>(pose);
    const float perto = pose % 3 == 0 ? 0.05f : 1;  // pulls the cube towards the eye
    glTranslatef(perto * std::sin(k * 1.7f) * 14, perto * std::cos(k * 2.3f) * 12, perto * std::sin(k) * 9);
    glRotatef(k * 37, std::sin(k), std::cos(k * 0.7f), 0.4f);
    const float tamanho = pose % 5 == 0 ? 0.15f : 6;
    glScalef(tamanho * (1 + pose % 3), tamanho, tamanho * (pose % 7 == 0 ? 0.1f : 1));
    if (inteiro)
      CuboChamadaAChamada();
    else
      cubo.DrawSeenFaces(opaco);
    glPopMatrix();
    glDisable(GL_BLEND);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_LIGHTING);
    return QuadroInteiro();
  };
  for (int pose = 0; pose < 100; ++pose) EXPECT_TRUE(quadro(pose, true) == quadro(pose, false)) << pose;
  // The eye inside a cube sees its faces from within.
  camera.Centro = SomaVet(camera.Olho, {-1, 0, 0});
  ComecaQuadro();
  glPushMatrix();
  glTranslatef(static_cast<float>(camera.Olho.x), static_cast<float>(camera.Olho.y),
               static_cast<float>(camera.Olho.z));
  glScalef(10, 10, 10);
  glColor4f(1, 1, 1, 1);
  cubo.DrawSeenFaces();
  glPopMatrix();
  EXPECT_FALSE(Preto(CorEm(camera.Centro)));
  cubo.Release();
}

TEST_F(ObjetosTeste, ShapelessObjectDrawsOnlyItsHeightMarker) {
  Carrega({{SemSolido, {}, {2}, {255, 0, 0}}, {9, {}, {}, {0, 255, 0}}});
  Obj(0).Posicao = {10, -5, 5};
  Obj(1).Posicao = {-10, 5, 0};
  glPointSize(5);  // as the pointer's box leaves it in every frame
  Draw(true);
  EXPECT_TRUE(Preto(CorEm(SomaVet({10, -5, 5}, Lado()))));  // no sphere of radius 2
  const TRgbColor alto = CorEm({10, -5, 0}), chao = CorEm({-10, 5, 0});
  EXPECT_EQ(alto.r, 0);
  EXPECT_EQ(alto.g, 0);
  EXPECT_EQ(alto.b, 255);  // above the ground: blue
  EXPECT_EQ(chao.r, 255);  // at z = 0: red, a point
  EXPECT_EQ(chao.g, 0);
  EXPECT_EQ(chao.b, 0);
  Draw(false);
  EXPECT_TRUE(Preto(CorEm({10, -5, 0})));
  EXPECT_TRUE(Preto(CorEm({-10, 5, 0})));
}

TEST_F(ObjetosTeste, VelocityVectorAndSignedRotationAxis) {
  Carrega({{SemSolido}, {SemSolido}});
  AproximaCamera(camera, 50);
  Obj(0).Posicao = {0, 0, 4};
  Obj(0).MostraVecV = true;
  Obj(0).VecV = {0, 0, 2};  // the white whole vector lies over the yellow z part drawn before it
  Obj(1).Posicao = {0, 0, -4};
  Obj(1).MostraEixoRot = true;
  const float s = static_cast<float>(std::sin(0.5) / std::sqrt(2.0));
  Obj(1).Quaternio = {static_cast<float>(std::cos(0.5)), s, -s, 0};
  Draw(false);
  const TRgbColor vetor = CorEm({0, 0, 4 + 2.2});  // scaled by 1.2: ends at 6.4
  EXPECT_EQ(vetor.r, 255);
  EXPECT_EQ(vetor.g, 255);
  EXPECT_EQ(vetor.b, 0);
  EXPECT_TRUE(Preto(MaisClaraPerto({0, 0, 4 + 2.9}, 1)));
  const TVector eixo = NormalizaVet({1, -1, 0}), espelho = NormalizaVet({1, 1, 0});
  const TRgbColor noEixo = CorEm(SomaVet({0, 0, -4}, EscalaVet(eixo, 3)));
  EXPECT_EQ(noEixo.r, 255);
  EXPECT_NEAR(noEixo.g, 128, 1);
  EXPECT_TRUE(Preto(CorEm(SomaVet({0, 0, -4}, EscalaVet(espelho, 3)))));
  EXPECT_TRUE(Preto(CorEm(SomaVet({0, 0, -4}, EscalaVet(eixo, 5.6)))));
}

TEST_F(ObjetosTeste, TrailsAreHalfTheObjectsColourThroughEveryPoint) {
  Carrega({{SemSolido, {}, {}, {255, 102, 0}}, {SemSolido}, {SemSolido}});
  Obj(0).Rastro = {{0, 0, 5}, {10, 0, 5}, {10, 10, 5}};
  Obj(1).Rastro = {{1, 1, 1}};  // a single point and an empty list draw nothing
  ComecaQuadro();
  DesenhaRastros(cena.Objetos);
  for (const TVector& p : {TVector{5, 0, 5}, TVector{10, 5, 5}}) {
    const TRgbColor c = MaisClaraPerto(p, 1);
    EXPECT_NEAR(c.r, 128, 1);
    EXPECT_NEAR(c.g, 51, 1);
    EXPECT_EQ(c.b, 0);
  }
  EXPECT_TRUE(Preto(CorEm({5, 5, 5})));
  EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
  GLfloat largura = 0;
  glGetFloatv(GL_LINE_WIDTH, &largura);
  EXPECT_EQ(largura, 1.0f);
}

TEST_F(ObjetosTeste, ModelDrawsItsOwnMaterialSkipsMissingVerticesAndLightsBadNormalsByTheFace) {
  TObjetoCena o;  // no body: drawn at its own Posicao
  o.ODETipo = Malha;
  o.B = 255;  // the record's colour does not show on a model
  o.Posicao = {0, 0, 2};
  o.Quaternio = {1, 0, 0, 0};
  TModel& m = o.Modelo;
  m.Vertices = {{}, {-3, -3, 0}, {3, -3, 0}, {3, 3, 0}, {-3, 3, 0}};
  m.VertexCount = 4;
  m.Normals = {{}, {0, 0, 1}};
  m.NormalCount = 1;
  TMaterial vermelho;
  vermelho.Diffuse[0] = 1;
  m.Materials.push_back(vermelho);
  m.MaterialCount = 1;
  TGroup g;
  g.MaterialIndex = 1;
  // One good face, then the other half twice: a vertex past the end, a normal past the end.
  g.Faces = {{}, {3, {1, 2, 3}, {}, {1, 1, 1}}, {3, {1, 3, 99}, {}, {}}, {3, {1, 3, 4}, {}, {1, 1, 7}}};
  g.FaceCount = 3;
  TGroup semMaterial;
  semMaterial.MaterialIndex = 5;  // beyond the list: the zero material, black
  semMaterial.Faces = {{}, {3, {1, 3, 4}, {}, {}}};
  semMaterial.FaceCount = 1;
  m.Groups = {{}, g, semMaterial};
  m.GroupCount = 2;

  ComecaQuadro();
  desenho.DesenhaObjetos(std::span<const TObjetoCena>(&o, 1), {}, false);
  const TRgbColor valida = CorEm({1.5, -1.5, 2});
  EXPECT_GT(valida.r, 80);
  EXPECT_EQ(valida.g, 0);
  EXPECT_EQ(valida.b, 0);
  // The face naming a normal past the end still has its shape: it is drawn, lit by its own normal, before
  // the black group's copy of it (which then fails the depth test).
  const TRgbColor normalRuim = CorEm({-1.5, 1.5, 2});
  EXPECT_GT(normalRuim.r, 80);
  EXPECT_EQ(normalRuim.g, 0);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(ObjetosTeste, StateAfterDrawingEveryKindIsAsTheFrameExpects) {
  pasta.Write("tri.obj", "v -1 -1 0\nv 1 -1 0\nv 0 1 0\ng tri\nf 1 2 3\n");
  const TRowCells malha{
      {TColumn::Arquivo, std::string("tri.obj")}, {TColumn::SX, 1.0}, {TColumn::SY, 1.0}, {TColumn::SZ, 1.0}};
  Carrega({{Esfera, {}, {1}, {}, {{TColumn::MostraVecV, true}}},
           {Capsula,
            {},
            {1, 2},
            {},
            {{TColumn::MostraEixoRot, true}, {TColumn::Ang, 20.0}, {TColumn::eixoY, 1.0}}},
           {Caixa, {}, {1, 1, 1}, {}, {{TColumn::MostraVecA, true}, {TColumn::A, 100.0}}},
           {Plano, {}, {0, 0, 1, 0}, {}, {{TColumn::SX, 4.0}, {TColumn::SY, 4.0}}},
           {Malha, {}, {}, {}, malha},
           {6}});
  ASSERT_EQ(cena.Objetos.size(), 6u);
  for (bool vazia : {false, true}) {
    if (vazia) {
      cena.Objetos.clear();
      cena.Corpos.clear();
    }
    Draw(true);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLfloat largura = 0;
    glGetFloatv(GL_LINE_WIDTH, &largura);
    EXPECT_EQ(largura, 1.0f);
    GLint profundidade = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &profundidade);
    EXPECT_EQ(profundidade, 1);
    GLfloat mv[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, mv);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(mv[i], (i % 5 == 0) ? 1.0f : 0.0f) << i;
  }
}

}  // namespace
