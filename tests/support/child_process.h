#pragma once
// Work that must not touch the test program itself (giving up root, resource limits) runs in a child.

#include <functional>
#include <string>

// Runs `body` in a forked child and gives its exit code (200 + signal when it was killed, 99 when it
// threw, -1 when there was no child).
int RunInChild(const std::function<int()>& body);

// In a child: becomes the unprivileged user "nobody" when running as root, so that permission bits count.
// False when that fails.
bool GiveUpRoot();

struct TCommandResult {
  int status = -1;  // exit status; -1 when it ended by a signal
  std::string out, err;
};

// Runs a command line through the shell and gives its exit status and everything it wrote.
TCommandResult RunCommand(const std::string& linha);
