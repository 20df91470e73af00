#pragma once
// What every program of the package answers on its command line, as a teacher types it in a Brazilian
// terminal of a machine without a display.

#include "support/child_process.h"

#include <string>

// `programa` and `argumentos` under the pt_BR locale, with no display to connect to.
TCommandResult RunInPortugueseWithoutDisplay(const std::string& programa, const std::string& argumentos);

// "--help": exit 0 and the usage in Portuguese on standard output; "--version": exit 0, `nome` and the
// release on the first line and the licence; an unknown option: exit 2, nothing on standard output and a
// message naming it.
void ExpectStandardOptions(const std::string& programa, const std::string& nome);
