#pragma once
// The runner's CSV: one row per object per printed frame, numbers with "." whatever the locale.

#include "scene/scene.h"

#include <ostream>

void EscreveCabecalhoCSV(std::ostream& saida);
void EscreveQuadroCSV(std::ostream& saida, const TScene& cena, long quadro);
