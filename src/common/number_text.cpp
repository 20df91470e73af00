#include "common/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "common/ascii_text.h"

namespace {

// from_chars takes no leading '+', which hand-written files do use.
std::string_view WithoutPlus(std::string_view t) {
  if (t.size() > 1 && t.front() == '+' && t[1] != '-' && t[1] != '+') t.remove_prefix(1);
  return t;
}

template <typename T>
bool ParseWhole(std::string_view text, T& value) {
  const std::string_view t = WithoutPlus(text);
  if (t.empty()) return false;
  T v{};
  const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (error != std::errc() || end != t.data() + t.size()) return false;
  if constexpr (std::is_floating_point_v<T>) {
    if (!std::isfinite(v)) return false;
  }
  value = v;
  return true;
}

// As ParseWhole for a double, but a value below the double's range reads as that tiny value rounded (zero
// or a subnormal) instead of failing.
bool ParseDoubleAllowingUnderflow(std::string_view text, double& value) {
  if (ParseWhole(text, value)) return true;
  const std::string_view t = WithoutPlus(text);
  const char* const textEnd = t.data() + t.size();
  double narrow = 0;
  if (t.empty() || std::from_chars(t.data(), textEnd, narrow).ec != std::errc::result_out_of_range)
    return false;
  long double wide = 0;
  const auto [end, error] = std::from_chars(t.data(), textEnd, wide);
  if (error != std::errc() || end != textEnd || std::fabs(wide) > std::numeric_limits<double>::max()) {
    return false;
  }
  value = static_cast<double>(wide);
  return true;
}

// 0 to 9 for a digit, above 9 for any other byte.
unsigned DigitValue(char c) {
  return static_cast<unsigned>(static_cast<unsigned char>(c)) - unsigned{'0'};
}

// Plain decimals ("-12.5", "0.000001") of at most 19 digits with no exponent, read without the general
// conversion: while the digits fit 2^53 and the power of ten is exact in a double (up to 1e22), one division
// gives the correctly rounded double, the same one from_chars gives. The number runs from the start of `t`
// to its first blank or control byte; returns its length, or 0 when it is not such a decimal and must take
// the general road (which reads any decimal to the same double, so the limits here only choose the road).
inline size_t ScanPlainDecimal(std::string_view t, double& value) {
  static constexpr double potencias[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,
                                         1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19};
  const char* p = t.data();
  const char* const fim = p + t.size();
  const bool negativo = p != fim && *p == '-';
  if (p != fim && (*p == '-' || *p == '+')) ++p;
  // Past 19 digits the sum may wrap; such a number is refused below before the sum is used.
  uint64_t mantissa = 0;
  const char* const inteiros = p;
  for (unsigned d = 0; p != fim && (d = DigitValue(*p)) <= 9; ++p) mantissa = mantissa * 10 + d;
  size_t algarismos = static_cast<size_t>(p - inteiros);
  size_t decimais = 0;
  if (p != fim && *p == '.') {
    const char* const fracao = ++p;
    for (unsigned d = 0; p != fim && (d = DigitValue(*p)) <= 9; ++p) mantissa = mantissa * 10 + d;
    decimais = static_cast<size_t>(p - fracao);
    algarismos += decimais;
  }
  if (algarismos == 0 || algarismos > 19 || mantissa > (uint64_t{1} << 53)) return 0;
  if (p != fim && static_cast<unsigned char>(*p) > ' ') return 0;
  const double m = static_cast<double>(mantissa) / potencias[decimais];
  value = negativo ? -m : m;
  return static_cast<size_t>(p - t.data());
}

bool ParsePlainDecimal(std::string_view t, double& value) {
  double v = 0;
  if (t.empty() || ScanPlainDecimal(t, v) != t.size()) return false;
  value = v;
  return true;
}

}  // namespace

bool ParseDouble(std::string_view text, double& value) {
  return ParseWhole(Trim(text), value);
}

