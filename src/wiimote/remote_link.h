#pragma once
// One Wii Remote as the rest of the program sees it, whichever way it is reached: through the kernel's
// own driver (its input devices, LEDs, force feedback and battery) or through the raw HID reports. The
// frame, the grab, the desktop control and the button actions read the record and ask for LEDs and
// rumble here, and never learn which way the remote was reached. Main thread only.

#include <cstdint>

#include "wiimote/wiimote_state.h"

class IRemoteLink {
 public:
  virtual ~IRemoteLink() = default;

  // The decoded state of the remote held (or of the last one, which keeps its values when it goes).
  virtual TWiimote& Wiimote() = 0;
  virtual const TWiimote& Wiimote() const = 0;
  // A remote is held now.
  virtual bool Connected() const = 0;

  // The LED and rumble byte (bits 4..7 LEDs 1..4, bit 0 the motor).
  virtual void SetLeds(uint8_t Value) = 0;
  // SetLeds, skipped when Value is what the remote already shows.
  virtual void SetLedsIfChanged(uint8_t Value) = 0;
  // The LED and rumble byte the remote shows, or -1 when unknown.
  virtual int LedByte() const = 0;

  // "Bateria: N%" to the host; the draw timer calls it.
  virtual void ShowBattery() = 0;
  // The battery timer: asks the remote for its battery (and whatever else its status brings).
  virtual void BatteryTimerTimer() = 0;
  // Every LinkTickMs: whatever the link goes on with between reports.
  virtual void Tick() = 0;
  // The camera set up again, for a pointer that has lost its dots.
  virtual void IRResetButtonClick() = 0;
  // At window destruction, after the settings are saved: the remote is left as the program leaves it.
  virtual void Shutdown() = 0;
};
