#include "project_persistence/PageFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstdint>

#include "QlUiElem/QlUiElemDef.h"
#include "common/ByteBuffer.h"
#include "common/Log.h"
#include "common/PathUtil.h"
#include "platform/AtomicFile.h"
#include "project/QlEProject.h"
#include "project_persistence/AlarmEntries.h"
#include "project_persistence/ButtonEntries.h"
#include "project_persistence/ElemJson.h"
#include "project_persistence/IoTableEntries.h"
#include "project_persistence/MultStateEntries.h"
#include "project_persistence/PanelEntries.h"
#include "project_persistence/TextEntries.h"

namespace NsOvrin {

using NsDx2d::D2D_RECT_F;
using NsQlUiElem::QlElemData;
using NsQlUiElem::QlElemType;
using NsQlUiElem::QlPageData;

namespace {

struct ElementCodec {
  ElementEntryReader read = nullptr;
  ElementEntryWriter write = nullptr;
};

// By type code. A kind without reader and writer is not stored yet: its
// entries are dropped with a log record on both ways.
constexpr std::array<ElementCodec, 15> kCodecs = {{
    {},                                                 // 0 None: never read or written
    {ReadTextEntry, WriteTextEntry},                    // 1 Text
    {ReadNumberEntry, WriteNumberEntry},                // 2 Number
    {ReadStringEntry, WriteStringEntry},                // 3 String
    {ReadButtonEntry, WriteButtonEntry},                // 4 Button
    {ReadPageToEntry, WritePageToEntry},                // 5 PageTo
    {ReadPanelEntry, WritePanelEntry},                  // 6 Panel
    {ReadPictureEntry, WritePictureEntry},              // 7 Picture
    {ReadNavBarEntry, WriteNavBarEntry},                // 8 NavBar
    {ReadAlarmListEntry, WriteAlarmTableEntry},         // 9 AlarmList
    {ReadMultStateTextEntry, WriteMultStateTextEntry},  // 10 MultiStateLabel
    {ReadAlarmHistEntry, WriteAlarmTableEntry},         // 11 AlarmHist
    {ReadLoginEntry, WriteLoginEntry},                  // 12 BtnLogin
    {ReadMultFuncEntry, WriteMultFuncEntry},            // 13 MultFunc
    {ReadIoTableEntry, WriteIoTableEntry},              // 14 OVTable
}};

// Null for "None" and for codes outside the table.
const ElementCodec* CodecOf(QlElemType code) {
  if (code <= NsQlUiElem::kElemNone || code > NsQlUiElem::kElemOVTable) return nullptr;
  return &kCodecs[static_cast<std::size_t>(code)];
}

D2D_RECT_F Transform(const RectTransform& transform, const D2D_RECT_F& rect) {
  return transform ? transform(rect) : rect;
}

}  // namespace

D2D_RECT_F PageReadContext::TransformRect(const D2D_RECT_F& rect) const {
  return Transform(rectTransform, rect);
}

D2D_RECT_F PageWriteContext::TransformRect(const D2D_RECT_F& rect) const {
  return Transform(rectTransform, rect);
}

bool LoadPageFile(const std::string& projectDirectory, const std::string& pageName,
                  const PageLoadHooks& hooks, std::shared_ptr<QlPageData>& page) {
  // Without a project folder the page would be looked for in the working
  // directory.
  const std::string path = GetPageFilePath(projectDirectory, pageName);
  if (path.empty()) return false;
  // The document's strings live in text.
  ByteBuffer text;
  rapidjson::Document document;
  if (!LoadJsonObjectFileInPlace(path, document, text)) return false;

  auto record = std::make_shared<QlPageData>();
  // The file does not hold the name: a copied file loads under its own.
  record->name = pageName;
  // The page's own rectangle is never shifted.
  ReadRect(document, record->rect);
  ReadBkColor(document, record->backgroundColour);
  ReadAccessPermission(document, record->accessPermission);
  ReadElementEntries(document, *record, projectDirectory, hooks);
  page = std::move(record);
  return true;
}

bool SavePageFile(const std::string& projectDirectory, const std::shared_ptr<QlPageData>& page,
                  const RectTransform& rectTransform) {
  std::string text;
  if (!MakePageFileText(projectDirectory, page, rectTransform, text)) return false;
  return NsPlatform::ReplaceFileAtomically(GetPageFilePath(projectDirectory, page->name), text);
}

bool MakePageFileText(const std::string& projectDirectory, const std::shared_ptr<QlPageData>& page,
                      const RectTransform& rectTransform, std::string& text) {
  if (!page) return false;
  // Checked before anything is written: without a project folder the
  // pictures would go to "/images".
  const std::string path = GetPageFilePath(projectDirectory, page->name);
  if (path.empty()) return false;

  rapidjson::StringBuffer buffer;
  JsonWriter writer(buffer);
  writer.StartObject();
  WriteRect(writer, page->rect);
  writer.Key("bk-color");
  writer.Uint(page->backgroundColour);
  writer.Key("access-permission");
  writer.Uint(static_cast<uint32_t>(page->accessPermission));
  WriteElementEntries(writer, *page, projectDirectory, rectTransform);
  writer.EndObject();
  text.assign(buffer.GetString(), buffer.GetSize());
  return true;
}

bool ReadElementEntries(const rapidjson::Value& top, QlPageData& page,
                        const std::string& projectDirectory, const PageLoadHooks& hooks) {
  const rapidjson::Value* elements = FindJsonMember(top, "elements");
  if (elements == nullptr) return false;
  const PageReadContext context{projectDirectory, hooks.pictureResolver, hooks.rectTransform};
  // Room for the usual page at once; a file listing more grows the list as it goes.
  constexpr rapidjson::SizeType kReservedElements = 1024;
  if (elements->IsArray()) page.elements.reserve(page.elements.size() + std::min(elements->Size(), kReservedElements));
  return ForEachJsonObject(*elements, [&](const rapidjson::Value& element) {
    ReadElementEntry(context, page, element);
  });
}

bool ReadElementEntry(const PageReadContext& context, QlPageData& page,
                      const rapidjson::Value& element) {
  QlElemData entry;
  // An unknown name is logged by the type table.
  if (!ReadElementType(element, entry.type)) return true;
  const ElementCodec* codec = CodecOf(entry.type);
  if (codec == nullptr) return true;
  if (codec->read == nullptr) {
    OV_LOG(8)
        .AppendText("导入元件, 遇到异常的类型:")
        .AppendText(NsQlUiElem::ElemTypeToName(entry.type));
    return true;
  }
  codec->read(element, context, entry.ui, entry.io);
  if (entry.ui && entry.io) page.elements.push_back(std::move(entry));
  return true;
}

void WriteElementEntries(JsonWriter& writer, const QlPageData& page,
                         const std::string& projectDirectory, const RectTransform& rectTransform) {
  writer.Key("elements");
  writer.StartArray();

  ProjectPictureStore pictures{projectDirectory, {}};
  if (!projectDirectory.empty()) {
    const std::string folder = ProjectPictureFolder(projectDirectory);
    // A folder that cannot be made fails the picture copies, which say so.
    if (!DirectoryExists(folder)) mkdir(folder.c_str(), 0777);
  }

  const PageWriteContext context{pictures, rectTransform};
  for (const QlElemData& entry : page.elements) {
    if (!entry.ui) continue;
    const ElementCodec* codec = CodecOf(entry.type);
    if (codec == nullptr) continue;
    if (codec->write == nullptr) {
      OV_LOG(8)
          .AppendText("导出元件, 遇到异常的类型:")
          .AppendNumber(static_cast<uint32_t>(entry.type));
      continue;
    }
    codec->write(writer, context, entry);
  }
  writer.EndArray();
}

}  // namespace NsOvrin
