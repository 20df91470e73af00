#pragma once
// Grabbing, carrying and throwing scene objects with the Wii Remote's 3D pointer, and the rumble that
// tells the student an object is held.

#include "frame/frame.h"
#include "input/desktop/rumble_state.h"
#include "render/camera.h"
#include "scene/scene.h"
#include "wiimote/led_byte.h"

#include <cstddef>
#include <cstdint>

inline constexpr double FatorRaioDePega = 1.5;

// Marks the objects the user may move whose pick radius reaches P.
void MarcaProximos(TScene& cena, const TVector& P);

// Carries the object to P along the axes it allows (MoveX, MoveY, MoveZ) and puts its body there; the other
// components stay as they are. The one way any hand moves a held object.
void CarryAlongAllowedAxes(TObjetoCena& o, dBodyID corpo, const TVector& P);
// The same for object `i` of the scene; a linked object is not put at P, which would tear its link, but
// given the speed that takes it there in one step (along its allowed axes, at most HandPullSpeed): the
// step's joints and springs then hold it back, so the hand pulls against its link.
void CarryAlongAllowedAxes(TScene& cena, std::size_t i, const TVector& P);
inline constexpr double HandPullSpeed = 20.0;  // m/s

// One frame of carrying: the first near object is grabbed (unless another is held) and carried to P along
// its allowed axes; without Agarrar every object is let go, a just-released one with its force cleared.
// Returns the frame's LED and rumble byte: LedsOneAndFourRumble while an object is carried and `haptico`,
// or while the desktop pointer's edge pulse runs (which its own timer ends), else LedsOneAndFour. The
// caller sends it once, so the rumble starts and stops on the same frames. An object the mouse holds is none
// of the remote's business: never grabbed, carried, let go or counted as the remote's.
uint8_t MoveObjetoUsuario(TScene& cena, const TVector& P, const TCamera& camera, bool haptico,
                          TRumbleState& vibracao, uint32_t agoraMs);

// The remote has gone while it held an object: the object is let go where it is, at rest and without a
// throw, and the grab flags are cleared, so that it does not stay frozen at the pointer catching whatever
// passes. What the mouse holds is left alone.
void ReleaseInPlace(TScene& cena, TCamera& camera);

// The grab-and-throw part of the CursorTimer (every CursorTimerMs): on the tick that sees "A" or "B" go up,
// every held object gets a velocity from the accelerometer's last change seen through the camera; then the
// grab flags follow the buttons. Only what the remote holds is thrown.
void GrabAndThrow(TScene& cena, TCamera& camera, TFrameState& estado, const TRemoteReading& remoto);
