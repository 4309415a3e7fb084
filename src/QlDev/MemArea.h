#pragma once
// One row of a node memory map's area table, and the range texts of areas.
#include <cstdint>
#include <string>

namespace NsOvrin::NsTermination {

struct MemArea;

// Written number -> linear position (octal areas); null: the number itself.
using LinearPosFn = uint32_t (*)(uint32_t number);
// (start, count) -> written number of the last unit; null: start + count - 1.
using LastAddressFn = uint32_t (*)(uint32_t start, uint16_t count);
using RangeTextFn = std::string (*)(const MemArea& area);

inline constexpr uint32_t kKindBit = 0;
inline constexpr uint32_t kKindWord = 1;

struct MemArea {
  std::string prefix;
  uint32_t start = 0;
  uint32_t size = 0;  // units; covers linear positions start .. start + size - 1
  uint16_t writable = 0;
  uint32_t kind = kKindWord;
  RangeTextFn rangeText = nullptr;
  LinearPosFn linearPos = nullptr;
  LastAddressFn lastAddress = nullptr;
};

// "D[0~7998]" for the D area of 7999 units.
std::string FormatAreaRange(const MemArea& area);
// "X[0~377]" for 256 points numbered in octal.
std::string FormatOctalAreaRange(const MemArea& area);

}  // namespace NsOvrin::NsTermination
