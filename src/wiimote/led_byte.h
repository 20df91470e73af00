#pragma once
// The LED and rumble byte of report 0x11: bit 0 rumble, bits 4..7 LEDs 1..4. Header-only, so the desktop
// control can name the bytes it asks for without linking the Wii Remote library.

#include <cstdint>

inline constexpr uint8_t LedsFourOnly =
    0x80;  // LED 4 only: pointer off, and the remote as the program leaves it
inline constexpr uint8_t LedsOneAndFour = 0x90;        // LEDs 1 and 4: pointer on, rumble off
inline constexpr uint8_t LedsOneAndFourRumble = 0x91;  // LEDs 1 and 4 with the rumble motor running
