#pragma once
// The overlay's glyphs, drawn once with Qt's fonts into the atlas the GL side uploads.

#include "render/text_drawing.h"

class QFont;

// Every glyph of ASCII, Latin-1 (the accents of Portuguese) and a few signs, in `fonte`.
TGlyphAtlas RenderGlyphAtlas(const QFont& fonte);

// The overlay's font: the desktop's sans-serif at a size a projector still shows.
QFont OverlayFont();
