#include "render/object_drawing.h"

#include "render/model_drawing.h"
#include "render/plane_grid.h"
#include "render/vector_drawing.h"
#include "scene/shape_kind.h"

#include <GL/gl.h>
#include <GL/glu.h>

// Colours always go with their alpha: Mesa's immediate mode (22.x) can keep an earlier alpha when a
// three-component colour follows a four-component one, which would halve lines drawn while blending is on.

namespace {

constexpr int FatiasQuadrica = 10;  // slices and stacks of spheres and capsules
constexpr float MeioEixoRotacao = 5.0f;

void Vertice(const TVector& p) {
  glVertex3f(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z));
}

void Translate(const TVector& p) {
  glTranslatef(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z));
}

void SolidColour(const TObjetoCena& o) {
  if (o.Agarrado) {
    glColor4f(1, 0.5f, 0.5f, 1);
  } else if (o.Proximo) {
    glColor4f(0.5f, 0.5f, 1, 1);
  } else {
    const float r = static_cast<float>(o.R / 255), g = static_cast<float>(o.G / 255),
                b = static_cast<float>(o.B / 255);
    if (o.A == 0)
      glColor4f(r, g, b, 1);
    else
      glColor4f(r, g, b, static_cast<float>(o.A / 255));
  }
}

// Blending at alpha 1 leaves nothing of what lies behind.
bool Opaque(const TObjetoCena& o) {
  return o.Agarrado || o.Proximo || o.A == 0 || static_cast<float>(o.A / 255) == 1;
}

// The body's pose, or the record's own pose for an object that has no body.
void ApplyPose(const TObjetoCena& o, dBodyID corpo) {
  if (corpo) {
    MultMatrizODE(dBodyGetPosition(corpo), dBodyGetRotation(corpo));
    return;
  }
  const dReal p[3] = {o.Posicao.x, o.Posicao.y, o.Posicao.z};
  const dQuaternion q = {o.Quaternio[0], o.Quaternio[1], o.Quaternio[2], o.Quaternio[3]};
  dMatrix3 r;
  dQtoR(q, r);
  MultMatrizODE(p, r);
}

void ObjectHeight(const TObjetoCena& o) {
  const TVector& p = o.Posicao;
  if (p.z > 0)
    glColor4f(0, 0, 1, 1);
  else
    glColor4f(1, 0, 0, 1);
  glBegin(GL_LINES);
  Vertice(p);
  Vertice({p.x, p.y, 0});
  glEnd();
  glBegin(GL_POINTS);
  Vertice({p.x, p.y, 0});
  glEnd();
}

// The rotation axis through the object's position, along the signed vector part of its quaternion.
void RotationAxis(const TObjetoCena& o) {
  glLineWidth(VectorLineWidth);
  glPushMatrix();
  Translate(o.Posicao);
  glScalef(MeioEixoRotacao, MeioEixoRotacao, MeioEixoRotacao);
  glColor4f(1, 0.5f, 0.5f, 1);
  const TVector eixo{o.Quaternio[1], o.Quaternio[2], o.Quaternio[3]};
  const double L = NormaVet(eixo);
  if (L != 0) {
    const TVector u = EscalaVet(eixo, 1 / L);
    glBegin(GL_LINES);
    Vertice(EscalaVet(u, -1));
    Vertice(u);
    glEnd();
  }
  glPopMatrix();
}

void DrawOverlay(const TObjetoCena& o, bool comAltura) {
  if (comAltura) ObjectHeight(o);
  if (o.MostraVecV) DrawVector(o.Posicao, o.VecV);
  if (o.MostraVecA) DrawVector(o.Posicao, o.VecA);
  if (o.MostraEixoRot) RotationAxis(o);
  glLineWidth(1);
}

}  // namespace

void MultMatrizODE(const dReal* p, const dReal* R) {
  const auto f = [](dReal v) { return static_cast<GLfloat>(v); };
  const GLfloat m[16] = {f(R[0]), f(R[4]), f(R[8]),  0,  //
                         f(R[1]), f(R[5]), f(R[9]),  0,  //
                         f(R[2]), f(R[6]), f(R[10]), 0,  //
                         f(p[0]), f(p[1]), f(p[2]),  1};
  glMultMatrixf(m);
}

void TObjectDrawing::Create() {
  cube_.Create();
  if (quadric_) return;
  quadric_ = gluNewQuadric();
}

void TObjectDrawing::Release() {
  cube_.Release();
  if (quadric_) gluDeleteQuadric(quadric_);
  quadric_ = nullptr;
}

void TObjectDrawing::DesenhaCubo() const {
  cube_.Draw();
}

void TObjectDrawing::DrawSolid(const TObjetoCena& o) const {
  switch (static_cast<TShapeKind>(o.ODETipo)) {
    case TShapeKind::Sphere:
      if (quadric_) gluSphere(quadric_, o.Dim[0], FatiasQuadrica, FatiasQuadrica);
      break;
    case TShapeKind::Capsule:
      if (!quadric_) break;
      glTranslatef(0, 0, static_cast<float>(o.Dim[1] / 2));
      gluSphere(quadric_, o.Dim[0], FatiasQuadrica, FatiasQuadrica);
      glTranslatef(0, 0, static_cast<float>(-o.Dim[1]));
      gluCylinder(quadric_, o.Dim[0], o.Dim[0], o.Dim[1], FatiasQuadrica, FatiasQuadrica);
      gluSphere(quadric_, o.Dim[0], FatiasQuadrica, FatiasQuadrica);
      break;
    case TShapeKind::Box:
      glScalef(static_cast<float>(o.Dim[0]), static_cast<float>(o.Dim[1]), static_cast<float>(o.Dim[2]));
      // Through a translucent box its far faces show.
      cube_.DrawSeenFaces(Opaque(o));
      break;
    case TShapeKind::Plane:
      DrawPlane(o);
      break;
    case TShapeKind::Mesh:
      glDisable(GL_COLOR_MATERIAL);
      DrawModel(o.Modelo);
      break;
    default:
      break;
  }
}

void TObjectDrawing::DesenhaObjetos(std::span<const TObjetoCena> objetos, std::span<const dBodyID> corpos,
                                    bool comAltura) const {
  glEnable(GL_LIGHTING);
  glEnable(GL_COLOR_MATERIAL);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_BLEND);
  for (size_t i = 0; i < objetos.size(); ++i) {
    const TObjetoCena& o = objetos[i];
    SolidColour(o);
    glPushMatrix();
    ApplyPose(o, i < corpos.size() ? corpos[i] : nullptr);
    DrawSolid(o);
    glPopMatrix();
    glEnable(GL_COLOR_MATERIAL);
  }
  glDisable(GL_COLOR_MATERIAL);
  glDisable(GL_LIGHTING);

  for (const TObjetoCena& o : objetos) DrawOverlay(o, comAltura);
  glDisable(GL_BLEND);
}

void TObjectDrawing::DrawPointerBlock(const TVector& PonteiroPos) const {
  glColor4f(1, 1, 0, 1);
  glPushMatrix();
  Translate(EscalaVet(PonteiroPos, -1));
  glScalef(1, 3, 1);
  cube_.DrawSeenFaces();
  glPopMatrix();
}
