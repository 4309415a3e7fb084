#include "project_persistence/TextEntries.h"

#include <cstdint>
#include <string>

#include "QlUiElem/QlUiEdit.h"
#include "QlUiElem/QlUiElemDef.h"
#include "QlUiElem/QlUiText.h"
#include "element_io/QlEditIo.h"
#include "element_io/QlStringIo.h"
#include "element_io/QlTextIo.h"
#include "project_persistence/ElemJson.h"
#include "termination/NodeMem.h"

namespace NsOvrin {

using NsDx2d::D2D_RECT_F;
using NsDx2d::TextPainter;
using NsQlElemIo::QlEditIo;
using NsQlElemIo::QlStringIo;
using NsQlElemIo::QlTextIo;
using NsQlUiElem::QlElemData;
using NsQlUiElem::QlUiEdit;
using NsQlUiElem::QlUiText;

namespace {

template <typename Record>
void ReadElementRect(const rapidjson::Value& object, const PageReadContext& context, Record& ui) {
  D2D_RECT_F rect;
  if (ReadRect(object, rect)) ui.SetRect(context.TransformRect(rect));
}

void WriteUnsigned(JsonWriter& writer, const char* key, uint32_t value) {
  writer.Key(key);
  writer.Uint(value);
}

void WriteText(JsonWriter& writer, const char* key, const std::string& text) {
  writer.Key(key);
  WriteUtf8String(writer, text);
}

void WriteFloatMember(JsonWriter& writer, const char* key, float value) {
  writer.Key(key);
  WriteFloat(writer, value);
}

// "text-color", "font-size", "bk-color", "bk-color-alpha", "border-color",
// "text-align", "access-permission": the look both boxes share.
void WriteBoxLook(JsonWriter& writer, const QlUiEdit& ui) {
  WriteUnsigned(writer, "text-color", ui.textBox.colour);
  WriteUnsigned(writer, "font-size", static_cast<uint32_t>(ui.textBox.fontSize));
  WriteUnsigned(writer, "bk-color", ui.bkColor);
  WriteFloatMember(writer, "bk-color-alpha", ui.bkOpacity);
  WriteUnsigned(writer, "border-color", ui.borderColor);
  WriteUnsigned(writer, "text-align", ui.textBox.horizontalAlignment);
  WriteUnsigned(writer, "access-permission", static_cast<uint32_t>(ui.accessPermission));
}

void ReadBoxLook(const rapidjson::Value& object, QlUiEdit& ui) {
  ReadTextColor(object, ui.textBox.colour);
  ReadFontSize(object, ui.textBox.fontSize);
  ReadBkColor(object, ui.bkColor);
  ReadBkColorAlpha(object, ui.bkOpacity);
  ReadBorderColor(object, ui.borderColor);
  ReadTextAlign(object, ui.textBox.horizontalAlignment);
  ReadAccessPermission(object, ui.accessPermission);
}

// A limit is taken only as a pair: the flag a boolean and the value an
// unsigned 32-bit pattern.
bool ReadLimit(const rapidjson::Value& object, const char* enableKey, const char* valueKey,
               bool& enabled, int32_t& value) {
  bool readEnabled = false;
  int32_t readValue = 0;
  if (!ReadBoolMember(object, enableKey, readEnabled)) return false;
  if (!ReadUnsignedMember(object, valueKey, readValue)) return false;
  enabled = readEnabled;
  value = readValue;
  return true;
}

}  // namespace

bool WriteTextEntry(JsonWriter& writer, const PageWriteContext& context, const QlElemData& entry) {
  const auto* ui = dynamic_cast<const QlUiText*>(entry.ui.get());
  const auto* io = dynamic_cast<const QlTextIo*>(entry.io.get());
  if (ui == nullptr || io == nullptr) return false;

  BeginElementEntry(writer, NsQlUiElem::kElemText);
  WriteRect(writer, context.TransformRect(ui->rect));
  WriteText(writer, "text", ui->textBox.text);
  WriteUnsigned(writer, "text-color", ui->textBox.colour);
  WriteUnsigned(writer, "font-size", static_cast<uint32_t>(ui->textBox.fontSize));
  WriteUnsigned(writer, "bk-color", ui->bkColor);
  WriteFloatMember(writer, "bk-color-alpha", ui->bkOpacity);
  WriteUnsigned(writer, "text-align", ui->textBox.horizontalAlignment);
  WriteUnsigned(writer, "vertical-align", ui->textBox.verticalAlignment);
  WriteVisibility(writer, io);
  writer.EndObject();
  return true;
}

bool WriteNumberEntry(JsonWriter& writer, const PageWriteContext& context,
                      const QlElemData& entry) {
  const auto* ui = dynamic_cast<const QlUiEdit*>(entry.ui.get());
  const auto* io = dynamic_cast<const QlEditIo*>(entry.io.get());
  if (ui == nullptr || io == nullptr) return false;

  BeginElementEntry(writer, NsQlUiElem::kElemNumber);
  WriteRect(writer, context.TransformRect(ui->rect));
  WriteBoxLook(writer, *ui);
  WriteUnsigned(writer, "data-type", io->dataType);
  WriteUnsigned(writer, "scale", io->scale);
  WriteReadOnly(writer, io->readOnly);
  WriteMinLimit(writer, io->enableMinVal, io->minVal);
  WriteMaxLimit(writer, io->enableMaxVal, io->maxVal);
  WriteText(writer, "address", io->address);
  WriteVisibility(writer, io);
  writer.EndObject();
  return true;
}

bool WriteStringEntry(JsonWriter& writer, const PageWriteContext& context,
                      const QlElemData& entry) {
  const auto* ui = dynamic_cast<const QlUiEdit*>(entry.ui.get());
  const auto* io = dynamic_cast<const QlStringIo*>(entry.io.get());
  if (ui == nullptr || io == nullptr) return false;

  BeginElementEntry(writer, NsQlUiElem::kElemString);
  WriteRect(writer, context.TransformRect(ui->rect));
  WriteBoxLook(writer, *ui);
  WriteReadOnly(writer, io->readOnly);
  WriteText(writer, "address", io->address);
  WriteVisibility(writer, io);
  writer.EndObject();
  return true;
}

bool ReadTextEntry(const rapidjson::Value& object, const PageReadContext& context,
                   std::shared_ptr<NsQlUiElem::QlUiElem>& ui,
                   std::shared_ptr<NsQlElemIo::QlIo>& io) {
  auto text = std::make_shared<QlUiText>();
  auto binding = std::make_shared<QlTextIo>();

  ReadElementRect(object, context, *text);
  ReadText(object, text->textBox.text);
  ReadTextColor(object, text->textBox.colour);
  ReadFontSize(object, text->textBox.fontSize);
  ReadBkColor(object, text->bkColor);
  ReadBkColorAlpha(object, text->bkOpacity);
  ReadTextAlign(object, text->textBox.horizontalAlignment);
  ReadVerticalAlign(object, text->textBox.verticalAlignment);
  ReadVisibility(object, binding.get());

  ui = std::move(text);
  io = std::move(binding);
  return true;
}

bool ReadNumberEntry(const rapidjson::Value& object, const PageReadContext& context,
                     std::shared_ptr<NsQlUiElem::QlUiElem>& ui,
                     std::shared_ptr<NsQlElemIo::QlIo>& io) {
  auto box = std::make_shared<QlUiEdit>();
  auto binding = std::make_shared<QlEditIo>();

  ReadElementRect(object, context, *box);
  ReadBoxLook(object, *box);

  // Every setting taken makes the next live read report a change.
  uint32_t number = 0;
  if (ReadUnsignedMember(object, "data-type", number)) {
    binding->dataType = static_cast<uint16_t>(number);
    binding->forceRefresh = true;
  }
  if (ReadUnsignedMember(object, "scale", number)) {
    binding->scale = static_cast<uint8_t>(number);
    binding->forceRefresh = true;
  }
  if (ReadReadOnly(object, binding->readOnly)) binding->forceRefresh = true;
  if (ReadLimit(object, "enable-min-val", "min-val", binding->enableMinVal, binding->minVal))
    binding->forceRefresh = true;
  if (ReadLimit(object, "enable-max-val", "max-val", binding->enableMaxVal, binding->maxVal))
    binding->forceRefresh = true;
  ReadAddress(object, binding->address);
  ReadVisibility(object, binding.get());

  ui = std::move(box);
  io = std::move(binding);
  return true;
}

bool ReadStringEntry(const rapidjson::Value& object, const PageReadContext& context,
                     std::shared_ptr<NsQlUiElem::QlUiElem>& ui,
                     std::shared_ptr<NsQlElemIo::QlIo>& io) {
  auto box = std::make_shared<QlUiEdit>();
  auto binding = std::make_shared<QlStringIo>();

  ReadElementRect(object, context, *box);
  ReadBoxLook(object, *box);
  ReadReadOnly(object, binding->readOnly);

  // The length of the text is not stored: it is what the address covers in
  // its node's map. An address that did not parse, or names bits, covers no
  // bytes and leaves the default: a length of 0 would never be read.
  if (ReadAddress(object, binding->address)) {
    binding->Bind();
    if (const auto node = binding->GetNode().Lock(); node && node->GetNodeMem()) {
      const uint16_t bytes = node->GetNodeMem()->GetByteCount(binding->GetAddr());
      if (bytes != 0) binding->length = bytes;
    }
    binding->forceRefresh = true;
  }
  ReadVisibility(object, binding.get());

  ui = std::move(box);
  io = std::move(binding);
  return true;
}

}  // namespace NsOvrin
