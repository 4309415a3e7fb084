#include "project_persistence/MainFile.h"

#include <utility>

#include "common/JsonUtility.h"
#include "platform/AtomicFile.h"

namespace NsOvrin {

bool ReadMainFile(const std::string& path, QlProjectData& record) {
  if (path.empty()) return false;
  rapidjson::Document document;
  if (!LoadJsonObjectFile(path, document)) return false;

  uint32_t version = 0;
  if (!ReadUnsignedMember(document, "ver", version) || version > kMainFileVersion) return false;

  // Filled on a copy: a refused file leaves the caller's record as it was.
  QlProjectData read = record;
  ReadSize(document, read.width, read.height);
  ReadStringMember(document, "home-page", read.homePage);
  ReadIPv4Member(document, "server-ip-address", read.serverAddress);

  const rapidjson::Value* pages = FindJsonMember(document, "page-list");
  if (pages == nullptr || !pages->IsArray()) return false;
  ForEachJsonObject(*pages, [&](const rapidjson::Value& page) {
    std::string name;
    ReadStringMember(page, "name", name);
    read.pageNames.push_back(std::move(name));
  });

  if (read.homePage.empty() && !read.pageNames.empty()) read.homePage = read.pageNames.front();
  record = std::move(read);
  return true;
}

std::string MainFileText(const QlProjectData& record) {
  rapidjson::StringBuffer buffer;
  JsonWriter writer(buffer);
  writer.StartObject();
  writer.Key("ver");
  writer.Uint(kMainFileVersion);
  writer.Key("size");
  writer.StartObject();
  writer.Key("width");
  WriteFloat(writer, record.width);
  writer.Key("height");
  WriteFloat(writer, record.height);
  writer.EndObject();
  writer.Key("home-page");
  WriteUtf8String(writer, record.homePage);
  WriteIPv4Member(writer, "server-ip-address", record.serverAddress);
  writer.Key("page-list");
  writer.StartArray();
  for (const std::string& name : record.pageNames) {
    writer.StartObject();
    writer.Key("name");
    WriteUtf8String(writer, name);
    writer.EndObject();
  }
  writer.EndArray();
  writer.EndObject();
  return std::string(buffer.GetString(), buffer.GetSize());
}

bool WriteMainFile(const std::string& path, const QlProjectData& record) {
  if (path.empty()) return false;
  return NsPlatform::ReplaceFileAtomically(path, MainFileText(record));
}

}  // namespace NsOvrin
