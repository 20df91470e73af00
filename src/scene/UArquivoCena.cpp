#include "UArquivoCena.h"

#include <utility>

DadosMalhaODE& DadosMalhaODE::operator=(DadosMalhaODE&& o) noexcept {
  if (this != &o) {
    Libera();
    dados_ = std::exchange(o.dados_, nullptr);
  }
  return *this;
}

void DadosMalhaODE::Libera() {
  if (dados_) dGeomTriMeshDataDestroy(dados_);
  dados_ = nullptr;
}

Cena::Cena(bool temGravidade)
    : TemGravidade(temGravidade), Mundo(std::make_unique<MundoFisico>(temGravidade)) {}

// The world goes first: its mesh geometries still point into the objects' buffers until then.
Cena::~Cena() {
  Mundo.reset();
}

void Cena::Troca(Cena& outra) noexcept {
  using std::swap;
  swap(Tabela, outra.Tabela);
  swap(Objetos, outra.Objetos);
  swap(Corpos, outra.Corpos);
  swap(Geometrias, outra.Geometrias);
  swap(Atritos, outra.Atritos);
  swap(TemGravidade, outra.TemGravidade);
  swap(TipoDeColisao, outra.TipoDeColisao);
  swap(Mundo, outra.Mundo);
}
