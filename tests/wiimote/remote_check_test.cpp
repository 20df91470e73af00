#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <sstream>

#include "wiimote/linux_services.h"
#include "wiimote/remote_check.h"
#include "wiimote/testing/fake_hid_platform.h"
#include "wiimote/wiimote_link.h"

namespace {

class ViretaRemote : public ::testing::Test {
 protected:
  ViretaRemote() { std::signal(SIGPIPE, SIG_IGN); }
  int Run(int Seconds, int KeysFd = -1) {
    Options.Seconds = Seconds;
    Options.KeysFd = KeysFd;
    return RunRemoteCheck(Platform, Platform, Platform, Clock, Options, Out);
  }
  TRemoteCheckOptions Options;
  TFakeHidPlatform Platform;
  TSteadyClock Clock;
  TVirtualWiimote Remote;
  std::ostringstream Out;
};

TEST_F(ViretaRemote, ARemoteThatAnswersIsShownLiveAndObeysTheKeys) {
  Remote.SetBattery(0x64);
  Platform.Plug(Remote);
  int Keys[2];
  ASSERT_EQ(::pipe(Keys), 0);
  ASSERT_EQ(::write(Keys[1], "r3", 2), 2);
  ::close(Keys[1]);
  EXPECT_EQ(Run(1, Keys[0]), 0);
  ::close(Keys[0]);
  const std::string Text = Out.str();
  EXPECT_NE(Text.find("Nintendo RVL-CNT-01  driver: nenhum  acesso: leitura e escrita"), std::string::npos)
      << Text;
  EXPECT_NE(Text.find("Tudo certo"), std::string::npos);
  EXPECT_NE(Text.find("Bateria: 50%"), std::string::npos) << Text;
  EXPECT_NE(Text.find("LEDs:*.*. Vibração: sim"), std::string::npos) << Text;
  EXPECT_NE(Text.find("O Wii Remote respondeu."), std::string::npos);
  // Left as it was found: the LEDs of its first status report (none lit), the rumble off.
  Remote.Drain();
  EXPECT_FALSE(Remote.Rumble());
  EXPECT_EQ(Remote.LedByte(), 0x00);
  EXPECT_EQ(Remote.ReportMode(), 0x30);
}

// Output into a file or a pipe is a plain log: one line per change, no terminal escape codes.
TEST_F(ViretaRemote, OutputThatIsNoTerminalHasNoEscapeCodes) {
  Platform.Plug(Remote);
  Options.Terminal = false;
  EXPECT_EQ(Run(1), 0);
  const std::string Text = Out.str();
  EXPECT_EQ(Text.find('\033'), std::string::npos) << Text;
  EXPECT_EQ(Text.find('\r'), std::string::npos) << Text;
  EXPECT_NE(Text.find("\nBotões: - | Acel:"), std::string::npos) << Text;
}

TEST_F(ViretaRemote, UsageErrorsAndWithoutLibudevThatComesFirst) {
  TRemoteCheckOptions Parsed;
  std::string Error;
  EXPECT_TRUE(
      ParseRemoteCheckArguments({"--segundos", "3", "--nunchuk", "--gravar", "s.txt"}, Parsed, Error));
  EXPECT_EQ(Parsed.Seconds, 3);
  EXPECT_TRUE(Parsed.Nunchuk);
  EXPECT_EQ(Parsed.RecordPath, "s.txt");
  for (const std::vector<std::string>& Bad : std::vector<std::vector<std::string>>{{"--segundos", "abc"},
                                                                                   {"--segundos", "-1"},
                                                                                   {"--segundos", "2x"},
                                                                                   {"--segundos"},
                                                                                   {"--gravar"},
                                                                                   {"--xyz"}}) {
    Error.clear();
    EXPECT_FALSE(ParseRemoteCheckArguments(Bad, Parsed, Error)) << Bad[0];
    EXPECT_FALSE(Error.empty());
  }

  Platform.SetReady(false);
  EXPECT_EQ(Run(1), 1);
  EXPECT_EQ(Out.str().rfind("libudev não pôde ser carregada", 0), 0u) << Out.str();
}

// Each set-up fault gets its own line, and a run without an answering remote ends with status 1.
TEST_F(ViretaRemote, SaysInOneLineWhatIsWrong) {
  EXPECT_EQ(Run(1), 1);
  EXPECT_NE(Out.str().find("Nenhum Wii Remote encontrado"), std::string::npos) << Out.str();

  TVirtualWiimote Board;
  Platform.Plug(Board, WiimoteProductID, true, BalanceBoardName);
  const std::string Rule = "/opt/vireta/70-vireta-wiimote.rules";
  EXPECT_EQ(Diagnose(ListCandidates(Platform, Platform), Rule),
            "Modelo errado: Nintendo RVL-WBC-01 não é um Wii Remote (Balance Board ou Pro Controller).");

  const std::string Path = Platform.Plug(Remote);
  Platform.SetDriver(Path, "wiimote");
  const std::string Beside = Diagnose(ListCandidates(Platform, Platform), Rule);
  EXPECT_EQ(Beside, KernelDriverNotice);
  EXPECT_EQ(Beside.find("modprobe"), std::string::npos) << "the kernel driver is never to be removed";
  EXPECT_EQ(Beside.find("blacklist"), std::string::npos);
  Platform.DenyReadWrite(Path, EACCES);
  const std::string Denied = Diagnose(ListCandidates(Platform, Platform), Rule);
  EXPECT_NE(Denied.find("Sem permissão para abrir /dev/"), std::string::npos) << Denied;
  EXPECT_NE(Denied.find("pacote vireta"), std::string::npos) << Denied;
  EXPECT_NE(Denied.find("sudo install -m 644 " + Rule + " /etc/udev/rules.d/"), std::string::npos) << Denied;

  Remote.SetSilent(true);
  Platform.DenyReadWrite(Path, 0);
  Out.str("");
  EXPECT_EQ(Run(1), 1) << "a device that never answers is not a working remote";
  EXPECT_NE(Out.str().find("Nenhum Wii Remote respondeu."), std::string::npos);
}

}  // namespace
