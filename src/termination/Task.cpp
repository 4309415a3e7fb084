#include "termination/Task.h"

#include <limits>
#include <utility>

#include "common/Log.h"

namespace NsOvrin::NsTermination {

namespace ProtoStatus = NsProtocol::ProtoStatus;

Task::Task(const TermAddr& addr) : _addr(addr) {}

Task::~Task() = default;

uint8_t Task::GetRequest(ProtocolBase* protocol, const uint8_t*& request, uint32_t& length) {
  request = nullptr;
  length = 0;
  if (protocol == nullptr) {
    OV_LOG(8).AppendText("protocol is null. ");
    return ProtoStatus::Error;
  }
  if (!_built) {
    _built = true;
    _status = ProtoStatus::Error;
    if (!BuildRequest(protocol)) {
      // A failed build stays failed until the task is pointed elsewhere.
      _status = ProtoStatus::Error;
      return ProtoStatus::Error;
    }
  }
  if (_status == ProtoStatus::Built) {
    request = _request.get();
    length = _requestLength;
  }
  return _status;
}

void Task::BeginExchange(ProtocolBase* protocol) {
  if (protocol != nullptr && _built && _status == ProtoStatus::Built) {
    protocol->BeginExchange(_request.get(), _requestLength);
  }
}

void Task::PrepareBuffer(uint32_t size) {
  if (size >= _capacity) {
    _request = std::make_unique<uint8_t[]>(size == 0 ? 1 : size);
    _capacity = size;
    _requestLength = 0;
    _status = 0;
  }
}

bool Task::FinishBuild(uint8_t status) {
  // A codec reporting more bytes than the buffer holds would make the
  // transport read past it.
  if (status == ProtoStatus::Built && _requestLength > _capacity) {
    status = ProtoStatus::Error;
  }
  _status = status;
  return _status == ProtoStatus::Built;
}

TaskReadData::TaskReadData(std::shared_ptr<CacheVarBlock> block, const BlockDescriptor& def,
                           const std::string& name)
    : Task(def.addr), _interval(def.interval), _name(name), _block(std::move(block)) {
  if (_block) _block->SetName(name);
}

void TaskReadData::AddElapsed(uint32_t elapsed) {
  const uint32_t current = _elapsed.load();
  if (current >= _interval.load()) return;
  // The first cycle passes the whole counter value: saturate, never wrap.
  const uint32_t room = std::numeric_limits<uint32_t>::max() - current;
  _elapsed.store(elapsed > room ? std::numeric_limits<uint32_t>::max() : current + elapsed);
}

void TaskReadData::SetName(const std::string& name) {
  _name = name;
  if (_block) _block->SetName(name);
}

void TaskReadData::SetBlock(const TermAddr& addr, std::shared_ptr<CacheVarBlock> block) {
  _addr = addr;
  _block = std::move(block);
  if (_block) _block->SetName(_name);
  ClearBuilt();
}

void TaskReadData::ReleaseSubscriber() {
  uint32_t count = _subscribers.load();
  while (count != 0 && !_subscribers.compare_exchange_weak(count, count - 1)) {
  }
}

bool TaskReadData::BuildRequest(ProtocolBase* protocol) {
  PrepareBuffer(protocol->GetReadRequestSize(_addr));
  _requestLength = 0;
  const uint8_t status =
      protocol->BuildReadRequest(_addr, _request.get(), _capacity, _requestLength);
  return FinishBuild(status);
}

uint8_t TaskReadData::ParseReply(ProtocolBase* protocol, const uint8_t* data, uint32_t length) {
  if (protocol == nullptr) {
    OV_LOG(8).AppendText("protocol is null. ");
    return ProtoStatus::Error;
  }
  return protocol->ParseReadReply(data, length, _addr, _block.get());
}

TaskWriteData::TaskWriteData(const TermAddr& addr, uint32_t dataType)
    : Task(addr), _dataType(dataType) {}

void TaskWriteData::SetValue(const void* value) {
  if (value != _value) {
    _value = value;
    ClearBuilt();
  }
}

bool TaskWriteData::BuildRequest(ProtocolBase* protocol) {
  // Not pointed at a value yet: nothing the codec could write.
  if (_value == nullptr) return false;
  PrepareBuffer(protocol->GetWriteRequestSize(_dataType, _addr.count));
  _requestLength = 0;
  const uint8_t status = protocol->BuildWriteRequest(_addr, _dataType, _value, _request.get(),
                                                     _capacity, _requestLength);
  return FinishBuild(status);
}

uint8_t TaskWriteData::ParseReply(ProtocolBase* protocol, const uint8_t* data, uint32_t length) {
  if (protocol == nullptr) return ProtoStatus::Error;
  return protocol->ParseWriteReply(_addr, data, length);
}

}  // namespace NsOvrin::NsTermination
