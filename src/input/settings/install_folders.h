#pragma once
// Where an installed copy of the program finds what it ships with, and how a copy tells that it is the
// installed one rather than a build run from its own folder.

#include <filesystem>

struct TInstallFolders {
  std::filesystem::path Programs;  // where the install puts the programs ("/usr/bin")
  std::filesystem::path Samples;   // the shipped scenes, models and lesson guides ("/usr/share/vireta/Cenas")
};

// Where an install puts the samples, relative to its programs folder ("../share/vireta/Cenas"): the same
// under any prefix the package or `cmake --install` was given.
std::filesystem::path SamplesFromPrograms();

// The install `pastaPrograma` is the programs folder of, found from where the program is rather than from
// a prefix compiled in; both folders empty when no install's samples lie where an install puts them (a
// program run from its build).
TInstallFolders InstallFoldersOf(const std::filesystem::path& pastaPrograma);

// True when `pastaPrograma` is the install's programs folder, by whatever name it is reached.
bool IsInstalledProgram(const std::filesystem::path& pastaPrograma, const TInstallFolders& instalado);

// Whether "config.ini" and the start-up scene may go beside the program: never for the installed program
// (root could write there, but nothing of a user's belongs under the install prefix), otherwise while the
// folder can be written.
bool ProgramFolderTakesFiles(const std::filesystem::path& pastaPrograma, const TInstallFolders& instalado);

// The sample scenes "Abrir Cena" offers: "Cenas" beside a program run from its build, the installed samples
// for the installed program or when nothing lies beside it. Falls back to "Cenas" beside the program when
// neither exists, where the samples were always looked for.
std::filesystem::path FindSamplesFolder(const std::filesystem::path& pastaPrograma,
                                        const TInstallFolders& instalado);
