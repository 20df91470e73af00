#include "frame/mouse_pick.h"

#include "scene/shape_kind.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr double NearPlane = 1.0;
constexpr double FarPlane = 1000.0;
constexpr double VerticalFovDegrees = 60.0;

// A rigid pose as the engine keeps it: rotation rows R[0..2], R[4..6], R[8..10], then the position.
struct TPose {
  dMatrix3 R;
  TVector p;

  TVector ToLocal(const TVector& v) const {  // rotation only: R transposed times v
    return {R[0] * v.x + R[4] * v.y + R[8] * v.z, R[1] * v.x + R[5] * v.y + R[9] * v.z,
            R[2] * v.x + R[6] * v.y + R[10] * v.z};
  }
};

// The pose the picture draws the object with: its body's, or its record's when it has no body.
TPose DrawnPose(const TObjetoCena& o, dBodyID corpo) {
  TPose pose;
  if (corpo) {
    const dReal* p = dBodyGetPosition(corpo);
    const dReal* r = dBodyGetRotation(corpo);
    for (int k = 0; k < 12; ++k) pose.R[k] = r[k];
    pose.p = {p[0], p[1], p[2]};
    return pose;
  }
  const dQuaternion q = {o.Quaternio[0], o.Quaternio[1], o.Quaternio[2], o.Quaternio[3]};
  dQtoR(q, pose.R);
  pose.p = o.Posicao;
  return pose;
}

// The nearest parameter seen so far that lies between the near and the far plane.
class TNearest {
 public:
  void Offer(double t) {
    if (t >= NearPlane && t <= FarPlane && t < best_) best_ = t;
  }
  bool Found() const { return best_ < std::numeric_limits<double>::infinity(); }
  double Value() const { return best_; }

 private:
  double best_ = std::numeric_limits<double>::infinity();
};

// The real roots of a t^2 + b t + c = 0, none when a is 0.
std::optional<std::array<double, 2>> Roots(double a, double b, double c) {
  const double disc = b * b - 4 * a * c;
  if (a == 0 || disc < 0) return std::nullopt;
  const double s = std::sqrt(disc);
  return std::array<double, 2>{(-b - s) / (2 * a), (-b + s) / (2 * a)};
}

void Sphere(const TVector& o, const TVector& d, const TVector& centro, double raio, TNearest& perto) {
  const TVector oc = SubVet(o, centro);
  if (const auto t = Roots(Dot(d, d), 2 * Dot(oc, d), Dot(oc, oc) - raio * raio))
    for (const double ti : *t) perto.Offer(ti);
}

// Along the local z axis: a tube of `comprimento` between two caps.
void Capsule(const TVector& o, const TVector& d, double raio, double comprimento, TNearest& perto) {
  const double h = comprimento / 2;
  Sphere(o, d, {0, 0, h}, raio, perto);
  Sphere(o, d, {0, 0, -h}, raio, perto);
  const auto t =
      Roots(d.x * d.x + d.y * d.y, 2 * (o.x * d.x + o.y * d.y), o.x * o.x + o.y * o.y - raio * raio);
  if (!t) return;
  for (const double ti : *t)
    if (std::abs(o.z + ti * d.z) <= h) perto.Offer(ti);
}

// Centred on the local origin, sides along the local axes.
void Box(const TVector& o, const TVector& d, const std::array<double, 4>& lados, TNearest& perto) {
  double entrada = -std::numeric_limits<double>::infinity();
  double saida = std::numeric_limits<double>::infinity();
  const double oo[3] = {o.x, o.y, o.z}, dd[3] = {d.x, d.y, d.z};
  for (int k = 0; k < 3; ++k) {
    const double h = lados[static_cast<std::size_t>(k)] / 2;
    if (dd[k] == 0) {
      if (std::abs(oo[k]) > h) return;
      continue;
    }
    double t1 = (-h - oo[k]) / dd[k], t2 = (h - oo[k]) / dd[k];
    if (t1 > t2) std::swap(t1, t2);
    entrada = std::max(entrada, t1);
    saida = std::min(saida, t2);
  }
  if (entrada > saida) return;
  perto.Offer(entrada);
  perto.Offer(saida);  // seen from inside, the far wall is what shows
}

TVector MeshVertex(const TCollisionMesh& m, uint32_t i) {
  const std::size_t k = std::size_t{i} * 4;
  return {m.Vertices[k], m.Vertices[k + 1], m.Vertices[k + 2]};
}

