#include "scene/frame_record.h"

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
  for (const TObjetoCena& o : cena.Objetos) states_.push_back({o.Posicao, o.VecV, o.Quaternio});
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
  std::vector<TObjectState> quadro(objects_);
  auto it = states_.begin();
  for (long f = 0; f < frames_; ++f) {
    std::copy_n(it, objects_, quadro.begin());
    it += static_cast<std::ptrdiff_t>(objects_);
    EscreveQuadroCSV(saida, tabela, first_ + f, quadro);
  }
}
