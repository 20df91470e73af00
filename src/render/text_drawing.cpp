#include "render/text_drawing.h"

#include <GL/gl.h>

#include <algorithm>

const TGlyph* TGlyphAtlas::Find(char32_t c) const {
  for (char32_t k : {c, char32_t{'?'}}) {
    const auto it = std::lower_bound(Codes.begin(), Codes.end(), k);
    if (it != Codes.end() && *it == k) return &Glyphs[static_cast<std::size_t>(it - Codes.begin())];
  }
  return nullptr;
}

std::vector<char32_t> DecodeUtf8(std::string_view s) {
  std::vector<char32_t> v;
  v.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    const int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
    char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
    bool ok = extra >= 0 && i + static_cast<std::size_t>(extra) < s.size();
    for (int k = 1; ok && k <= extra; ++k) {
      const auto cont = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
      ok = (cont & 0xC0) == 0x80;
      c = (c << 6) | (cont & 0x3F);
    }
    v.push_back(ok ? c : U'?');
    i += ok ? static_cast<std::size_t>(extra) + 1 : 1;
  }
  return v;
}

void TTextDrawing::Create(const TGlyphAtlas& atlas) {
  Release();
  atlas_ = &atlas;
  GLuint t = 0;
  glGenTextures(1, &t);
  glBindTexture(GL_TEXTURE_2D, t);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, atlas.Width, atlas.Height, 0, GL_ALPHA, GL_UNSIGNED_BYTE,
               atlas.Alpha.data());
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glBindTexture(GL_TEXTURE_2D, 0);
  texture_ = t;
}

void TTextDrawing::Release() {
  if (texture_ != 0) {
    const GLuint t = texture_;
    glDeleteTextures(1, &t);
  }
  texture_ = 0;
  atlas_ = nullptr;
}

void TTextDrawing::Begin(int largura, int altura) {
  width_ = largura;
  height_ = altura;
  vertices_.clear();
}

void TTextDrawing::End() {
  if (vertices_.empty() || !atlas_) return;
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_TEXTURE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, width_, height_, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture_);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);

  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  const TVertex* v = vertices_.data();
  glVertexPointer(2, GL_FLOAT, sizeof(TVertex), &v->x);
  glTexCoordPointer(2, GL_FLOAT, sizeof(TVertex), &v->u);
  glColorPointer(4, GL_FLOAT, sizeof(TVertex), v->cor.data());
  glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(vertices_.size()));

  glBindTexture(GL_TEXTURE_2D, 0);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glPopClientAttrib();
  glPopAttrib();
}

void TTextDrawing::Quad(int x, int y, int largura, int altura, float u0, float v0, float u1, float v1,
                        const TRgba& cor) {
  const auto f = [](int n) { return static_cast<float>(n); };
  vertices_.push_back({f(x), f(y), u0, v0, cor});
  vertices_.push_back({f(x + largura), f(y), u1, v0, cor});
  vertices_.push_back({f(x + largura), f(y + altura), u1, v1, cor});
  vertices_.push_back({f(x), f(y + altura), u0, v1, cor});
}

void TTextDrawing::Box(int x, int y, int largura, int altura, const TRgba& cor) {
  if (!atlas_) return;
  // Every point of the box samples the middle of the solid block.
  const float u = (static_cast<float>(atlas_->SolidX) + 1) / static_cast<float>(atlas_->Width);
  const float v = (static_cast<float>(atlas_->SolidY) + 1) / static_cast<float>(atlas_->Height);
  Quad(x, y, largura, altura, u, v, u, v, cor);
}

int TTextDrawing::Text(int x, int y, std::string_view utf8, const TRgba& cor) {
  if (!atlas_) return 0;
  const float du = 1.0f / static_cast<float>(atlas_->Width), dv = 1.0f / static_cast<float>(atlas_->Height);
  const int h = atlas_->LineHeight;
  int pena = x;
  for (char32_t c : DecodeUtf8(utf8)) {
    const TGlyph* g = atlas_->Find(c);
    if (!g) continue;
    Quad(pena, y, g->Advance, h, static_cast<float>(g->x) * du, static_cast<float>(g->y) * dv,
         static_cast<float>(g->x + g->Advance) * du, static_cast<float>(g->y + h) * dv, cor);
    pena += g->Advance;
  }
  return pena - x;
}

int TTextDrawing::Width(std::string_view utf8) const {
  if (!atlas_) return 0;
  int w = 0;
  for (char32_t c : DecodeUtf8(utf8))
    if (const TGlyph* g = atlas_->Find(c)) w += g->Advance;
  return w;
}
