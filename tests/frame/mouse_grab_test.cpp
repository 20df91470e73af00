// The mouse's grab, carry, throw and click selection, with a camera looking along +y so that a pixel's
// place in the world is known by hand; and the mouse and the remote sharing a scene.

#include "frame/mouse_grab.h"
#include "frame/remote_grab.h"
#include "support/panel_size.h"
#include "support/scene_builder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double W = PanelWidth, H = PanelHeight;
// Pixels per metre on the plane through the front of a unit ball at y = 0, seen from 20 m away; a ball off
// the axis is met a little further than 19 m, hence the tolerance.
const double PixelsPerMetre = H / (2 * 19 * std::tan(std::numbers::pi / 6));
constexpr double Tolerance = 3e-3;  // relative

void ExpectNearPixels(double metros, double pixels) {
  EXPECT_NEAR(metros, pixels / PixelsPerMetre, Tolerance * std::abs(pixels) / PixelsPerMetre);
}

class MouseGrab : public ::testing::Test {
 protected:
  void SetUp() override {
    vista.camera.Olho = {0, -20, 0};
    TTestScene t;
    const auto bola = [&](double x, double z, bool userMove, bool soZ) {
      t.Linha(SphereRow(1), {{TColumn::X, x},
                             {TColumn::Z, z},
                             {TColumn::ODEMove, true},
                             {TColumn::UserMove, userMove},
                             {TColumn::MoveX, !soZ},
                             {TColumn::MoveY, !soZ},
                             {TColumn::MoveZ, true},
                             {TColumn::TemGravidade, false}});
    };
    bola(-4, 0, true, false);  // 0: moves along every axis
    bola(4, 0, false, false);  // 1: the user may not move it
    bola(0, 4, true, true);    // 2: up and down only
    Carrega(t, cena);
  }
  // Panel point of world (x, 0, z).
  double Px(double x) const { return W / 2 + x * H / (2 * 20 * std::tan(std::numbers::pi / 6)); }
  double Py(double z) const { return H / 2 - z * H / (2 * 20 * std::tan(std::numbers::pi / 6)); }
  bool Press(double x, double z) { return mouse.Press(cena, vista, px = Px(x), py = Py(z), ms); }
  // `n` moves of (dx, dy) pixels, `passo` ms apart.
  void Drag(double dx, double dy, int n = 1, int passo = 10) {
    for (int i = 0; i < n; ++i) mouse.Move(vista, px += dx, py += dy, ms += passo);
  }
  bool Release(int depois = 0) { return mouse.Release(cena, vista, px, py, ms += depois); }
  TVector Velocity(std::size_t i) const {
    const dReal* v = dBodyGetLinearVel(cena.Corpos[i]);
    return {v[0], v[1], v[2]};
  }
  const TObjetoCena& Obj(std::size_t i) const { return cena.Objetos[i]; }

  TScene cena;
  TPanelView vista{{}, W, H};
  TSelection selecao;
  THand mao{MouseHand};
  TMouseGrab mouse{selecao, mao};
  double px = 0, py = 0;
  int64_t ms = 1000;
};

TEST_F(MouseGrab, DragCarriesAMovableObjectAndClicksSelect) {
  EXPECT_FALSE(Press(4, 0)) << "an object the user may not move is left to the camera";
  EXPECT_FALSE(Obj(1).Agarrado);
  Drag(0, 0);
  EXPECT_FALSE(Release());
  EXPECT_EQ(selecao.Current(), 1u) << "but a click selects it";

  ASSERT_TRUE(Press(-4, 0));
  EXPECT_TRUE(Obj(0).Agarrado);
  EXPECT_EQ(selecao.Current(), 0u);
  Drag(10, -5, 4);
  mouse.Carry(cena);
  ExpectNearPixels(Obj(0).Posicao.x + 4, 40);
  EXPECT_NEAR(Obj(0).Posicao.y, 0, 1e-9) << "the drag plane faces the camera";
  ExpectNearPixels(Obj(0).Posicao.z, 20);
  EXPECT_NEAR(dBodyGetPosition(cena.Corpos[0])[0], Obj(0).Posicao.x, 1e-6);
  EXPECT_TRUE(mao.Grab) << "the drag writes the mouse's hand record";
  EXPECT_NEAR(mao.Target.x, Obj(0).Posicao.x, 1e-9);
  EXPECT_TRUE(Release());
  EXPECT_FALSE(mao.Grab);
  EXPECT_FALSE(Obj(0).Agarrado);
  EXPECT_FALSE(mouse.Held());

  EXPECT_FALSE(Press(0, -5));
  Drag(30, 0);
  Release();
  EXPECT_EQ(selecao.Current(), 0u) << "a drag on empty space keeps the selection";
  EXPECT_FALSE(Press(0, -5));
  Drag(2, 2);
  Release();
  EXPECT_EQ(selecao.Current(), std::nullopt) << "a click on empty space clears it";
}

TEST_F(MouseGrab, OneAllowedAxisAndTheThrowSpeed) {
  ASSERT_TRUE(Press(0, 4));
  Drag(5, -5, 3);
  mouse.Carry(cena);
  EXPECT_DOUBLE_EQ(Obj(2).Posicao.x, 0);
  ExpectNearPixels(Obj(2).Posicao.z - 4, 15);
  Release(10);  // a drag of 40 ms, shorter than the window: measured over its length
  EXPECT_DOUBLE_EQ(Velocity(2).x, 0);
  ExpectNearPixels(Velocity(2).z * 0.040, 15);

  // 2 px every 10 ms for 100 ms: only the last 50 ms count.
  ASSERT_TRUE(Press(-4, 0));
  Drag(0, 0, 5);
  Drag(2, 0, 10);
  Release();
  ExpectNearPixels(Velocity(0).x * 0.010, 2);
  EXPECT_NEAR(Velocity(0).z, 0, 1e-6);

  // Held still for 60 ms after a fast move: no throw.
  ASSERT_TRUE(Press(Obj(0).Posicao.x, 0));
  Drag(50, 0);
  Release(60);
  EXPECT_NEAR(NormaVet(Velocity(0)), 0, 1e-6);

  // A flick of 200 px in 10 ms would be 75 m/s.
  ASSERT_TRUE(Press(Obj(0).Posicao.x, 0));
  Drag(-200, 0);
  Release();
  EXPECT_NEAR(Velocity(0).x, -MaxThrowSpeed, 1e-5);
}

