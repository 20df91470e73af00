#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <sstream>

#include "support/temp_folder.h"
#include "wiimote/linux_services.h"
#include "wiimote/remote_check.h"
#include "wiimote/session_recording.h"
#include "wiimote/testing/fake_hid_platform.h"
#include "wiimote/testing/fake_kernel_remotes.h"
#include "wiimote/wiimote_link.h"

namespace {

class ViretaRemote : public ::testing::Test {
 protected:
  ViretaRemote() { std::signal(SIGPIPE, SIG_IGN); }
  int Run(int Seconds, int KeysFd = -1, IKernelRemotes* Kernel = nullptr) {
    Options.Seconds = Seconds;
    Options.KeysFd = KeysFd;
    return RunRemoteCheck(Platform, Platform, Platform, Clock, Options, Out, Kernel);
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

// The accelerometer's bytes are numbers on the line, not characters (27 would be an escape code).
TEST_F(ViretaRemote, AccelerometerBytesShowAsNumbers) {
  TWiimote W;
  W.AccelX = 27;
  W.AccelY = 0;
  W.AccelZ = 200;
  EXPECT_NE(StatusLine(W, "", -1).find("| Acel: 27 0 200 |"), std::string::npos) << StatusLine(W, "", -1);
}

TEST_F(ViretaRemote, UsageErrorsAndWithoutLibudevThatComesFirst) {
  TRemoteCheckOptions Parsed;
  std::string Error;
  EXPECT_TRUE(
      ParseRemoteCheckArguments({"--segundos", "3", "--nunchuk", "--gravar", "s.txt"}, Parsed, Error));
  EXPECT_EQ(Parsed.Seconds, 3);
  EXPECT_TRUE(Parsed.Nunchuk);
  EXPECT_EQ(Parsed.RecordPath, "s.txt");
  EXPECT_TRUE(ParseRemoteCheckArguments({"--segundos", std::to_string(MaxCheckSeconds)}, Parsed, Error));
  EXPECT_EQ(Parsed.Seconds, MaxCheckSeconds);
  // Past the largest, the run's milliseconds would wrap and it would end at once or never.
  for (const std::vector<std::string>& Bad :
       std::vector<std::vector<std::string>>{{"--segundos", "abc"},
                                             {"--segundos", "-1"},
                                             {"--segundos", "2x"},
                                             {"--segundos", std::to_string(MaxCheckSeconds + 1)},
                                             {"--segundos", "2147483647"},
                                             {"--segundos", "99999999999"},
                                             {"--segundos"},
                                             {"--gravar"},
                                             {"--xyz"}}) {
    Error.clear();
    EXPECT_FALSE(ParseRemoteCheckArguments(Bad, Parsed, Error)) << Bad[0];
    EXPECT_FALSE(Error.empty());
  }

  Platform.SetReady(false);
  EXPECT_EQ(Run(1), CheckNoRemote);
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

// A recording goes into a hidden file beside its name and takes the name only at the end of a run in
// which a remote answered and every line was written; otherwise the file of that name stays as it was.
TEST_F(ViretaRemote, ARecordingReplacesItsFileOnlyWhenItIsWhole) {
  TTempFolder Folder;
  const std::filesystem::path File = Folder.Write("sessao.txt", "an earlier recording\n");
  Options.RecordPath = File.string();
  Options.Terminal = false;

  EXPECT_EQ(Run(1), CheckNoRemote);
  EXPECT_EQ(ReadFile(File), "an earlier recording\n") << "no remote answered: nothing to keep";
  EXPECT_EQ(Folder.List(), "sessao.txt ");
  EXPECT_EQ(Out.str().find("Sessão gravada"), std::string::npos) << Out.str();

  Platform.Plug(Remote);
  Out.str("");
  EXPECT_EQ(Run(1), CheckRemoteAnswered);
  EXPECT_EQ(ReadFile(File).rfind(RecordingHeader, 0), 0u);
  EXPECT_NE(ReadFile(File).find(" < 20 "), std::string::npos) << "the status reports are in it";
  EXPECT_EQ(Folder.List(), "sessao.txt ");
  EXPECT_NE(Out.str().find("Sessão gravada em " + File.string()), std::string::npos) << Out.str();

  // A full disk, as a file size limit gives it: the write fails, the run says so, the file stays.
  WriteFile(File, "an earlier recording\n");
  rlimit Saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &Saved), 0);
  const auto OldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit Small = Saved;
  Small.rlim_cur = 300;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &Small), 0);
  Out.str("");
  const int Status = Run(1);
  ::setrlimit(RLIMIT_FSIZE, &Saved);
  std::signal(SIGXFSZ, OldHandler);
  EXPECT_EQ(Status, CheckRecordingFailed);
  EXPECT_NE(Out.str().find("Falha ao gravar " + File.string() + ": File too large"), std::string::npos)
      << Out.str();
  EXPECT_EQ(Out.str().find("Sessão gravada"), std::string::npos) << Out.str();
  EXPECT_EQ(ReadFile(File), "an earlier recording\n");
  EXPECT_EQ(Folder.List(), "sessao.txt ");
}

