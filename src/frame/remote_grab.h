#pragma once
// Grabbing, carrying and throwing scene objects with the Wii Remote's 3D pointer, and the rumble that
// tells the student an object is held.

#include "frame/frame.h"
#include "frame/hand.h"
#include "input/desktop/rumble_state.h"
#include "render/camera.h"
#include "scene/scene.h"
#include "wiimote/led_byte.h"

#include <cstdint>

inline constexpr double FatorRaioDePega = 1.5;

// Marks the objects the user may move whose pick radius reaches P.
void MarcaProximos(TScene& cena, const TVector& P);

// One grab step of the remote's hand `mao` with its pointer at P: the first near object is grabbed (unless
// it already holds one) and carried to P along its allowed axes; without its Grab intent, a throw it asked
// for is applied and what it holds is let go, a just-released object with its force cleared. Returns the
// frame's LED and rumble byte: LedsOneAndFourRumble while an object is carried and `haptico`, or while the
// desktop pointer's edge pulse runs (which its own timer ends), else LedsOneAndFour. The caller sends it
// once, so the rumble starts and stops on the same frames. What another hand holds is none of this hand's
// business: never grabbed, carried, let go or counted as its own.
uint8_t MoveObjetoUsuario(TScene& cena, const TVector& P, THand& mao, bool haptico, TRumbleState& vibracao,
                          uint32_t agoraMs);

// The remote has gone while it held an object: the object is let go where it is, at rest and without a
// throw, and the hand's intent is cleared, so that it does not stay frozen at the pointer catching whatever
// passes. What another hand holds is left alone.
void ReleaseInPlace(TScene& cena, THand& mao);

// The grab-and-throw part of the CursorTimer (every CursorTimerMs): on the tick that sees "A" or "B" go up,
// the hand's throw is the accelerometer's change since the last frame seen through the camera; then its
// Grab and Release intent follow the buttons. The frame applies the throw before its next step.
void GrabAndThrow(THand& mao, const TFrameState& estado, const TCamera& camera, const TRemoteReading& remoto);
