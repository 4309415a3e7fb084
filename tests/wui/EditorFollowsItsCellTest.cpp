// An open cell editor stays over the cell it writes: whatever moves the
// cells under it (the scroll position changed by any route, rows taken away
// at or above it) ends the edit as a scroll does, and whatever lays the
// cells out anew (columns resized, moved or hidden, the header or title bar
// shown or hidden) takes the editor along with its cell, or ends the edit
// when the cell left the view. Both grids, driven through each route; then
// a key is typed wherever the focus is, and it must reach the cell under the
// editor or none.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <type_traits>

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>
#include <QWheelEvent>

#include "wui/HeaderMouse.h"
#include "wui/OvReportCtrl.h"
#include "wui/RtConfirmEdit.h"
#include "wui/RtEdit.h"
#include "wui/WReportCtrl.h"

namespace NsOvrin::NsWui {
namespace {

constexpr int kRows = 40;
constexpr int kEditCol = 1;

// One grid of either kind behind the editor manager's interface, with 40
// rows whose column 1 holds "r<row>", an edit box on column 1, and the
// routes that move its cells.
class Grid {
 public:
  virtual ~Grid() = default;
  virtual RtEditorMngBase& Manager() = 0;
  virtual QAbstractScrollArea& Area() = 0;
  virtual int RowCount() = 0;
  virtual void RemoveRow(int row) = 0;
  virtual void SetColumnWidth(int col, int width) = 0;
  virtual int ColumnWidth(int col) = 0;
  // The column's width changed by what changes it while an editor is open:
  // the header's edge dragged by the user, or the owner's code where a press
  // on the grid itself would end the edit first.
  virtual void DragColumnWider(int col, int by) = 0;
  // False when the grid has no such route.
  virtual bool MoveColumnBehind(int col, int behind) = 0;
  virtual bool SizeColumnToContents(int col) = 0;
  // The header or title bar over the rows, shown where it was hidden or
  // hidden where it was shown.
  virtual void ToggleHeader() = 0;
  virtual void HideColumn(int col) = 0;

  void Setup(QWidget& window) {
    editor = Manager().MakeEdit();
    Manager().AddColumnWndEditor(kEditCol, editor, 0);
    Area().setGeometry(10, 10, 400, 240);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  }
  std::map<int, std::string> Texts() {
    std::map<int, std::string> texts;
    for (int row = 0; row < RowCount(); ++row) texts[row] = Manager().GetCellText(row, kEditCol);
    return texts;
  }
  // A click on the cell, as the user opens its editor.
  void ClickCell(int row) {
    const QRect cell = Manager().GetCellRect(row, kEditCol).ToQRect();
    QTest::mouseClick(Area().viewport(), Qt::LeftButton, {}, cell.center());
  }
  QScrollBar* VBar() { return Area().verticalScrollBar(); }

