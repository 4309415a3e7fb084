#include "project_persistence/EventsFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>

#include "common/JsonUtility.h"
#include "events/QlBitVarEvent.h"
#include "events/QlIntVarEvent.h"

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

// False ends the reading of the file.
bool ReadVarEvent(const rapidjson::Value& object, VarEventList& events) {
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
      if (address.empty()) return true;
      event = std::make_shared<QlIntVarEvent>(address);
      break;
    default: return true;
  }
  const rapidjson::Value* triggers = FindJsonMember(object, "event-list");
  if (triggers == nullptr || !triggers->IsArray()) return false;
  std::size_t index = 0;
  ForEachJsonObject(*triggers, [&](const rapidjson::Value& item) {
    ReadTriggerList(*event, index++, item);
  });
  events.push_back(std::move(event));
  return true;
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

bool ReadEventsFile(const std::string& path, VarEventList& events) {
  if (path.empty()) return false;
  if (IsAbsentFile(path)) return true;
  rapidjson::Document document;
  if (!LoadJsonObjectFile(path, document)) return false;
  const rapidjson::Value* list = FindJsonMember(document, "var-list");
  if (list == nullptr || !list->IsArray()) return false;
  ForEachJsonObject(*list,
                    [&](const rapidjson::Value& object) { return ReadVarEvent(object, events); });
  return true;
}

}  // namespace NsOvrin
