#include "protocol/ModbusData.h"

#include <cstring>

namespace NsOvrin::NsProtocol::NsModbus {

using NsTermination::kKindBit;
using NsTermination::kKindWord;
using NsTermination::TermAddr;

uint8_t ReadDataLength(const TermAddr& addr) {
  if (addr.kind == kKindBit) return static_cast<uint8_t>((uint32_t{addr.count} + 7) / 8);
  if (addr.kind == kKindWord) return static_cast<uint8_t>(2 * uint32_t{addr.count});
  return 0;
}

bool IsDwordType(uint32_t dataType) { return dataType == 8 || dataType == 16; }

bool IsWritableType(uint32_t dataType, uint32_t kind) {
  if (dataType == 1) return kind == kKindBit;
  if (dataType == 2 || dataType == 4 || IsDwordType(dataType)) return kind == kKindWord;
  return false;
}

uint32_t WriteDataLength(uint32_t dataType, uint16_t count) {
  if (dataType == 1) return (uint32_t{count} + 7) / 8;
  if (IsDwordType(dataType)) return 4 * uint32_t{count};
  return 2 * uint32_t{count};
}

uint16_t WriteQuantity(bool dword, uint16_t mappedCount) {
  return dword ? static_cast<uint16_t>(2 * uint32_t{mappedCount}) : mappedCount;
}

void PutWriteData(OBuffHelper& out, uint32_t dataType, uint16_t count, const void* value) {
  const auto* bytes = static_cast<const uint8_t*>(value);
  if (dataType == 1) {
    uint8_t packed = 0;
    for (uint32_t i = 0; i < count; ++i) {
      if (bytes[i] != 0) packed = static_cast<uint8_t>(packed | (1u << (i % 8)));
      if (i % 8 == 7 || i + 1 == count) {
        out.Put8(packed);
        packed = 0;
      }
    }
  } else if (IsDwordType(dataType)) {
    for (uint32_t i = 0; i < count; ++i) {
      uint32_t v;
      std::memcpy(&v, bytes + 4 * i, sizeof v);
      out.Put32(v);
    }
  } else {
    for (uint32_t i = 0; i < count; ++i) {
      uint16_t v;
      std::memcpy(&v, bytes + 2 * i, sizeof v);
      out.Put16(v);
    }
  }
}

void DwordWriteNote::Set(bool dword, const TermAddr& addr) {
  active = dword;
  prefix = dword ? addr.prefix : std::string();
  start = addr.start;
  count = addr.count;
  kind = addr.kind;
}

bool DwordWriteNote::Matches(const TermAddr& addr) const {
  return active && prefix == addr.prefix && start == addr.start && count == addr.count &&
         kind == addr.kind;
}

}  // namespace NsOvrin::NsProtocol::NsModbus
