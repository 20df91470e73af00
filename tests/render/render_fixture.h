#pragma once
// A real GL context set up as the program sets its own (initial state, lights, material, drawing
// objects), a camera, and where the camera puts a world point on the framebuffer, computed here on the
// CPU from the frame's projection (60 degrees, the panel's aspect, near 1) so the picture is checked against
// it.

#include "render/camera.h"
#include "render/object_drawing.h"
#include "support_gl/gl_test_context.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

struct TScreenPoint {
  int x = 0, y = 0;
};

// The framebuffer pixel that holds world point p (GL window coordinates).
TScreenPoint Projeta(const TCamera& camera, const TVector& p, int largura, int altura);

class TDrawingTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Clear and the camera's projection and view, as each frame starts.
  void ComecaQuadro();
  TRgbColor CorEm(const TVector& p) const;
  // The brightest pixel (largest r + g + b) within `raio` pixels of p: finds thin lines.
  TRgbColor MaisClaraPerto(const TVector& p, int raio) const;
  std::vector<unsigned char> QuadroInteiro() const;

  std::unique_ptr<TTestGLContext> contexto;
  TObjectDrawing desenho;
  TCamera camera;
};

bool Preto(const TRgbColor& c);
