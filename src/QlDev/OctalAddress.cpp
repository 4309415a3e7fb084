#include "QlDev/OctalAddress.h"

#include <limits>

namespace NsOvrin::NsTermination {

uint32_t OctalToLinear(uint32_t number) {
  // Ten decimal digits weighted by powers of 8 stay far below 2^32.
  uint64_t linear = 0;
  uint64_t weight = 1;
  for (uint32_t n = number; n != 0; n /= 10) {
    linear += (n % 10) * weight;
    weight *= 8;
  }
  return static_cast<uint32_t>(linear);
}

uint32_t LinearToOctal(uint64_t linear) {
  constexpr uint64_t kMax = std::numeric_limits<uint32_t>::max();
  uint64_t written = 0;
  uint64_t weight = 1;
  for (uint64_t n = linear; n != 0; n /= 8) {
    if (weight > kMax) return static_cast<uint32_t>(kMax);
    written += (n % 8) * weight;
    if (written > kMax) return static_cast<uint32_t>(kMax);
    weight *= 10;
  }
  return static_cast<uint32_t>(written);
}

uint32_t OctalLastAddress(uint32_t start, uint16_t count) {
  if (count == 0) return start;
  return LinearToOctal(uint64_t{OctalToLinear(start)} + count - 1);
}

uint32_t OctalIncrement(uint32_t number) {
  return LinearToOctal(uint64_t{OctalToLinear(number)} + 1);
}

}  // namespace NsOvrin::NsTermination
