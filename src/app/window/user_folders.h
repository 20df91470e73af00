#pragma once
// The user's own folders for what the program writes, when its folder cannot take it.

#include "input/settings/settings_location.h"

#include <QString>

#include <filesystem>

// ChooseSettingsLocation with the user's config and data folders for this program (XDG folders, through
// QStandardPaths); the installed program always uses them.
TSettingsLocation SettingsLocationFor(const std::filesystem::path& pastaPrograma);

// The status bar's one notice of where the settings went; empty when they stay beside the program.
QString SettingsLocationNotice(const TSettingsLocation& lugar);
