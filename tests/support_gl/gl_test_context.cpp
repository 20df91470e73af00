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

struct TTestGLContext::Partes {
  QOffscreenSurface superficie;
  QOpenGLContext contexto;
  std::unique_ptr<QOpenGLFramebufferObject> quadro;
  int largura = 0, altura = 0;
};

TTestGLContext::TTestGLContext(int largura, int altura) {
  GaranteAplicacao();
  partes_ = std::make_unique<Partes>();
  partes_->largura = largura;
  partes_->altura = altura;
  const QSurfaceFormat formato = FormatoCompativel();
  partes_->superficie.setFormat(formato);
  partes_->superficie.create();
  MantemDriverCarregado();
  partes_->contexto.setFormat(formato);
  if (!partes_->superficie.isValid() || !partes_->contexto.create() ||
      !partes_->contexto.makeCurrent(&partes_->superficie))
    throw std::runtime_error("no offscreen OpenGL context (is a display available?)");
  QOpenGLFramebufferObjectFormat formatoQuadro;
  formatoQuadro.setAttachment(QOpenGLFramebufferObject::Depth);
  partes_->quadro = std::make_unique<QOpenGLFramebufferObject>(largura, altura, formatoQuadro);
  if (!partes_->quadro->isValid()) throw std::runtime_error("no framebuffer object for the test context");
  FazAtual();
  glViewport(0, 0, largura, altura);
}

TTestGLContext::~TTestGLContext() {
  // The framebuffer is a GL object: freed while its context is still current.
  partes_->contexto.makeCurrent(&partes_->superficie);
  partes_->quadro.reset();
  partes_->contexto.doneCurrent();
}

void TTestGLContext::FazAtual() {
  partes_->contexto.makeCurrent(&partes_->superficie);
  partes_->quadro->bind();
}

int TTestGLContext::Largura() const {
  return partes_->largura;
}
int TTestGLContext::Altura() const {
  return partes_->altura;
}

TRgbColor TTestGLContext::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= partes_->largura || y >= partes_->altura)
    throw std::out_of_range("pixel outside the test framebuffer");
  unsigned char rgb[3] = {0, 0, 0};
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
  return {rgb[0], rgb[1], rgb[2]};
}

bool TTestGLContext::SalvaImagem(const std::string& arquivo) const {
  // Read as RGB: the framebuffer's alpha is whatever the drawing left there and is not part of the picture.
  QImage imagem(partes_->largura, partes_->altura, QImage::Format_RGB888);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  for (int y = 0; y < partes_->altura; ++y)
    glReadPixels(0, partes_->altura - 1 - y, partes_->largura, 1, GL_RGB, GL_UNSIGNED_BYTE,
                 imagem.scanLine(y));
  return imagem.save(QString::fromStdString(arquivo));
}
