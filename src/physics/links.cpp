#include "physics/links.h"

#include <algorithm>
#include <cmath>

namespace {

// Turn of the fastest oscillation per step (rad): the semi-implicit step keeps energy to about half this.
constexpr double MaxPhasePerStep = 0.0025;
constexpr int MaxSubSteps = 64;

TVector Vec(const dReal* v) {
  return {v[0], v[1], v[2]};
}

bool Movable(dBodyID b) {
  return b && !dBodyIsKinematic(b);
}

double InverseMass(dBodyID b) {
  if (!Movable(b)) return 0;
  dMass m;
  dBodyGetMass(b, &m);
  return m.mass > 0 ? 1 / m.mass : 0;
}

TVector Centre(dBodyID b) {
  return Vec(dBodyGetPosition(b));
}

void Shift(dBodyID b, const TVector& d) {
  const TVector p = SomaVet(Centre(b), d);
  dBodySetPosition(b, p.x, p.y, p.z);
}

void AddVelocity(dBodyID b, const TVector& d) {
  const TVector v = SomaVet(Vec(dBodyGetLinearVel(b)), d);
  dBodySetLinearVel(b, v.x, v.y, v.z);
}

}  // namespace

void TLinkSet::Add(dWorldID mundo, const TLinkSpec& spec, dBodyID corpo, dBodyID outro) {
  TLink& l = links_.emplace_back();
  l.Spec = spec;
  l.Body = corpo;
  l.OtherBody = outro;
  l.LocalAnchor = spec.Anchor;
  if (outro && spec.Kind != TLinkKind::Pulley) {
    dVector3 local;
    dBodyGetPosRelPoint(outro, spec.Anchor.x, spec.Anchor.y, spec.Anchor.z, local);
    l.LocalAnchor = Vec(local);
  }
  double atLoad = NormaVet(SubVet(Centre(corpo), spec.Anchor));
  if (spec.Kind == TLinkKind::Pulley) {
    const TVector a = Centre(corpo), b = outro ? Centre(outro) : spec.Anchor;
    l.LocalAnchor = {a.x, a.y, spec.Anchor.z};
    l.PulleyOther = {b.x, b.y, spec.Anchor.z};
    atLoad = NormaVet(SubVet(a, l.LocalAnchor)) + NormaVet(SubVet(b, l.PulleyOther));
  }
  l.Length = spec.Length > 0 ? spec.Length : atLoad;
  const TVector& a = spec.Anchor;
  if (spec.Kind == TLinkKind::Rod) {
    l.Joint = dJointCreateBall(mundo, nullptr);
    dJointAttach(l.Joint, corpo, outro);
    dJointSetBallAnchor(l.Joint, a.x, a.y, a.z);
  } else if (spec.Kind == TLinkKind::Hinge) {
    l.Joint = dJointCreateHinge(mundo, nullptr);
    dJointAttach(l.Joint, corpo, outro);
    dJointSetHingeAnchor(l.Joint, a.x, a.y, a.z);
    const TVector e = NormalizaVet(spec.Axis);
    dJointSetHingeAxis(l.Joint, e.x, e.y, e.z);
  }
  l.Feedback = std::make_unique<dJointFeedback>();
  if (l.Joint) dJointSetFeedback(l.Joint, l.Feedback.get());
}

double FinestSubStep(double passo) {
  return passo / MaxSubSteps;
}

int TLinkSet::SubSteps(double passo, double gravidade) const {
  double fastest = 0;  // rad/s
  for (const TLink& l : links_) {
    const double w = InverseMass(l.Body) + InverseMass(l.OtherBody);
    if (l.Spec.Kind == TLinkKind::Spring) {
      fastest = std::max({fastest, std::sqrt(l.Spec.Stiffness * w), l.Spec.Damping * w});
    } else if (l.Length > 0) {
      // A swing's own pace under gravity, or how fast it turns now (a double pendulum whirls).
      const TVector v = SubVet(Vec(dBodyGetLinearVel(l.Body)),
                               l.OtherBody ? Vec(dBodyGetLinearVel(l.OtherBody)) : TVector{});
      fastest = std::max({fastest, std::sqrt(std::fabs(gravidade) / l.Length), NormaVet(v) / l.Length});
    }
  }
  const double n = std::ceil(fastest * passo / MaxPhasePerStep);
  return static_cast<int>(std::clamp(n, 1.0, double(MaxSubSteps)));
}

TVector TLinkSet::AnchorNow(const TLink& l) const {
  if (!l.OtherBody || l.Spec.Kind == TLinkKind::Pulley) return l.LocalAnchor;
  dVector3 p;
  dBodyGetRelPointPos(l.OtherBody, l.LocalAnchor.x, l.LocalAnchor.y, l.LocalAnchor.z, p);
  return Vec(p);
}

