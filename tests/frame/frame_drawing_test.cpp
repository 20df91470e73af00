// The frame's picture, pixel for pixel, against pictures of the reference scenes kept beside this test:
// a change in how things are drawn must not change what the student sees. Run with
// VIRETA_SAVE_PICTURES=1 to write the pictures afresh (only when the picture is meant to change).

#include "frame/frame_drawing.h"
#include "render/gl_state.h"
#include "support/panel_size.h"
#include "support/scene_builder.h"
#include "support_gl/gl_test_context.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr int MaxDifference = 2;  // per channel, out of 255

TTestGLContext& Context() {
  static TTestGLContext ctx(PanelWidth, PanelHeight);
  return ctx;
}

// Ten boxes of every kind of colour and the overlays, two of them translucent, one turned on an edge.
TTestScene TenBoxes() {
  TTestScene t;
  for (int i = 0; i < 10; ++i) {
    t.Linha(BoxRow(1, 1 + 0.2 * i, 1), {{TColumn::X, double(i % 5) * 2.5 - 5},
                                        {TColumn::Y, double(i / 5) * 3 - 2},
                                        {TColumn::Z, 0.5},
                                        {TColumn::R, 40.0 + 20 * i},
                                        {TColumn::G, 200.0 - 15 * i},
                                        {TColumn::B, 90.0},
                                        {TColumn::A, i % 4 == 1 ? 120.0 : 0.0},
                                        {TColumn::Ang, i == 7 ? 45.0 : 0.0},
                                        {TColumn::eixoX, 1.0},
                                        {TColumn::MostraEixoRot, i == 7},
                                        {TColumn::Massa, 1.0},
                                        {TColumn::ODEMove, true},
                                        {TColumn::MostraVecV, true}});
  }
  return t;
}

// Close enough that a box covers thousands of pixels.
TCamera CloseCamera() {
  TCamera c;
  c.Olho = {7, -10, 6};
  c.Centro = {0, 0, 1};
  return c;
}

// Draws one frame of `cena` with the pointer away from the origin and a pointer path and trail to show.
void DrawFrame(TScene& cena, const TCamera& camera = CloseCamera(), bool comRemoto = true) {
  Context().FazAtual();
  InitGLState();
  SetLightsAndMaterial();
  TGLFrameDrawing desenho(double(PanelWidth) / PanelHeight);
  desenho.CreateResources();
  TFrameState estado;
  estado.PointerShown = comRemoto;
  estado.PonteiroPos = {-2, 3, -1.5};
  for (int i = 0; i < 50; ++i) estado.PonteiroCaminho.push_back({-0.04 * i, 0.06 * i, -0.03 * i});
  if (!cena.Objetos.empty()) {
    for (int i = 0; i < 200; ++i)
      cena.Objetos[0].Rastro.push_back({0.05 * i - 5, 0.02 * i, 0.01 * i * (i % 7)});
  }
  desenho.Clear();
  desenho.Projection(camera);
  desenho.References(estado, cena);
  desenho.Objetos(cena);
  glFinish();
  desenho.ReleaseResources();
}

void ExpectPicture(const std::string& nome) {
  const fs::path arquivo = fs::path(VIRETA_SOURCE_DIR) / "tests" / "frame" / "pictures" / (nome + ".png");
  if (std::getenv("VIRETA_SAVE_PICTURES")) {
    ASSERT_TRUE(Context().SalvaImagem(arquivo.string()));
    return;
  }
  const int diferenca = Context().MaxChannelDifference(arquivo.string());
  ASSERT_NE(diferenca, -1) << "no picture to compare with: " << arquivo;
  EXPECT_LE(diferenca, MaxDifference) << nome << " drawn differently; see " << nome << "-atual.png";
  if (diferenca > MaxDifference) Context().SalvaImagem(nome + "-atual.png");
}

class SamplePicture : public ::testing::TestWithParam<std::string> {};

TEST_P(SamplePicture, IsDrawnAsBefore) {
  TScene cena;
  Carrega(fs::path(VIRETA_SOURCE_DIR) / "Cenas" / (GetParam() + ".xml"), cena);
  DrawFrame(cena);
  ExpectPicture(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Samples, SamplePicture,
                         ::testing::Values("queda_livre", "rampa_atrito", "pilha_caixas", "plano",
                                           "malha_obj", "capsula", "colisao_elastica", "caixa_estatica"));

TEST(FramePicture, EmptySceneAndTenBoxesAreDrawnAsBefore) {
  TScene vazia;
  DrawFrame(vazia, TCamera{});
  ExpectPicture("vazia");

  TScene caixas;
  Carrega(TenBoxes(), caixas);
  DrawFrame(caixas);
  ExpectPicture("dez_caixas");
}

// Without a remote the pointer's yellow block, its wire box and its path are not drawn: nothing of the
// pointer hides what lies at the origin.
TEST(FramePicture, PointerMarksOnlyWithARemote) {
  const auto amarelos = [] {
    int n = 0;
    for (int y = 0; y < Context().Altura(); y += 2)
      for (int x = 0; x < Context().Largura(); x += 2) {
        const TRgbColor c = Context().Pixel(x, y);
        n += c.r > 200 && c.g > 200 && c.b < 80;
      }
    return n;
  };
  TScene vazia;
  DrawFrame(vazia, CloseCamera(), true);
  EXPECT_GT(amarelos(), 50);
  DrawFrame(vazia, CloseCamera(), false);
  EXPECT_EQ(amarelos(), 0);
}

}  // namespace
