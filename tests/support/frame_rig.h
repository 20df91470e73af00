#pragma once
// What one frame of the program works on, without a window: a scene, its camera, the frame's state and a
// drawing that draws nothing, with the frame's clock in the test's hands.

#include "frame/frame.h"
#include "support/manual_clock.h"

struct TFrameRig {
  // The frame's context over these parts, with the grab step and the world's notices the test wants.
  TFrameContext Contexto(TGrabStep agarrar = {}, TWorldNotice aviso = {}) {
    return {cena, camera, estado, setting, desenho, std::move(agarrar), std::move(aviso)};
  }

  TScene cena;
  TCamera camera;
  TFrameState estado;
  TQuillonSetting setting;
  TNullFrameDrawing desenho;
  TTimePoint agora = TMonotonicClock::now();
  TManualClock relogio;  // tells when the frame ends
};
