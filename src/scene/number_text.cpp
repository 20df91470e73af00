#include "scene/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>

std::string_view Apara(std::string_view texto) {
  auto branco = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!texto.empty() && branco(texto.front())) texto.remove_prefix(1);
  while (!texto.empty() && branco(texto.back())) texto.remove_suffix(1);
  return texto;
}

namespace {

// from_chars takes no leading '+', which hand-written files do use.
std::string_view SemMais(std::string_view t) {
  if (t.size() > 1 && t.front() == '+' && t[1] != '-' && t[1] != '+') t.remove_prefix(1);
  return t;
}

template <typename T>
bool LeNumero(std::string_view texto, T& valor) {
  const std::string_view t = SemMais(Apara(texto));
  if (t.empty()) return false;
  T v{};
  const auto [fim, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || fim != t.data() + t.size()) return false;
  if constexpr (std::is_floating_point_v<T>) {
    if (!std::isfinite(v)) return false;
  }
  valor = v;
  return true;
}

}  // namespace

bool LeReal(std::string_view texto, double& valor) {
  return LeNumero(texto, valor);
}
bool LeFloat(std::string_view texto, float& valor) {
  return LeNumero(texto, valor);
}
bool LeInteiro(std::string_view texto, int32_t& valor) {
  return LeNumero(texto, valor);
}

bool LeBooleano(std::string_view texto, bool& valor) {
  const std::string_view t = Apara(texto);
  auto igual = [&](std::string_view s) {
    if (t.size() != s.size()) return false;
    for (std::size_t i = 0; i < t.size(); ++i)
      if ((t[i] & ~0x20) != (s[i] & ~0x20)) return false;
    return true;
  };
  if (igual("TRUE") || t == "1") return valor = true, true;
  if (igual("FALSE") || t == "0") return valor = false, true;
  return false;
}

bool CabeEmFloat(double valor) {
  return std::isfinite(valor) && std::fabs(valor) <= std::numeric_limits<float>::max();
}

std::string EscreveReal(double valor) {
  char buf[32];
  const auto [fim, ec] = std::to_chars(buf, buf + sizeof buf, valor);
  return ec == std::errc() ? std::string(buf, fim) : std::string("0");
}
