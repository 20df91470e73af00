#pragma once
// An offscreen OpenGL context (compatibility profile, RGB 8-8-8, depth 24 or more) drawing into a
// framebuffer of a given size, current on the calling thread from construction on. Needs a display
// (tests run under xvfb-run); a QGuiApplication is created when the process has no application object yet.

#include <memory>
#include <string>

// Keeps the GL driver modules loaded until the process ends. The driver allocates some state once per
// process; unloaded at exit, that state looks leaked to LeakSanitizer, loaded it stays reachable.
// Call once a context has been made (the driver is loaded then).
void MantemDriverCarregado();

struct TRgbColor {
  int r = 0, g = 0, b = 0;
};

class TTestGLContext {
 public:
  // The drawing panel's size by default. Throws std::runtime_error when no context can be made.
  explicit TTestGLContext(int largura = 769, int altura = 610);
  ~TTestGLContext();
  TTestGLContext(const TTestGLContext&) = delete;
  TTestGLContext& operator=(const TTestGLContext&) = delete;

  // Makes the context current again and binds its framebuffer (construction already does both).
  void FazAtual();
  int Largura() const;
  int Altura() const;

  // The colour of one pixel in GL window coordinates: (0, 0) is the bottom-left pixel.
  TRgbColor Pixel(int x, int y) const;

  // Writes the framebuffer as an image file (the format follows the extension, e.g. ".png").
  bool SalvaImagem(const std::string& arquivo) const;

  // The largest difference of one colour channel between the framebuffer and the image file `arquivo`
  // (RGB, same size); -1 when the file cannot be read or its size differs.
  int MaxChannelDifference(const std::string& arquivo) const;

 private:
  struct TParts;
  std::unique_ptr<TParts> parts_;
};
