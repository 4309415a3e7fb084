#pragma once
// Pieces shared by the Modbus RTU and Modbus TCP codecs: data lengths, the
// data types a write accepts and the encoding of written data.
#include <cstdint>

#include "common/ValueCodec.h"
#include "term_data/TermAddr.h"

namespace NsOvrin::NsProtocol::NsModbus {

inline constexpr uint8_t kFcWriteCoil = 5;
inline constexpr uint8_t kFcWriteRegister = 6;
inline constexpr uint8_t kFcWriteCoils = 15;
inline constexpr uint8_t kFcWriteRegisters = 16;

inline constexpr uint16_t kCoilOn = 0xFF00;

// Data bytes of a read reply, kept in 8 bits as the byte-count field is: bits
// (count + 7) / 8, words 2 x count, any other kind 0.
uint8_t ReadDataLength(const NsTermination::TermAddr& addr);

bool IsDwordType(uint32_t dataType);
// A write carries a bit (1) to a bit descriptor, a 16-bit (2, 4) or 32-bit
// (8, 16) value to a word descriptor.
bool IsWritableType(uint32_t dataType, uint32_t kind);

// Data bytes a multiple write of count values of the type really carries;
// each 32-bit value takes two registers.
uint32_t WriteDataLength(uint32_t dataType, uint16_t count);
// Registers or coils a multiple write covers: twice the count for 32-bit
// values, the mapped count otherwise.
uint16_t WriteQuantity(bool dword, uint16_t mappedCount);

// Writes count values from the value memory: bits as one byte each (0 off),
// packed least significant bit first; 16-bit values big-endian; 32-bit values
// low word first, each word big-endian (the order the cache block reads).
void PutWriteData(OBuffHelper& out, uint32_t dataType, uint16_t count, const void* value);

// A 32-bit write leaves the reply check a quantity it cannot derive from the
// descriptor alone; the codec notes what it built.
struct DwordWriteNote {
  bool active = false;
  std::string prefix;
  uint32_t start = 0;
  uint16_t count = 0;
  uint32_t kind = 0;

  void Set(bool dword, const NsTermination::TermAddr& addr);
  bool Matches(const NsTermination::TermAddr& addr) const;
};

}  // namespace NsOvrin::NsProtocol::NsModbus
