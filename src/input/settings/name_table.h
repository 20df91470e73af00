#pragma once
// A fixed table of the words a settings file may hold (button action names, pointer modes) and the values
// they stand for: each word is written once, and text becomes a value in one place.

#include <array>
#include <cstddef>
#include <string_view>

template <typename TValue>
struct TNamedValue {
  std::string_view Name;
  TValue Value;
};

// The value of the entry named exactly (case-sensitively) `Name`; `Missing` when no entry has that name.
template <typename TValue, std::size_t Count>
constexpr TValue ValueOfName(const std::array<TNamedValue<TValue>, Count>& Table, std::string_view Name,
                             TValue Missing) {
  for (const TNamedValue<TValue>& entry : Table)
    if (entry.Name == Name) return entry.Value;
  return Missing;
}
