#include "scene/scene_loader.h"

#include "common/number_text.h"
#include "physics/geometry_factory.h"
#include "physics/ode_runtime.h"
#include "scene/launch.h"
#include "scene/model_file.h"
#include "scene/scene_links.h"
#include "scene/shape_kind.h"
#include "scene/simulation_step.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace fs = std::filesystem;

static_assert(sizeof(dTriIndex) == sizeof(uint32_t), "the collision mesh is built with 32-bit indices");

std::array<float, 4> QuaternioDeCarga(double angGraus, const TVector& eixo) {
  const double a = static_cast<float>(angGraus * std::numbers::pi / 180.0);
  const double L = NormaVet(eixo);
  if (L == 0) return {1, 0, 0, 0};
  const double s = std::sin(a / 2);
  return {static_cast<float>(std::cos(a / 2)), static_cast<float>(s * eixo.x / L),
          static_cast<float>(s * eixo.y / L), static_cast<float>(s * eixo.z / L)};
}

TVector BodyPlaceOfRow(const TVector& linha, const std::array<float, 4>& q, const TVector& centro) {
  const dQuaternion qd = {q[0], q[1], q[2], q[3]};
  dMatrix3 R;
  dQtoR(qd, R);
  return {linha.x + R[0] * centro.x + R[1] * centro.y + R[2] * centro.z,
          linha.y + R[4] * centro.x + R[5] * centro.y + R[6] * centro.z,
          linha.z + R[8] * centro.x + R[9] * centro.y + R[10] * centro.z};
}

TVector RowPlaceOfBody(const TObjetoCena& o, const TVector& corpo) {
  const dQuaternion qd = {o.Quaternio[0], o.Quaternio[1], o.Quaternio[2], o.Quaternio[3]};
  dMatrix3 R;
  dQtoR(qd, R);
  const TVector& c = o.MeshCentre;
  return {corpo.x - (R[0] * c.x + R[1] * c.y + R[2] * c.z), corpo.y - (R[4] * c.x + R[5] * c.y + R[6] * c.z),
          corpo.z - (R[8] * c.x + R[9] * c.y + R[10] * c.z)};
}

TVector StartPlaceOfBody(const TScene& cena, std::size_t i) {
  const TSceneTable& t = cena.Tabela();
  const int linha = static_cast<int>(i);
  const auto real = [&](TColumn c) { return t.Real(linha, c); };
  const std::array<float, 4> q = QuaternioDeCarga(
      real(TColumn::Ang), {real(TColumn::eixoX), real(TColumn::eixoY), real(TColumn::eixoZ)});
  const TVector p =
      BodyPlaceOfRow({real(TColumn::X), real(TColumn::Y), real(TColumn::Z)}, q, cena.Objetos[i].MeshCentre);
  // As the engine keeps it.
  return {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)};
}

namespace {

// The middle of the box around the model's own vertices (its origin not counted).
TVector MeshMiddle(const TModel& modelo) {
  const auto n = static_cast<std::size_t>(
      std::clamp<int64_t>(modelo.VertexCount, 0, static_cast<int64_t>(modelo.Vertices.size()) - 1));
  if (n == 0) return {};
  TVertex3f mn = modelo.Vertices[1], mx = modelo.Vertices[1];
  for (std::size_t v = 2; v <= n; ++v) {
    const TVertex3f& p = modelo.Vertices[v];
    mn = {std::min(mn.x, p.x), std::min(mn.y, p.y), std::min(mn.z, p.z)};
    mx = {std::max(mx.x, p.x), std::max(mx.y, p.y), std::max(mx.z, p.z)};
  }
  // Halved in single precision, as the vertices are kept, so a model already centred stays exactly so.
  return {(mn.x + mx.x) / 2, (mn.y + mx.y) / 2, (mn.z + mx.z) / 2};
}

void MoveModel(TModel& modelo, const TVector& centro) {
  if (centro.x == 0 && centro.y == 0 && centro.z == 0) return;
  const float cx = static_cast<float>(centro.x), cy = static_cast<float>(centro.y),
              cz = static_cast<float>(centro.z);
  for (std::size_t v = 1; v < modelo.Vertices.size(); ++v) {
    TVertex3f& p = modelo.Vertices[v];
    p = {p.x - cx, p.y - cy, p.z - cz};
  }
}

// A length the engine would refuse (negative) becomes 0: the shape still exists and the row still loads.
float Length(double valor) {
  return valor > 0 ? static_cast<float>(valor) : 0.0f;
}

bool ValidMass(const dMass& m) {
  if (!std::isfinite(m.mass)) return false;
  for (dReal v : m.c)
    if (!std::isfinite(v)) return false;
  for (dReal v : m.I)
    if (!std::isfinite(v)) return false;
  return dMassCheck(&m) != 0;
}

// A mass the engine would refuse (zero or negative total, a shape of zero size) leaves the body with the
// engine's default mass, so the object still falls and collides.
void ApplyMass(dBodyID corpo, const dMass& m) {
  if (ValidMass(m)) dBodySetMass(corpo, &m);
}

// Everything a row's build needs beside the row itself.
struct TSceneBuild {
  const TSceneTable& tabela;
  int i;
  TScene& cena;
  const fs::path& arquivoCena;
  const TModelNotice& aviso;

