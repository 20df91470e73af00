#include "render/link_drawing.h"

#include <GL/gl.h>

#include <cmath>
#include <numbers>

namespace {

// Two unit vectors square to `d` and to each other.
std::pair<TVector, TVector> Across(const TVector& d) {
  const TVector outro = std::fabs(d.z) < 0.9 ? TVector{0, 0, 1} : TVector{1, 0, 0};
  const TVector u = NormalizaVet(ProdVetorial(d, outro));
  return {u, ProdVetorial(d, u)};
}

void Vertex(const TVector& p) {
  glVertex3d(p.x, p.y, p.z);
}

void Line(const std::vector<TVector>& pontos, float largura) {
  glLineWidth(largura);
  glBegin(GL_LINE_STRIP);
  for (const TVector& p : pontos) Vertex(p);
  glEnd();
  glLineWidth(1);
}

void Block(const TVector& c, double lado) {
  const double h = lado / 2;
  glColor3f(0.25f, 0.22f, 0.2f);
  glBegin(GL_QUADS);
  for (int eixo = 0; eixo < 3; ++eixo) {
    for (const double s : {-h, h}) {
      const auto canto = [&](double a, double b) {
        double v[3];
        v[eixo] = s;
        v[(eixo + 1) % 3] = a;
        v[(eixo + 2) % 3] = b;
        Vertex({c.x + v[0], c.y + v[1], c.z + v[2]});
      };
      canto(-h, -h);
      canto(h, -h);
      canto(h, h);
      canto(-h, h);
    }
  }
  glEnd();
}

}  // namespace

std::vector<TVector> SpringCoil(const TVector& a, const TVector& b, int voltas, double raio, int porVolta) {
  const TVector d = SubVet(b, a);
  const double comprimento = NormaVet(d);
  if (!(comprimento > 0) || voltas < 1 || porVolta < 1) return {a, b};
  const auto [u, w] = Across(EscalaVet(d, 1 / comprimento));
  const int n = voltas * porVolta;
  std::vector<TVector> pontos{a};
  for (int k = 1; k < n; ++k) {
    const double f = double(k) / n, ang = 2 * std::numbers::pi * k / porVolta;
    // The coil's radius grows from the ends so that it starts and ends on the axis.
    const double r = raio * std::min(1.0, std::min(f, 1 - f) * 4 * voltas);
    pontos.push_back(SomaVet(SomaVet(a, EscalaVet(d, f)),
                             SomaVet(EscalaVet(u, r * std::cos(ang)), EscalaVet(w, r * std::sin(ang)))));
  }
  pontos.push_back(b);
  return pontos;
}

void DrawLinks(const TLinkSet& ligacoes) {
  for (const TLinkSet::TLinkShape& f : ligacoes.Shapes()) {
    if (f.Points.size() < 2) continue;
    const TVector& objeto = f.Points[0];
    const TVector& ancora = f.Points[1];
    switch (f.Kind) {
      case TLinkKind::Rod:
        glColor3f(0.7f, 0.7f, 0.7f);
        Line({objeto, ancora}, 3);
        break;
      case TLinkKind::Hinge:
        glColor3f(0.7f, 0.7f, 0.7f);
        Line({objeto, ancora}, 1);
        glColor3f(1, 0.5f, 0.5f);
        Line({SomaVet(ancora, EscalaVet(f.Axis, -HingeHalfAxis)),
              SomaVet(ancora, EscalaVet(f.Axis, HingeHalfAxis))},
             5);
        break;
      case TLinkKind::Spring:
        glColor3f(0.6f, 0.8f, 1);
        Line(SpringCoil(ancora, objeto, SpringTurns, SpringRadius, 12), 2);
        break;
      case TLinkKind::Rope:
      case TLinkKind::Pulley:
        glColor3f(0.9f, 0.8f, 0.55f);
        Line(f.Points, 2);
        break;
      case TLinkKind::None:
        break;
    }
    if (f.Kind == TLinkKind::Pulley && f.Points.size() >= 3) {
      Block(SomaVet(EscalaVet(SomaVet(f.Points[1], f.Points[2]), 0.5), {0, 0, AnchorBlock}), AnchorBlock);
    } else if (f.FixedAnchor) {
      Block(ancora, AnchorBlock);
    }
  }
}
