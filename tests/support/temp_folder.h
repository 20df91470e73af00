#pragma once
// Scratch folders and whole-file helpers for tests.

#include <filesystem>
#include <string>
#include <string_view>

// A fresh folder under the system's temporary folder, removed with everything in it at the end, even
// where a test took the write or search permission away.
class TTempFolder {
 public:
  TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  ~TTempFolder();
  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }
  // Writes `bytes` to `name` inside the folder, making the folders on the way; returns the file's path.
  std::filesystem::path Write(const std::filesystem::path& name, std::string_view bytes) const;
  // The whole of `name` inside the folder; empty when it cannot be read.
  std::string Read(const std::filesystem::path& name) const;
  // The folder's own entries, sorted, each followed by a space.
  std::string List() const;

 private:
  std::filesystem::path path_;
};

// The whole file as bytes; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& file);
void WriteFile(const std::filesystem::path& file, std::string_view bytes);
// The entries of `folder`, sorted, each followed by a space.
std::string ListFolder(const std::filesystem::path& folder);