  double Real(TColumn c) const { return tabela.Real(i, c); }
  float Single(TColumn c) const { return static_cast<float>(tabela.Real(i, c)); }
  TObjetoCena& Object() const { return cena.Objetos[static_cast<std::size_t>(i)]; }
  dBodyID Body() const { return cena.Corpos[static_cast<std::size_t>(i)]; }
  TVector AxisAsRead() const { return {Real(TColumn::eixoX), Real(TColumn::eixoY), Real(TColumn::eixoZ)}; }
  std::array<float, 4> Quaternio() const { return QuaternioDeCarga(Real(TColumn::Ang), AxisAsRead()); }

  void Orient(dGeomID g) const {
    const std::array<float, 4> q = Quaternio();
    const dQuaternion qd = {q[0], q[1], q[2], q[3]};
    dGeomSetQuaternion(g, qd);
    Object().Eixo = AxisAsRead();
    Object().Ang = static_cast<float>(Real(TColumn::Ang) * std::numbers::pi / 180.0);
  }

  // Attach, place at (X, Y, Z) and orient with the load-time quaternion.
  void SetPose(dGeomID g) const {
    dGeomSetBody(g, Body());
    dGeomSetPosition(g, Single(TColumn::X), Single(TColumn::Y), Single(TColumn::Z));
    Orient(g);
  }

  void Register(dGeomID g) const {
    cena.Geometrias[static_cast<std::size_t>(i)] = g;
    TagGeometry(g, static_cast<std::size_t>(i));
  }

  void Sphere() const {
    TObjetoCena& o = Object();
    const float r = Length(Real(TColumn::Dim1));
    dGeomID g = CriaEsfera(cena.Mundo->Espaco(), r);
    dGeomSphereSetRadius(g, r);
    SetPose(g);
    dMass m;
    dMassSetSphereTotal(&m, Single(TColumn::Massa), r);
    ApplyMass(Body(), m);
    o.Dim[0] = Real(TColumn::Dim1);
    o.Raio = Real(TColumn::Dim1);
    Register(g);
  }

  void Capsule() const {
    TObjetoCena& o = Object();
    const float r = Length(Real(TColumn::Dim1)), l = Length(Real(TColumn::Dim2));
    dGeomID g = CriaCilindro(cena.Mundo->Espaco(), r, l);
    dGeomCapsuleSetParams(g, r, l);
    SetPose(g);
    dMass m;
    dMassSetCapsuleTotal(&m, Single(TColumn::Massa), 3, r, l);
    ApplyMass(Body(), m);
    o.Dim[0] = Real(TColumn::Dim1);
    o.Dim[1] = Real(TColumn::Dim2);
    // The pick radius: as long as the whole capsule, wider than how far it reaches (SolidReach).
    o.Raio = 2 * Real(TColumn::Dim1) + Real(TColumn::Dim2);
    Register(g);
  }

  void Box() const {
    TObjetoCena& o = Object();
    const float lx = Length(Real(TColumn::Dim1)), ly = Length(Real(TColumn::Dim2)),
                lz = Length(Real(TColumn::Dim3));
    dGeomID g = CriaCaixa(cena.Mundo->Espaco(), lx, ly, lz);
    dGeomBoxSetLengths(g, lx, ly, lz);
    SetPose(g);
    dMass m;
    dMassSetBoxTotal(&m, Single(TColumn::Massa), lx, ly, lz);
    ApplyMass(Body(), m);
    for (int k = 0; k < 3; ++k) o.Dim[k] = Real(static_cast<TColumn>(static_cast<int>(TColumn::Dim1) + k));
    o.Raio = std::sqrt(std::pow(o.Dim[0] / 2, 2) + std::pow(o.Dim[1] / 2, 2) + std::pow(o.Dim[2] / 2, 2));
    Register(g);
  }

