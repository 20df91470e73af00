#include "support/view_projection.h"

#include <cmath>
#include <numbers>

TPanelPoint ProjectToPanel(const TCamera& camera, const TVector& p, double largura, double altura) {
  const TVector frente = NormalizaVet(SubVet(camera.Centro, camera.Olho));
  const TVector direita = NormalizaVet(ProdVetorial(frente, camera.Cima));
  const TVector cima = ProdVetorial(direita, frente);
  const TVector d = SubVet(p, camera.Olho);
  const double z = Dot(d, frente);
  const double t = std::tan(30.0 * std::numbers::pi / 180.0);
  const double nx = Dot(d, direita) / (z * t * largura / altura);
  const double ny = Dot(d, cima) / (z * t);
  return {(nx + 1) / 2 * largura, (1 - ny) / 2 * altura, z};
}

bool InsidePanel(const TPanelPoint& ponto, double largura, double altura) {
  return ponto.profundidade > 1.0 && ponto.x >= 0 && ponto.x <= largura && ponto.y >= 0 && ponto.y <= altura;
}