TEST_F(MouseGrab, RemoteAndMouseNeverHoldTheSameObject) {
  TCamera camera;
  TRumbleState vibracao;
  TFrameState estado;
  estado.OlhoNegado = EscalaVet(camera.Olho, -1);
  THand& remoto = estado.Remote;
  // One grab step of the frame, the remote's pointer at `P`, then the mouse's carry.
  const auto passo = [&](const TVector& P) {
    MarcaProximos(cena, P);
    MoveObjetoUsuario(cena, P, remoto, false, vibracao, 0);
    mouse.Carry(cena);
  };
  remoto.Grab = true;
  passo(Obj(0).Posicao);
  ASSERT_EQ(Obj(0).Agarrado, RemoteHand);
  EXPECT_EQ(selecao.Current(), 0u) << "what the remote takes is selected";
  EXPECT_FALSE(Press(-4, 0)) << "the mouse cannot take the remote's object";

  ASSERT_TRUE(Press(0, 4));
  Drag(0, -20);
  passo(Obj(2).Posicao);
  EXPECT_EQ(mouse.Held(), 2u);
  EXPECT_EQ(Obj(2).Agarrado, MouseHand);
  passo({0, 0, 10});                           // the remote's pointer moves to where the mouse holds nothing
  ExpectNearPixels(Obj(2).Posicao.z - 4, 20);  // the remote does not carry it
  EXPECT_DOUBLE_EQ(Obj(0).Posicao.z, 0) << "its own stayed, out of reach";

  // The remote lets go with a jerk of the accelerometer: its object flies, the mouse's stays held and still.
  TRemoteReading jerk;
  jerk.AccelX = 200;
  GrabAndThrow(remoto, estado, camera, jerk);
  passo({0, 0, 10});
  EXPECT_FALSE(Obj(0).Agarrado);
  EXPECT_GT(NormaVet(Velocity(0)), 1);
  EXPECT_EQ(Obj(2).Agarrado, MouseHand);
  EXPECT_NEAR(NormaVet(Velocity(2)), 0, 1e-9);

  // A new scene: the hold goes with the old one.
  Carrega(TTestScene{}.Linha(SphereRow(1), {{TColumn::ODEMove, true}}), cena);
  Carrega(TTestScene{}.Linha(SphereRow(1), {}).Linha(SphereRow(1), {}).Linha(SphereRow(1), {}), cena);
  mouse.Carry(cena);
  EXPECT_FALSE(mouse.Held());
}

TEST_F(MouseGrab, PausedDragPlacesAnyObjectOnEveryAxisWithoutAThrow) {
  bool pausado = true;
  std::vector<std::pair<std::size_t, TVector>> colocados;
  mouse.SetPlacing([&] { return pausado; },
                   [&](std::size_t i, const TVector& p) {
                     colocados.push_back({i, p});
                   });

  // The ball the user may not move, and the one that may only rise, both go where they are dropped.
  for (const std::size_t i : {std::size_t{1}, std::size_t{2}}) {
    const TVector antes = Obj(i).Posicao;
    ASSERT_TRUE(Press(antes.x, antes.z)) << "object " << i;
    Drag(-20, -10, 2);
    mouse.Carry(cena);
    ExpectNearPixels(Obj(i).Posicao.x - antes.x, -40);
    ExpectNearPixels(Obj(i).Posicao.z - antes.z, 20);
    EXPECT_TRUE(Release());
    ASSERT_EQ(colocados.size(), i);
    EXPECT_EQ(colocados.back().first, i);
    EXPECT_NEAR(NormaVet(SubVet(colocados.back().second, Obj(i).Posicao)), 0, 1e-9);
    for (const double v : {colocados.back().second.x, colocados.back().second.y, colocados.back().second.z})
      EXPECT_EQ(v, std::round(v * 1000) / 1000) << "written to the millimetre, as shown";
    EXPECT_EQ(NormaVet(Velocity(i)), 0) << "placing throws nothing";
    EXPECT_FALSE(Obj(i).Agarrado);
  }

  // A click, even one that wobbles by a few pixels, selects and leaves the start position alone.
  const TVector antes = Obj(0).Posicao;
  ASSERT_TRUE(Press(antes.x, antes.z));
  Drag(ClickSlop, -ClickSlop);
  mouse.Carry(cena);
  EXPECT_TRUE(Release());
  EXPECT_EQ(colocados.size(), 2u) << "a click is not an edit";
  EXPECT_EQ(selecao.Current(), 0u);
  EXPECT_EQ(NormaVet(SubVet(Obj(0).Posicao, antes)), 0);

  // Running again, the same drag carries and throws as before and places nothing.
  pausado = false;
  EXPECT_FALSE(Press(Obj(1).Posicao.x, Obj(1).Posicao.z));
  Release();
  ASSERT_TRUE(Press(-4, 0));
  Drag(10, 0, 3);
  EXPECT_TRUE(Release());
  EXPECT_EQ(colocados.size(), 2u);
  EXPECT_GT(Velocity(0).x, 0);
}

}  // namespace
