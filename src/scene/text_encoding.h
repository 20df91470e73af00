#pragma once
// Scene files come from Windows machines as often as from Linux ones: text is either UTF-8 or an 8-bit
// Windows code page (Western European, as Portuguese names use).

#include <cstddef>
#include <string>
#include <string_view>

bool ValidUtf8(std::string_view bytes);
// Where the first byte that breaks UTF-8 stands (the size when there is none).
std::size_t InvalidUtf8Offset(std::string_view bytes);

// Windows-1252 to UTF-8; bytes the code page leaves undefined become U+FFFD.
std::string Windows1252ToUtf8(std::string_view bytes);

// ISO-8859-1 to UTF-8: every byte is the code point of the same number.
std::string Latin1ToUtf8(std::string_view bytes);
