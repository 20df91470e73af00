#pragma once
// The words and numbers the information overlay shows, in Portuguese with a decimal comma: the frame's
// time and rates, the shown object's readout, and the legend of the drawing's colours. Plain C++.

#include "frame/rate_meter.h"
#include "scene/object_readout.h"
#include "scene/scene.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

using TRgb = std::array<float, 3>;

struct TOverlayLine {
  std::string Text;
  TRgb Colour{1, 1, 1};
};

// `v` with `casas` decimals and a comma; never "-0,00".
std::string DecimalText(double v, int casas);

// The object the overlay speaks about: the one held, else the selection (when it is in the scene).
std::optional<std::size_t> ShownObject(const TScene& cena, std::optional<std::size_t> selecionado);

// The object's Nome, or empty.
std::string ObjectName(const TScene& cena, std::size_t i);

// `tempo`: simulated seconds since the scene was loaded.
std::vector<TOverlayLine> InformationLines(const TScene& cena, double tempo, const TRateMeter& medidor,
                                           std::optional<std::size_t> mostrado);

// A colour square and what it marks in the picture.
struct TLegendEntry {
  TRgb Colour;
  const char* Text;
};
// The entries that speak of the 3D pointer only `comRemoto`: without a remote there is no pointer to see.
std::vector<TLegendEntry> ColourLegend(bool comRemoto);
