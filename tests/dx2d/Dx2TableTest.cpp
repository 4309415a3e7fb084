#include "dx2d/Dx2Table.h"

#include <gtest/gtest.h>

#include <any>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "dx2d/RecordingDrawContext.h"

using namespace NsOvrin;
using namespace NsOvrin::NsDx2d;
using Lines = std::vector<std::string>;

namespace {

std::string Text(const D2D_RECT_F& rect) {
  std::ostringstream out;
  out << rect;
  return out.str();
}

// A table of rows placed at rect, laid out as its owner would.
std::unique_ptr<Dx2Table> MakeTable(uint16_t rows, D2D_RECT_F rect) {
  auto table = std::make_unique<Dx2Table>(rows);
  table->SetRect(rect);
  return table;
}

// Every cell the hook was shown, with the record it got.
struct Visit {
  uint16_t row, col;
  std::string text;
  D2D_RECT_F rect;
  bool operator==(const Visit&) const = default;
};

void PrintTo(const Visit& v, std::ostream* os) {
  *os << "(" << v.row << "," << v.col << " \"" << v.text << "\" " << v.rect << ")";
}

std::vector<Visit>* RecordVisits(Dx2Table& table, bool drawsColumn1 = false) {
  auto visits = std::make_shared<std::vector<Visit>>();
  table.cellDrawHook = [visits, drawsColumn1](const D2ResInfo&, Dx2Table*, const CellInfo& cell,
                                              const D2D_RECT_F& rect) {
    visits->push_back({cell.row, cell.col, cell.text, rect});
    return drawsColumn1 && cell.col == 1;
  };
  return visits.get();
}

// Rows whose column 0 the walk reached.
std::vector<int> RowsVisited(const std::vector<Visit>& visits) {
  std::vector<int> rows;
  for (const Visit& v : visits) {
    if (v.col == 0) rows.push_back(v.row);
  }
  return rows;
}

std::vector<int> Range(int first, int end) {
  std::vector<int> out;
  for (int i = first; i < end; ++i) out.push_back(i);
  return out;
}

// The start and end of each line of a grid, as (x0, y0, x1, y1).
std::vector<std::vector<float>> GridLines(const DrawCall& call) {
  std::vector<std::vector<float>> lines;
  for (const PathFigure& figure : call.figures) {
    EXPECT_EQ(figure.begin, FigureBegin::Hollow);
    EXPECT_EQ(figure.end, FigureEnd::Open);
    EXPECT_EQ(figure.segments.size(), 1u);
    if (figure.segments.empty()) continue;
    lines.push_back({figure.start.x, figure.start.y, figure.segments[0].point.x, figure.segments[0].point.y});
  }
  return lines;
}

std::vector<std::vector<float>> HLines(float left, float right, std::vector<float> ys) {
  std::vector<std::vector<float>> out;
  for (float y : ys) out.push_back({left, y, right, y});
  return out;
}

std::vector<std::vector<float>> VLines(float top, float bottom, std::vector<float> xs) {
  std::vector<std::vector<float>> out;
  for (float x : xs) out.push_back({x, top, x, bottom});
  return out;
}

class CountingFactory : public D2Factory {
 public:
  std::unique_ptr<PathGeometry> CreatePathGeometry() override {
    ++attempts;
    return fail ? nullptr : std::make_unique<PathGeometry>();
  }
  int attempts = 0;
  bool fail = false;
};

}  // namespace

TEST(Dx2Table, NewTableHasTwoColumnsOfAHundredAndAShownTitle) {
  Dx2Table table(3);
  EXPECT_EQ(table.columnCount, 2);
  EXPECT_EQ(table.flags, 1u);
  EXPECT_EQ(table.GetRowCount(), 3);
  EXPECT_FLOAT_EQ(table.rowHeight, 26.0f);
  EXPECT_EQ(table.columnWidths.Widths(), (std::vector<float>{100.0f, 100.0f}));
  EXPECT_FALSE(table.columnWidths.Resizable());
  EXPECT_FALSE(table.cellDrawHook);
  EXPECT_EQ(table.GetRect(), (D2D_RECT_F{0, 0, 0, 0}));

  EXPECT_TRUE(table.title.text.empty());
  EXPECT_EQ(table.title.textColour, 0x1F1D1Du);
  EXPECT_EQ(table.title.backColour, 0xE0E0E0u);
  EXPECT_EQ(table.title.fontSize, 120);
  EXPECT_FLOAT_EQ(table.title.height, 32.0f);
  EXPECT_TRUE(table.title.shown);

  EXPECT_FLOAT_EQ(table.scrollBars.contentWidth, 212.0f);
  EXPECT_FLOAT_EQ(table.scrollBars.contentHeight, 80.0f);
  EXPECT_EQ(table.scrollBars.trackColour, 0xF0F0F0u);
  EXPECT_FLOAT_EQ(table.scrollBars.hPosition, 0.0f);
  EXPECT_FLOAT_EQ(table.scrollBars.vPosition, 0.0f);
  EXPECT_EQ(table.scrollBars.hThumb.fillColour, 0xCDCDCDu);
  EXPECT_FLOAT_EQ(table.scrollBars.vThumb.cornerRadius, 3.0f);

  // Without rows there is nothing to measure: the content keeps its size.
  EXPECT_FLOAT_EQ(Dx2Table(0).scrollBars.contentHeight, 100.0f);
  EXPECT_FLOAT_EQ(Dx2Table(20).scrollBars.contentHeight, 522.0f);
}

