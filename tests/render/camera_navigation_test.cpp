// The mouse and keyboard camera: drags turn the eye the way the remote's buttons do with the horizon level,
// notches zoom as the remote does, a pan keeps the grabbed point under the mouse, and framing shows every
// object from the nearest distance.

#include "render/camera_navigation.h"
#include "support/panel_size.h"
#include "support/view_projection.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double Largura = PanelWidth, Altura = PanelHeight;

void EsperaIgual(const TVector& a, const TVector& b, double tol = 1e-9) {
  EXPECT_NEAR(a.x, b.x, tol);
  EXPECT_NEAR(a.y, b.y, tol);
  EXPECT_NEAR(a.z, b.z, tol);
}

TVector Direcao(const TCamera& c) {
  return NormalizaVet(SubVet(c.Centro, c.Olho));
}

// The side axis of the view: level when the horizon is.
TVector Lado(const TCamera& c) {
  return NormalizaVet(ProdVetorial(Direcao(c), c.Cima));
}

TEST(CameraPeloMouse, ArrastarGiraParaOMesmoLadoQueACruzDoRemoto) {
  struct {
    double dx, dy;
    TCameraButtons botao;
  } casos[] = {
      {-2, 0, {.Right = true}}, {2, 0, {.Left = true}}, {0, 2, {.Up = true}}, {0, -2, {.Down = true}}};
  for (const auto& c : casos) {
    TCamera mouse, remoto;
    TVector ponteiro;
    OrbitByDrag(mouse, c.dx, c.dy);
    ControleCamera(c.botao, remoto, ponteiro);
    const TVector m = SubVet(mouse.Olho, TCamera{}.Olho), r = SubVet(remoto.Olho, TCamera{}.Olho);
    EXPECT_GT(m.x * r.x + m.y * r.y + m.z * r.z, 0.9 * NormaVet(m) * NormaVet(r)) << c.dx << ' ' << c.dy;
    EXPECT_NEAR(NormaVet(SubVet(mouse.Olho, mouse.Centro)), NormaVet(SubVet(remoto.Olho, remoto.Centro)),
                1e-9);
  }
  // From the start view, a drag 2 pixels down raises the eye as one tick of "Up" does.
  TCamera c;
  OrbitByDrag(c, 0, 2);
  EsperaIgual(c.Olho, {49.684, 49.684, 26.230}, 1e-3);
}

// Pressing the arrows (or dragging) any number of times never tilts the horizon nor turns the view over
// the top; a view the remote's cross pad has rolled comes back level with the first turn.
TEST(CameraPeloMouse, GirarMantemOHorizonteNivelado) {
  TCamera c;
  const auto nivelado = [](const TCamera& cam) {
    EXPECT_NEAR(Lado(cam).z, 0, 1e-9);
    EXPECT_GT(cam.Cima.z, 0);
  };
  for (int i = 0; i < 18; ++i) OrbitLevel(c, 5, 0);
  nivelado(c);
  EXPECT_LE(Direcao(c).z, -std::sin(88.9 * 3.14159265358979 / 180));
  for (int i = 0; i < 18; ++i) OrbitLevel(c, 0, 5);
  nivelado(c);
  for (int i = 0; i < 40; ++i) OrbitByDrag(c, 7, -3);
  nivelado(c);
  EXPECT_GE(c.Olho.z, MinimumEyeHeight - 1e-9);
  EXPECT_NEAR(NormaVet(SubVet(c.Olho, c.Centro)), NormaVet(SubVet(TCamera{}.Olho, TCamera{}.Centro)), 1e-9);

  TCamera rolada;
  TVector ponteiro;
  for (int i = 0; i < 30; ++i) ControleCamera({.Up = true, .Right = true}, rolada, ponteiro);
  ASSERT_GT(std::abs(Lado(rolada).z), 0.01);  // the remote's own orbit does roll the view
  OrbitByDrag(rolada, 1, 0);
  nivelado(rolada);
}

