// Grab, carry and throw through the real frame and the CursorTimer's grab-and-throw step, with the
// remote's record driven directly.

#include "frame/remote_grab.h"
#include "frame/frame.h"
#include "support/frame_rig.h"
#include "support/scene_builder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using namespace std::chrono_literals;

class RemoteGrab : public ::testing::Test, protected TFrameRig {
 protected:
  void Carrega(const TTestScene& c) { ::Carrega(c, cena); }
  // One frame with the pointer at P = -PonteiroPos.
  void Quadro() {
    agora += 10ms;
    TFrameContext ctx = Contexto([&](const TVector& P) {
      MarcaProximos(cena, P);
      leds.push_back(MoveObjetoUsuario(cena, P, estado.Remote, haptico, vibracao, ms += 10));
    });
    relogio.Time = agora;
    TimerGLTimer(ctx, remoto, agora, relogio);
  }
  void Cursor() { GrabAndThrow(estado.Remote, estado, camera, remoto); }
  void Aperta(bool a, bool b) { remoto.ADown = a, remoto.BDown = b; }
  void PonteiroEm(TVector P) { estado.PonteiroPos = EscalaVet(P, -1); }
  const TObjetoCena& Obj(std::size_t i) const { return cena.Objetos.at(i); }

  TRemoteReading remoto;
  TRumbleState vibracao;
  bool haptico = true;
  uint32_t ms = 0;
  std::vector<uint8_t> leds;
};

TTestScene DuasBolas(bool userMove2 = true) {
  TTestScene c;
  // Gravity off: what moves them is the user alone.
  // Radius 0.5, so each is picked within 0.75 of its centre; 0.2 apart.
  c.Linha(SphereRow(0.5), {{TColumn::X, 0.0},
                           {TColumn::Z, 5.0},
                           {TColumn::ODEMove, true},
                           {TColumn::UserMove, true},
                           {TColumn::MoveX, true},
                           {TColumn::MoveY, true},
                           {TColumn::MoveZ, true},
                           {TColumn::TemGravidade, false}});
  c.Linha(SphereRow(0.5), {{TColumn::X, 1.2},
                           {TColumn::Z, 5.0},
                           {TColumn::ODEMove, true},
                           {TColumn::UserMove, userMove2},
                           {TColumn::MoveX, true},
                           {TColumn::MoveY, true},
                           {TColumn::MoveZ, true}});
  return c;
}

// A pendulum of 1 m held by the remote and pulled 3 m away: it follows as far as its rod lets it.
TEST_F(RemoteGrab, ALinkedObjectPullsAgainstItsLink) {
  TTestScene c;
  c.Linha(SphereRow(0.2), {{TColumn::Z, 2.0},
                           {TColumn::Massa, 1.0},
                           {TColumn::ODEMove, true},
                           {TColumn::UserMove, true},
                           {TColumn::MoveX, true},
                           {TColumn::MoveY, true},
                           {TColumn::MoveZ, true},
                           {TColumn::TemGravidade, true},
                           {TColumn::Ligacao, 1},
                           {TColumn::PontoZ, 3.0}});
  Carrega(c);
  PonteiroEm({0, 0, 2});
  Aperta(true, true);
  Cursor();
  for (int k = 0; k < 100; ++k) {
    Quadro();
    PonteiroEm({3, 0, 2.5});
  }
  EXPECT_TRUE(Obj(0).Agarrado);
  EXPECT_NEAR(NormaVet(SubVet(Obj(0).Posicao, {0, 0, 3})), 1, 0.01) << "the rod holds";
  EXPECT_GT(Obj(0).Posicao.x, 0.95) << "pulled towards the hand, as far as the rod reaches";
}

TEST_F(RemoteGrab, TheFirstInTheListWinsAndNoOtherIsTakenWhileItIsHeld) {
  Carrega(DuasBolas());
  PonteiroEm({0.6, 0, 5});
  Aperta(true, true);
  Cursor();
  Quadro();
  EXPECT_TRUE(Obj(0).Proximo);
  EXPECT_TRUE(Obj(1).Proximo);
  EXPECT_TRUE(Obj(0).Agarrado);
  EXPECT_FALSE(Obj(1).Agarrado);
  EXPECT_DOUBLE_EQ(Obj(0).Posicao.x, 0.6);
  // Nearer to the second now, but the first is still held.
  PonteiroEm({1.1, 0, 5});
  Quadro();
  EXPECT_TRUE(Obj(0).Agarrado);
  EXPECT_FALSE(Obj(1).Agarrado);
  EXPECT_DOUBLE_EQ(Obj(0).Posicao.x, 1.1);
}

