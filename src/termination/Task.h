#pragma once
// One kind of request a node exchanges with its PLC. A read task polls one
// data block into its cache block at a fixed interval; a write task writes
// one value once on the writer's thread. Both cache the request bytes the
// node's protocol built for them.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "protocol/ProtocolBase.h"
#include "term_data/CacheVarBlock.h"
#include "term_data/TermAddr.h"

namespace NsOvrin::NsTermination {

using NsProtocol::ProtocolBase;

// A data block as the data-block file and editor hold it: its address and
// its polling interval in milliseconds.
struct BlockDescriptor {
  TermAddr addr;
  uint16_t interval = 1000;
};

class Task {
 public:
  explicit Task(const TermAddr& addr);
  Task(const Task&) = delete;
  Task& operator=(const Task&) = delete;

  // 0 complete, 1 more data needed, 2 error (ProtoStatus).
  virtual uint8_t ParseReply(ProtocolBase* protocol, const uint8_t* data, uint32_t length) = 0;
  // Restarts the polling interval; the node calls it after every execution.
  virtual void ResetElapsed() = 0;
  virtual ~Task();

  // The request, built on the first call and reused afterwards: the build
  // status (1 built, 2 error) with the bytes and their length (null and 0
  // unless built).
  uint8_t GetRequest(ProtocolBase* protocol, const uint8_t*& request, uint32_t& length);
  // Right before the built request is sent: the codec may renumber it.
  void BeginExchange(ProtocolBase* protocol);

  const TermAddr& GetAddr() const { return _addr; }
  bool IsBuilt() const { return _built; }

 protected:
  virtual bool BuildRequest(ProtocolBase* protocol) = 0;

  // A buffer of at least size bytes for a new build; status 0 while it fills.
  void PrepareBuffer(uint32_t size);
  // Keeps the codec's status, refusing a length the buffer cannot hold.
  bool FinishBuild(uint8_t status);
  void ClearBuilt() { _built = false; }

  TermAddr _addr;
  std::unique_ptr<uint8_t[]> _request;
  uint32_t _requestLength = 0;
  uint32_t _capacity = 0;
  uint8_t _status = 0;
  bool _built = false;
};

class TaskReadData : public Task {
 public:
  // Descriptor and interval from the block definition; elapsed 0, disabled,
  // no subscriber. The name is given to the cache block as well.
  TaskReadData(std::shared_ptr<CacheVarBlock> block, const BlockDescriptor& def,
               const std::string& name);

  uint8_t ParseReply(ProtocolBase* protocol, const uint8_t* data, uint32_t length) override;
  void ResetElapsed() override { _elapsed.store(0); }

  // The polling thread reads these without the task lock.
  uint32_t GetInterval() const { return _interval.load(); }
  uint32_t GetElapsed() const { return _elapsed.load(); }
  // Adds the cycle's milliseconds while the task is not due yet.
  void AddElapsed(uint32_t elapsed);
  bool IsDue() const { return _elapsed.load() >= _interval.load(); }
  bool IsEnabled() const { return _enable.load() != 0; }
  void SetEnable(bool enable) { _enable.store(enable ? 1 : 0); }

  uint32_t GetSubscriberCount() const { return _subscribers.load(); }
  void AddSubscriber() { _subscribers.fetch_add(1); }
  // Never below 0.
  void ReleaseSubscriber();
  // Enabled and subscribed: the scheduler looks at nothing else.
  bool IsPolled() const { return IsEnabled() && GetSubscriberCount() != 0; }

  const std::string& GetName() const { return _name; }
  const std::shared_ptr<CacheVarBlock>& GetCacheBlock() const { return _block; }

  // Edits of a block while its node may be polling. The interval may
  // change at any time; for the name and the address the caller holds the
  // node's task lock exclusively, so the polling thread is never inside
  // the task meanwhile.
  void SetInterval(uint32_t interval) { _interval.store(interval); }
  // The cache block takes the name as well.
  void SetName(const std::string& name);
  // A new address with the cache block made for it; the next poll builds a
  // new request.
  void SetBlock(const TermAddr& addr, std::shared_ptr<CacheVarBlock> block);

 protected:
  bool BuildRequest(ProtocolBase* protocol) override;

 private:
  std::atomic<uint32_t> _interval;
  std::atomic<uint32_t> _elapsed{0};
  std::string _name;
  std::atomic<uint8_t> _enable{0};
  std::atomic<uint32_t> _subscribers{0};
  std::shared_ptr<CacheVarBlock> _block;
};

class TaskWriteData : public Task {
 public:
  // dataType: 1 bit (one byte, 0 or not 0), 4 a 16-bit value, 16 a 32-bit value.
  TaskWriteData(const TermAddr& addr, uint32_t dataType);

  uint8_t ParseReply(ProtocolBase* protocol, const uint8_t* data, uint32_t length) override;
  void ResetElapsed() override {}

  // Points the task at the caller's value bytes; another pointer makes the
  // next execution build the request again.
  void SetValue(const void* value);
  const void* GetValue() const { return _value; }
  uint32_t GetDataType() const { return _dataType; }

 protected:
  bool BuildRequest(ProtocolBase* protocol) override;

 private:
  const void* _value = nullptr;
  uint32_t _dataType;
};

}  // namespace NsOvrin::NsTermination
