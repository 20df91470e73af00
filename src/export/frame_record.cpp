#include "export/frame_record.h"

#include "scene/object_readout.h"

#include <algorithm>
#include <vector>

void TFrameRecord::Restart() {
  states_.clear();
  objects_ = 0;
  first_ = 0;
  frames_ = 0;
}

void TFrameRecord::Add(const TScene& cena) {
  // A scene keeps its objects from load to load; a record that sees another count starts again.
  if (frames_ > 0 && cena.Objetos.size() != objects_) Restart();
  if (frames_ == 0) objects_ = cena.Objetos.size();
  for (std::size_t i = 0; i < cena.Objetos.size(); ++i) {
    const TObjetoCena& o = cena.Objetos[i];
    states_.push_back({o.Posicao, o.VecV, o.Quaternio, RotationEnergy(cena, i)});
  }
  ++frames_;
  const std::size_t maximo = std::max<std::size_t>(1, capacity_ / std::max<std::size_t>(1, objects_));
  if (static_cast<std::size_t>(frames_) > maximo) {
    states_.erase(states_.begin(), states_.begin() + static_cast<std::ptrdiff_t>(objects_));
    --frames_;
    ++first_;
  }
}

void TFrameRecord::WriteCSV(std::ostream& saida, const TSceneTable& tabela) const {
  EscreveCabecalhoCSV(saida);
  ForEachFrame([&](long quadro, std::span<const TObjectState> estados) {
    EscreveQuadroCSV(saida, tabela, quadro, estados);
  });
}

void TFrameRecord::ForEachFrame(
    const std::function<void(long quadro, std::span<const TObjectState> estados)>& f) const {
  std::vector<TObjectState> quadro(objects_);
  auto it = states_.begin();
  for (long k = 0; k < frames_; ++k) {
    std::copy_n(it, objects_, quadro.begin());
    it += static_cast<std::ptrdiff_t>(objects_);
    f(first_ + k, quadro);
  }
}
