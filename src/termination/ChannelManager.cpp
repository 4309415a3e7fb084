#include "termination/ChannelManager.h"

#include <algorithm>
#include <utility>

#include "QlDev/DeviceAddress.h"
#include "platform/Format.h"

namespace NsOvrin::NsTermination {

ChannelManager& ChannelManager::Instance() {
  static ChannelManager manager;
  return manager;
}

ChannelManager::~ChannelManager() { Reset(); }

void ChannelManager::Reset() {
  _running = false;
  std::vector<std::shared_ptr<Channel>> channels;
  channels.swap(_channels);
  // Closed before they are let go: a channel someone else still holds must
  // not go on polling.
  for (const std::shared_ptr<Channel>& channel : channels)
    if (channel) channel->Close();
  channels.clear();
}

void ChannelManager::MarkBlocksUnread() const {
  for (const std::shared_ptr<Channel>& channel : _channels) {
    if (!channel) continue;
    for (const std::shared_ptr<Node>& node : channel->GetNodeList()) {
      if (!node) continue;
      for (const std::shared_ptr<TaskReadData>& task : node->GetTasks()) {
        if (!task) continue;
        if (const auto& block = task->GetCacheBlock()) block->MarkUnread();
      }
    }
  }
}

bool ChannelManager::AddChannel(std::shared_ptr<Channel> channel) {
  if (!channel) return false;
  if (std::find(_channels.begin(), _channels.end(), channel) != _channels.end()) return false;
  channel->SetRunningFlag(&_running);
  _channels.push_back(channel);
  if (_running) channel->Open();
  return true;
}

OneWayWrapper<Node> ChannelManager::FindNode(const std::string& name) const {
  const Node* node = FindListedNode(name);
  return node != nullptr ? node->GetHandle() : OneWayWrapper<Node>();
}

Node* ChannelManager::FindListedNode(const std::string& name) const {
  for (const std::shared_ptr<Channel>& channel : _channels) {
    if (!channel) continue;
    if (Node* node = channel->FindListedNode(name)) return node;
  }
  return nullptr;
}

bool ChannelManager::HasNode(const std::string& name) const { return !FindNode(name).IsEmpty(); }

bool ChannelManager::GetSoleNode(OneWayWrapper<Node>& node) const {
  node.Reset();
  const Channel* holder = nullptr;
  std::size_t count = 0;
  for (const std::shared_ptr<Channel>& channel : _channels) {
    if (!channel) continue;
    const std::size_t n = channel->GetNodeList().size();
    if (n != 0) holder = channel.get();
    count += n;
    if (count > 1) return false;
  }
  if (count != 1) return false;
  node = holder->GetNodes().front();
  return true;
}

std::vector<OneWayWrapper<Node>> ChannelManager::GetAllNodes() const {
  std::vector<OneWayWrapper<Node>> nodes;
  for (const std::shared_ptr<Channel>& channel : _channels) {
    if (!channel) continue;
    for (OneWayWrapper<Node>& node : channel->GetNodes()) nodes.push_back(std::move(node));
  }
  return nodes;
}

bool ChannelManager::ReplaceNode(const OneWayWrapper<Channel>& channel,
                                 const OneWayWrapper<Node>& oldNode, std::shared_ptr<Node> newNode) {
  if (!newNode) return false;
  const Node* oldPtr = nullptr;
  std::string oldName;
  {
    // Released before the replacement: the old node's destructor takes its
    // handle's lock exclusively.
    const auto locked = oldNode.Lock();
    if (!locked) return false;
    oldPtr = locked.get();
    oldName = locked->GetName();
  }
  const auto target = channel.Lock();
  if (!target) return false;
  if (newNode->GetName() != oldName && HasNode(newNode->GetName())) return false;
  return target->ReplaceNode(oldPtr, newNode);
}

bool ChannelManager::RemoveNode(const OneWayWrapper<Channel>& channel,
                                const OneWayWrapper<Node>& node) {
  const Node* nodePtr = nullptr;
  {
    const auto locked = node.Lock();
    if (!locked) return false;
    nodePtr = locked.get();
  }
  const auto target = channel.Lock();
  if (!target) return false;
  target->RemoveNode(nodePtr);
  return true;
}

bool ChannelManager::CanRenameNode(const std::string& oldName, const std::string& newName) const {
  if (oldName == newName) return true;
  return HasNode(oldName) && !HasNode(newName);
}

bool ChannelManager::ReportOpenFailures(std::string& text) const {
  bool any = false;
  for (const std::shared_ptr<Channel>& channel : _channels) {
    if (!channel || !channel->IsOpenFailed()) continue;
    if (!channel->GetDescription().empty()) {
      text += NsPlatform::StrFormat("通道 %s (%s) 打开失败.\r\n", channel->GetName().c_str(),
                                    channel->GetDescription().c_str());
    } else {
      text += NsPlatform::StrFormat("通道 %s 打开失败.\r\n", channel->GetName().c_str());
    }
    any = true;
  }
  return any;
}

// ---- node queries ----

// ---- device addresses ----

namespace {

// The node and the parsed address of text. Addresses are resolved on the
// thread that owns the node lists, so the node needs neither a handle nor
// its lock while it is used here. nodeName is written as soon as the node
// is known.
AddrCheckCode ResolveListed(const std::string& text, std::string* nodeName, Node*& found,
                            TermAddr& addr) {
  found = nullptr;
  ChannelManager& manager = ChannelManager::Instance();
  std::string name;
  std::string address;
  Node* node = nullptr;
  if (SplitDeviceAddress(text, name, address)) {
    node = manager.FindListedNode(name);
  } else {
    OneWayWrapper<Node> sole;
    if (!manager.GetSoleNode(sole)) return kAddrFormatError;
    node = sole.GetUnlocked();
    address = text;
  }
  if (node == nullptr) return kAddrNoNode;
  if (nodeName) *nodeName = node->GetName();
  const std::shared_ptr<NodeMem>& mem = node->GetNodeMem();
  if (!mem) return kAddrSystemError;
  const AddrCheckCode code = mem->ParseAddress(address, addr);
  if (code != kAddrOk) return code;
  found = node;
  return kAddrOk;
}

// The block checks shared by both address checks.
AddrCheckCode CheckInBlock(const Node& node, const TermAddr& addr) {
  const AddrCheckCode code = node.CheckBlock(addr);
  if (code != kAddrOk) return code;
  if (!node.IsInDataBlock(addr)) return kAddrNotInBlock;
  return kAddrOk;
}

}  // namespace

AddrCheckCode ResolveDeviceAddress(const std::string& text, std::string* nodeName,
                                   OneWayWrapper<Node>* node, TermAddr* addr) {
  if (node) node->Reset();
  Node* found = nullptr;
  TermAddr parsed;
  const AddrCheckCode code = ResolveListed(text, nodeName, found, parsed);
  if (code != kAddrOk) return code;
  if (addr) *addr = parsed;
  if (node) *node = found->GetHandle();
  return kAddrOk;
}

std::string NormalizeDeviceAddress(const std::string& text) {
  Node* node = nullptr;
  TermAddr addr;
  if (ResolveListed(text, nullptr, node, addr) != kAddrOk) return text;
  return JoinDeviceAddress(node->GetName(), node->FormatAddress(addr));
}

AddrCheckCode CheckDeviceAddress(const std::string& text, bool withBlock) {
  Node* node = nullptr;
  TermAddr addr;
  const AddrCheckCode code = ResolveListed(text, nullptr, node, addr);
  if (code != kAddrOk || !withBlock) return code;
  return CheckInBlock(*node, addr);
}

AddrCheckCode CheckDeviceAddressKind(const std::string& text, uint32_t expectedKind) {
  if (text.empty()) return kAddrEmpty;
  Node* node = nullptr;
  TermAddr addr;
  AddrCheckCode code = ResolveListed(text, nullptr, node, addr);
  if (code != kAddrOk) return code;
  code = CheckInBlock(*node, addr);
  if (code != kAddrOk) return code;
  if (addr.kind != expectedKind) return kAddrTypeMismatch;
  return kAddrOk;
}

}  // namespace NsOvrin::NsTermination
