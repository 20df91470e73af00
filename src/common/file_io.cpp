#include "common/file_io.h"

#include <fcntl.h>
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
      path_ = folder / ("." + target.filename().string() + "." + hex + ".tmp");
      // Mode 0666 lets the process's umask decide, as for any new file it makes.
      const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd >= 0) {
        file_.Reset(fd);
        created_ = true;
        return {};
      }
      error = LastError();
      if (errno != EEXIST) return error;
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

std::error_code ReplaceFileAtomically(const std::filesystem::path& arquivo, std::string_view bytes) {
  std::filesystem::path target;
  if (std::error_code error = FollowLink(arquivo, target)) return error;
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  // A file the user marked read-only is left alone even though the folder would let us replace it.
  if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return LastError();

  TTemporaryFile temporary;
  if (std::error_code error = temporary.Create(target)) return error;
  if (exists) {
    // Best effort: where the old owner or mode cannot be given, the file keeps those of any new file.
    [[maybe_unused]] const int ownerKept = ::fchown(temporary.Descriptor(), old.st_uid, old.st_gid);
    [[maybe_unused]] const int modeKept = ::fchmod(temporary.Descriptor(), old.st_mode & 07777);
  }
  if (std::error_code error = WriteAll(temporary.Descriptor(), bytes)) return error;
  if (::fsync(temporary.Descriptor()) != 0) return LastError();
  if (std::error_code error = temporary.Close()) return error;
  if (::rename(temporary.Path().c_str(), target.c_str()) != 0) return LastError();
  temporary.Committed();
  SyncFolder(target);
  return {};
}
