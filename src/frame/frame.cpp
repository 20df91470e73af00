#include "frame/frame.h"

#include "physics/ode_runtime.h"
#include "scene/simulation_step.h"

#include <algorithm>
#include <cmath>

namespace {

double SecondsBetween(TTimePoint a, TTimePoint b) {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(a - b).count();
  return std::min(static_cast<double>(ms < 0 ? -ms : ms) / 1000.0, DtMaximo);
}

TVector Accelerometer(const TRemoteReading& r) {
  return {double(r.AccelX), double(r.AccelY), double(r.AccelZ)};
}

// How many steps this tick owes the world, from the real time since the last count.
int StepsDue(TFrameState& e, TTimePoint agora) {
  using std::chrono::microseconds;
  if (e.Control.Paused()) {
    // The paused time is not owed to the world: continuing goes on from here, without a burst.
    e.LastStepCount = agora;
    e.StepDebt = microseconds{0};
    e.BehindRealTime = false;
    return e.Control.TakeStep() ? 1 : 0;
  }
  // In slow motion each step stands for more real time.
  const microseconds passo{static_cast<long>(PassoFixo * 1e6) * e.Control.SpeedDivisor()};
  const bool primeiro = e.LastStepCount == TTimePoint{};
  const auto decorrido = std::chrono::duration_cast<microseconds>(agora - e.LastStepCount);
  e.LastStepCount = agora;
  if (primeiro) {
    e.StepDebt = microseconds{0};
    return 1;
  }
  // What was left over at a slower speed is owed at most one step at a faster one.
  e.StepDebt = std::min(e.StepDebt, passo);
  // A clock handed in by a test may stand still or go back: that gives no time at all.
  if (decorrido > microseconds{0}) e.StepDebt += decorrido;
  const auto devidos = e.StepDebt / passo;
  e.BehindRealTime = devidos > MaxStepsPerTick;
  if (e.BehindRealTime) {
    e.StepDebt = microseconds{0};
    return MaxStepsPerTick;
  }
  e.StepDebt -= devidos * passo;
  return static_cast<int>(devidos);
}

void Step(TFrameContext& ctx) {
  TScene& cena = ctx.cena;
  if (!cena.Mundo || cena.Mundo->Broken()) return;
  try {
    for (const std::size_t i : SimulationStep(cena))
      if (ctx.aviso) ctx.aviso(ObjectLeftWorldText(i));
    ctx.estado.SimulatedTime += PassoFixo;
    if (ctx.afterStep) ctx.afterStep();
  } catch (const EPhysicsEngineError& e) {
    if (ctx.aviso) ctx.aviso(std::string("A simulação parou: ") + e.what());
  }
}

void Integrate(double& pos, double& vel, double a, double ganho, double dt) {
  vel += ganho * a * dt;
  pos += vel * dt + ganho * a * dt * dt / 2;
}

}  // namespace

TVector AccelerometerInWorld(const TFrameState& e, const TCamera& camera) {
  return AccelerometerInWorld(e, camera, e.AcelAtual);
}

TVector AccelerometerInWorld(const TFrameState& e, const TCamera& camera, const TVector& atual) {
  const TMatrix4 Ri = Inversa4(MatrizVista(e.OlhoNegado, camera.Cima));
  const TVector c{(atual.x - e.AcelAnterior.x) * camera.EscalaX,
                  (atual.z - e.AcelAnterior.z) * camera.EscalaZ,
                  -(atual.y - e.AcelAnterior.y) * camera.EscalaY};
  const TVector4 a = MultMatrizPonto(Ri, c);
  return {a[0], a[1], a[2]};
}

void CalibrateButtonClick(const TRemoteReading& remoto, TQuillonSetting& Setting) {
  // Without a remote the bytes are zeros, not a hand at rest: the user's calibration must survive the run.
  if (!remoto.Connected) return;
  Setting.BaseX = remoto.AccelX;
  Setting.BaseY = remoto.AccelY;
  Setting.BaseZ = remoto.AccelZ;
}

void TimerGLTimer(TFrameContext& ctx, const TRemoteReading& remoto, TTimePoint agora, IClock& relogio) {
  TFrameState& e = ctx.estado;
  const int passos = StepsDue(e, agora);
  for (int k = 0; k < passos; ++k) {
    ApplyThrow(ctx.cena, e.Remote);
    Step(ctx);
    // The last step's grab comes at its place in the frame, after the pointer has moved.
    if (k + 1 < passos && ctx.agarrar) ctx.agarrar(EscalaVet(e.PonteiroPos, -1));
  }

  ctx.desenho.Clear();
  // The line of sight: -Olho while the centre is the origin, and still the view's direction after the
  // mouse has moved the centre, so the remote's motions keep following the picture.
  e.OlhoNegado = SubVet(ctx.Camera.Centro, ctx.Camera.Olho);
  ctx.desenho.Projection(ctx.Camera);

  e.AcelAtual = Accelerometer(remoto);
  e.Dt = SecondsBetween(agora, e.UltimoQuadro);

  TVector a;
  if (remoto.MovesPointer()) {
    a = AccelerometerInWorld(e, ctx.Camera);
    AppendBounded(e.PonteiroCaminho, e.PonteiroPos);
  } else {
    e.PonteiroVel = {};
    e.PonteiroCaminho.clear();
    CalibrateButtonClick(remoto, ctx.Setting);
  }
  const double ganho = ctx.Camera.Ganho;
  Integrate(e.PonteiroPos.x, e.PonteiroVel.x, a.x, ganho, e.Dt);
  Integrate(e.PonteiroPos.y, e.PonteiroVel.y, a.y, ganho, e.Dt);
  Integrate(e.PonteiroPos.z, e.PonteiroVel.z, a.z, ganho, e.Dt);

  ctx.desenho.References(e, ctx.cena);
  if (ctx.agarrar) ctx.agarrar(EscalaVet(e.PonteiroPos, -1));
  ctx.desenho.Objetos(ctx.cena);

  // Measured when the frame ends, so that the next Dt leaves out this frame's own work.
  e.UltimoQuadro = relogio.Now();
  e.AcelAnterior = Accelerometer(remoto);
}
