#include "scene_loader.h"

#include "model_file.h"
#include "ode_runtime.h"
#include "odeimport.h"

#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;

static_assert(sizeof(dTriIndex) == sizeof(uint32_t), "the collision mesh is built with 32-bit indices");

std::array<float, 4> QuaternioDeCarga(double angGraus, const TVetor& eixo) {
  const double a = static_cast<float>(angGraus * std::numbers::pi / 180.0);
  const double L = NormaVet(eixo);
  if (L == 0) return {1, 0, 0, 0};
  const double s = std::sin(a / 2);
  return {static_cast<float>(std::cos(a / 2)), static_cast<float>(s * eixo.x / L),
          static_cast<float>(s * eixo.y / L), static_cast<float>(s * eixo.z / L)};
}

namespace {

// A length the engine would refuse (negative) becomes 0: the shape still exists and the row still loads.
float Comprimento(double valor) {
  return valor > 0 ? static_cast<float>(valor) : 0.0f;
}

bool MassaValida(const dMass& m) {
  if (!std::isfinite(m.mass)) return false;
  for (dReal v : m.c)
    if (!std::isfinite(v)) return false;
  for (dReal v : m.I)
    if (!std::isfinite(v)) return false;
  return dMassCheck(&m) != 0;
}

// A mass the engine would refuse (zero or negative total, a shape of zero size) leaves the body with the
// engine's default mass, so the object still falls and collides.
void AplicaMassa(dBodyID corpo, const dMass& m) {
  if (MassaValida(m)) dBodySetMass(corpo, &m);
}

// Everything a row's build needs beside the row itself.
struct Construcao {
  const TabelaCena& tabela;
  int i;
  Cena& cena;
  const fs::path& arquivoCena;
  const AvisoModelo& aviso;

  double Real(Coluna c) const { return tabela.Real(i, c); }
  float Simples(Coluna c) const { return static_cast<float>(tabela.Real(i, c)); }
  TObjetoCena& Objeto() const { return cena.Objetos[static_cast<std::size_t>(i)]; }
  dBodyID Corpo() const { return cena.Corpos[static_cast<std::size_t>(i)]; }
  TVetor EixoLido() const { return {Real(Coluna::eixoX), Real(Coluna::eixoY), Real(Coluna::eixoZ)}; }
  std::array<float, 4> Quaternio() const { return QuaternioDeCarga(Real(Coluna::Ang), EixoLido()); }

  void Orienta(dGeomID g) const {
    const std::array<float, 4> q = Quaternio();
    const dQuaternion qd = {q[0], q[1], q[2], q[3]};
    dGeomSetQuaternion(g, qd);
    Objeto().Eixo = EixoLido();
    Objeto().Ang = static_cast<float>(Real(Coluna::Ang) * std::numbers::pi / 180.0);
  }

  // Attach, place at (X, Y, Z) and orient with the load-time quaternion.
  void PoePose(dGeomID g) const {
    dGeomSetBody(g, Corpo());
    dGeomSetPosition(g, Simples(Coluna::X), Simples(Coluna::Y), Simples(Coluna::Z));
    Orienta(g);
  }

  void Registra(dGeomID g) const {
    cena.Geometrias[static_cast<std::size_t>(i)] = g;
    MarcaGeometria(g, static_cast<std::size_t>(i));
  }

  void Esfera() const {
    TObjetoCena& o = Objeto();
    const float r = Comprimento(Real(Coluna::Dim1));
    dGeomID g = CriaEsfera(cena.Mundo->Espaco(), r);
    dGeomSphereSetRadius(g, r);
    PoePose(g);
    dMass m;
    dMassSetSphereTotal(&m, Simples(Coluna::Massa), r);
    AplicaMassa(Corpo(), m);
    o.Dim[0] = Real(Coluna::Dim1);
    o.Raio = Real(Coluna::Dim1);
    Registra(g);
  }

  void Capsula() const {
    TObjetoCena& o = Objeto();
    const float r = Comprimento(Real(Coluna::Dim1)), l = Comprimento(Real(Coluna::Dim2));
    dGeomID g = CriaCilindro(cena.Mundo->Espaco(), r, l);
    dGeomCapsuleSetParams(g, r, l);
    PoePose(g);
    dMass m;
    dMassSetCapsuleTotal(&m, Simples(Coluna::Massa), 3, r, l);
    AplicaMassa(Corpo(), m);
    o.Dim[0] = Real(Coluna::Dim1);
    o.Dim[1] = Real(Coluna::Dim2);
    o.Raio = 2 * Real(Coluna::Dim1) + Real(Coluna::Dim2);
    Registra(g);
  }

