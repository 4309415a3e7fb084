#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "QlUiElem/QlUiOvList.h"
#include "QlUiElem/QlUiText.h"
#include "element_io/QlOvListIo.h"
#include "element_io/QlTextIo.h"
#include "project_persistence/EntryTestSupport.h"
#include "project_persistence/IoTableEntries.h"

namespace NsOvrin {
namespace {

using NsQlElemIo::QlIo;
using NsQlElemIo::QlOvListIo;
using NsQlUiElem::QlElemData;
using NsQlUiElem::QlPageData;
using NsQlUiElem::QlUiElem;
using NsQlUiElem::QlUiOvList;
using namespace Testing;

struct Row {
  std::string address;
  std::string description;
};

// A table set up in the order the reader sets it up: rectangle, title,
// widths, rows.
QlElemData Table(const NsDx2d::D2D_RECT_F& rect, const NsQlElemIo::BaseIoData& visibility,
                 const std::string& title, uint32_t textColour, uint32_t backColour, int fontSize,
                 float width0, float width1, const std::vector<Row>& rows) {
  auto ui = std::make_shared<QlUiOvList>();
  auto io = std::make_shared<QlOvListIo>(ui);
  ui->table.SetRect(rect);
  *io->GetBaseIoData() = visibility;
  ui->table.title.text = title;
  ui->table.title.textColour = textColour;
  ui->table.title.backColour = backColour;
  ui->table.title.fontSize = fontSize;
  ui->SetColumnWidth(0, width0);
  ui->SetColumnWidth(1, width1);
  for (const Row& row : rows) {
    EXPECT_TRUE(ui->AddRow(row.description));
    io->rowAddresses.push_back(row.address);
  }
  return {NsQlUiElem::kElemOVTable, ui, io};
}

// The page of data/io_table_entries.ovpg; rectangles moved by shift.
std::shared_ptr<QlPageData> IoTablePage(float shift = 0.0f) {
  auto page = std::make_shared<QlPageData>();
  page->name = "io_table_entries";
  page->rect = {0.0f, 0.0f, 800.0f, 480.0f};
  page->elements.push_back(Table(Shifted({10.0f, 20.0f, 400.0f, 300.0f}, shift),
                                 {true, false, "PLC1.0x00030"}, "输入 \"X\"", 0x0000FF, 0xFFFFFF,
                                 140, 250.5f, 80.0f,
                                 {{"PLC1.0x00001", "急停"}, {"PLC1.1x00002", ""}, {"", "备用"}}));
  // A new table, placed.
  auto fresh = std::make_shared<QlUiOvList>();
  fresh->table.SetRect(Shifted({410.0f, 20.0f, 790.0f, 300.25f}, shift));
  page->elements.push_back({NsQlUiElem::kElemOVTable, fresh, std::make_shared<QlOvListIo>(fresh)});
  return page;
}

void ExpectSameElement(const QlElemData& e, const QlElemData& a) {
  ASSERT_EQ(e.type, a.type);
  const auto* ui = dynamic_cast<const QlUiOvList*>(a.ui.get());
  const auto* io = dynamic_cast<const QlOvListIo*>(a.io.get());
  ASSERT_TRUE(ui && io);
  const auto& eui = dynamic_cast<const QlUiOvList&>(*e.ui);
  const auto& eio = dynamic_cast<const QlOvListIo&>(*e.io);
  // The binding marks the lamps of the record it came with.
  EXPECT_EQ(io->GetUi().get(), ui);
  ExpectSameVisibility(*eio.GetBaseIoDataConst(), *io);
  ExpectSameRect(eui.GetRect(), ui->GetRect());
  EXPECT_EQ(eui.table.title.text, ui->table.title.text);
  EXPECT_EQ(eui.table.title.textColour, ui->table.title.textColour);
  EXPECT_EQ(eui.table.title.backColour, ui->table.title.backColour);
  EXPECT_EQ(eui.table.title.fontSize, ui->table.title.fontSize);
  EXPECT_EQ(eui.table.columnWidths.Widths(), ui->table.columnWidths.Widths());
  EXPECT_EQ(eio.rowAddresses, io->rowAddresses);
  EXPECT_EQ(eui.data.descriptions, ui->data.descriptions);
  EXPECT_EQ(ui->table.GetRowCount(), ui->data.descriptions.size() + 1);
  ASSERT_EQ(eui.statusButtons.size(), ui->statusButtons.size());
  for (std::size_t i = 0; i < ui->statusButtons.size(); ++i) {
    SCOPED_TRACE(i);
    ASSERT_NE(ui->statusButtons[i], nullptr);
    EXPECT_EQ(ui->table.GetCellText(static_cast<uint16_t>(i + 1), 0), ui->data.descriptions[i]);
    ExpectSameRect(eui.statusButtons[i]->data.rect, ui->statusButtons[i]->data.rect);
  }
}

TEST(IoTableEntriesTest, TwoTablesAreWrittenByteForByte) {
  TempFolder project;
  ASSERT_TRUE(SavePageFile(project.Path(), IoTablePage(), nullptr));
  EXPECT_EQ(ReadFileText(project / "io_table_entries.ovpg"),
            ReadFileText(TestDataPath("io_table_entries.ovpg")));
}

TEST(IoTableEntriesTest, EveryKeyIsReadAndWrittenBackUnchanged) {
  FixtureProject project("io_table_entries", {});
  const std::shared_ptr<QlPageData> page = project.LoadForEdit();
  ASSERT_NE(page, nullptr);
  const std::shared_ptr<QlPageData> expected = IoTablePage(20.0f);
  ASSERT_EQ(page->elements.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    ExpectSameElement(expected->elements[i], page->elements[i]);
  }

  // Every lamp sits in its row's status cell of the placed table.
  const auto& table = dynamic_cast<const QlUiOvList&>(*page->elements[0].ui);
  ASSERT_EQ(table.statusButtons.size(), 3u);
  for (uint16_t row = 1; row <= 3; ++row) {
    SCOPED_TRACE(row);
    const NsDx2d::D2D_RECT_F cell = table.table.GetSecondColumnCellRect(row);
    const NsDx2d::D2D_RECT_F lamp = table.statusButtons[row - 1u]->data.rect;
    EXPECT_FLOAT_EQ(lamp.right - lamp.left, QlUiOvList::kLampSize);
    EXPECT_FLOAT_EQ(lamp.left + lamp.right, cell.left + cell.right);
    EXPECT_FLOAT_EQ(lamp.top + lamp.bottom, cell.top + cell.bottom);
    EXPECT_GT(lamp.left, 30.0f + 250.5f);
    EXPECT_GT(lamp.top, 40.0f + table.table.title.height + row * table.table.rowHeight);
  }

  ASSERT_TRUE(SavePageFile(project.Path(), page, kSaveShift));
  EXPECT_EQ(project.Saved(), project.Fixture());
}

// data/io_table_fallbacks.ovpg: no keys; every key mistyped; rows that lack
// a text or are no objects.
TEST(IoTableEntriesTest, MissingAndMistypedKeysKeepEveryDefault) {
  FixtureProject project("io_table_fallbacks", {});
  const std::shared_ptr<QlPageData> page = project.LoadForEdit();
  ASSERT_NE(page, nullptr);
  ASSERT_EQ(page->elements.size(), 3u);
  auto fresh = std::make_shared<QlUiOvList>();
  const QlElemData defaults{NsQlUiElem::kElemOVTable, fresh, std::make_shared<QlOvListIo>(fresh)};
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    ExpectSameElement(defaults, page->elements[i]);
  }
  // The defaults the file falls back to.
  EXPECT_EQ(fresh->table.title.text, "IO表");
  EXPECT_EQ(fresh->table.title.fontSize, 120);
  EXPECT_EQ(fresh->table.columnWidths.Widths(), (std::vector<float>{300.0f, 60.0f}));
  ExpectSameRect({}, fresh->GetRect());
}

TEST(IoTableEntriesTest, ColumnWidthsAreTakenOnlyAsDoublesAndKeepTheirColumn) {
  struct Case {
    const char* json;
    std::vector<float> widths;
  };
  const Case cases[] = {
      {R"({"col-width":[300,60]})", {300.0f, 60.0f}},
      {R"({"col-width":[250.0,70.5]})", {250.0f, 70.5f}},
      {R"({"col-width":[200.0,60]})", {200.0f, 60.0f}},
      {R"({"col-width":["a",70.5]})", {300.0f, 70.5f}},
      {R"({"col-width":[1e39,2e1]})", {300.0f, 20.0f}},
      {R"({"col-width":[1.0,2.0,3.0]})", {1.0f, 2.0f}},
      {R"({"col-width":[120.0]})", {120.0f, 60.0f}},
      {R"({"col-width":120.0})", {300.0f, 60.0f}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.json);
    const ReadEntry read = ReadOne(&ReadIoTableEntry, c.json);
    EXPECT_EQ(dynamic_cast<const QlUiOvList&>(*read.ui).table.columnWidths.Widths(), c.widths);
  }
}

// The same floats, NaN included.
bool SameBits(const NsDx2d::D2D_RECT_F& a, const NsDx2d::D2D_RECT_F& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// The reader places each lamp as its row comes; wherever the table ends up,
// every lamp lies where placing it afresh puts it.
TEST(IoTableEntriesTest, EveryLampReadLiesWhereTheFinishedTablePutsIt) {
  struct Case {
    const char* name;
    const char* geometry;
    int rows;
  };
  const Case cases[] = {
      {"rows within the view", R"("rect":{"left":10.0,"top":20.0,"right":400.0,"bottom":400.0})", 3},
      {"rows past the view", R"("rect":{"left":10.0,"top":20.0,"right":400.0,"bottom":120.0})", 40},
      {"columns past the view",
       R"("rect":{"left":5.0,"top":5.0,"right":200.0,"bottom":90.0},"col-width":[300.0,120.0])", 12},
      {"no rectangle", "", 5},
      {"widths past the float range", R"("col-width":[3e38,3e38])", 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string json = std::string("{") + c.geometry + (*c.geometry != 0 ? "," : "") + R"("desc-address-array":[)";
    for (int i = 0; i < c.rows; ++i)
      json += std::string(i > 0 ? "," : "") + R"({"address":"PLC1.0x)" + std::to_string(i + 1) +
              R"(","description":"d)" + std::to_string(i) + R"("})";
    json += "]}";
    const ReadEntry read = ReadOne(&ReadIoTableEntry, json);
    auto& list = dynamic_cast<QlUiOvList&>(*read.ui);
    ASSERT_EQ(list.statusButtons.size(), static_cast<std::size_t>(c.rows));
    for (int i = 0; i < c.rows; ++i) {
      SCOPED_TRACE(i);
      const std::shared_ptr<NsQlUiElem::QlUiButton> afresh = list.MakeRowButton(static_cast<uint16_t>(i + 1));
      const NsQlUiElem::QlUiButton& lamp = *list.statusButtons[static_cast<std::size_t>(i)];
      EXPECT_TRUE(SameBits(lamp.data.rect, afresh->data.rect));
      EXPECT_TRUE(SameBits(lamp.painter.rect, afresh->painter.rect));
      EXPECT_EQ(lamp.painter.cornerRadius, afresh->painter.cornerRadius);
    }
  }
}

