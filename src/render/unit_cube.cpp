#define GL_GLEXT_PROTOTYPES
#include "render/unit_cube.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <array>
#include <bit>
#include <cstdio>
#include <map>
#include <utility>

namespace {

constexpr int QuadsPorLado = 20;
constexpr float PassoCubo = 0.05f;

// Buffer objects came with OpenGL 1.5; an older driver gets the arrays from plain memory.
bool HasBufferObjects() {
  const auto* versao = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  int maior = 0, menor = 0;
  if (!versao || std::sscanf(versao, "%d.%d", &maior, &menor) != 2) return false;
  return maior > 1 || (maior == 1 && menor >= 5);
}

}  // namespace

// Each quad's corners are computed as (y, z), (y, z + step), (y + step, z + step), (y + step, z): in single
// precision y + step is not always the next quad's y, and a corner moved by one unit in the last place
// changes which of two coplanar faces wins a pixel (the pointer's block lying on a plane). So quads share a
// vertex only where their corners are equal to the last bit; that still spares the driver's vertex stage
// about a quarter of the corners, each corner being lit once however many triangles use it.
TUnitCube::TUnitCube() {
  vertices_.reserve(QuadsPorLado * QuadsPorLado * 4 * 3);
  indices_.reserve(QuadsPorLado * QuadsPorLado * 6);
  std::map<std::pair<uint32_t, uint32_t>, uint16_t> jaVistos;  // by the bits: 0 and -0 differ
  const auto canto = [&](float y, float z) {
    const auto [onde, novo] = jaVistos.try_emplace({std::bit_cast<uint32_t>(y), std::bit_cast<uint32_t>(z)},
                                                   static_cast<uint16_t>(vertices_.size() / 3));
    if (novo) vertices_.insert(vertices_.end(), {0.5f, y, z});
    return onde->second;
  };
  for (int i = 0; i < QuadsPorLado; ++i) {
    const float y = -0.5f + static_cast<float>(i) * PassoCubo;
    for (int j = 0; j < QuadsPorLado; ++j) {
      const float z = -0.5f + static_cast<float>(j) * PassoCubo;
      const uint16_t q[4] = {canto(y, z), canto(y, z + PassoCubo), canto(y + PassoCubo, z + PassoCubo),
                             canto(y + PassoCubo, z)};
      indices_.insert(indices_.end(), {q[0], q[1], q[2], q[0], q[2], q[3]});
    }
  }
}

void TUnitCube::Create() {
  GLint amostras = 1;
  glGetIntegerv(GL_SAMPLE_BUFFERS, &amostras);
  oneSampleAPixel_ = amostras == 0;
  if (vertexBuffer_ || !HasBufferObjects()) return;
  GLuint buffers[2] = {0, 0};
  glGenBuffers(2, buffers);
  vertexBuffer_ = buffers[0];
  indexBuffer_ = buffers[1];
  glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices_.size() * sizeof(float)), vertices_.data(),
               GL_STATIC_DRAW);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices_.size() * sizeof(uint16_t)),
               indices_.data(), GL_STATIC_DRAW);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

void TUnitCube::Release() {
  if (!vertexBuffer_) return;
  const GLuint buffers[2] = {vertexBuffer_, indexBuffer_};
  glDeleteBuffers(2, buffers);
  vertexBuffer_ = indexBuffer_ = 0;
}

// The six faces as the +x face under cumulative turns: +x, +y, -x, -y about z, then +z and -z about y.
// The same matrices as drawing the quads call by call, so the same corners on screen: faces that lie in
// one plane with another object (the pointer's block on a plane) keep the same depth pattern.
void TUnitCube::Draw() const {
  DrawFaces(nullptr);
}

// The view test needs the whole way to clip space: the frame keeps the view in the projection matrix.
void TUnitCube::DrawSeenFaces(bool opaque) const {
  if (!oneSampleAPixel_) {
    Draw();
    return;
  }
  GLdouble projecao[16], modelo[16];
  GLint viewport[4];
  glGetDoublev(GL_PROJECTION_MATRIX, projecao);
  glGetDoublev(GL_MODELVIEW_MATRIX, modelo);
  glGetIntegerv(GL_VIEWPORT, viewport);
  std::array<double, 16> clip{};
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r)
      for (int k = 0; k < 4; ++k) clip[4 * c + r] += projecao[4 * k + r] * modelo[4 * c + k];
  const TCubeView vista = ViewCube(
      clip, {double(viewport[0]), double(viewport[1]), double(viewport[2]), double(viewport[3])}, opaque);
  if (vista.anything) DrawFaces(&vista);
}

void TUnitCube::DrawFaces(const TCubeView* vista) const {
  const void* vertices = vertices_.data();
  const void* indices = indices_.data();
  if (vertexBuffer_) {
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
    vertices = nullptr;  // offsets into the bound buffers from here on
    indices = nullptr;
  }
  int proxima = 0;
  std::vector<uint16_t> parte;
  const auto face = [&] {
    const int k = proxima++;
    glNormal3f(1, 0, 0);
    if (!vista || vista->whole[k]) {
      glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices_.size()), GL_UNSIGNED_SHORT, indices);
      return;
    }
    if (vista->cells[k].none()) return;
    parte.clear();
    for (size_t q = 0; q < vista->cells[k].size(); ++q)
      if (vista->cells[k][q])
        parte.insert(parte.end(), indices_.begin() + 6 * q, indices_.begin() + 6 * q + 6);
    // A chosen few from plain memory: no index buffer bound while they go.
    if (indexBuffer_) glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(parte.size()), GL_UNSIGNED_SHORT, parte.data());
    if (indexBuffer_) glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
  };
  glPushMatrix();
  glVertexPointer(3, GL_FLOAT, 0, vertices);
  glEnableClientState(GL_VERTEX_ARRAY);
  face();
  for (int k = 0; k < 3; ++k) {
    glRotatef(90, 0, 0, 1);
    face();
  }
  glRotatef(-90, 0, 1, 0);
  face();
  glRotatef(-180, 0, 1, 0);
  face();
  glDisableClientState(GL_VERTEX_ARRAY);
  glPopMatrix();
  if (vertexBuffer_) {
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  }
}
