#pragma once
// Starting the program of an "Execute" assignment, without a shell.

#include <sys/types.h>

#include <string>
#include <vector>

class IProcessStarter {
 public:
  virtual ~IProcessStarter() = default;
  // Starts CommandLine (split as SplitCommandLine does) and does not wait for it. False when nothing was
  // started: an empty or badly quoted line, or a program that cannot be run.
  virtual bool Start(const std::string& CommandLine) = 0;
  // Collects the exit status of started programs that have ended, so none stays behind as a zombie.
  // Cheap; the auto-repeat timer calls it.
  virtual void ReapFinished() = 0;
};

// posix_spawnp: the first word is looked up in PATH; the child gets the program's environment and folder
// and only its standard input, output and error.
class TSpawnProcessStarter final : public IProcessStarter {
 public:
  TSpawnProcessStarter() = default;
  TSpawnProcessStarter(const TSpawnProcessStarter&) = delete;
  TSpawnProcessStarter& operator=(const TSpawnProcessStarter&) = delete;
  // Reaps what has ended; programs still running are left alone.
  ~TSpawnProcessStarter() override;

  bool Start(const std::string& CommandLine) override;
  void ReapFinished() override;

  // The started process's id, or -1 with `Error` set to the errno that stopped it (EINVAL for a line that
  // holds no word or does not split).
  pid_t Spawn(const std::vector<std::string>& Words, int& Error);
  // Started programs not yet known to have ended.
  std::size_t RunningCount() const { return children_.size(); }

 private:
  std::vector<pid_t> children_;
};
