#pragma once
// The submenu "Cenas recentes" of "&Arquivo": the last scenes opened, most recent first.

#include "input/settings/recent_scenes.h"

#include <QObject>

#include <filesystem>
#include <functional>

class QAction;
class QMenu;
class TUserInterface;

class TRecentScenesMenu : public QObject {
 public:
  using TOpen = std::function<void(const std::filesystem::path&)>;

  // Puts the submenu into `arquivo` before `antes` and fills it from the settings file `arquivoIni`. A
  // chosen scene goes to `abre`; one whose file is gone leaves the list with a notice through `ui`.
  TRecentScenesMenu(QMenu& arquivo, QAction* antes, std::filesystem::path arquivoIni, TUserInterface& ui,
                    TOpen abre);

  // A scene was opened: it goes first.
  void Opened(const std::filesystem::path& arquivo);
  // Writes the list into the settings file, merged with what another copy of the program may have saved
  // there (TRecentScenes::Save); throws EIniWriteError when the file cannot be written.
  void Save();

  QMenu* Menu() const { return menu_; }
  const TRecentScenes& Scenes() const { return scenes_; }

 private:
  void Rebuild();
  void Choose(const std::filesystem::path& arquivo);

  QMenu* menu_;
  std::filesystem::path settingsFile_;
  TUserInterface& ui_;
  TOpen open_;
  TRecentScenes scenes_;
};
