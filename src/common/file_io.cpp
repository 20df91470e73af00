#include "common/file_io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <random>

#include "common/unique_fd.h"

namespace {

std::error_code LastError() {
  return {errno, std::generic_category()};
}

constexpr std::string_view TemporarySuffix = ".tmp";
constexpr std::size_t TagLength = 16;  // hex digits of the random tag

// ".NAME.<16 hex digits>.tmp": the name a save gives its temporary file beside NAME.
bool IsTemporaryName(std::string_view nome, std::string_view alvo = {}) {
  constexpr std::size_t Fixed = 1 + 1 + TagLength + TemporarySuffix.size();  // the dots, tag and suffix
  if (nome.size() <= Fixed || nome.front() != '.' || !nome.ends_with(TemporarySuffix)) return false;
  const std::string_view tag = nome.substr(nome.size() - TemporarySuffix.size() - TagLength, TagLength);
  if (nome[nome.size() - TemporarySuffix.size() - TagLength - 1] != '.') return false;
  for (const char c : tag)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  return alvo.empty() || nome.substr(1, nome.size() - Fixed) == alvo;
}

// The same file, not one put in its place since it was opened.
bool StillNamed(int fd, const std::filesystem::path& caminho) {
  struct stat aberto {
  }, agora{};
  return ::fstat(fd, &aberto) == 0 && ::lstat(caminho.c_str(), &agora) == 0 &&
         aberto.st_dev == agora.st_dev && aberto.st_ino == agora.st_ino;
}

// Removes one leftover of a save that never finished. A save under way holds a lock on its temporary
// file for as long as it writes, so a file that can be locked belongs to a save that died (a kill, a power
// cut); one that cannot is left to its owner.
bool RemoveIfAbandoned(const std::filesystem::path& caminho) {
  struct stat info {};
  if (::lstat(caminho.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid())
    return false;
  TUniqueFd file(::open(caminho.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (!file.Valid() || ::flock(file.Get(), LOCK_EX | LOCK_NB) != 0) return false;
  return StillNamed(file.Get(), caminho) && ::unlink(caminho.c_str()) == 0;
}

// Leftovers in `pasta` whose name `aceita` takes; the folder's listing is read once and errors end it.
template <typename TAccept>
std::size_t RemoveLeftovers(const std::filesystem::path& pasta, TAccept aceita) {
  std::error_code error;
  std::size_t removidos = 0;
  for (std::filesystem::directory_iterator it(pasta, error), fim; !error && it != fim; it.increment(error)) {
    const std::string nome = it->path().filename().string();
    if (aceita(nome) && RemoveIfAbandoned(it->path())) ++removidos;
  }
  return removidos;
}

// A temporary file beside the target; removed unless it has been renamed into place.
class TTemporaryFile {
 public:
  TTemporaryFile() = default;
  TTemporaryFile(const TTemporaryFile&) = delete;
  TTemporaryFile& operator=(const TTemporaryFile&) = delete;
  ~TTemporaryFile() {
    if (!created_) return;
    file_.Reset();
    ::unlink(path_.c_str());
  }

  std::error_code Create(const std::filesystem::path& target) {
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    std::random_device entropy;
    std::error_code error;
    // A random name with O_EXCL: two savers never share a temporary file, and a stale one is never reused.
    for (int attempt = 0; attempt < 16; ++attempt) {
      const uint64_t tag = (static_cast<uint64_t>(entropy()) << 32) ^ entropy();
      char hex[17];
      for (int i = 0; i < 16; ++i) hex[i] = "0123456789abcdef"[(tag >> (4 * i)) & 0xF];
      hex[16] = '\0';
      path_ = folder / ("." + target.filename().string() + "." + hex + std::string(TemporarySuffix));
      // Mode 0666 lets the process's umask decide, as for any new file it makes.
      const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd < 0) {
        error = LastError();
        if (errno != EEXIST) return error;
        continue;
      }
      file_.Reset(fd);
      // Locked while it is written, so that another program's clean-up leaves it alone (see
      // RemoveIfAbandoned); one that took it between the open and the lock is removing it, and a new name
      // is drawn. A file system without locks still saves, unguarded.
      const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
      if ((locked || errno != EWOULDBLOCK) && StillNamed(fd, path_)) {
        created_ = true;
        return {};
      }
      file_.Reset();
      error = std::make_error_code(std::errc::file_exists);
    }
    return error;
  }

  int Descriptor() const { return file_.Get(); }
  const std::filesystem::path& Path() const { return path_; }
  std::error_code Close() { return file_.Close() ? std::error_code{} : LastError(); }
  void Committed() { created_ = false; }

 private:
  std::filesystem::path path_;
  TUniqueFd file_;
  bool created_ = false;
};

std::error_code WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return LastError();
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}

// A link (the settings file kept in a dotfiles folder, a model shared between scenes) stays a link: its
// target is replaced. A link that leads nowhere gives an error, since renaming over it would turn it into a
// plain file and cut it from where the user keeps the real one.
std::error_code FollowLink(const std::filesystem::path& arquivo, std::filesystem::path& target) {
  std::error_code error;
  target = arquivo;
  if (!std::filesystem::is_symlink(arquivo, error)) return {};
  target = std::filesystem::canonical(arquivo, error);
  return error;
}

void SyncFolder(const std::filesystem::path& target) {
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  // The rename is already visible; syncing the folder only makes it survive a power cut, so a failure
  // here changes nothing for the caller.
  TUniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.Valid()) ::fsync(dir.Get());
}

}  // namespace

