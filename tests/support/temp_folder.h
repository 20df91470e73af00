#pragma once
// Scratch folders and whole-file helpers for the input tests.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TTempFolder {
 public:
  TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  ~TTempFolder();
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

std::string ReadFile(const std::filesystem::path& arquivo);
void WriteFile(const std::filesystem::path& arquivo, std::string_view bytes);
// Names in the folder, sorted.
std::string ListFolder(const std::filesystem::path& folder);

// Runs `body` in a forked child and gives its exit code (200 + signal when it was killed).
int RunInChild(const std::function<int()>& body);
