#include "project_persistence/IoTableEntries.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "QlUiElem/QlUiElemDef.h"
#include "QlUiElem/QlUiOvList.h"
#include "element_io/QlOvListIo.h"
#include "project_persistence/ElemJson.h"
#include "project_persistence/EntryMembers.h"

namespace NsOvrin {

using NsDx2d::D2D_RECT_F;
using NsQlElemIo::QlOvListIo;
using NsQlUiElem::QlElemData;
using NsQlUiElem::QlUiOvList;

namespace {

// Column 0 holds the descriptions, column 1 the lamps.
constexpr std::size_t kStoredColumns = 2;

void WriteIoTableRows(JsonWriter& writer, const QlUiOvList& ui, const QlOvListIo& io) {
  const std::vector<std::string>& addresses = io.rowAddresses;
  const std::vector<std::string>& descriptions = ui.data.descriptions;
  const std::size_t rows = std::max(addresses.size(), descriptions.size());
  writer.Key("desc-address-array");
  writer.StartArray();
  for (std::size_t i = 0; i < rows; ++i) {
    writer.StartObject();
    WriteTextMember(writer, "address", i < addresses.size() ? addresses[i] : std::string());
    WriteTextMember(writer, "description",
                    i < descriptions.size() ? descriptions[i] : std::string());
    writer.EndObject();
  }
  writer.EndArray();
}

// True when the row was added.
bool ReadIoTableRow(const rapidjson::Value& row, QlUiOvList& ui, QlOvListIo& io) {
  std::string address;
  std::string description;
  if (!ReadAddress(row, address) || !ReadStringMember(row, "description", description)) return false;
  // A table that is full takes neither: an address without its row would
  // pair every later address with the wrong description.
  if (!ui.AppendRow(description)) return false;
  io.rowAddresses.push_back(std::move(address));
  return true;
}

// The rows of a new table whose rectangle, title and columns are set. While
// the table is unscrolled a lamp's place does not depend on the rows after
// it, so each lamp is placed as its row comes, while it is at hand: a large
// table's lamps are not gone over a second time. They are, all of them, if
// setting the content height scrolled the table after all.
void ReadIoTableRows(const rapidjson::Value& rows, QlUiOvList& list, QlOvListIo& binding) {
  NsDx2d::Dx2Table& table = list.table;
  const bool placeAsTheyCome = table.Unscrolled() && list.statusButtons.empty();
  ForEachJsonObject(rows, [&](const rapidjson::Value& row) {
    if (ReadIoTableRow(row, list, binding) && placeAsTheyCome)
      list.PlaceRowButton(list.statusButtons.back(), static_cast<uint16_t>(table.GetRowCount() - 1));
  });
  if (placeAsTheyCome) {
    table.UpdateContentHeight();
    if (table.Unscrolled()) return;
  }
  list.PlaceRows();
}

}  // namespace

bool WriteIoTableEntry(JsonWriter& writer, const PageWriteContext& context,
                       const QlElemData& entry) {
  const auto* ui = dynamic_cast<const QlUiOvList*>(entry.ui.get());
  const auto* io = dynamic_cast<const QlOvListIo*>(entry.io.get());
  if (ui == nullptr || io == nullptr) return false;

  const NsDx2d::Dx2Table& table = ui->table;
  BeginElementEntry(writer, NsQlUiElem::kElemOVTable);
  WriteRect(writer, context.TransformRect(table.GetRect()));
  WriteVisibility(writer, io);
  WriteTextMember(writer, "title", table.title.text);
  WriteUnsignedMember(writer, "title-color", table.title.textColour);
  WriteUnsignedMember(writer, "title-bk-color", table.title.backColour);
  WriteUnsignedMember(writer, "title-font-size", static_cast<uint32_t>(table.title.fontSize));
  writer.Key("col-width");
  writer.StartArray();
  for (std::size_t col = 0; col < kStoredColumns; ++col)
    WriteFloat(writer, col < table.columnCount ? table.columnWidths.Width(col) : 0.0f);
  writer.EndArray();
  WriteIoTableRows(writer, *ui, *io);
  writer.EndObject();
  return true;
}

bool ReadIoTableEntry(const rapidjson::Value& object, const PageReadContext& context,
                      std::shared_ptr<NsQlUiElem::QlUiElem>& ui,
                      std::shared_ptr<NsQlElemIo::QlIo>& io) {
  auto list = std::make_shared<QlUiOvList>();
  auto binding = std::make_shared<QlOvListIo>(list);
  NsDx2d::Dx2Table& table = list->table;

  D2D_RECT_F rect;
  if (ReadRect(object, rect)) {
    table.SetRect(context.TransformRect(rect));
    for (std::size_t i = 0; i < list->statusButtons.size(); ++i)
      list->PlaceRowButton(list->statusButtons[i], static_cast<uint16_t>(i + 1));
  }
  ReadVisibility(object, binding.get());

  ReadStringMember(object, "title", table.title.text);
  ReadUnsignedMember(object, "title-color", table.title.textColour);
  ReadTitleBkColor(object, table.title.backColour);
  int32_t fontSize = 0;
  if (ReadSignedMember(object, "title-font-size", fontSize)) table.title.fontSize = fontSize;

  if (const rapidjson::Value* widths = FindJsonMember(object, "col-width");
      widths != nullptr && widths->IsArray()) {
    std::size_t col = 0;
    for (const rapidjson::Value& width : widths->GetArray()) {
      // Only a number stored as a double within the float range; the others
      // are skipped without moving the later widths to other columns.
      if (width.IsFloat()) list->SetColumnWidth(col, width.GetFloat());
      ++col;
    }
  }

  if (const rapidjson::Value* rows = FindJsonMember(object, "desc-address-array")) {
    if (rows->IsArray()) {
      list->ReserveRows(rows->Size());
      binding->rowAddresses.reserve(std::min<std::size_t>(rows->Size(), 0xFFFF));
    }
    ReadIoTableRows(*rows, *list, *binding);
  }

  ui = std::move(list);
  io = std::move(binding);
  return true;
}

}  // namespace NsOvrin
