#include "QlUiElem/QlUiOvList.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "AlarmTableRows.h"
#include "dx2d/RecordingDrawContext.h"

using namespace NsOvrin;
using namespace NsOvrin::NsQlUiElem;
using namespace NsOvrin::NsQlUiElem::Testing;
using namespace NsOvrin::NsDx2d;
using Lines = std::vector<std::string>;

namespace {

constexpr uint32_t kDescription = 0x666666;

// An element as the factory places one, then given rows.
std::shared_ptr<QlUiOvList> PlacedList(const std::vector<std::string>& descriptions,
                                       D2D_RECT_F rect = {0, 0, 390, 210}) {
  auto list = std::make_shared<QlUiOvList>();
  list->table.SetRect(rect);
  for (const std::string& d : descriptions) EXPECT_TRUE(list->AddRow(d));
  return list;
}

// Lamp of table row r in a list placed at (0, 0): the status column spans
// 305-367 and row r 32 r + 33 to 32 r + 63.
D2D_RECT_F LampRect(int row) {
  const float cy = 32.0f * static_cast<float>(row) + 48.0f;
  return {327, cy - 9, 345, cy + 9};
}

}  // namespace

TEST(QlUiOvList, ANewListHasTheHeaderRowOnly) {
  const QlUiOvList list;
  EXPECT_TRUE(list.shown);
  EXPECT_FALSE(list.inError);
  EXPECT_EQ(list.data.counter, 0);
  EXPECT_EQ(list.data.title, "IO表");
  EXPECT_TRUE(list.data.descriptions.empty());
  EXPECT_TRUE(list.statusButtons.empty());

  const Dx2Table& t = list.table;
  EXPECT_EQ(t.GetRowCount(), 1);
  EXPECT_EQ(t.title.text, "IO表");
  EXPECT_EQ(t.title.backColour, 0xF0F0F0u);
  EXPECT_EQ(t.title.textColour, 0x666666u);
  EXPECT_EQ(t.title.fontSize, 120);
  EXPECT_EQ(t.title.height, 32.0f);
  EXPECT_TRUE(t.title.shown);
  EXPECT_EQ(t.rowHeight, 32.0f);
  EXPECT_EQ(*t.defFontSize, 100);
  EXPECT_EQ(t.gridColour, 0xD8D8D8u);
  EXPECT_TRUE(t.columnWidths.Resizable());
  EXPECT_EQ(t.columnWidths.Widths(), (std::vector<float>{300.0f, 60.0f}));
  EXPECT_EQ(t.columnWidths.Edges(), (std::vector<float>{0.0f, 304.0f, 368.0f}));
  EXPECT_FLOAT_EQ(t.scrollBars.contentWidth, 372.0f);
  EXPECT_FLOAT_EQ(t.scrollBars.contentHeight, 34.0f);
  EXPECT_EQ(*t.columnAligns[0], kCellAlignRight);
  EXPECT_EQ(*t.columnAligns[1], kCellAlignCentre);
  EXPECT_TRUE(static_cast<bool>(t.cellDrawHook));

  EXPECT_EQ(ShowRow(t, 0), (ShownRow{"描 述", "状 态", 0x6E7A89, 0x6E7A89, 0xEAECEA, 0xEAECEA}));
  EXPECT_EQ(CellAlignment(t, *t.FindCell(0, 0)), kCellAlignCentre);
  EXPECT_EQ(CellAlignment(t, *t.FindCell(0, 1)), kCellAlignCentre);
}

TEST(QlUiOvList, RowsAreStripedAndGetACentredLamp) {
  auto list = PlacedList({"启动", "停止", "急停"});
  EXPECT_EQ(list->data.descriptions, (std::vector<std::string>{"启动", "停止", "急停"}));
  EXPECT_EQ(list->table.GetRowCount(), 4);
  EXPECT_FLOAT_EQ(list->table.scrollBars.contentHeight, 4 * 32.0f + 2.0f);
  EXPECT_EQ(DataRows(list->table), (std::vector<ShownRow>{
                                       {"启动", "", kDescription, 0x333333, 0xFAFAFA, 0},
                                       {"停止", "", kDescription, 0x333333, 0xEFEFEF, 0},
                                       {"急停", "", kDescription, 0x333333, 0xFAFAFA, 0},
                                   }));
  ASSERT_EQ(list->statusButtons.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const QlUiButton& lamp = *list->statusButtons[static_cast<std::size_t>(i)];
    EXPECT_EQ(lamp.data.borderStyle, kButtonCircular);
    EXPECT_EQ(lamp.painter.style, 3);
    EXPECT_EQ(lamp.data.bkColour, 0xC0C0C0u);
    EXPECT_EQ(lamp.data.bkColour2, 0x00FF00u);
    EXPECT_EQ(lamp.data.borderColour, 0x587658u);
    EXPECT_EQ(lamp.data.state, 0);
    EXPECT_EQ(lamp.data.rect, LampRect(i + 1));
    EXPECT_EQ(lamp.painter.rect, LampRect(i + 1));
    EXPECT_EQ(lamp.painter.cornerRadius, 4.0f);
    EXPECT_EQ(lamp.GetRect().right - lamp.GetRect().left, QlUiOvList::kLampSize);
  }
}

