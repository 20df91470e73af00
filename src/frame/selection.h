#pragma once
// The object the user has picked in the view or in a list: the one the information, the plots and the
// editor speak about. Plain C++; whoever shows it subscribes to its changes.

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

class TSelection {
 public:
  using TListener = std::function<void(std::optional<std::size_t>)>;

  std::optional<std::size_t> Current() const { return current_; }

  // Tells every listener, once, when the selection really changes.
  void Set(std::optional<std::size_t> index) {
    if (index == current_) return;
    current_ = index;
    for (const TListener& l : listeners_) l(current_);
  }

  // A scene of `count` objects replaced the old one: a selection past its end is dropped.
  void KeepWithin(std::size_t count) {
    if (current_ && *current_ >= count) Set(std::nullopt);
  }

  void Subscribe(TListener listener) { listeners_.push_back(std::move(listener)); }

 private:
  std::optional<std::size_t> current_;
  std::vector<TListener> listeners_;
};
