#include "fuzz/fuzz_input.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "support/temp_folder.h"

namespace fs = std::filesystem;

std::vector<std::string_view> SplitFuzzInput(const uint8_t* data, std::size_t size) {
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = all.find(FuzzFileSeparator, start);
    if (end == std::string_view::npos) break;
    parts.push_back(all.substr(start, end - start));
    start = end + FuzzFileSeparator.size();
  }
  parts.push_back(all.substr(start));
  return parts;
}

const fs::path& FuzzFolder() {
  // Made once and removed at exit; a fuzzer runs millions of inputs through the same folder.
  static const auto folder = std::make_unique<TTempFolder>();
  return folder->Path();
}

void EmptyFuzzFolder() {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(FuzzFolder(), ec)) fs::remove_all(entry.path(), ec);
}

std::vector<std::pair<std::string, std::string>> FolderSnapshot(const fs::path& folder) {
  std::vector<std::pair<std::string, std::string>> files;
  std::error_code ec;
  for (const auto& entry : fs::recursive_directory_iterator(folder, ec)) {
    if (entry.is_regular_file(ec))
      files.emplace_back(entry.path().lexically_relative(folder).string(), ReadFile(entry.path()));
  }
  std::sort(files.begin(), files.end());
  return files;
}

void FuzzFailure(const std::string& what) {
  std::fprintf(stderr, "fuzz invariant broken: %s\n", what.c_str());
  std::abort();
}
