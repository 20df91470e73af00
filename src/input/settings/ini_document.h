#pragma once
// INI text held line by line and read and written by the rules of the Windows profile-string functions:
// sections and keys found without regard to ASCII case, values trimmed and taken out of double quotes,
// integers in decimal or hexadecimal. Writing changes only the line of the key it writes; every other line
// (unknown keys and sections, comments, blank lines) stays as it was.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Longest string a read gives back; a longer value is cut to this many characters.
inline constexpr std::size_t MaxIniValueLength = 2047;

// The integer in `text`: optional sign, then decimal digits, or hexadecimal digits after "$", "0x" or "0X".
// Empty when the text is anything else or the number is outside the signed 32-bit range.
std::optional<int32_t> ParseIniInteger(std::string_view text);

class TIniDocument {
 public:
  // An empty document; it is written with LF line ends.
  TIniDocument() = default;
  // Takes the text of a file. Line ends may be LF, CRLF or a lone CR; the first one found is the style kept
  // on output (LF for a lone CR).
  // A UTF-8 byte order mark is kept. Any bytes are accepted.
  explicit TIniDocument(std::string_view text);

  // The value of the first matching key of the first matching section, trimmed, out of its quotes, and cut
  // to MaxIniValueLength; `def` when the section or key is missing.
  std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
  // The value read as ParseIniInteger does; `def` when missing or not an integer.
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
  // True when the value reads as an integer other than 0.
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;

  // Sets the key: its line is replaced where it stands (left as it is when it already reads back as
  // `value`); a missing key goes after the last entry of its section, a missing section at the end of the
  // text. A value that would not read back as itself (edge spaces, surrounding quotes) is written in quotes.
  // Throws std::invalid_argument for a line break in any argument, an empty key, or "=" in the key or "]"
  // in the section name, none of which an INI line can hold.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  // Written in decimal.
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);
  // Written as "1" or "0".
  void WriteBool(std::string_view section, std::string_view key, bool value);

  // The whole text, with the document's line-end style and byte order mark.
  std::string Text() const;

 private:
  struct TSectionRange {
    std::size_t Header;  // line of "[name]"
    std::size_t End;     // first line after the section
  };
  std::optional<TSectionRange> FindSection(std::string_view section) const;
  std::optional<std::size_t> FindKey(const TSectionRange& range, std::string_view key) const;

  std::vector<std::string> lines_;  // without their line ends
  std::string lineEnd_ = "\n";
  bool byteOrderMark_ = false;
  bool endsWithLineEnd_ = true;
};
