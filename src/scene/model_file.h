#pragma once
// Model files on disk: finding them whatever the letter case, resolving the names scene rows give, reading
// their lines, and joining continued lines in place before a load.

#include <filesystem>
#include <string>
#include <vector>

// The path itself when it exists; otherwise the path whose components each match a directory entry that
// differs only in ASCII letter case (the first such entry in name order); otherwise the path unchanged.
std::filesystem::path FindFile(const std::filesystem::path& caminho);

// Turns a model name from a scene cell into a path: backslashes count as separators, relative names are
// taken from the scene file's folder `pastaCena`, absolute ones are kept; then FindFile.
std::filesystem::path ResolveModelName(const std::string& arquivo, const std::filesystem::path& pastaCena);

// All lines of a text file, without their line ends (trailing carriage returns removed). Throws
// std::runtime_error naming the file when it is missing, not a regular file, or cannot be read.
std::vector<std::string> ReadFileLines(const std::filesystem::path& arquivo);

struct TCleanedModel {
  std::vector<std::string> Linhas;  // the model's lines after joining, exactly as the loader must read them
  bool Reescrito = false;           // the file on disk now holds these lines
};

// Joins every line holding a backslash (text before its first backslash, then the next line) and, when
// anything was joined, replaces the model file by a new one through a rename in its own folder. A folder
// that cannot be written leaves the file as it was and the joined lines in memory only. Throws
// std::runtime_error naming the file when it cannot be read.
TCleanedModel CleanModelFile(const std::filesystem::path& modelo);
