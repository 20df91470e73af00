#pragma once
// Trimming and letter case for text in files and settings. Only ASCII counts, whatever the process locale,
// so names in other 8-bit encodings or in UTF-8 keep their bytes.

#include <string>
#include <string_view>

// Without leading and trailing bytes up to ' ' (blanks and control characters alike).
std::string_view Trim(std::string_view text);
// Without trailing bytes up to ' '.
std::string_view TrimEnd(std::string_view text);
// Without leading and trailing white space as the C locale has it: ' ', '\t', '\n', '\v', '\f', '\r'.
std::string_view TrimWhiteSpace(std::string_view text);

char ToLowerAscii(char c);
char ToUpperAscii(char c);
void MakeLowerAscii(std::string& text);
void MakeUpperAscii(std::string& text);
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);
bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix);