  void Caixa() const {
    TObjetoCena& o = Objeto();
    const float lx = Comprimento(Real(Coluna::Dim1)), ly = Comprimento(Real(Coluna::Dim2)),
                lz = Comprimento(Real(Coluna::Dim3));
    dGeomID g = CriaCaixa(cena.Mundo->Espaco(), lx, ly, lz);
    dGeomBoxSetLengths(g, lx, ly, lz);
    PoePose(g);
    dMass m;
    dMassSetBoxTotal(&m, Simples(Coluna::Massa), lx, ly, lz);
    AplicaMassa(Corpo(), m);
    for (int k = 0; k < 3; ++k) o.Dim[k] = Real(static_cast<Coluna>(static_cast<int>(Coluna::Dim1) + k));
    o.Raio = std::sqrt(std::pow(o.Dim[0] / 2, 2) + std::pow(o.Dim[1] / 2, 2) + std::pow(o.Dim[2] / 2, 2));
    Registra(g);
  }

  // The engine takes no body on a plane, so the plane stays in the space on its own; the object's body
  // still exists, free of gravity, so the object behaves as a plane row always did.
  void Plano() const {
    TObjetoCena& o = Objeto();
    float a = Simples(Coluna::Dim1), b = Simples(Coluna::Dim2), c = Simples(Coluna::Dim3);
    const float d = Simples(Coluna::Dim4);
    if (a == 0 && b == 0 && c == 0) c = 1;  // a plane needs a normal; a blank row lies flat
    dGeomID g = CriaPlano(cena.Mundo->Espaco(), a, b, c, d);
    dGeomPlaneSetParams(g, a, b, c, d);
    dBodySetGravityMode(Corpo(), 0);
    for (int k = 0; k < 4; ++k) o.Dim[k] = Real(static_cast<Coluna>(static_cast<int>(Coluna::Dim1) + k));
    o.Raio = std::sqrt(std::pow(Real(Coluna::SX) / 2, 2) + std::pow(Real(Coluna::SY) / 2, 2));
    o.Modelo.BoundsCentre.x = Simples(Coluna::SX);
    o.Modelo.BoundsCentre.y = Simples(Coluna::SY);
    Registra(g);
  }

  void Malha() const {
    TObjetoCena& o = Objeto();
    const std::string nome = tabela.Texto(i, Coluna::Arquivo);
    const fs::path caminho = ResolveNomeModelo(nome, arquivoCena.parent_path());
    ModeloLimpo limpo = LimpaArquivoModelo(caminho);
    o.Modelo = CarregaModeloDeLinhas(caminho.string(), limpo.Linhas, aviso);
    SoldaVertices(o.Modelo);
    EscalaModelo(o.Modelo, Real(Coluna::SX), Real(Coluna::SY), Real(Coluna::SZ));
    for (int v = 1; v <= o.Modelo.VertexCount; ++v) {
      const TVertice3f& p = o.Modelo.Vertices[static_cast<std::size_t>(v)];
      if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
        throw std::runtime_error(caminho.string() + ": o modelo fica grande demais com a escala SX, SY, SZ");
    }
    CalculaLimites(o.Modelo);
    o.Malha = MontaMalhaColisao(o.Modelo);

    dBodySetPosition(Corpo(), Simples(Coluna::X), Simples(Coluna::Y), Simples(Coluna::Z));
    const TVertice3f& mn = o.Modelo.BoundsMin;
    const TVertice3f& mx = o.Modelo.BoundsMax;
    const TVertice3f& ce = o.Modelo.BoundsCentre;
    o.Raio = std::sqrt(std::pow(double(mx.x) - ce.x, 2) + std::pow(double(mx.y) - ce.y, 2) +
                       std::pow(double(mx.z) - ce.z, 2));
    // A model without a usable triangle gives the engine nothing to collide: the object keeps its body,
    // drawn as loaded, but no geometry.
    if (o.Malha.Indices.empty()) {
      o.Eixo = EixoLido();
      o.Ang = static_cast<float>(Real(Coluna::Ang) * std::numbers::pi / 180.0);
      return;
    }
    o.DadosMalha = DadosMalhaODE(dGeomTriMeshDataCreate());
    dGeomTriMeshDataBuildSingle(o.DadosMalha.get(), o.Malha.Vertices.data(), 4 * sizeof(float),
                                static_cast<int>(o.Malha.Vertices.size() / 4), o.Malha.Indices.data(),
                                static_cast<int>(o.Malha.Indices.size()), 3 * sizeof(dTriIndex));
    dGeomID g = CriaMalha(cena.Mundo->Espaco(), o.DadosMalha.get());
    dGeomSetBody(g, Corpo());
    Orienta(g);
    dMass m;
    dMassSetBoxTotal(&m, Simples(Coluna::Massa), mx.x - mn.x, mx.y - mn.y, mx.z - mn.z);
    AplicaMassa(Corpo(), m);
    Registra(g);
  }

