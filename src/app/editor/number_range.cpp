#include "app/editor/number_range.h"

#include "common/number_text.h"

namespace {

QString Number(double v) {
  return QString::fromStdString(FormatTypedNumber(v));
}

}  // namespace

QString TNumberRange::Describe() const {
  const QString ate = maximoExcluido ? "menor que " : minimoExcluido ? "até " : "a ";
  const QString de = minimoExcluido ? "maior que " + Number(minimo) + " e " : "de " + Number(minimo) + " ";
  return de + (maximoExcluido && !minimoExcluido ? "e " : "") + ate + Number(maximo) + unidade;
}

std::optional<QString> TNumberRange::Read(const QString& texto, double& valor) const {
  double v = 0;
  if (!ParseTypedNumber(texto.toStdString(), v))
    return "\"" + texto.trimmed() + "\" não é um número. Aceito: " + Describe() + ".";
  const bool abaixo = minimoExcluido ? !(v > minimo) : !(v >= minimo);
  const bool acima = maximoExcluido ? !(v < maximo) : !(v <= maximo);
  if (abaixo || acima) {
    QString msg = Number(v) + unidade + " está fora do intervalo. Aceito: " + Describe();
    if (!porque.isEmpty()) msg += " (" + porque + ")";
    return msg + ".";
  }
  valor = v;
  return std::nullopt;
}
