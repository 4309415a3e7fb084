#include "termination/CacheVarMitsFx.h"

namespace NsOvrin::NsTermination {

char* CacheVarMitsFx::ReadLine(uint16_t offset, char* buffer, uint16_t length) const {
  return CopyText(offset, buffer, length, false, true);
}

uint16_t CacheVarMitsFx::MakeWord(uint8_t b0, uint8_t b1) const {
  return static_cast<uint16_t>((b1 << 8) | b0);
}

uint32_t CacheVarMitsFx::MakeDword(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) const {
  return (uint32_t{b3} << 24) | (uint32_t{b2} << 16) | (uint32_t{b1} << 8) | b0;
}

}  // namespace NsOvrin::NsTermination
