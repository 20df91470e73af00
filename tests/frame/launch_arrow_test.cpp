// The launch arrow: which object shows one and from where, and dragging its tip, with a camera looking along
// +y so that the arrow lies in the picture's plane.

#include "frame/launch_arrow.h"
#include "render/vector_drawing.h"
#include "scene/scene_loader.h"
#include "support/panel_size.h"
#include "support/scene_builder.h"
#include "support/view_projection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr double W = PanelWidth, H = PanelHeight;

void ExpectNear(const TVector& a, const TVector& b, double tol) {
  EXPECT_NEAR(a.x, b.x, tol);
  EXPECT_NEAR(a.y, b.y, tol);
  EXPECT_NEAR(a.z, b.z, tol);
}

class LaunchArrow : public ::testing::Test {
 protected:
  void SetUp() override {
    vista.camera.Olho = {0, -20, 0};
    TTestScene t;
    const auto bola = [&](double x, bool odeMove, bool soZ, double vx, double vz) {
      t.Linha(SphereRow(1), {{TColumn::X, x},
                             {TColumn::ODEMove, odeMove},
                             {TColumn::MoveX, !soZ},
                             {TColumn::MoveY, !soZ},
                             {TColumn::MoveZ, true},
                             {TColumn::VelX, vx},
                             {TColumn::VelZ, vz},
                             {TColumn::TemGravidade, false}});
    };
    bola(-4, true, false, 3, 4);  // 0: a free ball thrown at 5 m/s
    bola(0, false, false, 5, 0);  // 1: held still by the physics
    bola(4, true, true, 2, 1);    // 2: up and down only
    Carrega(t, cena);
  }
  TPanelPoint Spot(const TVector& p) const { return ProjectToPanel(vista.camera, p, W, H); }
  bool PressAt(const TVector& p, double dx = 0, double dy = 0) {
    const TPanelPoint s = Spot(p);
    return arrow.Press(cena, vista, s.x + dx, s.y + dy);
  }
  // Drags whatever was pressed, by way of a midpoint, to world point `p` and lets go there.
  bool DragTo(const TVector& p, double dx = 0, double dy = 0) {
    const TPanelPoint s = Spot(p);
    arrow.Move(cena, vista, s.x + dx + 30, s.y + dy + 30);
    arrow.Move(cena, vista, s.x + dx, s.y + dy);
    return arrow.Release(cena, vista, s.x + dx, s.y + dy);
  }
  static TVector TipOf(const TVector& inicio, const TVector& v) {
    return SomaVet(inicio, EscalaVet(v, VectorScale));
  }

  TScene cena;
  TPanelView vista{{}, W, H};
  TSelection selecao;
  bool pausado = true;
  std::vector<std::pair<std::size_t, TVector>> set;
  std::vector<std::string> shown;
  TLaunchArrowDrag arrow{selecao, [this] { return pausado; },
                         [this](std::size_t i, const TVector& v) {
                           set.push_back({i, v});
                         },
                         [this](const TVector& v) { shown.push_back(LaunchText(v)); }};
};

TEST_F(LaunchArrow, ShowsTheSelectedObjectsLaunchFromItsStartWhilePaused) {
  EXPECT_FALSE(arrow.Shown(cena)) << "nothing selected";
  selecao.Set(0);
  pausado = false;
  EXPECT_FALSE(arrow.Shown(cena)) << "running";
  pausado = true;
  ASSERT_TRUE(arrow.Shown(cena));
  ExpectNear(arrow.Shown(cena)->velocidade, {3, 0, 4}, 1e-12);
  // Paused after a run, the arrow still starts where the object starts.
  dBodySetPosition(cena.Corpos[0], 2, 1, 3);
  cena.Objetos[0].Posicao = {2, 1, 3};
  ExpectNear(arrow.Shown(cena)->inicio, {-4, 0, 0}, 1e-6);

  cena.Objetos[0].Agarrado = MouseHand;
  EXPECT_FALSE(arrow.Shown(cena)) << "an object being carried or placed";
  selecao.Set(1);
  EXPECT_FALSE(arrow.Shown(cena)) << "the physics holds it still: no launch";
  selecao.Set(2);
  ASSERT_TRUE(arrow.Shown(cena));
  ExpectNear(arrow.Shown(cena)->velocidade, {0, 0, 1}, 1e-12);  // as the world launches it
  selecao.Set(7);
  EXPECT_FALSE(arrow.Shown(cena));
}

