#pragma once
// The command line: one optional scene file to open at start.

#include <QString>
#include <QStringList>

#include <filesystem>
#include <optional>

struct TStartArguments {
  std::optional<std::filesystem::path> Scene;  // the scene to open once the window shows
  QString Error;                               // what was wrong with the rest, for the user; empty if nothing
  QString Unknown;                             // the first option neither Vireta's nor Qt's; empty if none
  bool Help = false;                           // "-h" or "--help": print the usage and end
  bool Version = false;                        // "--version": print the release and licence and end
};

// `argumentos` as the program's main receives them, the program first; Qt's own options (-platform xcb,
// -style=Fusion...) are passed over with their values, for Qt to take. The first argument that is not an
// option is the scene ("--" ends the options); an unknown option is given in Unknown, and a second scene
// is reported in Error and otherwise ignored, so the program still starts.
TStartArguments ParseStartArguments(const QStringList& argumentos);

// What an unknown option prints before the program ends with exit status 2.
QString UnknownOptionText(const QString& programa, const QString& opcao);

// The text "--help" prints.
QString StartUsage(const QString& programa);
