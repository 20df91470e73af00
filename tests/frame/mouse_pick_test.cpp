// Picking against the picture itself: each scene is drawn as the frame draws it, and every pixel the
// picture covers must pick an object while every black pixel picks none, up to the silhouettes' edges.

#include "frame/mouse_pick.h"
#include "render/gl_state.h"
#include "render/object_drawing.h"
#include "render/view_gl.h"
#include "support/panel_size.h"
#include "support/scene_builder.h"
#include "support_gl/gl_test_context.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr int W = PanelWidth, H = PanelHeight;

TTestGLContext& Context() {
  static TTestGLContext ctx(W, H);
  return ctx;
}

TPanelView View() {
  TPanelView v{{}, W, H};
  v.camera.Olho = {7, -10, 6};  // close, looking at a point off the origin
  v.camera.Centro = {0, 0, 1};
  return v;
}

// The solids alone, opaque and light, no overlays: only what picking is about shows.
void Draw(TScene& cena, const TPanelView& vista) {
  for (TObjetoCena& o : cena.Objetos) {
    o.MostraVecV = o.MostraVecA = o.MostraEixoRot = false;
    o.R = o.G = o.B = 200;
    o.A = 0;
  }
  Context().FazAtual();
  InitGLState();
  SetLightsAndMaterial();
  TObjectDrawing gl;
  gl.Create();
  ClearFrame();
  ApplyProjectionAndView(vista.camera, double(W) / H);
  gl.DesenhaObjetos(cena, false);
  glFinish();
  gl.Release();
}

bool Drawn(int x, int yPanel) {
  const TRgbColor c = Context().Pixel(x, H - 1 - yPanel);
  return c.r + c.g + c.b > 0;
}

bool Picked(const TScene& cena, const TPanelView& v, int x, int y) {
  return PickObject(cena, RayThroughPanel(v, x + 0.5, y + 0.5)).has_value();
}

// Every third pixel: picture and pick agree, save within 3 pixels of a silhouette (spheres and capsules
// are drawn as 10-sided polygons). Returns the number of pixels that picked something.
int ExpectAgreement(const TScene& cena, const TPanelView& v) {
  int acertos = 0, bordas = 0, fora = 0;
  std::string primeiro;
  for (int y = 3; y < H - 3; y += 3)
    for (int x = 3; x < W - 3; x += 3) {
      const bool pega = Picked(cena, v, x, y);
      acertos += pega;
      if (pega == Drawn(x, y)) continue;
      bool borda = false;
      for (int dy = -3; dy <= 3 && !borda; ++dy)
        for (int dx = -3; dx <= 3 && !borda; ++dx) borda = Drawn(x + dx, y + dy) == pega;
      (borda ? bordas : fora) += 1;
      if (!borda && primeiro.empty())
        primeiro =
            std::to_string(x) + ", " + std::to_string(y) + (pega ? " picks what is not drawn" : " misses");
    }
  EXPECT_EQ(fora, 0) << "first at pixel " << primeiro;
  EXPECT_LT(bordas, acertos / 10 + 5);
  return acertos;
}

// Where the picture puts a world point, as GL itself computes it from the matrices it drew with.
std::pair<int, int> Projected(const TVector& p) {
  double proj[16], mv[16];
  int vp[4];
  glGetDoublev(GL_PROJECTION_MATRIX, proj);
  glGetDoublev(GL_MODELVIEW_MATRIX, mv);
  glGetIntegerv(GL_VIEWPORT, vp);
  double wx, wy, wz;
  gluProject(p.x, p.y, p.z, mv, proj, vp, &wx, &wy, &wz);
  return {int(wx), H - 1 - int(wy)};
}

class PickSample : public ::testing::TestWithParam<std::string> {};

TEST_P(PickSample, AgreesWithThePicture) {
  TScene cena;
  Carrega(fs::path(VIRETA_SOURCE_DIR) / "Cenas" / (GetParam() + ".xml"), cena);
  Draw(cena, View());
  EXPECT_GT(ExpectAgreement(cena, View()), 100) << "the scene shows";
}

INSTANTIATE_TEST_SUITE_P(Samples, PickSample,
                         ::testing::Values("colisao_elastica", "rampa_atrito", "pilha_caixas", "malha_obj",
                                           "capsula", "caixa_estatica"));

// A ball, a capsule on its side, a box turned about a slanted axis and a pyramid model, apart from each
// other; a plane behind them all is drawn but never picked.
TTestScene Shapes() {
  const std::string piramide = (fs::path(VIRETA_SOURCE_DIR) / "Cenas" / "modelos" / "piramide.obj").string();
  TTestScene t;
  t.Linha(SphereRow(1), {{TColumn::X, -3.0}, {TColumn::Z, 1.0}});
  t.Linha({{TColumn::ODETipo, 1}, {TColumn::Dim1, 0.5}, {TColumn::Dim2, 2.0}}, {{TColumn::X, 0.5},
                                                                                {TColumn::Y, -1.0},
                                                                                {TColumn::Z, 3.0},
                                                                                {TColumn::Ang, 70.0},
                                                                                {TColumn::eixoY, 1.0}});
  t.Linha(BoxRow(2, 1, 0.5), {{TColumn::X, 2.5},
                              {TColumn::Z, 0.5},
                              {TColumn::Ang, 35.0},
                              {TColumn::eixoX, 1.0},
                              {TColumn::eixoZ, 1.0}});
  t.Linha(ModelRow(piramide), {{TColumn::X, 0.0}, {TColumn::Y, 3.0}, {TColumn::Z, -0.5}});
  return t;
}

TEST(Pick, ShapesAreFoundAtTheirCentresAndMissedBesideThem) {
  TScene cena;
  Carrega(Shapes(), cena);
  const TPanelView v = View();
  Draw(cena, v);
  ExpectAgreement(cena, v);
  for (std::size_t i = 0; i < 3; ++i) {
    const auto [x, y] = Projected(cena.Objetos[i].Posicao);
    const auto hit = PickObject(cena, RayThroughPanel(v, x + 0.5, y + 0.5));
    ASSERT_TRUE(hit) << "object " << i;
    EXPECT_EQ(hit->objeto, i);
    EXPECT_TRUE(Drawn(x, y));
  }
  // Three pixels to the left of the ball's leftmost drawn pixel, on its centre's row.
  auto [x, y] = Projected(cena.Objetos[0].Posicao);
  while (Drawn(x, y)) --x;
  EXPECT_FALSE(Picked(cena, v, x - 3, y));
  EXPECT_TRUE(Picked(cena, v, x + 3, y));
}

TEST(Pick, NearestObjectWinsWhateverItsPlaceInTheList) {
  for (const bool pertoPrimeiro : {true, false}) {
    TTestScene t;
    const double xs[2] = {pertoPrimeiro ? 3.5 : 0.0, pertoPrimeiro ? 0.0 : 3.5};
    // Both on the line from the eye to the centre; x 3.5 is nearer the eye at (7, -10, 6).
    for (const double x : xs)
      t.Linha(SphereRow(0.5), {{TColumn::X, x}, {TColumn::Y, -5 * x / 3.5}, {TColumn::Z, 1 + x * 5 / 7}});
    TScene cena;
    Carrega(t, cena);
    const auto hit = PickObject(cena, RayThroughPanel(View(), W / 2.0, H / 2.0));
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->objeto, pertoPrimeiro ? 0u : 1u);
    EXPECT_NEAR(NormaVet(SubVet(hit->ponto, cena.Objetos[hit->objeto].Posicao)), 0.5, 1e-6);
  }
}

}  // namespace
