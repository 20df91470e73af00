#include "common/release_text.h"

std::string_view ReleaseNumber() {
  return VIRETA_VERSION;
}

std::string ReleaseText(std::string_view programa) {
  return std::string(programa) + " " + std::string(ReleaseNumber()) +
         "\n"
         "Copyright © 2026 Vireta developers\n"
         "Licença GPLv3+: GNU GPL versão 3 ou posterior <https://www.gnu.org/licenses/gpl.html>.\n"
         "Este é um software livre: você é livre para alterá-lo e redistribuí-lo.\n"
         "NÃO HÁ QUALQUER GARANTIA, na máxima extensão permitida em lei.\n";
}
