#pragma once
// Codec of the FX programming port: ASCII frames STX .. ETX followed by a
// two-digit sum, data as hex digit pairs, low byte first. "E0" reads bytes,
// "E1" writes words, "E7"/"E8" set/reset one bit.
#include <cstdint>

#include "common/ValueCodec.h"
#include "protocol/ProtocolBase.h"
#include "protocol/ProtocolDataSink.h"

namespace NsOvrin::NsProtocol {

class ProtocolMitsFx : public ProtocolBase {
 public:
  static constexpr uint8_t kStx = 0x02;
  static constexpr uint8_t kEtx = 0x03;
  static constexpr uint8_t kAck = 0x06;
  static constexpr uint32_t kSinkCapacity = 2048;
  // STX, "E0", address (5), byte count (2), ETX, sum (2).
  static constexpr uint32_t kReadRequestLength = 13;
  // STX, "E1", address (5), byte count (2), ETX, sum (2); the data comes on top.
  static constexpr uint32_t kWordWriteOverhead = 13;
  // STX, "E7"/"E8", force address (4), ETX, sum (2).
  static constexpr uint32_t kForceLength = 10;

  ProtocolMitsFx();

  void ResetReceive() override;
  uint32_t GetReadRequestSize(const TermAddr& addr) override;
  uint32_t GetWriteRequestSize(uint32_t dataType, uint16_t count) override;
  uint8_t BuildReadRequest(const TermAddr& addr, uint8_t* buffer, uint32_t capacity,
                           uint32_t& length) override;
  uint8_t BuildWriteRequest(const TermAddr& addr, uint32_t dataType, const void* value,
                            uint8_t* buffer, uint32_t capacity, uint32_t& length) override;
  uint8_t ParseReadReply(const uint8_t* data, uint32_t length, const TermAddr& addr,
                         CacheVarBlock* block) override;
  uint8_t ParseWriteReply(const TermAddr& addr, const uint8_t* data, uint32_t length) override;
  uint16_t GetMaxUnits(uint32_t transportKind, const TermAddr& addr) override;

  // Device address of a read or word write of the descriptor's start; false
  // for an area the port cannot address or an address past five hex digits.
  static bool FxWordAddress(const TermAddr& addr, uint32_t& address);
  // Force address of the descriptor's start bit (M, S, Y); false for any
  // other area or an address past 16 bits.
  static bool FxBitAddress(const TermAddr& addr, uint16_t& address);
  // Words a read of the descriptor covers: its count for D and R, whole
  // 16-bit words of bits for the bit areas.
  static uint32_t FxWordCount(const TermAddr& addr);
  // Words a word write of count values of the data type covers: count for
  // 16-bit data, whole double words ((count + 1) / 2 of them) for 32-bit
  // data; 0 for any other type.
  static uint32_t FxWriteWordCount(uint32_t dataType, uint16_t count);
  // Writes the data of a word write through the helper's current writer;
  // false for a data type without a word form.
  static bool FxWriteValues(OBuffHelper& out, uint32_t dataType, uint16_t count, const void* value);

  const ProtoDataSinkStartEndExtend& Sink() const { return sink_; }

 private:
  ProtoDataSinkStartEndExtend sink_;
};

}  // namespace NsOvrin::NsProtocol
