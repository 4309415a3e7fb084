#include <gtest/gtest.h>

#include <any>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "wui_model/ResourceStrings.h"
#include "wui_model/UTableBase.h"

using namespace NsOvrin;

namespace {

// A record as the table would make it, spanning as asked.
CellInfo Record(const UTableBase& table, uint16_t row, uint16_t col, uint16_t rowSpan = 1, uint16_t colSpan = 1,
                const std::string& text = "") {
  CellInfo cell;
  cell.row = row;
  cell.col = col;
  cell.rowSpan = rowSpan;
  cell.colSpan = colSpan;
  cell.text = text;
  table.ApplyDefaults(cell);
  return cell;
}

// (row, col, rowSpan, text) of every record, in list order.
struct Placed {
  uint16_t row;
  uint16_t col;
  uint16_t rowSpan;
  std::string text;
  bool operator==(const Placed&) const = default;
};

std::vector<Placed> Layout(const UTableBase& table) {
  std::vector<Placed> out;
  for (const CellInfo& c : table.cells) out.push_back({c.row, c.col, c.rowSpan, c.text});
  return out;
}

void PrintTo(const Placed& p, std::ostream* os) {
  *os << "(" << p.row << "," << p.col << " span " << p.rowSpan << " \"" << p.text << "\")";
}

TEST(UTableBase, NewTableHasItsDefaultsAndNoRows) {
  UTableBase table(3, 1);
  EXPECT_EQ(table.columnCount, 3);
  EXPECT_EQ(table.flags, 1u);
  EXPECT_EQ(table.GetRowCount(), 0);
  EXPECT_TRUE(table.cells.empty());
  EXPECT_EQ(table.currentRow, 0xFFFF);
  EXPECT_EQ(table.gridColour, 0xE5D7D0u);
  EXPECT_EQ(table.outlineColour, 0x908782u);
  EXPECT_EQ(*table.defTextColour, 0x333333u);
  EXPECT_EQ(*table.defBackColour, 0xF7F5F5u);
  EXPECT_EQ(*table.defFontFace, "宋体");
  EXPECT_EQ(*table.defFontSize, 90);
  ASSERT_EQ(table.columnAligns.size(), 3u);
  for (const auto& align : table.columnAligns) EXPECT_EQ(*align, 1u);
  // Each column has an object of its own.
  EXPECT_NE(table.columnAligns[0], table.columnAligns[1]);
  EXPECT_EQ(table.GetColumnAlign(2), table.columnAligns[2]);
  EXPECT_EQ(table.GetColumnAlign(3), nullptr);
  EXPECT_EQ(table.GetCellText(0, 0), "");
  EXPECT_EQ(table.GetCellText(5, 7), "");
  EXPECT_FALSE(table.GetCurrentRowMark());
}

TEST(UTableBase, NewRecordsPointAtTheSharedDefaults) {
  UTableBase table(2, 0);
  table.SetRowCount(1);
  table.SetCellText(0, 1, "a");
  ASSERT_EQ(table.cells.size(), 1u);
  const CellInfo& cell = table.cells[0];
  EXPECT_EQ(cell.rowSpan, 1);
  EXPECT_EQ(cell.colSpan, 1);
  EXPECT_EQ(cell.textColour, table.defTextColour);
  EXPECT_EQ(cell.backColour, table.defBackColour);
  EXPECT_EQ(cell.fontSize, table.defFontSize);
  EXPECT_EQ(cell.fontFace, table.defFontFace);
  EXPECT_EQ(cell.align, table.columnAligns[1]);
}

TEST(UTableBase, SetCellText) {
  struct Case {
    const char* name;
    std::function<void(UTableBase&)> setUp;
    uint16_t row;
    uint16_t col;
    std::string text;
    std::vector<Placed> after;
  };
  const Case cases[] = {
      {"row at the row count", nullptr, 2, 0, "x", {}},
      {"column at the column count", nullptr, 0, 3, "x", {}},
      {"new record", nullptr, 1, 2, "x", {{1, 2, 1, "x"}}},
      {"empty text still makes a record", nullptr, 0, 0, "", {{0, 0, 1, ""}}},
      {"covered cell writes the span's record",
       [](UTableBase& t) { t.cells.push_back(Record(t, 0, 0, 2, 2, "old")); },
       1, 1, "new", {{0, 0, 2, "new"}}},
      {"emptied default record goes",
       [](UTableBase& t) {
         t.cells.push_back(Record(t, 0, 0, 1, 1, "a"));
         t.cells.push_back(Record(t, 1, 0, 1, 1, "b"));
       },
       0, 0, "", {{1, 0, 1, "b"}}},
      {"emptied record with an own colour stays",
       [](UTableBase& t) {
         t.SetCellText(0, 0, "a");
         t.SetCellTextColour(0, 0, 0xFF);
       },
       0, 0, "", {{0, 0, 1, ""}}},
      {"emptied span stays",
       [](UTableBase& t) { t.cells.push_back(Record(t, 0, 0, 1, 2, "a")); },
       0, 1, "", {{0, 0, 1, ""}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UTableBase table(3, 0);
    table.SetRowCount(2);
    if (c.setUp) c.setUp(table);
    table.SetCellText(c.row, c.col, c.text);
    EXPECT_EQ(Layout(table), c.after);
  }
}

TEST(UTableBase, GetCellTextUsesTheFirstCoveringRecord) {
  UTableBase table(4, 0);
  table.SetRowCount(4);
  table.cells.push_back(Record(table, 1, 1, 2, 2, "span"));
  table.cells.push_back(Record(table, 2, 2, 1, 1, "hidden"));
  table.cells.push_back(Record(table, 0, 0, 0, 1, "no rows"));
  EXPECT_EQ(table.GetCellText(2, 2), "span");
  EXPECT_EQ(table.GetCellText(1, 1), "span");
  EXPECT_EQ(table.GetCellText(3, 2), "");
  EXPECT_EQ(table.GetCellText(1, 3), "");
  EXPECT_EQ(table.GetCellText(0, 0), "");
  EXPECT_EQ(table.FindCell(2, 2), &table.cells[0]);

  // A span at the last row does not wrap round to row 0.
  table.cells.push_back(Record(table, 0xFFFF, 0, 2, 1, "last"));
  EXPECT_EQ(table.GetCellText(0xFFFF, 0), "last");
  EXPECT_EQ(table.FindCell(0, 0), nullptr);
}

// The record a search must give: the first in list order that covers the cell.
const CellInfo* FirstCovering(const UTableBase& table, uint16_t row, uint16_t col) {
  for (const CellInfo& cell : table.cells)
    if (cell.Covers(row, col)) return &cell;
  return nullptr;
}

// Large tables are searched through a lookup of the records; whatever changed
// the list, through the table or directly, every search still gives the first
// covering record and SetRowCount still trims what lies beyond the rows.
TEST(UTableBase, SearchesOfLargeTablesFollowEveryChangeOfTheList) {
  struct Step {
    const char* what;
    std::function<void(UTableBase&)> change;
  };
  const Step steps[] = {
      {"rows filled through the setters",
       [](UTableBase& t) {
         for (uint16_t r = 0; r < 40; ++r) {
           t.SetCellText(r, 0, "a" + std::to_string(r));
           t.SetCellBackColour(r, 1, 0x010203);
         }
       }},
      {"a span appended behind the records it covers",
       [](UTableBase& t) { t.cells.push_back(Record(t, 5, 0, 3, 2, "span")); }},
      {"a span placed in front", [](UTableBase& t) { t.cells[0] = Record(t, 10, 0, 4, 2, "front"); }},
      {"a record moved through the list", [](UTableBase& t) { t.cells.back().row = 30; }},
      {"a span widened through the list", [](UTableBase& t) { t.cells[1].rowSpan = 3; }},
      {"a middle record erased", [](UTableBase& t) { t.cells.erase(t.cells.begin() + 7); }},
      {"the last record dropped at its default",
       [](UTableBase& t) {
         t.SetCellText(45, 2, "last");
         t.SetCellText(45, 2, "");
       }},
      {"an own colour reset to the default", [](UTableBase& t) { t.ResetCellBackColour(20, 1); }},
      {"a row removed", [](UTableBase& t) { t.RemoveRow(3); }},
      {"rows cut", [](UTableBase& t) { t.SetRowCount(25); }},
      {"rows added again", [](UTableBase& t) { t.SetRowCount(50); }},
      {"records of a record-less row cleared", [](UTableBase& t) { t.ResetRowBackColour(12); }},
      {"the list replaced", [](UTableBase& t) {
         CellList copy = t.cells;
         copy.push_back(Record(t, 2, 2, 1, 1, "copied"));
         t.cells = copy;
       }},
      {"the list emptied and filled again", [](UTableBase& t) {
         t.cells.clear();
         for (uint16_t r = 0; r < 40; ++r) t.SetCellText(r, 2, "b");
       }},
  };
  UTableBase table(3, 0);
  table.SetRowCount(50);
  for (const Step& step : steps) {
    step.change(table);
    for (uint16_t r = 0; r < 52; ++r)
      for (uint16_t c = 0; c < 4; ++c)
        ASSERT_EQ(table.FindCell(r, c), FirstCovering(table, r, c)) << step.what << " at " << r << "," << c;
    for (const CellInfo& cell : table.cells) EXPECT_LE(cell.row + cell.rowSpan, 50) << step.what;
  }
  // Cutting the rows trims records the list itself spanned past them.
  table.cells.back().rowSpan = 20;
  table.SetRowCount(45);
  EXPECT_EQ(table.cells.back().row + table.cells.back().rowSpan, 45);
}

TEST(UTableBase, FirstRowReachingFindsWhereASpanFromAboveStarts) {
  // A short list is walked, a long one looked up: both answer alike.
  for (const std::size_t plain : {std::size_t{4}, std::size_t{60}}) {
    SCOPED_TRACE(plain);
    UTableBase table(3, 0);
    table.SetRowCount(100);
    for (std::size_t i = 0; i < plain; ++i)
      table.SetCellText(static_cast<uint16_t>(40 + i % 40), static_cast<uint16_t>(i / 40), "x");
    table.cells.push_back(Record(table, 10, 0, 6, 1));   // rows 10-15
    table.cells.push_back(Record(table, 12, 1, 10, 2));  // rows 12-21, two columns
    table.cells.push_back(Record(table, 30, 0, 1, 3));   // one row, every column
    table.cells.push_back(Record(table, 3, 2, 0, 1));    // no rows: reaches nowhere
    table.cells.push_back(Record(table, 5, 2, 20, 0));   // no columns: covers nothing
    const std::pair<uint16_t, uint16_t> expected[] = {{0, 0},   {3, 3},   {9, 9},   {10, 10}, {11, 10},
                                                      {15, 10}, {16, 12}, {21, 12}, {22, 22}, {30, 30},
                                                      {31, 31}, {45, 45}, {99, 99}, {100, 100}};
    for (const auto& [row, first] : expected) EXPECT_EQ(table.FirstRowReaching(row), first) << "row " << row;
  }
}

// A short list is walked rather than looked up: the same trimming, and a
// row count that no record reaches leaves the list as it is.
TEST(UTableBase, SetRowCountOnAShortListTrimsWhatReachesPastTheRows) {
  UTableBase table(3, 0);
  table.SetRowCount(6);
  table.cells.push_back(Record(table, 1, 0, 1, 1, "kept"));
  table.cells.push_back(Record(table, 2, 1, 3, 1, "span"));
  table.cells.push_back(Record(table, 4, 2, 1, 1, "beyond"));
  table.cells.push_back(Record(table, 3, 0, 0, 1, "no rows"));
  const uint64_t before = table.cells.Version();
  table.SetRowCount(8);
  table.SetRowCount(5);
  EXPECT_EQ(table.cells.Version(), before) << "nothing reached past 5 rows";
  EXPECT_EQ(table.cells.size(), 4u);

  table.SetRowCount(3);
  EXPECT_EQ(Layout(table), (std::vector<Placed>{{1, 0, 1, "kept"}, {2, 1, 1, "span"}}));
  EXPECT_EQ(table.GetRowCount(), 3);
}

TEST(UTableBase, OwnColourIsWrittenAndDroppedAtTheDefault) {
  UTableBase table(2, 0);
  table.SetRowCount(2);

  table.SetCellTextColour(1, 1, 0x0000FF);
  table.SetCellTextColour(1, 1, 0x00FF00);
  ASSERT_EQ(table.cells.size(), 1u);
  const std::shared_ptr<uint32_t> own = table.cells[0].textColour;
  EXPECT_NE(own, table.defTextColour);
  EXPECT_EQ(*own, 0x00FF00u);
  EXPECT_EQ(*table.defTextColour, 0x333333u);

  // Back at the default value, the record holds nothing any more.
  table.SetCellTextColour(1, 1, 0x333333);
  EXPECT_TRUE(table.cells.empty());

  // With a text the record stays and keeps the written object.
  table.SetCellText(0, 0, "t");
  table.SetCellTextColour(0, 0, 0x123456);
  table.SetCellTextColour(0, 0, 0x333333);
  ASSERT_EQ(table.cells.size(), 1u);
  EXPECT_NE(table.cells[0].textColour, table.defTextColour);
  EXPECT_EQ(*table.cells[0].textColour, 0x333333u);
}

TEST(UTableBase, FirstSetOfAnInheritedAttributeMakesAnObjectOfItsOwn) {
  UTableBase table(2, 0);
  // Even at the default value, and outside the rows: the record is made.
  table.SetCellBackColour(5, 1, 0xF7F5F5);
  ASSERT_EQ(table.cells.size(), 1u);
  EXPECT_NE(table.cells[0].backColour, table.defBackColour);
  EXPECT_EQ(*table.cells[0].backColour, 0xF7F5F5u);
  // The second write finds it default.
  table.SetCellBackColour(5, 1, 0xF7F5F5);
  EXPECT_TRUE(table.cells.empty());

  // An inherited attribute is replaced, never written through.
  table.SetRowCount(1);
  table.SetCellText(0, 0, "a");
  table.SetCellBackColour(0, 0, 0x010203);
  EXPECT_EQ(*table.defBackColour, 0xF7F5F5u);
  EXPECT_EQ(*table.cells[0].backColour, 0x010203u);
  // A null attribute too.
  table.cells[0].textColour.reset();
  table.SetCellTextColour(0, 0, 0x333333);
  ASSERT_NE(table.cells[0].textColour, nullptr);
  EXPECT_NE(table.cells[0].textColour, table.defTextColour);
}

TEST(UTableBase, ResettingTheBackColourDropsRecordsLeftDefault) {
  UTableBase table(3, 0);
  table.SetRowCount(3);
  table.SetCellBackColour(1, 0, 0xAA);  // colour only
  table.SetCellBackColour(1, 1, 0xBB);
  table.SetCellText(1, 1, "text");
  table.SetCellBackColour(1, 2, 0xCC);
  table.SetCellTextColour(1, 2, 0xDD);               // another own attribute
  table.cells.push_back(Record(table, 0, 0, 2, 1));  // starts above row 1
  table.cells.back().backColour = std::make_shared<uint32_t>(0xEE);
  table.SetCellBackColour(2, 0, 0xFF);

  table.ResetRowBackColour(1);
  EXPECT_EQ(Layout(table), (std::vector<Placed>{{1, 1, 1, "text"}, {1, 2, 1, ""}, {0, 0, 2, ""}, {2, 0, 1, ""}}));
  EXPECT_EQ(table.cells[0].backColour, nullptr);
  EXPECT_EQ(table.cells[1].backColour, nullptr);
  EXPECT_EQ(*table.cells[2].backColour, 0xEEu);

  table.ResetCellBackColour(2, 0);
  EXPECT_EQ(table.cells.size(), 3u);
  table.ResetCellBackColour(0, 2);  // no record: nothing
  EXPECT_EQ(table.cells.size(), 3u);
  // The span keeps its record: it is not 1 x 1.
  table.ResetCellBackColour(1, 0);
  EXPECT_EQ(table.cells.size(), 3u);
  EXPECT_EQ(table.cells[2].backColour, nullptr);
}

TEST(UTableBase, SharedBackColourRecoloursInheritingCellsOnly) {
  UTableBase table(2, 0);
  table.SetRowCount(1);
  table.SetCellText(0, 0, "inherits");
  table.SetCellBackColour(0, 1, 0x00AA00);
  table.SetBackColour(0x123456);
  EXPECT_EQ(*table.defBackColour, 0x123456u);
  EXPECT_EQ(*table.FindCell(0, 0)->backColour, 0x123456u);
  EXPECT_EQ(*table.FindCell(0, 1)->backColour, 0x00AA00u);

  table.defBackColour.reset();
  table.SetBackColour(0x111111);  // no default: nothing to write
  EXPECT_EQ(table.defBackColour, nullptr);
}

TEST(UTableBase, HeaderAlignmentAndFontSize) {
  UTableBase table(3, 0);
  table.SetRowCount(2);
  *table.columnAligns[1] = kCellAlignLeft;
  table.SetCellText(0, 1, "消息");
  table.CenterHeaderCell(1);
  const CellInfo* header = table.FindCell(0, 1);
  ASSERT_NE(header, nullptr);
  EXPECT_NE(header->align, table.columnAligns[1]);
  EXPECT_EQ(*header->align, kCellAlignCentre);
  // The column's default is untouched and no longer followed.
  *table.columnAligns[1] = kCellAlignRight;
  EXPECT_EQ(*header->align, kCellAlignCentre);

  table.SetHeaderFontSize(2, 120);
  const CellInfo* sized = table.FindCell(0, 2);
  ASSERT_NE(sized, nullptr);
  EXPECT_EQ(*sized->fontSize, 120);
  EXPECT_EQ(*table.defFontSize, 90);
  // Back to the default size, the textless record goes.
  table.SetHeaderFontSize(2, 90);
  EXPECT_EQ(table.FindCell(0, 2), nullptr);
  // A record below the header is never the header's.
  table.SetCellText(1, 0, "row 1");
  table.SetHeaderFontSize(0, 100);
  EXPECT_EQ(*table.FindCell(1, 0)->fontSize, 90);
  EXPECT_EQ(*table.FindCell(0, 0)->fontSize, 100);
}

TEST(UTableBase, CenteringUnderASpanLeavesTheFirstColumnsDefault) {
  UTableBase table(3, 0);
  table.SetRowCount(1);
  *table.columnAligns[0] = kCellAlignLeft;
  table.cells.push_back(Record(table, 0, 0, 1, 2, "title"));
  // The record inherits column 0's default; centring it through column 1
  // must not recentre every cell of column 0.
  table.CenterHeaderCell(1);
  EXPECT_EQ(*table.columnAligns[0], kCellAlignLeft);
  EXPECT_EQ(*table.cells[0].align, kCellAlignCentre);
  EXPECT_NE(table.cells[0].align, table.columnAligns[0]);
  ASSERT_EQ(table.cells.size(), 1u);
}

TEST(UTableBase, IsDefaultCell) {
  UTableBase table(2, 0);
  struct Case {
    const char* name;
    std::function<void(CellInfo&)> change;
    bool isDefault;
  };
  const Case cases[] = {
      {"as made", [](CellInfo&) {}, true},
      {"null attributes",
       [](CellInfo& c) {
         c.textColour.reset();
         c.backColour.reset();
         c.fontSize.reset();
         c.fontFace.reset();
         c.align.reset();
       },
       true},
      {"text", [](CellInfo& c) { c.text = "a"; }, false},
      {"row span", [](CellInfo& c) { c.rowSpan = 2; }, false},
      {"column span", [](CellInfo& c) { c.colSpan = 2; }, false},
      {"own colour of the default value", [](CellInfo& c) { c.textColour = std::make_shared<uint32_t>(0x333333); },
       true},
      {"own text colour", [](CellInfo& c) { c.textColour = std::make_shared<uint32_t>(1); }, false},
      {"own back colour", [](CellInfo& c) { c.backColour = std::make_shared<uint32_t>(1); }, false},
      {"own font size", [](CellInfo& c) { c.fontSize = std::make_shared<int>(100); }, false},
      {"equal face text", [](CellInfo& c) { c.fontFace = std::make_shared<std::string>("宋体"); }, true},
      {"other face", [](CellInfo& c) { c.fontFace = std::make_shared<std::string>("黑体"); }, false},
      {"alignment of the column default", [](CellInfo& c) { c.align = std::make_shared<uint32_t>(1); }, true},
      {"other alignment", [](CellInfo& c) { c.align = std::make_shared<uint32_t>(0); }, false},
      {"alignment outside the columns",
       [](CellInfo& c) {
         c.col = 5;
         c.align = std::make_shared<uint32_t>(1);
       },
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CellInfo cell = Record(table, 0, 1);
    c.change(cell);
    EXPECT_EQ(table.IsDefaultCell(cell), c.isDefault);
  }
  // The column's own default decides, and a table without a default face
  // accepts only an inherited one.
  *table.columnAligns[1] = 0;
  CellInfo left = Record(table, 0, 1);
  left.align = std::make_shared<uint32_t>(0);
  EXPECT_TRUE(table.IsDefaultCell(left));
  table.defFontFace.reset();
  EXPECT_FALSE(table.IsDefaultCell(left));
}

// Records the rows the table asks to initialise.
class RecordingTable : public UTableBase {
 public:
  RecordingTable() : UTableBase(2, 0) {}
  void InitRowData(uint16_t row) override {
    initialised.push_back(row);
    rowData[row] = std::string("row ") + std::to_string(row);
  }
  std::vector<uint16_t> initialised;
};

TEST(UTableBase, SetRowCountTrimsRecordsAndInitialisesNewRows) {
  RecordingTable table;
  table.SetRowCount(3);
  EXPECT_EQ(table.initialised, (std::vector<uint16_t>{0, 1, 2}));
  EXPECT_EQ(std::any_cast<std::string>(table.rowData[2]), "row 2");

  table.cells.push_back(Record(table, 0, 0, 2, 1, "spans two"));
  table.cells.push_back(Record(table, 1, 1, 1, 1, "row 1"));
  table.cells.push_back(Record(table, 0, 1, 1, 1, "row 0"));
  auto held = std::make_shared<int>(7);
  table.rowData[1] = held;
  table.currentRow = 2;

  table.initialised.clear();
  table.SetRowCount(1);
  EXPECT_TRUE(table.initialised.empty());
  EXPECT_EQ(Layout(table), (std::vector<Placed>{{0, 0, 1, "spans two"}, {0, 1, 1, "row 0"}}));
  EXPECT_EQ(table.GetRowCount(), 1);
  EXPECT_EQ(held.use_count(), 1);  // the dropped row's data is released
  EXPECT_EQ(table.currentRow, 2);  // the users clear it themselves

  table.SetRowCount(3);
  EXPECT_EQ(table.initialised, (std::vector<uint16_t>{1, 2}));
  EXPECT_EQ(std::any_cast<std::string>(table.rowData[0]), "row 0");
}

TEST(UTableBase, RemoveRow) {
  struct Case {
    const char* name;
    std::vector<Placed> before;
    uint16_t removed;
    std::vector<Placed> after;
  };
  const Case cases[] = {
      {"one record per row, first removed",
       {{0, 0, 1, "a"}, {1, 0, 1, "b"}, {2, 0, 1, "c"}},
       0,
       {{0, 0, 1, "b"}, {1, 0, 1, "c"}}},
      {"span across the row shrinks", {{0, 0, 3, "s"}, {3, 0, 1, "d"}}, 1, {{0, 0, 2, "s"}, {2, 0, 1, "d"}}},
      {"span starting on the row stays there", {{1, 0, 2, "s"}, {0, 1, 1, "a"}}, 1, {{1, 0, 1, "s"}, {0, 1, 1, "a"}}},
      {"rows above are kept", {{0, 0, 1, "a"}, {1, 1, 1, "b"}}, 2, {{0, 0, 1, "a"}, {1, 1, 1, "b"}}},
      {"records beyond the rows move as well", {{5, 0, 1, "x"}, {4, 0, 1, "y"}}, 4, {{4, 0, 1, "x"}}},
      {"row-less record keeps its place", {{1, 0, 0, "z"}}, 1, {{1, 0, 0, "z"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UTableBase table(2, 0);
    table.SetRowCount(3);
    for (const Placed& p : c.before) table.cells.push_back(Record(table, p.row, p.col, p.rowSpan, 1, p.text));
    table.RemoveRow(c.removed);
    EXPECT_EQ(Layout(table), c.after);
  }
}

TEST(UTableBase, RemoveRowMovesRowDataUp) {
  UTableBase table(1, 0);
  table.SetRowCount(3);
  for (int i = 0; i < 3; ++i) table.rowData[static_cast<std::size_t>(i)] = i;
  table.currentRow = 1;
  table.RemoveRow(1);
  ASSERT_EQ(table.GetRowCount(), 2);
  EXPECT_EQ(std::any_cast<int>(table.rowData[0]), 0);
  EXPECT_EQ(std::any_cast<int>(table.rowData[1]), 2);
  EXPECT_EQ(table.currentRow, 1);
  table.RemoveRow(7);  // beyond the rows: no data changes
  EXPECT_EQ(table.GetRowCount(), 2);
}

TEST(UTableBase, SetCellTextSzTakesLiteralsAndStringTableIds) {
  SetResourceStrings({{5, "报警信息"}});
  UTableBase table(2, 0);
  table.SetRowCount(1);

  table.SetCellTextSz(0, 0, reinterpret_cast<const char*>(std::uintptr_t{5}));
  EXPECT_EQ(table.GetCellText(0, 0), "报警信息");
  table.SetCellTextSz(0, 0, "指 令");
  EXPECT_EQ(table.GetCellText(0, 0), "指 令");
  table.SetCellTextSz(0, 0, reinterpret_cast<const char*>(std::uintptr_t{6}));  // not in the table
  EXPECT_EQ(table.FindCell(0, 0), nullptr);
  table.SetCellTextSz(0, 1, nullptr);
  ASSERT_NE(table.FindCell(0, 1), nullptr);
  EXPECT_EQ(table.GetCellText(0, 1), "");

  ClearResourceStrings();
  table.SetCellTextSz(0, 0, reinterpret_cast<const char*>(std::uintptr_t{5}));
  EXPECT_EQ(table.GetCellText(0, 0), "");
}

TEST(UTableBaseAddCell, MakesTheRecordTheThreeSettersMake) {
  UTableBase bySetters(3, 0);
  UTableBase inOneStep(3, 0);
  for (UTableBase* table : {&bySetters, &inOneStep}) table->SetRowCount(4);
  bySetters.SetCellText(2, 1, "泵");
  bySetters.SetCellBackColour(2, 1, 0xFAFAFA);
  bySetters.SetCellTextColour(2, 1, 0x666666);
  ASSERT_TRUE(inOneStep.AddCell(2, 1, "泵", 0x666666, 0xFAFAFA));

  ASSERT_EQ(inOneStep.cells.size(), 1u);
  const CellInfo& made = inOneStep.cells[0];
  const CellInfo& expected = std::as_const(bySetters).cells[0];
  EXPECT_EQ(made.row, expected.row);
  EXPECT_EQ(made.col, expected.col);
  EXPECT_EQ(made.text, expected.text);
  EXPECT_EQ(*made.textColour, *expected.textColour);
  EXPECT_EQ(*made.backColour, *expected.backColour);
  // Own colours: objects of the cell's own, so writing one changes no other.
  EXPECT_NE(made.textColour, inOneStep.defTextColour);
  EXPECT_NE(made.backColour, inOneStep.defBackColour);
  EXPECT_NE(made.textColour, made.backColour);
  EXPECT_EQ(made.fontSize, inOneStep.defFontSize);
  EXPECT_EQ(made.fontFace, inOneStep.defFontFace);
  EXPECT_EQ(made.align, inOneStep.GetColumnAlign(1));
  EXPECT_EQ(inOneStep.GetCellText(2, 1), "泵");

  inOneStep.SetCellTextColour(2, 1, 0x123456);
  EXPECT_EQ(*inOneStep.defTextColour, *bySetters.defTextColour) << "the default is untouched";
}

TEST(UTableBaseAddCell, RefusesACoveredCellAndCellsOutsideTheTable) {
  UTableBase table(2, 0);
  table.SetRowCount(3);
  table.SetCellText(1, 0, "a");
  const struct {
    uint16_t row;
    uint16_t col;
  } refused[] = {{1, 0}, {3, 0}, {0, 2}};
  for (const auto& cell : refused) {
    SCOPED_TRACE(testing::Message() << cell.row << "," << cell.col);
    EXPECT_FALSE(table.AddCell(cell.row, cell.col, "b", 1, 2));
  }
  EXPECT_EQ(table.cells.size(), 1u);
  EXPECT_EQ(table.GetCellText(1, 0), "a");
}

}  // namespace
