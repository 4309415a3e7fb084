#pragma once
// Modbus RTU over a serial line: requests with a CRC, replies collected in a
// sink whose whole content is taken as the frame.
#include <cstdint>

#include "protocol/ModbusData.h"
#include "protocol/ProtocolBase.h"
#include "protocol/ProtocolDataSink.h"

namespace NsOvrin::NsProtocol {

class ProtocolModbRtu : public ProtocolBase {
 public:
  static constexpr uint32_t kSinkCapacity = 1024;
  static constexpr uint32_t kReadRequestLength = 8;
  static constexpr uint32_t kSingleWriteLength = 8;

  explicit ProtocolModbRtu(uint8_t station) : sink_(kSinkCapacity), station_(station) {}

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

  // How the descriptor appears on the wire.
  virtual uint16_t MapStart(const TermAddr& addr) = 0;
  virtual uint16_t MapCount(const TermAddr& addr) = 0;
  virtual uint8_t GetBitReadFc(const TermAddr& addr) = 0;
  virtual uint8_t GetWordReadFc(const TermAddr& addr) = 0;

  uint8_t GetStation() const { return station_; }
  const ProtocolDataSink& GetSink() const { return sink_; }

 private:
  // Read function code by descriptor kind; 0 for a kind that has none.
  uint8_t ReadFc(const TermAddr& addr);
  uint8_t BuildSingleWrite(const TermAddr& addr, uint32_t dataType, const void* value,
                           uint8_t* buffer, uint32_t capacity, uint32_t& length);
  uint8_t BuildMultipleWrite(const TermAddr& addr, uint32_t dataType, const void* value,
                             uint8_t* buffer, uint32_t capacity, uint32_t& length);
  // Appends the CRC of everything written so far; 2 when it does not fit.
  static uint8_t FinishFrame(OBuffHelper& out, uint32_t& length);

  ProtocolDataSinkNoMark sink_;
  uint8_t station_;
  NsModbus::DwordWriteNote dwordWrite_;
};

// Device id 2: the "0x"/"1x"/"3x"/"4x" memory map taken as it stands.
class ProtocolGeneralModbRtu : public ProtocolModbRtu {
 public:
  using ProtocolModbRtu::ProtocolModbRtu;

  uint16_t MapStart(const TermAddr& addr) override;
  uint16_t MapCount(const TermAddr& addr) override;
  uint8_t GetBitReadFc(const TermAddr& addr) override;
  uint8_t GetWordReadFc(const TermAddr& addr) override;
};

}  // namespace NsOvrin::NsProtocol