TEST(QlUiOvList, DrawsHeaderRowsAndLamps) {
  auto list = PlacedList({"启动", "停止"});
  list->statusButtons[1]->SetState(2);
  RecordingDrawContext d2;
  list->Draw(d2.Info());

  std::string grid = "DrawGeometry alternate";
  for (int y = 32; y <= 32 + 7 * 32; y += 32) grid += " [hollow M(0," + std::to_string(y) + ") L(390," + std::to_string(y) + ") open]";
  grid += " [hollow M(304,32) L(304,210) open] [hollow M(368,32) L(368,210) open] 0xD8D8D8@1 w=1";
  const std::string size = " 微软雅黑 13.3333 ";
  EXPECT_EQ(d2.Calls(), (Lines{
                            "FillRectangle (0,0,390,210) 0xF7F5F5@1",
                            "PushAxisAlignedClip (1,1,389,209)",
                            grid,
                            "PopAxisAlignedClip",
                            "PushAxisAlignedClip (2,2,387,207)",
                            "FillRectangle (1,33,303,63) 0xEAECEA@1",
                            "DrawText \"描 述\" (1,33,303,63) 0x6E7A89@1" + size + "centre/centre",
                            "FillRectangle (305,33,367,63) 0xEAECEA@1",
                            "DrawText \"状 态\" (305,33,367,63) 0x6E7A89@1" + size + "centre/centre",
                            "FillRectangle (1,65,303,95) 0xFAFAFA@1",
                            "DrawText \"启动\" (1,65,299,95) 0x666666@1" + size + "trailing/centre",
                            "FillRectangle (305,65,367,95) 0xFAFAFA@1",
                            "FillEllipse c=(336,80) r=(9,9) 0xC0C0C0@1",
                            "DrawEllipse c=(336,80) r=(9,9) 0x587658@1 w=1",
                            "FillRectangle (1,97,303,127) 0xEFEFEF@1",
                            "DrawText \"停止\" (1,97,299,127) 0x666666@1" + size + "trailing/centre",
                            "FillRectangle (305,97,367,127) 0xEFEFEF@1",
                            "FillEllipse c=(336,112) r=(9,9) 0x00FF00@1",
                            "DrawEllipse c=(336,112) r=(9,9) 0x587658@1 w=1",
                            "PopAxisAlignedClip",
                            "FillRectangle (0,0,390,31) 0xF0F0F0@1",
                            "DrawText \"IO表\" (0,0,390,31) 0x666666@1 微软雅黑 16 centre/centre",
                            "DrawRectangle (0,0,389,209) 0x908782@1 w=1",
                        }));
}