void TLinkSet::AddSpringForce(const TLink& l) const {
  const TVector ancora = AnchorNow(l);
  const TVector d = SubVet(ancora, Centre(l.Body));
  const double comprimento = NormaVet(d);
  if (!(comprimento > 1e-9)) return;
  const TVector u = EscalaVet(d, 1 / comprimento);  // from the object towards the anchor
  TVector vAncora{};
  if (l.OtherBody) {
    dVector3 v;
    dBodyGetPointVel(l.OtherBody, ancora.x, ancora.y, ancora.z, v);
    vAncora = Vec(v);
  }
  const double alongando = -Dot(SubVet(Vec(dBodyGetLinearVel(l.Body)), vAncora), u);
  const double puxa = l.Spec.Stiffness * (comprimento - l.Length) + l.Spec.Damping * alongando;
  const TVector f = EscalaVet(u, puxa);
  dBodyAddForce(l.Body, f.x, f.y, f.z);
  if (Movable(l.OtherBody)) dBodyAddForceAtPos(l.OtherBody, -f.x, -f.y, -f.z, ancora.x, ancora.y, ancora.z);
}

void TLinkSet::AddRopeContact(TLink& l, dWorldID mundo, dJointGroupID grupo, const TContactParameters& p) {
  const TVector c = Centre(l.Body);
  const TVector d = SubVet(AnchorNow(l), c);
  const double comprimento = NormaVet(d);
  if (comprimento < l.Length || !(comprimento > 1e-9)) return;  // slack: the rope does nothing
  // The contact keeps the object from moving away from the anchor along the rope, and lets it come
  // closer. At the object's centre, its lever arm on the other body is the anchor's: same line of action.
  dContact contato{};
  contato.surface.mode = 0;
  contato.surface.mu = 0;
  const double e = l.Spec.Object < p.Elasticidades.size() ? p.Elasticidades[l.Spec.Object] : -1;
  if (e > 0) {
    contato.surface.mode = dContactBounce;
    contato.surface.bounce = static_cast<float>(std::min(e, 1.0));
  }
  const TVector u = EscalaVet(d, 1 / comprimento);
  contato.geom.pos[0] = c.x, contato.geom.pos[1] = c.y, contato.geom.pos[2] = c.z;
  contato.geom.normal[0] = u.x, contato.geom.normal[1] = u.y, contato.geom.normal[2] = u.z;
  contato.geom.depth = comprimento - l.Length;
  dJointID j = dJointCreateContact(mundo, grupo, &contato);
  dJointAttach(j, l.Body, Movable(l.OtherBody) ? l.OtherBody : nullptr);
  dJointSetFeedback(j, l.Feedback.get());
  l.Joint = j;  // until the group is emptied; Tension is read from its feedback after the step
}

void TLinkSet::BeforeStep(dWorldID mundo, dJointGroupID grupo, const TContactParameters& parametros) {
  for (TLink& l : links_) {
    if (l.Spec.Kind == TLinkKind::Spring) AddSpringForce(l);
    if (l.Spec.Kind == TLinkKind::Rope) {
      l.Joint = nullptr;
      *l.Feedback = {};
      AddRopeContact(l, mundo, grupo, parametros);
    }
  }
}

// Two objects on either side of a fixed smooth pulley: the rope's length is the sum of each object's
// distance to its rim. The step has moved them freely; the rope's impulse then takes away what would lengthen
// it, shared by their masses, and the positions follow the changed velocities, as the step would have moved
// them.
void TLinkSet::HoldPulley(TLink& l, double passo) {
  l.Tension = 0;
  dBodyID a = l.Body, b = l.OtherBody;
  const double wa = InverseMass(a), wb = InverseMass(b);
  if (wa + wb <= 0) return;
  TVector da = SubVet(Centre(a), l.LocalAnchor), db = b ? SubVet(Centre(b), l.PulleyOther) : TVector{};
  const double la = NormaVet(da), lb = NormaVet(db);
  if (!(la > 1e-9) || (b && !(lb > 1e-9))) return;
  const TVector ua = EscalaVet(da, 1 / la), ub = b ? EscalaVet(db, 1 / lb) : TVector{};
  if (la + lb < l.Length) return;  // slack
  const double alongando = Dot(Vec(dBodyGetLinearVel(a)), ua) + (b ? Dot(Vec(dBodyGetLinearVel(b)), ub) : 0);
  if (alongando > 0) {
    const double impulso = alongando / (wa + wb);
    const TVector dva = EscalaVet(ua, -impulso * wa), dvb = EscalaVet(ub, -impulso * wb);
    AddVelocity(a, dva);
    Shift(a, EscalaVet(dva, passo));
    if (wb > 0) {
      AddVelocity(b, dvb);
      Shift(b, EscalaVet(dvb, passo));
    }
    l.Tension = impulso / passo;
  }
  da = SubVet(Centre(a), l.LocalAnchor);
  db = b ? SubVet(Centre(b), l.PulleyOther) : TVector{};
  const double excesso = NormaVet(da) + NormaVet(db) - l.Length;
  if (excesso <= 0) return;
  Shift(a, EscalaVet(ua, -excesso * wa / (wa + wb)));
  if (wb > 0) Shift(b, EscalaVet(ub, -excesso * wb / (wa + wb)));
}