  // The engine takes no body on a plane, so the plane stays in the space on its own; the object's body
  // still exists, free of gravity, so the object behaves as a plane row always did.
  void Plane() const {
    TObjetoCena& o = Object();
    float a = Single(TColumn::Dim1), b = Single(TColumn::Dim2), c = Single(TColumn::Dim3);
    const float d = Single(TColumn::Dim4);
    if (a == 0 && b == 0 && c == 0) c = 1;  // a plane needs a normal; a blank row lies flat
    dGeomID g = CriaPlano(cena.Mundo->Espaco(), a, b, c, d);
    dGeomPlaneSetParams(g, a, b, c, d);
    dBodySetGravityMode(Body(), 0);
    for (int k = 0; k < 4; ++k) o.Dim[k] = Real(static_cast<TColumn>(static_cast<int>(TColumn::Dim1) + k));
    o.Raio = std::sqrt(std::pow(Real(TColumn::SX) / 2, 2) + std::pow(Real(TColumn::SY) / 2, 2));
    o.Modelo.BoundsCentre.x = Single(TColumn::SX);
    o.Modelo.BoundsCentre.y = Single(TColumn::SY);
    Register(g);
  }

  void Mesh() const {
    TObjetoCena& o = Object();
    const std::string nome = tabela.Text(i, TColumn::Arquivo);
    const fs::path caminho = ResolveModelName(nome, arquivoCena.parent_path());
    // Continued lines are joined as the text is read; the file itself is never written.
    o.Modelo = LoadModelFromText(caminho.string(), ReadModelText(caminho), aviso);
    WeldVertices(o.Modelo);
    ScaleModel(o.Modelo, Real(TColumn::SX), Real(TColumn::SY), Real(TColumn::SZ));
    for (int v = 1; v <= o.Modelo.VertexCount; ++v) {
      const TVertex3f& p = o.Modelo.Vertices[static_cast<std::size_t>(v)];
      if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
        throw std::runtime_error(caminho.string() + ": o modelo fica grande demais com a escala SX, SY, SZ");
    }
    // The body, and with it the mass, sits at the middle of the mesh, wherever the file put its origin:
    // a mass left at a far origin makes the model swing about an invisible point for ever. The model is
    // moved onto that middle and the body placed so that the mesh stays where the file and row put it.
    o.MeshCentre = MeshMiddle(o.Modelo);
    MoveModel(o.Modelo, o.MeshCentre);
    ComputeBounds(o.Modelo);
    if (o.Modelo.MaxExtent > MaxObjectSize)
      throw std::runtime_error(
          caminho.string() +
          ": o modelo fica grande demais para o motor de física com a escala SX, SY, SZ (no máximo " +
          FormatDouble(MaxObjectSize) + " m)");
    if (Real(TColumn::Massa) * o.Modelo.MaxExtent * o.Modelo.MaxExtent > MaxMassMoment)
      throw ESceneError(CellPlace(arquivoCena, i, TColumn::Massa) + ": " +
                            FormatDouble(Real(TColumn::Massa)) +
                            " é grande demais para o motor de física para um objeto deste tamanho",
                        i, TColumn::Massa);
    o.Malha = BuildCollisionMesh(o.Modelo);

    const TVector corpo =
        BodyPlaceOfRow({Real(TColumn::X), Real(TColumn::Y), Real(TColumn::Z)}, Quaternio(), o.MeshCentre);
    dBodySetPosition(Body(), static_cast<float>(corpo.x), static_cast<float>(corpo.y),
                     static_cast<float>(corpo.z));
    const TVertex3f& mn = o.Modelo.BoundsMin;
    const TVertex3f& mx = o.Modelo.BoundsMax;
    const TVertex3f& ce = o.Modelo.BoundsCentre;
    o.Raio = std::sqrt(std::pow(double(mx.x) - ce.x, 2) + std::pow(double(mx.y) - ce.y, 2) +
                       std::pow(double(mx.z) - ce.z, 2));
    // A model without a usable triangle gives the engine nothing to collide: the object keeps its body,
    // drawn as loaded, but no geometry, and the user learns why it falls through the floor.
    if (o.Malha.Indices.empty()) {
      if (aviso) {
        aviso("O modelo " + caminho.string() +
                  " não tem nenhum triângulo para colisão (nenhuma face com três vértices válidos): o objeto "
                  "atravessa o chão e os outros objetos.",
              "Load Model");
      }
      o.Eixo = AxisAsRead();
      o.Ang = static_cast<float>(Real(TColumn::Ang) * std::numbers::pi / 180.0);
      return;
    }
    if (o.Malha.Indices.size() / 3 < MeshMeshMinTriangles && aviso) {
      aviso("O modelo " + caminho.string() +
                " tem um só triângulo para colisão: o objeto não colide com outros objetos de malha.",
            "Load Model");
    }
    o.DadosMalha = TOdeMeshData(dGeomTriMeshDataCreate());
    dGeomTriMeshDataBuildSingle(o.DadosMalha.get(), o.Malha.Vertices.data(), 4 * sizeof(float),
                                static_cast<int>(o.Malha.Vertices.size() / 4), o.Malha.Indices.data(),
                                static_cast<int>(o.Malha.Indices.size()), 3 * sizeof(dTriIndex));
    dGeomID g = CriaMalha(cena.Mundo->Espaco(), o.DadosMalha.get());
    dGeomSetBody(g, Body());
    Orient(g);
    dMass m;
    dMassSetBoxTotal(&m, Single(TColumn::Massa), mx.x - mn.x, mx.y - mn.y, mx.z - mn.z);
    ApplyMass(Body(), m);
    Register(g);
  }

