#pragma once
// Cache block of the Modbus family (Modbus RTU, Modbus TCP, H3U): every
// 16-bit register high byte first, a 32-bit value as two registers with the
// low word first.
#include "term_data/CacheVarBlock.h"

namespace NsOvrin::NsTermination {

class CacheVarModbus : public CacheVarBlock {
 public:
  explicit CacheVarModbus(uint16_t size) : CacheVarBlock(size) {}

  char* ReadLine(uint16_t offset, char* buffer, uint16_t length) const override;
  uint16_t MakeWord(uint8_t b0, uint8_t b1) const override;
  uint32_t MakeDword(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) const override;
};

}  // namespace NsOvrin::NsTermination
