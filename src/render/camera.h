#pragma once
// The view: an eye orbiting a fixed centre with z up at the start, steered by the Wii Remote's buttons.
// Plain math and state; the GL side is in view_gl.h.

#include "physics/vector_math.h"

#include <cstdint>

struct TCamera {
  TVector Olho{50, 50, 25};
  TVector Cima{0, 0, 1};  // unit and perpendicular to the line of sight after every orbit
  TVector Centro{0, 0, 0};
  int32_t Ganho = 100;                                 // gain of the 3D pointer's acceleration
  double EscalaX = 1.0, EscalaY = 2.0, EscalaZ = 1.0;  // scales of the accelerometer's changes
};

// The eye never comes closer to the centre than this, so the line of sight always has a direction.
inline constexpr double DistanciaMinimaCamera = 1.0;

// The eye never goes lower than this above the floor (z = 0): an orbit, a zoom or a pan that would take it
// lower stops it there, so the view never looks at the scene from under the ground.
inline constexpr double MinimumEyeHeight = 0.5;

// Moves the eye by d along the line of sight (positive towards the centre). A move that would bring the eye
// closer than DistanciaMinimaCamera stops there; an eye already closer is never moved further in. Moving away
// stops where the eye would go below MinimumEyeHeight.
void AproximaCamera(TCamera& camera, double d);

// Orbits the eye about the centre: aLado degrees about the camera's side axis, then aCima degrees about
// Cima. The distance to the centre is kept and Cima is made perpendicular to the line of sight again. An eye
// that would sink below MinimumEyeHeight is turned back up to it, at the same distance when it can be.
void OrbitaCamera(TCamera& camera, double aLado, double aCima);

// The Down flags of the buttons that steer the camera, as the Wii Remote reports them.
struct TCameraButtons {
  bool Up = false, Down = false, Right = false, Left = false;
  bool Home = false, Plus = false, Minus = false;
  bool Um = false, Dois = false;  // buttons "1" and "2"
};

// One DrawTimer tick (DrawTimerMs) of the camera buttons: every button that is down acts, in the order Up,
// Down, Right, Left, Home (PonteiroPos back to the origin), Plus, Minus (Ganho never below 10), 1 (closer), 2
// (farther).
void ControleCamera(const TCameraButtons& botoes, TCamera& camera, TVector& PonteiroPos);
