#pragma once
// Text on top of the picture: the glyphs are drawn once into an atlas (by whoever has fonts), uploaded
// once as one alpha texture, and every string and box becomes textured quads of one vertex array, drawn
// by a single call in a 2D pass over the finished picture. No texture is uploaded per frame.

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

struct TGlyph {
  int x = 0, y = 0;  // top-left corner of its cell in the atlas
  int Advance = 0;   // cell width and pen advance, pixels
};

struct TGlyphAtlas {
  int Width = 0, Height = 0;        // pixels, both powers of two
  int LineHeight = 0;               // height of every cell
  int SolidX = 0, SolidY = 0;       // a 2 x 2 block of full coverage, which boxes are drawn with
  std::vector<std::uint8_t> Alpha;  // Width x Height coverage, top row first
  std::vector<char32_t> Codes;      // ascending; Glyphs[k] draws Codes[k]
  std::vector<TGlyph> Glyphs;

  // The glyph of `c`, or of '?' when the atlas lacks it (null when it lacks both).
  const TGlyph* Find(char32_t c) const;
};

// The code points of UTF-8 text; a malformed byte reads as '?'.
std::vector<char32_t> DecodeUtf8(std::string_view texto);

class TTextDrawing {
 public:
  using TRgba = std::array<float, 4>;

  // With the context current: uploads the atlas as one texture. Release before the context goes.
  void Create(const TGlyphAtlas& atlas);
  void Release();
  bool Ready() const { return texture_ != 0; }

  // A pixel-exact pass over `largura` x `altura` pixels, origin at the top left. Box and Text collect
  // their quads in order; End draws them all at once and restores every GL state and matrix it changed.
  void Begin(int largura, int altura);
  void End();

  void Box(int x, int y, int largura, int altura, const TRgba& cor);
  // The text with its top-left corner at (x, y); returns its width.
  int Text(int x, int y, std::string_view utf8, const TRgba& cor);
  int Width(std::string_view utf8) const;
  int LineHeight() const { return atlas_ ? atlas_->LineHeight : 0; }

 private:
  struct TVertex {
    float x, y, u, v;
    TRgba cor;
  };
  void Quad(int x, int y, int largura, int altura, float u0, float v0, float u1, float v1, const TRgba& cor);

  const TGlyphAtlas* atlas_ = nullptr;
  unsigned texture_ = 0;
  int width_ = 0, height_ = 0;
  std::vector<TVertex> vertices_;  // kept between frames, so its memory is reused
};