TEST(Dx2Table, ContentFollowsRowsRowHeightAndWidths) {
  Dx2Table table(3);
  table.SetRowCount(10);
  table.UpdateContentHeight();
  EXPECT_FLOAT_EQ(table.scrollBars.contentHeight, 262.0f);
  table.rowHeight = 32.0f;
  table.UpdateContentHeight();
  EXPECT_FLOAT_EQ(table.scrollBars.contentHeight, 322.0f);
  table.rowHeight = 0.0f;
  table.UpdateContentHeight();
  EXPECT_FLOAT_EQ(table.scrollBars.contentHeight, 322.0f);

  // Widths leave the grips out of the content; the scroll bar's 12 is in.
  table.columnWidths.SetWidth(0, 300.0f);
  table.columnWidths.SetWidth(1, 60.0f);
  table.columnWidths.SetResizable(true);
  table.UpdateContentWidth();
  EXPECT_FLOAT_EQ(table.scrollBars.contentWidth, 372.0f);
  EXPECT_EQ(table.columnWidths.Edges(), (std::vector<float>{0.0f, 304.0f, 368.0f}));
}

TEST(Dx2Table, DrawsBackgroundGridCellsTitleAndOutlineInOrder) {
  auto table = MakeTable(2, {10, 20, 260, 200});
  table->title.text = "报警";
  *table->columnAligns[1] = kCellAlignLeft;
  table->SetCellText(0, 0, "序号");
  table->SetCellText(0, 1, "消息");
  table->SetCellBackColour(0, 1, 0x00FF00);

  RecordingDrawContext d2;
  d2.target.BeginDraw();
  table->Draw(d2.Info());
  EXPECT_TRUE(d2.target.EndDraw()) << "clips left unbalanced";
  d2.target.calls.erase(d2.target.calls.begin());
  d2.target.calls.pop_back();
  EXPECT_EQ(d2.Calls(),
            (Lines{
                "FillRectangle (10,20,260,200) 0xF7F5F5@1",
                "PushAxisAlignedClip (11,21,259,199)",
                "DrawGeometry alternate"
                " [hollow M(10,52) L(260,52) open] [hollow M(10,78) L(260,78) open]"
                " [hollow M(10,104) L(260,104) open] [hollow M(10,130) L(260,130) open]"
                " [hollow M(10,156) L(260,156) open] [hollow M(10,182) L(260,182) open]"
                " [hollow M(10,208) L(260,208) open] [hollow M(10,234) L(260,234) open]"
                " [hollow M(110,52) L(110,200) open] [hollow M(210,52) L(210,200) open]"
                " 0xE5D7D0@1 w=1",
                "PopAxisAlignedClip",
                "PushAxisAlignedClip (12,22,257,197)",
                "DrawText \"序号\" (11,53,109,77) 0x333333@1 微软雅黑 12 centre/centre",
                "FillRectangle (111,53,209,77) 0x00FF00@1",
                "DrawText \"消息\" (115,53,209,77) 0x333333@1 微软雅黑 12 leading/centre",
                "PopAxisAlignedClip",
                "FillRectangle (10,20,260,51) 0xE0E0E0@1",
                "DrawText \"报警\" (10,20,260,51) 0x1F1D1D@1 微软雅黑 16 centre/centre",
                "DrawRectangle (10,20,259,199) 0x908782@1 w=1",
            }));
}

TEST(Dx2Table, CellTextIsPlacedByItsAlignmentColourAndSize) {
  struct Case {
    uint32_t alignment;
    const char* expected;
  };
  const Case cases[] = {
      {kCellAlignLeft, "DrawText \"值\" (5,59,99,83) 0x0000FF@1 微软雅黑 20 leading/centre"},
      {kCellAlignCentre, "DrawText \"值\" (1,59,99,83) 0x0000FF@1 微软雅黑 20 centre/centre"},
      {kCellAlignRight, "DrawText \"值\" (1,59,95,83) 0x0000FF@1 微软雅黑 20 trailing/centre"},
      {kCellAlignCentre | kCellAlignRight, "DrawText \"值\" (1,59,99,83) 0x0000FF@1 微软雅黑 20 centre/centre"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.alignment);
    auto table = MakeTable(3, {0, 0, 300, 200});
    table->SetCellText(1, 0, "值");
    table->SetCellTextColour(1, 0, 0x0000FF);
    table->cells[0].fontSize = std::make_shared<int>(150);
    table->cells[0].align = std::make_shared<uint32_t>(c.alignment);
    RecordingDrawContext d2;
    EXPECT_EQ(table->DrawCell(d2.Info(), 1, 0), 1);
    // An own text colour is not a back colour: no fill.
    EXPECT_EQ(d2.Calls(), (Lines{c.expected}));
  }
}