TEST(QlUiOvList, StatusCellsByRow) {
  auto list = PlacedList({"启动", "", "急停"});
  list->statusButtons[2].reset();
  list->statusButtons[0]->inError = true;
  struct Case {
    const char* name;
    uint16_t row, col;
    bool drawn;
    Lines calls;
  };
  const Case cases[] = {
      {"header: default drawing", 0, 1, false, {}},
      {"description column: default drawing", 1, 0, false, {}},
      {"a lamp in error shows its red mark",
       1,
       1,
       true,
       {"FillRectangle (305,65,367,95) 0xFAFAFA@1", "FillEllipse c=(336,80) r=(9,9) 0xC0C0C0@1",
        "DrawEllipse c=(336,80) r=(9,9) 0x587658@1 w=1", "FillEllipse c=(341,77) r=(6,6) 0x6667FE@0.9",
        "DrawLine (339,75)-(343,79) 0xFFFFFF@1 w=1.3", "DrawLine (343,75)-(339,79) 0xFFFFFF@1 w=1.3"}},
      {"an empty description: the zebra cell, no lamp", 2, 1, true, {"FillRectangle (305,97,367,127) 0xEFEFEF@1"}},
      {"no lamp: the zebra cell", 3, 1, true, {"FillRectangle (305,129,367,159) 0xFAFAFA@1"}},
      {"past the descriptions: default drawing", 4, 1, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingDrawContext d2;
    const CellInfo* record = list->table.FindCell(c.row, c.col);
    const CellInfo cell = record != nullptr ? *record : MakeDefaultCell(list->table, c.row, c.col);
    const D2D_RECT_F rect = list->table.GetCellRect(c.row, c.col, 1, 1);
    EXPECT_EQ(list->DrawStatusCell(d2.Info(), &list->table, cell, rect), c.drawn);
    EXPECT_EQ(d2.Calls(), c.calls);
  }
}

TEST(QlUiOvList, RemovingARowRecoloursAndKeepsTheLampsOfTheOthers) {
  auto list = PlacedList({"a", "b", "c"});
  const std::shared_ptr<QlUiButton> b = list->statusButtons[1];
  const std::shared_ptr<QlUiButton> c = list->statusButtons[2];
  list->RemoveRow(0);
  EXPECT_EQ(list->data.descriptions, (std::vector<std::string>{"b", "c"}));
  EXPECT_EQ(list->statusButtons, (std::vector<std::shared_ptr<QlUiButton>>{b, c}));
  EXPECT_EQ(list->table.GetRowCount(), 3);
  EXPECT_FLOAT_EQ(list->table.scrollBars.contentHeight, 3 * 32.0f + 2.0f);
  EXPECT_EQ(DataRows(list->table), (std::vector<ShownRow>{
                                       {"b", "", kDescription, 0x333333, 0xFAFAFA, 0},
                                       {"c", "", kDescription, 0x333333, 0xEFEFEF, 0},
                                   }));

  // The lamps move up when they are next drawn.
  RecordingDrawContext d2;
  list->Draw(d2.Info());
  Lines lamps;
  for (const DrawCall& call : d2.target.CallsOf(DrawOp::FillEllipse)) lamps.push_back(call.ToString());
  EXPECT_EQ(lamps, (Lines{"FillEllipse c=(336,80) r=(9,9) 0xC0C0C0@1", "FillEllipse c=(336,112) r=(9,9) 0xC0C0C0@1"}));
  EXPECT_EQ(c->GetRect(), LampRect(2));

  // Past the descriptions: nothing.
  list->RemoveRow(2);
  EXPECT_EQ(list->data.descriptions.size(), 2u);
  EXPECT_EQ(list->table.GetRowCount(), 3);

  // A description without a lamp goes alone.
  list->statusButtons.pop_back();
  list->RemoveRow(1);
  EXPECT_EQ(list->data.descriptions, std::vector<std::string>{"b"});
  EXPECT_EQ(list->statusButtons, std::vector<std::shared_ptr<QlUiButton>>{b});
  EXPECT_EQ(list->table.GetRowCount(), 2);
}

TEST(QlUiOvList, ColumnWidths) {
  struct Case {
    const char* name;
    std::size_t col;
    float width;
    std::vector<float> widths;
    float contentWidth;
  };
  const Case cases[] = {
      {"description column", 0, 200, {200, 60}, 272},
      {"status column", 1, 80, {300, 80}, 392},
      {"no such column: widths kept", 5, 100, {300, 60}, 372},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QlUiOvList list;
    // Content width stale on purpose: the call recomputes it in any case.
    list.table.scrollBars.contentWidth = 1;
    list.SetColumnWidth(c.col, c.width);
    EXPECT_EQ(list.table.columnWidths.Widths(), c.widths);
    EXPECT_FLOAT_EQ(list.table.scrollBars.contentWidth, c.contentWidth);
  }
}

TEST(QlUiOvList, PlacingFollowsTheTable) {
  auto list = PlacedList({"a", "b"});
  list->table.SetRect({100, 50, 490, 260});
  list->SetColumnWidth(0, 200);
  for (std::size_t i = 0; i < list->statusButtons.size(); ++i)
    list->PlaceRowButton(list->statusButtons[i], static_cast<uint16_t>(i + 1));
  // Status cell of row 1: 305-367 across, 115-145 down.
  EXPECT_EQ(list->statusButtons[0]->GetRect(), (D2D_RECT_F{327, 121, 345, 139}));
  EXPECT_EQ(list->statusButtons[1]->painter.rect, (D2D_RECT_F{327, 153, 345, 171}));
  list->PlaceRowButton(nullptr, 1);  // nothing to place
  const std::shared_ptr<QlUiButton> made = list->MakeRowButton(3);
  EXPECT_EQ(made->GetRect(), (D2D_RECT_F{327, 185, 345, 203}));
}

// Many rows, read through the table's lookup of its records, with and
// without room made for them first.
TEST(QlUiOvList, ManyRowsAreStripedWhetherRoomWasMadeOrNot) {
  QlUiOvList plain;
  QlUiOvList reserved;
  reserved.ReserveRows(300);
  EXPECT_EQ(reserved.table.GetRowCount(), 1);
  EXPECT_EQ(reserved.table.cells.size(), plain.table.cells.size());
  EXPECT_TRUE(reserved.data.descriptions.empty());
  for (int i = 0; i < 200; ++i) {
    ASSERT_TRUE(plain.AddRow("行" + std::to_string(i)));
    ASSERT_TRUE(reserved.AddRow("行" + std::to_string(i)));
  }
  EXPECT_EQ(DataRows(reserved.table), DataRows(plain.table));
  const std::vector<ShownRow> rows = DataRows(reserved.table);
  ASSERT_EQ(rows.size(), 200u);
  // Description i stands in table row i + 1.
  EXPECT_EQ(rows[198], (ShownRow{"行198", "", kDescription, 0x333333, 0xFAFAFA, 0}));
  EXPECT_EQ(rows[199], (ShownRow{"行199", "", kDescription, 0x333333, 0xEFEFEF, 0}));
  EXPECT_EQ(reserved.statusButtons.size(), 200u);
  reserved.RemoveRow(0);
  EXPECT_EQ(DataRows(reserved.table)[0], (ShownRow{"行1", "", kDescription, 0x333333, 0xFAFAFA, 0}));
}

TEST(QlUiOvList, RowsPlacedOnceEndAsRowsAddedOneByOne) {
  struct Case {
    const char* name;
    std::size_t rows;
    D2D_RECT_F rect;
    float descriptionWidth;
  };
  const Case cases[] = {
      {"rows fit", 3, {0, 0, 390, 210}, 300.0f},
      {"rows below the view", 40, {10, 20, 400, 230}, 300.0f},
      {"columns beside the view as well", 40, {10, 20, 200, 230}, 500.0f},
      {"no rows", 0, {0, 0, 390, 210}, 300.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QlUiOvList added;
    QlUiOvList appended;
    for (QlUiOvList* list : {&added, &appended}) {
      list->table.SetRect(c.rect);
      list->SetColumnWidth(0, c.descriptionWidth);
      list->ReserveRows(c.rows);
    }
    for (std::size_t i = 0; i < c.rows; ++i) {
      const std::string d = "row " + std::to_string(i);
      ASSERT_TRUE(added.AddRow(d));
      ASSERT_TRUE(appended.AppendRow(d));
    }
    appended.PlaceRows();

    EXPECT_EQ(appended.data.descriptions, added.data.descriptions);
    EXPECT_EQ(appended.table.GetRowCount(), added.table.GetRowCount());
    EXPECT_EQ(DataRows(appended.table), DataRows(added.table));
    EXPECT_EQ(ShowRow(appended.table, 0), ShowRow(added.table, 0));
    const D2ScrollBars& a = appended.table.scrollBars;
    const D2ScrollBars& b = added.table.scrollBars;
    EXPECT_EQ(a.contentHeight, b.contentHeight);
    EXPECT_EQ(a.vRatio, b.vRatio);
    EXPECT_EQ(a.vPosition, b.vPosition);
    EXPECT_EQ(a.vThumb.rect, b.vThumb.rect);
    EXPECT_EQ(a.hThumb.rect, b.hThumb.rect);
    ASSERT_EQ(appended.statusButtons.size(), added.statusButtons.size());
    for (std::size_t i = 0; i < c.rows; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(appended.statusButtons[i]->data.rect, added.statusButtons[i]->data.rect);
      EXPECT_EQ(appended.statusButtons[i]->painter.rect, added.statusButtons[i]->painter.rect);
      EXPECT_EQ(appended.statusButtons[i]->painter.cornerRadius, added.statusButtons[i]->painter.cornerRadius);
      EXPECT_EQ(appended.statusButtons[i]->data.bkColour, added.statusButtons[i]->data.bkColour);
    }
  }
}

TEST(QlUiOvList, AFullTableTakesNoMoreRows) {
  QlUiOvList list;
  list.table.SetRowCount(0xFFFF);
  EXPECT_FALSE(list.AddRow("one too many"));
  EXPECT_EQ(list.table.GetRowCount(), 0xFFFF);
  EXPECT_TRUE(list.data.descriptions.empty());
  EXPECT_TRUE(list.statusButtons.empty());
  EXPECT_EQ(list.table.GetCellText(0, 0), "描 述");
}

TEST(QlUiOvList, ErrorTipsOfTheLampsInView) {
  struct Case {
    const char* name;
    D2D_RECT_F rect;
    void (*change)(QlUiOvList&);
    std::vector<D2D_POINT_2F> dots;  // centres of the tips' dots
  };
  const Case cases[] = {
      {"every lamp in error in view", {0, 0, 390, 210}, [](QlUiOvList&) {}, {{341, 77}, {341, 141}}},
      {"a short table shows the first row only", {0, 0, 390, 100}, [](QlUiOvList&) {}, {{341, 77}}},
      {"status column out of view", {0, 0, 390, 210}, [](QlUiOvList& l) { l.SetColumnWidth(0, 400); }, {}},
      {"rows under a unit high", {0, 0, 390, 210}, [](QlUiOvList& l) { l.table.rowHeight = 0.5f; }, {}},
      {"not shown", {0, 0, 390, 210}, [](QlUiOvList& l) { l.shown = false; }, {}},
      {"a missing lamp is skipped", {0, 0, 390, 210}, [](QlUiOvList& l) { l.statusButtons[0].reset(); }, {{341, 141}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto list = PlacedList({"a", "b", "c"}, c.rect);
    for (std::size_t i : {0u, 2u}) {
      list->statusButtons[i]->inError = true;
      list->statusButtons[i]->SetErrorText("读写地址节点不存在.");
    }
    list->selected = true;
    c.change(*list);
    RecordingDrawContext d2;
    list->DrawErrorTip(d2.Info());
    std::vector<D2D_POINT_2F> dots;
    for (const DrawCall& call : d2.target.CallsOf(DrawOp::FillEllipse)) dots.push_back(call.point0);
    EXPECT_EQ(dots, c.dots);
    EXPECT_EQ(d2.target.CallsOf(DrawOp::DrawText).size(), c.dots.size());
    for (const DrawCall& call : d2.target.CallsOf(DrawOp::DrawText)) EXPECT_EQ(call.text, "读写地址节点不存在.");
  }
}

TEST(QlUiOvList, CloneKeepsItsOwnWidthsAndHookAndClonesTheLamps) {
  auto list = PlacedList({"启动", "停止"});
  list->SetColumnWidth(0, 200);
  list->SetColumnWidth(1, 80);
  list->data.counter = 7;
  list->data.title = "泵站";
  list->table.title.text = "泵站";
  list->selected = true;
  list->statusButtons[1]->SetState(2);
  list->statusButtons[1]->inError = true;
  list->statusButtons[1]->SetErrorText("写地址异常.");

  const std::shared_ptr<QlUiOvList> copy = list->Clone();
  EXPECT_TRUE(copy->selected);
  EXPECT_EQ(copy->data.counter, 7);
  EXPECT_EQ(copy->data.title, "泵站");
  EXPECT_EQ(copy->table.title.text, "泵站");
  EXPECT_EQ(copy->data.descriptions, list->data.descriptions);
  EXPECT_EQ(copy->GetRect(), list->GetRect());
  EXPECT_EQ(DataRows(copy->table), DataRows(list->table));
  EXPECT_EQ(copy->table.columnWidths.Widths(), (std::vector<float>{300.0f, 60.0f}));

  ASSERT_EQ(copy->statusButtons.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_NE(copy->statusButtons[i], list->statusButtons[i]);
    EXPECT_EQ(copy->statusButtons[i]->data.state, list->statusButtons[i]->data.state);
    EXPECT_EQ(copy->statusButtons[i]->inError, list->statusButtons[i]->inError);
    EXPECT_EQ(copy->statusButtons[i]->errorText, list->statusButtons[i]->errorText);
  }

  // The copy's hook draws the copy's lamps, at the copy's widths.
  copy->statusButtons[0]->SetState(2);
  RecordingDrawContext d2;
  copy->Draw(d2.Info());
  Lines lamps;
  for (const DrawCall& call : d2.target.CallsOf(DrawOp::FillEllipse)) lamps.push_back(call.ToString());
  EXPECT_EQ(lamps, (Lines{"FillEllipse c=(336,80) r=(9,9) 0x00FF00@1", "FillEllipse c=(336,112) r=(9,9) 0x00FF00@1",
                          "FillEllipse c=(341,109) r=(6,6) 0x6667FE@0.9"}));
  EXPECT_EQ(list->statusButtons[0]->data.state, 0);

  // A missing lamp stays missing.
  list->statusButtons[0].reset();
  EXPECT_EQ(list->Clone()->statusButtons[0], nullptr);
}
