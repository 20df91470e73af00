#include "render/camera.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The side axis of the current view, and Cima made perpendicular to the line of sight.
void OrthogonaliseUp(TCamera& camera, TVector& lado) {
  const TVector visada = SubVet(camera.Centro, camera.Olho);
  lado = NormalizaVet(ProdVetorial(visada, camera.Cima));
  camera.Cima = NormalizaVet(ProdVetorial(lado, visada));
}

// `olho` brought up to MinimumEyeHeight about the centre, keeping its distance and its bearing where it can.
TVector AboveFloor(const TVector& centro, const TVector& olho) {
  if (olho.z >= MinimumEyeHeight) return olho;
  const TVector d = SubVet(olho, centro);
  const double r = NormaVet(d), dz = MinimumEyeHeight - centro.z;
  const double horizontal = std::hypot(d.x, d.y);
  // A centre too far below the floor for this distance, or straight below it: the eye only rises.
  if (dz >= r || !(horizontal > 0)) return {olho.x, olho.y, MinimumEyeHeight};
  const double escala = std::sqrt(r * r - dz * dz) / horizontal;
  return {centro.x + d.x * escala, centro.y + d.y * escala, MinimumEyeHeight};
}

}  // namespace

void AproximaCamera(TCamera& camera, double d) {
  const TVector visada = SubVet(camera.Centro, camera.Olho);
  const double distancia = NormaVet(visada);
  if (!(distancia > 0)) return;  // no line of sight to move along
  double nova = std::max(distancia - d, std::min(distancia, DistanciaMinimaCamera));
  // Looking up at the centre, backing away lowers the eye: it stops at the floor.
  const double subida = visada.z / distancia;
  if (nova > distancia && subida > 0)
    nova = std::max(distancia, std::min(nova, (camera.Centro.z - MinimumEyeHeight) / subida));
  camera.Olho = SubVet(camera.Centro, EscalaVet(visada, nova / distancia));
}

void OrbitaCamera(TCamera& camera, double aLado, double aCima) {
  TVector lado;
  OrthogonaliseUp(camera, lado);
  const TMatrix4 m =
      MultMatriz(MultMatriz(Translacao(camera.Centro), RotacaoEixo(camera.Cima, aCima)),
                 MultMatriz(RotacaoEixo(lado, aLado), Translacao(EscalaVet(camera.Centro, -1))));
  const TVector4 olho = MultMatrizPonto(m, camera.Olho);
  const TVector novo{olho[0], olho[1], olho[2]};
  // Sinking below the floor, the eye stops at it; an eye already lower may still rise.
  camera.Olho = novo.z < camera.Olho.z ? AboveFloor(camera.Centro, novo) : novo;
  OrthogonaliseUp(camera, lado);
}

void ControleCamera(const TCameraButtons& botoes, TCamera& camera, TVector& PonteiroPos) {
  if (botoes.Up) OrbitaCamera(camera, -1, 0);
  if (botoes.Down) OrbitaCamera(camera, 1, 0);
  if (botoes.Right) OrbitaCamera(camera, 0, 1);
  if (botoes.Left) OrbitaCamera(camera, 0, -1);
  if (botoes.Home) PonteiroPos = {0, 0, 0};
  // Held for months, "Plus" would overflow the gain; it stops at the largest value instead.
  if (botoes.Plus && camera.Ganho <= std::numeric_limits<int32_t>::max() - 10) camera.Ganho += 10;
  if (botoes.Minus) {
    camera.Ganho -= 10;
    if (camera.Ganho <= 0) camera.Ganho = 10;
  }
  if (botoes.Um) AproximaCamera(camera, 1);
  if (botoes.Dois) AproximaCamera(camera, -1);
}
