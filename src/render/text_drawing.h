#pragma once
// Text on top of the picture: the glyphs are drawn once into an atlas (by whoever has fonts), uploaded
// once into one alpha texture, and every string and box becomes a quad of one vertex array, drawn in a 2D
// pass over the finished picture (strings textured, boxes plain).
//
// A software rasteriser pays for every triangle far more than for its pixels, so a string is not drawn
// glyph by glyph: its glyphs are copied side by side into a row of the same texture, below the atlas, and
// the string becomes one quad. A row is kept for as long as its string is drawn, so a frame uploads only
// the strings that changed since the last (the numbers that moved), never the whole panel. When every row
// is taken in a frame, or a string is wider than a row, the string goes glyph by glyph: same pixels.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

struct TGlyph {
  int x = 0, y = 0;  // top-left corner of its cell in the atlas
  int Advance = 0;   // cell width and pen advance, pixels
};

struct TGlyphAtlas {
  int Width = 0, Height = 0;        // pixels, both powers of two
  int LineHeight = 0;               // height of every cell
  std::vector<std::uint8_t> Alpha;  // Width x Height coverage, top row first
  std::vector<char32_t> Codes;      // ascending; Glyphs[k] draws Codes[k]
  std::vector<TGlyph> Glyphs;

  // The glyph of `c`, or of '?' when the atlas lacks it (null when it lacks both).
  const TGlyph* Find(char32_t c) const;
};

// The least power of two that is at least n (1 for n <= 1): the atlas's and the texture's sides.
int PowerOfTwoAtLeast(int n);

// The code points of UTF-8 text; a malformed byte reads as '?'.
std::vector<char32_t> DecodeUtf8(std::string_view texto);

class TTextDrawing {
 public:
  using TRgba = std::array<float, 4>;

  // `linhas`: how many strings are kept drawn in the texture at most (0: every string glyph by glyph).
  explicit TTextDrawing(int linhas = 128) : wantedRows_(linhas) {}

  // With the context current: uploads the atlas as one texture. Release before the context goes.
  void Create(const TGlyphAtlas& atlas);
  void Release();
  bool Ready() const { return texture_ != 0; }

  // A pixel-exact pass over `largura` x `altura` pixels, origin at the top left. Box and Text collect
  // their quads in order; End uploads the strings new to the texture, draws every quad at once and
  // restores every GL state, binding and matrix it changed.
  void Begin(int largura, int altura);
  void End();

  void Box(int x, int y, int largura, int altura, const TRgba& cor);
  // The text with its top-left corner at (x, y); returns its width.
  int Text(int x, int y, std::string_view utf8, const TRgba& cor);
  int Width(std::string_view utf8) const;
  int LineHeight() const { return atlas_ ? atlas_->LineHeight : 0; }
  // How many strings the last End sent to the texture: those new since the frame before.
  int StringsUploaded() const { return uploaded_; }

 private:
  struct TVertex {
    float x, y, u, v;
    TRgba cor;
  };
  struct TRow {
    std::string text;
    int width = 0;
    // Where its pixels have any coverage: the rest adds nothing to the picture.
    int left = 0, top = 0, right = 0, bottom = 0;
    std::uint64_t lastFrame = 0;  // 0: never used
  };
  struct TUpload {
    int row = 0, width = 0;
    std::vector<std::uint8_t> alpha;  // width x LineHeight, top row first
  };

  void Quad(int x, int y, int largura, int altura, float u0, float v0, float u1, float v1, const TRgba& cor,
            bool textured = true);
  // The row that holds the string in this frame, composed anew when needed; -1 when none can.
  int RowFor(std::string_view utf8);
  int RowTop(int row) const { return atlas_->Height + row * atlas_->LineHeight; }

  const TGlyphAtlas* atlas_ = nullptr;
  unsigned texture_ = 0;
  int textureWidth_ = 0, textureHeight_ = 0;
  int wantedRows_;
  std::vector<TRow> rows_;
  // Looked up by the caller's own text, so a string already kept costs no copy a frame.
  struct TTextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::unordered_map<std::string, int, TTextHash, std::equal_to<>> rowOf_;
  std::vector<TUpload> uploads_;  // composed, not yet sent: End sends them before it draws
  std::uint64_t frame_ = 0;
  int uploaded_ = 0;
  int width_ = 0, height_ = 0;
  std::vector<TVertex> vertices_;  // kept between frames, so its memory is reused
  // Where each run of textured quads (strings) or plain ones (boxes) starts, in drawing order: a box
  // samples no texture, which spares the rasteriser a lookup for each of its many pixels.
  std::vector<std::pair<std::size_t, bool>> runs_;
};
