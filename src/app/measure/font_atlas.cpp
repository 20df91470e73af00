#include "app/measure/font_atlas.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace {

constexpr int AtlasWidth = 512;

std::vector<char32_t> Characters() {
  std::vector<char32_t> v;
  for (char32_t c = 32; c < 127; ++c) v.push_back(c);
  for (char32_t c = 160; c < 256; ++c) v.push_back(c);
  // Greek letters name quantities in scenes ("Caixa μ=0,8"); a few signs of physics texts.
  for (char32_t c = U'Α'; c <= U'ω'; ++c) v.push_back(c);
  for (char32_t c : {U'—', U'−', U'·', U'→', U'≈', U'…', U'×'})
    if (c > 255) v.push_back(c);
  return v;
}

}  // namespace

QFont OverlayFont() {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setStyleHint(QFont::SansSerif);
  f.setPixelSize(13);
  return f;
}

TGlyphAtlas RenderGlyphAtlas(const QFont& fonte) {
  const QFontMetrics medidas(fonte);
  TGlyphAtlas atlas;
  atlas.LineHeight = medidas.height();
  atlas.Codes = Characters();
  int x = 0, y = 0;
  for (char32_t c : atlas.Codes) {
    const int avanco = medidas.horizontalAdvance(QString::fromUcs4(&c, 1));
    if (x + avanco > AtlasWidth) {
      x = 0;
      y += atlas.LineHeight;
    }
    atlas.Glyphs.push_back({x, y, avanco});
    x += avanco;
  }
  atlas.Width = AtlasWidth;
  atlas.Height = PowerOfTwoAtLeast(y + atlas.LineHeight);

  QImage imagem(atlas.Width, atlas.Height, QImage::Format_ARGB32_Premultiplied);
  imagem.fill(Qt::transparent);
  {
    QPainter p(&imagem);
    p.setFont(fonte);
    p.setPen(Qt::white);
    for (std::size_t k = 0; k < atlas.Codes.size(); ++k) {
      const TGlyph& g = atlas.Glyphs[k];
      p.drawText(g.x, g.y + medidas.ascent(), QString::fromUcs4(&atlas.Codes[k], 1));
    }
  }
  atlas.Alpha.resize(static_cast<std::size_t>(atlas.Width) * static_cast<std::size_t>(atlas.Height));
  for (int r = 0; r < atlas.Height; ++r) {
    const auto* linha = reinterpret_cast<const QRgb*>(imagem.constScanLine(r));
    for (int c = 0; c < atlas.Width; ++c)
      atlas.Alpha[static_cast<std::size_t>(r) * static_cast<std::size_t>(atlas.Width) +
                  static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(qAlpha(linha[c]));
  }
  return atlas;
}
