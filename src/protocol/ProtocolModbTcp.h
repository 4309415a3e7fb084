#pragma once
// Modbus TCP: MBAP header (transaction, protocol 0, length, unit) and the
// PDU. Each exchange has its own transaction identifier, which the server
// echoes: a reply that came after its time-out is told from the one awaited.
// TCP delivers a byte stream: the bytes of one connection, from connect to
// close, are taken as one stream of frames, each as long as its length field
// says, however the stream was cut and whichever exchange the bytes came in.
#include <array>
#include <cstdint>

#include "protocol/ModbusData.h"
#include "protocol/ProtocolBase.h"

namespace NsOvrin::NsProtocol {

class ProtocolModbTcp : public ProtocolBase {
 public:
  static constexpr uint32_t kReadRequestLength = 12;
  static constexpr uint32_t kHeaderLength = 7;
  // The length fields a frame can have: a unit and a function code at least,
  // a unit and the longest PDU at most. Any other is no frame.
  static constexpr uint32_t kMinLengthField = 2;
  static constexpr uint32_t kMaxLengthField = 254;
  static constexpr uint32_t kMaxFrameLength = 6 + kMaxLengthField;

  explicit ProtocolModbTcp(uint8_t unit) : unit_(unit) {}

  // A new exchange on the same stream: a frame left unfinished by the last
  // one is passed over when the rest of it comes, a header begun before this
  // exchange too, whatever its identifier.
  void ResetReceive() override;
  // A new connection: nothing received before belongs to its stream.
  void ResetStream() override;
  // Bytes of the stream that came before this exchange's request: taken
  // frame by frame, none as a reply.
  void PassOver(const uint8_t* data, uint32_t length) override;
  uint32_t GetReadRequestSize(const TermAddr& addr) override;
  uint32_t GetWriteRequestSize(uint32_t dataType, uint16_t count) override;
  uint8_t BuildReadRequest(const TermAddr& addr, uint8_t* buffer, uint32_t capacity,
                           uint32_t& length) override;
  // Always a multiple write (function code 15 or 16).
  uint8_t BuildWriteRequest(const TermAddr& addr, uint32_t dataType, const void* value,
                            uint8_t* buffer, uint32_t capacity, uint32_t& length) override;
  // The next transaction identifier goes into the frame's first two bytes.
  void BeginExchange(uint8_t* request, uint32_t length) override;
  // Frames of other exchanges are passed over whole; until a whole frame of
  // this exchange is there the answer is "more data" (the wait goes on until
  // the time-out). That frame must be exactly the reply: its length field
  // 3 + the byte count of a read, 6 for a write; a frame of this exchange
  // with another length is refused and passed over whole. The bytes after
  // the deciding frame are kept in the stream for the next exchange.
  uint8_t ParseReadReply(const uint8_t* data, uint32_t length, const TermAddr& addr,
                         CacheVarBlock* block) override;
  uint8_t ParseWriteReply(const TermAddr& addr, const uint8_t* data, uint32_t length) override;

  // How the descriptor appears on the wire.
  virtual uint16_t MapStart(const TermAddr& addr) = 0;
  virtual uint16_t MapCount(const TermAddr& addr) = 0;
  virtual uint8_t GetBitReadFc(const TermAddr& addr) = 0;
  virtual uint8_t GetWordReadFc(const TermAddr& addr) = 0;

  uint8_t GetUnit() const { return unit_; }
  // The identifier of the exchange in progress (built frames carry it too).
  uint16_t GetTransaction() const { return transaction_; }

 private:
  // Read function code by descriptor kind; 0 for a kind that has none.
  uint8_t ReadFc(const TermAddr& addr);
  // Takes the chunk into the stream of the exchange: passes over frames of
  // other exchanges, gathers the first frame of this one. Complete with frame
  // at its bytes once it is whole (6 + replyLength bytes); an error as soon
  // as its length field is not replyLength; else more data. used: the bytes
  // of the chunk taken, up to the deciding frame's end. With kNoReply every
  // frame is passed over.
  static constexpr uint32_t kNoReply = 0;
  uint8_t Gather(const uint8_t* data, uint32_t length, uint32_t replyLength, const uint8_t*& frame,
                 uint32_t& used);
  // Gathers the reply of replyLength; once it is whole, its unit and then
  // check(reader after the function code, function code, frame) decide.
  // Complete only when both pass; the rest of the chunk stays in the stream.
  template <typename Check>
  uint8_t TakeReply(const uint8_t* data, uint32_t length, uint32_t replyLength, Check&& check);
  // The rest of a chunk once the exchange is decided (or cannot be).
  void KeepRest(const uint8_t* data, uint32_t length, uint32_t used);
  // A header whose length field no frame can have: the stream holds no frame
  // here. What was gathered goes, and so does the rest of the chunk: the
  // next one is read as a new start.
  void LoseFrameStart(uint16_t lengthField);

  uint8_t unit_;
  uint16_t transaction_ = 0;
  // The frame at the front of the stream received so far: its header, and
  // once that shows it is this exchange's reply, the rest of it.
  std::array<uint8_t, kMaxFrameLength> frame_{};
  uint32_t gathered_ = 0;
  // The header being gathered began before this exchange.
  bool stale_ = false;
  // Bytes of a frame still to come and be passed over.
  uint32_t toSkip_ = 0;
  NsModbus::DwordWriteNote dwordWrite_;
};

// Device id 4: the "0x"/"1x"/"3x"/"4x" memory map taken as it stands.
class ProtocolGeneralModbTcp : public ProtocolModbTcp {
 public:
  using ProtocolModbTcp::ProtocolModbTcp;

  uint16_t GetMaxUnits(uint32_t transportKind, const TermAddr& addr) override;
  uint16_t MapStart(const TermAddr& addr) override;
  uint16_t MapCount(const TermAddr& addr) override;
  uint8_t GetBitReadFc(const TermAddr& addr) override;
  uint8_t GetWordReadFc(const TermAddr& addr) override;
};

// Device id 5: the PLC's X, Y, M, S, D and R areas at their Modbus addresses.
class ProtocolH3uTcp : public ProtocolModbTcp {
 public:
  using ProtocolModbTcp::ProtocolModbTcp;

  uint16_t GetMaxUnits(uint32_t transportKind, const TermAddr& addr) override;
  uint16_t MapStart(const TermAddr& addr) override { return H3uMapStart(addr); }
  uint16_t MapCount(const TermAddr& addr) override;
  uint8_t GetBitReadFc(const TermAddr& addr) override;
  uint8_t GetWordReadFc(const TermAddr& addr) override;

  // X and Y count in octal: their start goes by its linear position.
  static uint16_t H3uMapStart(const TermAddr& addr);
  static bool H3uIsBitArea(const std::string& prefix);
};

}  // namespace NsOvrin::NsProtocol
