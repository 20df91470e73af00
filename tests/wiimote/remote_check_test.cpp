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
    TRemoteCheckOptions Options;
    Options.Seconds = Seconds;
    Options.KeysFd = KeysFd;
    return RunRemoteCheck(Platform, Platform, Platform, Clock, Options, Out);
  }
  TFakeHidPlatform Platform;
  TSteadyClock Clock;
  TVirtualWiimote Remote;
  std::ostringstream Out;
};

TEST_F(ViretaRemote, ARemoteThatAnswersIsShownLiveAndObeysTheKeys) {
  Remote.SetBattery(0x60);
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
  EXPECT_TRUE(Remote.Rumble());
  EXPECT_EQ(Remote.LedByte(), 0x51);
}

// Each set-up fault gets its own line, and a run without an answering remote ends with status 1.
TEST_F(ViretaRemote, SaysInOneLineWhatIsWrong) {
  EXPECT_EQ(Run(1), 1);
  EXPECT_NE(Out.str().find("Nenhum Wii Remote encontrado"), std::string::npos) << Out.str();

  TVirtualWiimote Board;
  Platform.Plug(Board, WiimoteProductID, true, BalanceBoardName);
  EXPECT_EQ(Diagnose(ListCandidates(Platform, Platform)),
            "Modelo errado: Nintendo RVL-WBC-01 não é um Wii Remote (Balance Board ou Pro Controller).");

  const std::string Path = Platform.Plug(Remote);
  Platform.SetDriver(Path, "wiimote");
  EXPECT_EQ(Diagnose(ListCandidates(Platform, Platform)), KernelDriverNotice);
  Platform.DenyReadWrite(Path, EACCES);
  const std::string Denied = Diagnose(ListCandidates(Platform, Platform));
  EXPECT_NE(Denied.find("Sem permissão para abrir /dev/"), std::string::npos) << Denied;
  EXPECT_NE(Denied.find("70-vireta-wiimote.rules"), std::string::npos) << Denied;
  EXPECT_NE(Denied.find("pacote vireta"), std::string::npos) << Denied;

  Remote.SetSilent(true);
  Platform.DenyReadWrite(Path, 0);
  Out.str("");
  EXPECT_EQ(Run(1), 1) << "a device that never answers is not a working remote";
  EXPECT_NE(Out.str().find("Nenhum Wii Remote respondeu."), std::string::npos);
}

}  // namespace
