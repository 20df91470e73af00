#include "render/cube_faces.h"

#include <algorithm>
#include <cmath>

namespace {

using TMatrix = std::array<double, 16>;
using TPoint = std::array<double, 3>;

constexpr double CellSize = 1.0 / CubeCells;
constexpr double MarginPixels = 3;

// Row r of a column-major matrix, as a 4-vector.
std::array<double, 4> Row(const TMatrix& m, int r) {
  return {m[r], m[4 + r], m[8 + r], m[12 + r]};
}

double Det3(const double (&a)[3][3]) {
  return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
         a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
         a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
}

// The point (homogeneous) that the x, y and w rows all send to 0: the centre of projection, the eye.
std::array<double, 4> Eye(const TMatrix& m) {
  const std::array<double, 4> linhas[3] = {Row(m, 0), Row(m, 1), Row(m, 3)};
  std::array<double, 4> e{};
  for (int k = 0; k < 4; ++k) {
    double menor[3][3];
    for (int r = 0; r < 3; ++r)
      for (int col = 0, j = 0; col < 4; ++col)
        if (col != k) menor[r][j++] = linhas[r][col];
    e[k] = (k % 2 == 0) ? Det3(menor) : -Det3(menor);
  }
  return e;
}

std::array<double, 4> Clip(const TMatrix& m, const TPoint& p) {
  std::array<double, 4> c{};
  for (int r = 0; r < 4; ++r) c[r] = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + m[12 + r];
  return c;
}

// Face k's outward axis and sign, and the place of its own (y, z) on the cube: each face is the +x face
// turned into place, so its quad (i, j) starts at y = -0.5 + i * step, z = -0.5 + j * step of that face.
constexpr int FaceAxis[6] = {0, 1, 0, 1, 2, 2};
constexpr double FaceSign[6] = {1, 1, -1, -1, 1, -1};

TPoint OnCube(int k, double y, double z) {
  switch (k) {
    case 0:
      return {0.5, y, z};
    case 1:
      return {-y, 0.5, z};
    case 2:
      return {-0.5, -y, z};
    case 3:
      return {y, -0.5, z};
    case 4:
      return {y, z, 0.5};
    default:
      return {y, -z, -0.5};
  }
}

std::array<double, 2> OnFace(int k, const TPoint& p) {
  switch (k) {
    case 0:
      return {p[1], p[2]};
    case 1:
      return {-p[0], p[2]};
    case 2:
      return {-p[1], p[2]};
    case 3:
      return {p[0], p[2]};
    case 4:
      return {p[0], p[1]};
    default:
      return {p[0], -p[1]};
  }
}

// How thin face k is on the screen, in pixels: the least of its sides and of its heights across the
// longest side, so a face seen slanted counts as thin too.
double ThinnestPixels(const TMatrix& m, int k, double w, double h) {
  const std::array<double, 2> cantos[4] = {{-0.5, -0.5}, {0.5, -0.5}, {0.5, 0.5}, {-0.5, 0.5}};
  std::array<double, 2> tela[4];
  for (int c = 0; c < 4; ++c) {
    const auto q = Clip(m, OnCube(k, cantos[c][0], cantos[c][1]));
    tela[c] = {q[0] / q[3] * w / 2, q[1] / q[3] * h / 2};
  }
  double menor = 1e300, maior = 0, area = 0;
  for (int c = 0; c < 4; ++c) {
    const auto& a = tela[c];
    const auto& b = tela[(c + 1) % 4];
    const double lado = std::hypot(a[0] - b[0], a[1] - b[1]);
    menor = std::min(menor, lado);
    maior = std::max(maior, lado);
    area += a[0] * b[1] - a[1] * b[0];
  }
  area = std::fabs(area) / 2;
  return maior > 0 ? std::min(menor, area / maior) : 0;
}

// Marks on far face k the cells, with `margem` cells around, that the eye sees past the cube's edge a-b.
void MarkBehindEdge(int k, const TPoint& eye, const TPoint& a, const TPoint& b, int margem,
                    std::bitset<CubeCells * CubeCells>& cells) {
  const int eixo = FaceAxis[k];
  const double s = FaceSign[k];
  // Along the edge p(u) = a + u (b - a), the ray from the eye through p meets the face's plane ahead of
  // the eye where s (p - eye)[eixo] > 0; that part of the edge is a line segment on the plane.
  const double d0 = s * (a[eixo] - eye[eixo]), d1 = s * (b[eixo] - eye[eixo]);
  double u0 = 0, u1 = 1;
  constexpr double Minimo = 1e-9;
  if (d0 <= Minimo && d1 <= Minimo) return;
  if (d0 <= Minimo) u0 = (Minimo - d0) / (d1 - d0);
  if (d1 <= Minimo) u1 = (Minimo - d0) / (d1 - d0);
  const double altura = 0.5 - s * eye[eixo];
  const auto projeta = [&](double u) {
    TPoint p;
    for (int c = 0; c < 3; ++c) p[c] = a[c] + u * (b[c] - a[c]);
    const double t = altura / (s * (p[eixo] - eye[eixo]));
    TPoint q;
    for (int c = 0; c < 3; ++c) q[c] = eye[c] + t * (p[c] - eye[c]);
    return OnFace(k, q);
  };
  auto q0 = projeta(u0), q1 = projeta(u1);
  // Clip the segment to the face widened by the margin, so a ray nearly along the plane costs no more.
  const double borda = 0.5 + (margem + 1) * CellSize;
  double t0 = 0, t1 = 1;
  for (int c = 0; c < 2; ++c) {
    const double dq = q1[c] - q0[c];
    for (const double limite : {-borda, borda}) {
      const double lado = limite < 0 ? q0[c] - limite : limite - q0[c];  // >= 0 inside
      const double rumo = limite < 0 ? dq : -dq;
      if (rumo == 0) {
        if (lado < 0) return;
      } else if (rumo > 0) {
        t0 = std::max(t0, -lado / rumo);
      } else {
        t1 = std::min(t1, -lado / rumo);
      }
    }
  }
  if (t0 > t1) return;
  const std::array<double, 2> p0 = {q0[0] + t0 * (q1[0] - q0[0]), q0[1] + t0 * (q1[1] - q0[1])};
  const std::array<double, 2> p1 = {q0[0] + t1 * (q1[0] - q0[0]), q0[1] + t1 * (q1[1] - q0[1])};
  const double comprimento = std::hypot(p1[0] - p0[0], p1[1] - p0[1]);
  const int passos = static_cast<int>(std::ceil(comprimento / (CellSize / 2))) + 1;
  int ultimoI = -1000, ultimoJ = -1000;
  for (int n = 0; n <= passos; ++n) {
    const double f = static_cast<double>(n) / passos;
    const int ci = static_cast<int>(std::floor((p0[0] + f * (p1[0] - p0[0]) + 0.5) / CellSize));
    const int cj = static_cast<int>(std::floor((p0[1] + f * (p1[1] - p0[1]) + 0.5) / CellSize));
    if (ci == ultimoI && cj == ultimoJ) continue;
    ultimoI = ci;
    ultimoJ = cj;
    const int j0 = std::max(0, cj - margem), j1 = std::min(CubeCells - 1, cj + margem);
    if (j0 > j1) continue;
    const std::bitset<CubeCells * CubeCells> linha((1ull << (j1 - j0 + 1)) - 1);
    for (int i = std::max(0, ci - margem); i <= std::min(CubeCells - 1, ci + margem); ++i)
      cells |= linha << static_cast<size_t>(i * CubeCells + j0);
  }
}

// The cells of face k whose picture can hold a pixel centre: a triangle that holds none makes no fragment,
// so leaving it out changes no pixel. Each cell's box on the screen is widened by a twentieth of a pixel,
// far more than the driver's single precision and sub-pixel grid can move a corner.
std::bitset<CubeCells * CubeCells> CellsOverPixelCentres(const TMatrix& m, int k,
                                                         const std::array<double, 4>& viewport) {
  constexpr int Lado = CubeCells + 1;
  std::array<std::array<double, 2>, Lado * Lado> tela;
  for (int i = 0; i < Lado; ++i)
    for (int j = 0; j < Lado; ++j) {
      const auto q = Clip(m, OnCube(k, -0.5 + i * CellSize, -0.5 + j * CellSize));
      tela[i * Lado + j] = {viewport[0] + (q[0] / q[3] + 1) * viewport[2] / 2,
                            viewport[1] + (q[1] / q[3] + 1) * viewport[3] / 2};
    }
  constexpr double Folga = 0.05;
  std::bitset<CubeCells * CubeCells> cells;
  for (int i = 0; i < CubeCells; ++i)
    for (int j = 0; j < CubeCells; ++j) {
      double menor[2] = {1e300, 1e300}, maior[2] = {-1e300, -1e300};
      for (const int canto : {i * Lado + j, i * Lado + j + 1, (i + 1) * Lado + j, (i + 1) * Lado + j + 1})
        for (int c = 0; c < 2; ++c) {
          menor[c] = std::min(menor[c], tela[canto][c]);
          maior[c] = std::max(maior[c], tela[canto][c]);
        }
      // A centre x + 0.5 with menor - Folga <= x + 0.5 <= maior + Folga, in both directions.
      const bool temCentro = std::floor(maior[0] + Folga - 0.5) >= std::ceil(menor[0] - Folga - 0.5) &&
                             std::floor(maior[1] + Folga - 0.5) >= std::ceil(menor[1] - Folga - 0.5);
      if (temCentro) cells.set(static_cast<size_t>(i * CubeCells + j));
    }
  return cells;
}

TCubeView Whole() {
  TCubeView v;
  v.whole.fill(true);
  return v;
}

}  // namespace

