#include "project_persistence/AlarmConfigFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <vector>

#include "alarm/AlarmManager.h"
#include "alarm/AlarmSeg.h"
#include "alarm/AlarmSegCvb.h"
#include "common/JsonUtility.h"
#include "common/Log.h"
#include "platform/Format.h"

namespace NsOvrin {
namespace {

using NsAlarm::AlarmManager;
using NsPlatform::StrFormat;
using NsAlarm::AlarmSeg;
using NsAlarm::AlarmSegCvb;

// Nothing there (a dangling link included) or a folder: the project has no
// alarm configuration. A file that exists but cannot be read is an error.
bool IsAbsentFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return errno == ENOENT || errno == ENOTDIR;
  return S_ISDIR(st.st_mode);
}

uint32_t HistoryCapacity(const AlarmManager& manager) {
  std::shared_lock lock(manager.GetHistoryLock());
  return manager.GetHistory().Capacity();
}

void ReadHistoryCapacity(const rapidjson::Value& top) {
  uint32_t value = 0;
  if (!ReadUnsignedMember(top, "max-number-of-alarm-hist", value)) return;
  const auto capacity = static_cast<uint16_t>(value);
  AlarmManager& manager = AlarmManager::Instance();
  // Resizing empties the ring: the same size again must not throw away the
  // alarm history every time a project is opened.
  if (HistoryCapacity(manager) != capacity) manager.SetMaxHistCount(capacity);
}

// False ends the reading of the file. Messages past the most a group can
// number are left out, and the group noted in unread.
bool ReadAlarmGroup(const rapidjson::Value& object, std::size_t index,
                    std::vector<std::string>* unread) {
  std::string address;
  ReadAddress(object, address);
  const rapidjson::Value* list = FindJsonMember(object, "message-list");
  if (list == nullptr || !list->IsArray()) return false;
  std::vector<std::string> messages;
  ReadStringList(*list, messages);

  // A group without messages is kept too: the editor itself makes such
  // groups, and the user would lose its address at the next save.
  auto segment = std::make_shared<AlarmSegCvb>();
  segment->SetAddress(address);
  // Every message the bits can number is kept, whatever the data block holds
  // today: the user may grow the block again, and the error check reports a
  // group that does not fit it.
  constexpr std::size_t most = AlarmSegCvb::kMaxBits;
  if (messages.size() > most) {
    OV_LOG(4).AppendText(StrFormat("Alarm group %s: %zu messages left out, the group holds %zu.",
                                   address.c_str(), messages.size() - most, most));
    if (unread != nullptr)
      unread->push_back(StrFormat("第%zu组(%s)中超出%zu条的消息", index + 1, address.c_str(), most));
    messages.resize(most);
  }
  // An address that does not resolve leaves the group unbound, not dropped.
  segment->BindAddress();
  segment->SetMessages(messages);
  AlarmManager::Instance().AddSeg(segment);
  return true;
}

void WriteAlarmGroup(JsonWriter& writer, const AlarmSeg& segment) {
  const auto* bound = dynamic_cast<const AlarmSegCvb*>(&segment);
  writer.StartObject();
  writer.Key("address");
  WriteUtf8String(writer, bound != nullptr ? bound->GetAddress() : std::string());
  writer.Key("message-list");
  writer.StartArray();
  {
    std::shared_lock lock(segment.GetLock());
    for (const NsAlarm::AlarmBit& bit : segment.GetBits()) WriteUtf8String(writer, bit.message);
  }
  writer.EndArray();
  writer.EndObject();
}

}  // namespace

bool ReadAlarmConfigFile(const std::string& path, std::vector<std::string>* unreadGroups) {
  if (path.empty()) return false;
  if (IsAbsentFile(path)) return true;
  rapidjson::Document document;
  if (!LoadJsonObjectFile(path, document)) return false;
  ReadHistoryCapacity(document);
  const rapidjson::Value* groups = FindJsonMember(document, "alarm-list");
  if (groups == nullptr || !groups->IsArray()) return false;
  const auto list = groups->GetArray();
  for (rapidjson::SizeType i = 0; i < list.Size(); ++i) {
    if (ReadAlarmGroup(AsJsonObject(list[i]), i, unreadGroups)) continue;
    // The reading ends here; the next save would drop this group and every
    // later one, so the caller may tell the user which they are.
    if (unreadGroups != nullptr) {
      for (rapidjson::SizeType j = i; j < list.Size(); ++j) {
        std::string address;
        ReadAddress(AsJsonObject(list[j]), address);
        unreadGroups->push_back(StrFormat("第%u组(%s)", static_cast<unsigned>(j + 1), address.c_str()));
      }
    }
    break;
  }
  return true;
}

bool WriteAlarmConfigFile(const std::string& path) {
  if (path.empty()) return false;
  AlarmManager& manager = AlarmManager::Instance();
  rapidjson::StringBuffer buffer;
  JsonWriter writer(buffer);
  writer.StartObject();
  writer.Key("max-number-of-alarm-hist");
  writer.Uint(HistoryCapacity(manager));
  writer.Key("alarm-list");
  writer.StartArray();
  for (const std::shared_ptr<AlarmSeg>& segment : manager.GetSegments())
    if (segment) WriteAlarmGroup(writer, *segment);
  writer.EndArray();
  writer.EndObject();
  return SaveJsonFile(path, buffer);
}

}  // namespace NsOvrin
