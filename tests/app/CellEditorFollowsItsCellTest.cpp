// In the running editor, an open cell editor never writes a cell other than
// the one it is shown over: the users dialog opened from the project tree,
// made small, scrolled down (or right), a password cell opened, the dialog
// enlarged (its grid's scroll position clamps), then typed into and
// confirmed as the window system delivers keys. And the lists whose columns
// the user resizes or moves through their headers (the multi-state text's
// state list, the data block editor's blocks) take an open editor along
// with its cell.
#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>
#include <QWheelEvent>

#include "RunningEditorFixture.h"
#include "app/CViewTree.h"
#include "dialogs/CDlgDataBlock.h"
#include "dialogs/CDlgProtMultStateText.h"
#include "editor/QlEHostMultStateText.h"
#include "project_base/QlUser.h"
#include "dialogs/CDlgUsers.h"
#include "termination/ChannelManager.h"
#include "wui/DlgItem.h"
#include "wui/HeaderMouse.h"
#include "wui/ModalDriver.h"
#include "wui/OvReportCtrl.h"
#include "wui/RtConfirmEdit.h"
#include "wui/WReportCtrl.h"

namespace NsOvrin::Testing {
namespace {

using CellEditorFollowsItsCell = RunningEditorFixture;

// The window system's delivery: to the window, where the focus is.
void TypeIntoTheWindow(QWidget* window, const char* text, bool replacing = false) {
  if (replacing) QTest::keyClick(window->windowHandle(), Qt::Key_A, Qt::ControlModifier);
  for (const char* c = text; *c != '\0'; ++c) QTest::keyClick(window->windowHandle(), *c);
  QTest::keyClick(window->windowHandle(), Qt::Key_Return);
  QCoreApplication::processEvents();
}

// The user drags the window's border.
void ResizeAsTheUser(QWidget* window, int width, int height) {
  window->windowHandle()->resize(width, height);
  QCoreApplication::processEvents();
}

std::vector<std::string> Passwords() {
  std::vector<std::string> passwords;
  for (const QlUser& user : GetUserList()) passwords.push_back(user.password);
  return passwords;
}

void WheelDown(NsWui::OvReportCtrl& grid) {
  const QPointF at(40, 40);
  QWheelEvent wheel(at, grid.viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(grid.viewport(), &wheel);
}

// A click through the window near the far end of the scroll bar's track.
void ClickTowardTheEnd(QWidget* window, QScrollBar* bar) {
  const QPoint end = bar->orientation() == Qt::Horizontal ? QPoint(bar->width() - 24, bar->height() / 2)
                                                           : QPoint(bar->width() / 2, bar->height() - 24);
  QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, bar->mapTo(window, end));
  QCoreApplication::processEvents();
}

struct Route {
  const char* name;
  // The dialog's size while the grid is scrolled and the cell opened, and
  // its size after.
  QSize small;
  QSize large;
  void (*scroll)(QWidget* dialog, NsWui::OvReportCtrl& grid);
  QScrollBar* (*bar)(NsWui::OvReportCtrl& grid);
};

const Route kRoutes[] = {
    {"made low, wheeled down to user 4, made high", {800, 120}, {800, 400},
     [](QWidget*, NsWui::OvReportCtrl& grid) {
       for (int i = 0; i < 10; ++i) WheelDown(grid);
     },
     [](NsWui::OvReportCtrl& grid) { return grid.verticalScrollBar(); }},
    {"made narrow, scrolled right to the passwords, made wide", {420, 400}, {900, 400},
     [](QWidget* dialog, NsWui::OvReportCtrl& grid) {
       for (int i = 0; i < 10; ++i) ClickTowardTheEnd(dialog, grid.horizontalScrollBar());
     },
     [](NsWui::OvReportCtrl& grid) { return grid.horizontalScrollBar(); }},
};

TEST_F(CellEditorFollowsItsCell, APasswordTypedAfterTheUsersDialogGrewGoesToTheCellUnderTheEditorOrNowhere) {
  for (const Route& route : kRoutes) {
    SCOPED_TRACE(route.name);
    bool ran = false;
    std::vector<std::string> before;
    // Where the editor stood while the keys came, and the cell it writes.
    std::pair<int, int> underTheEditor{-1, -1};
    std::pair<int, int> edited{-1, -1};
    bool openWhileTyping = false;
    QlEProject::Instance().modified = false;
    NsWui::WhenModal([&](QWidget* modal) {
      auto* dialog = dynamic_cast<CDlgUsers*>(modal);
      ASSERT_NE(dialog, nullptr) << modal->windowTitle().toStdString();
      ran = true;
      before = Passwords();
      ASSERT_GE(before.size(), 4u);
      NsWui::OvReportCtrl& grid = *dialog->grid;

      ResizeAsTheUser(dialog, route.small.width(), route.small.height());
      QScrollBar* bar = route.bar(grid);
      ASSERT_GT(bar->maximum(), 0);
      route.scroll(dialog, grid);
      ASSERT_EQ(bar->value(), bar->maximum());

      // User 4's password cell, clicked through the window.
      const int row = 4;
      const QRect cell = grid.GetCellRect(row, CDlgUsers::kColPassword).ToQRect();
      ASSERT_TRUE(grid.viewport()->rect().contains(cell.center()));
      QTest::mouseClick(dialog->windowHandle(), Qt::LeftButton, {}, grid.viewport()->mapTo(dialog, cell.center()));
      QCoreApplication::processEvents();
      auto* editor = dynamic_cast<NsWui::RtConfirmEdit*>(grid.CurrentEditor().get());
      ASSERT_NE(editor, nullptr);
      NsWui::CConfirmEditCtrl* edit = editor->Control();
      ASSERT_TRUE(edit->isVisible());
      ASSERT_EQ(grid.editRow, row);
      ASSERT_TRUE(before[row - 1].empty());

      // Large enough for every row and column: the grid scrolls back.
      ResizeAsTheUser(dialog, route.large.width(), route.large.height());
      EXPECT_EQ(bar->value(), 0);

      openWhileTyping = grid.CurrentEditor() != nullptr && edit->isVisible();
      if (openWhileTyping) {
        uint16_t under = 0;
        uint16_t col = 0;
        bool onEdge = false;
        bool inBox = false;
        grid.HitTest(edit->geometry().center(), under, col, onEdge, inBox);
        underTheEditor = {under, col};
        edited = {grid.editRow, grid.editCol};
      }
      TypeIntoTheWindow(dialog, "row4");
      CloseAsTheUser(dialog);
    });
    DoubleClickTreeItem(*Tree(), Tree()->GetUsersItem());
    DeleteClosed();
    ASSERT_TRUE(ran);

    std::vector<std::string> expected = before;
    if (openWhileTyping) {
      // Still open: it stood over the cell it writes, and that user changed.
      EXPECT_EQ(underTheEditor, edited);
      if (edited.first >= 1) expected[static_cast<std::size_t>(edited.first - 1)] = "row4";
    }
    EXPECT_EQ(Passwords(), expected);
    EXPECT_EQ(QlEProject::Instance().modified, openWhileTyping);
    // Back as it was for the next route.
    GetUserList().clear();
  }
}

// The cell the open confirm edit of a list stands on, (-1, -1) when none is
// open or it does not stand on a whole cell: its text part covers the cell
// exactly, its own buttons stand to the right.
std::pair<int, int> CellUnderTheEditor(NsWui::WReportCtrl& list) {
  const auto editor = list.CurrentEditor();
  QWidget* window = editor ? editor->GetWnd() : nullptr;
  if (window == nullptr || !window->isVisible()) return {-1, -1};
  QRect text = window->geometry();
  text.setWidth(text.width() - NsWui::CConfirmEditCtrl::kButtonsWidth);
  const QModelIndex index = list.indexAt(text.center());
  if (!index.isValid() || list.GetCellRect(index.row(), index.column()).ToQRect() != text) return {-1, -1};
  return {index.row(), index.column()};
}

// A click on a cell of a list, where the user sees it.
void ClickListCell(NsWui::WReportCtrl& list, int row, int col) {
  const QRect cell = list.GetCellRect(row, col).ToQRect();
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, cell.center());
  QCoreApplication::processEvents();
}

// What the header routes leave for the paints and layouts that follow.
void Settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

struct HeaderRoute {
  const char* name;
  void (*run)(QHeaderView& header);
};

TEST_F(CellEditorFollowsItsCell, TheStateListsValueEditorFollowsItsCellWhenTheColumnsChange) {
  const HeaderRoute routes[] = {
      {"the first column's header edge dragged 90 pixels to the right",
       [](QHeaderView& header) { NsWui::Testing::DragSectionEdge(header, CDlgProtMultStateText::kColNumber, 90); }},
      {"the value column dragged behind 文字",
       [](QHeaderView& header) {
         NsWui::Testing::DragSectionBehind(header, CDlgProtMultStateText::kColValue, CDlgProtMultStateText::kColText);
       }},
      // Not named by anyone: a double click on the number column's edge
      // gives it the width of its numbers.
      {"the first column's header edge double-clicked",
       [](QHeaderView& header) { NsWui::Testing::DoubleClickSectionEdge(header, CDlgProtMultStateText::kColNumber); }},
  };
  int value = 7;
  QByteArray header;
  for (const HeaderRoute& route : routes) {
    SCOPED_TRACE(route.name);
    // A new multi-state text, placed with its tool: its page in the pane.
    Click(view_, {700, 600});
    Trigger(ID_TOOL_FIRST_ELEM + NsQlUiElem::kElemMultiStateLabel - 1);
    Click(view_, {500, 300});
    auto* page = dynamic_cast<CDlgProtMultStateText*>(ShownPage());
    ASSERT_NE(page, nullptr);
    const auto host = std::dynamic_pointer_cast<NsQlElemEditor::QlEHostMultStateText>(Host(ElementCount() - 1));
    ASSERT_NE(host, nullptr);
    NsWui::WReportCtrl& states = *page->StateList();
    // The same list serves every multi-state text: its columns as they
    // were before the first route.
    if (header.isEmpty()) header = states.header()->saveState();
    states.header()->restoreState(header);
    Settle();
    const int rows = states.topLevelItemCount();
    ASSERT_GT(rows, 0);
    const std::string text0 = host->GetStateText(0);

    ClickListCell(states, 0, CDlgProtMultStateText::kColValue);
    ASSERT_EQ(CellUnderTheEditor(states), std::make_pair(0, CDlgProtMultStateText::kColValue));
    const QRect before = states.GetCellRect(0, CDlgProtMultStateText::kColValue).ToQRect();

    route.run(*states.header());
    Settle();
    ASSERT_NE(states.GetCellRect(0, CDlgProtMultStateText::kColValue).ToQRect(), before) << "the cell moved";
    EXPECT_EQ(CellUnderTheEditor(states), std::make_pair(0, CDlgProtMultStateText::kColValue));

    // Typed and confirmed as the window system delivers keys.
    TypeIntoTheWindow(frame_, std::to_string(value).c_str(), true);
    EXPECT_EQ(host->GetStateValueText(0), std::to_string(value));
    EXPECT_EQ(host->GetStateText(0), text0);
    EXPECT_EQ(states.topLevelItemCount(), rows);
    EXPECT_EQ(states.topLevelItem(0)->text(CDlgProtMultStateText::kColValue).toStdString(), std::to_string(value));
    ++value;
  }
}

// The device's context menu in the project tree, with the command chosen.
void ChooseFromTheTreeMenu(CViewTree& tree, QTreeWidgetItem* item, int id) {
  tree.scrollToItem(item);
  const QPoint at = tree.visualItemRect(item).center();
  auto* timer = new QTimer(&tree);
  QObject::connect(timer, &QTimer::timeout, [timer, id] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr) return;
    timer->stop();
    for (QAction* action : menu->actions()) {
      if (action->isSeparator() || action->data().toInt() != id) continue;
      menu->setActiveAction(action);
      QTest::keyClick(menu, Qt::Key_Return);
      return;
    }
    menu->close();
  });
  timer->start(5);
  QWidget* viewport = tree.viewport();
  QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
  QApplication::sendEvent(viewport, &event);
  delete timer;
}

