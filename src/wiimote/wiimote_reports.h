#pragma once
// The output reports sent to the Wii Remote, byte for byte.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

// Report modes: which data report the remote sends.
inline constexpr uint8_t ModeButtons = 0x30;
inline constexpr uint8_t ModeButtonsAccelIR = 0x33;
inline constexpr uint8_t ModeButtonsAccelIRExtension = 0x37;

// One report: byte 0 is the report ID, every byte not set is 0. Length is how far the report's own bytes
// reach (the length its descriptor entry gives on a Wii Remote); the buffer is as large as any report.
struct TOutputReport {
  std::array<uint8_t, 65> Bytes{};
  size_t Length = 0;
  uint8_t ReportID() const { return Bytes[0]; }
};

TOutputReport MakeLedReport(uint8_t Value);        // 0x11 Value
TOutputReport MakeRumbleReport();                  // 0x10 00: only the rumble bit every report carries
TOutputReport MakeReportModeReport(uint8_t Mode);  // 0x12 00 Mode (not continuous)
// 0x13 or 0x1A with the enable bit and the bit that asks the remote to acknowledge it: 06.
TOutputReport MakeIRCameraEnableReport(uint8_t ReportID);
TOutputReport MakeStatusRequestReport();                                // 0x15 00
TOutputReport MakeRegisterWriteReport(uint32_t Address, uint8_t Data);  // 0x16 04 A2 A1 A0 01 Data, 22 bytes
// 0x16 04 A2 A1 A0 N D0..D(N-1): N (1..16) bytes into consecutive registers in one report.
TOutputReport MakeRegisterBlockReport(uint32_t Address, std::span<const uint8_t> Data);
// 0x17 04 A2 A1 A0 S1 S0: asks for Size register bytes, answered by 0x21 reports of up to 16 bytes each.
TOutputReport MakeRegisterReadReport(uint32_t Address, uint16_t Size);