TFileContents ReadWholeFile(const std::filesystem::path& arquivo, std::size_t maxBytes) {
  TFileContents result;
  TUniqueFd file(::open(arquivo.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!file.Valid()) {
    result.Error = LastError();
    result.Status =
        (errno == ENOENT || errno == ENOTDIR) ? TFileReadStatus::Missing : TFileReadStatus::Unreadable;
    return result;
  }
  struct stat info {};
  if (::fstat(file.Get(), &info) != 0) {
    result.Error = LastError();
    result.Status = TFileReadStatus::Unreadable;
    return result;
  }
  if (!S_ISREG(info.st_mode)) {
    result.Status = TFileReadStatus::NotAFile;
    return result;
  }
  if (static_cast<uintmax_t>(info.st_size) > maxBytes) {
    result.Status = TFileReadStatus::TooLarge;
    return result;
  }
  // Read straight into the string: a model of several megabytes is not copied a second time. The size
  // is only what fstat said; a file that grows meanwhile is read to its end all the same.
  std::size_t filled = 0;
  result.Bytes.resize(static_cast<std::size_t>(info.st_size) + 1);
  for (;;) {
    if (filled == result.Bytes.size()) {
      const std::size_t limit = maxBytes == std::numeric_limits<std::size_t>::max() ? maxBytes : maxBytes + 1;
      result.Bytes.resize(std::min(filled + std::max<std::size_t>(filled, 4096), limit));
    }
    const ssize_t got = ::read(file.Get(), result.Bytes.data() + filled, result.Bytes.size() - filled);
    if (got < 0) {
      if (errno == EINTR) continue;
      result.Error = LastError();
      result.Bytes.clear();
      result.Status = TFileReadStatus::Unreadable;
      return result;
    }
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
    if (filled > maxBytes) {  // grew while being read
      result.Bytes.clear();
      result.Status = TFileReadStatus::TooLarge;
      return result;
    }
  }
  result.Bytes.resize(filled);
  result.Status = TFileReadStatus::Read;
  return result;
}

std::size_t RemoveLeftoverTemporaryFiles(const std::filesystem::path& pasta) {
  return RemoveLeftovers(pasta, [](std::string_view nome) { return IsTemporaryName(nome); });
}

std::error_code ReplaceFileAtomically(const std::filesystem::path& arquivo, std::string_view bytes,
                                      std::filesystem::path* lugarDoErro) {
  std::filesystem::path target;
  if (lugarDoErro) *lugarDoErro = arquivo;
  if (std::error_code error = FollowLink(arquivo, target)) return error;
  if (lugarDoErro) *lugarDoErro = target;
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  // A file the user marked read-only is left alone even though the folder would let us replace it, and
  // even for root, whom the system lets write anything: no write bit at all is the user's "read-only".
  if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return LastError();
  if (exists && (old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
    return std::make_error_code(std::errc::permission_denied);

  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  const std::string nome = target.filename().string();
  RemoveLeftovers(folder, [&](std::string_view n) { return IsTemporaryName(n, nome); });
  TTemporaryFile temporary;
  if (std::error_code error = temporary.Create(target)) {
    // The file may well be writable: it is the folder that takes no new file.
    if (lugarDoErro) *lugarDoErro = folder;
    return error;
  }
  if (exists) {
    // Best effort: where the old owner or mode cannot be given, the file keeps those of any new file.
    [[maybe_unused]] const int ownerKept = ::fchown(temporary.Descriptor(), old.st_uid, old.st_gid);
    [[maybe_unused]] const int modeKept = ::fchmod(temporary.Descriptor(), old.st_mode & 07777);
  }
  if (std::error_code error = WriteAll(temporary.Descriptor(), bytes)) return error;
  if (::fsync(temporary.Descriptor()) != 0) return LastError();
  if (std::error_code error = temporary.Close()) return error;
  if (::rename(temporary.Path().c_str(), target.c_str()) != 0) {
    if (lugarDoErro) *lugarDoErro = folder;
    return LastError();
  }
  temporary.Committed();
  SyncFolder(target);
  return {};
}
