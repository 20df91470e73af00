#pragma once
// A real GL context set up as the program sets its own (initial state, lights, material, drawing
// objects), a camera, and where the camera puts a world point on the framebuffer, computed here on the
// CPU from the frame's projection (60 degrees, 769 / 610, near 1) so the picture is checked against it.

#include "DesenhoGL.h"
#include "camera.h"
#include "contexto_gl_teste.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

struct PontoTela {
  int x = 0, y = 0;
};

// The framebuffer pixel that holds world point p (GL window coordinates).
PontoTela Projeta(const TCamera& camera, const TVetor& p, int largura, int altura);

class DesenhoTeste : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Clear and the camera's projection and view, as each frame starts.
  void ComecaQuadro();
  CorRGB CorEm(const TVetor& p) const;
  // The brightest pixel (largest r + g + b) within `raio` pixels of p: finds thin lines.
  CorRGB MaisClaraPerto(const TVetor& p, int raio) const;
  std::vector<unsigned char> QuadroInteiro() const;

  std::unique_ptr<ContextoGLTeste> contexto;
  DesenhoGL desenho;
  TCamera camera;
};

bool Preto(const CorRGB& c);
