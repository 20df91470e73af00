#include "physics/collision.h"

#include "physics/geometry_factory.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <utility>

namespace {

bool IsDynamic(dBodyID corpo) {
  return corpo != nullptr && !dBodyIsKinematic(corpo);
}

double ObjectFriction(dGeomID geometria, const TContactParameters& p) {
  std::size_t i = 0;
  if (!GeometryIndex(geometria, i) || i >= p.Atritos.size()) return 0;
  const double mu = p.Atritos[i];
  return std::isfinite(mu) && mu > 0 ? mu : 0;
}

// A body that moves slides with its own coefficient over anything that holds still (the ground, a static
// ramp), so "the box's Atrito" means what a student expects. Two moving bodies share the geometric mean.
double PairFriction(dGeomID o1, dBodyID b1, dGeomID o2, dBodyID b2, const TContactParameters& p) {
  const bool d1 = IsDynamic(b1), d2 = IsDynamic(b2);
  if (d1 && !d2) return ObjectFriction(o1, p);
  if (d2 && !d1) return ObjectFriction(o2, p);
  return std::sqrt(ObjectFriction(o1, p) * ObjectFriction(o2, p));
}

std::optional<std::size_t> ObjectOf(dGeomID geometria) {
  std::size_t i = 0;
  if (!GeometryIndex(geometria, i)) return std::nullopt;
  return i;
}

// The object's own coefficient of restitution, or none.
std::optional<double> OwnRestitution(const TContactParameters& p, std::optional<std::size_t> i) {
  if (!i || *i >= p.Elasticidades.size()) return std::nullopt;
  const double e = p.Elasticidades[*i];
  if (!(e >= 0)) return std::nullopt;  // negative or NaN: the scene's kind
  return std::min(e, 1.0);
}

double DistanceSquared(const dContactGeom& a, const dContactGeom& b) {
  const double dx = a.pos[0] - b.pos[0], dy = a.pos[1] - b.pos[1], dz = a.pos[2] - b.pos[2];
  return dx * dx + dy * dy + dz * dz;
}

// The engine gives a capsule against a box one contact point, so a capsule lying on the ground pivots
// about it, rocks for ever and sinks while it does. Each end cap is a sphere: its own contact with the box
// gives the second point of support. The capsule's own points are kept where no cap stands (a capsule
// lying across a box's edge), so nothing that touched before stops touching.
int CapsuleBoxContacts(dGeomID capsula, dGeomID caixa, dGeomID tampa, dContact* contatos) {
  dReal r = 0, l = 0;
  dGeomCapsuleGetParams(capsula, &r, &l);
  dGeomSphereSetRadius(tampa, r);
  const dReal* p = dGeomGetPosition(capsula);
  const dReal* R = dGeomGetRotation(capsula);
  int n = 0;
  for (const double lado : {-0.5, 0.5}) {
    // The capsule's axis is its local z: the third column of the rotation.
    dGeomSetPosition(tampa, p[0] + static_cast<dReal>(lado * l) * R[2],
                     p[1] + static_cast<dReal>(lado * l) * R[6], p[2] + static_cast<dReal>(lado * l) * R[10]);
    n += dCollide(tampa, caixa, 1, &contatos[n].geom, sizeof(dContact));
  }
  dContactGeom proprios[ContatosMax - 2];
  const int m = dCollide(capsula, caixa, ContatosMax - 2, proprios, sizeof(dContactGeom));
  for (int i = 0; i < m; ++i) {
    bool perto = false;
    for (int k = 0; k < n; ++k) perto = perto || DistanceSquared(proprios[i], contatos[k].geom) < r * r / 4;
    if (!perto) contatos[n++].geom = proprios[i];
  }
  for (int k = 0; k < n; ++k) {
    contatos[k].geom.g1 = capsula;
    contatos[k].geom.g2 = caixa;
  }
  return n;
}

int Contacts(dGeomID o1, dGeomID o2, dGeomID tampa, dContact* contatos) {
  const int c1 = dGeomGetClass(o1), c2 = dGeomGetClass(o2);
  if (c1 == dTriMeshClass && c2 == dTriMeshClass &&
      std::min(dGeomTriMeshGetTriangleCount(o1), dGeomTriMeshGetTriangleCount(o2)) < MeshMeshMinTriangles)
    return 0;
  if (tampa && c1 == dCapsuleClass && c2 == dBoxClass) return CapsuleBoxContacts(o1, o2, tampa, contatos);
  if (tampa && c1 == dBoxClass && c2 == dCapsuleClass) {
    // Seen from the capsule, then turned round: the normal points into the first geometry.
    const int n = CapsuleBoxContacts(o2, o1, tampa, contatos);
    for (int k = 0; k < n; ++k) {
      dContactGeom& g = contatos[k].geom;
      for (int j = 0; j < 3; ++j) g.normal[j] = -g.normal[j];
      std::swap(g.g1, g.g2);
    }
    return n;
  }
  return dCollide(o1, o2, ContatosMax, &contatos[0].geom, sizeof(dContact));
}

bool Usable(const dContactGeom& g) {
  const double n2 = g.normal[0] * g.normal[0] + g.normal[1] * g.normal[1] + g.normal[2] * g.normal[2];
  return std::isfinite(g.pos[0]) && std::isfinite(g.pos[1]) && std::isfinite(g.pos[2]) &&
         std::isfinite(g.depth) && std::fabs(n2 - 1) < 1e-3;
}

double Dot(const dReal* a, const double* b) {
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Where the geometry is: the middle of its bounding box.
void Middle(dGeomID g, double* centro) {
  dReal aabb[6];
  dGeomGetAABB(g, aabb);
  for (int k = 0; k < 3; ++k) centro[k] = (aabb[2 * k] + aabb[2 * k + 1]) / 2;
}

// Two shapes sunk deep into each other (a capsule standing half in the ground, a model upside down through
// it) can give contacts that push the first both ways at once. The exact solver, which any link brings,
// fails on such a pair with a singular system and the step ends with an engine assertion. Only the contacts
// that push the first shape away from the second's middle are kept then. Shallow contacts that face each
// other are real (a ball held in a narrow slot of a model) and are left alone. Contacts the engine gave
// without a usable normal (zero, or not finite) are dropped.
int KeepConsistentContacts(dGeomID o1, dGeomID o2, dContact* contatos, int n) {
  int m = 0;
  for (int i = 0; i < n; ++i)
    if (Usable(contatos[i].geom)) contatos[m++] = contatos[i];
  bool opostos = false;
  for (int i = 0; i < m && !opostos; ++i)
    for (int k = i + 1; k < m && !opostos; ++k)
      opostos = contatos[i].geom.depth > DeepContact && contatos[k].geom.depth > DeepContact &&
                Dot(contatos[i].geom.normal, contatos[k].geom.normal) < 0;
  if (!opostos || dGeomGetClass(o1) == dPlaneClass || dGeomGetClass(o2) == dPlaneClass) return m;
  double c1[3], c2[3], fora[3];
  Middle(o1, c1);
  Middle(o2, c2);
  for (int k = 0; k < 3; ++k) fora[k] = c1[k] - c2[k];
  if (!(fora[0] * fora[0] + fora[1] * fora[1] + fora[2] * fora[2] > 0)) {
    // One middle on the other: the deepest contact decides.
    const dContact* funda =
        std::max_element(contatos, contatos + m,
                         [](const dContact& a, const dContact& b) { return a.geom.depth < b.geom.depth; });
    for (int k = 0; k < 3; ++k) fora[k] = funda->geom.normal[k];
  }
  int mantidos = 0;
  for (int i = 0; i < m; ++i)
    if (Dot(contatos[i].geom.normal, fora) >= 0) contatos[mantidos++] = contatos[i];
  return mantidos;
}

// The deepest of the pair's `n` contacts goes to `sobreposicoes`, and every contact is handed to the engine
// without its depth: SeparateOverlaps undoes the overlap, so the bounce is the objects' own and no more.
void TakeOverlap(dContact* contatos, int n, dBodyID b1, dBodyID b2, std::vector<TOverlap>& sobreposicoes) {
  TOverlap s;
  for (int i = 0; i < n; ++i) {
    dContactGeom& g = contatos[i].geom;
    if (g.depth > s.depth) {
      s.depth = g.depth;
      for (int k = 0; k < 3; ++k) s.normal[k] = g.normal[k];
    }
    g.depth = 0;
  }
  // A body the physics does not move takes no share of the separation.
  s.b1 = IsDynamic(b1) ? b1 : nullptr;
  s.b2 = IsDynamic(b2) ? b2 : nullptr;
  if (!s.b1) {
    std::swap(s.b1, s.b2);
    for (double& c : s.normal) c = -c;
  }
  if (s.b1 && s.depth > 0) sobreposicoes.push_back(s);
}

void AddContacts(TCollisionContext& ctx, dGeomID o1, dGeomID o2) {
  dBodyID b1 = dGeomGetBody(o1);
  dBodyID b2 = dGeomGetBody(o2);
  if (b1 && b2 && dAreConnected(b1, b2)) return;
  // Contacts between things that cannot move change nothing; the engine need not carry them.
  if (!IsDynamic(b1) && !IsDynamic(b2)) return;

  dContact contatos[ContatosMax] = {};
  const TContactParameters& p = *ctx.ContactParameters;
  const std::optional<std::size_t> i1 = ObjectOf(o1), i2 = ObjectOf(o2);
  const dSurfaceParameters superficie =
      ContactSurfaceWithBounce(PairRestitution(p, i1, i2), PairFriction(o1, b1, o2, b2, p));
  for (dContact& c : contatos) c.surface = superficie;

  const int n = KeepConsistentContacts(o1, o2, contatos, Contacts(o1, o2, ctx.EndCap, contatos));
  if (OwnRestitution(p, i1) || OwnRestitution(p, i2)) TakeOverlap(contatos, n, b1, b2, ctx.Overlaps);
  for (int i = 0; i < n; ++i) {
    dJointID junta = dJointCreateContact(ctx.Mundo, ctx.GrupoContatos, &contatos[i]);
    dJointAttach(junta, b1, b2);
  }
}

}  // namespace

double RestitutionOfKind(int TipoDeColisao) {
  switch (TipoDeColisao) {
    case 1:
      return 0.5;
    case 2:
      return 1.0;
    default:
      return 0.0;
  }
}

double PairRestitution(const TContactParameters& p, std::optional<std::size_t> i,
                       std::optional<std::size_t> j) {
  const std::optional<double> a = OwnRestitution(p, i), b = OwnRestitution(p, j);
  if (a && b) return (*a + *b) / 2;
  if (a) return *a;
  if (b) return *b;
  return RestitutionOfKind(p.TipoDeColisao);
}

dSurfaceParameters ContactSurface(int TipoDeColisao, double mu) {
  return ContactSurfaceWithBounce(RestitutionOfKind(TipoDeColisao), mu);
}

dSurfaceParameters ContactSurfaceWithBounce(double bounce, double mu) {
  dSurfaceParameters s{};
  s.mode = dContactBounce | dContactSoftERP | dContactSoftCFM | dContactApprox1;
  s.mu = static_cast<float>(mu);
  s.mu2 = 0;
  s.bounce = static_cast<float>(bounce);
  s.bounce_vel = 0;
  s.soft_erp = 0.5f;
  s.soft_cfm = 0;
  return s;
}

namespace {

double InverseMass(dBodyID corpo) {
  if (!corpo) return 0;
  dMass m;
  dBodyGetMass(corpo, &m);
  return m.mass > 0 ? 1 / m.mass : 0;
}

// Speed of b1 away from b2 along n.
double SeparatingSpeed(const TOverlap& s) {
  const dReal* v1 = dBodyGetLinearVel(s.b1);
  double v = 0;
  for (int k = 0; k < 3; ++k) v += (v1[k] - (s.b2 ? dBodyGetLinearVel(s.b2)[k] : 0)) * s.normal[k];
  return v;
}

void Shift(dBodyID corpo, const double* n, double d) {
  const dReal* p = dBodyGetPosition(corpo);
  dBodySetPosition(corpo, p[0] + static_cast<dReal>(n[0] * d), p[1] + static_cast<dReal>(n[1] * d),
                   p[2] + static_cast<dReal>(n[2] * d));
}

}  // namespace

void SeparateOverlaps(const std::vector<TOverlap>& sobreposicoes, double passo, double camada) {
  constexpr double Fracao = 0.5;  // as the contacts' soft_erp
  for (const TOverlap& s : sobreposicoes) {
    // What the step itself has not undone yet.
    const double resta = s.depth - std::max(SeparatingSpeed(s), 0.0) * passo - camada;
    if (resta <= 0) continue;
    const double w1 = InverseMass(s.b1), w2 = InverseMass(s.b2);
    if (w1 + w2 <= 0) continue;
    Shift(s.b1, s.normal, Fracao * resta * w1 / (w1 + w2));
    if (s.b2) Shift(s.b2, s.normal, -Fracao * resta * w2 / (w1 + w2));
  }
}

void TrataColisao(void* data, dGeomID o1, dGeomID o2) {
  auto& ctx = *static_cast<TCollisionContext*>(data);
  if (!ctx.Error.empty()) return;
  try {
    AddContacts(ctx, o1, o2);
    return;
  } catch (const std::exception& e) {
    ctx.Error = e.what();
  } catch (...) {
    ctx.Error = "erro desconhecido no motor de física";
  }
  for (const dGeomID g : {o1, o2}) {
    std::size_t i = 0;
    if (GeometryIndex(g, i)) ctx.ErrorObjects.push_back(i);
  }
}
