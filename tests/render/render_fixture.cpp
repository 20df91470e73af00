#include "render/render_fixture.h"

#include "render/gl_state.h"
#include "render/view_gl.h"
#include "support/panel_size.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <numbers>

TScreenPoint Projeta(const TCamera& camera, const TVector& p, int largura, int altura) {
  const TVector f = NormalizaVet(SubVet(camera.Centro, camera.Olho));
  const TVector s = NormalizaVet(ProdVetorial(f, camera.Cima));
  const TVector u = ProdVetorial(s, f);
  const TVector d = SubVet(p, camera.Olho);
  const double profundidade = Dot(f, d);
  const double focal = 1 / std::tan(30 * std::numbers::pi / 180);
  const double aspecto = static_cast<double>(largura) / altura;
  const double nx = focal / aspecto * Dot(s, d) / profundidade;
  const double ny = focal * Dot(u, d) / profundidade;
  return {static_cast<int>(std::floor((nx + 1) / 2 * largura)),
          static_cast<int>(std::floor((ny + 1) / 2 * altura))};
}

bool Preto(const TRgbColor& c) {
  return c.r == 0 && c.g == 0 && c.b == 0;
}

void TDrawingTest::SetUp() {
  contexto = std::make_unique<TTestGLContext>(PanelWidth, PanelHeight);
  InitGLState();
  SetLightsAndMaterial();
  desenho.Create();
}

void TDrawingTest::TearDown() {
  contexto->FazAtual();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  desenho.Release();
  contexto.reset();
}

void TDrawingTest::ComecaQuadro() {
  ClearFrame();
  ApplyProjectionAndView(camera, double(PanelWidth) / PanelHeight);
}

TRgbColor TDrawingTest::CorEm(const TVector& p) const {
  const TScreenPoint t = Projeta(camera, p, contexto->Largura(), contexto->Altura());
  return contexto->Pixel(t.x, t.y);
}

TRgbColor TDrawingTest::MaisClaraPerto(const TVector& p, int raio) const {
  const TScreenPoint t = Projeta(camera, p, contexto->Largura(), contexto->Altura());
  TRgbColor melhor;
  for (int dy = -raio; dy <= raio; ++dy)
    for (int dx = -raio; dx <= raio; ++dx) {
      const TRgbColor c = contexto->Pixel(t.x + dx, t.y + dy);
      if (c.r + c.g + c.b > melhor.r + melhor.g + melhor.b) melhor = c;
    }
  return melhor;
}

std::vector<unsigned char> TDrawingTest::QuadroInteiro() const {
  std::vector<unsigned char> rgb(static_cast<size_t>(3 * contexto->Largura() * contexto->Altura()));
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, contexto->Largura(), contexto->Altura(), GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return rgb;
}
