#pragma once
// A small codec for the node tests: fixed ASCII requests ("R<start>:<count>\n",
// "W<start>=<value bytes in hex>\n") and replies judged by their first byte:
// "A<payload>\n" is a good read reply (the payload goes into the cache
// block), "K\n" a good write reply, any other complete line is rejected, and
// bytes without the line end ask for more. Like the serial codecs it
// collects the bytes of one exchange in a sink.
#include <atomic>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "protocol/ProtocolBase.h"
#include "term_data/CacheVarBlock.h"
#include "term_data/TermAddr.h"

namespace NsOvrin::NsTermination::Testing {

namespace ProtoStatus = NsProtocol::ProtoStatus;

// What the codec saw; shared so a test can read it after the node is gone.
struct CodecRecord {
  std::atomic<int> readBuilds{0};
  std::atomic<int> writeBuilds{0};
  std::atomic<int> resets{0};
  std::atomic<bool> destroyed{false};
  std::atomic<uint32_t> lastKind{0};
  // A codec that claims more bytes than the buffer it was given.
  std::atomic<bool> overReportLength{false};

  std::vector<int> PassesPerExchange() {
    std::lock_guard lock(mutex);
    return passes;
  }

  std::mutex mutex;
  std::vector<int> passes;  // receive passes of each exchange
};

class ScriptedCodec : public NsProtocol::ProtocolBase {
 public:
  static constexpr uint32_t kRefusedStart = 99;  // a read the codec cannot build
  static constexpr uint16_t kMaxSerialUnits = 120;
  static constexpr uint16_t kMaxTcpUnits = 100;

  explicit ScriptedCodec(std::shared_ptr<CodecRecord> record) : record_(std::move(record)) {}
  ~ScriptedCodec() override { record_->destroyed = true; }

  void ResetReceive() override {
    sink_.clear();
    ++record_->resets;
    std::lock_guard lock(record_->mutex);
    record_->passes.push_back(0);
  }
  uint32_t GetReadRequestSize(const TermAddr&) override { return 32; }
  uint32_t GetWriteRequestSize(uint32_t, uint16_t) override { return 32; }

  uint8_t BuildReadRequest(const TermAddr& addr, uint8_t* buffer, uint32_t capacity,
                           uint32_t& length) override {
    ++record_->readBuilds;
    if (addr.start == kRefusedStart) return ProtoStatus::Error;
    return Put("R" + std::to_string(addr.start) + ":" + std::to_string(addr.count) + "\n", buffer,
               capacity, length);
  }

  uint8_t BuildWriteRequest(const TermAddr& addr, uint32_t dataType, const void* value,
                            uint8_t* buffer, uint32_t capacity, uint32_t& length) override {
    ++record_->writeBuilds;
    const size_t size = dataType == 1 ? 1 : dataType <= 4 ? 2 : 4;
    std::string text = "W" + std::to_string(addr.start) + "=";
    const auto* bytes = static_cast<const uint8_t*>(value);
    for (size_t i = 0; i < size; ++i) {
      char hex[3];
      std::snprintf(hex, sizeof hex, "%02X", bytes[i]);
      text += hex;
    }
    return Put(text + "\n", buffer, capacity, length);
  }

  uint8_t ParseReadReply(const uint8_t* data, uint32_t length, const TermAddr&,
                         CacheVarBlock* block) override {
    std::string frame;
    const uint8_t status = Collect(data, length, frame);
    if (status != ProtoStatus::Complete) return status;
    if (frame.empty() || frame[0] != 'A' || block == nullptr) return ProtoStatus::Error;
    block->Update(reinterpret_cast<const uint8_t*>(frame.data()) + 1, frame.size() - 1);
    return ProtoStatus::Complete;
  }

  uint8_t ParseWriteReply(const TermAddr&, const uint8_t* data, uint32_t length) override {
    std::string frame;
    const uint8_t status = Collect(data, length, frame);
    if (status != ProtoStatus::Complete) return status;
    return frame == "K" ? ProtoStatus::Complete : ProtoStatus::Error;
  }

  uint16_t GetMaxUnits(uint32_t transportKind, const TermAddr&) override {
    record_->lastKind = transportKind;
    return transportKind == 1 ? kMaxSerialUnits : kMaxTcpUnits;
  }

 private:
  uint8_t Put(const std::string& text, uint8_t* buffer, uint32_t capacity, uint32_t& length) {
    if (text.size() > capacity) return ProtoStatus::Error;
    std::copy(text.begin(), text.end(), buffer);
    length = static_cast<uint32_t>(text.size());
    if (record_->overReportLength) length = capacity + 1;
    return ProtoStatus::Built;
  }

  // The line received so far in this exchange, without its end.
  uint8_t Collect(const uint8_t* data, uint32_t length, std::string& frame) {
    {
      std::lock_guard lock(record_->mutex);
      if (record_->passes.empty()) record_->passes.push_back(0);
      ++record_->passes.back();
    }
    sink_.append(reinterpret_cast<const char*>(data), length);
    const size_t end = sink_.find('\n');
    if (end == std::string::npos) return ProtoStatus::MoreData;
    frame = sink_.substr(0, end);
    return ProtoStatus::Complete;
  }

  std::shared_ptr<CodecRecord> record_;
  std::string sink_;
};

}  // namespace NsOvrin::NsTermination::Testing
