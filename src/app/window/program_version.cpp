#include "app/window/program_version.h"

QString ProgramVersion() {
  return QStringLiteral(VIRETA_VERSION);
}

QString VersionText() {
  return QStringLiteral(
             "Vireta %1\n"
             "Copyright © 2026 Vireta developers\n"
             "Licença GPLv3+: GNU GPL versão 3 ou posterior <https://www.gnu.org/licenses/gpl.html>.\n"
             "Este é um software livre: você é livre para alterá-lo e redistribuí-lo.\n"
             "NÃO HÁ QUALQUER GARANTIA, na máxima extensão permitida em lei.\n")
      .arg(ProgramVersion());
}
