#pragma once
// Every object's state in every frame since the scene was loaded, for the window's CSV export. Memory is
// bounded: past the capacity the oldest frames go, whole, and the record says from which frame it starts.

#include "export/csv_output.h"
#include "scene/scene.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <ostream>
#include <span>

class TFrameRecord {
 public:
  // 2^20 object states of 72 bytes: 72 MiB, about 29 minutes of one object or 3.5 minutes of fifty.
  static constexpr std::size_t DefaultCapacity = std::size_t{1} << 20;

  // `capacidade`: object states kept; a frame always fits, however many objects it has.
  explicit TFrameRecord(std::size_t capacidade = DefaultCapacity) : capacity_(capacidade) {}

  // Forgets every frame: the next Add is frame 0, the state right after a load.
  void Restart();
  // Keeps the scene's current state as the next frame.
  void Add(const TScene& cena);

  bool Empty() const { return frames_ == 0; }
  long FirstFrame() const { return first_; }  // above 0 once the bound has dropped frames
  long LastFrame() const { return first_ + frames_ - 1; }
  long Frames() const { return frames_; }

  // The header and every kept frame, objects named by `tabela`'s rows.
  void WriteCSV(std::ostream& saida, const TSceneTable& tabela) const;

  // Each kept frame in order: its number and its objects' states (entry i is the table's row i).
  void ForEachFrame(const std::function<void(long quadro, std::span<const TObjectState> estados)>& f) const;

 private:
  std::size_t capacity_;
  std::size_t objects_ = 0;
  long first_ = 0;
  long frames_ = 0;
  std::deque<TObjectState> states_;
};
