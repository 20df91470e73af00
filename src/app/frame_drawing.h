#pragma once
// The frame's picture with OpenGL, into whatever context is current: the drawing steps of the frame in
// their order, and the GL objects that live with the context.

#include "DesenhoGL.h"
#include "frame.h"

class TDesenhoQuadroGL : public TDesenhoQuadro {
 public:
  // `aspecto`: width / height of the drawing area.
  explicit TDesenhoQuadroGL(double aspecto) : aspecto_(aspecto) {}

  void CriaRecursos() { gl_.Cria(); }      // with the context current, once it exists
  void LiberaRecursos() { gl_.Libera(); }  // with the context current, before it goes

  void Limpa() override;
  void Projecao(const TCamera& camera) override;
  void Referencias(const TEstadoQuadro& estado, const Cena& cena) override;
  void Objetos(const Cena& cena) override;

 private:
  double aspecto_;
  DesenhoGL gl_;
};
