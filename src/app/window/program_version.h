#pragma once
// Who made the program, which release it is and under which licence a school may copy it.

#include <QString>

// The release number, as the package and the manual pages carry it ("0.1.0").
QString ProgramVersion();

// What "--version" prints and "Sobre o Vireta" ends with: name and release, copyright, licence and the
// lack of warranty, one per line.
QString VersionText();
