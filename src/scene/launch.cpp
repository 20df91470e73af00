#include "scene/launch.h"

#include <cmath>
#include <numbers>
#include <variant>

namespace {

constexpr double Grau = std::numbers::pi / 180;

double Rounded(double v) {
  const double r = std::round(v * 1e6) / 1e6;
  return r == 0 ? 0 : r;  // never "-0"
}

}  // namespace

TLaunch LaunchOf(double vx, double vy, double vz) {
  const double v = std::sqrt(vx * vx + vy * vy + vz * vz);
  if (v == 0) return {};
  const double horizontal = std::sqrt(vx * vx + vy * vy);
  return {Rounded(v), Rounded(std::atan2(vz, horizontal) / Grau),
          horizontal == 0 ? 0 : Rounded(std::atan2(vy, vx) / Grau)};
}

std::array<double, 3> ComponentsOf(const TLaunch& l) {
  const double h = l.Speed * std::cos(l.Angle * Grau);
  return {Rounded(h * std::cos(l.Azimuth * Grau)), Rounded(h * std::sin(l.Azimuth * Grau)),
          Rounded(l.Speed * std::sin(l.Angle * Grau))};
}

TSceneTable::Celula LaunchCell(double v) {
  if (v == 0) return std::monostate{};
  return v;
}

TVector RowLaunch(const TSceneTable& t, int linha) {
  if (!t.Boolean(linha, TColumn::ODEMove)) return {};
  const auto ao = [&](TColumn movel, TColumn v) { return t.Boolean(linha, movel) ? t.Real(linha, v) : 0.0; };
  return {ao(TColumn::MoveX, TColumn::VelX), ao(TColumn::MoveY, TColumn::VelY),
          ao(TColumn::MoveZ, TColumn::VelZ)};
}
