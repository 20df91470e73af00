#include "physics/vector_math.h"

#include <cmath>
#include <numbers>

TODEArray NovoVetor(float x, float y, float z) {
  return TODEArray{x, y, z};
}

TVector SomaVet(const TVector& a, const TVector& b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}

TVector SubVet(const TVector& a, const TVector& b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}

TVector ProdVetorial(const TVector& a, const TVector& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double Dot(const TVector& a, const TVector& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

double NormaVet(const TVector& a) {
  return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
}

TVector NormalizaVet(const TVector& a) {
  const double n = NormaVet(a);
  return {a.x / n, a.y / n, a.z / n};
}

TVector EscalaVet(const TVector& a, double s) {
  return {s * a.x, s * a.y, s * a.z};
}

TMatrix4 Identidade() {
  return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

TMatrix4 Translacao(const TVector& t) {
  TMatrix4 m = Identidade();
  m[3] = t.x;
  m[7] = t.y;
  m[11] = t.z;
  return m;
}

TMatrix4 RotacaoEixo(const TVector& eixo, double anguloGraus) {
  const double theta = anguloGraus * std::numbers::pi / 180.0;
  const TVector u = NormalizaVet(eixo);
  const double x = u.x, y = u.y, z = u.z;
  const double c = std::cos(theta), s = std::sin(theta), t = 1 - c;
  // clang-format off
  return {x * x * t + c,     x * y * t - z * s, x * z * t + y * s, 0,
          x * y * t + z * s, y * y * t + c,     y * z * t - x * s, 0,
          x * z * t - y * s, y * z * t + x * s, z * z * t + c,     0,
          0,                 0,                 0,                 1};
  // clang-format on
}

TMatrix4 MultMatriz(const TMatrix4& a, const TMatrix4& b) {
  TMatrix4 r{};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      double soma = 0;
      for (int k = 0; k < 4; ++k) soma += a[4 * i + k] * b[4 * k + j];
      r[4 * i + j] = soma;
    }
  return r;
}

TVector4 MultMatrizPonto(const TMatrix4& m, const TVector& p) {
  TVector4 r{};
  for (int i = 0; i < 4; ++i) r[i] = m[4 * i] * p.x + m[4 * i + 1] * p.y + m[4 * i + 2] * p.z + m[4 * i + 3];
  return r;
}

TMatrix4 Inversa4(const TMatrix4& m) {
  // Adjugate over determinant, cofactors written out (the classic expansion by 2 x 2 minors).
  TMatrix4 inv;
  inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] + m[9] * m[7] * m[14] +
           m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
  inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] - m[8] * m[7] * m[14] -
           m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
  inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] + m[8] * m[7] * m[13] +
           m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
  inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] - m[8] * m[6] * m[13] -
            m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
  inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] - m[9] * m[3] * m[14] -
           m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
  inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] + m[8] * m[3] * m[14] +
           m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
  inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] - m[8] * m[3] * m[13] -
           m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
  inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] + m[8] * m[2] * m[13] +
            m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
  inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] +
           m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
  inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] - m[4] * m[3] * m[14] -
           m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
  inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] + m[4] * m[3] * m[13] +
            m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
  inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] - m[4] * m[2] * m[13] -
            m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
  inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] - m[5] * m[3] * m[10] -
           m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
  inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] +
           m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
  inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] -
            m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
  inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] +
            m[8] * m[1] * m[6] - m[8] * m[2] * m[5];
  const double det = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
  for (double& e : inv) e /= det;
  return inv;
}

TMatrix4 MatrizVista(const TVector& f0, const TVector& up) {
  const TVector f = NormalizaVet(f0);
  const TVector s = NormalizaVet(ProdVetorial(up, f));
  const TVector u = ProdVetorial(f, s);
  TMatrix4 m = Identidade();
  m[0] = s.x, m[1] = s.y, m[2] = s.z;
  m[4] = u.x, m[5] = u.y, m[6] = u.z;
  m[8] = f.x, m[9] = f.y, m[10] = f.z;
  return m;
}
