#include "termination/CacheVarModbus.h"

namespace NsOvrin::NsTermination {

char* CacheVarModbus::ReadLine(uint16_t offset, char* buffer, uint16_t length) const {
  return CopyText(offset, buffer, length, true, true);
}

uint16_t CacheVarModbus::MakeWord(uint8_t b0, uint8_t b1) const {
  return static_cast<uint16_t>((b0 << 8) | b1);
}

uint32_t CacheVarModbus::MakeDword(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) const {
  return (uint32_t{b2} << 24) | (uint32_t{b3} << 16) | (uint32_t{b0} << 8) | b1;
}

}  // namespace NsOvrin::NsTermination
