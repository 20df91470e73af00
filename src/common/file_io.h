#pragma once
// Whole files read at once, and files replaced all at once (the settings file, cleaned models).

#include <cstddef>
#include <filesystem>
#include <limits>
#include <string>
#include <string_view>
#include <system_error>

enum class TFileReadStatus {
  Read,        // Bytes holds the whole file
  Missing,     // no file at that path (or a folder on the way is missing)
  NotAFile,    // a folder, FIFO, device or socket: nothing was read from it
  Unreadable,  // the file is there but could not be opened or read: no rights, an I/O error
  TooLarge     // a regular file longer than the reader's limit; Bytes stays empty
};

struct TFileContents {
  TFileReadStatus Status = TFileReadStatus::Missing;
  std::string Bytes;
  std::error_code Error;  // the system's reason when Missing or Unreadable
};

// Reads the whole regular file if it holds at most `maxBytes`. Never blocks on FIFOs or devices: anything
// but a regular file is NotAFile.
TFileContents ReadWholeFile(const std::filesystem::path& arquivo,
                            std::size_t maxBytes = std::numeric_limits<std::size_t>::max());

// Replaces the file's contents with `bytes` through a temporary file in the same folder, flushed to disk and
// renamed over the file, so that the file holds either its old contents or the new ones, never a part.
// An existing file keeps its permission bits (and owner, where allowed); a symbolic link is followed and its
// target replaced, and a link that leads nowhere is refused rather than replaced by a plain file. An
// existing file without write permission (or, for root, with no write bit at all) is not replaced. Leftovers
// of earlier saves of the same file that died part way are removed first. Returns the error of the step
// that failed (empty on success) and, in `lugarDoErro` when given, what it failed on: the file, or its
// folder when the folder takes no new file. After a failure the file is as it was and no temporary file is
// left.
std::error_code ReplaceFileAtomically(const std::filesystem::path& arquivo, std::string_view bytes,
                                      std::filesystem::path* lugarDoErro = nullptr);

// Removes from `pasta` the temporary files of saves (any file's) that were killed before they finished:
// ".NAME.<hex>.tmp", owned by this user and not being written now. Returns how many went.
std::size_t RemoveLeftoverTemporaryFiles(const std::filesystem::path& pasta);
