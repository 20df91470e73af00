#pragma once
// Where "config.ini" and the start-up scene live: beside the program while its folder can be written, in
// the user's own folders when it cannot (a program installed system-wide). The samples are found apart,
// by FindSamplesFolder (input/settings/install_folders.h).

#include <filesystem>
#include <functional>

struct TSettingsLocation {
  std::filesystem::path SettingsFile;      // "config.ini"
  std::filesystem::path StartSceneFolder;  // the folder that gets "Cenas/temp.xml"
  bool InUserFolders = false;              // the program's folder could not be written
};

// True when a new file can be made in `pasta` (made and removed again to find out). Mode bits alone do
// not tell: root writes past them, and a read-only mount refuses everyone.
bool CanWriteFolder(const std::filesystem::path& pasta);

// The program's folder when `canWrite` says it can be written; otherwise `userConfig` for the settings and
// `userData` for the start-up scene, both made if missing. When the user has no settings file yet, the
// one beside the program (if any) is copied there first, so settings shipped with the program carry over.
TSettingsLocation ChooseSettingsLocation(
    const std::filesystem::path& pastaPrograma, const std::filesystem::path& userConfig,
    const std::filesystem::path& userData,
    const std::function<bool(const std::filesystem::path&)>& canWrite = CanWriteFolder);
