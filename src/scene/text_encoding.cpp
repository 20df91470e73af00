#include "scene/text_encoding.h"

#include <cstdint>

std::size_t InvalidUtf8Offset(std::string_view bytes) {
  std::size_t i = 0;
  const std::size_t n = bytes.size();
  while (i < n) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    int extra = 0;
    uint32_t ponto = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      extra = 1, ponto = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2, ponto = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3, ponto = c & 0x07;
    } else {
      return i;
    }
    if (n - i <= static_cast<std::size_t>(extra)) return i;
    for (int k = 1; k <= extra; ++k) {
      const auto d = static_cast<unsigned char>(bytes[i + k]);
      if ((d & 0xC0) != 0x80) return i;
      ponto = (ponto << 6) | (d & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    static constexpr uint32_t minimo[] = {0, 0x80, 0x800, 0x10000};
    if (ponto < minimo[extra] || ponto > 0x10FFFF || (ponto >= 0xD800 && ponto <= 0xDFFF)) return i;
    i += extra + 1;
  }
  return n;
}

bool ValidUtf8(std::string_view bytes) {
  return InvalidUtf8Offset(bytes) == bytes.size();
}

namespace {

// 0x80..0x9F of Windows-1252; 0 marks the five bytes it leaves undefined.
constexpr uint16_t Faixa80[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                  0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& saida, uint32_t ponto) {
  if (ponto < 0x80) {
    saida += static_cast<char>(ponto);
  } else if (ponto < 0x800) {
    saida += static_cast<char>(0xC0 | (ponto >> 6));
    saida += static_cast<char>(0x80 | (ponto & 0x3F));
  } else {
    saida += static_cast<char>(0xE0 | (ponto >> 12));
    saida += static_cast<char>(0x80 | ((ponto >> 6) & 0x3F));
    saida += static_cast<char>(0x80 | (ponto & 0x3F));
  }
}

}  // namespace

std::string Windows1252ToUtf8(std::string_view bytes) {
  std::string saida;
  saida.reserve(bytes.size() + bytes.size() / 8);
  for (char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    uint32_t ponto = c;
    if (c >= 0x80 && c < 0xA0) ponto = Faixa80[c - 0x80] ? Faixa80[c - 0x80] : 0xFFFD;
    AppendUtf8(saida, ponto);
  }
  return saida;
}

std::string Latin1ToUtf8(std::string_view bytes) {
  std::string saida;
  saida.reserve(bytes.size() + bytes.size() / 8);
  for (char ch : bytes) AppendUtf8(saida, static_cast<unsigned char>(ch));
  return saida;
}