TEST(IoTableEntriesTest, RowsArePairedAndTheShorterListIsPaddedWithEmptyTexts) {
  // Three addresses, two descriptions: three row objects.
  auto ui = std::make_shared<QlUiOvList>();
  auto io = std::make_shared<QlOvListIo>(ui);
  ASSERT_TRUE(ui->AddRow("a"));
  ASSERT_TRUE(ui->AddRow("b"));
  io->rowAddresses = {"PLC1.0x1", "PLC1.0x2", "PLC1.0x3"};
  std::string written = WriteOne(&WriteIoTableEntry, {14, ui, io});
  const std::string rows = R"("desc-address-array":[{"address":"PLC1.0x1","description":"a"},)"
                           R"({"address":"PLC1.0x2","description":"b"},)"
                           R"({"address":"PLC1.0x3","description":""}]})";
  ASSERT_NE(written.find(rows), std::string::npos) << written;

  // Read again: three rows, the third without a description.
  ReadEntry read = ReadOne(&ReadIoTableEntry, written);
  EXPECT_EQ(dynamic_cast<const QlUiOvList&>(*read.ui).data.descriptions,
            (std::vector<std::string>{"a", "b", ""}));
  EXPECT_EQ(dynamic_cast<const QlOvListIo&>(*read.io).rowAddresses, io->rowAddresses);
  EXPECT_EQ(dynamic_cast<const QlUiOvList&>(*read.ui).statusButtons.size(), 3u);

  // More descriptions than addresses.
  io->rowAddresses = {};
  written = WriteOne(&WriteIoTableEntry, {14, ui, io});
  EXPECT_NE(written.find(R"("desc-address-array":[{"address":"","description":"a"},)"
                         R"({"address":"","description":"b"}]})"),
            std::string::npos)
      << written;

  // A row object lacking a text is skipped and the pairs stay aligned.
  read =
      ReadOne(&ReadIoTableEntry, R"({"desc-address-array":[{"address":"A1","description":"one"},)"
                                 R"({"address":"A2"},{"description":"three"},)"
                                 R"({"address":"A4","description":"four"}]})");
  EXPECT_EQ(dynamic_cast<const QlUiOvList&>(*read.ui).data.descriptions,
            (std::vector<std::string>{"one", "four"}));
  EXPECT_EQ(dynamic_cast<const QlOvListIo&>(*read.io).rowAddresses,
            (std::vector<std::string>{"A1", "A4"}));
}

