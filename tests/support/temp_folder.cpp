#include "support/temp_folder.h"

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <vector>

TTempFolder::TTempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vireta-input-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = std::filesystem::path(pattern).lexically_normal();
}

TTempFolder::~TTempFolder() {
  std::error_code error;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, error)) {
    if (entry.is_directory(error))
      std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, error);
  }
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                               error);
  std::filesystem::remove_all(path_, error);
}

std::string ReadFile(const std::filesystem::path& arquivo) {
  std::ifstream in(arquivo, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::filesystem::path& arquivo, std::string_view bytes) {
  std::ofstream out(arquivo, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ListFolder(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  std::ostringstream list;
  for (const auto& name : names) list << name << ' ';
  return list.str();
}

int RunInChild(const std::function<int()>& body) {
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    int code = 98;
    try {
      code = body();
    } catch (...) {
      code = 99;
    }
    ::_exit(code);
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 200 + WTERMSIG(status);
}