TEST(Dx2Table, SpansAreDrawnOnceAndTheCellsTheyCoverAreSkipped) {
  auto table = MakeTable(5, {0, 0, 300, 200});
  table->SetCellText(1, 0, "合并");
  table->cells.back().colSpan = 2;
  table->SetCellText(2, 1, "竖");
  table->cells.back().rowSpan = 2;
  std::vector<Visit>* visits = RecordVisits(*table);

  RecordingDrawContext d2;
  table->Draw(d2.Info());
  const std::vector<Visit> expected = {
      {0, 0, "", {1, 33, 99, 57}},        {0, 1, "", {101, 33, 199, 57}},
      {1, 0, "合并", {1, 59, 199, 83}},   // across both columns
      {2, 0, "", {1, 85, 99, 109}},       {2, 1, "竖", {101, 85, 199, 135}},
      {3, 0, "", {1, 111, 99, 135}},      // (3, 1) lies under the row span
      {4, 0, "", {1, 137, 99, 161}},      {4, 1, "", {101, 137, 199, 161}},
      {5, 0, "", {1, 163, 99, 187}},      {5, 1, "", {101, 163, 199, 187}},
      {6, 0, "", {1, 189, 99, 213}},      {6, 1, "", {101, 189, 199, 213}},
  };
  EXPECT_EQ(*visits, expected);

  // Spans are filled in the default colour even without a colour of their own.
  std::vector<std::string> fills;
  for (const DrawCall& call : d2.target.CallsOf(DrawOp::FillRectangle)) fills.push_back(call.ToString());
  EXPECT_EQ(fills, (Lines{"FillRectangle (0,0,300,200) 0xF7F5F5@1", "FillRectangle (1,59,199,83) 0xF7F5F5@1",
                          "FillRectangle (101,85,199,135) 0xF7F5F5@1", "FillRectangle (0,0,300,31) 0xE0E0E0@1"}));

  EXPECT_EQ(table->DrawCell(d2.Info(), 1, 0), 2);
  EXPECT_EQ(table->DrawCell(d2.Info(), 1, 1), 3);
  EXPECT_EQ(table->DrawCell(d2.Info(), 3, 1), 2);
  EXPECT_EQ(table->DrawCell(d2.Info(), 3, 0), 1);
}

TEST(Dx2Table, TheHookIsAskedFirstAndSeesEmptyCellsWithTheDefaults) {
  auto table = MakeTable(2, {0, 0, 300, 200});
  table->SetCellText(1, 0, "a");
  table->SetCellText(1, 1, "b");
  table->SetCellBackColour(1, 1, 0x00FF00);
  std::vector<Visit>* visits = RecordVisits(*table, /*drawsColumn1=*/true);
  const Dx2Table* seenTable = nullptr;
  CellInfo emptyCell;
  auto record = table->cellDrawHook;
  table->cellDrawHook = [&, record](const D2ResInfo& d2, Dx2Table* t, const CellInfo& cell, const D2D_RECT_F& rect) {
    seenTable = t;
    if (cell.row == 0 && cell.col == 0) emptyCell = cell;
    return record(d2, t, cell, rect);
  };

  RecordingDrawContext d2;
  table->Draw(d2.Info());
  EXPECT_EQ(seenTable, table.get());
  EXPECT_EQ(visits->size(), 14u);  // rows 0-6, both columns
  // The hook drew column 1: only column 0's text is drawn by the table.
  std::vector<std::string> texts;
  for (const DrawCall& call : d2.target.CallsOf(DrawOp::DrawText)) texts.push_back(call.text);
  EXPECT_EQ(texts, (Lines{"a"}));
  EXPECT_EQ(d2.target.CallsOf(DrawOp::FillRectangle).size(), 2u);  // background and title only

  EXPECT_EQ(emptyCell.rowSpan, 1);
  EXPECT_EQ(emptyCell.colSpan, 1);
  EXPECT_TRUE(emptyCell.text.empty());
  EXPECT_EQ(emptyCell.backColour, table->defBackColour);
  EXPECT_EQ(emptyCell.align, table->columnAligns[0]);
}

