#pragma once
// The command line: one optional scene file to open at start.

#include <QString>
#include <QStringList>

#include <filesystem>
#include <optional>

struct TStartArguments {
  std::optional<std::filesystem::path> Scene;  // the scene to open once the window shows
  QString Error;                               // what was wrong with the rest, for the user; empty if nothing
  bool Help = false;                           // "-h" or "--help": print the usage and end
  bool Version = false;                        // "--version": print the release and licence and end
};

// `argumentos` as QCoreApplication::arguments() gives them, the program first. The first argument that
// is not an option is the scene ("--" ends the options); an unknown option or a second scene is reported
// in Error and otherwise ignored, so the program still starts.
TStartArguments ParseStartArguments(const QStringList& argumentos);

// The text "--help" prints.
QString StartUsage(const QString& programa);
