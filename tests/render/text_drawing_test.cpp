// A string drawn as one quad from a row of the texture must give the very pixels of the same string drawn
// glyph by glyph, while rows are taken, reused for other strings and run out from frame to frame.

#include "render/text_drawing.h"
#include "support_gl/gl_test_context.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int Largura = 160, Altura = 60;

// Three glyphs of different widths whose coverage differs in every texel, with empty top and bottom rows
// (as real glyphs have).
TGlyphAtlas Atlas() {
  TGlyphAtlas a;
  a.Width = 64;
  a.Height = 16;
  a.LineHeight = 9;
  a.Codes = {U'?', U'a', U'b'};
  a.Alpha.assign(64 * 16, 0);
  int x = 0;
  for (int k = 0; k < 3; ++k) {
    const int avanco = 4 + 2 * k;
    a.Glyphs.push_back({x, 0, avanco});
    for (int r = 2; r < 8; ++r)
      for (int c = 0; c < avanco; ++c)
        a.Alpha[static_cast<size_t>(r * 64 + x + c)] = uint8_t(20 + 7 * r + 31 * c + 60 * k);
    x += avanco;
  }
  return a;
}

std::vector<uint8_t> Desenha(TTextDrawing& texto, const std::vector<std::string>& linhas) {
  glClearColor(0.2f, 0.3f, 0.4f, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  texto.Begin(Largura, Altura);
  texto.Box(2, 2, 60, 40, {0, 0, 0, 0.6f});
  int y = 3;
  for (const std::string& l : linhas) {
    texto.Text(5, y, l, {1, 0.5f, 0.25f, 0.8f});
    y += 10;
  }
  texto.End();
  std::vector<uint8_t> p(Largura * Altura * 4);
  glReadPixels(0, 0, Largura, Altura, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
  return p;
}

TEST(TextDrawing, StringsFromRowsDrawTheSamePixelsAsGlyphByGlyphAndOnlyNewOnesAreUploaded) {
  TTestGLContext contexto(Largura, Altura);
  const TGlyphAtlas atlas = Atlas();
  TTextDrawing linhas(3), glifos(0);
  linhas.Create(atlas);
  glifos.Create(atlas);
  const std::string larga(300, 'b');  // wider than a row: glyph by glyph
  struct TQuadro {
    std::vector<std::string> textos;
    int enviados;
  };
  const TQuadro quadros[] = {
      {{"ab", "ba?", "aab", "bbb"}, 3},  // three rows taken, the fourth string goes glyph by glyph
      {{"ab", "ba?", "aab"}, 0},         // all kept
      {{"ab", "bz", "aab"}, 1},          // a changed string takes the row left unused
      {{"ab", "bz", larga, ""}, 0},
      {{"b", "ba?", "ab"}, 3},  // the rows least recently drawn go first, even one wanted later on
  };
  for (const TQuadro& q : quadros) {
    EXPECT_EQ(Desenha(linhas, q.textos), Desenha(glifos, q.textos)) << q.textos[0] << " " << q.textos[1];
    EXPECT_EQ(linhas.StringsUploaded(), q.enviados) << q.textos[0] << " " << q.textos[1];
  }
  EXPECT_EQ(glifos.StringsUploaded(), 0);

  // A pass left without its end: what it composed is still sent before it is drawn.
  linhas.Begin(Largura, Altura);
  linhas.Text(5, 3, "aaa?", {1, 1, 1, 1});
  EXPECT_EQ(Desenha(linhas, {"aaa?"}), Desenha(glifos, {"aaa?"}));
  linhas.Release();
  glifos.Release();
}

}  // namespace
