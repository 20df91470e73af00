#include "input/desktop/command_line.h"

namespace {

bool Blank(char c) {
  return c == ' ' || c == '\t' || c == '\n';
}

bool EscapableInDoubleQuotes(char c) {
  return c == '$' || c == '`' || c == '"' || c == '\\' || c == '\n';
}

}  // namespace

std::optional<std::vector<std::string>> SplitCommandLine(std::string_view CommandLine) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;  // a word has begun, even if it is still empty ('' or "")
  const std::size_t n = CommandLine.size();
  for (std::size_t i = 0; i < n; ++i) {
    const char c = CommandLine[i];
    if (Blank(c)) {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
    } else if (c == '\\') {
      if (i + 1 == n) return std::nullopt;
      const char next = CommandLine[++i];
      if (next == '\n') continue;
      word += next;
      inWord = true;
    } else if (c == '\'') {
      const std::size_t close = CommandLine.find('\'', i + 1);
      if (close == std::string_view::npos) return std::nullopt;
      word.append(CommandLine.substr(i + 1, close - i - 1));
      i = close;
      inWord = true;
    } else if (c == '"') {
      inWord = true;
      for (++i;; ++i) {
        if (i == n) return std::nullopt;
        const char q = CommandLine[i];
        if (q == '"') break;
        if (q == '\\' && i + 1 < n && EscapableInDoubleQuotes(CommandLine[i + 1])) {
          if (CommandLine[++i] != '\n') word += CommandLine[i];
        } else {
          word += q;
        }
      }
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(std::move(word));
  return words;
}
