#include <gtest/gtest.h>

#include <csignal>
#include <sstream>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "input/desktop/command_line.h"
#include "input/desktop/process_starter.h"
#include "support/temp_folder.h"

namespace {

using TWords = std::vector<std::string>;

TEST(SplitCommandLine, QuotesAsAShellDoesWithoutExpandingAnything) {
  const std::pair<const char*, TWords> cases[] = {
      {"gedit notas.txt", {"gedit", "notas.txt"}},
      {"  xdg-open\t 'Meus Documentos/a b.pdf'  ", {"xdg-open", "Meus Documentos/a b.pdf"}},
      {"echo \"a \\\"b\\\" \\$HOME \\x\"", {"echo", "a \"b\" $HOME \\x"}},
      {"echo a\\ b c\\\\d", {"echo", "a b", "c\\d"}},
      {"echo pre'fix'\"ed\"", {"echo", "prefixed"}},
      {"echo '' \"\"", {"echo", "", ""}},
      {"echo 'it''s'", {"echo", "its"}},
      {"echo $HOME ~ *.txt | wc > out; rm", {"echo", "$HOME", "~", "*.txt", "|", "wc", ">", "out;", "rm"}},
      {"a\\\nb", {"ab"}},
      {"echo \"x\\\ny\"", {"echo", "xy"}},
      {"'don'\\''t'", {"don't"}},
      {"", {}},
      {" \t\n", {}},
  };
  for (const auto& [line, words] : cases) EXPECT_EQ(SplitCommandLine(line), words) << line;
}

TEST(SplitCommandLine, UnfinishedQuotingGivesNoWords) {
  for (const char* line : {"echo 'abc", "echo \"abc", "echo abc\\", "echo \"abc\\\""})
    EXPECT_EQ(SplitCommandLine(line), std::nullopt) << line;
}

class SpawnStarter : public ::testing::Test {
 protected:
  // Waits for the program started last, as the program itself never does.
  int WaitFor(pid_t pid) {
    int status = 0;
    EXPECT_EQ(waitpid(pid, &status, 0), pid);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  TTempFolder folder_;
  TSpawnProcessStarter starter_;
};

TEST_F(SpawnStarter, RunsTheProgramWithItsQuotedArgumentsAndNoShell) {
  const std::string target = (folder_.Path() / "um arquivo; rm -rf x").string();
  int error = -1;
  const pid_t pid = starter_.Spawn(*SplitCommandLine("touch '" + target + "'"), error);
  ASSERT_GT(pid, 0);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(WaitFor(pid), 0);
  EXPECT_TRUE(std::filesystem::exists(target));
}

TEST_F(SpawnStarter, AProgramThatCannotStartStartsNothing) {
  int error = 0;
  EXPECT_EQ(starter_.Spawn({"vireta-no-such-program-anywhere"}, error), -1);
  EXPECT_EQ(error, ENOENT);
  const std::filesystem::path text = folder_.Path() / "notas.txt";
  WriteFile(text, "echo started > started.txt\n");
  std::filesystem::permissions(text,
                               std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_EQ(starter_.Spawn({text.string()}, error), -1);
  EXPECT_EQ(error, EACCES);
  // Executable but no program: no shell is asked to read it as a script.
  std::filesystem::permissions(text, std::filesystem::perms::owner_all);
  EXPECT_EQ(starter_.Spawn({text.string()}, error), -1);
  EXPECT_EQ(error, ENOEXEC);
  EXPECT_EQ(starter_.RunningCount(), 0u);
  EXPECT_FALSE(starter_.Start("vireta-no-such-program-anywhere --flag"));
  EXPECT_FALSE(starter_.Start("echo 'unfinished"));
  EXPECT_FALSE(starter_.Start("   "));
  EXPECT_FALSE(starter_.Start("'' arg"));
}

TEST_F(SpawnStarter, TheProgramGetsOnlyTheStandardDescriptors) {
  // Deliberately without close-on-exec, at a number nothing else takes.
  const int opened = open("/dev/null", O_RDONLY);
  const int leaked = fcntl(opened, F_DUPFD, 57);
  close(opened);
  ASSERT_GE(leaked, 57);
  const std::string listing = (folder_.Path() / "fds").string();
  int error = 0;
  const pid_t pid = starter_.Spawn({"sh", "-c", "ls /proc/$$/fd > '" + listing + "'"}, error);
  ASSERT_GT(pid, 0);
  EXPECT_EQ(WaitFor(pid), 0);
  close(leaked);
  const std::string fds = ReadFile(listing);
  EXPECT_EQ(fds.find(std::to_string(leaked) + "\n"), std::string::npos) << fds;
}

// The program ignores SIGPIPE (and may block signals); a started program must not inherit that, or a
// pipeline it runs would never end on a closed pipe.
TEST_F(SpawnStarter, TheProgramGetsTheDefaultSignalDispositions) {
  struct sigaction ignore {};
  struct sigaction previous {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &ignore, &previous);
  sigset_t blocked, old;
  sigemptyset(&blocked);
  sigaddset(&blocked, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &blocked, &old);
  const std::string status = (folder_.Path() / "status").string();
  int error = 0;
  const pid_t pid = starter_.Spawn(
      {"sh", "-c", "exec grep -E '^Sig(Ign|Blk)' /proc/self/status > '" + status + "'"}, error);
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
  sigaction(SIGPIPE, &previous, nullptr);
  ASSERT_GT(pid, 0);
  EXPECT_EQ(WaitFor(pid), 0);
  // Masks in hex, bit (signal - 1): SIGPIPE 13 is 0x1000, SIGTERM 15 is 0x4000. The shell execs grep, which
  // reads its own status: a shell waiting for a child blocks every signal meanwhile.
  const std::string text = ReadFile(status);
  std::istringstream lines(text);
  std::string name, mask;
  while (lines >> name >> mask) EXPECT_EQ(std::stoull(mask, nullptr, 16) & 0x5000, 0u) << text;
}

TEST_F(SpawnStarter, EndedProgramsAreCollected) {
  ASSERT_TRUE(starter_.Start("true"));
  ASSERT_TRUE(starter_.Start("true"));
  EXPECT_GE(starter_.RunningCount(), 1u);  // the second start may have collected the first
  // Wait for an end without collecting it (WNOWAIT), then let the starter collect what has ended.
  for (int round = 0; round < 100 && starter_.RunningCount() > 0; ++round) {
    siginfo_t info{};
    ASSERT_EQ(waitid(P_ALL, 0, &info, WEXITED | WNOWAIT), 0);
    starter_.ReapFinished();
  }
  EXPECT_EQ(starter_.RunningCount(), 0u);
  siginfo_t info{};
  EXPECT_EQ(waitid(P_ALL, 0, &info, WEXITED | WNOHANG), -1);  // no zombie left behind
  EXPECT_EQ(errno, ECHILD);
}

}  // namespace
