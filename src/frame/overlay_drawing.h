#pragma once
// What is drawn over the finished picture: the information panel with its colour legend (F2) and every
// object's name beside it (F4). GL and plain C++; the glyphs come in ready-made.

#include "frame/overlay_text.h"
#include "frame/rate_meter.h"
#include "render/text_drawing.h"
#include "scene/scene.h"

#include <cstddef>
#include <optional>

struct TOverlaySwitches {
  bool Information = false;
  bool Names = false;
};

// What the overlay speaks about in this frame.
struct TOverlayView {
  const TScene& cena;
  double tempo;  // simulated seconds since the scene was loaded
  const TRateMeter& medidor;
  std::optional<std::size_t> selecionado;
  bool comRemoto = false;  // the legend speaks of the remote's pointer
};

class TOverlayDrawing {
 public:
  explicit TOverlayDrawing(TGlyphAtlas atlas) : atlas_(std::move(atlas)) {}

  // With the frame's projection and view still loaded, over a `largura` x `altura` pixel picture. Draws
  // nothing, and costs nothing, with both switches off. The atlas is uploaded on the first call.
  void Draw(int largura, int altura, const TOverlayView& vista, TOverlaySwitches chaves);
  // With the context current, before it goes.
  void Release() { text_.Release(); }

 private:
  void DrawInformation(const TOverlayView& vista, int altura);

  TGlyphAtlas atlas_;
  TTextDrawing text_;
};
