#pragma once
// What the frame keeps from one tick to the next: the clock it keeps time by, the step debt, the 3D pointer
// and the remote's hand.

#include "common/clock.h"
#include "frame/hand.h"
#include "frame/simulation_control.h"
#include "physics/vector_math.h"

#include <chrono>
#include <vector>

// The longest time a frame may integrate the pointer over: the first frame after start-up, a scene load
// or a stall would otherwise throw the pointer across the world.
inline constexpr double DtMaximo = 0.1;

// Steps of PassoFixo one tick may run to catch up with real time. A tick later than this lets the world
// fall behind rather than spend ever longer catching up.
inline constexpr int MaxStepsPerTick = 5;

struct TFrameState {
  TTimePoint UltimoQuadro{};  // end of the previous frame; the clock's zero before the first
  double Dt = 0;              // seconds
  // The accelerometer now and at the end of the previous frame, whose change moves the pointer and throws;
  // the frame is their one writer.
  TVector AcelAtual, AcelAnterior;
  TVector OlhoNegado;
  TVector PonteiroPos, PonteiroVel;      // the pointer's place in the world is -PonteiroPos
  std::vector<TVector> PonteiroCaminho;  // PonteiroPos while the pointer moves, the last PathLimit kept

  // Real time the world has yet to be stepped through, and when that was last counted (the clock's zero:
  // never, so the next tick runs one step).
  std::chrono::microseconds StepDebt{0};
  TTimePoint LastStepCount{};
  double SimulatedTime = 0;     // seconds the world has been stepped through since the scene loaded
  bool BehindRealTime = false;  // the last tick needed more than MaxStepsPerTick steps
  TSimulationControl Control;   // pause, single steps and slow motion, as the user asked
  // The 3D pointer's box, block and path are drawn: only while a remote is connected, so that without one
  // nothing of it hides the objects at the origin.
  bool PointerShown = false;
  // The hands, each written by its input side: the Wii Remote's grab intent and throw by CursorTimer, the
  // mouse's by its drag. They outlive a scene load.
  THand Remote{RemoteHand};
  THand Mouse{MouseHand};
};