TEST_F(RemoteGrab, WithoutUserMoveNeverTaken) {
  TTestScene c;
  c.Linha(SphereRow(1.0), {{TColumn::Z, 5.0}, {TColumn::ODEMove, true}, {TColumn::MoveZ, true}});
  Carrega(c);
  PonteiroEm({0, 0, 5});
  Aperta(true, true);
  Cursor();
  for (int i = 0; i < 3; ++i) Quadro();
  EXPECT_FALSE(Obj(0).Proximo);
  EXPECT_FALSE(Obj(0).Agarrado);
}

TEST_F(RemoteGrab, OnlyMoveZFollowsOnlyUpAndDown) {
  TTestScene c;
  c.Linha(SphereRow(1.0), {{TColumn::X, 2.0},
                           {TColumn::Y, 3.0},
                           {TColumn::Z, 5.0},
                           {TColumn::ODEMove, true},
                           {TColumn::UserMove, true},
                           {TColumn::MoveZ, true}});
  Carrega(c);
  PonteiroEm({2.5, 3.5, 5.5});
  Aperta(true, true);
  Cursor();
  Quadro();
  ASSERT_TRUE(Obj(0).Agarrado);
  EXPECT_DOUBLE_EQ(Obj(0).Posicao.x, 2.0);
  EXPECT_DOUBLE_EQ(Obj(0).Posicao.y, 3.0);
  EXPECT_DOUBLE_EQ(Obj(0).Posicao.z, 5.5);
  EXPECT_FLOAT_EQ(dBodyGetPosition(cena.Corpos[0])[2], 5.5f);
}

TEST_F(RemoteGrab, LettingGoThrowsWithTheAccelerometersChangeSeenThroughTheCamera) {
  Carrega(DuasBolas());
  PonteiroEm({0, 0, 5});
  remoto.AccelX = 100, remoto.AccelY = 100, remoto.AccelZ = 100;
  Aperta(true, true);
  Cursor();
  Quadro();  // AcelAnterior := (100, 100, 100)
  ASSERT_TRUE(Obj(0).Agarrado);
  remoto.AccelX = 110;  // the hand's last move: 10 counts along the remote's x
  Aperta(false, true);
  Cursor();
  EXPECT_TRUE(estado.Remote.Release);
  EXPECT_FALSE(estado.Remote.Grab);
  Quadro();  // it flies, and the hold ends
  const dReal* v = dBodyGetLinearVel(cena.Corpos[0]);
  // From the start view, the remote's x is the camera's right: (1, -1, 0) / sqrt 2; one count, one unit.
  EXPECT_NEAR(v[0], 10 / std::sqrt(2.0), 1e-5);
  EXPECT_NEAR(v[1], -10 / std::sqrt(2.0), 1e-5);
  EXPECT_NEAR(v[2], 0, 1e-5);
  EXPECT_FALSE(Obj(0).Agarrado);
  EXPECT_GT(Obj(0).VecV.x, 7);
  Cursor();
  EXPECT_FALSE(estado.Remote.Release);
}

TEST_F(RemoteGrab, RumblesOnlyWithTheCheckMarkAndWhileHolding) {
  Carrega(DuasBolas());
  PonteiroEm({0, 0, 5});
  Aperta(true, true);
  Cursor();
  haptico = false;
  Quadro();
  EXPECT_EQ(leds, (std::vector<uint8_t>{LedsOneAndFour}));
  EXPECT_FALSE(vibracao.Vibrando);
  leds.clear();
  haptico = true;
  Quadro();
  EXPECT_EQ(leds, (std::vector<uint8_t>{LedsOneAndFourRumble}));
  EXPECT_TRUE(vibracao.Vibrando);
  EXPECT_EQ(vibracao.InicioVibracao, ms);
  leds.clear();
  Aperta(true, false);
  Cursor();
  Quadro();
  EXPECT_EQ(leds, (std::vector<uint8_t>{LedsOneAndFour}))
      << "the rumble stops on the first frame after release";
  EXPECT_FALSE(vibracao.Vibrando);
}

TEST_F(RemoteGrab, ThePointersEdgePulseIsNotCutByTheFrame) {
  Carrega(DuasBolas());
  vibracao.Vibrando = true;
  vibracao.PulsoDeBorda = true;
  vibracao.InicioVibracao = 5;
  Quadro();
  EXPECT_EQ(leds, (std::vector<uint8_t>{LedsOneAndFourRumble}));
  EXPECT_TRUE(vibracao.Vibrando);
  EXPECT_EQ(vibracao.InicioVibracao, 5u);
  // The pointer control ends the pulse; the frame then switches nothing on again.
  vibracao.Vibrando = vibracao.PulsoDeBorda = false;
  leds.clear();
  Quadro();
  EXPECT_EQ(leds, (std::vector<uint8_t>{LedsOneAndFour}));
}

