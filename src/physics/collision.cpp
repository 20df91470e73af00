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

void AddContacts(TCollisionContext& ctx, dGeomID o1, dGeomID o2) {
  dBodyID b1 = dGeomGetBody(o1);
  dBodyID b2 = dGeomGetBody(o2);
  if (b1 && b2 && dAreConnected(b1, b2)) return;
  // Contacts between things that cannot move change nothing; the engine need not carry them.
  if (!IsDynamic(b1) && !IsDynamic(b2)) return;

  dContact contatos[ContatosMax] = {};
  const dSurfaceParameters superficie = ContactSurface(ctx.ContactParameters->TipoDeColisao,
                                                       PairFriction(o1, b1, o2, b2, *ctx.ContactParameters));
  for (dContact& c : contatos) c.surface = superficie;

  const int n = Contacts(o1, o2, ctx.EndCap, contatos);
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

dSurfaceParameters ContactSurface(int TipoDeColisao, double mu) {
  dSurfaceParameters s{};
  s.mode = dContactBounce | dContactSoftERP | dContactSoftCFM | dContactApprox1;
  s.mu = static_cast<float>(mu);
  s.mu2 = 0;
  s.bounce = static_cast<float>(RestitutionOfKind(TipoDeColisao));
  s.bounce_vel = 0;
  s.soft_erp = 0.5f;
  s.soft_cfm = 0;
  return s;
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