TEST(Dx2Table, OnlyTheRowsInViewAreVisitedEvenBeyondTheRowCount) {
  struct Case {
    const char* name;
    uint16_t rows;
    float height;
    bool titleShown;
    float vPosition;
    int first, end;
    int lastVisible;
  };
  const Case cases[] = {
      {"3 rows in 200 with the title: empty rows below are visited too", 3, 200, true, 0, 0, 7, 5},
      {"20 rows in 182 with the title: end = 150 / 26 + 1", 20, 182, true, 0, 0, 6, 5},
      {"scrolled half way: 186 of 372 hidden", 20, 182, true, 0.5f, 7, 13, 12},
      {"no title bar", 20, 182, false, 0, 0, 8, 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Dx2Table table(c.rows);
    table.title.shown = c.titleShown;
    table.SetRect({0, 0, 300, c.height});
    table.scrollBars.vPosition = c.vPosition;
    std::vector<Visit>* visits = RecordVisits(table);
    RecordingDrawContext d2;
    table.Draw(d2.Info());
    EXPECT_EQ(RowsVisited(*visits), Range(c.first, c.end));
    EXPECT_EQ(table.LastVisibleRow(), c.lastVisible);
  }
}

TEST(Dx2Table, RowsUnderAPixelHighAreNotWalked) {
  auto table = MakeTable(3, {0, 0, 300, 200});
  table->rowHeight = 0.5f;
  table->UpdateContentHeight();
  std::vector<Visit>* visits = RecordVisits(*table);
  RecordingDrawContext d2;
  table->Draw(d2.Info());
  EXPECT_TRUE(visits->empty());
  // The grid is still drawn at that height.
  EXPECT_EQ(d2.target.CallsOf(DrawOp::DrawGeometry).size(), 1u);

  table->rowHeight = 0.0f;
  RecordingDrawContext none;
  table->Draw(none.Info());
  EXPECT_TRUE(none.target.CallsOf(DrawOp::DrawGeometry).empty());
  EXPECT_TRUE(visits->empty());
}

TEST(Dx2Table, CellRectanglesFollowEdgesTitleAndScroll) {
  auto table = MakeTable(5, {10, 20, 310, 220});
  table->SetCellText(1, 0, "span");
  table->cells.back().colSpan = 2;
  table->SetCellText(3, 1, "tall");
  table->cells.back().row = 2;
  table->cells.back().rowSpan = 2;

  EXPECT_EQ(table->GetCellRect(0, 0, 1, 1), (D2D_RECT_F{11, 53, 109, 77}));
  EXPECT_EQ(table->GetCellRect(1, 0, 2, 2), (D2D_RECT_F{11, 79, 209, 129}));
  // A span past the last column ends at the last edge.
  EXPECT_EQ(table->GetCellRect(0, 1, 1, 5), (D2D_RECT_F{111, 53, 209, 77}));
  EXPECT_EQ(table->GetCellRect(0, 7, 1, 1), (D2D_RECT_F{211, 53, 209, 77}));

  struct Case {
    const char* name;
    uint16_t row;
    D2D_RECT_F expected;
  };
  const Case cases[] = {
      {"a row without records: the 1 x 1 cell", 4, {111, 157, 209, 181}},
      {"column 1 under a column span: the span", 1, {11, 79, 209, 103}},
      {"column 1 under a row span: the whole span", 3, {111, 105, 209, 155}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(table->GetSecondColumnCellRect(c.row), c.expected);
  }

  table->columnWidths.SetResizable(true);
  table->title.shown = false;
  EXPECT_EQ(table->GetCellRect(0, 1, 1, 1), (D2D_RECT_F{115, 21, 217, 45}));

  // Scrolled: 186 of the 372 hidden pixels are above the view.
  auto scrolled = MakeTable(20, {0, 0, 300, 182});
  scrolled->scrollBars.vPosition = 0.5f;
  EXPECT_EQ(scrolled->GetCellRect(7, 0, 1, 1), (D2D_RECT_F{1, 29, 99, 53}));
}

TEST(Dx2Table, GridLinesFollowTheViewEdgesAndTitle) {
  struct Case {
    const char* name;
    uint16_t rows;
    D2D_RECT_F rect;
    bool titleShown;
    bool resizable;
    float hPosition, vPosition;
    std::vector<std::vector<float>> horizontal, vertical;
  };
  const Case cases[] = {
      {"scrolled down half way", 20, {0, 0, 300, 182}, true, false, 0, 0.5f,
       HLines(0, 300, {28, 54, 80, 106, 132, 158, 184, 210, 236}), VLines(32, 182, {100, 200})},
      {"resizable columns without a title", 2, {0, 0, 300, 100}, false, true, 0, 0,
       HLines(0, 300, {0, 26, 52, 78, 104}), VLines(0, 100, {104, 208})},
      {"scrolled right half way: 31 of 62 hidden", 1, {5, 0, 155, 100}, true, false, 0.5f, 0,
       HLines(5, 155, {32, 58, 84, 110, 136}), VLines(32, 100, {74, 174})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Dx2Table table(c.rows);
    table.title.shown = c.titleShown;
    table.columnWidths.SetResizable(c.resizable);
    table.UpdateContentWidth();
    table.SetRect(c.rect);
    table.scrollBars.hPosition = c.hPosition;
    table.scrollBars.vPosition = c.vPosition;
    RecordingDrawContext d2;
    table.Draw(d2.Info());
    const std::vector<DrawCall> grids = d2.target.CallsOf(DrawOp::DrawGeometry);
    ASSERT_EQ(grids.size(), 1u);
    std::vector<std::vector<float>> expected = c.horizontal;
    expected.insert(expected.end(), c.vertical.begin(), c.vertical.end());
    EXPECT_EQ(GridLines(grids[0]), expected);
  }
}

TEST(Dx2Table, GridIsBuiltOnceAndRebuiltAfterEachChangeOfLayout) {
  auto table = MakeTable(3, {0, 0, 300, 200});
  CountingFactory factory;
  RecordingDrawContext d2;
  D2ResInfo info = d2.Info();
  info.d2Factory = &factory;

  table->Draw(info);
  table->Draw(info);
  EXPECT_EQ(factory.attempts, 1);
  const std::vector<DrawCall> grids = d2.target.CallsOf(DrawOp::DrawGeometry);
  ASSERT_EQ(grids.size(), 2u);
  EXPECT_EQ(grids[0].geometry, grids[1].geometry);

  Dx2Table other(4);
  other.SetRect({0, 0, 300, 200});
  struct Step {
    const char* name;
    std::function<void()> change;
    int attempts;
  };
  const Step steps[] = {
      {"recoloured: kept", [&] { table->SetBackColour(0x101010); }, 1},
      {"moved", [&] { table->SetRect({0, 0, 300, 150}); }, 2},
      {"rows changed",
       [&] {
         table->SetRowCount(9);
         table->UpdateContentHeight();
       },
       3},
      {"a width changed",
       [&] {
         table->columnWidths.SetWidth(0, 50);
         table->UpdateContentWidth();
       },
       4},
      {"copied over", [&] { table->CopyFrom(other); }, 5},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    step.change();
    table->Draw(info);
    table->Draw(info);
    EXPECT_EQ(factory.attempts, step.attempts);
  }
}

TEST(Dx2Table, DrawsWhatItCanWithAnIncompleteContext) {
  auto table = MakeTable(2, {0, 0, 300, 200});
  table->title.text = "T";
  table->SetCellText(0, 0, "a");

  {
    SCOPED_TRACE("no geometry: the grid is skipped");
    CountingFactory factory;
    factory.fail = true;
    RecordingDrawContext d2;
    D2ResInfo info = d2.Info();
    info.d2Factory = &factory;
    table->Draw(info);
    EXPECT_TRUE(d2.target.CallsOf(DrawOp::DrawGeometry).empty());
    EXPECT_EQ(d2.target.CallsOf(DrawOp::DrawText).size(), 2u);
    EXPECT_EQ(d2.target.CallsOf(DrawOp::DrawRectangle).size(), 1u);
  }
  {
    SCOPED_TRACE("no factory");
    RecordingDrawContext d2;
    D2ResInfo info = d2.Info();
    info.d2Factory = nullptr;
    table->Draw(info);
    EXPECT_TRUE(d2.target.CallsOf(DrawOp::DrawGeometry).empty());
    EXPECT_EQ(d2.target.CallsOf(DrawOp::DrawText).size(), 2u);
  }
  {
    SCOPED_TRACE("no text formats: no texts");
    RecordingDrawContext d2;
    D2ResInfo info = d2.Info();
    info.textFormatCache = nullptr;
    table->Draw(info);
    EXPECT_TRUE(d2.target.CallsOf(DrawOp::DrawText).empty());
    EXPECT_EQ(d2.target.CallsOf(DrawOp::DrawGeometry).size(), 1u);
  }
  {
    SCOPED_TRACE("no render target");
    RecordingDrawContext d2;
    D2ResInfo info = d2.Info();
    info.renderTarget = nullptr;
    table->Draw(info);
    EXPECT_TRUE(d2.target.calls.empty());
  }
  {
    SCOPED_TRACE("no brushes");
    RecordingDrawContext d2;
    D2ResInfo info = d2.Info();
    info.brushCache = nullptr;
    table->Draw(info);
    EXPECT_TRUE(d2.target.calls.empty());
  }
}

TEST(Dx2Table, ScrollBarsShowOnlyWhereTheContentDoesNotFit) {
  struct Case {
    const char* name;
    uint16_t rows;
    D2D_RECT_F rect;
    bool hBar, vBar;
    D2D_RECT_F hTrack, vTrack;
  };
  const Case cases[] = {
      {"everything fits", 3, {0, 0, 300, 200}, false, false, {}, {}},
      {"rows below the view", 20, {0, 0, 300, 182}, false, true, {}, {289, 32, 300, 182}},
      {"columns beside the view", 3, {0, 0, 150, 200}, true, false, {0, 188, 150, 200}, {}},
      {"both, with the corner grip", 20, {0, 0, 150, 182}, true, true, {0, 170, 150, 182}, {139, 32, 150, 182}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto table = MakeTable(c.rows, c.rect);
    table->SetBackColour(0x102030);
    RecordingDrawContext d2;
    table->Draw(d2.Info());
    const std::vector<DrawCall>& calls = d2.target.calls;
    // What follows the title band (no title text) and precedes the outline.
    ASSERT_GE(calls.size(), 2u);
    std::size_t band = 0;
    while (band < calls.size() && !(calls[band].op == DrawOp::FillRectangle && calls[band].colour == 0xE0E0E0)) ++band;
    ASSERT_LT(band, calls.size());
    std::vector<DrawCall> bars(calls.begin() + static_cast<std::ptrdiff_t>(band) + 1, calls.end() - 1);
    ASSERT_EQ(calls.back().op, DrawOp::DrawRectangle);

    std::vector<std::string> expected;
    if (c.hBar) {
      expected.push_back("FillRectangle " + Text(c.hTrack) + " 0x102030@1");
      expected.push_back("FillRoundedRectangle " + Text(table->scrollBars.hThumb.rect) + " r=(3,3) 0xCDCDCD@1");
    }
    if (c.vBar) {
      expected.push_back("FillRectangle " + Text(c.vTrack) + " 0x102030@1");
      expected.push_back("FillRoundedRectangle " + Text(table->scrollBars.vThumb.rect) + " r=(3,3) 0xCDCDCD@1");
    }
    std::vector<std::string> got = DescribeDrawCalls(bars);
    if (c.hBar && c.vBar) {
      ASSERT_FALSE(got.empty());
      EXPECT_EQ(bars.back().op, DrawOp::FillGeometry);
      got.pop_back();
    }
    EXPECT_EQ(got, expected);
    // The background has the new colour as well.
    EXPECT_EQ(calls.front().ToString(), "FillRectangle " + Text(c.rect) + " 0x102030@1");
  }
}

TEST(Dx2Table, PlacingTheTableLaysOutTheViewAndResetsBarsNotShown) {
  auto table = MakeTable(20, {0, 0, 300, 182});
  EXPECT_EQ(table->scrollBars.viewRect, (D2D_RECT_F{0, 32, 300, 182}));
  table->scrollBars.vPosition = 0.5f;
  table->scrollBars.hPosition = 0.5f;
  table->SetRect({0, 0, 300, 182});
  EXPECT_FLOAT_EQ(table->scrollBars.vPosition, 0.5f);
  EXPECT_FLOAT_EQ(table->scrollBars.hPosition, 0.0f);
  // The thumb follows the position.
  const float thumb = (150.0f - 4.0f) * 150.0f / 522.0f;
  EXPECT_FLOAT_EQ(table->scrollBars.vThumb.rect.top, (150.0f - thumb - 4.0f) * 0.5f + 32.0f + 2.0f);

  table->SetRect({0, 0, 300, 700});
  EXPECT_FLOAT_EQ(table->scrollBars.vPosition, 0.0f);

  table->title.shown = false;
  table->SetRect({5, 6, 300, 700});
  EXPECT_EQ(table->scrollBars.viewRect, (D2D_RECT_F{5, 6, 300, 700}));
}

// Everything a layout writes.
void ExpectSameScrollState(const D2ScrollBars& got, const D2ScrollBars& want) {
  EXPECT_EQ(got.contentWidth, want.contentWidth);
  EXPECT_EQ(got.contentHeight, want.contentHeight);
  EXPECT_EQ(got.hRatio, want.hRatio);
  EXPECT_EQ(got.vRatio, want.vRatio);
  EXPECT_EQ(got.hPosition, want.hPosition);
  EXPECT_EQ(got.vPosition, want.vPosition);
  EXPECT_EQ(got.hThumb.rect, want.hThumb.rect);
  EXPECT_EQ(got.vThumb.rect, want.vThumb.rect);
  EXPECT_EQ(got.hThumb.cornerRadius, want.hThumb.cornerRadius);
  EXPECT_EQ(got.vThumb.cornerRadius, want.vThumb.cornerRadius);
}

TEST(Dx2Table, ContentSizeEndsAsWidthThenHeightDo) {
  struct Case {
    const char* name;
    uint16_t startRows, rows;
    float rowHeight;
    float width0;
    float hPosition, vPosition;
  };
  // The positions are set after the table was placed; the second layout may
  // keep what the first one reset.
  const Case cases[] = {
      {"fits", 3, 3, 26.0f, 100.0f, 0.0f, 0.0f},
      {"rows and columns outside the view", 3, 20, 26.0f, 400.0f, 0.0f, 0.0f},
      {"scrolled, bars stay", 20, 20, 26.0f, 400.0f, 0.5f, 0.5f},
      {"scrolled, rows come to fit", 20, 3, 26.0f, 400.0f, 0.5f, 0.5f},
      {"scrolled, rows come to need the bar", 3, 20, 26.0f, 100.0f, 0.5f, 0.5f},
      {"scrolled, the vertical bar narrows the view", 3, 20, 26.0f, 138.0f, 0.5f, 0.5f},
      {"no rows", 20, 0, 26.0f, 400.0f, 0.0f, 0.0f},
      {"row height 0", 3, 20, 0.0f, 400.0f, 0.0f, 0.0f},
      {"negative row height lays nothing out", 3, 20, -26.0f, 400.0f, 0.0f, 0.0f},
      {"negative row height, scrolled", 3, 20, -26.0f, 400.0f, 0.5f, 0.5f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Dx2Table once(c.startRows);
    Dx2Table twice(c.startRows);
    for (Dx2Table* t : {&once, &twice}) {
      t->SetRect({0, 0, 300, 182});
      t->scrollBars.hPosition = c.hPosition;
      t->scrollBars.vPosition = c.vPosition;
      t->SetRowCount(c.rows);
      t->rowHeight = c.rowHeight;
      t->columnWidths.SetWidth(0, c.width0);
    }
    once.UpdateContentSize();
    twice.UpdateContentWidth();
    twice.UpdateContentHeight();
    ExpectSameScrollState(once.scrollBars, twice.scrollBars);
    EXPECT_EQ(once.GetCellRect(2, 1, 1, 1), twice.GetCellRect(2, 1, 1, 1));
  }
}

TEST(Dx2Table, ANewTableIsLaidOutForItsRowsAndWidths) {
  for (const uint16_t rows : {uint16_t{0}, uint16_t{3}, uint16_t{40}}) {
    SCOPED_TRACE(rows);
    const Dx2Table table(rows);
    Dx2Table laidOut(0);
    laidOut.SetRowCount(rows);
    laidOut.UpdateContentHeight();
    laidOut.UpdateContentWidth();
    laidOut.UpdateContentHeight();
    ExpectSameScrollState(table.scrollBars, laidOut.scrollBars);
  }
}

TEST(Dx2Table, CopyTakesTheModelRectTitleAndCellsButKeepsItsWidthsAndHook) {
  Dx2Table source(3);
  source.columnWidths.SetWidth(0, 200.0f);
  source.columnWidths.SetWidth(1, 80.0f);
  source.UpdateContentWidth();
  source.rowHeight = 30.0f;
  source.UpdateContentHeight();
  source.gridColour = 0xD8D8D8;
  source.outlineColour = 0x010203;
  source.flags = 5;
  source.currentRow = 2;
  source.title = {"IO表", 0x666666, 0xF0F0F0, 140, 40.0f, true};
  source.SetRect({10, 20, 410, 320});
  source.SetCellText(0, 0, "描 述");
  source.SetCellText(2, 1, "x");
  source.cells.back().userData = 42;
  source.rowData[1] = std::string("row 1");
  bool sourceHookCalled = false;
  source.cellDrawHook = [&](const D2ResInfo&, Dx2Table*, const CellInfo&, const D2D_RECT_F&) {
    sourceHookCalled = true;
    return false;
  };

  Dx2Table copy(1);
  copy.CopyFrom(source);
  EXPECT_EQ(copy.GetRect(), (D2D_RECT_F{10, 20, 410, 320}));
  EXPECT_EQ(copy.scrollBars.viewRect, (D2D_RECT_F{10, 60, 410, 320}));
  EXPECT_EQ(copy.title.text, "IO表");
  EXPECT_EQ(copy.title.textColour, 0x666666u);
  EXPECT_EQ(copy.title.backColour, 0xF0F0F0u);
  EXPECT_EQ(copy.title.fontSize, 140);
  EXPECT_FLOAT_EQ(copy.title.height, 40.0f);
  EXPECT_FLOAT_EQ(copy.rowHeight, 30.0f);
  EXPECT_FLOAT_EQ(copy.scrollBars.contentHeight, 92.0f);
  EXPECT_EQ(copy.gridColour, 0xD8D8D8u);
  EXPECT_EQ(copy.outlineColour, 0x010203u);
  EXPECT_EQ(copy.flags, 5u);
  EXPECT_EQ(copy.currentRow, UTableBase::kNoRow);
  EXPECT_EQ(copy.GetRowCount(), 3);
  EXPECT_EQ(std::any_cast<std::string>(copy.rowData[1]), "row 1");
  EXPECT_EQ(copy.GetCellText(0, 0), "描 述");
  EXPECT_EQ(copy.GetCellText(2, 1), "x");
  EXPECT_EQ(std::any_cast<int>(copy.FindCell(2, 1)->userData), 42);
  // Its own widths (content width included) and no hook.
  EXPECT_EQ(copy.columnWidths.Widths(), (std::vector<float>{100.0f, 100.0f}));
  EXPECT_FLOAT_EQ(copy.scrollBars.contentWidth, 212.0f);
  EXPECT_FALSE(copy.cellDrawHook);

  RecordingDrawContext d2;
  copy.Draw(d2.Info());
  EXPECT_FALSE(sourceHookCalled);
  EXPECT_EQ(d2.target.calls.front().ToString(), "FillRectangle (10,20,410,320) 0xF7F5F5@1");

  // A row height of 0 is not taken over.
  Dx2Table flat(1);
  flat.rowHeight = 0.0f;
  copy.CopyFrom(flat);
  EXPECT_FLOAT_EQ(copy.rowHeight, 30.0f);

  // Copying onto itself changes nothing.
  source.CopyFrom(source);
  EXPECT_EQ(source.GetCellText(0, 0), "描 述");
  EXPECT_EQ(source.cells[0].backColour, source.defBackColour);
}

TEST(Dx2Table, CopyTakesTheTitleBeforeLayingOutItsView) {
  Dx2Table source(20);
  source.title.shown = false;
  source.SetRect({0, 0, 300, 182});
  Dx2Table copy(1);
  copy.CopyFrom(source);
  EXPECT_EQ(copy.scrollBars.viewRect, source.scrollBars.viewRect);
  EXPECT_EQ(copy.LastVisibleRow(), source.LastVisibleRow());
}

// The copy's records used to keep pointing at the source's default objects:
// the two tables then recoloured each other.
struct CopiedTables {
  CopiedTables() {
    source.SetCellText(1, 0, "inherits");     // every attribute shared
    source.SetCellText(1, 1, "own");
    source.SetCellBackColour(1, 1, 0x00FF00);  // own back colour
    source.SetCellTextColour(1, 1, 0x0000FF);  // own text colour
    source.SetCellText(0, 1, "header");
    source.CenterHeaderCell(1);  // own alignment
    source.SetCellText(0, 0, "col 0");
    copy.CopyFrom(source);
  }
  static uint32_t Back(const Dx2Table& table, uint16_t row, uint16_t col) {
    return *table.FindCell(row, col)->backColour;
  }

  Dx2Table source{3};
  Dx2Table copy{1};
};

TEST(Dx2TableCopy, InheritedAttributesPointAtTheCopysOwnDefaults) {
  CopiedTables t;
  const CellInfo* cell = t.copy.FindCell(1, 0);
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(cell->textColour, t.copy.defTextColour);
  EXPECT_EQ(cell->backColour, t.copy.defBackColour);
  EXPECT_EQ(cell->fontSize, t.copy.defFontSize);
  EXPECT_EQ(cell->fontFace, t.copy.defFontFace);
  EXPECT_EQ(cell->align, t.copy.columnAligns[0]);
  EXPECT_NE(t.copy.defBackColour, t.source.defBackColour);
  EXPECT_EQ(*t.copy.defBackColour, *t.source.defBackColour);
  EXPECT_NE(t.copy.columnAligns[1], t.source.columnAligns[1]);

  // Own values are equal but not shared.
  const CellInfo* own = t.copy.FindCell(1, 1);
  const CellInfo* sourceOwn = t.source.FindCell(1, 1);
  EXPECT_EQ(*own->backColour, 0x00FF00u);
  EXPECT_NE(own->backColour, sourceOwn->backColour);
  EXPECT_NE(own->textColour, sourceOwn->textColour);
  EXPECT_EQ(*t.copy.FindCell(0, 1)->align, kCellAlignCentre);
  EXPECT_NE(t.copy.FindCell(0, 1)->align, t.source.FindCell(0, 1)->align);
  EXPECT_NE(t.copy.FindCell(0, 1)->align, t.copy.columnAligns[1]);
}

TEST(Dx2TableCopy, NeitherTableRecoloursTheOther) {
  struct Case {
    const char* name;
    std::function<void(CopiedTables&)> change;
    uint32_t sourceInherits, sourceOwn, copyInherits, copyOwn;
  };
  const Case cases[] = {
      {"the copy's background", [](CopiedTables& t) { t.copy.SetBackColour(0x111111); }, 0xF7F5F5, 0x00FF00,
       0x111111, 0x00FF00},
      {"the source's background", [](CopiedTables& t) { t.source.SetBackColour(0x222222); }, 0x222222, 0x00FF00,
       0xF7F5F5, 0x00FF00},
      {"an inheriting cell of the copy", [](CopiedTables& t) { t.copy.SetCellBackColour(1, 0, 0x333333); },
       0xF7F5F5, 0x00FF00, 0x333333, 0x00FF00},
      {"an own cell of the copy", [](CopiedTables& t) { t.copy.SetCellBackColour(1, 1, 0x444444); }, 0xF7F5F5,
       0x00FF00, 0xF7F5F5, 0x444444},
      {"an own cell of the source", [](CopiedTables& t) { t.source.SetCellBackColour(1, 1, 0x555555); },
       0xF7F5F5, 0x555555, 0xF7F5F5, 0x00FF00},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CopiedTables t;
    c.change(t);
    EXPECT_EQ(CopiedTables::Back(t.source, 1, 0), c.sourceInherits);
    EXPECT_EQ(CopiedTables::Back(t.source, 1, 1), c.sourceOwn);
    EXPECT_EQ(CopiedTables::Back(t.copy, 1, 0), c.copyInherits);
    EXPECT_EQ(CopiedTables::Back(t.copy, 1, 1), c.copyOwn);
    EXPECT_EQ(*t.source.defBackColour, c.sourceInherits);
  }
}

TEST(Dx2TableCopy, ColumnAlignmentsAndTextColoursStayApart) {
  CopiedTables t;
  *t.copy.columnAligns[0] = kCellAlignRight;
  EXPECT_EQ(*t.source.FindCell(0, 0)->align, kCellAlignCentre);
  EXPECT_EQ(*t.copy.FindCell(0, 0)->align, kCellAlignRight);

  t.copy.SetCellTextColour(1, 1, 0x777777);
  EXPECT_EQ(*t.source.FindCell(1, 1)->textColour, 0x0000FFu);
  t.copy.SetCellTextColour(1, 0, 0x888888);
  EXPECT_EQ(*t.source.defTextColour, 0x333333u);
  EXPECT_EQ(*t.source.FindCell(1, 0)->textColour, 0x333333u);

  // What the copy draws comes from its own objects only.
  *t.source.defTextColour = 0xABCDEF;
  *t.source.columnAligns[1] = kCellAlignLeft;
  t.copy.SetRect({0, 0, 300, 200});
  RecordingDrawContext d2;
  t.copy.Draw(d2.Info());
  std::vector<std::string> texts;
  for (const DrawCall& call : d2.target.CallsOf(DrawOp::DrawText)) texts.push_back(call.ToString());
  EXPECT_EQ(texts, (Lines{"DrawText \"col 0\" (1,33,95,57) 0x333333@1 微软雅黑 12 trailing/centre",
                          "DrawText \"header\" (101,33,199,57) 0x333333@1 微软雅黑 12 centre/centre",
                          "DrawText \"inherits\" (1,59,95,83) 0x888888@1 微软雅黑 12 trailing/centre",
                          "DrawText \"own\" (101,59,199,83) 0x777777@1 微软雅黑 12 centre/centre"}));
}

TEST(Dx2Table, ACopiedModelWithMoreColumnsThanWidthsStaysInsideTheEdges) {
  Dx2Table source(2);
  source.columnCount = 3;
  source.columnAligns.push_back(std::make_shared<uint32_t>(kCellAlignCentre));
  source.SetCellText(1, 2, "third");
  source.SetRect({0, 0, 300, 200});
  Dx2Table copy(1);
  copy.CopyFrom(source);
  ASSERT_EQ(copy.columnCount, 3);
  RecordingDrawContext d2;
  copy.Draw(d2.Info());
  const std::vector<DrawCall> texts = d2.target.CallsOf(DrawOp::DrawText);
  ASSERT_EQ(texts.size(), 1u);
  // The third column has no width of its own: it collapses onto the last edge.
  EXPECT_EQ(texts[0].rect, (D2D_RECT_F{201, 59, 199, 83}));
}
