#pragma once
// Scene files come from Windows machines as often as from Linux ones: text is either UTF-8 or an 8-bit
// Windows code page (Western European, as Portuguese names use).

#include <string>
#include <string_view>

bool ValidUtf8(std::string_view bytes);

// Windows-1252 to UTF-8; bytes the code page leaves undefined become U+FFFD.
std::string Windows1252ToUtf8(std::string_view bytes);
