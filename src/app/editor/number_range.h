#pragma once
// What a numeric field of the editor accepts, and the message that refuses anything else. Text is read
// as a person types it ("2,5", "2.5", "1e5", either minus sign); nothing is ever clamped into the range.

#include <QString>

#include <optional>

struct TNumberRange {
  double minimo = 0, maximo = 0;
  bool minimoExcluido = false;  // "greater than" rather than "from"
  QString unidade;              // " m", " kg"… as shown after the numbers
  QString porque;               // why the range is what it is, when a person would ask
  bool maximoExcluido = false;  // "less than" rather than "up to"

  // "de -10000 a 10000 m", "maior que 0 e até 1000000 kg", "maior que 0 e menor que 90°".
  QString Describe() const;
  // The value of `texto` in `valor`, or the message that refuses it (naming the accepted range).
  std::optional<QString> Read(const QString& texto, double& valor) const;
};
