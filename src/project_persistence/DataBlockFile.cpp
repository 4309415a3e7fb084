#include "project_persistence/DataBlockFile.h"

#include <memory>
#include <string>
#include <vector>

#include "common/JsonUtility.h"
#include "termination/ChannelManager.h"
#include "termination/Node.h"
#include "termination/Task.h"

namespace NsOvrin {
namespace {

using NsTermination::BlockDescriptor;
using NsTermination::ChannelManager;
using NsTermination::Node;
using NsTermination::TaskReadData;

// Always true: a block whose address does not parse is dropped and the next
// read. One larger than a request of its device's protocol carries is kept
// as stored (the device may refuse to read it) and named in oversized.
bool ReadDataBlock(Node& node, const rapidjson::Value& object,
                   std::vector<std::string>* oversized) {
  std::string name;
  std::string address;
  uint32_t interval = 0;
  bool enable = false;
  ReadStringMember(object, "name", name);
  ReadAddress(object, address);
  ReadUnsignedMember(object, "interval", interval);
  ReadBoolMember(object, "enable", enable);

  BlockDescriptor block;
  const std::shared_ptr<NsTermination::NodeMem>& nodeMem = node.GetNodeMem();
  if (!nodeMem || nodeMem->ParseAddress(address, block.addr) != NsTermination::kAddrOk) return true;
  if (oversized != nullptr && node.CheckBlock(block.addr) == NsTermination::kAddrBadLength)
    oversized->push_back(node.GetName() + "." + node.FormatAddress(block.addr));
  block.interval = static_cast<uint16_t>(interval);
  node.AddReadTask(block, name, enable);
  return true;
}

bool ReadNodeBlocks(const rapidjson::Value& object, std::vector<std::string>* oversized) {
  std::string name;
  ReadStringMember(object, "name", name);
  const OneWayWrapper<Node> handle = ChannelManager::Instance().FindNode(name);
  const auto node = handle.Lock();
  if (!node) return true;

  const rapidjson::Value* blocks = FindJsonMember(object, "acq-data-block-array");
  if (blocks == nullptr) return false;
  return ForEachJsonObject(*blocks, [&](const rapidjson::Value& block) {
    ReadDataBlock(*node, block, oversized);
  });
}

void WriteDataBlock(JsonWriter& writer, const Node& node, const TaskReadData& task) {
  writer.StartObject();
  writer.Key("name");
  WriteUtf8String(writer, task.GetName());
  writer.Key("address");
  WriteUtf8String(writer, node.FormatAddress(task.GetAddr()));
  writer.Key("interval");
  writer.Uint(static_cast<uint16_t>(task.GetInterval()));
  writer.Key("enable");
  writer.Bool(task.IsEnabled());
  writer.EndObject();
}

}  // namespace

bool ReadDataBlocksFile(const std::string& path, std::vector<std::string>* oversized) {
  rapidjson::Document document;
  if (!LoadJsonObjectFile(path, document)) return false;
  const rapidjson::Value* nodes = FindJsonMember(document, "nodes");
  if (nodes == nullptr || !nodes->IsArray()) return false;
  ForEachJsonObject(*nodes,
                    [&](const rapidjson::Value& node) { return ReadNodeBlocks(node, oversized); });
  return true;
}

bool WriteDataBlocksFile(const std::string& path) {
  if (path.empty()) return false;
  rapidjson::StringBuffer buffer;
  JsonWriter writer(buffer);
  writer.StartObject();
  writer.Key("nodes");
  writer.StartArray();
  for (const OneWayWrapper<Node>& handle : ChannelManager::Instance().GetAllNodes()) {
    const auto node = handle.Lock();
    if (!node) continue;
    writer.StartObject();
    writer.Key("name");
    WriteUtf8String(writer, node->GetName());
    writer.Key("acq-data-block-array");
    writer.StartArray();
    for (const std::shared_ptr<TaskReadData>& task : node->GetTasks())
      if (task) WriteDataBlock(writer, *node, *task);
    writer.EndArray();
    writer.EndObject();
  }
  writer.EndArray();
  writer.EndObject();
  return SaveJsonFile(path, buffer);
}

}  // namespace NsOvrin
