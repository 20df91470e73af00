#include "input/desktop/process_starter.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <optional>

#include "input/desktop/command_line.h"

extern char** environ;

namespace {

// RAII for the spawn file actions.
class TFileActions {
 public:
  TFileActions() { ok_ = posix_spawn_file_actions_init(&actions_) == 0; }
  ~TFileActions() {
    if (ok_) posix_spawn_file_actions_destroy(&actions_);
  }
  TFileActions(const TFileActions&) = delete;
  TFileActions& operator=(const TFileActions&) = delete;
  bool Ok() const { return ok_; }
  posix_spawn_file_actions_t* Get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_{};
  bool ok_ = false;
};

// RAII for the spawn attributes.
class TSpawnAttributes {
 public:
  TSpawnAttributes() { ok_ = posix_spawnattr_init(&attributes_) == 0; }
  ~TSpawnAttributes() {
    if (ok_) posix_spawnattr_destroy(&attributes_);
  }
  TSpawnAttributes(const TSpawnAttributes&) = delete;
  TSpawnAttributes& operator=(const TSpawnAttributes&) = delete;
  bool Ok() const { return ok_; }
  posix_spawnattr_t* Get() { return &attributes_; }

 private:
  posix_spawnattr_t attributes_{};
  bool ok_ = false;
};

}  // namespace

TSpawnProcessStarter::~TSpawnProcessStarter() {
  ReapFinished();
}

pid_t TSpawnProcessStarter::Spawn(const std::vector<std::string>& Words, int& Error) {
  Error = 0;
  ReapFinished();
  if (Words.empty() || Words.front().empty()) {
    Error = EINVAL;
    return -1;
  }
  std::vector<char*> argv;
  argv.reserve(Words.size() + 1);
  for (const std::string& w : Words) argv.push_back(const_cast<char*>(w.c_str()));
  argv.push_back(nullptr);

  // Descriptors the program holds open without close-on-exec (the Wii Remote's node, the X connection,
  // pipes of the toolkit) stay with it: the new program gets standard input, output and error only.
  TFileActions actions;
  if (!actions.Ok()) {
    Error = ENOMEM;
    return -1;
  }
  Error = posix_spawn_file_actions_addclosefrom_np(actions.Get(), 3);
  if (Error != 0) return -1;

  // The program ignores SIGPIPE and its threads may block signals; a started program gets the defaults a
  // program started from a shell has.
  TSpawnAttributes attributes;
  if (!attributes.Ok()) {
    Error = ENOMEM;
    return -1;
  }
  sigset_t all, none;
  sigfillset(&all);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(attributes.Get(), &all);
  posix_spawnattr_setsigmask(attributes.Get(), &none);
  posix_spawnattr_setflags(attributes.Get(), POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

  pid_t pid = -1;
  Error = posix_spawnp(&pid, argv[0], actions.Get(), attributes.Get(), argv.data(), environ);
  if (Error != 0) return -1;
  children_.push_back(pid);
  return pid;
}

bool TSpawnProcessStarter::Start(const std::string& CommandLine) {
  const std::optional<std::vector<std::string>> words = SplitCommandLine(CommandLine);
  if (!words) return false;
  int error = 0;
  return Spawn(*words, error) > 0;
}

void TSpawnProcessStarter::ReapFinished() {
  std::erase_if(children_, [](pid_t pid) {
    int status = 0;
    const pid_t r = waitpid(pid, &status, WNOHANG);
    // ECHILD: someone else collected it already; either way it is no longer ours to wait for.
    return r == pid || (r < 0 && errno != EINTR);
  });
}
