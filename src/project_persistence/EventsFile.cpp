#include "project_persistence/EventsFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>

#include "common/JsonUtility.h"
#include "common/PathUtil.h"
#include "events/QlBitVarEvent.h"
#include "events/QlIntVarEvent.h"
#include "platform/Format.h"

namespace NsOvrin {
namespace {

using NsQlEvent::QlBitVarEvent;
using NsQlEvent::QlIntVarEvent;
using NsQlEvent::QlVarEventBase;

// Nothing there (a dangling link included) or a folder: the project has no
// events. A file that exists but cannot be read is an error.
bool IsAbsentFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return errno == ENOENT || errno == ENOTDIR;
  return S_ISDIR(st.st_mode);
}

// The member name of the object when it is an array.
bool FindArrayMember(const rapidjson::Value& object, const std::string& name,
                     const rapidjson::Value*& array) {
  if (!object.IsObject()) return false;
  const auto it = object.FindMember(
      rapidjson::Value(rapidjson::StringRef(name.data(), name.size())));
  if (it == object.MemberEnd() || !it->value.IsArray()) return false;
  array = &it->value;
  return true;
}

// Only a trigger the event has is read; a missing or mistyped list leaves
// the trigger's lines empty.
void ReadTriggerList(QlVarEventBase& event, std::size_t index, const rapidjson::Value& item) {
  if (index >= event.GetTriggerCount()) return;
  const rapidjson::Value* lines = nullptr;
  if (!FindArrayMember(item, event.GetTriggerName(index), lines)) return;
  ReadNonEmptyStringList(*lines, event.GetFunctionTexts(index));
}

// The non-empty instruction lines an "event-list" holds, under any key of
// any item: the most the reading can give.
std::size_t StoredLineCount(const rapidjson::Value& triggers) {
  std::size_t count = 0;
  ForEachJsonObject(triggers, [&](const rapidjson::Value& item) {
    for (const auto& member : item.GetObject()) {
      if (!member.value.IsArray()) continue;
      for (const rapidjson::Value& line : member.value.GetArray())
        if (line.IsString() && !Utf8ToCString(line.GetString(), line.GetStringLength()).empty()) ++count;
    }
  });
  return count;
}

std::size_t ReadLineCount(const QlVarEventBase& event) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < event.GetTriggerCount(); ++i)
    count += event.GetFunctionTextsConst(i).size();
  return count;
}

enum class EventRead {
  kRead,
  kPartly,   // read without some of its lines
  kSkipped,  // not read; the reading goes on
  kEnd,      // not read; the reading ends
};

EventRead ReadVarEvent(const rapidjson::Value& object, VarEventList& events) {
  std::string address;
  ReadAddress(object, address);
  uint32_t type = NsQlEvent::kBitEvent;
  ReadUnsignedMember(object, "var-event-type", type);
  std::shared_ptr<QlVarEventBase> event;
  switch (static_cast<uint16_t>(type)) {
    case NsQlEvent::kBitEvent: event = std::make_shared<QlBitVarEvent>(address); break;
    case NsQlEvent::kIntEvent:
      // Older files hold integer events with an empty address: nothing to
      // watch, skipped as they always were.
      if (address.empty()) return EventRead::kSkipped;
      event = std::make_shared<QlIntVarEvent>(address);
      break;
    default: return EventRead::kSkipped;
  }
  const rapidjson::Value* triggers = FindJsonMember(object, "event-list");
  if (triggers == nullptr || !triggers->IsArray()) return EventRead::kEnd;
  std::size_t index = 0;
  ForEachJsonObject(*triggers, [&](const rapidjson::Value& item) {
    ReadTriggerList(*event, index++, item);
  });
  // Lines under a key the trigger does not have, past a value that is no
  // text, or in an item past the triggers are not read.
  const bool partly = ReadLineCount(*event) < StoredLineCount(*triggers);
  events.push_back(std::move(event));
  return partly ? EventRead::kPartly : EventRead::kRead;
}

// "第<n>个(<address>)" for the entry at index (from 0) of the file.
std::string DescribeEvent(const rapidjson::Value& object, std::size_t index) {
  std::string address;
  ReadAddress(object, address);
  std::string label = NsPlatform::StrFormat("第%zu个", index + 1);
  if (!address.empty()) label += "(" + address + ")";
  return label;
}

void WriteVarEvent(JsonWriter& writer, const QlVarEventBase& event) {
  writer.StartObject();
  writer.Key("address");
  WriteUtf8String(writer, event.GetAddress());
  writer.Key("var-event-type");
  writer.Uint(event.GetEventType());
  writer.Key("event-list");
  writer.StartArray();
  for (std::size_t i = 0; i < event.GetTriggerCount(); ++i) {
    const std::string name = event.GetTriggerName(i);
    writer.StartObject();
    writer.Key(name.data(), static_cast<rapidjson::SizeType>(name.size()));
    writer.StartArray();
    for (const std::string& line : event.GetFunctionTextsConst(i)) WriteUtf8String(writer, line);
    writer.EndArray();
    writer.EndObject();
  }
  writer.EndArray();
  writer.EndObject();
}

}  // namespace

bool WriteEventsFile(const std::string& path, const VarEventList& events) {
  if (path.empty()) return false;
  rapidjson::StringBuffer buffer;
  JsonWriter writer(buffer);
  writer.StartObject();
  writer.Key("var-list");
  writer.StartArray();
  for (const auto& event : events)
    if (event) WriteVarEvent(writer, *event);
  writer.EndArray();
  writer.EndObject();
  return SaveJsonFile(path, buffer);
}

bool ReadEventsFile(const std::string& path, VarEventList& events, std::vector<std::string>* unread) {
  if (path.empty()) return false;
  if (IsAbsentFile(path)) return true;
  rapidjson::Document document;
  if (!LoadJsonObjectFile(path, document)) return false;
  const rapidjson::Value* list = FindJsonMember(document, "var-list");
  if (list == nullptr || !list->IsArray()) return false;
  const auto entries = list->GetArray();
  for (rapidjson::SizeType i = 0; i < entries.Size(); ++i) {
    const rapidjson::Value& object = AsJsonObject(entries[i]);
    const EventRead read = ReadVarEvent(object, events);
    if (read == EventRead::kEnd) {
      // The reading ends here; the next save keeps none of the rest.
      if (unread != nullptr) {
        for (rapidjson::SizeType j = i; j < entries.Size(); ++j)
          unread->push_back(DescribeEvent(AsJsonObject(entries[j]), j));
      }
      break;
    }
    if (unread == nullptr) continue;
    if (read == EventRead::kSkipped) unread->push_back(DescribeEvent(object, i));
    if (read == EventRead::kPartly) unread->push_back(DescribeEvent(object, i) + "中的部分指令");
  }
  return true;
}

}  // namespace NsOvrin
