#pragma once
// The fixed GL state of the drawing context: the initial state set once the context is current, and the
// two lights and the front material set once at start-up. The context itself belongs to the window.

#include <array>

// One light as the program keeps it. Attenuation is sent as quadratic, linear, constant, in that order.
struct TLuzGL {
  bool TemDirecao = false;  // whether Direcao is sent as the spot direction
  std::array<float, 4> Posicao{};
  std::array<float, 3> Direcao{};
  std::array<float, 3> Atenuacao{};  // quadratic, linear, constant
  std::array<float, 4> Ambiente{}, Difusa{}, Especular{};
};

// Light 0 (a point light at (5, -5, 3)) and light 1 (directional, from (-5, 5, 5)), with their colours.
std::array<TLuzGL, 2> LuzesIniciais();

// Black clear colour, smooth shading, depth test with GL_LESS, nicest perspective hint, no face culling.
// Call once, right after the context is first made current.
void InitGLState();

// Sends the two lights of LuzesIniciais and the front material, then enables both lights and
// GL_NORMALIZE. Call once with the context current and the model-view matrix at the identity: the lights'
// positions are then world positions for as long as the view lives in the projection matrix.
// Lighting itself stays off; the solid pass switches it on and off.
void SetLightsAndMaterial();
