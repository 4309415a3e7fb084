#include "project_persistence/ChannelsFile.h"

#include <any>
#include <memory>

#include "QlDev/DeviceCatalog.h"
#include "common/JsonUtility.h"
#include "platform/Format.h"
#include "termination/Channel.h"
#include "termination/ChannelManager.h"
#include "termination/DevDefine.h"
#include "termination/DevSetup.h"

namespace NsOvrin {
namespace {

using NsDevDefine::ENetDevParam;
using NsDevDefine::RsDevParam;
using NsTermination::Channel;
using NsTermination::ChannelEthernet;
using NsTermination::ChannelManager;
using NsTermination::ChannelSerialPort;

constexpr const char* kTypeSerialName = "sr";
constexpr const char* kTypeEthernetName = "ethnet";

// The keys both kinds of device share. Without a known model the rest is not
// read: such a device is refused anyway.
template <typename Param>
void ReadNodeParams(const rapidjson::Value& object, Param& param) {
  std::string devId;
  ReadStringMember(object, "devId", devId);
  param.deviceId = NsTermination::FindProtocolIndex(devId);
  if (param.deviceId == NsTermination::kModelNone) return;
  ReadStringMember(object, "name", param.name);
  uint32_t value = 0;
  if (ReadUnsignedMember(object, "station-NO", value)) param.stationNo = static_cast<uint8_t>(value);
  if (ReadUnsignedMember(object, "resend-times", value))
    param.resendTimes = static_cast<uint16_t>(value);
}

// Whether the device was created. A refused one is dropped and the next one
// read all the same.
bool ReadSerialNode(const Channel& channel, const rapidjson::Value& object) {
  RsDevParam param;
  ReadNodeParams(object, param);
  return NsTermination::AddRsDev(channel.GetHandle(), param);
}

bool ReadEthernetNode(const Channel& channel, const rapidjson::Value& object) {
  ENetDevParam param;
  ReadNodeParams(object, param);
  ReadIPv4Member(object, "ip-address", param.ipAddr);
  ReadUnsignedMember(object, "ip-port", param.port);
  ReadUnsignedMember(object, "conn-timeout", param.connTimeout);
  ReadUnsignedMember(object, "recv-timeout", param.recvTimeout);
  return NsTermination::AddENetDev(channel.GetHandle(), param);
}

// How the notes call the channel at index (from 0) of the file.
std::string ChannelLabel(const rapidjson::Value& object, std::size_t index) {
  std::string name;
  ReadStringMember(object, "name", name);
  return name.empty() ? NsPlatform::StrFormat("第%zu个通道", index + 1) : name;
}

// The channel joins the manager before its devices are read, and stays
// there when they cannot be.
template <typename ReadNode>
bool ReadChannelNodes(const std::shared_ptr<Channel>& channel, const rapidjson::Value& object,
                      std::size_t index, ReadNode readNode, std::vector<std::string>* unreadDevices) {
  std::string description;
  ReadStringMember(object, "description", description);
  channel->SetDescription(description);
  ChannelManager::Instance().AddChannel(channel);

  const rapidjson::Value* nodes = FindJsonMember(object, "nodes");
  if (nodes == nullptr) return false;
  unsigned number = 0;
  return ForEachJsonObject(*nodes, [&](const rapidjson::Value& node) {
    ++number;
    if (readNode(*channel, node) || unreadDevices == nullptr) return;
    // Named as the file names it, even where the model is not known.
    std::string name;
    ReadStringMember(node, "name", name);
    std::string label =
        NsPlatform::StrFormat("%s的第%u个设备", ChannelLabel(object, index).c_str(), number);
    if (!name.empty()) label += "(" + name + ")";
    unreadDevices->push_back(std::move(label));
  });
}

bool ReadSerialChannel(const rapidjson::Value& object, std::size_t index,
                       std::vector<std::string>* unreadDevices) {
  std::string name;
  std::string parameters;
  ReadStringMember(object, "name", name);
  ReadStringMember(object, "parameters", parameters);
  return ReadChannelNodes(std::make_shared<ChannelSerialPort>(name, parameters), object, index,
                          ReadSerialNode, unreadDevices);
}

bool ReadEthernetChannel(const rapidjson::Value& object, std::size_t index,
                         std::vector<std::string>* unreadDevices) {
  std::string name;
  ReadStringMember(object, "name", name);
  return ReadChannelNodes(std::make_shared<ChannelEthernet>(name), object, index, ReadEthernetNode,
                          unreadDevices);
}

bool IsKnownChannelType(const rapidjson::Value& object) {
  std::string type;
  ReadStringMember(object, "type", type);
  return type == kTypeSerialName || type == kTypeEthernetName;
}

// False ends the reading of the file.
bool ReadChannelEntry(const rapidjson::Value& object, std::size_t index,
                      std::vector<std::string>* unreadDevices) {
  std::string type;
  ReadStringMember(object, "type", type);
  if (type == kTypeSerialName) return ReadSerialChannel(object, index, unreadDevices);
  if (type == kTypeEthernetName) return ReadEthernetChannel(object, index, unreadDevices);
  return false;
}

// "<channel>(<device>, ...)" with the device names the channel's "nodes"
// give.
std::string DescribeUnreadChannel(const rapidjson::Value& object, std::size_t index) {
  std::string devices;
  if (const rapidjson::Value* nodes = FindJsonMember(object, "nodes")) {
    ForEachJsonObject(*nodes, [&](const rapidjson::Value& node) {
      std::string name;
      ReadStringMember(node, "name", name);
      if (name.empty()) return;
      if (!devices.empty()) devices += ", ";
      devices += name;
    });
  }
  std::string label = ChannelLabel(object, index);
  if (!devices.empty()) label += "(" + devices + ")";
  return label;
}

template <typename Param>
void WriteNodeParams(JsonWriter& writer, const Param& param) {
  writer.Key("devId");
  WriteUtf8String(writer, NsTermination::GetProtocolId(
                              static_cast<NsTermination::DeviceModelId>(param.deviceId)));
  writer.Key("name");
  WriteUtf8String(writer, param.name);
  writer.Key("station-NO");
  writer.Uint(param.stationNo);
  writer.Key("resend-times");
  writer.Uint(param.resendTimes);
}

void WriteEthernetParams(JsonWriter& writer, const ENetDevParam& param) {
  WriteNodeParams(writer, param);
  WriteIPv4Member(writer, "ip-address", param.ipAddr);
  writer.Key("ip-port");
  writer.Uint(param.port);
  writer.Key("conn-timeout");
  writer.Uint(param.connTimeout);
  writer.Key("recv-timeout");
  writer.Uint(param.recvTimeout);
}

// One object per node that keeps parameters of the kind Param; the others
// are left out.
template <typename Param, typename WriteParams>
void WriteNodes(JsonWriter& writer, const Channel& channel, WriteParams writeParams) {
  for (const OneWayWrapper<NsTermination::Node>& handle : channel.GetNodes()) {
    const auto node = handle.Lock();
    if (!node) continue;
    const Param* param = std::any_cast<Param>(&node->GetDeviceParams());
    if (param == nullptr) continue;
    writer.StartObject();
    writeParams(writer, *param);
    writer.EndObject();
  }
}

void WriteSerialNodes(JsonWriter& writer, const Channel& channel) {
  WriteNodes<RsDevParam>(writer, channel, WriteNodeParams<RsDevParam>);
}

void WriteEthernetNodes(JsonWriter& writer, const Channel& channel) {
  WriteNodes<ENetDevParam>(writer, channel, WriteEthernetParams);
}

}  // namespace

bool ReadChannelsFile(const std::string& path, std::vector<std::string>* unreadChannels,
                      std::vector<std::string>* unreadDevices) {
  rapidjson::Document document;
  if (!LoadJsonObjectFile(path, document)) return false;
  const rapidjson::Value* channels = FindJsonMember(document, "channels");
  if (channels == nullptr || !channels->IsArray()) return false;
  const auto list = channels->GetArray();
  for (rapidjson::SizeType i = 0; i < list.Size(); ++i) {
    const rapidjson::Value& object = AsJsonObject(list[i]);
    if (ReadChannelEntry(object, i, unreadDevices)) continue;
    // The reading ends here. A channel of a known type is kept without its
    // devices; every channel after it is left out of the next save.
    if (unreadChannels != nullptr) {
      for (rapidjson::SizeType j = IsKnownChannelType(object) ? i + 1 : i; j < list.Size(); ++j)
        unreadChannels->push_back(DescribeUnreadChannel(AsJsonObject(list[j]), j));
    }
    break;
  }
  return true;
}

bool WriteChannelsFile(const std::string& path) {
  if (path.empty()) return false;
  rapidjson::StringBuffer buffer;
  JsonWriter writer(buffer);
  writer.StartObject();
  writer.Key("channels");
  writer.StartArray();
  for (const std::shared_ptr<Channel>& channel : ChannelManager::Instance().GetChannels()) {
    if (!channel) continue;
    writer.StartObject();
    writer.Key("type");
    WriteUtf8String(writer, NsTermination::GetChannelTypeName(channel->GetType()));
    writer.Key("name");
    WriteUtf8String(writer, channel->GetName());
    writer.Key("description");
    WriteUtf8String(writer, channel->GetDescription());
    writer.Key("parameters");
    WriteUtf8String(writer, channel->GetParamText());
    writer.Key("nodes");
    writer.StartArray();
    if (channel->GetType() == Channel::kTypeSerial)
      WriteSerialNodes(writer, *channel);
    else if (channel->GetType() == Channel::kTypeEthernet)
      WriteEthernetNodes(writer, *channel);
    writer.EndArray();
    writer.EndObject();
  }
  writer.EndArray();
  writer.EndObject();
  return SaveJsonFile(path, buffer);
}

}  // namespace NsOvrin
