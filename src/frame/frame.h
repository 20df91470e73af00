#pragma once
// The heartbeat of TimerGL (every TimerGLMs): the physics steps real time asks for (each with the state
// copy and the hands applied), the camera, the 3D pointer integrated from the Wii Remote's accelerometer,
// the picture. Plain C++: the drawing goes through TFrameDrawing.

#include "frame/frame_picture.h"
#include "frame/frame_state.h"
#include "frame/remote_reading.h"
#include "input/settings/settings.h"
#include "physics/vector_math.h"
#include "render/camera.h"
#include "scene/scene.h"

#include <functional>
#include <string>

// Grabbing and moving objects with the pointer at P = -PonteiroPos, between the reference drawing and the
// objects. Empty until a remote can grab.
using TGrabStep = std::function<void(const TVector& P)>;

// What the user must hear about the world: an object frozen outside it, or the engine's failure.
using TWorldNotice = std::function<void(const std::string& texto)>;

struct TFrameContext {
  TScene& cena;
  TCamera& Camera;
  TFrameState& estado;
  TQuillonSetting& Setting;  // a connected remote's accelerometer zero point (BaseX, BaseY, BaseZ)
  TFrameDrawing& desenho;
  TGrabStep agarrar;
  TWorldNotice aviso;
  std::function<void()> afterStep{};  // after each step of the world, its state copied into the scene
};

// One tick of TimerGL, up to the buffer swap (the caller presents the picture). The world is stepped as
// many times as the real time since the last tick asks (at most MaxStepsPerTick), each step preceded by the
// remote hand's throw and followed by the grab step; the picture is drawn once. After an engine error the
// world stops, told once through `aviso`, and the frame keeps drawing. `agora` is the frame's start;
// `relogio` tells the time when the frame ends, from which the next frame's Dt is measured.
void TimerGLTimer(TFrameContext& ctx, const TRemoteReading& remoto, TTimePoint agora,
                  IClock& relogio = SteadyClock());

// The accelerometer's change from AcelAnterior to AcelAtual, seen through the camera: a world vector.
// The remote's x goes to the camera's right, its z to the camera's up and its y, negated, forward.
TVector AccelerometerInWorld(const TFrameState& estado, const TCamera& camera);
// The same for the change from AcelAnterior to `atual`.
TVector AccelerometerInWorld(const TFrameState& estado, const TCamera& camera, const TVector& atual);

// The current accelerometer bytes become the zero point; without a connected remote the stored zero point
// stays as it is.
void CalibrateButtonClick(const TRemoteReading& remoto, TQuillonSetting& Setting);
