#include "support/child_process.h"

#include "support/temp_folder.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

int RunInChild(const std::function<int()>& body) {
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    int code = 98;
    try {
      code = body();
    } catch (...) {
      code = 99;
    }
    ::_exit(code);
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 200 + WTERMSIG(status);
}

bool GiveUpRoot() {
  if (::geteuid() != 0) return true;
  return ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0;
}

TCommandResult RunCommand(const std::string& linha) {
  TTempFolder pasta;
  const std::filesystem::path out = pasta / "out", err = pasta / "err";
  const int r = std::system((linha + " >" + out.string() + " 2>" + err.string()).c_str());
  TCommandResult c;
  if (WIFEXITED(r)) c.status = WEXITSTATUS(r);
  c.out = ReadFile(out);
  c.err = ReadFile(err);
  return c;
}