// Both faces of every triangle count: the picture does not cull back faces.
void Mesh(const TVector& o, const TVector& d, const TCollisionMesh& m, TNearest& perto) {
  const std::size_t vertices = m.Vertices.size() / 4;
  for (std::size_t k = 0; k + 2 < m.Indices.size(); k += 3) {
    if (m.Indices[k] >= vertices || m.Indices[k + 1] >= vertices || m.Indices[k + 2] >= vertices) continue;
    const TVector a = MeshVertex(m, m.Indices[k]);
    const TVector e1 = SubVet(MeshVertex(m, m.Indices[k + 1]), a);
    const TVector e2 = SubVet(MeshVertex(m, m.Indices[k + 2]), a);
    const TVector p = ProdVetorial(d, e2);
    const double det = Dot(e1, p);
    if (det == 0) continue;
    const TVector s = SubVet(o, a);
    const double u = Dot(s, p) / det;
    if (u < 0 || u > 1) continue;
    const TVector q = ProdVetorial(s, e1);
    const double v = Dot(d, q) / det;
    if (v < 0 || u + v > 1) continue;
    perto.Offer(Dot(e2, q) / det);
  }
}

}  // namespace

namespace {

// The eye's frame: forward, right and up, and how far the picture reaches up and right at depth 1.
struct TEyeFrame {
  TVector f, s, u;
  double meiaAltura, meiaLargura;
};

TEyeFrame EyeFrame(const TPanelView& vista) {
  const TCamera& c = vista.camera;
  TEyeFrame e;
  e.f = NormalizaVet(SubVet(c.Centro, c.Olho));
  e.s = NormalizaVet(ProdVetorial(e.f, c.Cima));
  e.u = ProdVetorial(e.s, e.f);
  e.meiaAltura = std::tan(VerticalFovDegrees / 2 * std::numbers::pi / 180);
  e.meiaLargura = e.meiaAltura * vista.largura / vista.altura;
  return e;
}

}  // namespace

TViewRay RayThroughPanel(const TPanelView& vista, double x, double y) {
  const TEyeFrame e = EyeFrame(vista);
  const double nx = 2 * x / vista.largura - 1;
  const double ny = 1 - 2 * y / vista.altura;
  const TVector d =
      SomaVet(e.f, SomaVet(EscalaVet(e.s, nx * e.meiaLargura), EscalaVet(e.u, ny * e.meiaAltura)));
  return {vista.camera.Olho, d};
}

std::optional<TVector> MeetPlane(const TViewRay& raio, const TVector& ponto, const TVector& normal) {
  const double rumo = Dot(normal, raio.direcao);
  if (std::abs(rumo) < 1e-9) return std::nullopt;
  const double t = Dot(normal, SubVet(ponto, raio.origem)) / rumo;
  if (!(t > 0)) return std::nullopt;
  return raio.At(t);
}

std::optional<TPanelSpot> PanelSpotOf(const TPanelView& vista, const TVector& p) {
  const TEyeFrame e = EyeFrame(vista);
  const TVector d = SubVet(p, vista.camera.Olho);
  const double profundidade = Dot(d, e.f);
  if (!(profundidade >= NearPlane)) return std::nullopt;
  const double nx = Dot(d, e.s) / (profundidade * e.meiaLargura);
  const double ny = Dot(d, e.u) / (profundidade * e.meiaAltura);
  return TPanelSpot{(nx + 1) / 2 * vista.largura, (1 - ny) / 2 * vista.altura};
}

std::optional<TPickHit> PickObject(const TScene& cena, const TViewRay& raio) {
  std::optional<TPickHit> melhor;
  for (std::size_t i = 0; i < cena.Objetos.size(); ++i) {
    const TObjetoCena& o = cena.Objetos[i];
    const TPose pose = DrawnPose(o, i < cena.Corpos.size() ? cena.Corpos[i] : nullptr);
    const TVector lo = pose.ToLocal(SubVet(raio.origem, pose.p));
    const TVector ld = pose.ToLocal(raio.direcao);
    TNearest perto;
    switch (static_cast<TShapeKind>(o.ODETipo)) {
      case TShapeKind::Sphere:
        Sphere(lo, ld, {}, o.Dim[0], perto);
        break;
      case TShapeKind::Capsule:
        Capsule(lo, ld, o.Dim[0], o.Dim[1], perto);
        break;
      case TShapeKind::Box:
        Box(lo, ld, o.Dim, perto);
        break;
      case TShapeKind::Mesh:
        Mesh(lo, ld, o.Malha, perto);
        break;
      default:
        break;
    }
    if (!perto.Found() || (melhor && melhor->profundidade <= perto.Value())) continue;
    melhor = TPickHit{i, perto.Value(), raio.At(perto.Value())};
  }
  return melhor;
}
