#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include "wui/OvReportCtrl.h"
#include "wui/PaintProbe.h"
#include "wui/ReportFixture.h"
#include "wui/RtConfirmEdit.h"
#include "wui/RtEdit.h"

namespace NsOvrin::NsWui {
namespace {

using Testing::CountPixels;
using Testing::PixelRef;

class OvReportCtrlTest : public Testing::ReportFixture {
 protected:
  int ScrollBarExtent() const { return grid_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid_); }
  // An edit box for column 0 from row 0: shows whether a click began an
  // edit.
  std::shared_ptr<RtEdit> AddEditor(int col = 0) {
    auto editor = grid_->MakeEdit();
    grid_->AddColumnWndEditor(col, editor, 0);
    return editor;
  }
};

TEST_F(OvReportCtrlTest, EveryRowCarriesItsLineInfo) {
  MakeGrid(3, 2, 0);
  for (uint16_t row = 0; row < 3; ++row) {
    const OvLineInfo* line = grid_->GetLineInfo(row);
    ASSERT_NE(line, nullptr);
    EXPECT_FALSE(line->boxShown);
    EXPECT_TRUE(line->highlight);
    EXPECT_EQ(line->ticked, 0);
  }
  grid_->SetRowCount(5);
  EXPECT_NE(grid_->GetLineInfo(4), nullptr);
  EXPECT_EQ(grid_->GetLineInfo(5), nullptr);
  grid_->InitRowData(7);  // beyond the rows: nothing
  EXPECT_EQ(grid_->rowData.size(), 5u);

  // Foreign row data is not read as line info.
  grid_->GetLineInfo(1)->boxShown = true;
  grid_->rowData[1] = 42;
  EXPECT_EQ(grid_->GetLineInfo(1), nullptr);
  EXPECT_FALSE(grid_->IsRowBoxShown(1));
  grid_->flags = UTableBase::kFlagSelectRows;
  grid_->currentRow = 1;
  EXPECT_FALSE(grid_->GetCurrentRowMark());
}

TEST_F(OvReportCtrlTest, TheCurrentRowIsMarkedOnlyWhenRowsAreSelected) {
  MakeGrid(3, 2, UTableBase::kFlagSelectRows);
  grid_->currentRow = 1;
  EXPECT_TRUE(grid_->GetCurrentRowMark());
  grid_->GetLineInfo(1)->highlight = false;
  EXPECT_FALSE(grid_->GetCurrentRowMark());
  grid_->GetLineInfo(1)->highlight = true;
  grid_->currentRow = 3;
  EXPECT_FALSE(grid_->GetCurrentRowMark());
  grid_->currentRow = 1;
  grid_->flags = 0;
  EXPECT_FALSE(grid_->GetCurrentRowMark());
}

TEST_F(OvReportCtrlTest, PressAndReleaseAtMostSixPixelsApartClick) {
  MakeGrid(5, 2, UTableBase::kFlagSelectRows);
  std::vector<uint16_t> selected;
  grid_->rowSelectionHook = [&](uint16_t row) { selected.push_back(row); };
  struct Case {
    QPoint press, release;
    bool clicks;
  };
  const Case cases[] = {
      {{50, 40}, {56, 40}, true},  {{50, 40}, {57, 40}, false}, {{50, 40}, {44, 46}, true},
      {{50, 40}, {50, 47}, false}, {{0, 40}, {3, 40}, false},  // a press at x 0 is no press point
  };
  for (const Case& c : cases) {
    grid_->currentRow = UTableBase::kNoRow;
    Press(c.press);
    Release(c.release);
    EXPECT_EQ(grid_->currentRow, c.clicks ? 1 : UTableBase::kNoRow)
        << c.press.x() << "," << c.press.y() << " -> " << c.release.x() << "," << c.release.y();
    EXPECT_EQ(grid_->pressPoint, QPoint(-100, -100));
  }
  EXPECT_EQ(selected, (std::vector<uint16_t>{1, 1}));
}

TEST_F(OvReportCtrlTest, WithoutRowSelectionNoRowIsEverCurrent) {
  MakeGrid(5, 2, 0);
  grid_->currentRow = 2;
  Click({50, 60});
  EXPECT_EQ(grid_->currentRow, UTableBase::kNoRow);
  grid_->currentRow = 2;
  EXPECT_EQ(CountPixels(Testing::ReportFixture::Shot(), {0, 0, 400, 300}, 0x5ADA23), 0);
}

TEST_F(OvReportCtrlTest, ASelectedRowShowsTheBandAndAClickBesideTheRowsClearsIt) {
  MakeGrid(5, 2, UTableBase::kFlagSelectRows);
  Click({50, 60});
  EXPECT_EQ(grid_->currentRow, 2);
  const QImage image = Shot();
  EXPECT_EQ(PixelRef(image, 100, 53), 0x5ADA23u);
  Click({50, 200});  // below the rows
  EXPECT_EQ(grid_->currentRow, UTableBase::kNoRow);

  grid_->flags |= UTableBase::kFlagKeepSelection;
  Click({50, 60});
  Click({50, 200});
  Click({350, 60});  // right of the columns
  EXPECT_EQ(grid_->currentRow, 2);
}

TEST_F(OvReportCtrlTest, DraggingAColumnEdgeResizesTheColumn) {
  MakeGrid(5, 2, 0);
  grid_->columnWidths.SetResizable(true);  // edges 0, 104, 208
  auto editor = AddEditor();
  std::vector<std::pair<uint16_t, int>> told;
  grid_->columnWidthHook = [&](uint16_t col, int width) { told.emplace_back(col, width); };

  Move({60, 40});
  EXPECT_EQ(Client()->cursor().shape(), Qt::ArrowCursor);
  Move({102, 40});
  EXPECT_EQ(Client()->cursor().shape(), Qt::SizeHorCursor);
  Press({102, 40});
  EXPECT_EQ(grid_->dragging, 1);
  EXPECT_EQ(grid_->draggedColumn, 0);
  Move({132, 40});
  EXPECT_EQ(grid_->columnWidths.Width(0), 130);
  Release({142, 40});
  EXPECT_EQ(grid_->dragging, 0);
  EXPECT_EQ(grid_->columnWidths.Width(0), 140);
  EXPECT_EQ(grid_->columnWidths.Edges(), (std::vector<int>{0, 144, 248}));
  EXPECT_EQ(told, (std::vector<std::pair<uint16_t, int>>{{0, 130}, {0, 140}}));
  // A drag is no click.
  EXPECT_FALSE(editor->Window()->isVisible());
}

TEST_F(OvReportCtrlTest, ADraggedColumnKeepsAtLeastFivePixels) {
  MakeGrid(5, 2, 0);
  grid_->columnWidths.SetResizable(true);
  std::vector<int> told;
  grid_->columnWidthHook = [&](uint16_t, int width) { told.push_back(width); };
  Press({102, 40});
  Move({10, 40});  // 100 - 92
  Move({5, 40});   // 8 - 5 would be 3: refused
  Move({4, 40});   // 8 - 1
  Release({4, 40});
  EXPECT_EQ(grid_->columnWidths.Width(0), 7);
  EXPECT_EQ(told, (std::vector<int>{8, 3, 7, 7}));
}

TEST_F(OvReportCtrlTest, FixedColumnsHaveNoEdgesToDrag) {
  MakeGrid(5, 2, 0);
  Move({99, 40});
  EXPECT_EQ(Client()->cursor().shape(), Qt::ArrowCursor);
  Press({99, 40});
  EXPECT_EQ(grid_->dragging, 0);
  Release({99, 40});
  EXPECT_EQ(grid_->columnWidths.Width(0), 100);
}

TEST_F(OvReportCtrlTest, ATickBoxFlipsWithoutBeginningAnEdit) {
  MakeGrid(3, 2, 0);
  auto editor = AddEditor();
  grid_->GetLineInfo(1)->boxShown = true;
  grid_->SetCellText(1, 0, "D0");
  EXPECT_EQ(grid_->GetRowBoxRect(1), (WRect{6, 29, 26, 49}));

  Click({10, 35});
  EXPECT_EQ(grid_->GetLineInfo(1)->ticked, 1);
  EXPECT_FALSE(editor->Window()->isVisible());
  Click({1, 35});  // the box answers 6 px to its left
  EXPECT_EQ(grid_->GetLineInfo(1)->ticked, 0);
  Click({30, 35});
  EXPECT_EQ(grid_->GetLineInfo(1)->ticked, 0);
  // Right of the box: the text cell, edited next to the box.
  EXPECT_TRUE(editor->Window()->isVisible());
  EXPECT_EQ(editor->Window()->geometry(), (WRect{33, 27, 100, 52}).ToQRect());
  EXPECT_EQ(editor->Window()->text(), QStringLiteral("D0"));
}

TEST_F(OvReportCtrlTest, RowBoxesAreDrawnWithTheirTicks) {
  MakeGrid(3, 2, 0);
  grid_->GetLineInfo(0)->boxShown = true;
  grid_->GetLineInfo(1)->boxShown = true;
  grid_->GetLineInfo(1)->ticked = 1;
  const QImage image = Shot();
  // Row 0: an empty white box framed in grey.
  EXPECT_EQ(PixelRef(image, 6, 3), 0x666666u);
  EXPECT_EQ(PixelRef(image, 25, 22), 0x666666u);
  EXPECT_EQ(CountPixels(image, {7, 4, 25, 22}, 0xFFFFFF), 18 * 18);
  // Row 1: a blue tick through the box.
  const uint32_t tick = PixelRef(image, 6 + 8, 29 + 13);
  EXPECT_GT(Testing::Blue(tick), Testing::Red(tick) + 60);
  EXPECT_LT(CountPixels(image, {7, 30, 25, 48}, 0xFFFFFF), 18 * 18 - 20);
  // No box on row 2.
  EXPECT_EQ(CountPixels(image, {6, 55, 26, 75}, 0x666666), 0);
}

TEST_F(OvReportCtrlTest, TextAndEditorMakeRoomForTheBox) {
  MakeGrid(3, 2, 0);
  grid_->GetLineInfo(1)->boxShown = true;
  const WRect cell{1, 27, 100, 52};
  EXPECT_EQ(grid_->GetCellTextRect(1, 0, cell, 0).left, 37);
  EXPECT_EQ(grid_->GetCellTextRect(2, 0, cell, 0).left, 5);
  EXPECT_EQ(grid_->GetCellTextRect(1, 1, cell, 0).left, 5);
  EXPECT_EQ(grid_->GetCellTextRect(1, 0, cell, 2), (WRect{1, 27, 96, 52}));
  EXPECT_EQ(grid_->GetCellTextRect(1, 0, cell, 1), cell);
  EXPECT_EQ(grid_->GetCellRect(1, 0), (WRect{33, 27, 100, 52}));
  EXPECT_EQ(grid_->GetCellRect(2, 0), (WRect{1, 53, 100, 78}));
  EXPECT_EQ(grid_->GetCellRect(1, 1), (WRect{101, 27, 200, 52}));
  EXPECT_EQ(grid_->GetCellRect(-1, 0), WRect{});
  EXPECT_EQ(grid_->GetCellRect(3, 0), WRect{});
}

TEST_F(OvReportCtrlTest, CellTextPassesThroughToTheModel) {
  MakeGrid(3, 2, 0);
  grid_->SetCellText(1, 1, "abc");
  EXPECT_EQ(grid_->GetCellText(1, 1), "abc");
  EXPECT_EQ(grid_->UTableBase::GetCellText(1, 1), "abc");
  EXPECT_EQ(grid_->GetCellText(-1, 1), "");
  grid_->SetCellText(-1, 1, "x");
  grid_->SetCellText(3, 1, "x");
  EXPECT_EQ(grid_->cells.size(), 1u);
}

TEST_F(OvReportCtrlTest, ScrollRangesFollowRowsAndColumns) {
  MakeGrid(10, 2, 0);
  QScrollBar* vbar = grid_->verticalScrollBar();
  QScrollBar* hbar = grid_->horizontalScrollBar();
  EXPECT_EQ(vbar->maximum(), 0);  // 260 px of rows fit
  EXPECT_FALSE(vbar->isVisible());

  grid_->SetRowCount(40);
  grid_->UpdateVScrollBar();
  const int extent = ScrollBarExtent();
  // Range 0 .. 40 x 26 + 4 plus the other bar's height, page 300.
  EXPECT_EQ(vbar->pageStep(), 300);
  EXPECT_EQ(vbar->maximum(), 1044 + extent - 300 + 1);
  QApplication::processEvents();
  EXPECT_TRUE(vbar->isVisible());

  grid_->SetColumnWidth(0, 300);
  grid_->SetColumnWidth(1, 300);
  WRect client;
  grid_->GetClientRect(client);
  EXPECT_EQ(hbar->pageStep(), client.Width());
  EXPECT_EQ(hbar->maximum(), 604 + extent - client.Width() + 1);

  grid_->titleShown = true;
  grid_->UpdateVScrollBar();
  grid_->GetClientRect(client);
  EXPECT_EQ(vbar->pageStep(), client.Height() - 29);
}

TEST_F(OvReportCtrlTest, ScrollRequestsMoveByRowsPagesOrToTheEnds) {
  MakeGrid(40, 2, 0);
  grid_->UpdateVScrollBar();
  QScrollBar* vbar = grid_->verticalScrollBar();
  const int last = vbar->maximum();
  struct Case {
    int code;
    int track;
    int expected;
  };
  const Case cases[] = {
      {SB_LINEUP, 0, 74},        {SB_LINEDOWN, 0, 126}, {SB_PAGEUP, 0, 0},   {SB_PAGEDOWN, 0, 400},
      {SB_THUMBTRACK, 333, 333}, {SB_TOP, 0, 0},        {SB_BOTTOM, 0, last}, {SB_ENDSCROLL, 0, 100},
      {SB_THUMBTRACK, 5000, last},
  };
  for (const Case& c : cases) {
    vbar->setValue(100);
    grid_->OnVScroll(c.code, c.track);
    EXPECT_EQ(vbar->value(), c.expected) << c.code;
  }
  // The scroll bar's own buttons and track go the same way.
  vbar->setValue(0);
  vbar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(vbar->value(), 26);
  vbar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(vbar->value(), 326);
}

TEST_F(OvReportCtrlTest, TheWheelScrollsOneRowAndScrollingEndsTheEdit) {
  MakeGrid(40, 2, 0);
  grid_->UpdateVScrollBar();
  auto editor = AddEditor();
  Click({50, 40});
  ASSERT_TRUE(editor->Window()->isVisible());

  Wheel(120);  // up at the top: nothing, the edit goes on
  EXPECT_EQ(grid_->GetVScrollPos(), 0);
  EXPECT_TRUE(editor->Window()->isVisible());
  EXPECT_EQ(grid_->CurrentEditor(), editor);

  Wheel(-360);  // one row, whatever the delta
  EXPECT_EQ(grid_->GetVScrollPos(), 26);
  EXPECT_FALSE(editor->Window()->isVisible());
  EXPECT_EQ(grid_->CurrentEditor(), nullptr);
  Wheel(0);
  EXPECT_EQ(grid_->GetVScrollPos(), 52);
  Wheel(240);
  EXPECT_EQ(grid_->GetVScrollPos(), 26);
}

TEST_F(OvReportCtrlTest, HorizontalScrollingMovesByTwentyPixels) {
  MakeGrid(3, 3, 0);
  grid_->SetColumnWidth(2, 400);
  QScrollBar* hbar = grid_->horizontalScrollBar();
  grid_->OnHScroll(SB_LINEDOWN, 0);
  EXPECT_EQ(hbar->value(), 20);
  grid_->OnHScroll(SB_LINEUP, 0);
  grid_->OnHScroll(SB_LINEUP, 0);
  EXPECT_EQ(hbar->value(), 0);
  grid_->OnHScroll(SB_BOTTOM, 0);
  EXPECT_EQ(hbar->value(), hbar->maximum());
}

TEST_F(OvReportCtrlTest, PaintingFollowsTheScrollPositions) {
  MakeGrid(40, 3, 0);
  grid_->UpdateVScrollBar();
  grid_->SetColumnWidth(2, 400);
  grid_->SetCellBackColour(2, 1, 0x00FF00);
  grid_->OnVScroll(SB_LINEDOWN, 0);
  grid_->OnHScroll(SB_LINEDOWN, 0);
  EXPECT_EQ(grid_->GetCellRect(2, 1), (WRect{81, 27, 180, 52}));
  const QImage image = Shot();
  EXPECT_EQ(CountPixels(image, {81, 27, 180, 52}, 0x00FF00), 99 * 25);
  EXPECT_EQ(PixelRef(image, 80, 40), 0xE5D7D0u);
}

// A long table with texts in three alignments, spans across rows and
// columns, tick boxes, a title and a selected row, scrolled to its start,
// its middle (the top row cut half way, inside a span that starts above)
// and its end. Painted once with every row walked, once as a whole repaint
// of the window, and once piece by piece as partial repaints come: the
// three images are the same.
TEST_F(OvReportCtrlTest, RepaintsOfPartsShowWhatTheWholeTableShows) {
  MakeGrid(300, 3, UTableBase::kFlagTitleShown | UTableBase::kFlagSelectRows);
  grid_->titleText = "title";
  grid_->SetColumnWidth(0, 120);
  grid_->SetColumnWidth(1, 150);
  grid_->SetColumnWidth(2, 260);
  *grid_->GetColumnAlign(0) = kCellAlignLeft;
  *grid_->GetColumnAlign(2) = kCellAlignRight;
  const auto span = [this](uint16_t row, uint16_t col, uint16_t rowSpan, uint16_t colSpan, uint32_t back) {
    CellInfo cell;
    cell.row = row;
    cell.col = col;
    cell.rowSpan = rowSpan;
    cell.colSpan = colSpan;
    grid_->ApplyDefaults(cell);
    cell.text = "span " + std::to_string(row);
    cell.backColour = std::make_shared<uint32_t>(back);
    grid_->cells.push_back(cell);
  };
  span(0, 1, 3, 2, 0xC0FFC0);
  span(140, 0, 12, 1, 0xFFC0C0);
  span(150, 1, 1, 2, 0xC0C0FF);
  span(296, 2, 4, 1, 0xC0FFFF);
  for (uint16_t row = 0; row < 300; ++row) {
    for (uint16_t col = 0; col < 3; ++col) {
      const std::string text = "r" + std::to_string(row) + " c" + std::to_string(col);
      if (grid_->FindCell(row, col) == nullptr) grid_->SetCellText(row, col, text);
    }
    if (row % 7 == 0) grid_->GetLineInfo(row)->boxShown = true;
    if (row % 14 == 0) grid_->GetLineInfo(row)->ticked = 1;
  }
  grid_->currentRow = 146;
  grid_->UpdateVScrollBar();

  struct Case {
    const char* where;
    int vscroll;
    int hscroll;
  };
  QScrollBar* vbar = grid_->verticalScrollBar();
  QScrollBar* hbar = grid_->horizontalScrollBar();
  const Case cases[] = {
      {"start", 0, 0},
      {"middle", 145 * grid_->rowHeight + 11, 60},
      {"end", vbar->maximum(), hbar->maximum()},
  };
  const QSize size = Client()->size();
  const auto blank = [size] {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    return image;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    vbar->setValue(c.vscroll);
    hbar->setValue(c.hscroll);
    ASSERT_EQ(grid_->GetVScrollPos(), c.vscroll);

    QImage everyRow = blank();
    {
      QPainter painter(&everyRow);
      grid_->Draw(&painter, WRect{-(1 << 24), -(1 << 24), 1 << 24, 1 << 24});
    }
    QImage whole = blank();
    Client()->render(&whole);
    EXPECT_TRUE(whole == everyRow);

    // Strips that cut rows anywhere, then tiles that cut cells as well.
    for (const QSize piece : {QSize(size.width(), 37), QSize(53, 41)}) {
      SCOPED_TRACE(piece.height());
      QImage pieces = blank();
      for (int y = 0; y < size.height(); y += piece.height()) {
        for (int x = 0; x < size.width(); x += piece.width()) {
          const QRect rect(QPoint(x, y), piece);
          Client()->render(&pieces, rect.topLeft(), QRegion(rect));
        }
      }
      EXPECT_TRUE(pieces == everyRow);
    }
  }
}

// What the cells of the rows out of view would draw is never painted, so
// they are not drawn: the cell hook is asked about the rows a repaint
// meets, and only those.
TEST_F(OvReportCtrlTest, ARepaintDrawsOnlyTheRowsItMeets) {
  MakeGrid(5000, 2, 0);
  std::set<int> rows;
  grid_->cellDrawHook = [&rows](QPainter&, const WTable&, const CellInfo& cell, const WRect&) {
    rows.insert(cell.row);
    return false;
  };
  grid_->OnVScroll(SB_THUMBTRACK, 2000 * grid_->rowHeight);
  ASSERT_EQ(grid_->GetVScrollPos(), 2000 * 26);
  ASSERT_EQ(Client()->height(), 300);

  struct Case {
    const char* what;
    QRect area;
    std::set<int> rows;
  };
  const Case cases[] = {
      {"the whole view", Client()->rect(), {2000, 2001, 2002, 2003, 2004, 2005, 2006, 2007, 2008, 2009, 2010, 2011}},
      {"a strip across three rows", QRect(0, 100, 300, 40), {2003, 2004, 2005}},
      {"the grid line between two rows", QRect(0, 26, 300, 1), {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    rows.clear();
    Client()->repaint(c.area);
    EXPECT_EQ(rows, c.rows);
  }
}

TEST_F(OvReportCtrlTest, EditorWindowsGoWithTheGrid) {
  MakeGrid(3, 2, 0);
  auto edit = AddEditor(0);
  auto confirm = grid_->MakeConfirmEdit();
  grid_->AddColumnEditor(1, confirm, 0);
  int changes = 0;
  edit->changeHook = [&](std::string&) { ++changes; };
  Click({50, 40});
  ASSERT_TRUE(edit->Window()->hasFocus());
  QPointer<QWidget> editWindow = edit->Window();
  QPointer<QWidget> confirmWindow = confirm->Control();
  delete grid_;
  EXPECT_TRUE(editWindow.isNull());
  EXPECT_TRUE(confirmWindow.isNull());
  EXPECT_EQ(edit->GetCtrlId(), 0);
  EXPECT_EQ(confirm->GetCtrlId(), 0);
  EXPECT_EQ(changes, 0);
  edit->Show(&window_, {0, 0, 10, 10}, "x");  // no window any more: ignored
}

}  // namespace
}  // namespace NsOvrin::NsWui
