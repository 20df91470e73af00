#include "input/settings/recent_scenes.h"

#include "input/settings/ini_document.h"
#include "input/settings/ini_file.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view Section = "RecentScenes";

std::string KeyOf(std::size_t i) {
  return "Scene" + std::to_string(i + 1);
}

fs::path Absolute(const fs::path& arquivo) {
  std::error_code ec;
  const fs::path absoluto = fs::absolute(arquivo, ec);
  return (ec ? arquivo : absoluto).lexically_normal();
}

}  // namespace

std::vector<fs::path> TRecentScenes::Apply(const TChange& mudanca) {
  std::erase(items_, mudanca.File);
  if (!mudanca.Added) return {};
  items_.insert(items_.begin(), mudanca.File);
  if (items_.size() <= RecentSceneCount) return {};
  std::vector<fs::path> saem(items_.begin() + RecentSceneCount, items_.end());
  items_.resize(RecentSceneCount);
  return saem;
}

void TRecentScenes::Record(const TChange& mudanca) {
  // Only a file's last change counts, and the others keep their order: replaying the list gives the same.
  std::erase_if(changes_, [&](const TChange& c) { return c.File == mudanca.File; });
  changes_.push_back(mudanca);
}

void TRecentScenes::Add(const fs::path& arquivo) {
  const TChange mudanca{true, Absolute(arquivo)};
  Record(mudanca);
  // A scene pushed off the end is gone from this list as if removed, so that the merge drops it too.
  for (fs::path& saiu : Apply(mudanca)) Record({false, std::move(saiu)});
}

void TRecentScenes::Remove(const fs::path& arquivo) {
  const TChange mudanca{false, Absolute(arquivo)};
  Record(mudanca);
  Apply(mudanca);
}

void TRecentScenes::ReadFrom(const TIniDocument& ini) {
  items_.clear();
  changes_.clear();
  for (std::size_t i = 0; i < RecentSceneCount; ++i) {
    const std::string valor = ini.ReadString(Section, KeyOf(i), "");
    // A value cut at the reader's limit names some other file.
    if (valor.empty() || valor.size() >= MaxIniValueLength) continue;
    const fs::path p = fs::path(valor).lexically_normal();
    if (std::find(items_.begin(), items_.end(), p) == items_.end()) items_.push_back(p);
  }
}

void TRecentScenes::WriteTo(TIniDocument& ini) const {
  std::size_t escritos = 0;
  for (const fs::path& p : items_) {
    try {
      ini.WriteString(Section, KeyOf(escritos), p.string());
      ++escritos;
    } catch (const std::invalid_argument&) {
      // A file name with a line break cannot be kept in the file; the list in memory still has it.
    }
  }
  for (std::size_t i = escritos; i < RecentSceneCount; ++i)
    if (!ini.ReadString(Section, KeyOf(i), "").empty()) ini.WriteString(Section, KeyOf(i), "");
}

void TRecentScenes::Load(const fs::path& arquivoIni) {
  ReadFrom(TIniFile(arquivoIni).Document());
}

void TRecentScenes::Save(const fs::path& arquivoIni) {
  TIniFile file(arquivoIni);
  TRecentScenes juntas;
  juntas.ReadFrom(file.Document());
  for (const TChange& c : changes_) juntas.Apply(c);
  juntas.WriteTo(file.Document());
  file.Save();
  items_ = std::move(juntas.items_);
  changes_.clear();
}
