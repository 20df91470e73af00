#include "input/settings/ini_file.h"

#include <utility>

#include "common/file_io.h"

namespace {

std::filesystem::path FullPath(const std::filesystem::path& arquivo) {
  std::error_code error;
  const std::filesystem::path full = std::filesystem::absolute(arquivo, error);
  return error ? arquivo : full.lexically_normal();
}

}  // namespace

EIniWriteError::EIniWriteError(const std::filesystem::path& arquivo)
    : std::runtime_error("Unable to write to " + FullPath(arquivo).string()), file_(FullPath(arquivo)) {}

TIniFile::TIniFile(std::filesystem::path arquivo) : file_(std::move(arquivo)) {
  TFileContents contents = ReadWholeFile(file_, MaxIniFileSize);
  // Anything there that could not be read must not be overwritten with defaults.
  unreadable_ = contents.Status != TFileReadStatus::Read && contents.Status != TFileReadStatus::Missing;
  if (contents.Status == TFileReadStatus::Read) document_ = TIniDocument(contents.Bytes);
}

void TIniFile::Save() const {
  if (unreadable_ || ReplaceFileAtomically(file_, document_.Text())) throw EIniWriteError(file_);
}
