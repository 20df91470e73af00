#pragma once
// The Wii Remote's rumble as the program last switched it: shared by the haptic reaction of the grab and
// the pointer control's edge pulse.

#include <cstdint>

// The edge pulse ends at the first tick more than this many ms after it began.
inline constexpr uint32_t EdgeRumbleMs = 60;

struct TRumbleState {
  bool Vibrando = false;        // the program has switched the rumble on
  uint32_t InicioVibracao = 0;  // ms of the millisecond clock when the rumble was last switched on
  // The rumble running is the pointer's edge pulse (from its start at InicioVibracao until the pointer
  // control ends it), so the frame's own switching can leave it on for its 60 ms.
  bool PulsoDeBorda = false;
};
