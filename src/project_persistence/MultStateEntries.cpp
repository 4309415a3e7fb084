#include "project_persistence/MultStateEntries.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "QlUiElem/MultStateItem.h"
#include "QlUiElem/QlUiElemDef.h"
#include "QlUiElem/QlUiMultStateText.h"
#include "common/Log.h"
#include "element_io/QlMultStateTextIo.h"
#include "project_persistence/ElemJson.h"
#include "project_persistence/EntryMembers.h"

namespace NsOvrin {

using NsDx2d::D2D_RECT_F;
using NsQlElemIo::QlMultStateTextIo;
using NsQlUiElem::MultStateItem;
using NsQlUiElem::QlElemData;
using NsQlUiElem::QlUiMultStateText;
using NsQlUiElem::ValueKind;

namespace {

// "text-array": one object per state.
void WriteStateItems(JsonWriter& writer, const std::vector<MultStateItem>& states) {
  writer.Key("text-array");
  writer.StartArray();
  for (const MultStateItem& state : states) {
    writer.StartObject();
    WriteTextMember(writer, "text", state.text);
    WriteUnsignedMember(writer, "text-color", state.textColour);
    WriteUnsignedMember(writer, "font-size", static_cast<uint32_t>(state.fontSize));
    WriteUnsignedMember(writer, "bk-color", state.bkColour);
    WriteFloatMember(writer, "bk-color-alpha", state.bkOpacity);
    WriteUnsignedMember(writer, "text-align", state.horizontalAlignment);
    WriteUnsignedMember(writer, "vertical-align", state.verticalAlignment);
    writer.EndObject();
  }
  writer.EndArray();
}

MultStateItem ReadStateItem(const rapidjson::Value& object) {
  MultStateItem state;
  ReadText(object, state.text);
  ReadTextColor(object, state.textColour);
  ReadFontSize(object, state.fontSize);
  ReadBkColor(object, state.bkColour);
  ReadBkColorAlpha(object, state.bkOpacity);
  ReadTextAlign(object, state.horizontalAlignment);
  ReadVerticalAlign(object, state.verticalAlignment);
  return state;
}

// Leading white space, an optional sign, then the digits up to the first
// other character; no digits give 0. Saturates far beyond 32 bits instead of
// wrapping, so that the callers' clamps see the sign and the size.
int64_t ParseValueText(const std::string& text) {
  constexpr int64_t kLimit = int64_t{1} << 40;
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value < kLimit) value = value * 10 + (text[i] - '0');
  }
  return negative ? -value : value;
}

int64_t Clamp(int64_t value, int64_t low, int64_t high) {
  return value < low ? low : value > high ? high : value;
}

// Appends the value the text gives for the kind. False, appending nothing,
// for a kind outside 1-4, which is logged.
bool ReadStateValue(const std::string& text, ValueKind kind, std::vector<uint32_t>& values) {
  constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
  constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();
  const int64_t parsed = ParseValueText(text);
  switch (kind) {
    case NsQlUiElem::kValueInt16:
    case NsQlUiElem::kValueUInt16:
      // "-1" becomes 65535, which the binding compares as the 16-bit -1.
      values.push_back(static_cast<uint32_t>(Clamp(parsed, kInt32Min, kInt32Max)) & 0xFFFFu);
      return true;
    case NsQlUiElem::kValueInt32:
      values.push_back(static_cast<uint32_t>(Clamp(parsed, kInt32Min, kInt32Max)));
      return true;
    case NsQlUiElem::kValueUInt32:
      // A negative text is its two's complement, as the binding reads value
      // texts.
      values.push_back(
          static_cast<uint32_t>(Clamp(parsed, kInt32Min, std::numeric_limits<uint32_t>::max())));
      return true;
    default:
      OV_LOG(8)
          .AppendText("异常的类型转换:")
          .AppendText(text)
          .AppendText(", 类型:")
          .AppendNumber(kind);
      return false;
  }
}

}  // namespace

bool WriteMultStateTextEntry(JsonWriter& writer, const PageWriteContext& context,
                             const QlElemData& entry) {
  const auto* ui = dynamic_cast<const QlUiMultStateText*>(entry.ui.get());
  const auto* io = dynamic_cast<const QlMultStateTextIo*>(entry.io.get());
  if (ui == nullptr || io == nullptr) return false;

  BeginElementEntry(writer, NsQlUiElem::kElemMultiStateLabel);
  WriteRect(writer, context.TransformRect(ui->rect));
  WriteTextMember(writer, "address", io->readAddress);
  WriteStateItems(writer, ui->states);
  WriteUnsignedMember(writer, "data-type", static_cast<uint32_t>(io->valueKind) & 0xFFFFu);
  writer.Key("data-array");
  writer.StartArray();
  for (const uint32_t value : io->stateValues)
    WriteUtf8String(writer, NsQlUiElem::FormatValueOfKind(io->valueKind, value));
  writer.EndArray();
  WriteVisibility(writer, io);
  writer.EndObject();
  return true;
}

bool ReadMultStateTextEntry(const rapidjson::Value& object, const PageReadContext& context,
                            std::shared_ptr<NsQlUiElem::QlUiElem>& ui,
                            std::shared_ptr<NsQlElemIo::QlIo>& io) {
  auto text = std::make_shared<QlUiMultStateText>();
  auto binding = std::make_shared<QlMultStateTextIo>();

  D2D_RECT_F rect;
  if (ReadRect(object, rect)) text->rect = context.TransformRect(rect);
  ReadAddress(object, binding->readAddress);

  if (const rapidjson::Value* states = FindJsonMember(object, "text-array")) {
    // An element that is no object gives a state of defaults: the states
    // keep their positions against the values.
    ForEachJsonObject(*states, [&](const rapidjson::Value& state) {
      text->states.push_back(ReadStateItem(state));
    });
  }

  // Without a stored kind the values cannot be told apart: they are not read.
  ValueKind kind = NsQlUiElem::kValueNone;
  uint32_t dataType = 0;
  if (ReadUnsignedMember(object, "data-type", dataType)) {
    kind = static_cast<ValueKind>(dataType & 0xFFFFu);
    // A kind no value can have (a hand-edited page) reads as the default
    // one, so that every state added later gets its value.
    if (kind < NsQlUiElem::kValueInt16 || kind > NsQlUiElem::kValueUInt32)
      kind = NsQlUiElem::kValueInt16;
    binding->valueKind = kind;
    binding->forceRefresh = true;
  }

  if (const rapidjson::Value* values = FindJsonMember(object, "data-array")) {
    std::vector<std::string> texts;
    ReadStringList(*values, texts);
    for (const std::string& value : texts) {
      if (!ReadStateValue(value, kind, binding->stateValues)) break;
    }
  }
  ReadVisibility(object, binding.get());

  ui = std::move(text);
  io = std::move(binding);
  return true;
}

}  // namespace NsOvrin
