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
  bool Nunchuk = false;               // set the extension up instead of the IR camera
  std::atomic<bool>* Stop = nullptr;  // set from a signal handler to end the run
};

std::vector<TRemoteCandidate> ListCandidates(IHidEnumerator& Enumerator, IDeviceOpener& Opener);
// The one line that says what is wrong, or that all looks right, in Portuguese.
std::string Diagnose(const std::vector<TRemoteCandidate>& Candidates);
// One refreshing line of what the remote sends.
std::string StatusLine(const TWiimote& Wiimote, const std::string& Battery, int LedByte);

// The whole check; returns the exit status: 0 when a remote answered.
int RunRemoteCheck(IHidEnumerator& Enumerator, IDeviceChangeMonitor& Monitor, IDeviceOpener& Opener,
                   IClock& Clock, const TRemoteCheckOptions& Options, std::ostream& Out);
