#include "render/camera_navigation.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr double PlanoProximo = 1.0;  // the near plane of the projection

double ProdEscalar(const TVector& a, const TVector& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

double Radians(double graus) {
  return graus * std::numbers::pi / 180.0;
}

// The camera's axes: forward along the line of sight, right, and up perpendicular to both.
struct TViewAxes {
  TVector frente, direita, cima;
};

TViewAxes Axes(const TCamera& camera) {
  TViewAxes e;
  e.frente = NormalizaVet(SubVet(camera.Centro, camera.Olho));
  e.direita = NormalizaVet(ProdVetorial(e.frente, camera.Cima));
  e.cima = ProdVetorial(e.direita, e.frente);
  return e;
}

TVector Along(const TViewAxes& e, double x, double y, double z) {
  return SomaVet(SomaVet(EscalaVet(e.direita, x), EscalaVet(e.cima, y)), EscalaVet(e.frente, z));
}

}  // namespace

void OrbitLevel(TCamera& camera, double elevacao, double azimute) {
  const TVector d = SubVet(camera.Olho, camera.Centro);
  const double r = NormaVet(d);
  if (!(r > 0)) return;
  const double limite = Radians(MaximumElevationDegrees);
  const double antes = std::asin(std::clamp(d.z / r, -1.0, 1.0));
  double el = std::clamp(antes + Radians(elevacao), -limite, limite);
  // Sinking, the eye stops at the floor; an eye already lower may still rise.
  const double piso = (MinimumEyeHeight - camera.Centro.z) / r;
  if (el < antes && piso > -1 && piso < 1) el = std::max(el, std::min(antes, std::asin(piso)));
  // Straight above or below the centre the bearing is lost: keep the one the view has.
  const TViewAxes e = Axes(camera);
  const double az = (std::hypot(d.x, d.y) > 0 ? std::atan2(d.y, d.x) : std::atan2(-e.frente.y, -e.frente.x)) +
                    Radians(azimute);
  camera.Olho =
      SomaVet(camera.Centro,
              EscalaVet(TVector{std::cos(el) * std::cos(az), std::cos(el) * std::sin(az), std::sin(el)}, r));
  const TVector frente = NormalizaVet(SubVet(camera.Centro, camera.Olho));
  const TVector lado = NormalizaVet(ProdVetorial(frente, TVector{0, 0, 1}));
  camera.Cima = NormalizaVet(ProdVetorial(lado, frente));
}

void OrbitByDrag(TCamera& camera, double dx, double dy) {
  OrbitLevel(camera, dy * OrbitDegreesPerPixel, -dx * OrbitDegreesPerPixel);
}

double ZoomStep(const TCamera& camera) {
  return std::max(1.0, NormaVet(SubVet(camera.Centro, camera.Olho)) / 10.0);
}

void ZoomByNotches(TCamera& camera, double notches) {
  AproximaCamera(camera, notches * ZoomStep(camera));
}

void PanByDrag(TCamera& camera, double dx, double dy, double alturaPainel) {
  if (!(alturaPainel > 0)) return;
  const double distancia = NormaVet(SubVet(camera.Centro, camera.Olho));
  if (!(distancia > 0)) return;
  // The height of the picture at the centre's depth, spread over the panel's pixels.
  const double porPixel = 2 * distancia * std::tan(Radians(CampoDeVisaoVertical / 2)) / alturaPainel;
  TVector passo = Along(Axes(camera), -dx * porPixel, dy * porPixel, 0);
  // The view slides down only as far as the eye stays above the floor.
  if (passo.z < 0) passo.z = std::min(0.0, std::max(passo.z, MinimumEyeHeight - camera.Olho.z));
  camera.Centro = SomaVet(camera.Centro, passo);
  camera.Olho = SomaVet(camera.Olho, passo);
}

void FrameSpheres(TCamera& camera, const std::vector<TBoundingSphere>& objetos, double aspecto) {
  if (objetos.empty() || !(aspecto > 0)) return;
  const TViewAxes e = Axes(camera);
  // The middle of the spheres' extent along each of the camera's axes becomes the new centre, so that
  // the picture is filled evenly on either side.
  constexpr double infinito = std::numeric_limits<double>::infinity();
  TVector menor{infinito, infinito, infinito}, maior{-infinito, -infinito, -infinito};
  for (const TBoundingSphere& o : objetos) {
    const TVector c{ProdEscalar(o.centro, e.direita), ProdEscalar(o.centro, e.cima),
                    ProdEscalar(o.centro, e.frente)};
    menor = {std::min(menor.x, c.x - o.raio), std::min(menor.y, c.y - o.raio),
             std::min(menor.z, c.z - o.raio)};
    maior = {std::max(maior.x, c.x + o.raio), std::max(maior.y, c.y + o.raio),
             std::max(maior.z, c.z + o.raio)};
  }
  const TVector centro = Along(e, (menor.x + maior.x) / 2, (menor.y + maior.y) / 2, (menor.z + maior.z) / 2);

  // A sphere at (x, y) from the line of sight and z in front of the eye lies inside the picture when
  // |y| + r / cos(a) <= z tan(a) for the vertical half-angle a, the same across with the horizontal one.
  const double tanV = std::tan(Radians(CampoDeVisaoVertical / 2));
  const double tanH = aspecto * tanV;
  const double secV = std::sqrt(1 + tanV * tanV), secH = std::sqrt(1 + tanH * tanH);
  double distancia = DistanciaMinimaCamera;
  for (const TBoundingSphere& o : objetos) {
    const TVector d = SubVet(o.centro, centro);
    const double x = std::abs(ProdEscalar(d, e.direita)), y = std::abs(ProdEscalar(d, e.cima));
    const double profundidade =
        std::max({(y + o.raio * secV) / tanV, (x + o.raio * secH) / tanH, PlanoProximo + o.raio});
    distancia = std::max(distancia, profundidade - ProdEscalar(d, e.frente));
  }
  camera.Centro = centro;
  camera.Olho = SubVet(centro, EscalaVet(e.frente, distancia));
  camera.Cima = e.cima;
}