// The contact stops a rope from stretching further; what one step overshot is taken back here, shared in
// inverse proportion to the masses, so the rope holds at its length.
void TLinkSet::KeepRopeLength(const TLink& l) const {
  const TVector d = SubVet(AnchorNow(l), Centre(l.Body));
  const double comprimento = NormaVet(d);
  const double excesso = comprimento - l.Length;
  if (excesso <= 0 || !(comprimento > 1e-9)) return;
  const double wa = InverseMass(l.Body), wb = InverseMass(l.OtherBody);
  const TVector u = EscalaVet(d, 1 / comprimento);
  Shift(l.Body, EscalaVet(u, excesso * wa / (wa + wb)));
  if (wb > 0) Shift(l.OtherBody, EscalaVet(u, -excesso * wb / (wa + wb)));
}

void TLinkSet::AfterStep(double passo) {
  for (TLink& l : links_) {
    if (l.Spec.Kind == TLinkKind::Pulley) HoldPulley(l, passo);
    if (l.Spec.Kind == TLinkKind::Rope) {
      l.Tension = l.Joint ? Dot(Vec(l.Feedback->f1), NormalizaVet(SubVet(AnchorNow(l), Centre(l.Body)))) : 0;
      l.Joint = nullptr;
      KeepRopeLength(l);
    }
  }
}

double TLinkSet::SpringEnergy(const TLink& l) const {
  const double x = NormaVet(SubVet(AnchorNow(l), Centre(l.Body))) - l.Length;
  return l.Spec.Stiffness * x * x / 2;
}

double TLinkSet::Pull(const TLink& l) const {
  const TVector d = SubVet(AnchorNow(l), Centre(l.Body));
  const double comprimento = NormaVet(d);
  switch (l.Spec.Kind) {
    case TLinkKind::Spring: {
      return l.Spec.Stiffness * (comprimento - l.Length);
    }
    case TLinkKind::Rod:
    case TLinkKind::Hinge:
      return comprimento > 1e-9 ? Dot(Vec(l.Feedback->f1), EscalaVet(d, 1 / comprimento)) : 0;
    default:
      return l.Tension;
  }
}

std::optional<TLinkReading> TLinkSet::Reading(std::size_t objeto) const {
  for (const TLink& l : links_) {
    if (l.Spec.Object != objeto && l.Spec.Other != objeto) continue;
    TLinkReading r;
    r.Kind = l.Spec.Kind;
    r.Length = NormaVet(SubVet(AnchorNow(l), Centre(l.Body)));
    if (l.Spec.Kind == TLinkKind::Pulley && l.OtherBody)
      r.Length += NormaVet(SubVet(Centre(l.OtherBody), l.PulleyOther));
    r.Extension = r.Length - l.Length;
    r.Force = Pull(l);
    return r;
  }
  return std::nullopt;
}

double TLinkSet::ElasticEnergy() const {
  double e = 0;
  for (const TLink& l : links_)
    if (l.Spec.Kind == TLinkKind::Spring) e += SpringEnergy(l);
  return e;
}

double TLinkSet::ElasticEnergyOf(std::size_t objeto) const {
  double e = 0;
  for (const TLink& l : links_)
    if (l.Spec.Kind == TLinkKind::Spring && l.Spec.Object == objeto) e += SpringEnergy(l);
  return e;
}

bool TLinkSet::Linked(std::size_t objeto) const {
  return std::any_of(links_.begin(), links_.end(),
                     [&](const TLink& l) { return l.Spec.Object == objeto || l.Spec.Other == objeto; });
}

std::vector<TLinkSet::TLinkShape> TLinkSet::Shapes() const {
  std::vector<TLinkShape> formas;
  for (const TLink& l : links_) {
    TLinkShape f{l.Spec.Kind, {Centre(l.Body), AnchorNow(l)}, {}, !l.OtherBody, l.Length};
    if (l.Spec.Kind == TLinkKind::Pulley) {
      f.FixedAnchor = true;
      f.Points.push_back(l.PulleyOther);
      if (l.OtherBody) f.Points.push_back(Centre(l.OtherBody));
    }
    if (l.Spec.Kind == TLinkKind::Hinge && l.Joint) {
      dVector3 e;
      dJointGetHingeAxis(l.Joint, e);
      f.Axis = Vec(e);
    }
    formas.push_back(std::move(f));
  }
  return formas;
}
