#include "physics/links.h"

#include <algorithm>
#include <cmath>

namespace {

// Turn of the fastest oscillation per step (rad): the semi-implicit step keeps energy to about half this.
constexpr double MaxPhasePerStep = 0.0025;
constexpr int MaxSubSteps = 64;
// How hard a pulley stops what arrives at it (m/s²). A block meeting the wheel at speed would stop within
// one step, and that one impact would set the scale of every acceleration plot, flattening the motion the
// lesson measures; the rope brakes it over the last stretch before the wheel instead.
constexpr double PulleyStop = 2 * 9.81;

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

// After the step: a change of velocity moves the body as the step would have moved it.
void Nudge(dBodyID b, const TVector& dv, double passo) {
  AddVelocity(b, dv);
  Shift(b, EscalaVet(dv, passo));
}

// How far the body's shape reaches from its centre along the unit `u` (its box around the shape); a body
// without a shape is a point.
double Reach(dBodyID b, const TVector& u) {
  dGeomID g = dBodyGetFirstGeom(b);
  if (!g) return 0;
  dReal caixa[6];
  dGeomGetAABB(g, caixa);
  return ((caixa[1] - caixa[0]) * std::fabs(u.x) + (caixa[3] - caixa[2]) * std::fabs(u.y) +
          (caixa[5] - caixa[4]) * std::fabs(u.z)) /
         2;
}

// Rope left between the rim and an object before it meets the wheel, `u` down the rope.
double Gap(dBodyID b, const TVector& rim, const TVector& u) {
  return NormaVet(SubVet(Centre(b), rim)) - Reach(b, u);
}

// A launch that moves the linked point would be cut at the first step to what the link allows, losing
// speed to the joint. A rod or hinge carries its object round the anchor, so the launch's velocity comes
// with the spin that goes with it: for a rod any spin about the rod is the row's own; a hinge turns about
// its axis only.
void SpinWithLaunch(dBodyID corpo, dBodyID outro, const TLinkSpec& spec) {
  if (!Movable(corpo)) return;
  const TVector c = Centre(corpo), r = SubVet(c, spec.Anchor);
  const double r2 = Dot(r, r);
  if (!(r2 > 1e-12)) return;
  TVector vOutro{}, wOutro{};
  if (outro) {
    // A rod's object turns about the anchor as it moves; a hinge's turns with the other body besides.
    const TVector p = spec.Kind == TLinkKind::Rod ? spec.Anchor : c;
    dVector3 v;
    dBodyGetPointVel(outro, p.x, p.y, p.z, v);
    vOutro = Vec(v);
    wOutro = Vec(dBodyGetAngularVel(outro));
  }
  const TVector v = SubVet(Vec(dBodyGetLinearVel(corpo)), vOutro);
  if (NormaVet(v) == 0) return;  // a spin alone is the row's to give
  const TVector w = Vec(dBodyGetAngularVel(corpo));
  TVector giro;
  if (spec.Kind == TLinkKind::Rod) {
    giro = SomaVet(EscalaVet(ProdVetorial(r, v), 1 / r2), EscalaVet(r, Dot(w, r) / r2));
  } else {
    const TVector e = NormalizaVet(spec.Axis), volta = ProdVetorial(e, r);
    const double v2 = Dot(volta, volta);
    if (!(v2 > 1e-12)) return;
    giro = SomaVet(wOutro, EscalaVet(e, Dot(volta, v) / v2));
  }
  dBodySetAngularVel(corpo, giro.x, giro.y, giro.z);
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
  if (spec.Kind == TLinkKind::Rod || spec.Kind == TLinkKind::Hinge) SpinWithLaunch(corpo, outro, spec);
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
// them. What comes up to the wheel stops there, and a taut rope stops the other side with it.
void TLinkSet::HoldPulley(TLink& l, double passo) {
  l.Tension = 0;
  struct TSide {
    dBodyID Body;
    double W;         // inverse mass
    TVector U;        // from the rim down the rope to the object
    double Pull = 0;  // the rope's impulse on it this step
  };
  const TVector rims[2] = {l.LocalAnchor, l.PulleyOther};
  TSide lados[2] = {};
  int n = 0;
  double comprimento = 0;
  for (dBodyID corpo : {l.Body, l.OtherBody}) {
    if (!corpo) break;
    const TVector d = SubVet(Centre(corpo), rims[n]);
    const double len = NormaVet(d);
    if (!(len > 1e-9)) return;
    const TVector u = EscalaVet(d, 1 / len);
    lados[n++] = {corpo, InverseMass(corpo), u};
    comprimento += len;
  }
  if (lados[0].W + (n > 1 ? lados[1].W : 0) <= 0) return;
  const bool esticada = comprimento >= l.Length;
  const auto afastando = [](const TSide& s) { return Dot(Vec(dBodyGetLinearVel(s.Body)), s.U); };
  if (esticada) {
    double alongando = 0, w = 0;
    for (int k = 0; k < n; ++k) alongando += afastando(lados[k]), w += lados[k].W;
    if (alongando > 0) {
      const double impulso = alongando / w;
      for (int k = 0; k < n; ++k) {
        if (lados[k].W > 0) Nudge(lados[k].Body, EscalaVet(lados[k].U, -impulso * lados[k].W), passo);
        lados[k].Pull = impulso;
      }
    }
  }
  // Near the wheel an object closes in no faster than it can still stop, nor past the wheel within the
  // next step (measured where the rope's impulse has put it); what it gives up, a taut rope takes from the
  // other side too, and the wheel takes the difference of the pulls.
  for (int k = 0; k < n; ++k) {
    TSide& s = lados[k];
    if (s.W <= 0) continue;
    const double folga = std::max(Gap(s.Body, rims[k], s.U), 0.0);
    const double chegando = -afastando(s),
                 permitido = std::min(std::sqrt(2 * PulleyStop * folga), folga / passo);
    if (chegando <= permitido) continue;
    const double freio = chegando - permitido;
    Nudge(s.Body, EscalaVet(s.U, freio), passo);
    s.Pull -= freio / s.W;
    if (!esticada || n < 2) continue;
    TSide& o = lados[1 - k];
    const double segue = std::min(freio, std::max(afastando(o), 0.0));
    if (o.W <= 0 || segue <= 0) continue;
    Nudge(o.Body, EscalaVet(o.U, -segue), passo);
    o.Pull += segue / o.W;
  }
  if (esticada) l.Tension = std::max(0.0, std::max(lados[0].Pull, n > 1 ? lados[1].Pull : 0.0)) / passo;
  // Positions: an object past the wheel goes back to it; a rope still too long is taken in on the sides
  // that can still rise, shared by their masses.
  double excesso = -l.Length, w = 0;
  bool presos[2] = {false, false};
  for (int k = 0; k < n; ++k) {
    TSide& s = lados[k];
    const double alem = -Gap(s.Body, rims[k], s.U);
    if (s.W > 0 && alem > -1e-6) {  // at the wheel, to the engine's single precision
      if (alem > 0) Shift(s.Body, EscalaVet(s.U, alem));
      presos[k] = true;
    }
    excesso += NormaVet(SubVet(Centre(s.Body), rims[k]));
    if (!presos[k]) w += s.W;
  }
  if (excesso <= 0 || w <= 0) return;
  for (int k = 0; k < n; ++k)
    if (!presos[k] && lados[k].W > 0) Shift(lados[k].Body, EscalaVet(lados[k].U, -excesso * lados[k].W / w));
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
