#include "scene/simulation_step.h"

#include "physics/ode_runtime.h"

#include <cmath>
#include <string>

namespace {

// Dropped together once the list is this much over its limit: five seconds of frames.
constexpr std::size_t PathSlack = 500;

void HoldAtRecordedPose(dBodyID corpo, const TObjetoCena& o) {
  dBodySetPosition(corpo, static_cast<float>(o.Posicao.x), static_cast<float>(o.Posicao.y),
                   static_cast<float>(o.Posicao.z));
  const dQuaternion q = {o.Quaternio[0], o.Quaternio[1], o.Quaternio[2], o.Quaternio[3]};
  dBodySetQuaternion(corpo, q);
  dBodySetLinearVel(corpo, 0, 0, 0);
  dBodySetAngularVel(corpo, 0, 0, 0);
}

bool FiniteBody(dBodyID corpo) {
  const dReal* vetores[] = {dBodyGetPosition(corpo), dBodyGetLinearVel(corpo), dBodyGetAngularVel(corpo)};
  for (const dReal* v : vetores)
    for (int k = 0; k < 3; ++k)
      if (!std::isfinite(v[k])) return false;
  const dReal* q = dBodyGetQuaternion(corpo);
  for (int k = 0; k < 4; ++k)
    if (!std::isfinite(q[k])) return false;
  return true;
}

// The objects an engine error came from: the pair it was colliding, or else any body the step left with a
// value that is not a number.
std::vector<std::size_t> ObjectsBehind(const TScene& cena, const EPhysicsEngineError& e) {
  if (!e.Objects().empty()) return e.Objects();
  std::vector<std::size_t> objetos;
  for (std::size_t i = 0; i < cena.Corpos.size(); ++i)
    if (cena.Corpos[i] && !FiniteBody(cena.Corpos[i])) objetos.push_back(i);
  return objetos;
}

std::string ObjectsText(const TScene& cena, const std::vector<std::size_t>& objetos) {
  std::string texto;
  for (const std::size_t i : objetos) {
    if (i >= static_cast<std::size_t>(cena.Tabela().RowCount())) continue;
    texto += (texto.empty() ? "linha " : ", linha ") + std::to_string(i + 1) + " (\"" +
             cena.Tabela().Text(static_cast<int>(i), TColumn::Nome) + "\")";
  }
  return texto.empty() ? texto : texto + ": ";
}

}  // namespace

bool InsideWorld(const TVector& p) {
  for (const double v : {p.x, p.y, p.z})
    if (!std::isfinite(v) || std::fabs(v) > WorldBound) return false;
  return p.z >= FloorLimit;
}

void AppendBounded(std::vector<TVector>& caminho, const TVector& p) {
  if (caminho.size() >= PathLimit + PathSlack)
    caminho.erase(caminho.begin(),
                  caminho.begin() + static_cast<std::ptrdiff_t>(caminho.size() - PathLimit + 1));
  caminho.push_back(p);
}

std::vector<std::size_t> CopyBodyStates(TScene& cena) {
  std::vector<std::size_t> congelados;
  for (std::size_t i = 0; i < cena.Objetos.size(); ++i) {
    dBodyID corpo = cena.Corpos[i];
    if (!corpo) continue;
    TObjetoCena& o = cena.Objetos[i];
    if (o.ODEMove) {
      const dReal* p = dBodyGetPosition(corpo);
      const TVector posicao{p[0], p[1], p[2]};
      if (!InsideWorld(posicao)) {
        // From here on it is held like an object physics does not move, and the rest go on.
        o.ODEMove = false;
        o.LeftWorld = true;
        o.VecV = o.VecA = {};
        dBodyDisable(corpo);
        HoldAtRecordedPose(corpo, o);
        congelados.push_back(i);
        continue;
      }
      const dReal* v = dBodyGetLinearVel(corpo);
      const dReal* q = dBodyGetQuaternion(corpo);
      o.PosicaoAnterior = o.Posicao;
      o.Posicao = posicao;
      // The engine has emptied its force accumulator by now; the net force per unit mass is what the
      // step did to the velocity.
      const TVector velocidade{v[0], v[1], v[2]};
      o.VecA = EscalaVet(SubVet(velocidade, o.VecV), 1 / PassoFixo);
      o.VecV = velocidade;
      o.Quaternio = {static_cast<float>(q[0]), static_cast<float>(q[1]), static_cast<float>(q[2]),
                     static_cast<float>(q[3])};
      if (o.MostraRastroSempre) AppendBounded(o.Rastro, o.Posicao);
    } else {
      HoldAtRecordedPose(corpo, o);
    }
  }
  return congelados;
}

void ClearTrails(TScene& cena) {
  // Swapped with an empty list so that the memory of a long trail goes back too.
  for (TObjetoCena& o : cena.Objetos) std::vector<TVector>().swap(o.Rastro);
}

std::string ObjectLeftWorldText(std::size_t i) {
  return "o objeto da linha " + std::to_string(i + 1) + " saiu do mundo e ficou parado onde estava";
}

std::vector<std::size_t> SimulationStep(TScene& cena) {
  try {
    cena.Mundo->PassoMundo(cena.ContactParameters());
  } catch (const EPhysicsEngineError& e) {
    const std::vector<std::size_t> objetos = ObjectsBehind(cena, e);
    throw EPhysicsEngineError(ObjectsText(cena, objetos) + e.what(), objetos);
  }
  return CopyBodyStates(cena);
}