TCubeView ViewCube(const TMatrix& m, const std::array<double, 4>& viewport, bool opaque) {
  const double largura = viewport[2], altura = viewport[3];
  // The view volume as half-spaces of clip space, -w <= x, y, z <= w: the cube is out of view when all its
  // corners are beyond one of them, whatever the sign of w.
  int outside[6] = {0, 0, 0, 0, 0, 0};
  bool cortado = false;  // a corner at or behind the eye, or beyond the near plane
  for (int corner = 0; corner < 8; ++corner) {
    const auto c = Clip(m, {corner & 1 ? 0.5 : -0.5, corner & 2 ? 0.5 : -0.5, corner & 4 ? 0.5 : -0.5});
    const double w = c[3];
    const double folga = std::fabs(w) * 1e-6;  // a corner that single precision might put just inside
    for (int eixo = 0; eixo < 3; ++eixo) {
      if (c[eixo] < -w - folga) ++outside[2 * eixo];
      if (c[eixo] > w + folga) ++outside[2 * eixo + 1];
    }
    if (!(w > 0) || !(c[2] > -w)) cortado = true;
  }
  if (std::find(std::begin(outside), std::end(outside), 8) != std::end(outside)) {
    TCubeView nada;
    nada.anything = false;
    return nada;
  }
  if (cortado) return Whole();

  const auto e = Eye(m);
  const double escala = std::fabs(e[0]) + std::fabs(e[1]) + std::fabs(e[2]) + std::fabs(e[3]);
  if (!(std::fabs(e[3]) > 1e-9 * escala)) return Whole();
  const TPoint eye = {e[0] / e[3], e[1] / e[3], e[2] / e[3]};

  TCubeView v;
  bool frente[6];
  for (int k = 0; k < 6; ++k) {
    // The eye's height over the face's plane; near 0 the face is seen edge on and kept whole.
    frente[k] = !opaque || FaceSign[k] * eye[FaceAxis[k]] - 0.5 > -1e-6;
    v.whole[k] = frente[k];
  }
  for (int k = 0; k < 6; ++k) {
    if (frente[k]) continue;
    const double lado = ThinnestPixels(m, k, largura, altura);
    const double margem = lado > 0 ? std::ceil(MarginPixels * CubeCells / lado) : CubeCells;
    if (!(margem < CubeCells / 2)) {
      v.whole[k] = true;
      continue;
    }
    // Every edge of a near face: its two ends differ in one coordinate, the other two are on the faces
    // that meet there.
    for (int eixo = 0; eixo < 3; ++eixo) {
      for (int canto = 0; canto < 4; ++canto) {
        const int e1 = (eixo + 1) % 3, e2 = (eixo + 2) % 3;
        const double s1 = canto & 1 ? 0.5 : -0.5, s2 = canto & 2 ? 0.5 : -0.5;
        const int f1 = e1 == 2 ? (s1 > 0 ? 4 : 5) : (s1 > 0 ? e1 : e1 + 2);
        const int f2 = e2 == 2 ? (s2 > 0 ? 4 : 5) : (s2 > 0 ? e2 : e2 + 2);
        if (!frente[f1] && !frente[f2]) continue;
        TPoint a{}, b{};
        a[eixo] = -0.5;
        b[eixo] = 0.5;
        a[e1] = b[e1] = s1;
        a[e2] = b[e2] = s2;
        MarkBehindEdge(k, eye, a, b, static_cast<int>(margem), v.cells[k]);
      }
    }
  }
  for (int k = 0; k < 6; ++k) {
    if (v.whole[k] && ThinnestPixels(m, k, largura, altura) > 3 * CubeCells) continue;  // cells of pixels
    if (!v.whole[k] && v.cells[k].none()) continue;
    const auto alcance = CellsOverPixelCentres(m, k, viewport);
    if (v.whole[k]) {
      v.whole[k] = alcance.all();
      v.cells[k] = alcance;
    } else {
      v.cells[k] &= alcance;
    }
  }
  return v;
}
