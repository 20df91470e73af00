#include "support/command_line_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>

TCommandResult RunInPortugueseWithoutDisplay(const std::string& programa, const std::string& argumentos) {
  return RunCommand("env -u DISPLAY -u WAYLAND_DISPLAY -u LANGUAGE LC_ALL=pt_BR.UTF-8 " + programa + " " +
                    argumentos + " </dev/null");
}

void ExpectStandardOptions(const std::string& programa, const std::string& nome) {
  using ::testing::HasSubstr;
  using ::testing::StartsWith;
  SCOPED_TRACE(nome);
  for (const char* ajuda : {"--help", "-h"}) {
    const TCommandResult r = RunInPortugueseWithoutDisplay(programa, ajuda);
    EXPECT_EQ(r.status, 0) << ajuda << ": " << r.err;
    EXPECT_THAT(r.out, ::testing::ContainsRegex("^[Uu]so: " + nome));
    EXPECT_THAT(r.out, HasSubstr("mostra esta ajuda"));
    EXPECT_EQ(r.err, "");
  }
  const TCommandResult versao = RunInPortugueseWithoutDisplay(programa, "--version");
  EXPECT_EQ(versao.status, 0) << versao.err;
  // The window's name is written as a name ("Vireta"), the tools' as typed.
  const std::string inicial = {'[', static_cast<char>(std::toupper(static_cast<unsigned char>(nome[0]))),
                               nome[0], ']'};
  EXPECT_THAT(versao.out,
              ::testing::ContainsRegex("^" + inicial + nome.substr(1) + " [0-9]+\\.[0-9]+\\.[0-9]+\n"));
  EXPECT_THAT(versao.out, HasSubstr("GNU GPL versão 3 ou posterior"));
  const TCommandResult estranha = RunInPortugueseWithoutDisplay(programa, "--nao-existe");
  EXPECT_EQ(estranha.status, 2);
  EXPECT_EQ(estranha.out, "");
  EXPECT_THAT(estranha.err, StartsWith(nome + ": opção desconhecida: --nao-existe\n"));
}
