#include "project_persistence/ElemJson.h"

#include <string>
#include <string_view>

#include "element_io/BaseIoData.h"
#include "element_io/QlIo.h"

namespace NsOvrin {

bool ReadElementType(const rapidjson::Value& object, NsQlUiElem::QlElemType& out) {
  // The type names are plain ASCII: a stored name equal to one of them needs
  // no conversion.
  if (const rapidjson::Value* type = FindJsonMember(object, "type"); type != nullptr && type->IsString()) {
    if (NsQlUiElem::FindElemType(std::string_view(type->GetString(), type->GetStringLength()), out)) return true;
  }
  std::string name;
  if (!ReadStringMember(object, "type", name)) return false;
  return NsQlUiElem::ElemTypeFromName(name, out);
}

void BeginElementEntry(JsonWriter& writer, NsQlUiElem::QlElemType code) {
  writer.StartObject();
  writer.Key("type");
  WriteUtf8String(writer, NsQlUiElem::ElemTypeToName(code));
}

bool ReadRect(const rapidjson::Value& object, NsDx2d::D2D_RECT_F& out) {
  const rapidjson::Value* rect = FindJsonMember(object, "rect");
  if (rect == nullptr || !rect->IsObject()) return false;
  NsDx2d::D2D_RECT_F read;  // components not taken stay 0
  ReadFloatMember(*rect, "left", read.left);
  ReadFloatMember(*rect, "top", read.top);
  ReadFloatMember(*rect, "right", read.right);
  ReadFloatMember(*rect, "bottom", read.bottom);
  out = read;
  return true;
}

void WriteRect(JsonWriter& writer, const NsDx2d::D2D_RECT_F& rect) {
  writer.Key("rect");
  writer.StartObject();
  writer.Key("left");
  WriteFloat(writer, rect.left);
  writer.Key("top");
  WriteFloat(writer, rect.top);
  writer.Key("right");
  WriteFloat(writer, rect.right);
  writer.Key("bottom");
  WriteFloat(writer, rect.bottom);
  writer.EndObject();
}

bool ReadVisibility(const rapidjson::Value& object, NsQlElemIo::QlIo* io) {
  if (io == nullptr) return false;
  NsQlElemIo::BaseIoData* data = io->GetBaseIoData();
  if (data == nullptr) return true;
  ReadBoolMember(object, "enable-visib", data->enableVisib);
  ReadStringMember(object, "address-for-visib", data->addressForVisib);
  ReadBoolMember(object, "show-when-true", data->showWhenTrue);
  return true;
}

void WriteVisibility(JsonWriter& writer, const NsQlElemIo::QlIo* io) {
  if (io == nullptr) return;
  const NsQlElemIo::BaseIoData* data = io->GetBaseIoDataConst();
  writer.Key("enable-visib");
  writer.Bool(data != nullptr && data->enableVisib);
  writer.Key("address-for-visib");
  WriteUtf8String(writer, io->GetVisibAddress());
  writer.Key("show-when-true");
  writer.Bool(data != nullptr && data->showWhenTrue);
}

}  // namespace NsOvrin
