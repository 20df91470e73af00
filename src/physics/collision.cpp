#include "physics/collision.h"

#include "physics/geometry_factory.h"

#include <algorithm>
#include <cmath>

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
  const auto& ctx = *static_cast<const TCollisionContext*>(data);
  dBodyID b1 = dGeomGetBody(o1);
  dBodyID b2 = dGeomGetBody(o2);
  if (b1 && b2 && dAreConnected(b1, b2)) return;
  // Contacts between things that cannot move change nothing; the engine need not carry them.
  if (!IsDynamic(b1) && !IsDynamic(b2)) return;

  dContact contatos[ContatosMax] = {};
  const dSurfaceParameters superficie = ContactSurface(ctx.ContactParameters->TipoDeColisao,
                                                       PairFriction(o1, b1, o2, b2, *ctx.ContactParameters));
  for (dContact& c : contatos) c.surface = superficie;

  const int n = dCollide(o1, o2, ContatosMax, &contatos[0].geom, sizeof(dContact));
  for (int i = 0; i < n; ++i) {
    dJointID junta = dJointCreateContact(ctx.Mundo, ctx.GrupoContatos, &contatos[i]);
    dJointAttach(junta, b1, b2);
  }
}
