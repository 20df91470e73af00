#include "render/model_drawing.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>

namespace {

const TMaterial& GroupMaterial(const TModel& modelo, const TGroup& grupo) {
  static const TMaterial zero;
  const int32_t i = grupo.MaterialIndex;
  const bool valido = i >= 1 && i <= modelo.MaterialCount && static_cast<size_t>(i) < modelo.Materials.size();
  return valido ? modelo.Materials[static_cast<size_t>(i)] : zero;
}

void ApplyMaterial(const TMaterial& m) {
  const auto rgba = [](const float c[3]) {
    return std::array<GLfloat, 4>{c[0], c[1], c[2], AlfaMaterialModelo};
  };
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, rgba(m.Diffuse).data());
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, rgba(m.Specular).data());
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, rgba(m.Ambient).data());
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, m.Shininess);
  if (m.Texture != 0) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, m.Texture);
  } else {
    glDisable(GL_TEXTURE_2D);
  }
}

GLenum Primitive(int32_t cantos) {
  if (cantos == 3) return GL_TRIANGLES;
  if (cantos == 4) return GL_QUADS;
  return GL_POLYGON;
}

// Newell's normal: the polygon's own facing, sound for any number of corners (GL_NORMALIZE scales it).
TVertex3f FaceNormal(const TModel& modelo, const TFace& face) {
  TVertex3f n;
  const size_t cantos = face.VertexIndex.size();
  for (size_t c = 0; c < cantos; ++c) {
    const TVertex3f& a = modelo.Vertices[static_cast<size_t>(face.VertexIndex[c])];
    const TVertex3f& b = modelo.Vertices[static_cast<size_t>(face.VertexIndex[(c + 1) % cantos])];
    n.x += (a.y - b.y) * (a.z + b.z);
    n.y += (a.z - b.z) * (a.x + b.x);
    n.z += (a.x - b.x) * (a.y + b.y);
  }
  return n;
}

// A corner without a usable normal of its own gets the face's: otherwise it would be lit with whatever
// normal the face before it left behind.
void DrawFace(const TModel& modelo, const TFace& face) {
  bool faltaNormal = false;
  for (size_t c = 0; c < static_cast<size_t>(face.Count); ++c) faltaNormal |= !CornerNormal(modelo, face, c);
  const TVertex3f daFace = faltaNormal ? FaceNormal(modelo, face) : TVertex3f{};
  glBegin(Primitive(face.Count));
  for (size_t c = 0; c < static_cast<size_t>(face.Count); ++c) {
    const TVertex3f* propria = CornerNormal(modelo, face, c);
    const TVertex3f& n = propria ? *propria : daFace;
    glNormal3f(n.x, n.y, n.z);
    const TVertex3f& v = modelo.Vertices[static_cast<size_t>(face.VertexIndex[c])];
    glVertex3f(v.x, v.y, v.z);
  }
  glEnd();
}

}  // namespace

void DrawModel(const TModel& modelo) {
  const size_t grupos =
      std::min(static_cast<size_t>(std::max(modelo.GroupCount, 0)) + 1, modelo.Groups.size());
  for (size_t g = 1; g < grupos; ++g) {
    const TGroup& grupo = modelo.Groups[g];
    ApplyMaterial(GroupMaterial(modelo, grupo));
    const size_t faces = std::min(static_cast<size_t>(std::max(grupo.FaceCount, 0)) + 1, grupo.Faces.size());
    for (size_t f = 1; f < faces; ++f)
      if (ValidFace(modelo, grupo.Faces[f])) DrawFace(modelo, grupo.Faces[f]);
  }
}
