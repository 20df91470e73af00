#pragma once
// An INI file on disk: read once into a TIniDocument, written back all at once.

#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "input/settings/ini_document.h"

// Saving failed and the file on disk is as it was. The text is "Unable to write to " and the file's full
// path, then ": " and the reason when one is given, ready to be shown to the user.
class EIniWriteError : public std::runtime_error {
 public:
  explicit EIniWriteError(const std::filesystem::path& arquivo, const std::string& motivo = {});
  // The full path named in the text.
  const std::filesystem::path& Arquivo() const { return file_; }

 private:
  std::filesystem::path file_;
};

// Longest file read. Settings files hold a few kilobytes; the limit keeps a runaway file (millions of empty
// lines, each becoming a string) from exhausting memory.
inline constexpr std::size_t MaxIniFileSize = std::size_t{1} << 20;

class TIniFile {
 public:
  // Reads the file. A missing or unreadable file, or one longer than MaxIniFileSize, gives an empty
  // document, so every read gets its default.
  explicit TIniFile(std::filesystem::path arquivo);

  TIniDocument& Document() { return document_; }
  const TIniDocument& Document() const { return document_; }

  // Replaces the file with the document's text atomically (see ReplaceFileAtomically). Throws
  // EIniWriteError when the file cannot be written, and also when it existed but could not be read (or was
  // too long), since writing it then would drop whatever it held.
  void Save() const;

 private:
  std::filesystem::path file_;
  TIniDocument document_;
  std::string unreadable_;  // why the file there could not be read; empty when it was read or is missing
};
