#include "render/text_drawing.h"

#include <GL/gl.h>

#include <algorithm>

namespace {

constexpr int RowWidth = 1024;  // the widest string kept in a row, pixels

}  // namespace

int PowerOfTwoAtLeast(int n) {
  int p = 1;
  while (p < n) p *= 2;
  return p;
}

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
  GLint largest = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
  textureWidth_ = std::max(atlas.Width, RowWidth);
  textureHeight_ = PowerOfTwoAtLeast(atlas.Height + std::max(wantedRows_, 0) * atlas.LineHeight);
  if (atlas.LineHeight <= 0 || textureWidth_ > largest || textureHeight_ > largest) {
    textureWidth_ = atlas.Width;  // the atlas alone, every string glyph by glyph
    textureHeight_ = atlas.Height;
  }
  if (atlas.LineHeight > 0)
    rows_.resize(
        static_cast<std::size_t>(std::min(wantedRows_, (textureHeight_ - atlas.Height) / atlas.LineHeight)));

  GLuint t = 0;
  glGenTextures(1, &t);
  glBindTexture(GL_TEXTURE_2D, t);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, textureWidth_, textureHeight_, 0, GL_ALPHA, GL_UNSIGNED_BYTE,
               nullptr);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, atlas.Width, atlas.Height, GL_ALPHA, GL_UNSIGNED_BYTE,
                  atlas.Alpha.data());
  glPopClientAttrib();
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
  rows_.clear();
  rowOf_.clear();
  uploads_.clear();
}

void TTextDrawing::Begin(int largura, int altura) {
  ++frame_;
  uploaded_ = 0;
  width_ = largura;
  height_ = altura;
  vertices_.clear();
  runs_.clear();
}

void TTextDrawing::End() {
  if (vertices_.empty() || !atlas_) return;
  glPushAttrib(GL_LIGHTING_BIT | GL_ENABLE_BIT | GL_CURRENT_BIT | GL_TEXTURE_BIT | GL_COLOR_BUFFER_BIT |
               GL_DEPTH_BUFFER_BIT);
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT | GL_CLIENT_PIXEL_STORE_BIT);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, width_, height_, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glDisable(GL_LIGHTING);
  // Every quad has one colour: not interpolating it spares the rasteriser work on each pixel.
  glShadeModel(GL_FLAT);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture_);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  uploaded_ = static_cast<int>(uploads_.size());
  for (const TUpload& u : uploads_)
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, RowTop(u.row), u.width, atlas_->LineHeight, GL_ALPHA,
                    GL_UNSIGNED_BYTE, u.alpha.data());
  uploads_.clear();

  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  const TVertex* v = vertices_.data();
  glVertexPointer(2, GL_FLOAT, sizeof(TVertex), &v->x);
  glTexCoordPointer(2, GL_FLOAT, sizeof(TVertex), &v->u);
  glColorPointer(4, GL_FLOAT, sizeof(TVertex), v->cor.data());
  for (std::size_t k = 0; k < runs_.size(); ++k) {
    const std::size_t fim = k + 1 < runs_.size() ? runs_[k + 1].first : vertices_.size();
    if (runs_[k].second)
      glEnable(GL_TEXTURE_2D);
    else
      glDisable(GL_TEXTURE_2D);
    glDrawArrays(GL_QUADS, static_cast<GLint>(runs_[k].first), static_cast<GLsizei>(fim - runs_[k].first));
  }

  glBindTexture(GL_TEXTURE_2D, 0);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glPopClientAttrib();
  glPopAttrib();
}

void TTextDrawing::Quad(int x, int y, int largura, int altura, float u0, float v0, float u1, float v1,
                        const TRgba& cor, bool textured) {
  if (runs_.empty() || runs_.back().second != textured) runs_.emplace_back(vertices_.size(), textured);
  const auto f = [](int n) { return static_cast<float>(n); };
  vertices_.push_back({f(x), f(y), u0, v0, cor});
  vertices_.push_back({f(x + largura), f(y), u1, v0, cor});
  vertices_.push_back({f(x + largura), f(y + altura), u1, v1, cor});
  vertices_.push_back({f(x), f(y + altura), u0, v1, cor});
}

