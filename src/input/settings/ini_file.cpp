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

EIniWriteError::EIniWriteError(const std::filesystem::path& arquivo, const std::string& motivo)
    : std::runtime_error("Unable to write to " + FullPath(arquivo).string() + (motivo.empty() ? "" : ": ") +
                         motivo),
      file_(FullPath(arquivo)) {}

namespace {

// Why a file that is there was not read, and so must not be written over with defaults.
std::string UnreadableReason(const std::filesystem::path& arquivo, const TFileContents& conteudo) {
  const std::string perde = ", and writing it would lose what it holds";
  std::error_code error;
  switch (conteudo.Status) {
    case TFileReadStatus::Read:
    case TFileReadStatus::Missing:
      return {};
    case TFileReadStatus::NotAFile:
      return std::filesystem::is_directory(arquivo, error) ? "it is a folder, not a file"
                                                           : "it is not a regular file";
    case TFileReadStatus::TooLarge:
      return "it is larger than " + std::to_string(MaxIniFileSize / 1024) + " KiB" + perde;
    case TFileReadStatus::Unreadable:
      break;
  }
  return "it cannot be read (" + conteudo.Error.message() + ")" + perde;
}

// The system's reason for a failed replacement, with what it failed on when that is not plain.
std::string WriteFailureReason(const std::filesystem::path& arquivo, const std::filesystem::path& lugar,
                               const std::error_code& falha) {
  std::error_code error;
  if (std::filesystem::is_directory(lugar, error))
    return "the folder " + lugar.string() + " takes no new file (" + falha.message() + ")";
  if (std::filesystem::is_symlink(arquivo, error) && !std::filesystem::exists(arquivo, error)) {
    return "it is a link to " + std::filesystem::read_symlink(arquivo, error).string() +
           ", which does not exist (" + falha.message() + ")";
  }
  if (falha == std::errc::permission_denied && std::filesystem::exists(lugar, error))
    return "the file is read-only (" + falha.message() + ")";
  return falha.message();
}

}  // namespace

TIniFile::TIniFile(std::filesystem::path arquivo) : file_(std::move(arquivo)) {
  TFileContents contents = ReadWholeFile(file_, MaxIniFileSize);
  // Anything there that could not be read must not be overwritten with defaults.
  unreadable_ = UnreadableReason(file_, contents);
  if (contents.Status == TFileReadStatus::Read) document_ = TIniDocument(contents.Bytes);
}

void TIniFile::Save() const {
  if (!unreadable_.empty()) throw EIniWriteError(file_, unreadable_);
  std::filesystem::path lugar;
  if (const std::error_code falha = ReplaceFileAtomically(file_, document_.Text(), &lugar))
    throw EIniWriteError(file_, WriteFailureReason(file_, lugar, falha));
}
