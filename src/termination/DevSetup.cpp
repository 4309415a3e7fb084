#include "termination/DevSetup.h"

#include <utility>

#include "common/Log.h"
#include "common/UiValidation.h"
#include "termination/AddrBinder.h"
#include "termination/ChannelManager.h"
#include "termination/NodeFactory.h"

namespace NsOvrin::NsTermination {
namespace {

constexpr const char* kExpectEthernet = "期望是以太网通道.";
constexpr const char* kExpectSerial = "期望是串口通道.";

std::shared_ptr<Node> MakeENetNode(const NsDevDefine::ENetDevParam& param) {
  switch (param.deviceId) {
    case kModelModbusTcp:
      return NodeFactory::MakeModbusTcpNode(param);
    case kModelH5u:
      return NodeFactory::MakeH3uTcpNode(param);
    default:
      return nullptr;
  }
}

// The steps shared by both kinds once the node is built.
template <typename Param>
bool AddDevice(const OneWayWrapper<Channel>& channel, const Param& param, uint32_t channelType,
               const char* wrongTypeMessage, std::shared_ptr<Node> (*make)(const Param&)) {
  if (param.name.empty()) return false;
  const auto target = channel.Lock();
  if (!target) return false;
  if (target->GetType() != channelType) {
    OV_LOG(8).AppendText(wrongTypeMessage);
    return false;
  }
  std::shared_ptr<Node> node = make(param);
  if (!node) return false;
  node->SetDeviceParams(param);
  if (ChannelManager::Instance().HasNode(node->GetName())) return false;
  return target->AddNode(node);
}

// A new node must not be given a transport of the other kind.
bool IsChannelOfType(const OneWayWrapper<Channel>& channel, uint32_t channelType,
                     const char* wrongTypeMessage) {
  const auto target = channel.Lock();
  if (!target) return false;
  if (target->GetType() == channelType) return true;
  OV_LOG(8).AppendText(wrongTypeMessage);
  return false;
}

}  // namespace

bool AddENetDev(const OneWayWrapper<Channel>& channel, const NsDevDefine::ENetDevParam& param) {
  return AddDevice(channel, param, Channel::kTypeEthernet, kExpectEthernet, &MakeENetNode);
}

bool AddRsDev(const OneWayWrapper<Channel>& channel, const NsDevDefine::RsDevParam& param) {
  return AddDevice(channel, param, Channel::kTypeSerial, kExpectSerial, &NodeFactory::MakeSerialNode);
}

bool ModifyENetDev(const OneWayWrapper<Channel>& channel, const OneWayWrapper<Node>& oldNode,
                   const NsDevDefine::ENetDevParam& param, std::shared_ptr<Node>& newNode) {
  newNode.reset();
  if (!channel.IsValid() || !oldNode.IsValid() || param.name.empty()) return false;
  if (!IsChannelOfType(channel, Channel::kTypeEthernet, kExpectEthernet)) return false;
  newNode = MakeENetNode(param);
  if (!newNode) return false;
  newNode->SetDeviceParams(param);
  return ChannelManager::Instance().ReplaceNode(channel, oldNode, newNode);
}

bool ModifyRsDev(const OneWayWrapper<Channel>& channel, const OneWayWrapper<Node>& oldNode,
                 const NsDevDefine::RsDevParam& param) {
  if (!channel.IsValid() || !oldNode.IsValid() || param.name.empty()) return false;
  if (!IsChannelOfType(channel, Channel::kTypeSerial, kExpectSerial)) return false;
  std::shared_ptr<Node> node = NodeFactory::MakeSerialNode(param);
  if (!node) return false;
  node->SetDeviceParams(param);
  // The channel gives the new node its shared serial device as it takes its
  // place.
  return ChannelManager::Instance().ReplaceNode(channel, oldNode, std::move(node));
}

bool CheckDeviceName(int mode, const std::string& oldName, std::string& newName,
                     std::string& message) {
  TrimBlanks(newName);
  UiRule rule("设备名称");
  rule.AddSegment(new NsUiRule::UiRuleSegRequired());
  if (!rule.Check(newName, message)) return false;
  // Address texts split at the first dot: no address could name the device.
  if (newName.find('.') != std::string::npos) {
    message = "设备名称不能包含\".\".";
    return false;
  }
  const ChannelManager& manager = ChannelManager::Instance();
  if (mode == kDeviceNameNew) {
    if (manager.HasNode(newName)) {
      message = "设备名称已经存在.";
      return false;
    }
  } else if (mode == kDeviceNameRename) {
    if (!manager.CanRenameNode(oldName, newName)) {
      message = "新名称已经存在.";
      return false;
    }
  }
  return true;
}

bool CheckStationNo(const std::string& text, std::string& message) {
  UiRule rule("站号");
  rule.AddSegment(new NsUiRule::UiRuleSegRequired())
      .AddSegment(new NsUiRule::UiRuleSegUIntRange(1, 254, NsUiRule::kBoundBoth));
  return rule.Check(text, message);
}

}  // namespace NsOvrin::NsTermination
