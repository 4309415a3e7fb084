#pragma once
// Helpers of the Modbus codec tests: descriptors parsed by the real memory
// maps, an independent bitwise CRC, a counting listener and a log collector.
#include <gtest/gtest.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "common/Log.h"
#include "term_data/CacheVarBlock.h"
#include "term_data/CvbListener.h"
#include "term_data/TermAddr.h"
#include "termination/NodeMemHxU.h"
#include "termination/NodeMemModbus.h"

namespace NsOvrin::NsProtocol::NsModbusTest {

using Bytes = std::vector<uint8_t>;
using NsTermination::TermAddr;

inline TermAddr ParseWith(const NsTermination::NodeMem& map, const std::string& text) {
  TermAddr addr;
  EXPECT_EQ(map.ParseAddress(text, addr), NsTermination::kAddrOk) << text;
  return addr;
}

inline TermAddr Modbus(const std::string& text) {
  return ParseWith(NsTermination::NodeMemModbus(), text);
}

inline TermAddr HxU(const std::string& text) { return ParseWith(NsTermination::NodeMemHxU(), text); }

// CRC-16/Modbus bit by bit, without a table.
inline uint16_t BitwiseCrc(const Bytes& bytes) {
  uint16_t crc = 0xFFFF;
  for (uint8_t b : bytes) {
    crc ^= b;
    for (int i = 0; i < 8; ++i) crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
  }
  return crc;
}

// The frame with its CRC appended low byte first.
inline Bytes WithCrc(Bytes frame) {
  const uint16_t crc = BitwiseCrc(frame);
  frame.push_back(static_cast<uint8_t>(crc & 0xFF));
  frame.push_back(static_cast<uint8_t>(crc >> 8));
  return frame;
}

inline Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

inline Bytes BlockBytes(const NsTermination::CacheVarBlock& block) {
  Bytes out(block.GetSize());
  block.ReadBytes(0, out.data(), block.GetSize());
  return out;
}

struct CountingListener : NsTermination::CvbListener {
  int calls = 0;
  void OnBlockChanged(NsTermination::CacheVarBlock&) override { ++calls; }
};

// Collects the records of one log level while it lives.
class ScopedLogCollector : public NsLog::LogSink {
 public:
  explicit ScopedLogCollector(int level) : logger_(NsLog::GetLogger(level)), was_(logger_.IsEnabled()) {
    logger_.AddSink(this);
    logger_.SetEnabled(true);
  }
  ~ScopedLogCollector() override {
    logger_.RemoveSink(this);
    logger_.SetEnabled(was_);
  }
  void Write(const NsLog::LogRecord& record) override {
    std::lock_guard lock(mutex_);
    texts_.push_back(record.text);
  }
  std::vector<std::string> Texts() {
    std::lock_guard lock(mutex_);
    return texts_;
  }

 private:
  NsLog::Logger& logger_;
  bool was_;
  std::mutex mutex_;
  std::vector<std::string> texts_;
};

}  // namespace NsOvrin::NsProtocol::NsModbusTest
