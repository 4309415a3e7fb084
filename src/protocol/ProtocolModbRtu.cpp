#include "protocol/ProtocolModbRtu.h"

#include "common/Log.h"
#include "protocol/Crc16.h"
#include "term_data/CacheVarBlock.h"
#include "term_data/TermAddr.h"

namespace NsOvrin::NsProtocol {

using NsTermination::kKindBit;
using NsTermination::kKindWord;
namespace Mb = NsModbus;

namespace {

bool CrcMatches(const uint8_t* frame, uint32_t length) {
  const uint16_t crc = Crc16(frame, length - 2);
  return frame[length - 2] == (crc & 0xFF) && frame[length - 1] == (crc >> 8);
}

void LogInvalidType(const NsTermination::TermAddr& addr) {
  OV_LOG(8).AppendText("无效的数据类型:").AppendText(addr.prefix);
}

}  // namespace

void ProtocolModbRtu::ResetReceive() { sink_.Reset(); }

uint32_t ProtocolModbRtu::GetReadRequestSize(const TermAddr&) { return 20; }

uint32_t ProtocolModbRtu::GetWriteRequestSize(uint32_t dataType, uint16_t count) {
  if (dataType == 1) return uint32_t{count} + 20;
  if (Mb::IsDwordType(dataType)) return 2 * uint32_t{count} + 22;
  return 2 * uint32_t{count} + 20;
}

uint8_t ProtocolModbRtu::ReadFc(const TermAddr& addr) {
  if (addr.kind == kKindBit) return GetBitReadFc(addr);
  if (addr.kind == kKindWord) return GetWordReadFc(addr);
  return 0;
}

uint8_t ProtocolModbRtu::FinishFrame(OBuffHelper& out, uint32_t& length) {
  if (out.Overflow()) return ProtoStatus::Error;
  const uint16_t crc = Crc16(out.Buffer(), static_cast<size_t>(out.Cursor()));
  out.PutRawByte(static_cast<uint8_t>(crc & 0xFF));
  out.PutRawByte(static_cast<uint8_t>(crc >> 8));
  if (out.Overflow()) return ProtoStatus::Error;
  length = static_cast<uint32_t>(out.Cursor());
  return ProtoStatus::Built;
}

uint8_t ProtocolModbRtu::BuildReadRequest(const TermAddr& addr, uint8_t* buffer, uint32_t capacity,
                                          uint32_t& length) {
  if (buffer == nullptr || capacity < kReadRequestLength) return ProtoStatus::Error;
  const uint8_t fc = ReadFc(addr);
  if (fc == 0) return ProtoStatus::Error;
  OBuffHelper out(buffer, static_cast<int32_t>(kReadRequestLength));
  out.SelectWriter(OBuffHelper::Writer::Bin_3412);
  out.Put8(station_);
  out.Put8(fc);
  out.Put16(MapStart(addr));
  out.Put16(MapCount(addr));
  return FinishFrame(out, length);
}

uint8_t ProtocolModbRtu::BuildWriteRequest(const TermAddr& addr, uint32_t dataType,
                                           const void* value, uint8_t* buffer, uint32_t capacity,
                                           uint32_t& length) {
  // Two registers make a 32-bit value, so it always goes as a multiple write.
  if (addr.count == 1 && !Mb::IsDwordType(dataType))
    return BuildSingleWrite(addr, dataType, value, buffer, capacity, length);
  return BuildMultipleWrite(addr, dataType, value, buffer, capacity, length);
}

uint8_t ProtocolModbRtu::BuildSingleWrite(const TermAddr& addr, uint32_t dataType,
                                          const void* value, uint8_t* buffer, uint32_t capacity,
                                          uint32_t& length) {
  if (buffer == nullptr || capacity < kSingleWriteLength) return ProtoStatus::Error;
  if (dataType != 1 && dataType != 2 && dataType != 4) {
    LogInvalidType(addr);
    return ProtoStatus::Error;
  }
  if (value == nullptr || (addr.kind != kKindBit && addr.kind != kKindWord))
    return ProtoStatus::Error;
  dwordWrite_.Set(false, addr);

  // The function code follows the address, the value the data type: a bit
  // written to a register goes as 0xFF00 or 0, which devices expect of a
  // set-value button.
  OBuffHelper out(buffer, static_cast<int32_t>(kSingleWriteLength));
  out.SelectWriter(OBuffHelper::Writer::Bin_3412);
  out.Put8(station_);
  out.Put8(addr.kind == kKindBit ? Mb::kFcWriteCoil : Mb::kFcWriteRegister);
  out.Put16(MapStart(addr));
  if (dataType == 1)
    out.Put16(*static_cast<const uint8_t*>(value) != 0 ? Mb::kCoilOn : 0);
  else
    Mb::PutWriteData(out, dataType, 1, value);
  return FinishFrame(out, length);
}

uint8_t ProtocolModbRtu::BuildMultipleWrite(const TermAddr& addr, uint32_t dataType,
                                            const void* value, uint8_t* buffer, uint32_t capacity,
                                            uint32_t& length) {
  if (!Mb::IsWritableType(dataType, addr.kind)) {
    LogInvalidType(addr);
    return ProtoStatus::Error;
  }
  // The byte-count field holds 8 bits: larger data cannot be expressed.
  const uint32_t dataLength = Mb::WriteDataLength(dataType, addr.count);
  if (dataLength > 0xFF) return ProtoStatus::Error;
  const uint32_t frameLength = 9 + dataLength;
  if (buffer == nullptr || capacity < frameLength) return ProtoStatus::Error;
  if (value == nullptr && addr.count > 0) return ProtoStatus::Error;
  const bool dword = Mb::IsDwordType(dataType);
  dwordWrite_.Set(dword, addr);

  OBuffHelper out(buffer, static_cast<int32_t>(frameLength));
  out.SelectWriter(OBuffHelper::Writer::Bin_3412);
  out.Put8(station_);
  out.Put8(addr.kind == kKindBit ? Mb::kFcWriteCoils : Mb::kFcWriteRegisters);
  out.Put16(MapStart(addr));
  out.Put16(Mb::WriteQuantity(dword, MapCount(addr)));
  out.Put8(static_cast<uint8_t>(dataLength));
  if (addr.count > 0) Mb::PutWriteData(out, dataType, addr.count, value);
  return FinishFrame(out, length);
}

uint8_t ProtocolModbRtu::ParseReadReply(const uint8_t* data, uint32_t length, const TermAddr& addr,
                                        CacheVarBlock* block) {
  if (block == nullptr) return ProtoStatus::Error;
  uint32_t begin = 0;
  uint32_t end = 0;
  if (!sink_.AppendAndFindFrame(data, length, begin, end)) return ProtoStatus::MoreData;
  const uint8_t* frame = sink_.Data() + begin;
  const uint32_t frameLength = end - begin;

  const uint32_t n = Mb::ReadDataLength(addr);
  if (frameLength < n + 5) return ProtoStatus::MoreData;
  const uint8_t fc = ReadFc(addr);
  if (fc == 0) return ProtoStatus::Error;

  IBuffHelper in(frame, static_cast<uint16_t>(frameLength > 0xFFFF ? 0xFFFF : frameLength));
  in.SelectReader(IBuffHelper::Reader::Bin_3412);
  uint8_t station = 0;
  uint8_t replyFc = 0;
  in.Get8(station);
  in.Get8(replyFc);
  if (in.Overrun() || station != station_) return ProtoStatus::Error;
  if (replyFc != fc) return ProtoStatus::Error;
  // Bytes after a frame are taken as part of it and, zeros aside, fail here.
  if (!CrcMatches(frame, frameLength)) return ProtoStatus::Error;
  // The byte count at offset 2 is not compared: the length and the CRC decide.
  block->Update(frame + 3, n);
  return ProtoStatus::Complete;
}

uint8_t ProtocolModbRtu::ParseWriteReply(const TermAddr& addr, const uint8_t* data,
                                         uint32_t length) {
  uint32_t begin = 0;
  uint32_t end = 0;
  if (!sink_.AppendAndFindFrame(data, length, begin, end)) return ProtoStatus::MoreData;
  const uint8_t* frame = sink_.Data() + begin;
  const uint32_t frameLength = end - begin;
  if (frameLength <= 7) return ProtoStatus::MoreData;

  const bool dword = dwordWrite_.Matches(addr);
  const bool single = addr.count == 1 && !dword;
  uint8_t fc = 0;
  if (addr.kind == kKindBit) fc = single ? Mb::kFcWriteCoil : Mb::kFcWriteCoils;
  if (addr.kind == kKindWord) fc = single ? Mb::kFcWriteRegister : Mb::kFcWriteRegisters;
  if (fc == 0) return ProtoStatus::Error;

  IBuffHelper in(frame, static_cast<uint16_t>(frameLength > 0xFFFF ? 0xFFFF : frameLength));
  in.SelectReader(IBuffHelper::Reader::Bin_3412);
  uint8_t station = 0;
  uint8_t replyFc = 0;
  uint16_t start = 0;
  uint16_t quantity = 0;
  in.Get8(station);
  in.Get8(replyFc);
  in.Get16(start);
  in.Get16(quantity);
  if (in.Overrun() || station != station_) return ProtoStatus::Error;
  if (replyFc != fc) return ProtoStatus::Error;
  if (start != MapStart(addr)) return ProtoStatus::Error;
  // The echoed value of a single write is not compared.
  if (!single && quantity != Mb::WriteQuantity(dword, MapCount(addr)))
    return ProtoStatus::Error;
  if (!CrcMatches(frame, frameLength)) return ProtoStatus::Error;
  return ProtoStatus::Complete;
}

uint16_t ProtocolModbRtu::GetMaxUnits(uint32_t transportKind, const TermAddr& addr) {
  if (transportKind == 1 && (addr.prefix == "0x" || addr.prefix == "1x")) return 1920;
  return 120;
}

uint16_t ProtocolGeneralModbRtu::MapStart(const TermAddr& addr) {
  return static_cast<uint16_t>(addr.start);
}

uint16_t ProtocolGeneralModbRtu::MapCount(const TermAddr& addr) { return addr.count; }

uint8_t ProtocolGeneralModbRtu::GetBitReadFc(const TermAddr& addr) {
  return addr.prefix == "0x" ? 1 : 2;
}

uint8_t ProtocolGeneralModbRtu::GetWordReadFc(const TermAddr& addr) {
  return addr.prefix == "3x" ? 4 : 3;
}

}  // namespace NsOvrin::NsProtocol