TEST_F(CellEditorFollowsItsCell, TheDataBlockEditorsIntervalEditorFollowsItsCellWhenTheColumnsChange) {
  const HeaderRoute routes[] = {
      {"the first column's header edge dragged 90 pixels to the right",
       [](QHeaderView& header) { NsWui::Testing::DragSectionEdge(header, CDlgDataBlock::kColNumber, 90); }},
      {"the interval column dragged behind 名称",
       [](QHeaderView& header) {
         NsWui::Testing::DragSectionBehind(header, CDlgDataBlock::kColInterval, CDlgDataBlock::kColName);
       }},
      // Not named by anyone: a double click on the address column's edge
      // gives it the width of its addresses.
      {"the address column's header edge double-clicked",
       [](QHeaderView& header) { NsWui::Testing::DoubleClickSectionEdge(header, CDlgDataBlock::kColAddress); }},
  };
  int interval = 500;
  for (const HeaderRoute& route : routes) {
    SCOPED_TRACE(route.name);
    bool ran = false;
    QlEProject::Instance().modified = false;
    NsWui::WhenModal([&](QWidget* modal) {
      auto* dialog = dynamic_cast<CDlgDataBlock*>(modal);
      ASSERT_NE(dialog, nullptr) << modal->windowTitle().toStdString();
      ran = true;
      NsWui::WReportCtrl& blocks = *dialog->blockGrid;
      ASSERT_EQ(blocks.topLevelItemCount(), 1);
      const std::string name = blocks.topLevelItem(0)->text(CDlgDataBlock::kColName).toStdString();

      ClickListCell(blocks, 0, CDlgDataBlock::kColInterval);
      ASSERT_EQ(CellUnderTheEditor(blocks), std::make_pair(0, CDlgDataBlock::kColInterval));
      const QRect before = blocks.GetCellRect(0, CDlgDataBlock::kColInterval).ToQRect();

      route.run(*blocks.header());
      Settle();
      EXPECT_NE(blocks.GetCellRect(0, CDlgDataBlock::kColInterval).ToQRect(), before) << "the cell moved";
      EXPECT_EQ(CellUnderTheEditor(blocks), std::make_pair(0, CDlgDataBlock::kColInterval));

      TypeIntoTheWindow(dialog, std::to_string(interval).c_str(), true);
      EXPECT_EQ(blocks.topLevelItem(0)->text(CDlgDataBlock::kColInterval).toStdString(), std::to_string(interval));
      EXPECT_EQ(blocks.topLevelItem(0)->text(CDlgDataBlock::kColName).toStdString(), name);
      CloseAsTheUser(dialog);
    });
    // The Ethernet channel's device: the channel has no description.
    QTreeWidgetItem* plc = Tree()->GetCommItem()->child(1)->child(0);
    ASSERT_NE(plc, nullptr);
    ChooseFromTheTreeMenu(*Tree(), plc, CViewTree::ID_EDIT_BLOCKS);
    DeleteClosed();
    ASSERT_TRUE(ran);
    const auto node = NsTermination::ChannelManager::Instance().FindNode("PLC1").Lock();
    ASSERT_TRUE(node);
    ASSERT_EQ(node->GetTasks().size(), 1u);
    EXPECT_EQ(node->GetTasks().front()->GetInterval(), static_cast<uint32_t>(interval));
    EXPECT_TRUE(QlEProject::Instance().modified);
    interval += 100;
  }
}

}  // namespace
}  // namespace NsOvrin::Testing
