#pragma once
// The terminal check of a Wii Remote set-up (the vireta-remote tool): lists the hidraw nodes that look like
// Wii Remotes, says in one line what is wrong, claims the remote through the program's own controller and
// link, and shows live what it decodes. The platform comes in from outside, so that tests put the virtual
// remote behind it.

#include <atomic>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "wiimote/hid_platform.h"
#include "wiimote/kernel_remotes.h"
#include "wiimote/wiimote_state.h"

// One node with the Wii Remote's vendor and one of its products.
struct TRemoteCandidate {
  std::string Path;       // the device node
  std::string Name;       // the HID name
  std::string Driver;     // the bound kernel driver, or empty
  int OpenError = 0;      // errno of a read-write open, 0 when it opens
  bool WiiRemote = true;  // false for a Balance Board or a Pro Controller
};

struct TRemoteCheckOptions {
  int Seconds = 0;                    // stop after this long; 0: until "q" or Ctrl+C
  int KeysFd = -1;                    // where the keys come from (stdin), -1 for none
  bool Nunchuk = false;               // the Nunchuk's report mode (buttons, accelerometer, IR, extension)
  std::atomic<bool>* Stop = nullptr;  // set from a signal handler to end the run
  bool Terminal = true;               // the output is a terminal: the live line refreshes in place
  std::string UdevRulePath;           // the shipped rule's absolute path, for the permission fix
  std::string RecordPath;             // record the session into this file, when not empty
  bool Raw = false;                   // read the raw HID reports even where the kernel's driver is bound
};

// The line that says which way the remote is read, and why: through the kernel's driver wherever it is
// bound, unless the raw reports are asked for (--hidraw), recorded (--gravar) or the only way there is.
inline constexpr const char* PathKernelLine = "Caminho: driver hid_wiimote do kernel";
inline constexpr const char* PathRawLine = "Caminho: relatórios HID brutos (hidraw)";

// The longest run --segundos asks for: its milliseconds still fit the clock's 32 bits (49 days and a half).
inline constexpr int32_t MaxCheckSeconds = 4294967;

// The exit statuses of the check.
inline constexpr int CheckRemoteAnswered = 0;
inline constexpr int CheckNoRemote = 1;  // none answered, or libudev is missing
inline constexpr int CheckUsageError = 2;
inline constexpr int CheckRecordingFailed = 3;  // the --gravar file could not be made or written

// The command line after the program's name: [--segundos N] [--nunchuk] [--hidraw] [--gravar ARQUIVO]. False
// with Error set on a usage error (an unknown option, a missing value, N not a whole number of seconds from 0
// to MaxCheckSeconds).
bool ParseRemoteCheckArguments(const std::vector<std::string>& Args, TRemoteCheckOptions& Options,
                               std::string& Error);

std::vector<TRemoteCandidate> ListCandidates(IHidEnumerator& Enumerator, IDeviceOpener& Opener);
// The one line that says what is wrong, or that all looks right, in Portuguese; a permission fix names
// the rule at UdevRulePath.
std::string Diagnose(const std::vector<TRemoteCandidate>& Candidates, const std::string& UdevRulePath);
// One refreshing line of what the remote sends.
std::string StatusLine(const TWiimote& Wiimote, const std::string& Battery, int LedByte);

// The whole check; returns one of the exit statuses above. A recording goes to a temporary file beside
// RecordPath that replaces it at the end, and only when a remote answered and every line was written; a
// RecordPath that exists and is not a regular file (a FIFO, a device) is refused before anything is opened.
// Kernel offers the remotes the kernel's driver has bound; without it every remote is read raw.
int RunRemoteCheck(IHidEnumerator& Enumerator, IDeviceChangeMonitor& Monitor, IDeviceOpener& Opener,
                   IClock& Clock, const TRemoteCheckOptions& Options, std::ostream& Out,
                   IKernelRemotes* Kernel = nullptr);

// The path line for these candidates, with Kernel offered or not.
std::string PathLine(const std::vector<TRemoteCandidate>& Candidates, bool KernelOffered,
                     const TRemoteCheckOptions& Options);
