#pragma once
// What the Wii Remote link asks of whoever holds it: the remote session implements it; tests record it.

#include <cstdint>
#include <string>

#include "wiimote/wiimote_decoder.h"
#include "wiimote/wiimote_state.h"

// The two settings the link reads, taken from the settings record whenever they are needed.
struct TWiimoteSettings {
  bool UseNunchuk = false;             // the cursor mode is "Nunchuk Motion" or "Nunchuk Analog"
  bool EnableCursorAtStartup = false;  // start the desktop pointer's timer when a remote is claimed
};

// The window's timers that run only while a Wii Remote is connected.
enum class TInputTimer { BatteryTimer, MotionTimer, DrawTimer, RepeatTimer, CursorTimer };

class IWiimoteHost {
 public:
  virtual ~IWiimoteHost() = default;
  virtual void SetCaption(const std::string& Caption) = 0;    // the main window's title, UTF-8
  virtual void SetBatteryText(const std::string& Text) = 0;   // second panel of the status bar
  virtual void SetStatusNotice(const std::string& Text) = 0;  // first panel of the status bar
  virtual void SetOptionsEnabled(bool Enabled) = 0;           // the "Configurações" menu (Options1)
  virtual void SetTimerEnabled(TInputTimer Timer, bool Enabled) = 0;
  virtual TWiimoteSettings WiimoteSettings() const = 0;
  // A button went down (Kind 1) or up (Kind 2); State already shows it. The button actions start here.
  virtual void ButtonEdge(uint16_t Mask, int Kind, TButtonState& State) = 0;
  // The remote has gone (its node, or its link): whatever it holds is let go where it is, not thrown, and
  // the rumble it drove stops. The buttons have already gone up.
  virtual void RemoteLost() = 0;
};

// A remote was claimed: the input timers start, the pointer's only when the settings ask for it.
inline void StartInputTimers(IWiimoteHost& Host) {
  Host.SetTimerEnabled(TInputTimer::BatteryTimer, true);
  if (Host.WiimoteSettings().EnableCursorAtStartup) Host.SetTimerEnabled(TInputTimer::MotionTimer, true);
  Host.SetTimerEnabled(TInputTimer::DrawTimer, true);
  Host.SetTimerEnabled(TInputTimer::RepeatTimer, true);
  Host.SetTimerEnabled(TInputTimer::CursorTimer, true);
}

// The remote has gone: every input timer stops, in the order they were listed.
inline void StopInputTimers(IWiimoteHost& Host) {
  for (TInputTimer Timer : {TInputTimer::BatteryTimer, TInputTimer::MotionTimer, TInputTimer::DrawTimer,
                            TInputTimer::RepeatTimer, TInputTimer::CursorTimer})
    Host.SetTimerEnabled(Timer, false);
}

// The remote has gone and no report will ever say its buttons went up: they go up now, with their edges,
// so that no synthetic key or mouse button stays pressed on the desktop; then whatever the remote held is
// let go where it is and the rumble it drove stops.
inline void LetGoOfRemote(TWiimote& Record, IWiimoteHost& Host, uint32_t Now) {
  TWiimoteDecodeEvents Events;
  Events.Now = Now;
  Events.ButtonEdge = [&Host](uint16_t Mask, int Kind, TButtonState& State) {
    Host.ButtonEdge(Mask, Kind, State);
  };
  ReleaseAllButtons(Record, Events);
  Host.RemoteLost();
}
