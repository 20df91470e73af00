#pragma once
// Report lengths from a HID report descriptor. Only what the HID layer needs is taken: for each report
// kind and report ID the number of bits its main items declare. Every item is bounds-checked; a broken
// descriptor ends the walk with an error naming the byte, and keeps what was read before it.

#include <array>
#include <cstdint>
#include <span>
#include <string>

enum class THidReportKind { Input = 0, Output = 1, Feature = 2 };

class THidReportLayout {
 public:
  // Byte length of one report as it travels through hidraw, report ID byte included (a descriptor without
  // report IDs is counted with the zero ID byte that hidraw writes take); 0 when the report is not declared.
  uint16_t ReportLength(THidReportKind Kind, uint8_t ReportID) const;
  // The largest report of a kind: the capabilities' InputReportByteLength and OutputReportByteLength.
  uint16_t LargestReportLength(THidReportKind Kind) const;
  bool UsesReportIds() const { return usesReportIds_; }
  // Empty when the whole descriptor was read.
  const std::string& Error() const { return error_; }

 private:
  friend THidReportLayout ParseReportDescriptor(std::span<const uint8_t> Descriptor);
  static constexpr uint32_t NoBits = 0;
  std::array<std::array<uint32_t, 256>, 3> bits_{};  // [kind][report ID], capped at MaxReportBits
  bool usesReportIds_ = false;
  std::string error_;
};

// Longest report taken seriously, in bits: hidraw's own buffer limit (HID_MAX_BUFFER_SIZE, 16384 bytes).
inline constexpr uint32_t MaxReportBits = 16384u * 8u;

THidReportLayout ParseReportDescriptor(std::span<const uint8_t> Descriptor);
