#pragma once
// Receive sinks of the serial codecs: they collect the bytes of one reply and
// find the frame boundaries in them.
#include <cstdint>
#include <memory>

#include "common/FixedBuffer.h"

namespace NsOvrin::NsProtocol {

class ProtocolDataSink {
 public:
  // The storage is allocated once here; a receive never allocates.
  explicit ProtocolDataSink(uint32_t capacity);
  virtual ~ProtocolDataSink();
  ProtocolDataSink(const ProtocolDataSink&) = delete;
  ProtocolDataSink& operator=(const ProtocolDataSink&) = delete;

  // The frame is the byte range [begin, end) of the sink's data.
  virtual bool FindFrame(uint32_t& begin, uint32_t& end) const = 0;

  // The shared receive path: appends the chunk and looks for a frame. A chunk
  // that does not fit empties the sink (the buffer logs it) and finds nothing.
  bool AppendAndFindFrame(const uint8_t* data, uint32_t length, uint32_t& begin, uint32_t& end);

  // Forgets the previous exchange: nothing held, the whole storage zeroed.
  void Reset();

  const uint8_t* Data() const { return buffer_.data; }
  uint32_t Used() const { return buffer_.used; }
  uint32_t Capacity() const { return static_cast<uint32_t>(buffer_.capacity); }
  FixedBuffer& Buffer() { return buffer_; }

 protected:
  std::unique_ptr<uint8_t[]> storage_;
  FixedBuffer buffer_;
};

// The whole buffer is the frame (Modbus RTU: the codec checks length and CRC).
class ProtocolDataSinkNoMark : public ProtocolDataSink {
 public:
  explicit ProtocolDataSinkNoMark(uint32_t capacity) : ProtocolDataSink(capacity) {}
  bool FindFrame(uint32_t& begin, uint32_t& end) const override;
};

// A frame runs from a start byte to an end byte plus a fixed number of
// trailing bytes (a checksum). The last end byte received wins, so noise or a
// stale partial frame before it is skipped.
class ProtoDataSinkStartEndExtend : public ProtocolDataSink {
 public:
  ProtoDataSinkStartEndExtend(uint32_t capacity, uint8_t startByte, uint8_t endByte,
                              uint16_t trailingCount)
      : ProtocolDataSink(capacity),
        startByte_(startByte),
        endByte_(endByte),
        trailingCount_(trailingCount) {}
  bool FindFrame(uint32_t& begin, uint32_t& end) const override;

  uint8_t StartByte() const { return startByte_; }
  uint8_t EndByte() const { return endByte_; }
  uint16_t TrailingCount() const { return trailingCount_; }

 private:
  uint8_t startByte_;
  uint8_t endByte_;
  uint16_t trailingCount_;
};

}  // namespace NsOvrin::NsProtocol
