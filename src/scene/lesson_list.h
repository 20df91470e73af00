#pragma once
// The ready lessons shipped with the samples: a scene file with a one-page guide of the same name beside it.

#include <filesystem>
#include <string>
#include <vector>

struct TLesson {
  std::filesystem::path Scene;  // the lesson's scene file
  std::filesystem::path Guide;  // its guide, plain text (.txt) or HTML (.html)
  std::string Title;            // the guide's first line up to a dash, as written (UTF-8)
};

// Every lesson in `pasta`, sorted by file name; a scene without a guide, or a guide without a scene, is no
// lesson. A folder that cannot be read has none.
std::vector<TLesson> FindLessons(const std::filesystem::path& pasta);
