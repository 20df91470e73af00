#pragma once
// The scenes the user opened last, most recent first, kept in a section of "config.ini" of their own. The
// settings save leaves that section alone, so the list and the settings share the file without either
// dropping the other.

#include <cstddef>
#include <filesystem>
#include <vector>

class TIniDocument;

// How many scenes the list keeps.
inline constexpr std::size_t RecentSceneCount = 5;

class TRecentScenes {
 public:
  // Most recent first, at most RecentSceneCount, no path twice.
  const std::vector<std::filesystem::path>& Items() const { return items_; }

  // Puts `arquivo` (made absolute) first, dropping an older entry for the same file and the oldest entry
  // past the limit.
  void Add(const std::filesystem::path& arquivo);
  // Drops `arquivo` from the list; nothing happens when it is not there.
  void Remove(const std::filesystem::path& arquivo);

  // The list in the document's own section; empty and over-long values are skipped, the limit kept.
  void ReadFrom(const TIniDocument& ini);
  // Writes the list into the document's section, emptying the keys of entries it no longer has. A path
  // that an INI line cannot hold (a line break in the name) is left out.
  void WriteTo(TIniDocument& ini) const;

  // ReadFrom the file; a missing or unreadable file gives an empty list.
  void Load(const std::filesystem::path& arquivoIni);
  // Writes the list into the file, keeping every other line of it. Another copy of the program may have
  // saved its own list meanwhile: the list on disk takes this one's additions and removals since it was
  // read or last saved, in their order, and this list becomes the merged one. Throws EIniWriteError when the
  // file cannot be written.
  void Save(const std::filesystem::path& arquivoIni);

 private:
  struct TChange {
    bool Added;  // false: removed
    std::filesystem::path File;
  };
  // Changes the list; returns the files an addition pushed past the limit.
  std::vector<std::filesystem::path> Apply(const TChange& mudanca);
  void Record(const TChange& mudanca);

  std::vector<std::filesystem::path> items_;
  std::vector<TChange> changes_;  // since the list was last read or saved; one per file, latest last
};
