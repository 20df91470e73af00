#pragma once
// Keys are named by X11 keysym values (the numbers of <X11/keysymdef.h>), so the key-text parser and the
// actions stay free of any window-system header while the X service can use them unchanged.

#include <cstdint>

using TKeySym = uint32_t;

namespace KeySyms {
inline constexpr TKeySym BackSpace = 0xff08;
inline constexpr TKeySym Tab = 0xff09;
inline constexpr TKeySym Return = 0xff0d;
inline constexpr TKeySym Pause = 0xff13;
inline constexpr TKeySym Escape = 0xff1b;
inline constexpr TKeySym Space = 0x0020;
inline constexpr TKeySym Home = 0xff50;
inline constexpr TKeySym Left = 0xff51;
inline constexpr TKeySym Up = 0xff52;
inline constexpr TKeySym Right = 0xff53;
inline constexpr TKeySym Down = 0xff54;
inline constexpr TKeySym PageUp = 0xff55;
inline constexpr TKeySym PageDown = 0xff56;
inline constexpr TKeySym End = 0xff57;
inline constexpr TKeySym Insert = 0xff63;
inline constexpr TKeySym Delete = 0xffff;
inline constexpr TKeySym Digit0 = 0x0030;   // "0" to "9" follow in order
inline constexpr TKeySym LetterA = 0x0061;  // the unshifted "a" to "z" follow in order
inline constexpr TKeySym F1 = 0xffbe;       // "F1" to "F35" follow in order
inline constexpr TKeySym ShiftL = 0xffe1;
inline constexpr TKeySym ControlL = 0xffe3;
inline constexpr TKeySym AltL = 0xffe9;
inline constexpr TKeySym SuperL = 0xffeb;  // the left Windows key
inline constexpr TKeySym AudioLowerVolume = 0x1008ff11;
inline constexpr TKeySym AudioMute = 0x1008ff12;
inline constexpr TKeySym AudioRaiseVolume = 0x1008ff13;
}  // namespace KeySyms
