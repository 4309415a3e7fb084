#include "project_persistence/ButtonEntries.h"

#include <cstdint>
#include <string>

#include "QlDev/DataTypeFlag.h"
#include "QlUiElem/QlUiButton.h"
#include "QlUiElem/QlUiElemDef.h"
#include "compiler/QlMultFuncBtnIo.h"
#include "element_io/QlButtonIo.h"
#include "element_io/QlPageToIo.h"
#include "project_persistence/ElemJson.h"
#include "project_persistence/EntryMembers.h"

namespace NsOvrin {

using NsDx2d::D2D_RECT_F;
using NsQlElemIo::QlButtonIo;
using NsQlElemIo::QlMultFuncBtnIo;
using NsQlElemIo::QlPageToIo;
using NsQlUiElem::QlElemData;
using NsQlUiElem::QlUiButton;
using NsQlUiElem::QlUiButtonData;

namespace {

// The frame painter follows the element rectangle, with the corner radius
// of every placed button, and builds its outline again.
void ReadButtonRect(const rapidjson::Value& object, const PageReadContext& context,
                    QlUiButton& button) {
  D2D_RECT_F rect;
  if (!ReadRect(object, rect)) return;
  rect = context.TransformRect(rect);
  button.data.rect = rect;
  button.painter.rect = rect;
  button.painter.cornerRadius = 4.0f;
  button.painter.ReleaseGeometry();
}

// The first look, the frame and the access permission: what all three kinds
// store.
void ReadSharedLook(const rapidjson::Value& object, QlUiButton& button) {
  QlUiButtonData& data = button.data;
  ReadText(object, data.text);
  ReadTextColor(object, data.textColour);
  ReadFontSize(object, data.fontSize);
  ReadBkColor(object, data.bkColour);
  ReadBkColorAlpha(object, data.bkOpacity);
  ReadBorderColor(object, data.borderColour);
  // A loaded button shows state 0, whose painter style is the border style.
  if (ReadBorderStyle(object, data.borderStyle) && button.painter.style != data.borderStyle) {
    button.painter.style = data.borderStyle;
    button.painter.ReleaseGeometry();
  }
  ReadAccessPermission(object, data.accessPermission);
}

void WriteBorderStyle(JsonWriter& writer, const QlUiButtonData& data) {
  WriteUnsignedMember(writer, "border-style", static_cast<uint16_t>(data.borderStyle));
}

}  // namespace

bool WriteButtonEntry(JsonWriter& writer, const PageWriteContext& context,
                      const QlElemData& entry) {
  const auto* ui = dynamic_cast<const QlUiButton*>(entry.ui.get());
  const auto* io = dynamic_cast<const QlButtonIo*>(entry.io.get());
  if (ui == nullptr || io == nullptr) return false;
  const QlUiButtonData& data = ui->data;

  BeginElementEntry(writer, NsQlUiElem::kElemButton);
  WriteRect(writer, context.TransformRect(data.rect));
  WriteTextMember(writer, "text", data.text);
  WriteTextMember(writer, "text2", data.text2);
  WriteUnsignedMember(writer, "text-color", data.textColour);
  WriteUnsignedMember(writer, "text-color2", data.textColour2);
  WriteUnsignedMember(writer, "font-size", static_cast<uint32_t>(data.fontSize));
  WriteUnsignedMember(writer, "bk-color", data.bkColour);
  WriteUnsignedMember(writer, "bk-color2", data.bkColour2);
  WriteFloatMember(writer, "bk-color-alpha", data.bkOpacity);
  WriteUnsignedMember(writer, "border-color", data.borderColour);
  WriteBorderStyle(writer, data);
  // The one signed number of the page files.
  writer.Key("button-type");
  writer.Int(io->buttonType);
  WriteUnsignedMember(writer, "image-style", static_cast<uint32_t>(data.imageStyle));
  WritePictureMember(context.pictures, writer, "image-file-path", data.imagePath);
  WritePictureMember(context.pictures, writer, "image-file-path2", data.imagePath2);
  WriteUnsignedMember(writer, "access-permission", static_cast<uint32_t>(data.accessPermission));
  WriteUnsignedMember(writer, "hold-delay", data.holdDelay);
  WriteTextMember(writer, "rd-address", io->readAddress);
  WriteTextMember(writer, "wr-address", io->writeAddress);
  WriteBoolMember(writer, "same-as-rd-address", io->sameAsRead);
  WriteUnsignedMember(writer, "preset-value", io->presetValue);
  WriteVisibility(writer, io);
  writer.EndObject();
  return true;
}

bool WritePageToEntry(JsonWriter& writer, const PageWriteContext& context,
                      const QlElemData& entry) {
  const auto* ui = dynamic_cast<const QlUiButton*>(entry.ui.get());
  const auto* io = dynamic_cast<const QlPageToIo*>(entry.io.get());
  if (ui == nullptr || io == nullptr) return false;
  const QlUiButtonData& data = ui->data;

  BeginElementEntry(writer, NsQlUiElem::kElemPageTo);
  WriteRect(writer, context.TransformRect(data.rect));
  WriteTextMember(writer, "text", data.text);
  WriteUnsignedMember(writer, "text-color", data.textColour);
  WriteUnsignedMember(writer, "font-size", static_cast<uint32_t>(data.fontSize));
  WriteUnsignedMember(writer, "bk-color", data.bkColour);
  WriteFloatMember(writer, "bk-color-alpha", data.bkOpacity);
  WriteUnsignedMember(writer, "border-color", data.borderColour);
  WriteBorderStyle(writer, data);
  WriteUnsignedMember(writer, "image-style", static_cast<uint32_t>(data.imageStyle));
  WritePictureMember(context.pictures, writer, "image-file-path", data.imagePath);
  WriteTextMember(writer, "page-name", io->targetPage);
  WriteUnsignedMember(writer, "page-jump-type", static_cast<uint16_t>(io->jumpType));
  WriteUnsignedMember(writer, "access-permission", static_cast<uint32_t>(data.accessPermission));
  WriteVisibility(writer, io);
  writer.EndObject();
  return true;
}

bool WriteMultFuncEntry(JsonWriter& writer, const PageWriteContext& context,
                        const QlElemData& entry) {
  const auto* ui = dynamic_cast<const QlUiButton*>(entry.ui.get());
  const auto* io = dynamic_cast<const QlMultFuncBtnIo*>(entry.io.get());
  if (ui == nullptr || io == nullptr) return false;
  const QlUiButtonData& data = ui->data;

  BeginElementEntry(writer, NsQlUiElem::kElemMultFunc);
  WriteRect(writer, context.TransformRect(data.rect));
  WriteTextMember(writer, "text", data.text);
  WriteUnsignedMember(writer, "text-color", data.textColour);
  WriteUnsignedMember(writer, "font-size", static_cast<uint32_t>(data.fontSize));
  WriteUnsignedMember(writer, "bk-color", data.bkColour);
  WriteFloatMember(writer, "bk-color-alpha", data.bkOpacity);
  WriteUnsignedMember(writer, "border-color", data.borderColour);
  WriteBorderStyle(writer, data);
  WriteUnsignedMember(writer, "access-permission", static_cast<uint32_t>(data.accessPermission));
  WriteTextListMember(writer, "event-func-list", io->funcList.sourceLines);
  WriteVisibility(writer, io);
  writer.EndObject();
  return true;
}

bool ReadButtonEntry(const rapidjson::Value& object, const PageReadContext& context,
                     std::shared_ptr<NsQlUiElem::QlUiElem>& ui,
                     std::shared_ptr<NsQlElemIo::QlIo>& io) {
  auto button = std::make_shared<QlUiButton>();
  auto binding = std::make_shared<QlButtonIo>();
  QlUiButtonData& data = button->data;

  ReadButtonRect(object, context, *button);
  ReadSharedLook(object, *button);
  ReadStringMember(object, "text2", data.text2);
  ReadTextColor2(object, data.textColour2);
  ReadBkColor2(object, data.bkColour2);
  ReadImageStyle(object, data.imageStyle);
  ReadPictureMember(context, object, "image-file-path", data.imagePath);
  ReadPictureMember(context, object, "image-file-path2", data.imagePath2);
  uint32_t holdDelay = 0;
  if (ReadUnsignedMember(object, "hold-delay", holdDelay))
    data.holdDelay = static_cast<uint16_t>(holdDelay);

  // The data type is not stored: it follows from the button type. A type
  // outside the known ones is kept as it is and leaves the data type alone.
  int32_t buttonType = 0;
  if (ReadSignedMember(object, "button-type", buttonType)) {
    binding->buttonType = buttonType;
    if (buttonType >= NsQlElemIo::kButtonToggle && buttonType <= NsQlElemIo::kButtonDisplayOnly) {
      binding->dataType = buttonType == NsQlElemIo::kButtonSetValue ? NsTermination::kTypeUInt16
                                                                    : NsTermination::kTypeBit;
    }
  }
  ReadStringMember(object, "rd-address", binding->readAddress);
  ReadStringMember(object, "wr-address", binding->writeAddress);
  ReadBoolMember(object, "same-as-rd-address", binding->sameAsRead);
  ReadUnsignedMember(object, "preset-value", binding->presetValue);
  ReadVisibility(object, binding.get());

  ui = std::move(button);
  io = std::move(binding);
  return true;
}

bool ReadPageToEntry(const rapidjson::Value& object, const PageReadContext& context,
                     std::shared_ptr<NsQlUiElem::QlUiElem>& ui,
                     std::shared_ptr<NsQlElemIo::QlIo>& io) {
  auto button = std::make_shared<QlUiButton>();
  // An empty target and the home page.
  auto binding = std::make_shared<QlPageToIo>();

  ReadButtonRect(object, context, *button);
  ReadSharedLook(object, *button);
  ReadImageStyle(object, button->data.imageStyle);
  ReadPictureMember(context, object, "image-file-path", button->data.imagePath);
  ReadStringMember(object, "page-name", binding->targetPage);
  ReadUnsignedMember(object, "page-jump-type", binding->jumpType);
  ReadVisibility(object, binding.get());

  ui = std::move(button);
  io = std::move(binding);
  return true;
}

bool ReadMultFuncEntry(const rapidjson::Value& object, const PageReadContext& context,
                       std::shared_ptr<NsQlUiElem::QlUiElem>& ui,
                       std::shared_ptr<NsQlElemIo::QlIo>& io) {
  auto button = std::make_shared<QlUiButton>();
  auto binding = std::make_shared<QlMultFuncBtnIo>();

  ReadButtonRect(object, context, *button);
  ReadSharedLook(object, *button);
  if (const rapidjson::Value* lines = FindJsonMember(object, "event-func-list"))
    ReadNonEmptyStringList(*lines, binding->funcList.sourceLines);
  ReadVisibility(object, binding.get());

  ui = std::move(button);
  io = std::move(binding);
  return true;
}

}  // namespace NsOvrin