TEST(CameraPeloMouse, RodaAproximaPelaLinhaDeVisadaSemPassarDoMinimo) {
  TCamera mouse, remoto;
  ZoomByNotches(mouse, 1);
  AproximaCamera(remoto, 7.5);  // a tenth of the start distance, 75
  EsperaIgual(mouse.Olho, remoto.Olho);
  ZoomByNotches(mouse, -1);
  EXPECT_NEAR(NormaVet(SubVet(mouse.Olho, mouse.Centro)), 67.5 + 6.75, 1e-9);
  for (int i = 0; i < 200; ++i) ZoomByNotches(mouse, 1);
  EXPECT_NEAR(NormaVet(SubVet(mouse.Olho, mouse.Centro)), DistanciaMinimaCamera, 1e-9);
  EsperaIgual(Direcao(mouse), Direcao(TCamera{}));
}

// Backing away while looking up at the centre, or sliding the view down, stops with the eye at the floor
// and the direction of view kept.
TEST(CameraPeloMouse, AfastarEArrastarParaBaixoParamNoPiso) {
  TCamera c;
  c.Centro = {0, 0, 10};
  c.Olho = {10, 0, 2};
  const TVector direcao = Direcao(c);
  for (int i = 0; i < 50; ++i) ZoomByNotches(c, -1);
  EXPECT_NEAR(c.Olho.z, MinimumEyeHeight, 1e-9);
  EsperaIgual(Direcao(c), direcao);

  TCamera p;
  for (int i = 0; i < 100; ++i) PanByDrag(p, 0, -200, Altura);
  EXPECT_NEAR(p.Olho.z, MinimumEyeHeight, 1e-9);
  EsperaIgual(Direcao(p), Direcao(TCamera{}));
}

TEST(CameraPeloMouse, ArrastoLateralMantemOPontoSobOMouse) {
  TCamera c;
  OrbitaCamera(c, -20, 35);
  const TVector visada = SubVet(c.Centro, c.Olho);
  // A point at the centre's depth, off the centre of the picture.
  const TVector direita = NormalizaVet(ProdVetorial(visada, c.Cima));
  const TVector p = SomaVet(c.Centro, SomaVet(EscalaVet(direita, 3), EscalaVet(c.Cima, 2)));
  const TPanelPoint antes = ProjectToPanel(c, p, Largura, Altura);
  PanByDrag(c, 40, -25, Altura);
  const TPanelPoint depois = ProjectToPanel(c, p, Largura, Altura);
  EXPECT_NEAR(depois.x - antes.x, 40, 1e-6);
  EXPECT_NEAR(depois.y - antes.y, -25, 1e-6);
  EsperaIgual(SubVet(c.Centro, c.Olho), visada);
  EXPECT_GT(NormaVet(c.Centro), 1) << "the centre moved with the eye";
}

TEST(CameraPeloMouse, EnquadrarMostraTodosDoMaisPertoMantendoADirecao) {
  TCamera c;
  const std::vector<TBoundingSphere> objetos{{{-200, 0, 0}, 1}, {{300, 50, 10}, 2}, {{0, -100, 40}, 0.5}};
  FrameSpheres(c, objetos, Largura / Altura);
  EsperaIgual(Direcao(c), Direcao(TCamera{}));
  auto pontos = [&](const TCamera& cam) {
    int dentro = 0;
    for (const TBoundingSphere& o : objetos)
      for (const TVector& d : {TVector{o.raio, 0, 0}, TVector{-o.raio, 0, 0}, TVector{0, 0, o.raio},
                               TVector{0, 0, -o.raio}, TVector{0, o.raio, 0}, TVector{0, -o.raio, 0}})
        dentro += InsidePanel(ProjectToPanel(cam, SomaVet(o.centro, d), Largura, Altura), Largura, Altura);
    return dentro;
  };
  EXPECT_EQ(pontos(c), 18);
  TCamera maisPerto = c;
  AproximaCamera(maisPerto, 0.03 * NormaVet(SubVet(c.Centro, c.Olho)));
  EXPECT_LT(pontos(maisPerto), 18) << "a nearer eye loses an object: the framing is the nearest";

  // One sphere alone: its centre becomes the centre, at the distance where it touches the top and bottom.
  TCamera so;
  FrameSpheres(so, {{{10, -20, 3}, 5}}, Largura / Altura);
  EsperaIgual(so.Centro, {10, -20, 3});
  EXPECT_NEAR(NormaVet(SubVet(so.Olho, so.Centro)), 10, 1e-9);

  TCamera vazio;
  FrameSpheres(vazio, {}, Largura / Altura);
  EsperaIgual(vazio.Olho, TCamera{}.Olho, 0);
}

}  // namespace