  // Negative where the row gives none: the collision kind then decides.
  double OwnElasticity() const {
    const auto* e = std::get_if<double>(&tabela.Cell(i, TColumn::Elasticidade));
    return e && *e >= 0 ? *e : -1.0;
  }

  // The start velocity and spin, before the first step; the launch obeys MoveX, MoveY and MoveZ as a throw
  // does. The record shows them from the first frame on.
  void Launch() const {
    TObjetoCena& o = Object();
    const TVector v = RowLaunch(tabela, i);
    const float vx = static_cast<float>(v.x), vy = static_cast<float>(v.y), vz = static_cast<float>(v.z);
    dBodySetLinearVel(Body(), vx, vy, vz);
    dBodySetAngularVel(Body(), Single(TColumn::VelAngX), Single(TColumn::VelAngY), Single(TColumn::VelAngZ));
    o.VecV = {vx, vy, vz};
  }

  void Build() const {
    TObjetoCena& o = Object();
    cena.Corpos[static_cast<std::size_t>(i)] = dBodyCreate(cena.Mundo->Mundo());
    cena.Atritos[static_cast<std::size_t>(i)] = Real(TColumn::Atrito);
    const std::optional<TShapeKind> tipo = ShapeKindOf(tabela.Integer(i, TColumn::ODETipo));
    if (tipo) {
      switch (*tipo) {
        case TShapeKind::Sphere:
          Sphere();
          break;
        case TShapeKind::Capsule:
          Capsule();
          break;
        case TShapeKind::Box:
          Box();
          break;
        case TShapeKind::Plane:
          Plane();
          break;
        case TShapeKind::Mesh:
          Mesh();
          break;
      }
    }
    o.ODETipo = tipo ? static_cast<uint8_t>(*tipo) : SemForma;
    const dReal* p = dBodyGetPosition(Body());
    o.Posicao = o.PosicaoAnterior = TVector{p[0], p[1], p[2]};
    o.Proximo = false;
    o.Agarrado = NoHand;
    o.Quaternio = tipo && ShapeInfo(*tipo).Placed ? Quaternio() : std::array<float, 4>{1, 0, 0, 0};
    o.R = Real(TColumn::R), o.G = Real(TColumn::G), o.B = Real(TColumn::B), o.A = Real(TColumn::A);
    auto flag = [&](TColumn c) { return tabela.Boolean(i, c); };
    o.MostraRastroSempre = flag(TColumn::MostraRastroSempre);
    o.MostraRastroSolto = flag(TColumn::MostraRastroSolto);
    o.MostraVecV = flag(TColumn::MostraVecV);
    o.MostraVecA = flag(TColumn::MostraVecA);
    o.MostraEixoRot = flag(TColumn::MostraEixoRot);
    o.ODEMove = flag(TColumn::ODEMove);
    o.UserMove = flag(TColumn::UserMove);
    o.MoveX = flag(TColumn::MoveX), o.MoveY = flag(TColumn::MoveY), o.MoveZ = flag(TColumn::MoveZ);
    o.Rastro.clear();
    cena.Elasticidades[static_cast<std::size_t>(i)] = OwnElasticity();
    if (o.ODEMove) Launch();
    if (!o.ODEMove) {
      // Kinematic: nothing that touches the object can push it or build up its velocity, while the
      // frame keeps putting it back to its stored pose.
      dBodySetKinematic(Body());
      dBodyDisable(Body());
    }
  }
};

// A shape of no size loads as the row says, but the student must hear why the object is not there.
void NoticeShapeWithoutSize(const TSceneTable& tabela, int i, const fs::path& arquivo,
                            const TModelNotice& aviso) {
  const std::optional<TShapeKind> tipo = ShapeKindOf(tabela.Integer(i, TColumn::ODETipo));
  if (!tipo) return;
  for (const TSizeField& f : ShapeInfo(*tipo).Sizes) {
    if (f.Minimum != TSizeMinimum::Positive || !f.SolidLength) continue;
    const TColumn c = f.Column;
    const double v = tabela.Real(i, c);
    if (v > 0 || !aviso) continue;
    aviso(CellPlace(arquivo, i, c) + ": tamanho " + FormatDouble(v) +
              " não é positivo; o objeto fica sem forma visível e atravessa o chão.",
          "Objeto sem tamanho");
    return;
  }
  // A capsule of length 0 is a sphere; only a negative length is wrong.
  if (*tipo == TShapeKind::Capsule && tabela.Real(i, TColumn::Dim2) < 0 && aviso)
    aviso(CellPlace(arquivo, i, TColumn::Dim2) + ": comprimento " +
              FormatDouble(tabela.Real(i, TColumn::Dim2)) +
              " é negativo; a cápsula é carregada com comprimento 0.",
          "Objeto sem tamanho");
}

}  // namespace

