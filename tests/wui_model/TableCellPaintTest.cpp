#include "wui_model/TableCellPaint.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "wui_model/UTableBase.h"

using namespace NsOvrin;

namespace {

CellInfo Record(const UTableBase& table, uint16_t row, uint16_t col, uint16_t rowSpan, uint16_t colSpan,
                const std::string& text) {
  CellInfo cell;
  cell.row = row;
  cell.col = col;
  cell.rowSpan = rowSpan;
  cell.colSpan = colSpan;
  cell.text = text;
  table.ApplyDefaults(cell);
  return cell;
}

// A table of 4 columns and 4 rows:
//   row 0: "a" over columns 0-1, then "b" over column 2 and rows 0-1
//   row 2: "c" at column 3, then a later "d" at (2, 3) that "c" hides
struct SpanTable : ::testing::Test {
  SpanTable() : table(4, 0) {
    table.SetRowCount(4);
    table.cells.push_back(Record(table, 0, 0, 1, 2, "a"));
    table.cells.push_back(Record(table, 0, 2, 2, 1, "b"));
    table.cells.push_back(Record(table, 2, 3, 1, 1, "c"));
    table.cells.push_back(Record(table, 2, 3, 1, 1, "d"));
  }
  UTableBase table;
};

TEST_F(SpanTable, TheWalkDrawsEachRecordOnceAndSkipsWhatItCovers) {
  struct Case {
    uint16_t row, col;
    const char* text;  // of the covering record; null for none
    bool startsHere;
    int nextCol;
  };
  const Case cases[] = {
      {0, 0, "a", true, 2},    // a column span is drawn at its first column
      {0, 1, "a", false, 3},   // inside a span: the span's width is skipped from here
      {0, 2, "b", true, 3},
      {1, 2, "b", false, 3},   // under a row span from above
      {1, 0, nullptr, false, 1},
      {2, 3, "c", true, 4},    // the first record in list order wins
      {3, 65535, nullptr, false, 65536},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.row) + "," + std::to_string(c.col));
    const CellStep step = StepCell(table, c.row, c.col);
    if (c.text == nullptr) {
      EXPECT_EQ(step.record, nullptr);
    } else {
      ASSERT_NE(step.record, nullptr);
      EXPECT_EQ(step.record->text, c.text);
    }
    EXPECT_EQ(step.startsHere, c.startsHere);
    EXPECT_EQ(step.nextCol, c.nextCol);
  }
}

TEST(TableCellPaint, TheHookSeesAnEmptyCellAsAPlainRecordOfTheDefaults) {
  UTableBase table(3, 0);
  *table.columnAligns[2] = kCellAlignRight;
  const CellInfo cell = MakeDefaultCell(table, 7, 2);
  EXPECT_EQ(cell.row, 7);
  EXPECT_EQ(cell.col, 2);
  EXPECT_EQ(cell.rowSpan, 1);
  EXPECT_EQ(cell.colSpan, 1);
  EXPECT_TRUE(cell.text.empty());
  EXPECT_EQ(cell.textColour, table.defTextColour);
  EXPECT_EQ(cell.backColour, table.defBackColour);
  EXPECT_EQ(cell.fontSize, table.defFontSize);
  EXPECT_EQ(cell.fontFace, table.defFontFace);
  EXPECT_EQ(cell.align, table.columnAligns[2]);
  EXPECT_TRUE(table.IsDefaultCell(cell));
}

TEST(TableCellPaint, SpansAndOwnBackColoursAreFilled) {
  struct Case {
    const char* name;
    uint16_t rowSpan, colSpan;
    int back;  // -1 inherited through the shared object, -2 null, else an own value
    bool tableHasDefault;
    bool filled;
    uint32_t colour;
  };
  const Case cases[] = {
      {"plain inherited cell shows the background", 1, 1, -1, true, false, 0xF7F5F5},
      {"own colour", 1, 1, 0x00FF00, true, true, 0x00FF00},
      {"own colour equal to the default is still own", 1, 1, 0xF7F5F5, true, true, 0xF7F5F5},
      {"column span in the default colour", 1, 2, -1, true, true, 0xF7F5F5},
      {"row span with a reset colour", 3, 1, -2, true, true, 0xF7F5F5},
      {"nothing to go by", 1, 2, -2, false, true, kCellFallbackBackColour},
      {"reset plain cell", 1, 1, -2, true, false, 0xF7F5F5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UTableBase table(2, 0);
    CellInfo cell = Record(table, 0, 0, c.rowSpan, c.colSpan, "");
    if (c.back == -2) cell.backColour.reset();
    if (c.back >= 0) cell.backColour = std::make_shared<uint32_t>(static_cast<uint32_t>(c.back));
    if (!c.tableHasDefault) table.defBackColour.reset();
    EXPECT_EQ(CellNeedsFill(table, cell), c.filled);
    EXPECT_EQ(CellFillColour(table, cell), c.colour);
  }
}

TEST(TableCellPaint, NullAttributesInheritTheTablesDefaults) {
  UTableBase table(2, 0);
  *table.defTextColour = 0x123456;
  *table.defFontSize = 100;
  *table.columnAligns[1] = kCellAlignLeft;
  CellInfo cell = Record(table, 0, 1, 1, 1, "x");
  cell.textColour.reset();
  cell.fontSize.reset();
  cell.align.reset();
  EXPECT_EQ(CellTextColour(table, cell), 0x123456u);
  EXPECT_EQ(CellFontSize(table, cell), 100);
  EXPECT_EQ(CellAlignment(table, cell), kCellAlignLeft);

  cell.textColour = std::make_shared<uint32_t>(0xABCDEF);
  cell.fontSize = std::make_shared<int>(140);
  cell.align = std::make_shared<uint32_t>(kCellAlignRight);
  EXPECT_EQ(CellTextColour(table, cell), 0xABCDEFu);
  EXPECT_EQ(CellFontSize(table, cell), 140);
  EXPECT_EQ(CellAlignment(table, cell), kCellAlignRight);

  // Beyond the columns and without table defaults: the model's first values.
  table.defTextColour.reset();
  table.defFontSize.reset();
  CellInfo outside = Record(table, 0, 9, 1, 1, "x");
  outside.textColour.reset();
  outside.fontSize.reset();
  EXPECT_EQ(CellTextColour(table, outside), 0x333333u);
  EXPECT_EQ(CellFontSize(table, outside), 90);
  EXPECT_EQ(CellAlignment(table, outside), kCellAlignCentre);
}

TEST(TableCellPaint, TextKeepsFourPixelsFromTheSideItIsAlignedTo) {
  struct IntRect {
    int left, top, right, bottom;
    bool operator==(const IntRect&) const = default;
  };
  struct Case {
    uint32_t alignment;
    IntRect expected;
  };
  const Case cases[] = {
      {kCellAlignLeft, {14, 20, 110, 46}},
      {kCellAlignCentre, {10, 20, 110, 46}},
      {kCellAlignRight, {10, 20, 106, 46}},
      {kCellAlignCentre | kCellAlignRight, {10, 20, 110, 46}},  // centred wins
      {4, {14, 20, 110, 46}},                                    // no known flag: left
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.alignment);
    EXPECT_EQ(CellTextRect(IntRect{10, 20, 110, 46}, c.alignment), c.expected);
  }
}

}  // namespace
