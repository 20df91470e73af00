#include "frame/picture_rest.h"

#include <cstring>

namespace {

// FNV-1a over the bytes of each value, in the order they are added.
class TKeyBuilder {
 public:
  template <typename T>
  void Add(const T& v) {
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &v, sizeof(T));
    for (unsigned char b : bytes) hash_ = (hash_ ^ b) * 1099511628211ull;
  }
  void Add(const TVector& v) {
    Add(v.x);
    Add(v.y);
    Add(v.z);
  }
  std::uint64_t Value() const { return hash_; }

 private:
  std::uint64_t hash_ = 14695981039346656037ull;
};

}  // namespace

std::uint64_t PictureKey(const TScene& cena, const TFrameState& estado, const TCamera& camera,
                         std::optional<std::size_t> selecionado) {
  TKeyBuilder k;
  k.Add(camera.Olho);
  k.Add(camera.Centro);
  k.Add(camera.Cima);
  k.Add(estado.PonteiroPos);
  k.Add(estado.PonteiroCaminho.size());
  k.Add(estado.PointerShown);
  k.Add(estado.SimulatedTime);
  // Paused, the selected object's launch arrow shows.
  k.Add(estado.Control.Paused());
  k.Add(selecionado.has_value());
  k.Add(selecionado.value_or(0));
  k.Add(cena.Objetos.size());
  for (const TObjetoCena& o : cena.Objetos) {
    k.Add(o.Posicao);
    k.Add(o.VecV);
    k.Add(o.Quaternio);
    k.Add(o.Proximo);
    k.Add(o.Agarrado);
    k.Add(o.LeftWorld);
    k.Add(o.Rastro.size());
  }
  return k.Value();
}

bool TPictureRest::MayRest(const TFrameState& estado, const TRemoteReading& remoto,
                           std::uint64_t chave) const {
  const bool ponteiroAnda = remoto.MovesPointer();
  return hasDrawn_ && chave == drawn_ && estado.Control.Paused() && !estado.Control.StepWaiting() &&
         !ponteiroAnda;
}
