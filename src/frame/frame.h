#pragma once
// The heartbeat of TimerGL (every TimerGLMs): one physics step, the state copy, the camera, the 3D pointer
// integrated from the Wii Remote's accelerometer, the picture. Plain C++: the drawing goes through
// TFrameDrawing, so the frame's logic runs in tests without a display.

#include "frame/simulation_control.h"
#include "input/settings/settings.h"
#include "physics/vector_math.h"
#include "render/camera.h"
#include "scene/scene.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The one clock the frame, the step debt and the rate meter keep time by: monotonic, so a clock set back or
// forward by the desktop moves nothing in the world.
using TRelogio = std::chrono::steady_clock;
// Where the time is read from; tests hand in a clock of their own.
using TClockSource = std::function<TRelogio::time_point()>;

// The longest time a frame may integrate the pointer over: the first frame after start-up, a scene load
// or a stall would otherwise throw the pointer across the world.
inline constexpr double DtMaximo = 0.1;

// Steps of PassoFixo one tick may run to catch up with real time. A tick later than this lets the world
// fall behind rather than spend ever longer catching up.
inline constexpr int MaxStepsPerTick = 5;

struct TFrameState {
  TRelogio::time_point UltimoQuadro{};  // end of the previous frame; the clock's zero before the first
  double Dt = 0;                        // seconds
  TVector AcelAtual, AcelAnterior, OlhoNegado;
  TVector PonteiroPos, PonteiroVel;      // the pointer's place in the world is -PonteiroPos
  std::vector<TVector> PonteiroCaminho;  // PonteiroPos while the pointer moves, the last PathLimit kept

  // Real time the world has yet to be stepped through, and when that was last counted (the clock's zero:
  // never, so the next tick runs one step).
  std::chrono::microseconds StepDebt{0};
  TRelogio::time_point LastStepCount{};
  double SimulatedTime = 0;     // seconds the world has been stepped through since the scene loaded
  bool BehindRealTime = false;  // the last tick needed more than MaxStepsPerTick steps
  TSimulationControl Control;   // pause, single steps and slow motion, as the user asked
  // The 3D pointer's box, block and path are drawn: only while a remote is connected, so that without one
  // nothing of it hides the objects at the origin.
  bool PointerShown = false;
};

// What the frame reads of the Wii Remote: raw accelerometer bytes, "A" and the infrared dot sizes.
struct TRemoteReading {
  uint8_t AccelX = 0, AccelY = 0, AccelZ = 0;
  bool ADown = false, BDown = false;
  int IRSize1 = 0, IRSize2 = 0;
};

// What the frame draws, in its order. The real one draws with OpenGL into the current context.
class TFrameDrawing {
 public:
  virtual ~TFrameDrawing() = default;
  virtual void Clear() = 0;                            // colour and depth
  virtual void Projection(const TCamera& camera) = 0;  // perspective and view
  virtual void References(const TFrameState& estado,
                          const TScene& cena) = 0;  // pointer, trails, axes, floor
  virtual void Objetos(const TScene& cena) = 0;     // the scene's objects
};

// Draws nothing: the frame still steps the world and moves the pointer.
class TNullFrameDrawing : public TFrameDrawing {
 public:
  void Clear() override {}
  void Projection(const TCamera&) override {}
  void References(const TFrameState&, const TScene&) override {}
  void Objetos(const TScene&) override {}
};

// Grabbing and moving objects with the pointer at P = -PonteiroPos, between the reference drawing and the
// objects. Empty until a remote can grab.
using TGrabStep = std::function<void(const TVector& P)>;

// What the user must hear about the world: an object frozen outside it, or the engine's failure.
using TWorldNotice = std::function<void(const std::string& texto)>;

struct TFrameContext {
  TScene& cena;
  TCamera& Camera;
  TFrameState& estado;
  TQuillonSetting& Setting;  // the frame re-zeroes the accelerometer (BaseX, BaseY, BaseZ)
  TFrameDrawing& desenho;
  TGrabStep agarrar;
  TWorldNotice aviso;
  std::function<void()> afterStep{};  // after each step of the world, its state copied into the scene
};

// One tick of TimerGL, up to the buffer swap (the caller presents the picture). The world is stepped as
// many times as the real time since the last tick asks (at most MaxStepsPerTick), each step followed by
// the grab step; the picture is drawn once. After an engine error the world stops, told once through
// `aviso`, and the frame keeps drawing. `agora` is the frame's start; `relogio` tells the time when the
// frame ends, from which the next frame's Dt is measured.
void TimerGLTimer(TFrameContext& ctx, const TRemoteReading& remoto, TRelogio::time_point agora,
                  const TClockSource& relogio = TRelogio::now);

// The accelerometer's change from AcelAnterior to AcelAtual, seen through the camera: a world vector.
// The remote's x goes to the camera's right, its z to the camera's up and its y, negated, forward.
TVector AccelerometerInWorld(const TFrameState& estado, const TCamera& camera);

// The current accelerometer bytes become the zero point.
void CalibrateButtonClick(const TRemoteReading& remoto, TQuillonSetting& Setting);
