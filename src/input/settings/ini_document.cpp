#include "input/settings/ini_document.h"

#include <limits>
#include <stdexcept>
#include <utility>

#include "common/ascii_text.h"

namespace {

constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";

bool IsComment(std::string_view trimmed) {
  return !trimmed.empty() && trimmed.front() == ';';
}

// The name of a "[name]" line; a header without its closing bracket still opens a section.
std::optional<std::string_view> SectionName(std::string_view line) {
  const std::string_view trimmed = TrimWhiteSpace(line);
  if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
  std::string_view name = trimmed.substr(1);
  name = name.substr(0, name.find(']'));
  return TrimWhiteSpace(name);
}

struct TEntry {
  std::string_view Key;
  std::string_view Value;  // trimmed, quotes still on
};

std::optional<TEntry> Entry(std::string_view line) {
  const std::string_view trimmed = TrimWhiteSpace(line);
  if (trimmed.empty() || IsComment(trimmed) || trimmed.front() == '[') return std::nullopt;
  const std::size_t equals = trimmed.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return TEntry{TrimWhiteSpace(trimmed.substr(0, equals)), TrimWhiteSpace(trimmed.substr(equals + 1))};
}

std::string_view Unquoted(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
    return value.substr(1, value.size() - 2);
  return value;
}

std::string ValueAsRead(std::string_view stored) {
  return std::string(Unquoted(stored).substr(0, MaxIniValueLength));
}

// Quotes keep edge blanks and a quoted-looking value intact through the trim and unquote of reading.
std::string ValueAsWritten(std::string_view value) {
  const bool needsQuotes =
      TrimWhiteSpace(value).size() != value.size() || Unquoted(value).size() != value.size();
  return needsQuotes ? "\"" + std::string(value) + "\"" : std::string(value);
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

void CheckWritable(std::string_view section, std::string_view key, std::string_view value) {
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value))
    throw std::invalid_argument("INI entries cannot hold a line break");
  if (TrimWhiteSpace(key).empty() || key.find('=') != std::string_view::npos)
    throw std::invalid_argument("INI key names must be non-empty and without \"=\"");
  if (section.find(']') != std::string_view::npos)
    throw std::invalid_argument("INI section names cannot hold \"]\"");
}

}  // namespace

std::optional<int32_t> ParseIniInteger(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.starts_with('$')) {
    base = 16;
    text.remove_prefix(1);
  } else if (text.starts_with("0x") || text.starts_with("0X")) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  constexpr int64_t Limit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  int64_t magnitude = 0;
  for (const char c : text) {
    int digit = base;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (base == 16 && ToLowerAscii(c) >= 'a' && ToLowerAscii(c) <= 'f') digit = ToLowerAscii(c) - 'a' + 10;
    if (digit >= base) return std::nullopt;
    magnitude = magnitude * base + digit;
    if (magnitude > Limit) return std::nullopt;
  }
  const int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<int32_t>::max()) return std::nullopt;
  return static_cast<int32_t>(value);
}

TIniDocument::TIniDocument(std::string_view text) {
  if (text.starts_with(Utf8ByteOrderMark)) {
    byteOrderMark_ = true;
    text.remove_prefix(Utf8ByteOrderMark.size());
  }
  // A lone carriage return ends a line too, as other INI readers take it: kept inside a value, it could
  // never be written back, and the save would fail on every exit.
  const std::size_t firstBreak = text.find_first_of("\r\n");
  if (firstBreak != std::string_view::npos && text.substr(firstBreak, 2) == "\r\n") lineEnd_ = "\r\n";
  endsWithLineEnd_ = text.empty() || text.back() == '\n' || text.back() == '\r';
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines_.emplace_back(text.substr(start));
      break;
    }
    lines_.emplace_back(text.substr(start, end - start));
    start = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
  }
}

std::optional<TIniDocument::TSectionRange> TIniDocument::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const std::optional<std::string_view> name = SectionName(lines_[i]);
    if (!name || !EqualsIgnoringAsciiCase(*name, section)) continue;
    std::size_t end = i + 1;
    while (end < lines_.size() && !SectionName(lines_[end])) ++end;
    return TSectionRange{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> TIniDocument::FindKey(const TSectionRange& range, std::string_view key) const {
  for (std::size_t i = range.Header + 1; i < range.End; ++i) {
    const std::optional<TEntry> entry = Entry(lines_[i]);
    if (entry && EqualsIgnoringAsciiCase(entry->Key, key)) return i;
  }
  return std::nullopt;
}

std::string TIniDocument::ReadString(std::string_view section, std::string_view key,
                                     std::string_view def) const {
  const std::optional<TSectionRange> range = FindSection(section);
  if (!range) return std::string(def);
  const std::optional<std::size_t> line = FindKey(*range, key);
  if (!line) return std::string(def);
  return ValueAsRead(Entry(lines_[*line])->Value);
}

int32_t TIniDocument::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
  return ParseIniInteger(ReadString(section, key, "")).value_or(def);
}

bool TIniDocument::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniDocument::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  CheckWritable(section, key, value);
  const std::string_view name = TrimWhiteSpace(key);
  std::string line = std::string(name) + "=" + ValueAsWritten(value);
  const std::optional<TSectionRange> range = FindSection(section);
  if (!range) {
    if (!lines_.empty() && !TrimWhiteSpace(lines_.back()).empty()) lines_.emplace_back();
    lines_.push_back("[" + std::string(TrimWhiteSpace(section)) + "]");
    lines_.push_back(std::move(line));
    endsWithLineEnd_ = true;
    return;
  }
  if (const std::optional<std::size_t> existing = FindKey(*range, name)) {
    // An unchanged value keeps the user's own spacing, quotes and any part beyond the read limit.
    if (ValueAsRead(Entry(lines_[*existing])->Value) != value) lines_[*existing] = std::move(line);
    return;
  }
  // After the section's last entry, so blank lines and comments leading into the next section stay there.
  std::size_t after = range->Header;
  for (std::size_t i = range->Header + 1; i < range->End; ++i) {
    const std::string_view trimmed = TrimWhiteSpace(lines_[i]);
    if (!trimmed.empty() && !IsComment(trimmed)) after = i;
  }
  if (after + 1 == lines_.size()) endsWithLineEnd_ = true;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(after + 1), std::move(line));
}

void TIniDocument::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TIniDocument::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

std::string TIniDocument::Text() const {
  std::string text;
  if (byteOrderMark_) text += Utf8ByteOrderMark;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    text += lines_[i];
    if (i + 1 < lines_.size() || endsWithLineEnd_) text += lineEnd_;
  }
  return text;
}