TEST(IoTableEntriesTest, TheVisibilityKeysStandRightAfterTheRectangle) {
  auto ui = std::make_shared<QlUiOvList>();
  auto io = std::make_shared<QlOvListIo>(ui);
  *io->GetBaseIoData() = {true, true, "PLC1.0x9"};
  EXPECT_EQ(WriteOne(&WriteIoTableEntry, {14, ui, io}),
            R"({"type":"OVTable","rect":{"left":0.0,"top":0.0,"right":0.0,"bottom":0.0},)"
            R"("enable-visib":true,"address-for-visib":"PLC1.0x9","show-when-true":true,)"
            R"("title":"IO表","title-color":6710886,"title-bk-color":15790320,)"
            R"("title-font-size":120,"col-width":[300.0,60.0],"desc-address-array":[]})");
}

TEST(IoTableEntriesTest, TheWriterNeedsAnIoTableAndItsBinding) {
  struct Case {
    const char* name;
    std::shared_ptr<QlUiElem> ui;
    std::shared_ptr<QlIo> io;
    bool written;
  };
  const auto table = std::make_shared<QlUiOvList>();
  const auto io = std::make_shared<QlOvListIo>(table);
  const Case cases[] = {
      {"IO table", table, io, true},
      {"without binding", table, nullptr, false},
      {"without record", nullptr, io, false},
      {"with a text binding", table, std::make_shared<NsQlElemIo::QlTextIo>(), false},
      {"holding a text", std::make_shared<NsQlUiElem::QlUiText>(), io, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool written = !c.written;
    const std::string output = WriteOne(&WriteIoTableEntry, {14, c.ui, c.io}, &written);
    EXPECT_EQ(written, c.written);
    EXPECT_EQ(output.empty(), !c.written);
  }
}

}  // namespace
}  // namespace NsOvrin
