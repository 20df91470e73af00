#pragma once
// The command line of an "Execute" assignment, cut into words the way a POSIX shell quotes them, without
// anything else a shell does: no variables, no wildcards, no pipes or redirections, no "~".

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Blanks (space, tab, newline) separate words; 'single quotes' keep everything; "double quotes" keep
// everything but a backslash before $ ` " \ or a newline; a backslash elsewhere keeps the next character
// (a backslash-newline pair vanishes). Quoted pieces join the text around them, so '' is an empty word.
// An unterminated quote or a trailing backslash gives none.
std::optional<std::vector<std::string>> SplitCommandLine(std::string_view CommandLine);
