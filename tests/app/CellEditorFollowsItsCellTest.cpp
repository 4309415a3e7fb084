// In the running editor, an open cell editor never writes a cell other than
// the one it is shown over: the users dialog opened from the project tree,
// made small, scrolled down (or right), a password cell opened, the dialog
// enlarged (its grid's scroll position clamps), then typed into and
// confirmed as the window system delivers keys.
#include <QScrollBar>
#include <QWheelEvent>

#include "RunningEditorFixture.h"
#include "dialogs/CDlgUsers.h"
#include "project_base/QlUser.h"
#include "wui/ModalDriver.h"
#include "wui/OvReportCtrl.h"
#include "wui/RtConfirmEdit.h"

namespace NsOvrin::Testing {
namespace {

using CellEditorFollowsItsCell = RunningEditorFixture;

// The window system's delivery: to the window, where the focus is.
void TypeIntoTheWindow(QWidget* window, const char* text) {
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

}  // namespace
}  // namespace NsOvrin::Testing
