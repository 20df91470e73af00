#pragma once
// The runner's CSV: one row per object per printed frame, numbers with "." whatever the locale. The window's
// export writes its kept frames through the same rows, so both files read alike to the last digit.

#include "scene/scene.h"

#include <array>
#include <ostream>
#include <span>
#include <string>

// What a row says of one object in one frame.
struct TObjectState {
  TVector Posicao, VecV;
  std::array<float, 4> Quaternio{};
  double RotationEnergy = 0;  // J, ½ ωᵀIω: for the spreadsheet, which the runner's rows leave out
};

// The simulated time at the end of frame `quadro` (s), with two decimals and `separador` between the
// seconds and the hundredths.
std::string FrameTime(long quadro, char separador);

void EscreveCabecalhoCSV(std::ostream& saida);
void EscreveQuadroCSV(std::ostream& saida, const TScene& cena, long quadro);
// A frame kept earlier: `estados[i]` is the object of the table's row i.
void EscreveQuadroCSV(std::ostream& saida, const TSceneTable& tabela, long quadro,
                      std::span<const TObjectState> estados);
