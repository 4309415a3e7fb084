#include "termination/AddrBinder.h"

#include "QlDev/DeviceAddress.h"
#include "termination/ChannelManager.h"

namespace NsOvrin::NsTermination {
namespace {

constexpr const char* kBlanks = " \t\r\n\v\f";

// count: null keeps the parsed count; otherwise the run to subscribe.
bool Bind(std::string& text, const uint16_t* count, const AddrBinder& binder) {
  ReleaseBinding(binder);
  TrimBlanks(text);
  if (text.empty()) return false;

  std::string nodeName;
  std::string address;
  if (!SplitDeviceAddress(text, nodeName, address)) return false;

  TermAddr scratchAddr;
  TermAddr& addr = binder.addr ? *binder.addr : scratchAddr;

  // Bindings are made on the thread that owns the node lists: the node
  // cannot go away meanwhile, and a handle is taken only for a caller that
  // keeps one.
  Node* const node = ChannelManager::Instance().FindListedNode(nodeName);
  if (node == nullptr) return false;
  if (binder.node) *binder.node = node->GetHandle();
  const std::shared_ptr<NodeMem>& mem = node->GetNodeMem();
  if (!mem) return false;
  TermAddr parsed;
  if (mem->ParseAddress(address, parsed) != kAddrOk) return false;
  addr = parsed;
  text = JoinDeviceAddress(node->GetName(), node->FormatAddress(addr));
  if (count) addr.count = *count != 0 ? *count : 1;

  if (!binder.task) return true;
  if (!binder.offset) return false;
  std::shared_ptr<TaskReadData> task =
      node->FindTaskForAddress(addr, static_cast<DataTypeFlag>(binder.dataType), binder.offset);
  if (task) task->AddSubscriber();
  *binder.task = std::move(task);
  return *binder.task != nullptr;
}

}  // namespace

void TrimBlanks(std::string& text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string::npos) {
    text.clear();
    return;
  }
  const std::size_t last = text.find_last_not_of(kBlanks);
  // In place: most texts have no blanks to drop.
  text.erase(last + 1);
  text.erase(0, first);
}

bool BindAddress(std::string& text, const AddrBinder& binder) { return Bind(text, nullptr, binder); }

bool BindAddressWithCount(std::string& text, uint16_t count, const AddrBinder& binder) {
  return Bind(text, &count, binder);
}

bool LookupAddressArea(std::string& text, MemArea& area) {
  std::string nodeName;
  std::string address;
  if (!SplitDeviceAddress(text, nodeName, address)) return false;
  TrimBlanks(text);
  if (text.empty()) return false;

  const OneWayWrapper<Node> handle = ChannelManager::Instance().FindNode(nodeName);
  const auto node = handle.Lock();
  if (!node || !node->GetNodeMem()) return false;
  MemArea found;
  if (node->GetNodeMem()->FindArea(address, found) != kAddrOk) return false;
  area = found;
  return true;
}

void ReleaseReadTaskRef(std::shared_ptr<TaskReadData>& task) {
  if (!task) return;
  task->ReleaseSubscriber();
  task.reset();
}

void ReleaseBinding(const AddrBinder& binder) {
  if (binder.task) ReleaseReadTaskRef(*binder.task);
  if (binder.offset) *binder.offset = 0;
  if (binder.node) binder.node->Reset();
  if (binder.addr) *binder.addr = TermAddr{};
}

}  // namespace NsOvrin::NsTermination
