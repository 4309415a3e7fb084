#pragma once
// Cache block of the Mitsubishi FX family: little-endian throughout; texts
// read by ReadLine are in block order.
#include "term_data/CacheVarBlock.h"

namespace NsOvrin::NsTermination {

class CacheVarMitsFx : public CacheVarBlock {
 public:
  explicit CacheVarMitsFx(uint16_t size) : CacheVarBlock(size) {}

  char* ReadLine(uint16_t offset, char* buffer, uint16_t length) const override;
  uint16_t MakeWord(uint8_t b0, uint8_t b1) const override;
  uint32_t MakeDword(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) const override;
};

}  // namespace NsOvrin::NsTermination
