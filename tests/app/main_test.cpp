// The real program, started as a user starts it from a folder of its own under the virtual display: it
// creates its start-up scene, opens a scene named on the command line, runs, and on a session's end saves
// and exits 0. A program folder it cannot write sends its settings to the user's folders.

#include "scene/scene_table.h"
#include "support/command_line_check.h"
#include "support/scene_builder.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <functional>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::HasSubstr;
using ::testing::Not;

// Waits up to `limite` for `condicao`; generous, so a slow machine does not fail the test.
template <typename F>
bool Espera(F condicao, std::chrono::seconds limite = 30s) {
  const auto fim = std::chrono::steady_clock::now() + limite;
  while (!condicao()) {
    if (std::chrono::steady_clock::now() > fim) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

// Exit code of a child that could not set itself up as the test asked.
constexpr int SemPreparo = 77;

struct TRun {
  bool Created = false;  // the start-up scene appeared
  bool Alive = false;    // still running half a second later
  int Status = 0;
};

class Programa : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy_file(VIRETA_PROGRAM, programa_);
    fs::permissions(programa_, fs::perms::owner_all);
  }

  // Runs the program with `args` until `temp` exists and a little more, then ends it as a session's end
  // does. `preparo` runs in the child before the program starts; false there skips the run.
  TRun Run(
      const std::vector<std::string>& args, const fs::path& temp,
      const std::function<bool()>& preparo = [] { return true; }) {
    const pid_t pid = ::fork();
    if (pid < 0) return {};
    if (pid == 0) {
      // In the sanitizer build: Mesa's per-process state looks leaked once its driver module is unloaded at
      // exit. The window's own code is leak-checked in process by the window tests.
      ::setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
      if (!preparo()) ::_exit(SemPreparo);
      std::vector<char*> argv{const_cast<char*>(programa_.c_str())};
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      ::execv(programa_.c_str(), argv.data());
      ::_exit(127);
    }
    TRun r;
    r.Created = Espera([&] {
      int s = 0;
      return fs::exists(temp) || ::waitpid(pid, &s, WNOHANG) != 0;
    });
    std::this_thread::sleep_for(500ms);  // let it run frames
    r.Alive = ::waitpid(pid, &r.Status, WNOHANG) == 0;
    if (r.Alive) {
      ::kill(pid, SIGTERM);
      ::waitpid(pid, &r.Status, 0);
    }
    return r;
  }

  static void ExpectCleanRun(const TRun& r) {
    EXPECT_TRUE(r.Created);
    EXPECT_TRUE(r.Alive) << "the program ended on its own";
    ASSERT_TRUE(WIFEXITED(r.Status)) << "ended by signal " << WTERMSIG(r.Status);
    EXPECT_EQ(WEXITSTATUS(r.Status), 0);
  }

  TTempFolder pasta_;
  fs::path programa_ = pasta_ / "vireta";
  fs::path temp_ = pasta_ / "Cenas" / "temp.xml";
  fs::path config_ = pasta_ / "config.ini";
};

TEST_F(Programa, IniciaCriaTempRodaESalvaAoTerminar) {
  ExpectCleanRun(Run({}, temp_));
  EXPECT_EQ(TSceneTable::Read(temp_).RowCount(), 0);
  const std::string ini = ReadFile(config_);
  for (const char* secao : {"[General]", "[Motion]", "[Nunchuk]", "[Up]", "[Z]"})
    EXPECT_THAT(ini, HasSubstr(secao));
}

TEST_F(Programa, AnswersItsOptionsBeforeNeedingADisplay) {
  ExpectStandardOptions(programa_.string(), "vireta");
  EXPECT_FALSE(fs::exists(temp_)) << "no window was started";
}

TEST_F(Programa, CenaDaLinhaDeComandoAbreECenaRuimNaoParaOPrograma) {
  TTestScene cena;
  cena.Linha(SphereRow(0.5), {{TColumn::Z, 1.0}});
  const fs::path arquivo = cena.Write(pasta_ / "minha cena.xml");
  ExpectCleanRun(Run({arquivo.string()}, temp_));
  EXPECT_EQ(TSceneTable::Read(temp_).RowCount(), 0) << "the start-up scene is made all the same";
  // Only a scene that loaded joins the recent scenes the program saves at exit.
  EXPECT_THAT(ReadFile(config_), HasSubstr("[RecentScenes]\nScene1=" + arquivo.string() + "\n"));

  fs::remove(config_);
  // The error's message box is open when the session ends: the program still saves and exits.
  ExpectCleanRun(Run({(pasta_ / "nao-existe.xml").string()}, temp_));
  EXPECT_THAT(ReadFile(config_), HasSubstr("[General]"));
  EXPECT_THAT(ReadFile(config_), Not(HasSubstr("nao-existe")));
}

// Root writes past mode bits, so as root the program folder is made read-only by a read-only bind mount in
// a mount namespace of the child's own; where the sandbox allows none, the case is skipped.
TEST_F(Programa, PastaSemEscritaGravaNasPastasDoUsuario) {
  TTempFolder usuario;
  const std::string alvo = pasta_.Path().string();
  const fs::path temp = usuario / "data" / "Vireta" / "Cenas" / "temp.xml";
  const TRun r = Run({}, temp, [&] {
    ::setenv("XDG_CONFIG_HOME", (usuario / "config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (usuario / "data").c_str(), 1);
    if (::geteuid() != 0) return ::chmod(alvo.c_str(), 0555) == 0;
    return ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           ::mount(alvo.c_str(), alvo.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
           ::mount(nullptr, alvo.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
  });
  if (WIFEXITED(r.Status) && WEXITSTATUS(r.Status) == SemPreparo)
    GTEST_SKIP() << "no mount namespace here to make a folder read-only for root";
  ExpectCleanRun(r);
  EXPECT_EQ(TSceneTable::Read(temp).RowCount(), 0);
  EXPECT_THAT(ReadFile(usuario / "config" / "Vireta" / "config.ini"), HasSubstr("[General]"));
  EXPECT_EQ(pasta_.List(), "vireta ") << "nothing written beside the program";
}

}  // namespace