// The pointer control that ends the pulse may stop within it (its button let go, the remote gone): the
// frame ends the pulse once its time is up.
TEST_F(RemoteGrab, AnEdgePulseEndsAfterItsTimeEvenWithoutThePointerControl) {
  Carrega(DuasBolas());
  vibracao.Vibrando = true;
  vibracao.PulsoDeBorda = true;
  vibracao.InicioVibracao = ms - EdgeRumbleMs - 1;
  Quadro();
  EXPECT_EQ(leds, (std::vector<uint8_t>{LedsOneAndFour}));
  EXPECT_FALSE(vibracao.Vibrando);
  EXPECT_FALSE(vibracao.PulsoDeBorda);
}

// Lost while it holds, the remote lets go: the object stays where it is, at rest (not thrown, though the
// accelerometer moved), and no longer follows the pointer.
TEST_F(RemoteGrab, ARemoteLostWhileHoldingLetsGoInPlace) {
  Carrega(DuasBolas());
  PonteiroEm({0, 0, 5});
  remoto.AccelX = remoto.AccelY = remoto.AccelZ = 128;
  Aperta(true, true);
  Cursor();
  Quadro();
  ASSERT_TRUE(Obj(0).Agarrado);
  dBodySetLinearVel(cena.Corpos[0], 0, 0, 3);
  remoto.AccelX = 200;
  ReleaseInPlace(cena, estado.Remote);
  EXPECT_FALSE(Obj(0).Agarrado);
  EXPECT_FALSE(estado.Remote.Grab);
  const dReal* v = dBodyGetLinearVel(cena.Corpos[0]);
  EXPECT_EQ(v[0] * v[0] + v[1] * v[1] + v[2] * v[2], 0.0);
  PonteiroEm({0, 0, 6});
  Quadro();
  EXPECT_FALSE(Obj(0).Agarrado);
  EXPECT_NEAR(Obj(0).Posicao.z, 5.0, 1e-6);
  EXPECT_EQ(leds.back(), LedsOneAndFour) << "the rumble stops";
}

TEST_F(RemoteGrab, LettingGoAtRestThrowsWithSpeedZero) {
  Carrega(DuasBolas());
  PonteiroEm({0, 0, 5});
  remoto.AccelX = remoto.AccelY = remoto.AccelZ = 128;
  Aperta(true, true);
  Cursor();
  Quadro();
  Aperta(false, false);
  Cursor();
  Quadro();
  const dReal* v = dBodyGetLinearVel(cena.Corpos[0]);
  EXPECT_NEAR(std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]), 0, 1e-9);
}

// The remote throws by the rule the mouse keeps: along the object's allowed axes only, never faster than
// MaxThrowSpeed, also when the world is paused at the release.
TEST_F(RemoteGrab, AThrowKeepsToTheAllowedAxesAndTheSpeedCap) {
  for (const bool pausado : {false, true}) {
    TTestScene c;
    c.Linha(SphereRow(0.5), {{TColumn::Z, 5.0},
                             {TColumn::ODEMove, true},
                             {TColumn::UserMove, true},
                             {TColumn::MoveX, true},
                             {TColumn::TemGravidade, false}});
    Carrega(c);
    estado.Control.SetPaused(false);
    PonteiroEm({0, 0, 5});
    remoto.AccelX = remoto.AccelY = remoto.AccelZ = 100;
    Aperta(true, true);
    Cursor();
    Quadro();
    ASSERT_TRUE(Obj(0).Agarrado);
    if (pausado) estado.Control.TogglePause();
    remoto.AccelX = 250, remoto.AccelY = 10, remoto.AccelZ = 250;  // a jerk along every axis
    Aperta(false, false);
    Cursor();
    Quadro();
    EXPECT_FALSE(Obj(0).Agarrado);
    const dReal* v = dBodyGetLinearVel(cena.Corpos[0]);
    EXPECT_EQ(v[1], 0) << "paused: " << pausado;
    EXPECT_EQ(v[2], 0);
    EXPECT_NEAR(std::abs(v[0]), MaxThrowSpeed, 1e-4) << "the jerk's x part alone is over the cap";
  }
}

}  // namespace
