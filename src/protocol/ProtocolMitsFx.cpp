#include "protocol/ProtocolMitsFx.h"

#include <climits>
#include <cstring>
#include <string>

#include "QlDev/OctalAddress.h"
#include "common/Log.h"
#include "platform/Format.h"
#include "term_data/CacheVarBlock.h"
#include "term_data/TermAddr.h"

namespace NsOvrin::NsProtocol {

namespace {

bool IsWordArea(const std::string& prefix) { return prefix == "D" || prefix == "R"; }

bool IsBitArea(const std::string& prefix) {
  return prefix == "X" || prefix == "Y" || prefix == "M" || prefix == "S";
}

bool Is16Bit(uint32_t dataType) {
  return dataType == NsTermination::kTypeInt16 || dataType == NsTermination::kTypeUInt16;
}

bool Is32Bit(uint32_t dataType) {
  return dataType == NsTermination::kTypeInt32 || dataType == NsTermination::kTypeUInt32;
}

// 8-bit sum of the bytes after STX up to and including ETX.
uint8_t FrameSum(const uint8_t* frame, uint32_t etxIndex) {
  uint8_t sum = 0;
  for (uint32_t i = 1; i <= etxIndex; ++i) sum = static_cast<uint8_t>(sum + frame[i]);
  return sum;
}

// Closes a frame: ETX, then the sum as two hex digits. The current writer
// must be a hex one.
void FinishFrame(OBuffHelper& out) {
  out.PutRawByte(ProtocolMitsFx::kEtx);
  if (out.Overflow()) return;
  out.Put8(FrameSum(out.Buffer(), static_cast<uint32_t>(out.Cursor() - 1)));
}

void LogInvalidDataType(const std::string& prefix) {
  OV_LOG(8).AppendText("无效的数据类型:").AppendText(prefix);
}

}  // namespace

ProtocolMitsFx::ProtocolMitsFx() : sink_(kSinkCapacity, kStx, kEtx, 2) {}

void ProtocolMitsFx::ResetReceive() { sink_.Reset(); }

uint32_t ProtocolMitsFx::GetReadRequestSize(const TermAddr&) { return 50; }

uint32_t ProtocolMitsFx::GetWriteRequestSize(uint32_t dataType, uint16_t count) {
  const uint32_t n = count;
  if (dataType == NsTermination::kTypeBit) return ((n + 7) & ~uint32_t{7}) * 8 + 50;
  if (Is16Bit(dataType)) return 400 * n;
  if (Is32Bit(dataType)) return 400 * (n + 1);
  return 8 * n + 50;
}

bool ProtocolMitsFx::FxWordAddress(const TermAddr& addr, uint32_t& address) {
  const uint64_t n = addr.start;
  uint64_t a = 0;
  if (addr.prefix == "D") {
    a = 0x4000 + 2 * n;
  } else if (addr.prefix == "R") {
    a = 0x60000 + 2 * n;
  } else if (addr.prefix == "M") {
    a = 0x8800 + n / 8;
  } else if (addr.prefix == "S") {
    a = 0x8CE0 + n / 8;
  } else if (addr.prefix == "X") {
    a = 0x0240 + NsTermination::OctalToLinear(addr.start) / 8;
  } else if (addr.prefix == "Y") {
    a = 0x0180 + NsTermination::OctalToLinear(addr.start) / 8;
  } else {
    return false;
  }
  // The frame has room for five digits; a longer address would shift every
  // field after it.
  if (a > 0xFFFFF) return false;
  address = static_cast<uint32_t>(a);
  return true;
}

bool ProtocolMitsFx::FxBitAddress(const TermAddr& addr, uint16_t& address) {
  uint64_t a = 0;
  if (addr.prefix == "M") {
    a = 0x4000 + uint64_t{addr.start};
  } else if (addr.prefix == "S") {
    a = 0x6700 + uint64_t{addr.start};
  } else if (addr.prefix == "Y") {
    a = 0x0C00 + uint64_t{NsTermination::OctalToLinear(addr.start)};
  } else {
    return false;
  }
  // Cut to 16 bits it would force another bit.
  if (a > 0xFFFF) return false;
  address = static_cast<uint16_t>(a);
  return true;
}

uint32_t ProtocolMitsFx::FxWordCount(const TermAddr& addr) {
  if (IsWordArea(addr.prefix)) return addr.count;
  return (uint32_t{addr.count} + 15) / 16;
}

uint32_t ProtocolMitsFx::FxWriteWordCount(uint32_t dataType, uint16_t count) {
  if (Is16Bit(dataType)) return count;
  if (Is32Bit(dataType)) return 2 * ((uint32_t{count} + 1) / 2);
  return 0;
}

bool ProtocolMitsFx::FxWriteValues(OBuffHelper& out, uint32_t dataType, uint16_t count,
                                   const void* value) {
  const auto* bytes = static_cast<const uint8_t*>(value);
  if (Is16Bit(dataType)) {
    for (uint32_t i = 0; i < count; ++i) {
      uint16_t v = 0;
      std::memcpy(&v, bytes + 2 * i, sizeof(v));
      out.Put16(v);
    }
    return true;
  }
  if (Is32Bit(dataType)) {
    const uint32_t values = (uint32_t{count} + 1) / 2;
    for (uint32_t i = 0; i < values; ++i) {
      uint32_t v = 0;
      std::memcpy(&v, bytes + 4 * i, sizeof(v));
      out.Put32(v);
    }
    return true;
  }
  return false;
}

uint8_t ProtocolMitsFx::BuildReadRequest(const TermAddr& addr, uint8_t* buffer, uint32_t capacity,
                                         uint32_t& length) {
  if (buffer == nullptr || capacity < kReadRequestLength) return ProtoStatus::Error;
  uint32_t address = 0;
  if (!FxWordAddress(addr, address)) return ProtoStatus::Error;
  // The byte count field is one byte; a larger read cannot be asked for.
  const uint32_t byteCount = 2 * FxWordCount(addr);
  if (byteCount > 0xFF) return ProtoStatus::Error;

  OBuffHelper out(buffer, static_cast<int32_t>(capacity > INT32_MAX ? INT32_MAX : capacity));
  out.PutRawByte(kStx);
  out.AppendBytes("E0", 2);
  const std::string digits = NsPlatform::StrFormat("%05X", address);
  out.AppendBytes(digits.data(), static_cast<int32_t>(digits.size()));
  out.SelectWriter(OBuffHelper::Writer::HexStr_1234);
  out.Put8(static_cast<uint8_t>(byteCount));
  FinishFrame(out);
  if (out.Overflow()) return ProtoStatus::Error;
  length = static_cast<uint32_t>(out.Cursor());
  return ProtoStatus::Built;
}

uint8_t ProtocolMitsFx::BuildWriteRequest(const TermAddr& addr, uint32_t dataType,
                                          const void* value, uint8_t* buffer, uint32_t capacity,
                                          uint32_t& length) {
  if (value == nullptr || buffer == nullptr) return ProtoStatus::Error;
  OBuffHelper out(buffer, static_cast<int32_t>(capacity > INT32_MAX ? INT32_MAX : capacity));

  if (IsWordArea(addr.prefix)) {
    // Bits have no word form here: a frame announcing words but carrying no
    // data would be refused by the PLC at best, so refuse it before sending.
    if (!Is16Bit(dataType) && !Is32Bit(dataType)) {
      LogInvalidDataType(addr.prefix);
      return ProtoStatus::Error;
    }
    uint32_t address = 0;
    if (!FxWordAddress(addr, address)) return ProtoStatus::Error;
    const uint32_t byteCount = 2 * FxWriteWordCount(dataType, addr.count);
    if (byteCount > 0xFF) return ProtoStatus::Error;
    // Every data byte travels as two hex digits.
    if (capacity < kWordWriteOverhead + 2 * byteCount) return ProtoStatus::Error;

    out.PutRawByte(kStx);
    out.AppendBytes("E1", 2);
    const std::string digits = NsPlatform::StrFormat("%05X", address);
    out.AppendBytes(digits.data(), static_cast<int32_t>(digits.size()));
    out.SelectWriter(OBuffHelper::Writer::HexStr_1234);
    out.Put8(static_cast<uint8_t>(byteCount));
    // The PLC expects the least significant byte first.
    out.SelectWriter(OBuffHelper::Writer::HexStr_2143);
    FxWriteValues(out, dataType, addr.count, value);
    FinishFrame(out);
  } else {
    uint16_t address = 0;
    if (!FxBitAddress(addr, address)) return ProtoStatus::Error;
    if (capacity < kForceLength) return ProtoStatus::Error;
    const bool on = *static_cast<const uint8_t*>(value) != 0;

    out.PutRawByte(kStx);
    out.AppendBytes(on ? "E7" : "E8", 2);
    out.SelectWriter(OBuffHelper::Writer::HexStr_1234);
    out.Put8(static_cast<uint8_t>(address & 0xFF));
    out.Put8(static_cast<uint8_t>(address >> 8));
    FinishFrame(out);
  }
  if (out.Overflow()) return ProtoStatus::Error;
  length = static_cast<uint32_t>(out.Cursor());
  return ProtoStatus::Built;
}

uint8_t ProtocolMitsFx::ParseReadReply(const uint8_t* data, uint32_t length, const TermAddr& addr,
                                       CacheVarBlock* block) {
  uint32_t begin = 0, end = 0;
  if (!sink_.AppendAndFindFrame(data, length, begin, end)) return ProtoStatus::MoreData;
  if (block == nullptr) return ProtoStatus::Error;
  const uint32_t frameLength = end - begin;
  if (frameLength <= 7) return ProtoStatus::Error;

  const uint8_t* frame = sink_.Data() + begin;
  const uint32_t etxIndex = frameLength - 3;
  IBuffHelper in(frame, static_cast<uint16_t>(frameLength));
  in.SelectReader(IBuffHelper::Reader::HexStr_4321);
  in.SetCursor(etxIndex + 1);
  uint8_t sent = 0;
  in.Get8(sent);
  if (in.Overrun() || sent != FrameSum(frame, etxIndex)) return ProtoStatus::Error;

  const uint32_t words = FxWordCount(addr) & 0xFF;
  if (frameLength != 4 * words + 4) return ProtoStatus::Error;

  // At most 255 words; Update stores no more than the block holds.
  uint8_t decoded[2 * 0xFF];
  const uint32_t n = 2 * words;
  in.SetCursor(1);
  for (uint32_t i = 0; i < n; ++i) in.Get8(decoded[i]);
  if (in.Overrun()) return ProtoStatus::Error;
  block->Update(decoded, n);
  return ProtoStatus::Complete;
}

uint8_t ProtocolMitsFx::ParseWriteReply(const TermAddr&, const uint8_t* data, uint32_t length) {
  if (data != nullptr && length > 0 && data[length - 1] == kAck) return ProtoStatus::Complete;
  return ProtoStatus::Error;
}

uint16_t ProtocolMitsFx::GetMaxUnits(uint32_t transportKind, const TermAddr& addr) {
  if ((transportKind == 1 || transportKind == 2) && IsBitArea(addr.prefix)) return 512;
  return 32;
}

}  // namespace NsOvrin::NsProtocol
