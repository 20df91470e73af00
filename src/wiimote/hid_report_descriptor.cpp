#include "wiimote/hid_report_descriptor.h"

#include <algorithm>
#include <vector>

namespace {

constexpr uint8_t LongItemPrefix = 0xFE;
constexpr size_t MaxGlobalStackDepth = 16;

enum TItemType : uint8_t { Main = 0, Global = 1, Local = 2 };
enum TMainTag : uint8_t { Input = 0x8, Output = 0x9, Collection = 0xA, Feature = 0xB, EndCollection = 0xC };
enum TGlobalTag : uint8_t { ReportSize = 0x7, ReportId = 0x8, ReportCount = 0x9, Push = 0xA, Pop = 0xB };

struct TGlobals {
  uint32_t ReportSize = 0;
  uint32_t ReportCount = 0;
  uint8_t ReportID = 0;
};

std::string At(const char* What, size_t Offset) {
  return std::string("report descriptor: ") + What + " at byte " + std::to_string(Offset);
}

}  // namespace

uint16_t THidReportLayout::ReportLength(THidReportKind Kind, uint8_t ReportID) const {
  const uint32_t Bits = bits_[static_cast<size_t>(Kind)][ReportID];
  if (Bits == NoBits) return 0;
  return static_cast<uint16_t>((Bits + 7) / 8 + 1);
}

uint16_t THidReportLayout::LargestReportLength(THidReportKind Kind) const {
  uint16_t Largest = 0;
  for (int Id = 0; Id < 256; ++Id) Largest = std::max(Largest, ReportLength(Kind, static_cast<uint8_t>(Id)));
  return Largest;
}

THidReportLayout ParseReportDescriptor(std::span<const uint8_t> Descriptor) {
  THidReportLayout Layout;
  TGlobals Globals;
  std::vector<TGlobals> Stack;
  size_t CollectionDepth = 0;
  size_t Pos = 0;
  const size_t End = Descriptor.size();

  auto Fail = [&](const char* What, size_t Offset) {
    Layout.error_ = At(What, Offset);
    return Layout;
  };

  while (Pos < End) {
    const size_t ItemStart = Pos;
    const uint8_t Prefix = Descriptor[Pos];
    if (Prefix == LongItemPrefix) {
      // Long items carry vendor data no report length depends on: skip them whole.
      if (End - Pos < 3) return Fail("long item header runs past the end", ItemStart);
      const size_t DataSize = Descriptor[Pos + 1];
      if (End - Pos - 3 < DataSize) return Fail("long item runs past the end", ItemStart);
      Pos += 3 + DataSize;
      continue;
    }
    static constexpr size_t SizeOfCode[4] = {0, 1, 2, 4};
    const size_t DataSize = SizeOfCode[Prefix & 0x3];
    const uint8_t Type = (Prefix >> 2) & 0x3;
    const uint8_t Tag = Prefix >> 4;
    if (End - Pos - 1 < DataSize) return Fail("item runs past the end", ItemStart);
    uint32_t Value = 0;
    for (size_t I = 0; I < DataSize; ++I) Value |= static_cast<uint32_t>(Descriptor[Pos + 1 + I]) << (8 * I);
    Pos += 1 + DataSize;

    if (Type == Global) {
      switch (Tag) {
        case ReportSize:
          Globals.ReportSize = Value;
          break;
        case ReportCount:
          Globals.ReportCount = Value;
          break;
        case ReportId:
          if (Value == 0 || Value > 255) return Fail("report ID out of range 1..255", ItemStart);
          Globals.ReportID = static_cast<uint8_t>(Value);
          Layout.usesReportIds_ = true;
          break;
        case Push:
          if (Stack.size() >= MaxGlobalStackDepth) return Fail("Push nested too deep", ItemStart);
          Stack.push_back(Globals);
          break;
        case Pop:
          if (Stack.empty()) return Fail("Pop without Push", ItemStart);
          Globals = Stack.back();
          Stack.pop_back();
          break;
        default:
          break;
      }
      continue;
    }
    if (Type != Main) continue;  // local items name usages; no length depends on them
    int Kind = -1;
    switch (Tag) {
      case Input:
        Kind = static_cast<int>(THidReportKind::Input);
        break;
      case Output:
        Kind = static_cast<int>(THidReportKind::Output);
        break;
      case Feature:
        Kind = static_cast<int>(THidReportKind::Feature);
        break;
      case Collection:
        ++CollectionDepth;
        break;
      case EndCollection:
        if (CollectionDepth == 0) return Fail("End Collection without Collection", ItemStart);
        --CollectionDepth;
        break;
      default:
        break;
    }
    if (Kind < 0) continue;
    uint32_t& Bits = Layout.bits_[static_cast<size_t>(Kind)][Globals.ReportID];
    const uint64_t Total = uint64_t{Bits} + uint64_t{Globals.ReportSize} * uint64_t{Globals.ReportCount};
    if (Total > MaxReportBits) return Fail("report longer than 16384 bytes", ItemStart);
    Bits = static_cast<uint32_t>(Total);
  }
  if (CollectionDepth != 0) Layout.error_ = At("Collection not closed", End);
  return Layout;
}