bool ParseInt(std::string_view text, int32_t& value) {
  return ParseWhole(Trim(text), value);
}

bool ParseBool(std::string_view text, bool& value) {
  const std::string_view t = Trim(text);
  if (EqualsIgnoringAsciiCase(t, "TRUE") || t == "1") return value = true, true;
  if (EqualsIgnoringAsciiCase(t, "FALSE") || t == "0") return value = false, true;
  return false;
}

bool ParseFloatField(std::string_view field, float& value) {
  double wide = 0;
  // Narrowed from double, so a value too large for a single is caught instead of becoming infinite.
  if (!ParsePlainDecimal(field, wide) && !ParseDoubleAllowingUnderflow(field, wide)) return false;
  if (!FitsFloat(wide)) return false;
  value = static_cast<float>(wide);
  return true;
}

size_t ParseLeadingFloatField(std::string_view text, float& value) {
  double wide = 0;
  size_t length = ScanPlainDecimal(text, wide);
  if (length == 0) {
    while (length < text.size() && static_cast<unsigned char>(text[length]) > ' ') ++length;
    if (length == 0 || !ParseDoubleAllowingUnderflow(text.substr(0, length), wide) || !FitsFloat(wide))
      return 0;
  }
  value = static_cast<float>(wide);
  return length;
}

size_t ParseFloatFields(std::string_view& text, float* values, size_t count) {
  size_t read = 0;
  for (; read < count; ++read) {
    size_t start = 0;
    while (start < text.size() && static_cast<unsigned char>(text[start]) <= ' ') ++start;
    if (start == text.size()) break;
    const size_t length = ParseLeadingFloatField(text.substr(start), values[read]);
    if (length == 0) break;
    text.remove_prefix(start + length);
  }
  return read;
}

bool ParseIntField(std::string_view field, int32_t& value) {
  return ParseWhole(field, value);
}

bool FitsFloat(double value) {
  return std::isfinite(value) && std::fabs(value) <= std::numeric_limits<float>::max();
}

std::string FormatDouble(double value) {
  char buf[32];
  const auto [end, error] = std::to_chars(buf, buf + sizeof buf, value);
  return error == std::errc() ? std::string(buf, end) : std::string("0");
}

std::string FormatDecimalComma(double value, int decimals) {
  if (!std::isfinite(value)) return {};
  char buf[400];
  const auto [end, error] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  if (error != std::errc()) return {};
  std::string s(buf, end);
  // A small negative value rounded to zero is zero.
  if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
  for (char& c : s)
    if (c == '.') c = ',';
  return s;
}

bool ParseTypedNumber(std::string_view text, double& value) {
  std::string t(Trim(text));
  // The typographic minus signs read as the ASCII one.
  for (const std::string_view menos : {std::string_view("\u2212"), std::string_view("\u2013")}) {
    for (std::size_t k = t.find(menos); k != std::string::npos; k = t.find(menos, k))
      t.replace(k, menos.size(), "-");
  }
  std::size_t separadores = 0;
  for (char& c : t) {
    if (c == ',') c = '.';
    if (c == '.') ++separadores;
  }
  if (separadores > 1) return false;
  double v = 0;
  if (!ParseWhole(t, v)) return false;
  value = v == 0 ? 0.0 : v;  // "-0" is shown as 0
  return true;
}

std::string FormatTypedNumber(double value) {
  // Plain digits where a person reads them at a glance ("1000000", "0,0025"); exponents beyond that.
  std::string t;
  const double m = std::fabs(value);
  if (m == 0 || (m >= 1e-6 && m < 1e15)) {
    char texto[64];
    const auto fim = std::to_chars(texto, texto + sizeof texto, value, std::chars_format::fixed).ptr;
    t.assign(texto, fim);
  } else {
    t = FormatDouble(value);
  }
  for (char& c : t)
    if (c == '.') c = ',';
  return t;
}