TEST_F(LaunchArrow, DraggingTheTipSetsASnappedLaunch) {
  selecao.Set(0);
  const TVector inicio{-4, 0, 0};
  const TVector ponta = TipOf(inicio, {3, 0, 4});
  EXPECT_FALSE(PressAt(ponta, ArrowHandleReach + 2, 0)) << "beside the handle: the object's or the camera's";
  ASSERT_TRUE(PressAt(ponta, 3, -2));
  EXPECT_TRUE(arrow.Dragging());
  // Aimed a little off 10 m/s at 45 degrees, with the hand keeping its 3 px off the tip.
  EXPECT_TRUE(DragTo(TipOf(inicio, {7.03, 0, 7.1}), 3, -2));
  ASSERT_EQ(set.size(), 1u);
  EXPECT_EQ(set[0].first, 0u);
  ExpectNear(set[0].second, {7.071068, 0, 7.071068}, 1e-9);
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back(), "Lançamento: 10,0 m/s, 45° acima da horizontal, direção 0°");
  EXPECT_FALSE(arrow.Dragging());

  // A click on the handle sets nothing; a drag back to the start takes the launch away.
  ASSERT_TRUE(PressAt(ponta));
  EXPECT_TRUE(arrow.Release(cena, vista, Spot(ponta).x + ClickSlop, Spot(ponta).y));
  EXPECT_EQ(set.size(), 1u);
  ASSERT_TRUE(PressAt(ponta));
  DragTo(inicio);
  ASSERT_EQ(set.size(), 2u);
  ExpectNear(set[1].second, {}, 0);
  EXPECT_EQ(shown.back(), "Lançamento: nenhum (o objeto parte do repouso)");

  // Only along the axes the object may move; and running, there is no arrow to take.
  selecao.Set(2);
  const TVector inicio2{4, 0, 0};
  ASSERT_TRUE(PressAt(TipOf(inicio2, {0, 0, 1})));
  DragTo(TipOf(inicio2, {2, 0, 3}));
  ASSERT_EQ(set.size(), 3u);
  ExpectNear(set[2].second, {0, 0, 3}, 0.1);
  EXPECT_EQ(set[2].second.x, 0);
  pausado = false;
  EXPECT_FALSE(PressAt(TipOf(inicio2, {0, 0, 1})));
}

TEST_F(LaunchArrow, SnapsToTheWorldsLimitAndProjectsAsThePictureDoes) {
  TObjetoCena livre;
  livre.MoveX = livre.MoveY = livre.MoveZ = true;
  EXPECT_NEAR(NormaVet(SnappedLaunch({5000, 0, 0}, livre)), MaxStartSpeed, 1e-9);
  // 3,0 m/s at 0 degrees, towards 84 degrees.
  ExpectNear(SnappedLaunch({0.3, 2.96, -0.02}, livre), {0.313585, 2.983566, 0}, 1e-9);

  for (const TVector p : {TVector{-4, 0, 0}, TVector{3, 5, -2}, TVector{7, -10, 6}}) {
    const auto s = PanelSpotOf(vista, p);
    ASSERT_TRUE(s);
    EXPECT_NEAR(s->x, Spot(p).x, 1e-9);
    EXPECT_NEAR(s->y, Spot(p).y, 1e-9);
  }
  EXPECT_FALSE(PanelSpotOf(vista, {0, -20.5, 0})) << "behind the eye";
}

}  // namespace