void LoadScene(const fs::path& arquivo, TScene& cena, const TModelNotice& aviso) {
  LoadSceneTable(TSceneTable::Read(arquivo), arquivo, cena, aviso);
}

void LoadSceneTable(TSceneTable tabela, const fs::path& arquivo, TScene& cena, const TModelNotice& aviso) {
  LoadSceneTable(std::make_shared<const TSceneTable>(std::move(tabela)), arquivo, cena, aviso);
}

void LoadSceneTable(std::shared_ptr<const TSceneTable> compartilhada, const fs::path& arquivo, TScene& cena,
                    const TModelNotice& aviso) {
  const TSceneTable& tabela = *compartilhada;
  InitPhysicsEngine();
  const int n = tabela.RowCount();
  TScene nova(n > 0 && tabela.Boolean(0, TColumn::TemGravidade));
  const auto tamanho = static_cast<std::size_t>(n);
  nova.Objetos.resize(tamanho);
  nova.Corpos.assign(tamanho, nullptr);
  nova.Geometrias.assign(tamanho, nullptr);
  nova.Atritos.assign(tamanho, 0.0);
  nova.Elasticidades.assign(tamanho, -1.0);

  CheckSceneTable(tabela, arquivo);
  for (int i = 0; i < n; ++i) {
    NoticeShapeWithoutSize(tabela, i, arquivo, aviso);
    try {
      TSceneBuild{tabela, i, nova, arquivo, aviso}.Build();
    } catch (const ESceneError&) {
      throw;
    } catch (const EModelError& e) {
      throw ESceneError(CellPlace(arquivo, i, TColumn::Arquivo) + ": " + e.what(), i, TColumn::Arquivo);
    } catch (const EPhysicsEngineError& e) {
      throw ESceneError(arquivo.string() + ": linha " + std::to_string(i + 1) + ": " + e.what(), i);
    } catch (const std::exception& e) {
      throw ESceneError(CellPlace(arquivo, i, TColumn::Arquivo) + ": " + e.what(), i, TColumn::Arquivo);
    }
  }
  nova.SetTable(std::move(compartilhada));
  BuildLinks(nova);
  cena.Swap(nova);
}
