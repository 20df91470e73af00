// The fixed references (floor grid, axes, pointer box and path) and the start-up GL state, read back
// from a real GL context.

#include "render/reference_drawing.h"
#include "render/gl_state.h"
#include "render/render_fixture.h"

#include <GL/gl.h>

namespace {

using TReferenceDrawingTest = TDrawingTest;

GLfloat Float(GLenum nome) {
  GLfloat v = 0;
  glGetFloatv(nome, &v);
  return v;
}

void EsperaCor(const TRgbColor& c, int r, int g, int b, int tol = 0) {
  EXPECT_NEAR(c.r, r, tol);
  EXPECT_NEAR(c.g, g, tol);
  EXPECT_NEAR(c.b, b, tol);
}

TEST_F(TReferenceDrawingTest, StartUpStateAndLights) {
  GLfloat cor[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, cor);
  EXPECT_EQ(cor[0] + cor[1] + cor[2] + cor[3], 0.0f);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  GLint funcao = 0;
  glGetIntegerv(GL_DEPTH_FUNC, &funcao);
  EXPECT_EQ(funcao, GL_LESS);
  EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_LIGHT0) && glIsEnabled(GL_LIGHT1) && glIsEnabled(GL_NORMALIZE));

  GLfloat v[4];
  glGetLightfv(GL_LIGHT1, GL_POSITION, v);
  EXPECT_EQ(v[0], -5.0f);
  EXPECT_EQ(v[2], 5.0f);
  EXPECT_EQ(v[3], 0.0f);  // directional
  glGetLightfv(GL_LIGHT1, GL_SPOT_DIRECTION, v);
  EXPECT_EQ(v[1], -1.0f);
  EXPECT_EQ(v[2], -1.0f);
  glGetLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, v);  // not sent: the default
  EXPECT_EQ(v[2], -1.0f);
  EXPECT_EQ(v[1], 0.0f);
  glGetLightfv(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, v);
  EXPECT_FLOAT_EQ(v[0], 0.05f);
  glGetLightfv(GL_LIGHT0, GL_CONSTANT_ATTENUATION, v);
  EXPECT_EQ(v[0], 0.0f);
  glGetMaterialfv(GL_FRONT, GL_SHININESS, v);
  EXPECT_EQ(v[0], 20.0f);
}

TEST_F(TReferenceDrawingTest, FloorGridIsGreenLinesOverATranslucentFill) {
  ComecaQuadro();
  glPushMatrix();
  DesenhaPiso(20, 5, 5);
  glPopMatrix();
  // Inside a cell: (0.3, 1, 0.3) at alpha 0.5 over black.
  EsperaCor(CorEm({12.5, 7.5, 0}), 38, 128, 38, 1);
  EsperaCor(CorEm({-42.5, -37.5, 0}), 38, 128, 38, 1);
  EXPECT_EQ(MaisClaraPerto({10, 7.5, 0}, 2).g, 255);  // a cell's border, full green under or over the fill
  EXPECT_TRUE(Preto(CorEm({0, 0, 30})));              // the sky above the grid
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_EQ(Float(GL_LINE_WIDTH), 1.0f);
  GLint profundidade = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &profundidade);
  EXPECT_EQ(profundidade, 1);
}

TEST_F(TReferenceDrawingTest, OddCellCountLosesARowAndAColumn) {
  AproximaCamera(camera, 65);
  ComecaQuadro();
  DesenhaPiso(3, 1, 1);
  EsperaCor(CorEm({-0.5, 0.5, 0}), 38, 128, 38, 1);
  EsperaCor(CorEm({0.5, -0.5, 0}), 38, 128, 38, 1);
  EXPECT_TRUE(Preto(CorEm({1.5, 0.5, 0})));
  EXPECT_TRUE(Preto(CorEm({0.5, -1.5, 0})));
}

TEST_F(TReferenceDrawingTest, AxesRunFromMinusATenthWhenNotSymmetric) {
  AproximaCamera(camera, 60);
  for (bool simetrico : {true, false}) {
    ComecaQuadro();
    DesenhaEixos(simetrico, 10);
    EsperaCor(MaisClaraPerto({5, 0, 0}, 1), 255, 0, 0);
    EsperaCor(MaisClaraPerto({0, 5, 0}, 1), 0, 255, 0);
    EsperaCor(MaisClaraPerto({0, 0, 5}, 1), 0, 0, 255);
    EXPECT_EQ(Preto(MaisClaraPerto({-3, 0, 0}, 1)), !simetrico);
    EXPECT_FALSE(Preto(MaisClaraPerto({-0.5, 0, 0}, 1)));
  }
}

TEST_F(TReferenceDrawingTest, PointerBoxAndPathSurroundThePointersPlace) {
  AproximaCamera(camera, 55);
  const TVector ponteiro{-4, -2, -3};  // the pointer is at (4, 2, 3)
  ComecaQuadro();
  DesenhaCaixaPonto(ponteiro);
  EXPECT_EQ(Float(GL_POINT_SIZE), 5.0f);
  // The 5-pixel points sit on corners of the box, whose edges cross them.
  EsperaCor(MaisClaraPerto({4, 0, 0}, 2), 255, 0, 0);
  EsperaCor(MaisClaraPerto({0, 2, 0}, 2), 0, 255, 0);
  EsperaCor(MaisClaraPerto({0, 0, 3}, 2), 0, 0, 255);
  EsperaCor(MaisClaraPerto({4, 2, 1.5}, 2), 0, 128, 0, 1);  // an edge of the wire box
  EXPECT_TRUE(Preto(CorEm({2, 1, 1.5})));                   // inside the box: only edges

  const std::vector<TVector> caminho{{0, 0, 0}, {-6, 0, 0}};
  DrawPointerPath(caminho);
  EsperaCor(MaisClaraPerto({5, 0, 0}, 1), 255, 255, 0);  // beyond the box, whose edge hides it
  desenho.DrawPointerBlock(ponteiro);
  EsperaCor(CorEm({4, 2 + 1.3, 3}), 255, 255, 0);  // 1 x 3 x 1, long along y
  EXPECT_TRUE(Preto(CorEm(SomaVet({4, 2, 3}, EscalaVet(camera.Cima, 1.3)))));
  GLint profundidade = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &profundidade);
  EXPECT_EQ(profundidade, 1);
}

}  // namespace
