#include "scene/ramp_template.h"

#include "common/number_text.h"
#include "scene/scene_loader.h"
#include "scene/shape_kind.h"

#include <algorithm>
#include <cmath>
#include <numbers>

using C = TColumn;

namespace {

// `v` turned by the unit quaternion `q` (w, x, y, z).
TVector Rotate(const std::array<float, 4>& q, const TVector& v) {
  const TVector u{q[1], q[2], q[3]};
  const double w = q[0];
  const TVector t = EscalaVet(ProdVetorial(u, v), 2);
  return SomaVet(SomaVet(v, EscalaVet(t, w)), ProdVetorial(u, t));
}

}  // namespace

TRowCells RampCells(const TRampSpec& r, const TVector& pe) {
  const double a = r.anguloGraus * std::numbers::pi / 180.0;
  // Turned about -y, the box's length rises along +x; its lowest edge touches z = 0.
  const double z = r.comprimento / 2 * std::sin(a) + RampThickness / 2 * std::cos(a);
  return {{C::ODETipo, static_cast<int32_t>(TShapeKind::Box)},
          {C::Dim1, r.comprimento},
          {C::Dim2, r.largura},
          {C::Dim3, RampThickness},
          {C::X, pe.x},
          {C::Y, pe.y},
          {C::Z, z},
          {C::Ang, r.anguloGraus},
          {C::eixoX, 0.0},
          {C::eixoY, -1.0},
          {C::eixoZ, 0.0},
          {C::Massa, 1.0},
          {C::Atrito, r.atrito},
          {C::R, 170.0},
          {C::G, 130.0},
          {C::B, 90.0},
          {C::A, 0.0},
          {C::UsaCor, true},
          {C::ODEMove, false},
          {C::UserMove, false}};
}

bool IsRamp(const TSceneTable& t, int linha) {
  return linha >= 0 && linha < t.RowCount() &&
         t.Integer(linha, C::ODETipo) == static_cast<int32_t>(TShapeKind::Box) &&
         !t.Boolean(linha, C::ODEMove);
}

TRowCells BlockOnRampCells(const TSceneTable& t, int rampa, const TBlockSpec& b) {
  if (!IsRamp(t, rampa))
    throw ESceneError("Selecione uma rampa (uma caixa que a física não move) para pôr o bloco nela.", rampa);
  const double comprimento = t.Real(rampa, C::Dim1), largura = t.Real(rampa, C::Dim2);
  if (b.comprimento > comprimento || b.largura > largura)
    throw ESceneError("O bloco não cabe na rampa: ele mede " + FormatTypedNumber(b.comprimento) + " × " +
                          FormatTypedNumber(b.largura) + " m e a rampa " + FormatTypedNumber(comprimento) +
                          " × " + FormatTypedNumber(largura) + " m.",
                      rampa);
  const double ang = t.Real(rampa, C::Ang);
  const TVector eixo{t.Real(rampa, C::eixoX), t.Real(rampa, C::eixoY), t.Real(rampa, C::eixoZ)};
  const std::array<float, 4> q = QuaternioDeCarga(ang, eixo);
  TVector aoLongo = Rotate(q, {1, 0, 0});
  if (aoLongo.z < 0) aoLongo = EscalaVet(aoLongo, -1);  // towards the upper end
  TVector normal = Rotate(q, {0, 0, 1});
  if (normal.z < 0) normal = EscalaVet(normal, -1);  // the face that looks up
  const TVector centro{t.Real(rampa, C::X), t.Real(rampa, C::Y), t.Real(rampa, C::Z)};
  // A twentieth of the ramp's length is left free above the block, so that it starts wholly on the slope.
  const double subida =
      (comprimento - b.comprimento) / 2 - std::min(comprimento / 20, (comprimento - b.comprimento) / 2);
  const double acima = t.Real(rampa, C::Dim3) / 2 + b.altura / 2;
  const TVector p = SomaVet(centro, SomaVet(EscalaVet(aoLongo, subida), EscalaVet(normal, acima)));
  return {{C::ODETipo, static_cast<int32_t>(TShapeKind::Box)},
          {C::Dim1, b.comprimento},
          {C::Dim2, b.largura},
          {C::Dim3, b.altura},
          {C::X, p.x},
          {C::Y, p.y},
          {C::Z, p.z},
          {C::Ang, ang},
          {C::eixoX, eixo.x},
          {C::eixoY, eixo.y},
          {C::eixoZ, eixo.z},
          {C::Massa, b.massa},
          {C::Atrito, t.Real(rampa, C::Atrito)},
          {C::R, 60.0},
          {C::G, 110.0},
          {C::B, 220.0},
          {C::A, 0.0},
          {C::UsaCor, true},
          {C::ODEMove, true},
          {C::UserMove, true},
          {C::MoveX, true},
          {C::MoveY, true},
          {C::MoveZ, true},
          {C::MostraVecV, true}};
}
