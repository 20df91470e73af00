#include "support_gl/gl_test_context.h"

#include <QGuiApplication>
#include <QImage>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QSurfaceFormat>

#include <GL/gl.h>
#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <stdexcept>

namespace {

// The process's one application object, made on first use when the test program has none of its own.
void GaranteAplicacao() {
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  static char nome[] = "vireta-test";
  static char* argv[] = {nome, nullptr};
  static QGuiApplication aplicacao(argc, argv);
}

}  // namespace

void MantemDriverCarregado() {
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void*) {
        if (info->dlpi_name && std::strstr(info->dlpi_name, "_dri.so"))
          dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        return 0;
      },
      nullptr);
}

namespace {

QSurfaceFormat FormatoCompativel() {
  QSurfaceFormat f;
  f.setRenderableType(QSurfaceFormat::OpenGL);
  f.setProfile(QSurfaceFormat::CompatibilityProfile);
  f.setRedBufferSize(8);
  f.setGreenBufferSize(8);
  f.setBlueBufferSize(8);
  f.setAlphaBufferSize(0);
  f.setDepthBufferSize(24);
  return f;
}

}  // namespace

struct TTestGLContext::TParts {
  QOffscreenSurface superficie;
  QOpenGLContext contexto;
  std::unique_ptr<QOpenGLFramebufferObject> quadro;
  int largura = 0, altura = 0;
};

TTestGLContext::TTestGLContext(int largura, int altura) {
  GaranteAplicacao();
  parts_ = std::make_unique<TParts>();
  parts_->largura = largura;
  parts_->altura = altura;
  const QSurfaceFormat formato = FormatoCompativel();
  parts_->superficie.setFormat(formato);
  parts_->superficie.create();
  MantemDriverCarregado();
  parts_->contexto.setFormat(formato);
  if (!parts_->superficie.isValid() || !parts_->contexto.create() ||
      !parts_->contexto.makeCurrent(&parts_->superficie))
    throw std::runtime_error("no offscreen OpenGL context (is a display available?)");
  QOpenGLFramebufferObjectFormat formatoQuadro;
  formatoQuadro.setAttachment(QOpenGLFramebufferObject::Depth);
  parts_->quadro = std::make_unique<QOpenGLFramebufferObject>(largura, altura, formatoQuadro);
  if (!parts_->quadro->isValid()) throw std::runtime_error("no framebuffer object for the test context");
  FazAtual();
  glViewport(0, 0, largura, altura);
}

TTestGLContext::~TTestGLContext() {
  // The framebuffer is a GL object: freed while its context is still current.
  parts_->contexto.makeCurrent(&parts_->superficie);
  parts_->quadro.reset();
  parts_->contexto.doneCurrent();
}

void TTestGLContext::FazAtual() {
  parts_->contexto.makeCurrent(&parts_->superficie);
  parts_->quadro->bind();
}

int TTestGLContext::Largura() const {
  return parts_->largura;
}
int TTestGLContext::Altura() const {
  return parts_->altura;
}

TRgbColor TTestGLContext::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= parts_->largura || y >= parts_->altura)
    throw std::out_of_range("pixel outside the test framebuffer");
  unsigned char rgb[3] = {0, 0, 0};
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
  return {rgb[0], rgb[1], rgb[2]};
}

namespace {

// Read as RGB: the framebuffer's alpha is whatever the drawing left there and is not part of the picture.
QImage ReadFramebuffer(int largura, int altura) {
  QImage imagem(largura, altura, QImage::Format_RGB888);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  for (int y = 0; y < altura; ++y)
    glReadPixels(0, altura - 1 - y, largura, 1, GL_RGB, GL_UNSIGNED_BYTE, imagem.scanLine(y));
  return imagem;
}

}  // namespace

bool TTestGLContext::SalvaImagem(const std::string& arquivo) const {
  return ReadFramebuffer(parts_->largura, parts_->altura).save(QString::fromStdString(arquivo));
}

int TTestGLContext::MaxChannelDifference(const std::string& arquivo) const {
  QImage esperada;
  if (!esperada.load(QString::fromStdString(arquivo))) return -1;
  esperada = esperada.convertToFormat(QImage::Format_RGB888);
  if (esperada.width() != parts_->largura || esperada.height() != parts_->altura) return -1;
  const QImage atual = ReadFramebuffer(parts_->largura, parts_->altura);
  int maior = 0;
  for (int y = 0; y < parts_->altura; ++y) {
    const uchar* a = atual.constScanLine(y);
    const uchar* e = esperada.constScanLine(y);
    for (int i = 0; i < parts_->largura * 3; ++i) maior = std::max(maior, std::abs(int(a[i]) - int(e[i])));
  }
  return maior;
}