// What is not a regular file is refused before it is opened, with a status of its own: a FIFO would hold
// the open until a reader came, deaf to Ctrl+C, and /dev/full takes nothing.
TEST_F(ViretaRemote, ARecordingIntoAFifoOrADeviceOrAReadOnlyFileIsRefused) {
  TTempFolder Folder;
  const std::filesystem::path Fifo = Folder / "fila";
  ASSERT_EQ(::mkfifo(Fifo.c_str(), 0600), 0);
  // A reader is there, so that a tool that opened the FIFO would not hang this test but write into it.
  const int Reader = ::open(Fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(Reader, 0);
  const std::filesystem::path ReadOnly = Folder.Write("lida.txt", "kept\n");
  std::filesystem::permissions(ReadOnly, std::filesystem::perms::owner_read);
  Platform.Plug(Remote);
  for (const std::string& Path : {Fifo.string(), std::string("/dev/full"), ReadOnly.string()}) {
    Options.RecordPath = Path;
    Out.str("");
    EXPECT_EQ(Run(1), CheckRecordingFailed) << Path;
    EXPECT_NE(Out.str().find(Path), std::string::npos) << Out.str();
    EXPECT_EQ(Out.str().find("O Wii Remote respondeu"), std::string::npos) << "refused before the run";
  }
  char Byte = 0;
  EXPECT_LE(::read(Reader, &Byte, 1), 0) << "nothing was written into the FIFO";
  ::close(Reader);
  EXPECT_EQ(ReadFile(ReadOnly), "kept\n");
  EXPECT_EQ(Folder.List(), "fila lida.txt ");
}

// Where the kernel's driver holds the remote, the check reads it through the driver and says so; the raw
// reports are read where no driver is bound, or when asked for, or recorded, each time with its reason.
TEST_F(ViretaRemote, SaysWhichWayItReadsTheRemoteAndWhy) {
  TRemoteCandidate Bound{"/dev/hidraw0", "Nintendo RVL-CNT-01", KernelDriverName};
  TRemoteCandidate Free{"/dev/hidraw0", "Nintendo RVL-CNT-01", ""};
  TRemoteCheckOptions Plain, Raw, Recorded;
  Raw.Raw = true;
  Recorded.RecordPath = "s.txt";
  EXPECT_EQ(PathLine({Bound}, true, Plain).rfind(PathKernelLine, 0), 0u);
  EXPECT_NE(PathLine({Bound}, true, Raw).find("--hidraw"), std::string::npos);
  EXPECT_NE(PathLine({Bound}, true, Recorded).find("--gravar"), std::string::npos);
  EXPECT_NE(PathLine({Free}, true, Plain).find("nenhum driver"), std::string::npos);
  EXPECT_EQ(PathLine({Bound}, false, Plain).rfind(PathRawLine, 0), 0u);

  const std::string Node = Platform.Plug(Remote, WiimoteProductID, false);
  Platform.SetDriver(Node, KernelDriverName);
  TFakeKernelRemotes Kernel;
  const std::string Sys = "/sys/devices/virtual/bluetooth/hci0/0005:057E:0306.0001";
  Kernel.Add(Sys).Capacity = 100;
  Kernel.Push(Sys, KernelAccel(-12, 0, 100));
  Options.Terminal = false;
  // Two seconds: the battery is read once a second, and shown on a later line.
  EXPECT_EQ(Run(2, -1, &Kernel), CheckRemoteAnswered);
  const std::string Text = Out.str();
  EXPECT_NE(Text.find(PathKernelLine), std::string::npos) << Text;
  EXPECT_NE(Text.find("Acel: 125 128 153"), std::string::npos) << Text;
  EXPECT_NE(Text.find("Bateria: 100%"), std::string::npos) << Text;
  EXPECT_NE(Text.find("O Wii Remote respondeu."), std::string::npos) << Text;
  Remote.Drain();
  EXPECT_TRUE(Remote.Received().empty()) << "the driver's remote gets nothing through the raw node";
  EXPECT_EQ(Kernel.At(Sys).Byte, 0x10) << "left with LED 1, as the driver lit it, and no rumble";
}

}  // namespace