  std::shared_ptr<RtEdit> editor;
};

class ReportGrid : public Grid {
 public:
  explicit ReportGrid(QWidget& window) : grid_(new OvReportCtrl(kRows, 3, 0, &window)) {
    grid_->SetColumnWidth(0, 100);
    grid_->SetColumnWidth(1, 500);
    grid_->SetColumnWidth(2, 100);
    for (int row = 0; row < kRows; ++row) {
      grid_->SetCellText(row, 0, std::to_string(row));
      grid_->SetCellText(row, kEditCol, "r" + std::to_string(row));
      grid_->SetCellText(row, 2, "c" + std::to_string(row));
    }
    Setup(window);
  }
  RtEditorMngBase& Manager() override { return *grid_; }
  QAbstractScrollArea& Area() override { return *grid_; }
  int RowCount() override { return grid_->GetRowCount(); }
  void RemoveRow(int row) override {
    grid_->RemoveRow(static_cast<uint16_t>(row));
    grid_->UpdateVScrollBar();
  }
  void SetColumnWidth(int col, int width) override { grid_->SetColumnWidth(static_cast<uint16_t>(col), width); }
  int ColumnWidth(int col) override { return grid_->columnWidths.Width(static_cast<std::size_t>(col)); }
  void DragColumnWider(int col, int by) override { SetColumnWidth(col, ColumnWidth(col) + by); }
  bool MoveColumnBehind(int, int) override { return false; }
  bool SizeColumnToContents(int) override { return false; }
  void ToggleHeader() override {
    grid_->titleShown = !grid_->titleShown;
    grid_->UpdateVScrollBar();
  }
  void HideColumn(int col) override { SetColumnWidth(col, 0); }
  OvReportCtrl* grid_;
};

class ListGrid : public Grid {
 public:
  explicit ListGrid(QWidget& window) : list_(new WReportCtrl(&window)) {
    list_->setColumnCount(3);
    list_->header()->setStretchLastSection(false);
    list_->setColumnWidth(0, 100);
    list_->setColumnWidth(1, 500);
    list_->setColumnWidth(2, 100);
    for (int row = 0; row < kRows; ++row) {
      new QTreeWidgetItem(list_, {QString::number(row), QStringLiteral("r%1").arg(row), QStringLiteral("c%1").arg(row)});
    }
    Setup(window);
  }
  RtEditorMngBase& Manager() override { return *list_; }
  QAbstractScrollArea& Area() override { return *list_; }
  int RowCount() override { return list_->topLevelItemCount(); }
  void RemoveRow(int row) override { delete list_->takeTopLevelItem(row); }
  void SetColumnWidth(int col, int width) override { list_->setColumnWidth(col, width); }
  int ColumnWidth(int col) override { return list_->columnWidth(col); }
  void DragColumnWider(int col, int by) override { Testing::DragSectionEdge(*list_->header(), col, by); }
  bool MoveColumnBehind(int col, int behind) override {
    Testing::DragSectionBehind(*list_->header(), col, behind);
    return true;
  }
  bool SizeColumnToContents(int col) override {
    Testing::DoubleClickSectionEdge(*list_->header(), col);
    return true;
  }
  void ToggleHeader() override { list_->setHeaderHidden(!list_->isHeaderHidden()); }
  void HideColumn(int col) override { list_->setColumnHidden(col, true); }
  WReportCtrl* list_;
};

struct Route {
  const char* name;
  std::function<void(Grid&, int editRow)> run;
  // The cells under the editor stay where they were: the edit goes on.
  bool cellStays = false;
};

void ScrollToRow(Grid& grid, int row) {
  // Rows are at most 32 pixels high; a little past the row's top.
  grid.VBar()->setValue(0);
  while (grid.VBar()->value() < grid.VBar()->maximum() &&
         grid.Manager().GetCellRect(row, kEditCol).top > 40) {
    grid.VBar()->setValue(grid.VBar()->value() + 1);
  }
}

const Route kRoutes[] = {
    {"the grid enlarged clamps the scroll position",
     [](Grid& grid, int) { grid.Area().resize(grid.Area().width(), 1200); }},
    {"the scroll position set from code", [](Grid& grid, int) { grid.VBar()->setValue(0); }},
    {"the scroll bar dragged to its end",
     [](Grid& grid, int) { grid.VBar()->triggerAction(QAbstractSlider::SliderToMaximum); }},
    {"one step of the wheel",
     [](Grid& grid, int) {
       const QPointF at(50, 50);
       QWheelEvent wheel(at, grid.Area().viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
       QApplication::sendEvent(grid.Area().viewport(), &wheel);
     }},
    {"the view scrolled sideways",
     [](Grid& grid, int) { grid.Area().horizontalScrollBar()->setValue(grid.Area().horizontalScrollBar()->maximum()); }},
    {"a row above it taken away", [](Grid& grid, int editRow) { grid.RemoveRow(editRow - 3); }},
    {"its own row taken away", [](Grid& grid, int editRow) { grid.RemoveRow(editRow); }},
    {"a row below it taken away", [](Grid& grid, int editRow) { grid.RemoveRow(editRow + 1); }, true},
};

template <class Kind>
class EditorFollowsItsCell : public ::testing::Test {};

struct GridNames {
  template <class Kind>
  static std::string GetName(int) {
    return std::is_same_v<Kind, ReportGrid> ? "OvReportCtrl" : "WReportCtrl";
  }
};

using GridKinds = ::testing::Types<ReportGrid, ListGrid>;
TYPED_TEST_SUITE(EditorFollowsItsCell, GridKinds, GridNames);

TYPED_TEST(EditorFollowsItsCell, AnythingThatMovesTheCellsEndsTheEdit) {
  for (const Route& route : kRoutes) {
    SCOPED_TRACE(route.name);
    QWidget window;
    window.resize(600, 1300);
    TypeParam grid(window);
    const int editRow = 20;
    ScrollToRow(grid, editRow);
    ASSERT_GT(grid.VBar()->value(), 0);
    grid.ClickCell(editRow);
    ASSERT_EQ(grid.Manager().CurrentEditor(), grid.editor);
    ASSERT_EQ(grid.Manager().editRow, editRow);
    const std::map<int, std::string> before = grid.Texts();

    route.run(grid, editRow);
    QCoreApplication::processEvents();
    // Typed wherever the focus went, as the window system delivers keys.
    QTest::keyClick(window.windowHandle(), 'x');

    RtEditWindow* box = grid.editor->Window();
    const bool open = grid.Manager().CurrentEditor() != nullptr;
    EXPECT_EQ(box->isVisible(), open);
    EXPECT_EQ(open, route.cellStays);
    // Still open: over the cell it writes, which holds what it held.
    if (open) {
      EXPECT_EQ(box->geometry(), grid.Manager().GetCellRect(grid.Manager().editRow, kEditCol).ToQRect());
      EXPECT_EQ(grid.Manager().GetCellText(grid.Manager().editRow, kEditCol), before.at(editRow) + "x");
      continue;
    }
    // Ended: nothing typed reached a cell.
    for (const auto& [row, text] : grid.Texts()) EXPECT_EQ(text.find('x'), std::string::npos) << row;
  }
}

struct LayoutRoute {
  const char* name;
  // False when the grid has no such route.
  std::function<bool(Grid&)> run;
  // The cell moved and is still in view: the edit goes on over it.
  bool goesOn;
};

const LayoutRoute kLayoutRoutes[] = {
    {"the column before it made 90 pixels wider",
     [](Grid& grid) {
       grid.DragColumnWider(0, 90);
       return true;
     },
     true},
    {"the column before it made 30 pixels narrower",
     [](Grid& grid) {
       grid.DragColumnWider(0, -30);
       return true;
     },
     true},
    {"its column moved behind the next one",
     [](Grid& grid) { return grid.MoveColumnBehind(kEditCol, kEditCol + 1); }, true},
    {"the column before it sized to its contents",
     [](Grid& grid) { return grid.SizeColumnToContents(0); }, true},
    {"the header over the rows shown or hidden",
     [](Grid& grid) {
       grid.ToggleHeader();
       return true;
     },
     true},
    {"the column before it made so wide that the cell is out of sight",
     [](Grid& grid) {
       grid.DragColumnWider(0, 600);
       return true;
     },
     false},
    {"its column hidden",
     [](Grid& grid) {
       grid.HideColumn(kEditCol);
       return true;
     },
     false},
};

// Paints, and what follows a paint, are done.
void Settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

TYPED_TEST(EditorFollowsItsCell, WhatLaysTheCellsOutAnewTakesTheEditorAlongOrEndsTheEdit) {
  for (const LayoutRoute& route : kLayoutRoutes) {
    SCOPED_TRACE(route.name);
    QWidget window;
    window.resize(600, 400);
    TypeParam grid(window);
    // All three columns in view, the header long enough to drag in.
    grid.SetColumnWidth(0, 60);
    grid.SetColumnWidth(kEditCol, 120);
    grid.SetColumnWidth(2, 100);
    Settle();
    const int editRow = 3;
    grid.ClickCell(editRow);
    ASSERT_EQ(grid.Manager().CurrentEditor(), grid.editor);
    ASSERT_EQ(grid.Manager().editRow, editRow);
    // Where the cell stands in the window: a list's header lies outside the
    // rows' area, which moves as the header comes or goes.
    QWidget* rows = grid.Area().viewport();
    const auto inWindow = [&window, rows](const QRect& rect) { return QRect(rows->mapTo(&window, rect.topLeft()), rect.size()); };
    const QRect cellBefore = inWindow(grid.Manager().GetCellRect(editRow, kEditCol).ToQRect());
    const std::map<int, std::string> before = grid.Texts();

    if (!route.run(grid)) continue;
    Settle();
    QTest::keyClick(window.windowHandle(), 'x');

    RtEditWindow* box = grid.editor->Window();
    const bool open = grid.Manager().CurrentEditor() != nullptr;
    EXPECT_EQ(box->isVisible(), open);
    EXPECT_EQ(open, route.goesOn);
    if (open) {
      // Over its cell, wherever that went, which took the key.
      const QRect cell = grid.Manager().GetCellRect(editRow, kEditCol).ToQRect();
      EXPECT_NE(inWindow(cell), cellBefore) << "the route moved the cell";
      EXPECT_EQ(box->geometry(), cell);
      EXPECT_EQ(grid.Manager().GetCellText(editRow, kEditCol), before.at(editRow) + "x");
      continue;
    }
    for (const auto& [row, text] : grid.Texts()) EXPECT_EQ(text.find('x'), std::string::npos) << row;
  }
}

TYPED_TEST(EditorFollowsItsCell, AConfirmEditFollowsItsCellWithItsButtonsBesideIt) {
  QWidget window;
  window.resize(600, 400);
  TypeParam grid(window);
  grid.SetColumnWidth(0, 60);
  grid.SetColumnWidth(kEditCol, 120);
  grid.SetColumnWidth(2, 100);
  auto confirm = grid.Manager().MakeConfirmEdit();
  grid.Manager().AddColumnEditor(2, confirm, 0);
  Settle();
  const int editRow = 3;
  const QRect cell = grid.Manager().GetCellRect(editRow, 2).ToQRect();
  QTest::mouseClick(grid.Area().viewport(), Qt::LeftButton, {}, cell.center());
  ASSERT_EQ(grid.Manager().CurrentEditor(), confirm);
  CConfirmEditCtrl* control = confirm->Control();
  const auto withButtons = [](QRect rect) {
    rect.setWidth(rect.width() + CConfirmEditCtrl::kButtonsWidth);
    return rect;
  };
  ASSERT_EQ(control->geometry(), withButtons(cell));

  grid.DragColumnWider(0, 90);
  Settle();
  const QRect moved = grid.Manager().GetCellRect(editRow, 2).ToQRect();
  ASSERT_NE(moved, cell);
  EXPECT_EQ(control->geometry(), withButtons(moved));
  // Painted again and again, it stays where it is.
  grid.Area().viewport()->repaint();
  Settle();
  EXPECT_EQ(control->geometry(), withButtons(moved));

  QTest::keyClick(window.windowHandle(), 'y');
  QTest::keyClick(window.windowHandle(), Qt::Key_Return);
  Settle();
  EXPECT_EQ(grid.Manager().GetCellText(editRow, 2), "c3y");
  EXPECT_FALSE(control->isVisible());
  EXPECT_EQ(control->width(), moved.width()) << "its buttons went with the edit";
}

}  // namespace
}  // namespace NsOvrin::NsWui
