#pragma once
// The request/reply codec every node owns. It knows nothing of transports or
// threads: it sizes and builds request frames into a buffer it is given and
// judges received bytes; a valid read reply goes into the task's cache block.
#include <cstdint>

namespace NsOvrin::NsTermination {
struct TermAddr;
class CacheVarBlock;
}  // namespace NsOvrin::NsTermination

namespace NsOvrin::NsProtocol {

// Result codes of the codecs and tasks. Build: 1 built, 2 error.
// Parse: 0 complete, 1 more data needed, 2 error.
namespace ProtoStatus {
constexpr uint8_t Complete = 0;
constexpr uint8_t MoreData = 1;
constexpr uint8_t Built = 1;
constexpr uint8_t Error = 2;
}  // namespace ProtoStatus

class ProtocolBase {
 public:
  using TermAddr = NsTermination::TermAddr;
  using CacheVarBlock = NsTermination::CacheVarBlock;

  virtual ~ProtocolBase() = default;
  // Forgets what was received for the previous request. A codec of a byte
  // stream (TCP) keeps where the stream's frames begin.
  virtual void ResetReceive() = 0;
  // A byte stream begins anew (a new connection): nothing received before
  // belongs to it.
  virtual void ResetStream() { ResetReceive(); }
  // Bytes of a byte stream that came before the request of this exchange,
  // handed over instead of being dropped: none of them is its reply, and a
  // frame cut there would be read from its middle.
  virtual void PassOver(const uint8_t* /*data*/, uint32_t /*length*/) {}
  virtual uint32_t GetReadRequestSize(const TermAddr& addr) = 0;
  virtual uint32_t GetWriteRequestSize(uint32_t dataType, uint16_t count) = 0;
  virtual uint8_t BuildReadRequest(const TermAddr& addr, uint8_t* buffer, uint32_t capacity,
                                   uint32_t& length) = 0;
  virtual uint8_t BuildWriteRequest(const TermAddr& addr, uint32_t dataType, const void* value,
                                    uint8_t* buffer, uint32_t capacity, uint32_t& length) = 0;
  // Right before a built request goes out, each time it does: a codec that
  // numbers its exchanges gives the frame its new number here.
  virtual void BeginExchange(uint8_t* /*request*/, uint32_t /*length*/) {}
  virtual uint8_t ParseReadReply(const uint8_t* data, uint32_t length, const TermAddr& addr,
                                 CacheVarBlock* block) = 0;
  virtual uint8_t ParseWriteReply(const TermAddr& addr, const uint8_t* data, uint32_t length) = 0;
  // Largest unit count one request may carry; transport kind 1 serial, 2 TCP.
  virtual uint16_t GetMaxUnits(uint32_t transportKind, const TermAddr& addr) = 0;
};

}  // namespace NsOvrin::NsProtocol
