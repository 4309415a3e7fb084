#include "protocol/ProtocolModbTcp.h"

#include <algorithm>
#include <cstring>

#include "QlDev/OctalAddress.h"
#include "common/Log.h"
#include "term_data/CacheVarBlock.h"
#include "term_data/TermAddr.h"

namespace NsOvrin::NsProtocol {

using NsTermination::kKindBit;
using NsTermination::kKindWord;
namespace Mb = NsModbus;

namespace {

// The MBAP length field: the bytes that follow it.
uint16_t HeaderLengthField(const uint8_t* data) {
  return static_cast<uint16_t>((data[4] << 8) | data[5]);
}

uint16_t TransactionField(const uint8_t* data) {
  return static_cast<uint16_t>((data[0] << 8) | data[1]);
}

bool IsFrameLength(uint16_t field) {
  return field >= ProtocolModbTcp::kMinLengthField && field <= ProtocolModbTcp::kMaxLengthField;
}

}  // namespace

uint32_t ProtocolModbTcp::GetReadRequestSize(const TermAddr&) { return 30; }

uint32_t ProtocolModbTcp::GetWriteRequestSize(uint32_t dataType, uint16_t count) {
  if (dataType == 1) return uint32_t{count} + 30;
  if (Mb::IsDwordType(dataType)) return 2 * uint32_t{count} + 32;
  return 2 * uint32_t{count} + 30;
}

uint8_t ProtocolModbTcp::ReadFc(const TermAddr& addr) {
  if (addr.kind == kKindBit) return GetBitReadFc(addr);
  if (addr.kind == kKindWord) return GetWordReadFc(addr);
  return 0;
}

uint8_t ProtocolModbTcp::BuildReadRequest(const TermAddr& addr, uint8_t* buffer, uint32_t capacity,
                                          uint32_t& length) {
  if (buffer == nullptr || capacity < kReadRequestLength) return ProtoStatus::Error;
  const uint8_t fc = ReadFc(addr);
  if (fc == 0) return ProtoStatus::Error;
  OBuffHelper out(buffer, static_cast<int32_t>(kReadRequestLength));
  out.SelectWriter(OBuffHelper::Writer::Bin_3412);
  out.Put16(transaction_);
  out.Put16(0);  // protocol identifier
  out.Put16(6);
  out.Put8(unit_);
  out.Put8(fc);
  out.Put16(MapStart(addr));
  out.Put16(MapCount(addr));
  if (out.Overflow()) return ProtoStatus::Error;
  length = static_cast<uint32_t>(out.Cursor());
  return ProtoStatus::Built;
}

uint8_t ProtocolModbTcp::BuildWriteRequest(const TermAddr& addr, uint32_t dataType,
                                           const void* value, uint8_t* buffer, uint32_t capacity,
                                           uint32_t& length) {
  if (!Mb::IsWritableType(dataType, addr.kind)) {
    OV_LOG(8).AppendText("无效的数据类型:").AppendText(addr.prefix);
    return ProtoStatus::Error;
  }
  // The byte-count field holds 8 bits: larger data cannot be expressed.
  const uint32_t dataLength = Mb::WriteDataLength(dataType, addr.count);
  if (dataLength > 0xFF) return ProtoStatus::Error;
  const uint32_t frameLength = 13 + dataLength;
  if (buffer == nullptr || capacity < frameLength) return ProtoStatus::Error;
  if (value == nullptr && addr.count > 0) return ProtoStatus::Error;
  const bool dword = Mb::IsDwordType(dataType);
  dwordWrite_.Set(dword, addr);

  OBuffHelper out(buffer, static_cast<int32_t>(frameLength));
  out.SelectWriter(OBuffHelper::Writer::Bin_3412);
  out.Put16(transaction_);
  out.Put16(0);
  out.Put16(static_cast<uint16_t>(dataLength + 7));
  out.Put8(unit_);
  out.Put8(addr.kind == kKindBit ? Mb::kFcWriteCoils : Mb::kFcWriteRegisters);
  out.Put16(MapStart(addr));
  out.Put16(Mb::WriteQuantity(dword, MapCount(addr)));
  out.Put8(static_cast<uint8_t>(dataLength));
  if (addr.count > 0) Mb::PutWriteData(out, dataType, addr.count, value);
  if (out.Overflow()) return ProtoStatus::Error;
  length = static_cast<uint32_t>(out.Cursor());
  return ProtoStatus::Built;
}

void ProtocolModbTcp::BeginExchange(uint8_t* request, uint32_t length) {
  if (request == nullptr || length < 2) return;
  ++transaction_;
  request[0] = static_cast<uint8_t>(transaction_ >> 8);
  request[1] = static_cast<uint8_t>(transaction_ & 0xFF);
}

void ProtocolModbTcp::ResetReceive() {
  if (gathered_ >= 6) {
    // This exchange's reply, unfinished: its rest is passed over.
    toSkip_ = 6 + uint32_t{HeaderLengthField(frame_.data())} - gathered_;
    gathered_ = 0;
  }
  stale_ = gathered_ > 0;
}

void ProtocolModbTcp::ResetStream() {
  gathered_ = 0;
  stale_ = false;
  toSkip_ = 0;
}

void ProtocolModbTcp::LoseFrameStart(uint16_t lengthField) {
  ResetStream();
  OV_LOG(4).AppendText("报文长度无效: ").AppendNumber(lengthField).AppendText(", 丢弃已接收的数据.");
}

void ProtocolModbTcp::PassOver(const uint8_t* data, uint32_t length) {
  if (data == nullptr) return;
  ResetReceive();
  const uint8_t* frame = nullptr;
  uint32_t used = 0;
  Gather(data, length, kNoReply, frame, used);
  stale_ = gathered_ > 0;
}

uint8_t ProtocolModbTcp::Gather(const uint8_t* data, uint32_t length, uint32_t replyLength,
                               const uint8_t*& frame, uint32_t& used) {
  const uint32_t frameLength = 6 + replyLength;
  const uint8_t* const begin = data;
  const auto taken = [&](uint8_t status) {
    used = static_cast<uint32_t>(data - begin);
    return status;
  };
  while (length > 0) {
    if (toSkip_ > 0) {
      const uint32_t n = std::min(toSkip_, length);
      data += n;
      length -= n;
      toSkip_ -= n;
      continue;
    }
    if (gathered_ == 0 && length >= 6) {
      // A frame that starts in this chunk is judged where it lies.
      const uint16_t field = HeaderLengthField(data);
      if (!IsFrameLength(field)) {
        LoseFrameStart(field);
        data += length;
        return taken(ProtoStatus::MoreData);
      }
      if (replyLength == kNoReply || TransactionField(data) != transaction_) {
        toSkip_ = 6 + uint32_t{field};
        continue;
      }
      if (field != replyLength) {
        toSkip_ = 6 + uint32_t{field};
        return taken(ProtoStatus::Error);
      }
      if (length >= frameLength) {
        frame = data;
        data += frameLength;
        return taken(ProtoStatus::Complete);
      }
    }
    // The header first, then (when it is this exchange's) the rest.
    const uint32_t wanted = gathered_ < 6 ? 6 : frameLength;
    const uint32_t n = std::min(wanted - gathered_, length);
    std::memcpy(frame_.data() + gathered_, data, n);
    gathered_ += n;
    data += n;
    length -= n;
    if (gathered_ == 6 && wanted == 6) {
      const uint16_t field = HeaderLengthField(frame_.data());
      if (!IsFrameLength(field)) {
        LoseFrameStart(field);
        data += length;
        return taken(ProtoStatus::MoreData);
      }
      if (replyLength == kNoReply || stale_ || TransactionField(frame_.data()) != transaction_) {
        toSkip_ = field;
        gathered_ = 0;
        stale_ = false;
        continue;
      }
      if (field != replyLength) {
        toSkip_ = field;
        gathered_ = 0;
        return taken(ProtoStatus::Error);
      }
    }
    if (gathered_ == frameLength) {
      // Judged before the rest of the chunk may gather a header here.
      gathered_ = 0;
      frame = frame_.data();
      return taken(ProtoStatus::Complete);
    }
  }
  return taken(ProtoStatus::MoreData);
}

void ProtocolModbTcp::KeepRest(const uint8_t* data, uint32_t length, uint32_t used) {
  if (used < length) PassOver(data + used, length - used);
}

template <typename Check>
uint8_t ProtocolModbTcp::TakeReply(const uint8_t* data, uint32_t length, uint32_t replyLength, Check&& check) {
  const uint8_t* frame = nullptr;
  uint32_t used = 0;
  uint8_t status = Gather(data, length, replyLength, frame, used);
  if (status == ProtoStatus::Complete) {
    IBuffHelper in(frame, static_cast<uint16_t>(6 + replyLength));
    in.SelectReader(IBuffHelper::Reader::Bin_3412);
    in.SetCursor(6);
    uint8_t unit = 0;
    uint8_t replyFc = 0;
    in.Get8(unit);
    in.Get8(replyFc);
    // The protocol identifier is not compared.
    if (in.Overrun() || unit != unit_ || !check(in, replyFc, frame)) status = ProtoStatus::Error;
  }
  KeepRest(data, length, used);
  return status;
}

uint8_t ProtocolModbTcp::ParseReadReply(const uint8_t* data, uint32_t length, const TermAddr& addr,
                                        CacheVarBlock* block) {
  if (data == nullptr) return ProtoStatus::Error;
  const uint8_t fc = ReadFc(addr);
  // The byte count holds 8 bits and the frame at most kMaxLengthField: a
  // larger read has no right reply.
  const uint32_t n = Mb::ReadDataLength(addr);
  if (block == nullptr || fc == 0 || 3 + n > kMaxLengthField) {
    KeepRest(data, length, 0);
    return ProtoStatus::Error;
  }
  return TakeReply(data, length, 3 + n, [&](IBuffHelper& in, uint8_t replyFc, const uint8_t* frame) {
    uint8_t byteCount = 0;
    in.Get8(byteCount);
    if (in.Overrun() || replyFc != fc || byteCount != n) return false;
    block->Update(frame + 9, n);
    return true;
  });
}

uint8_t ProtocolModbTcp::ParseWriteReply(const TermAddr& addr, const uint8_t* data,
                                         uint32_t length) {
  if (data == nullptr) return ProtoStatus::Error;
  uint8_t fc = 0;
  if (addr.kind == kKindBit) fc = Mb::kFcWriteCoils;
  if (addr.kind == kKindWord) fc = Mb::kFcWriteRegisters;
  if (fc == 0) {
    KeepRest(data, length, 0);
    return ProtoStatus::Error;
  }
  return TakeReply(data, length, 6, [&](IBuffHelper& in, uint8_t replyFc, const uint8_t*) {
    uint16_t start = 0;
    uint16_t quantity = 0;
    in.Get16(start);
    in.Get16(quantity);
    return !in.Overrun() && replyFc == fc && start == MapStart(addr) &&
           quantity == Mb::WriteQuantity(dwordWrite_.Matches(addr), MapCount(addr));
  });
}

uint16_t ProtocolGeneralModbTcp::GetMaxUnits(uint32_t, const TermAddr& addr) {
  return addr.prefix == "0x" || addr.prefix == "1x" ? 1920 : 120;
}

uint16_t ProtocolGeneralModbTcp::MapStart(const TermAddr& addr) {
  return static_cast<uint16_t>(addr.start);
}

uint16_t ProtocolGeneralModbTcp::MapCount(const TermAddr& addr) { return addr.count; }

uint8_t ProtocolGeneralModbTcp::GetBitReadFc(const TermAddr& addr) {
  return addr.prefix == "0x" ? 1 : 2;
}

uint8_t ProtocolGeneralModbTcp::GetWordReadFc(const TermAddr& addr) {
  return addr.prefix == "3x" ? 4 : 3;
}

uint16_t ProtocolH3uTcp::H3uMapStart(const TermAddr& addr) {
  const std::string& p = addr.prefix;
  uint32_t start = 0;
  if (p == "X") {
    start = 0xF800 + NsTermination::OctalToLinear(addr.start);
  } else if (p == "Y") {
    start = 0xFC00 + NsTermination::OctalToLinear(addr.start);
  } else if (p == "M" || p == "D") {
    start = addr.start;
  } else if (p == "S") {
    start = 0xE000 + addr.start;
  } else if (p == "R") {
    start = 0x3000 + addr.start;
  }
  return static_cast<uint16_t>(start);
}

bool ProtocolH3uTcp::H3uIsBitArea(const std::string& prefix) {
  return prefix == "X" || prefix == "Y" || prefix == "M" || prefix == "S";
}

uint16_t ProtocolH3uTcp::GetMaxUnits(uint32_t, const TermAddr& addr) {
  return H3uIsBitArea(addr.prefix) ? 1920 : 120;
}

uint16_t ProtocolH3uTcp::MapCount(const TermAddr& addr) {
  const std::string& p = addr.prefix;
  if (H3uIsBitArea(p) || p == "D" || p == "R") return addr.count;
  return 0;
}

uint8_t ProtocolH3uTcp::GetBitReadFc(const TermAddr&) { return 1; }

uint8_t ProtocolH3uTcp::GetWordReadFc(const TermAddr&) { return 3; }

}  // namespace NsOvrin::NsProtocol
