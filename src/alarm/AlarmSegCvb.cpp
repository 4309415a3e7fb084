#include "alarm/AlarmSegCvb.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "common/OneWayWrapper.h"
#include "QlDev/DeviceAddress.h"
#include "termination/AddrBinder.h"
#include "termination/ChannelManager.h"
#include "termination/Node.h"

namespace NsOvrin::NsAlarm {

using NsTermination::AddrBinder;
using NsTermination::CacheVarBlock;
using NsTermination::MemArea;
using NsTermination::Node;
using NsTermination::TermAddr;

namespace {
// ReadBytes takes a 16-bit length.
constexpr std::size_t kMaxBuffer = 0xFFFF;
}  // namespace

void AlarmSegCvb::AlarmListener::OnBlockChanged(CacheVarBlock& block) {
  AlarmSegCvb& seg = _segment;
  // The binding fields change only while the listener is not registered.
  const uint32_t p = seg._addr.kind == NsTermination::kKindBit ? uint32_t{seg._offset}
                                                                 : 8u * seg._offset;
  const std::size_t n = seg.GetCount();
  const std::size_t need = std::min((n + p + 7) / 8 - p / 8, kMaxBuffer);
  if (_buffer.size() < need)
    _buffer.resize(std::min(std::max(need, _buffer.size() / 2 * 3), kMaxBuffer));
  std::fill(_buffer.begin(), _buffer.end(), 0);
  block.ReadBytes(static_cast<uint16_t>(p / 8), _buffer.data(), static_cast<uint16_t>(_buffer.size()));

  std::unique_lock lock(seg.GetLock());
  // The bits may have been resized since they were counted.
  const std::size_t bits = _buffer.size() * 8;
  const std::size_t available = bits > p % 8 ? bits - p % 8 : 0;
  const std::size_t count = std::min({n, seg.GetBits().size(), available, std::size_t{0x10000}});
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t j = p % 8 + i;
    seg.SetBit(static_cast<uint16_t>(i), (_buffer[j / 8] >> (j % 8)) & 1);
  }
}

AlarmSegCvb::AlarmSegCvb() : _listener(std::make_unique<AlarmListener>(*this)) {}

AlarmSegCvb::~AlarmSegCvb() {
  Unbind();
  _listener.reset();
}

void AlarmSegCvb::SetMessages(const std::vector<std::string>& messages) {
  AlarmSeg::SetMessages(messages);
  BindAddress();
}

void AlarmSegCvb::Resize(std::size_t n) {
  AlarmSeg::Resize(n);
  BindAddress();
}

void AlarmSegCvb::Unbind() {
  if (_task) {
    if (const std::shared_ptr<CacheVarBlock>& block = _task->GetCacheBlock())
      block->RemoveListener(_listener.get());
    NsTermination::ReleaseReadTaskRef(_task);
  }
  _rangeText.clear();
  _offset = 0;
  _addr = TermAddr{};
}

bool AlarmSegCvb::BindAddress() {
  Unbind();

  std::size_t n = GetCount();
  if (n == 0) n = 1;
  MemArea area;
  if (!NsTermination::LookupAddressArea(_address, area)) return false;
  // Computed wide: a 16-bit sum would wrap for the largest segments.
  const auto run = static_cast<uint16_t>(
      std::min<std::size_t>(area.kind == NsTermination::kKindWord ? (n + 15) / 16 : n, 0xFFFF));

  OneWayWrapper<Node> node;
  AddrBinder binder;
  binder.node = &node;
  binder.addr = &_addr;
  binder.dataType = NsTermination::kTypeBit;
  binder.task = &_task;
  binder.offset = &_offset;
  if (!NsTermination::BindAddressWithCount(_address, run, binder)) return false;

  if (const auto locked = node.Lock()) _rangeText = locked->FormatAddress(_addr);
  if (const std::shared_ptr<CacheVarBlock>& block = _task->GetCacheBlock())
    block->AddListener(_listener.get());
  return true;
}

std::size_t AlarmSegCvb::GetMaxBits() const {
  std::string text = _address;
  NsTermination::TrimBlanks(text);
  std::string nodeName;
  std::string address;
  if (!NsTermination::SplitDeviceAddress(text, nodeName, address)) return kMaxBits;
  // The handle outlives what its lock gives.
  const OneWayWrapper<Node> handle = NsTermination::ChannelManager::Instance().FindNode(nodeName);
  const auto node = handle.Lock();
  if (!node || !node->GetNodeMem()) return kMaxBits;
  TermAddr start;
  if (node->GetNodeMem()->ParseAddress(address, start) != NsTermination::kAddrOk) return kMaxBits;
  start.count = 1;
  const std::shared_ptr<NsTermination::TaskReadData> task =
      node->FindTaskForAddress(start, NsTermination::kTypeBit, nullptr);
  if (!task) return kMaxBits;
  const TermAddr& block = task->GetAddr();
  const uint32_t skipped = start.LinearPos(start.start) - block.LinearPos(block.start);
  if (skipped >= block.count) return kMaxBits;
  const std::size_t units = block.count - skipped;
  const std::size_t bits = block.kind == NsTermination::kKindWord ? 16 * units : units;
  return std::min(bits, kMaxBits);
}

bool AlarmSegCvb::BindAddress(const std::string& address) {
  _address = address;
  return BindAddress();
}

}  // namespace NsOvrin::NsAlarm
