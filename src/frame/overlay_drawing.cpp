#include "frame/overlay_drawing.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <vector>

namespace {

constexpr int Margem = 8;
constexpr int Recuo = 6;  // inside the panel's dark box
constexpr TTextDrawing::TRgba Fundo{0, 0, 0, 0.6f};
constexpr TTextDrawing::TRgba Sombra{0, 0, 0, 1};

TTextDrawing::TRgba Rgba(const TRgb& c) {
  return {c[0], c[1], c[2], 1};
}

struct TLabel {
  int x, y;
  std::string texto;
};

}  // namespace

void TOverlayDrawing::Draw(int largura, int altura, const TOverlayView& vista, TOverlaySwitches chaves) {
  if (!chaves.Information && !chaves.Names) return;
  if (!text_.Ready()) text_.Create(atlas_);

  // The names' places come from the 3D matrices, read before the 2D pass replaces them.
  std::vector<TLabel> nomes;
  if (chaves.Names) {
    GLdouble modelo[16], projecao[16];
    GLint janela[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelo);
    glGetDoublev(GL_PROJECTION_MATRIX, projecao);
    glGetIntegerv(GL_VIEWPORT, janela);
    for (std::size_t i = 0; i < vista.cena.Objetos.size(); ++i) {
      std::string nome = ObjectName(vista.cena, i);
      if (nome.empty()) continue;
      const TVector& p = vista.cena.Objetos[i].Posicao;
      GLdouble x = 0, y = 0, z = 0;
      // Behind the eye or beyond the far plane there is nothing to label.
      if (gluProject(p.x, p.y, p.z, modelo, projecao, janela, &x, &y, &z) != GL_TRUE || z < 0 || z > 1)
        continue;
      nomes.push_back({static_cast<int>(x) + Recuo, altura - static_cast<int>(y) - text_.LineHeight() / 2,
                       std::move(nome)});
    }
  }

  text_.Begin(largura, altura);
  for (const TLabel& n : nomes) {
    text_.Text(n.x + 1, n.y + 1, n.texto, Sombra);
    text_.Text(n.x, n.y, n.texto, {1, 1, 1, 1});
  }
  if (chaves.Information) DrawInformation(vista, altura);
  text_.End();
}

void TOverlayDrawing::DrawInformation(const TOverlayView& vista, int altura) {
  const std::vector<TOverlayLine> linhas =
      InformationLines(vista.cena, vista.tempo, vista.medidor, ShownObject(vista.cena, vista.selecionado));
  const int h = text_.LineHeight();
  int largura = 0;
  for (const TOverlayLine& l : linhas) largura = std::max(largura, text_.Width(l.Text));
  text_.Box(Margem, Margem, largura + 2 * Recuo, h * static_cast<int>(linhas.size()) + 2 * Recuo, Fundo);
  int y = Margem + Recuo;
  for (const TOverlayLine& l : linhas) {
    text_.Text(Margem + Recuo, y, l.Text, Rgba(l.Colour));
    y += h;
  }

  // The legend in the bottom-left corner: a square of each colour and what it marks.
  const std::vector<TLegendEntry> legenda = ColourLegend(vista.comRemoto);
  int larguraLegenda = 0;
  for (const TLegendEntry& e : legenda) larguraLegenda = std::max(larguraLegenda, text_.Width(e.Text));
  const int quadrado = h - 4;
  const int alturaLegenda = h * static_cast<int>(legenda.size()) + 2 * Recuo;
  y = altura - Margem - alturaLegenda;
  text_.Box(Margem, y, larguraLegenda + quadrado + 3 * Recuo, alturaLegenda, Fundo);
  y += Recuo;
  // The squares before the words: boxes in a row are drawn in one go.
  for (std::size_t k = 0; k < legenda.size(); ++k)
    text_.Box(Margem + Recuo, y + static_cast<int>(k) * h + 2, quadrado, quadrado, Rgba(legenda[k].Colour));
  for (std::size_t k = 0; k < legenda.size(); ++k)
    text_.Text(Margem + 2 * Recuo + quadrado, y + static_cast<int>(k) * h, legenda[k].Text, {1, 1, 1, 1});
}
