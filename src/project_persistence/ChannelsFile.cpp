#include "project_persistence/ChannelsFile.h"

#include <any>
#include <memory>

#include "QlDev/DeviceCatalog.h"
#include "common/JsonUtility.h"
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

// A refused device is dropped and the next one read.
bool ReadSerialNode(const Channel& channel, const rapidjson::Value& object) {
  RsDevParam param;
  ReadNodeParams(object, param);
  NsTermination::AddRsDev(channel.GetHandle(), param);
  return true;
}

bool ReadEthernetNode(const Channel& channel, const rapidjson::Value& object) {
  ENetDevParam param;
  ReadNodeParams(object, param);
  ReadIPv4Member(object, "ip-address", param.ipAddr);
  ReadUnsignedMember(object, "ip-port", param.port);
  ReadUnsignedMember(object, "conn-timeout", param.connTimeout);
  ReadUnsignedMember(object, "recv-timeout", param.recvTimeout);
  NsTermination::AddENetDev(channel.GetHandle(), param);
  return true;
}

// The channel joins the manager before its devices are read, and stays
// there when they cannot be.
template <typename ReadNode>
bool ReadChannelNodes(const std::shared_ptr<Channel>& channel, const rapidjson::Value& object,
                      ReadNode readNode) {
  std::string description;
  ReadStringMember(object, "description", description);
  channel->SetDescription(description);
  ChannelManager::Instance().AddChannel(channel);

  const rapidjson::Value* nodes = FindJsonMember(object, "nodes");
  if (nodes == nullptr) return false;
  return ForEachJsonObject(*nodes, [&](const rapidjson::Value& node) { readNode(*channel, node); });
}

bool ReadSerialChannel(const rapidjson::Value& object) {
  std::string name;
  std::string parameters;
  ReadStringMember(object, "name", name);
  ReadStringMember(object, "parameters", parameters);
  return ReadChannelNodes(std::make_shared<ChannelSerialPort>(name, parameters), object,
                          ReadSerialNode);
}

bool ReadEthernetChannel(const rapidjson::Value& object) {
  std::string name;
  ReadStringMember(object, "name", name);
  return ReadChannelNodes(std::make_shared<ChannelEthernet>(name), object, ReadEthernetNode);
}

bool ReadChannelEntry(const rapidjson::Value& object) {
  std::string type;
  ReadStringMember(object, "type", type);
  if (type == kTypeSerialName) return ReadSerialChannel(object);
  if (type == kTypeEthernetName) return ReadEthernetChannel(object);
  return false;
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

bool ReadChannelsFile(const std::string& path) {
  rapidjson::Document document;
  if (!LoadJsonObjectFile(path, document)) return false;
  const rapidjson::Value* channels = FindJsonMember(document, "channels");
  if (channels == nullptr || !channels->IsArray()) return false;
  ForEachJsonObject(*channels, ReadChannelEntry);
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
