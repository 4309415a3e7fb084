#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <QCursor>
#include <QTest>

#include "wui/PaintProbe.h"
#include "wui/WProxyTable.h"
#include "wui/WTable.h"

namespace NsOvrin::NsWui {
namespace {

using Testing::CountPixels;
using Testing::InkBox;
using Testing::MakeCanvas;
using Testing::PixelRef;

constexpr uint32_t kGrid = 0xE5D7D0;
constexpr uint32_t kOutline = 0x908782;
constexpr uint32_t kBack = 0xF7F5F5;

// A table drawn into a fixed client rectangle at set scroll positions.
class FakeTable : public WTable {
 public:
  FakeTable(uint16_t columns, uint32_t flags) : WTable(columns, flags) {}

  bool GetClientRect(WRect& rect) const override {
    rect = client;
    return hasClient;
  }
  int GetVScrollPos() const override { return vscroll; }
  int GetHScrollPos() const override { return hscroll; }
  void UpdateVScrollBar() override { ++vUpdates; }
  void UpdateHScrollBar() override { ++hUpdates; }
  bool GetCurrentRowMark() const override { return mark; }

  WRect client{0, 0, 300, 200};
  bool hasClient = true;
  int vscroll = 0;
  int hscroll = 0;
  int vUpdates = 0;
  int hUpdates = 0;
  bool mark = false;
};

QImage Paint(FakeTable& table, uint32_t fill = 0xFFFFFF) {
  QImage image = MakeCanvas(300, 200, fill);
  QPainter painter(&image);
  table.Draw(&painter);
  return image;
}

TEST(WTable, StartsWithTheDocumentedLayout) {
  FakeTable table(3, 0x101);
  EXPECT_EQ(table.rowHeight, 26);
  EXPECT_EQ(table.columnWidths.Widths(), (std::vector<int>{100, 100, 100}));
  EXPECT_FALSE(table.columnWidths.Resizable());
  EXPECT_TRUE(table.titleShown);
  EXPECT_EQ(table.titleHeight, 29);
  EXPECT_EQ(table.titleFontSize, 120);
  EXPECT_EQ(table.titleTextColour, 0x1F1D1Du);
  EXPECT_EQ(table.titleBackColour, 0xE0E0E0u);
  // Only its own flag shows the title, not row selection.
  for (uint32_t flags : {0x100u, UTableBase::kFlagSelectRows, UTableBase::kFlagKeepSelection}) {
    EXPECT_FALSE(FakeTable(3, flags).titleShown) << flags;
  }
}

TEST(WTable, PaintsBackgroundGridAndOutline) {
  FakeTable table(3, 0);
  table.SetRowCount(3);
  const QImage image = Paint(table);
  EXPECT_EQ(PixelRef(image, 50, 13), kBack);
  // Row lines every 26 px down the whole client area, column lines at the
  // edges.
  for (int y : {26, 52, 78, 182}) EXPECT_EQ(PixelRef(image, 50, y), kGrid) << y;
  EXPECT_EQ(PixelRef(image, 50, 27), kBack);
  for (int x : {100, 200}) EXPECT_EQ(PixelRef(image, x, 13), kGrid) << x;
  EXPECT_EQ(PixelRef(image, 101, 13), kBack);
  for (const auto& [x, y] : {std::pair{0, 50}, {299, 50}, {150, 0}, {150, 199}}) {
    EXPECT_EQ(PixelRef(image, x, y), kOutline) << x << "," << y;
  }
}

TEST(WTable, TheTitleBarPushesTheRowsDown) {
  FakeTable plain(3, 0);
  plain.SetRowCount(2);
  EXPECT_EQ(plain.GetCellRect(0, 0, 1, 1), (WRect{1, 1, 100, 26}));

  FakeTable titled(3, UTableBase::kFlagTitleShown);
  titled.SetRowCount(2);
  titled.titleText = "警报配置";
  titled.titleTextColour = 0x0000FF;
  EXPECT_EQ(titled.GetCellRect(0, 0, 1, 1), (WRect{1, 30, 100, 55}));
  const QImage image = Paint(titled);
  EXPECT_EQ(PixelRef(image, 5, 5), 0xE0E0E0u);
  EXPECT_EQ(PixelRef(image, 5, 28), 0xE0E0E0u);
  EXPECT_EQ(PixelRef(image, 5, 29), kGrid);  // the line above row 0
  const WRect text = InkBox(image, {1, 1, 299, 28}, 0xE0E0E0);
  EXPECT_FALSE(text.IsEmpty());
  EXPECT_LE(std::abs(text.left + text.right - 300), 4);
  EXPECT_LE(std::abs(text.top + text.bottom - 29), 4);
}

TEST(WTable, CellRectanglesLieInsideTheGridLinesAndScroll) {
  FakeTable table(3, 0);
  table.SetRowCount(4);
  EXPECT_EQ(table.GetCellRect(1, 1, 1, 1), (WRect{101, 27, 200, 52}));
  EXPECT_EQ(table.GetCellRect(1, 0, 2, 3), (WRect{1, 27, 300, 78}));
  // A span past the last column ends at the last edge.
  EXPECT_EQ(table.GetCellRect(0, 2, 1, 5), (WRect{201, 1, 300, 26}));
  table.hscroll = 10;
  table.vscroll = 5;
  EXPECT_EQ(table.GetCellRect(1, 1, 1, 1), (WRect{91, 22, 190, 47}));
  table.client = {0, 8, 300, 200};
  EXPECT_EQ(table.GetCellRect(1, 1, 1, 1), (WRect{91, 30, 190, 55}));

  table.SetCellText(1, 1, "x");
  table.FindCell(1, 1)->colSpan = 2;
  table.hscroll = table.vscroll = 0;
  table.client = {0, 0, 300, 200};
  EXPECT_EQ(table.GetSpannedCellRect(1, 2), (WRect{101, 27, 300, 52}));
  EXPECT_EQ(table.GetSpannedCellRect(2, 2), (WRect{201, 53, 300, 78}));
}

TEST(WTable, SpansAreDrawnOnceAndCoverTheirCells) {
  FakeTable table(3, 0);
  table.SetRowCount(3);
  table.SetCellBackColour(0, 0, 0x00FF00);
  table.FindCell(0, 0)->colSpan = 2;
  table.SetCellBackColour(1, 2, 0xFF0000);
  table.FindCell(1, 2)->rowSpan = 2;
  table.SetCellBackColour(1, 1, 0x0000FF);
  std::vector<std::pair<int, int>> hooked;
  table.cellDrawHook = [&](QPainter&, const WTable&, const CellInfo& cell, const WRect&) {
    hooked.emplace_back(cell.row, cell.col);
    return false;
  };
  const QImage image = Paint(table);
  // Over both columns, grid line included.
  EXPECT_EQ(CountPixels(image, {1, 1, 200, 26}, 0x00FF00), 199 * 25);
  EXPECT_EQ(PixelRef(image, 200, 13), kGrid);
  // Over both rows.
  EXPECT_EQ(CountPixels(image, {201, 27, 299, 78}, 0xFF0000), 98 * 51);
  EXPECT_EQ(CountPixels(image, {101, 27, 200, 52}, 0x0000FF), 99 * 25);
  // Each record once, each empty cell once, nothing for covered cells.
  EXPECT_EQ(hooked, (std::vector<std::pair<int, int>>{{0, 0}, {0, 2}, {1, 0}, {1, 1}, {1, 2}, {2, 0}, {2, 1}}));
}

// A client rectangle away from the origin, a title, a selected row and
// spans over rows and columns: painting the client in strips, each strip
// drawing only the rows it meets, gives what painting every row gives, at
// the start, in the middle (inside a span that starts above) and at the end.
TEST(WTable, PaintingTheClientInStripsEqualsPaintingEveryRow) {
  FakeTable table(3, UTableBase::kFlagTitleShown);
  table.client = {7, 20, 290, 190};
  table.titleText = "T";
  table.mark = true;
  table.currentRow = 57;
  table.SetRowCount(200);
  table.cells.push_back([&] {
    CellInfo cell;
    cell.row = 50;
    cell.col = 1;
    cell.rowSpan = 10;
    cell.colSpan = 2;
    table.ApplyDefaults(cell);
    cell.text = "span";
    cell.backColour = std::make_shared<uint32_t>(0x40C040);
    return cell;
  }());
  for (uint16_t row = 0; row < 200; ++row) {
    if (row % 3 == 0) table.SetCellBackColour(row, 0, 0xC0C0FF);
    for (uint16_t col = 0; col < 3; ++col) {
      if (table.FindCell(row, col) == nullptr || table.FindCell(row, col)->rowSpan == 1)
        table.SetCellText(row, col, std::to_string(row) + "/" + std::to_string(col));
    }
  }
  for (const int vscroll : {0, 53 * 26 + 5, 200 * 26 + 29 - 170}) {
    SCOPED_TRACE(vscroll);
    table.vscroll = vscroll;
    QImage everyRow = MakeCanvas(300, 200);
    {
      QPainter painter(&everyRow);
      table.Draw(&painter, WRect{-(1 << 24), -(1 << 24), 1 << 24, 1 << 24});
    }
    EXPECT_TRUE(Paint(table) == everyRow);
    QImage strips = MakeCanvas(300, 200);
    {
      QPainter painter(&strips);
      for (int y = 0; y < 200; y += 23) table.Draw(&painter, WRect{0, y, 300, y + 23});
    }
    EXPECT_TRUE(strips == everyRow);
  }
}

TEST(WTable, TheCellHookMayDrawACellItself) {
  FakeTable table(2, 0);
  table.SetRowCount(2);
  table.SetCellBackColour(0, 0, 0x00FF00);
  table.SetCellBackColour(1, 1, 0x0000FF);
  std::vector<CellInfo> empty;
  table.cellDrawHook = [&](QPainter& painter, const WTable&, const CellInfo& cell, const WRect& rect) {
    if (!cell.backColour || *cell.backColour != 0x00FF00) {
      if (cell.text.empty() && cell.backColour == table.defBackColour) empty.push_back(cell);
      return false;
    }
    painter.fillRect(rect.ToQRect(), Qt::black);
    return true;
  };
  const QImage image = Paint(table);
  EXPECT_EQ(PixelRef(image, 50, 13), 0x000000u);
  EXPECT_EQ(PixelRef(image, 150, 40), 0x0000FFu);
  // Cells without a record are shown with the defaults and no text.
  ASSERT_EQ(empty.size(), 2u);
  EXPECT_EQ(empty[0].row, 0);
  EXPECT_EQ(empty[0].col, 1);
  EXPECT_EQ(empty[0].align, table.columnAligns[1]);
}

TEST(WTable, CellTextGoesWhereItsAlignmentSays) {
  FakeTable table(3, 0);
  table.SetRowCount(1);
  for (uint16_t col = 0; col < 3; ++col) {
    *table.columnAligns[col] = col;  // left, centred, right
    table.SetCellText(0, col, "HH");
    table.SetCellTextColour(0, col, 0x0000FF);
  }
  const QImage image = Paint(table);
  const WRect left = InkBox(image, {1, 1, 100, 26}, kBack);
  const WRect centre = InkBox(image, {101, 1, 200, 26}, kBack);
  const WRect right = InkBox(image, {201, 1, 299, 26}, kBack);
  EXPECT_GE(left.left, 5);
  EXPECT_LE(left.left, 7);
  EXPECT_LE(std::abs(centre.left + centre.right - 301), 3);
  EXPECT_LE(right.right, 296);
  EXPECT_GE(right.right, 293);
  EXPECT_LE(std::abs(left.top + left.bottom - 27), 4);
  EXPECT_EQ(table.GetCellTextRect(0, 0, {0, 0, 100, 26}, 0), (WRect{4, 0, 100, 26}));
  EXPECT_EQ(table.GetCellTextRect(0, 0, {0, 0, 100, 26}, 1), (WRect{0, 0, 100, 26}));
  EXPECT_EQ(table.GetCellTextRect(0, 0, {0, 0, 100, 26}, 2), (WRect{0, 0, 96, 26}));
}

TEST(WTable, TheSelectionBandFramesTheCurrentRow) {
  FakeTable table(3, 0);
  table.SetRowCount(3);
  table.currentRow = 1;
  EXPECT_EQ(CountPixels(Paint(table), {0, 0, 300, 200}, 0x5ADA23), 0);
  table.mark = true;
  const QImage image = Paint(table);
  for (const auto& [x, y] : {std::pair{1, 27}, {298, 51}, {150, 27}, {150, 51}}) {
    EXPECT_EQ(PixelRef(image, x, y), 0x5ADA23u) << x << "," << y;
  }
  const uint32_t inside = PixelRef(image, 50, 40);
  EXPECT_NE(inside, kBack);
  EXPECT_GT(Testing::Blue(inside), Testing::Red(inside));
  EXPECT_EQ(PixelRef(image, 50, 60), kBack);
}

TEST(WTable, DrawsNothingWithoutPainterOrClientRectangle) {
  FakeTable table(2, 0);
  table.SetRowCount(1);
  table.Draw(nullptr);
  table.hasClient = false;
  EXPECT_EQ(InkBox(Paint(table, 0x123456), {0, 0, 300, 200}, 0x123456), WRect{});
}

TEST(WTable, HitTestMapsPointsToCellsAndEdges) {
  FakeTable table(3, 0);
  table.SetRowCount(3);
  table.columnWidths.SetResizable(true);  // edges 0, 104, 208, 312
  struct Case {
    QPoint point;
    bool hit;
    int row, col;
    bool edge;
  };
  const Case cases[] = {
      {{-5, 10}, true, 0, 0, false},   // left of the first edge
      {{0, 10}, true, 0, 0, false},
      {{99, 10}, true, 0, 0, false},   // 5 px from the edge
      {{101, 10}, true, 0, 0, true},   // 3 px from the edge
      {{104, 40}, true, 1, 0, true},
      {{105, 40}, true, 1, 1, false},
      {{312, 60}, true, 2, 2, true},
      {{313, 10}, false, -1, -1, false},  // right of the last edge
      {{50, 0}, false, -1, -1, false},    // on the top line
      {{50, 78}, false, -1, 0, false},    // below the rows: the column is known
  };
  for (const Case& c : cases) {
    uint16_t row = 0xEEEE;
    uint16_t col = 0xEEEE;
    bool edge = true;
    bool box = true;
    SCOPED_TRACE(testing::Message() << c.point.x() << "," << c.point.y());
    EXPECT_EQ(table.HitTest(c.point, row, col, edge, box), c.hit);
    if (c.row >= 0) {
      EXPECT_EQ(row, c.row);
    }
    if (c.col >= 0) {
      EXPECT_EQ(col, c.col);
    } else {
      EXPECT_EQ(col, 0xEEEE);
    }
    EXPECT_EQ(edge, c.edge);
    EXPECT_FALSE(box);
  }
}

TEST(WTable, HitTestFollowsTitleAndScrolling) {
  FakeTable table(3, UTableBase::kFlagTitleShown);
  table.SetRowCount(3);
  uint16_t row = 0;
  uint16_t col = 0;
  bool edge = false;
  bool box = false;
  EXPECT_FALSE(table.HitTest({50, 29}, row, col, edge, box));  // the title band
  EXPECT_TRUE(table.HitTest({50, 30}, row, col, edge, box));
  EXPECT_EQ(row, 0);
  table.vscroll = 26;
  table.hscroll = 100;
  EXPECT_TRUE(table.HitTest({50, 30}, row, col, edge, box));
  EXPECT_EQ(row, 1);
  EXPECT_EQ(col, 1);
  EXPECT_FALSE(edge);  // edges only on resizable tables
  table.rowHeight = 0;
  EXPECT_FALSE(table.HitTest({50, 40}, row, col, edge, box));
}

TEST(WTable, SetColumnWidthAlwaysUpdatesTheScrollBar) {
  FakeTable table(3, 0);
  table.SetColumnWidth(5, 50);
  EXPECT_EQ(table.columnWidths.Widths(), (std::vector<int>{100, 100, 100}));
  EXPECT_EQ(table.hUpdates, 1);
  table.SetColumnWidth(1, 50);
  EXPECT_EQ(table.columnWidths.Widths(), (std::vector<int>{100, 50, 100}));
  EXPECT_EQ(table.columnWidths.TotalWidth(), 250);
  EXPECT_EQ(table.columnWidths.Edges(), (std::vector<int>{0, 100, 150, 250}));
  EXPECT_EQ(table.hUpdates, 2);
}

TEST(WProxyTable, FitToWindowSharesTheClientAreaOut) {
  QWidget host;
  host.resize(100, 30);
  WProxyTable table(3, 0);
  table.SetRowCount(1);
  table.FitToWindow(&host);
  EXPECT_EQ(table.rect, (WRect{0, 0, 100, 30}));
  EXPECT_EQ(table.columnWidths.Widths(), (std::vector<int>{33, 33, 33}));
  EXPECT_EQ(table.rowHeight, 30);
  table.FitToWindow(nullptr);
  EXPECT_EQ(table.rowHeight, 30);
}

TEST(WProxyTable, HitTestCursorFindsTheCellUnderTheCursor) {
  QWidget host;
  host.resize(150, 30);
  host.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
  WProxyTable table(3, 0);
  table.SetRowCount(1);
  table.FitToWindow(&host);
  table.SetCellText(0, 1, "居中");

  CellInfo cell;
  QCursor::setPos(host.mapToGlobal(QPoint(75, 15)));
  ASSERT_TRUE(table.HitTestCursor(&host, cell));
  EXPECT_EQ(cell.col, 1);
  EXPECT_EQ(cell.text, "居中");
  EXPECT_TRUE(cell.textColour);

  QCursor::setPos(host.mapToGlobal(QPoint(120, 15)));
  ASSERT_TRUE(table.HitTestCursor(&host, cell));
  EXPECT_EQ(cell.col, 2);
  EXPECT_TRUE(cell.text.empty());
  EXPECT_FALSE(cell.textColour);  // a bare record

  for (QPoint outside : {QPoint(0, 15), QPoint(75, 29), QPoint(200, 15)}) {
    QCursor::setPos(host.mapToGlobal(outside));
    EXPECT_FALSE(table.HitTestCursor(&host, cell)) << outside.x() << "," << outside.y();
  }
  EXPECT_FALSE(table.HitTestCursor(nullptr, cell));
}

}  // namespace
}  // namespace NsOvrin::NsWui
