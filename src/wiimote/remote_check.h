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
};

// The command line after the program's name: [--segundos N] [--nunchuk] [--gravar ARQUIVO]. False with
// Error set on a usage error (an unknown option, a missing value, N not a whole number of seconds >= 0).
bool ParseRemoteCheckArguments(const std::vector<std::string>& Args, TRemoteCheckOptions& Options,
                               std::string& Error);

std::vector<TRemoteCandidate> ListCandidates(IHidEnumerator& Enumerator, IDeviceOpener& Opener);
// The one line that says what is wrong, or that all looks right, in Portuguese; a permission fix names
// the rule at UdevRulePath.
std::string Diagnose(const std::vector<TRemoteCandidate>& Candidates, const std::string& UdevRulePath);
// One refreshing line of what the remote sends.
std::string StatusLine(const TWiimote& Wiimote, const std::string& Battery, int LedByte);

// The whole check; returns the exit status: 0 when a remote answered.
int RunRemoteCheck(IHidEnumerator& Enumerator, IDeviceChangeMonitor& Monitor, IDeviceOpener& Opener,
                   IClock& Clock, const TRemoteCheckOptions& Options, std::ostream& Out);
