#include "render_fixture.h"

#include "UConfiguraGL.h"
#include "view_gl.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <numbers>

PontoTela Projeta(const TCamera& camera, const TVetor& p, int largura, int altura) {
  const TVetor f = NormalizaVet(SubVet(camera.Centro, camera.Olho));
  const TVetor s = NormalizaVet(ProdVetorial(f, camera.Cima));
  const TVetor u = ProdVetorial(s, f);
  const TVetor d = SubVet(p, camera.Olho);
  const auto ponto = [](const TVetor& a, const TVetor& b) { return a.x * b.x + a.y * b.y + a.z * b.z; };
  const double profundidade = ponto(f, d);
  const double focal = 1 / std::tan(30 * std::numbers::pi / 180);
  const double aspecto = static_cast<double>(largura) / altura;
  const double nx = focal / aspecto * ponto(s, d) / profundidade;
  const double ny = focal * ponto(u, d) / profundidade;
  return {static_cast<int>(std::floor((nx + 1) / 2 * largura)),
          static_cast<int>(std::floor((ny + 1) / 2 * altura))};
}

bool Preto(const CorRGB& c) {
  return c.r == 0 && c.g == 0 && c.b == 0;
}

void DesenhoTeste::SetUp() {
  contexto = std::make_unique<ContextoGLTeste>(769, 610);
  IniciaEstadoGL();
  ConfiguraLuzesEMaterial();
  desenho.Cria();
}

void DesenhoTeste::TearDown() {
  contexto->FazAtual();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  desenho.Libera();
  contexto.reset();
}

void DesenhoTeste::ComecaQuadro() {
  LimpaQuadro();
  AplicaProjecaoEVista(camera, 769.0 / 610.0);
}

CorRGB DesenhoTeste::CorEm(const TVetor& p) const {
  const PontoTela t = Projeta(camera, p, contexto->Largura(), contexto->Altura());
  return contexto->Pixel(t.x, t.y);
}

CorRGB DesenhoTeste::MaisClaraPerto(const TVetor& p, int raio) const {
  const PontoTela t = Projeta(camera, p, contexto->Largura(), contexto->Altura());
  CorRGB melhor;
  for (int dy = -raio; dy <= raio; ++dy)
    for (int dx = -raio; dx <= raio; ++dx) {
      const CorRGB c = contexto->Pixel(t.x + dx, t.y + dy);
      if (c.r + c.g + c.b > melhor.r + melhor.g + melhor.b) melhor = c;
    }
  return melhor;
}

std::vector<unsigned char> DesenhoTeste::QuadroInteiro() const {
  std::vector<unsigned char> rgb(static_cast<size_t>(3 * contexto->Largura() * contexto->Altura()));
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, contexto->Largura(), contexto->Altura(), GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return rgb;
}
