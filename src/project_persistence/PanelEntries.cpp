#include "project_persistence/PanelEntries.h"

#include <cstdint>
#include <string>

#include "QlUiElem/QlUiBtnUser.h"
#include "QlUiElem/QlUiElemDef.h"
#include "QlUiElem/QlUiImage.h"
#include "QlUiElem/QlUiNavBar.h"
#include "QlUiElem/QlUiPanel.h"
#include "element_io/QlBtnUserIo.h"
#include "element_io/QlImageIo.h"
#include "element_io/QlNavBarIo.h"
#include "element_io/QlPanelIo.h"
#include "project_persistence/ElemJson.h"
#include "project_persistence/EntryMembers.h"

namespace NsOvrin {

using NsDx2d::COLORREF;
using NsDx2d::D2D_RECT_F;
using NsQlElemIo::QlBtnUserIo;
using NsQlElemIo::QlImageIo;
using NsQlElemIo::QlNavBarIo;
using NsQlElemIo::QlPanelIo;
using NsQlUiElem::QlElemData;
using NsQlUiElem::QlUiBtnUser;
using NsQlUiElem::QlUiImage;
using NsQlUiElem::QlUiNavBar;
using NsQlUiElem::QlUiPanel;

namespace {

// Every kind here moves through its own SetRect, which lays out what
// follows the rectangle.
template <typename Record>
void ReadElementRect(const rapidjson::Value& object, const PageReadContext& context, Record& ui) {
  D2D_RECT_F rect;
  if (ReadRect(object, rect)) ui.SetRect(context.TransformRect(rect));
}

}  // namespace

bool WritePanelEntry(JsonWriter& writer, const PageWriteContext& context, const QlElemData& entry) {
  const auto* ui = dynamic_cast<const QlUiPanel*>(entry.ui.get());
  const auto* io = dynamic_cast<const QlPanelIo*>(entry.io.get());
  if (ui == nullptr || io == nullptr) return false;

  BeginElementEntry(writer, NsQlUiElem::kElemPanel);
  WriteRect(writer, context.TransformRect(ui->rect));
  WriteTextMember(writer, "text", ui->title);
  WriteUnsignedMember(writer, "text-color", ui->textColour);
  WriteUnsignedMember(writer, "title-bk-color", ui->titleBkColour);
  WriteUnsignedMember(writer, "font-size", static_cast<uint32_t>(ui->fontSize));
  WriteUnsignedMember(writer, "bk-color", ui->bkColour);
  WriteUnsignedMember(writer, "border-color", ui->borderColour);
  WriteVisibility(writer, io);
  writer.EndObject();
  return true;
}

bool WritePictureEntry(JsonWriter& writer, const PageWriteContext& context,
                       const QlElemData& entry) {
  const auto* ui = dynamic_cast<const QlUiImage*>(entry.ui.get());
  const auto* io = dynamic_cast<const QlImageIo*>(entry.io.get());
  if (ui == nullptr || io == nullptr) return false;

  BeginElementEntry(writer, NsQlUiElem::kElemPicture);
  WriteRect(writer, context.TransformRect(ui->rect));
  WriteUnsignedMember(writer, "image-style", static_cast<uint32_t>(ui->imageStyle));
  WritePictureMember(context.pictures, writer, "image-file-path", ui->imagePath);
  WriteVisibility(writer, io);
  writer.EndObject();
  return true;
}

bool WriteNavBarEntry(JsonWriter& writer, const PageWriteContext& context,
                      const QlElemData& entry) {
  const auto* ui = dynamic_cast<const QlUiNavBar*>(entry.ui.get());
  const auto* io = dynamic_cast<const QlNavBarIo*>(entry.io.get());
  if (ui == nullptr || io == nullptr) return false;

  BeginElementEntry(writer, NsQlUiElem::kElemNavBar);
  WriteRect(writer, context.TransformRect(ui->rect));
  WriteTextListMember(writer, "label-array", ui->labels);
  WriteTextListMember(writer, "nav-bar-page-list", io->targetPages);
  WriteUnsignedMember(writer, "text-color", ui->textColour);
  WriteUnsignedMember(writer, "text-color2", ui->textColour2);
  WriteUnsignedMember(writer, "font-size", static_cast<uint32_t>(ui->fontSize));
  WriteUnsignedMember(writer, "bk-color", ui->bkColour);
  WriteUnsignedMember(writer, "bk-color2", ui->bkColour2);
  WriteUnsignedMember(writer, "border-color", ui->borderColour);
  WriteVisibility(writer, io);
  writer.EndObject();
  return true;
}

bool WriteLoginEntry(JsonWriter& writer, const PageWriteContext& context, const QlElemData& entry) {
  const auto* ui = dynamic_cast<const QlUiBtnUser*>(entry.ui.get());
  const auto* io = dynamic_cast<const QlBtnUserIo*>(entry.io.get());
  if (ui == nullptr || io == nullptr) return false;

  BeginElementEntry(writer, NsQlUiElem::kElemBtnLogin);
  WriteRect(writer, context.TransformRect(ui->rect));
  WriteVisibility(writer, io);
  writer.EndObject();
  return true;
}

bool ReadPanelEntry(const rapidjson::Value& object, const PageReadContext& context,
                    std::shared_ptr<NsQlUiElem::QlUiElem>& ui,
                    std::shared_ptr<NsQlElemIo::QlIo>& io) {
  auto panel = std::make_shared<QlUiPanel>();
  auto binding = std::make_shared<QlPanelIo>();

  ReadElementRect(object, context, *panel);
  std::string title;
  if (ReadText(object, title)) {
    // The geometries have a title bar's corners only while there is a title.
    if (title.empty() != panel->title.empty()) panel->ReleaseGeometry();
    panel->title = std::move(title);
  }
  ReadTextColor(object, panel->textColour);
  ReadTitleBkColor(object, panel->titleBkColour);
  ReadFontSize(object, panel->fontSize);
  ReadBkColor(object, panel->bkColour);
  ReadBorderColor(object, panel->borderColour);
  ReadVisibility(object, binding.get());

  ui = std::move(panel);
  io = std::move(binding);
  return true;
}

bool ReadPictureEntry(const rapidjson::Value& object, const PageReadContext& context,
                      std::shared_ptr<NsQlUiElem::QlUiElem>& ui,
                      std::shared_ptr<NsQlElemIo::QlIo>& io) {
  auto picture = std::make_shared<QlUiImage>();
  auto binding = std::make_shared<QlImageIo>();

  D2D_RECT_F rect;
  if (ReadRect(object, rect)) picture->rect = context.TransformRect(rect);
  ReadImageStyle(object, picture->imageStyle);
  ReadPictureMember(context, object, "image-file-path", picture->imagePath);
  ReadVisibility(object, binding.get());

  ui = std::move(picture);
  io = std::move(binding);
  return true;
}

bool ReadNavBarEntry(const rapidjson::Value& object, const PageReadContext& context,
                     std::shared_ptr<NsQlUiElem::QlUiElem>& ui,
                     std::shared_ptr<NsQlElemIo::QlIo>& io) {
  auto bar = std::make_shared<QlUiNavBar>();
  auto binding = std::make_shared<QlNavBarIo>();

  ReadElementRect(object, context, *bar);
  if (const rapidjson::Value* labels = FindJsonMember(object, "label-array"))
    ReadStringList(*labels, bar->labels);
  if (const rapidjson::Value* pages = FindJsonMember(object, "nav-bar-page-list"))
    ReadStringList(*pages, binding->targetPages);
  ReadTextColor(object, bar->textColour);
  ReadTextColor2(object, bar->textColour2);
  ReadFontSize(object, bar->fontSize);
  // The frame painter takes the bar's colours, its fill opaque.
  COLORREF colour = 0;
  if (ReadBkColor(object, colour)) {
    bar->SetBkColour(colour);
    bar->painter.opacity = 1.0f;
  }
  ReadBkColor2(object, bar->bkColour2);
  if (ReadBorderColor(object, colour)) bar->SetBorderColour(colour);
  ReadVisibility(object, binding.get());

  ui = std::move(bar);
  io = std::move(binding);
  return true;
}

bool ReadLoginEntry(const rapidjson::Value& object, const PageReadContext& context,
                    std::shared_ptr<NsQlUiElem::QlUiElem>& ui,
                    std::shared_ptr<NsQlElemIo::QlIo>& io) {
  auto login = std::make_shared<QlUiBtnUser>();
  auto binding = std::make_shared<QlBtnUserIo>();

  ReadElementRect(object, context, *login);
  ReadVisibility(object, binding.get());

  ui = std::move(login);
  io = std::move(binding);
  return true;
}

}  // namespace NsOvrin
