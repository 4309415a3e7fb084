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

// A block of the file that is not read, into unread: its device and its
// address as stored, or its name without an address. A block with neither
// holds nothing to name.
void NoteBlock(const std::string& device, const rapidjson::Value& object,
               std::vector<std::string>* unread) {
  if (unread == nullptr) return;
  std::string address;
  ReadAddress(object, address);
  if (!address.empty()) {
    unread->push_back(device + "." + address);
    return;
  }
  std::string name;
  ReadStringMember(object, "name", name);
  if (!name.empty()) unread->push_back(device + "(" + name + ")");
}

// Every block the node object lists, into unread.
void NoteBlocksOf(const rapidjson::Value& nodeObject, std::vector<std::string>* unread) {
  if (unread == nullptr) return;
  std::string device;
  ReadStringMember(nodeObject, "name", device);
  if (const rapidjson::Value* blocks = FindJsonMember(nodeObject, "acq-data-block-array")) {
    ForEachJsonObject(*blocks, [&](const rapidjson::Value& block) { NoteBlock(device, block, unread); });
  }
}

// Always true: a block whose address does not parse is dropped (and noted
// in unread) and the next read. One larger than a request of its device's
// protocol carries is kept as stored (the device may refuse to read it) and
// named in oversized.
bool ReadDataBlock(Node& node, const rapidjson::Value& object, std::vector<std::string>* oversized,
                   std::vector<std::string>* unread) {
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
  if (!nodeMem || nodeMem->ParseAddress(address, block.addr) != NsTermination::kAddrOk) {
    NoteBlock(node.GetName(), object, unread);
    return true;
  }
  if (oversized != nullptr && node.CheckBlock(block.addr) == NsTermination::kAddrBadLength)
    oversized->push_back(node.GetName() + "." + node.FormatAddress(block.addr));
  block.interval = static_cast<uint16_t>(interval);
  node.AddReadTask(block, name, enable);
  return true;
}

// False ends the reading of the file.
bool ReadNodeBlocks(const rapidjson::Value& object, std::vector<std::string>* oversized,
                    std::vector<std::string>* unread) {
  std::string name;
  ReadStringMember(object, "name", name);
  const OneWayWrapper<Node> handle = ChannelManager::Instance().FindNode(name);
  const auto node = handle.Lock();
  if (!node) {
    NoteBlocksOf(object, unread);
    return true;
  }

  const rapidjson::Value* blocks = FindJsonMember(object, "acq-data-block-array");
  if (blocks == nullptr) return false;
  return ForEachJsonObject(*blocks, [&](const rapidjson::Value& block) {
    ReadDataBlock(*node, block, oversized, unread);
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

bool ReadDataBlocksFile(const std::string& path, std::vector<std::string>* oversized,
                        std::vector<std::string>* unread) {
  rapidjson::Document document;
  if (!LoadJsonObjectFile(path, document)) return false;
  const rapidjson::Value* nodes = FindJsonMember(document, "nodes");
  if (nodes == nullptr || !nodes->IsArray()) return false;
  const auto list = nodes->GetArray();
  for (rapidjson::SizeType i = 0; i < list.Size(); ++i) {
    if (ReadNodeBlocks(AsJsonObject(list[i]), oversized, unread)) continue;
    // The reading ends here: the blocks of every later node object are left
    // out of the next save.
    for (rapidjson::SizeType j = i + 1; j < list.Size(); ++j)
      NoteBlocksOf(AsJsonObject(list[j]), unread);
    break;
  }
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