void TTextDrawing::Box(int x, int y, int largura, int altura, const TRgba& cor) {
  if (atlas_) Quad(x, y, largura, altura, 0, 0, 0, 0, cor, false);
}

int TTextDrawing::RowFor(std::string_view utf8) {
  if (rows_.empty()) return -1;
  if (const auto it = rowOf_.find(utf8); it != rowOf_.end()) {
    rows_[static_cast<std::size_t>(it->second)].lastFrame = frame_;
    return it->second;
  }
  std::vector<const TGlyph*> glifos;
  int largura = 0;
  for (char32_t c : DecodeUtf8(utf8))
    if (const TGlyph* g = atlas_->Find(c)) {
      glifos.push_back(g);
      largura += g->Advance;
    }
  if (largura <= 0 || largura > textureWidth_) return -1;
  // The row left unused the longest; none while every row shows in this very frame.
  std::size_t livre = 0;
  for (std::size_t k = 1; k < rows_.size(); ++k)
    if (rows_[k].lastFrame < rows_[livre].lastFrame) livre = k;
  TRow& linha = rows_[livre];
  if (linha.lastFrame == frame_) return -1;
  if (!linha.text.empty()) rowOf_.erase(linha.text);

  const auto h = static_cast<std::size_t>(atlas_->LineHeight), w = static_cast<std::size_t>(largura);
  const auto larguraAtlas = static_cast<std::size_t>(atlas_->Width);
  TUpload envio{static_cast<int>(livre), largura, std::vector<std::uint8_t>(w * h)};
  std::size_t pena = 0;
  for (const TGlyph* g : glifos) {
    const auto avanco = static_cast<std::size_t>(g->Advance);
    for (std::size_t r = 0; r < h; ++r) {
      const auto origem = atlas_->Alpha.begin() +
                          static_cast<std::ptrdiff_t>((static_cast<std::size_t>(g->y) + r) * larguraAtlas +
                                                      static_cast<std::size_t>(g->x));
      std::copy(origem, origem + static_cast<std::ptrdiff_t>(avanco),
                envio.alpha.begin() + static_cast<std::ptrdiff_t>(r * w + pena));
    }
    pena += avanco;
  }
  int esquerda = largura, topo = atlas_->LineHeight, direita = 0, fundo = 0;
  for (std::size_t r = 0; r < h; ++r)
    for (std::size_t c = 0; c < w; ++c)
      if (envio.alpha[r * w + c] != 0) {
        esquerda = std::min(esquerda, static_cast<int>(c));
        direita = std::max(direita, static_cast<int>(c) + 1);
        topo = std::min(topo, static_cast<int>(r));
        fundo = std::max(fundo, static_cast<int>(r) + 1);
      }
  uploads_.push_back(std::move(envio));
  linha = {std::string(utf8), largura, esquerda, topo, direita, fundo, frame_};
  rowOf_.emplace(linha.text, static_cast<int>(livre));
  return static_cast<int>(livre);
}

int TTextDrawing::Text(int x, int y, std::string_view utf8, const TRgba& cor) {
  if (!atlas_) return 0;
  const float du = 1.0f / static_cast<float>(textureWidth_), dv = 1.0f / static_cast<float>(textureHeight_);
  const int h = atlas_->LineHeight;
  if (const int k = RowFor(utf8); k >= 0) {
    // Only where there is coverage: a texel of none leaves the pixel as it was.
    const TRow& linha = rows_[static_cast<std::size_t>(k)];
    const auto f = [](int n) { return static_cast<float>(n); };
    const int topo = RowTop(k);
    if (linha.right > linha.left)
      Quad(x + linha.left, y + linha.top, linha.right - linha.left, linha.bottom - linha.top,
           f(linha.left) * du, f(topo + linha.top) * dv, f(linha.right) * du, f(topo + linha.bottom) * dv,
           cor);
    return linha.width;
  }
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