  void Constroi() const {
    TObjetoCena& o = Objeto();
    cena.Corpos[static_cast<std::size_t>(i)] = dBodyCreate(cena.Mundo->Mundo());
    cena.Atritos[static_cast<std::size_t>(i)] = Real(Coluna::Atrito);
    const int32_t tipo = tabela.Inteiro(i, Coluna::ODETipo);
    switch (tipo) {
      case 0:
        Esfera();
        break;
      case 1:
        Capsula();
        break;
      case 2:
        Caixa();
        break;
      case 3:
        Plano();
        break;
      case 4:
        Malha();
        break;
      default:
        break;
    }
    o.ODETipo = (tipo >= 0 && tipo <= 4) ? static_cast<uint8_t>(tipo) : SemForma;
    const dReal* p = dBodyGetPosition(Corpo());
    o.Posicao = o.PosicaoAnterior = TVetor{p[0], p[1], p[2]};
    o.Proximo = o.Agarrado = false;
    o.Quaternio =
        (tipo == 0 || tipo == 1 || tipo == 2 || tipo == 4) ? Quaternio() : std::array<float, 4>{1, 0, 0, 0};
    o.R = Real(Coluna::R), o.G = Real(Coluna::G), o.B = Real(Coluna::B), o.A = Real(Coluna::A);
    auto flag = [&](Coluna c) { return tabela.Booleano(i, c); };
    o.MostraRastroSempre = flag(Coluna::MostraRastroSempre);
    o.MostraRastroSolto = flag(Coluna::MostraRastroSolto);
    o.MostraVecV = flag(Coluna::MostraVecV);
    o.MostraVecA = flag(Coluna::MostraVecA);
    o.MostraEixoRot = flag(Coluna::MostraEixoRot);
    o.ODEMove = flag(Coluna::ODEMove);
    o.UserMove = flag(Coluna::UserMove);
    o.MoveX = flag(Coluna::MoveX), o.MoveY = flag(Coluna::MoveY), o.MoveZ = flag(Coluna::MoveZ);
    o.Rastro.clear();
    if (!o.ODEMove) {
      // Kinematic: nothing that touches the object can push it or build up its velocity, while the
      // frame keeps putting it back to its stored pose.
      dBodySetKinematic(Corpo());
      dBodyDisable(Corpo());
    }
  }
};

std::string OndeNaCena(const fs::path& arquivo, int linha) {
  return arquivo.string() + ": linha " + std::to_string(linha + 1) + ", coluna \"Arquivo\": ";
}

}  // namespace

void CarregaCena(const fs::path& arquivo, Cena& cena, const AvisoModelo& aviso) {
  IniciaMotorFisico();
  TabelaCena tabela = TabelaCena::Le(arquivo);
  const int n = tabela.NumeroLinhas();
  Cena nova(n > 0 && tabela.Booleano(0, Coluna::TemGravidade));
  nova.TipoDeColisao = n > 0 ? tabela.Inteiro(0, Coluna::TipoDeColisao) : 0;
  const auto tamanho = static_cast<std::size_t>(n);
  nova.Objetos.resize(tamanho);
  nova.Corpos.assign(tamanho, nullptr);
  nova.Geometrias.assign(tamanho, nullptr);
  nova.Atritos.assign(tamanho, 0.0);

  for (int i = 0; i < n; ++i) {
    try {
      Construcao{tabela, i, nova, arquivo, aviso}.Constroi();
    } catch (const ErroModelo& e) {
      throw ErroCena(OndeNaCena(arquivo, i) + e.what());
    } catch (const ErroMotorFisico& e) {
      throw ErroCena(arquivo.string() + ": linha " + std::to_string(i + 1) + ": " + e.what());
    } catch (const std::exception& e) {
      throw ErroCena(OndeNaCena(arquivo, i) + e.what());
    }
  }
  nova.Tabela = std::move(tabela);
  cena.Troca(nova);
}
