#pragma once
// A small modal form of numbers, as the ramp and block templates ask for them: each field reads what a
// person types and refuses, beside the field, anything outside its range; OK is taken only when every
// field holds an accepted number.

#include "app/editor/number_range.h"

#include <QString>

#include <optional>
#include <vector>

class QWidget;

struct TNumberQuestion {
  QString rotulo;
  TNumberRange range;
  double inicial;
};

// The numbers in the order asked; nothing when the user cancels.
std::optional<std::vector<double>> AskNumbers(QWidget* pai, const QString& titulo,
                                              const std::vector<TNumberQuestion>& perguntas);
