// The output pane: its tab and list, the report lines the error check
// writes, the double click that runs a line's action, and the context menu.
#include "app/COutputWnd.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "alarm/AlarmManager.h"
#include "app/COutputList.h"
#include "project/QlEProject.h"
#include "project_persistence/UiErrList.h"
#include "wui/DlgItem.h"

namespace NsOvrin {
namespace {

// Counts how often a double click asked it to show its place.
class CountingDisplay : public UiErrDisplay {
 public:
  void Show() override { ++shown; }
  int shown = 0;
};

class OutputPane : public ::testing::Test {
 protected:
  void SetUp() override {
    UiErrList::Instance().results.clear();
    list_ = pane_.GetOutputList();
    ASSERT_NE(list_, nullptr);
  }
  void TearDown() override { UiErrList::Instance().results.clear(); }

  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    for (int i = 0; i < list_->count(); ++i) lines.push_back(list_->item(i)->text().toStdString());
    return lines;
  }

  // Lines with their entries, as the check appends them: the entry first.
  void Report(const std::vector<std::pair<std::string, std::shared_ptr<UiErrDisplay>>>& lines) {
    list_->ResetContent();
    auto& results = UiErrList::Instance().results;
    results.clear();
    for (const auto& [text, entry] : lines) {
      results.push_back(entry);
      list_->AddString(text);
    }
  }

  void ShowPane() {
    pane_.resize(500, 300);
    pane_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane_));
  }
  // The first click of a double click selects, as the user's does.
  void DoubleClickAt(QPoint at) {
    QTest::mouseClick(list_->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list_->viewport(), Qt::LeftButton, {}, at);
  }
  void DoubleClickLine(int row) { DoubleClickAt(list_->visualItemRect(list_->item(row)).center()); }

  COutputWnd pane_;
  COutputList* list_ = nullptr;
};

TEST_F(OutputPane, HoldsOneTabWithTheList) {
  EXPECT_EQ(pane_.windowTitle(), QStringLiteral("输出"));
  auto* tabs = NsWui::DlgItem<QTabWidget>(&pane_, COutputWnd::IDC_OUTPUT_TABS);
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(tabs, pane_.GetTabCtrl());
  EXPECT_EQ(pane_.widget(), tabs);
  EXPECT_EQ(tabs->tabPosition(), QTabWidget::South);
  EXPECT_FALSE(tabs->tabsClosable());
  ASSERT_EQ(tabs->count(), 1);
  EXPECT_EQ(tabs->tabText(0), QStringLiteral("生成"));
  EXPECT_EQ(tabs->widget(0), list_);
  EXPECT_EQ(NsWui::DlgItem<COutputList>(&pane_, COutputList::IDC_OUTPUT_LIST), list_);
  EXPECT_FALSE(list_->isSortingEnabled());
  EXPECT_EQ(list_->count(), 0);
}

TEST_F(OutputPane, ShowsTheLinesInTheOrderWritten) {
  ReportListBox& box = *list_;
  // Out of alphabetical order on purpose: the list must not sort.
  box.AddString(">---------检查页面1----------");
  box.AddString("页面1控件[10.0,20.0] 地址错误.");
  box.AddString("----------检测失败--------");
  EXPECT_EQ(Lines(), (std::vector<std::string>{">---------检查页面1----------",
                                               "页面1控件[10.0,20.0] 地址错误.",
                                               "----------检测失败--------"}));
  box.ResetContent();
  EXPECT_TRUE(Lines().empty());
  box.AddString("x");
  EXPECT_EQ(Lines(), std::vector<std::string>{"x"});
}

TEST_F(OutputPane, TheErrorCheckWritesItsReportHere) {
  // No project open and no alarm group: the page-file section fails
  // without a line.
  QlEProject::Instance().Reset("");
  NsAlarm::AlarmManager::Instance().Clear();
  list_->AddString("an old line");

  EXPECT_FALSE(UiErrList::Instance().RunCheck(*list_));
  EXPECT_EQ(Lines(), (std::vector<std::string>{">---------检查事件----------",
                                               ">---------检查警报配置--------",
                                               "----------检测失败--------"}));
  EXPECT_EQ(UiErrList::Instance().results.size(), 3u);
}

TEST_F(OutputPane, ADoubleClickRunsTheLinesAction) {
  ShowPane();
  auto first = std::make_shared<CountingDisplay>();
  auto second = std::make_shared<CountingDisplay>();
  Report({{">---------检查事件----------", nullptr},
          {"D0(ON)中, 函数 { SET } 错误: 缺少地址", first},
          {"D1(OFF)中, 函数 { RST } 错误: 缺少地址", second},
          {"----------检测失败--------", nullptr}});

  DoubleClickLine(2);
  EXPECT_EQ(first->shown, 0);
  EXPECT_EQ(second->shown, 1);
  DoubleClickLine(1);
  EXPECT_EQ(first->shown, 1);
  EXPECT_EQ(second->shown, 1);

  // Header and summary lines have no action.
  DoubleClickLine(0);
  DoubleClickLine(3);
  EXPECT_EQ(first->shown + second->shown, 2);
}

TEST_F(OutputPane, ADoubleClickWithoutSelectionOrEntryDoesNothing) {
  ShowPane();
  auto entry = std::make_shared<CountingDisplay>();
  Report({{"警报组(D100)中 警报地址异常或者不在数据列表中或长度异常.", entry}});
  // A line the results do not reach.
  list_->AddString("extra");
  DoubleClickLine(1);
  EXPECT_EQ(entry->shown, 0);

  // No selection at all.
  list_->clearSelection();
  list_->OnLButtonDblClk();
  EXPECT_EQ(entry->shown, 0);

  list_->setCurrentRow(0);
  list_->OnLButtonDblClk();
  EXPECT_EQ(entry->shown, 1);
}

TEST_F(OutputPane, ClearingEmptiesTheListButKeepsTheResults) {
  ShowPane();
  auto entry = std::make_shared<CountingDisplay>();
  Report({{"警报组()中 警报起始地址不能为空!", entry}});
  list_->setCurrentRow(0);

  list_->OnCommand(COutputList::ID_EDIT_CLEAR);
  EXPECT_EQ(list_->count(), 0);
  EXPECT_EQ(UiErrList::Instance().results.size(), 1u);
  DoubleClickAt(QPoint(10, 5));
  list_->OnLButtonDblClk();
  EXPECT_EQ(entry->shown, 0);

  // The next report fills it again.
  Report({{"警报组()中 警报起始地址不能为空!", entry}});
  DoubleClickLine(0);
  EXPECT_EQ(entry->shown, 1);
}

TEST_F(OutputPane, TheContextMenuOffersCopyClearAndHide) {
  const std::unique_ptr<QMenu> menu = list_->CreateContextMenu();
  struct Item {
    const char* text;
    int id;
  };
  const Item expected[] = {{"复制(&C)", COutputList::ID_EDIT_COPY},
                           {"清除(&C)", COutputList::ID_EDIT_CLEAR},
                           {"", 0},
                           {"隐藏(&H)", COutputList::ID_VIEW_OUTPUTWND}};
  const QList<QAction*> actions = menu->actions();
  ASSERT_EQ(actions.size(), 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(actions[i]->isSeparator(), expected[i].id == 0) << i;
    if (expected[i].id == 0) continue;
    EXPECT_EQ(actions[i]->text(), QString::fromUtf8(expected[i].text)) << i;
    EXPECT_EQ(actions[i]->data().toInt(), expected[i].id) << i;
  }
  EXPECT_EQ(COutputList::ID_EDIT_COPY, 57634);
  EXPECT_EQ(COutputList::ID_EDIT_CLEAR, 57632);
  EXPECT_EQ(COutputList::ID_VIEW_OUTPUTWND, 149);

  Report({{"a", nullptr}, {"b", nullptr}});
  actions[0]->trigger();
  EXPECT_EQ(Lines(), (std::vector<std::string>{"a", "b"}));
  actions[1]->trigger();
  EXPECT_TRUE(Lines().empty());
}

// Runs action on the first pop-up menu to open; a menu left open is closed,
// so a failing test cannot hang. The caller deletes the driver once the code
// under test has returned.
std::unique_ptr<QTimer> WhenPopup(std::function<void(QMenu*)> action, bool* opened) {
  *opened = false;
  auto timer = std::make_unique<QTimer>();
  auto tries = std::make_shared<int>(0);
  QTimer* driver = timer.get();
  QObject::connect(driver, &QTimer::timeout, [driver, tries, action, opened] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr && ++*tries < 500) return;
    driver->stop();
    if (menu == nullptr) return;
    *opened = true;
    action(menu);
    if (menu->isVisible()) menu->close();
  });
  driver->start(10);
  return timer;
}

class OutputPaneInFrame : public OutputPane {
 protected:
  void SetUp() override {
    OutputPane::SetUp();
    elsewhere_ = new QLineEdit;
    frame_.setCentralWidget(elsewhere_);
    frame_.addDockWidget(Qt::BottomDockWidgetArea, &pane_);
    frame_.resize(800, 600);
    frame_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame_));
  }
  void TearDown() override {
    frame_.removeDockWidget(&pane_);
    pane_.setParent(nullptr);
    OutputPane::TearDown();
  }
  QMainWindow frame_;
  QLineEdit* elsewhere_ = nullptr;
};

TEST_F(OutputPaneInFrame, TheMenuOpensAtThePointAndRunsTheChosenCommand) {
  Report({{"a", nullptr}});
  elsewhere_->setFocus();
  ASSERT_EQ(frame_.focusWidget(), elsewhere_);
  bool opened = false;
  QPoint shownAt;
  const auto driver = WhenPopup(
      [&shownAt](QMenu* menu) {
        shownAt = menu->pos();
        menu->setActiveAction(menu->actions()[1]);
        QTest::keyClick(menu, Qt::Key_Return);
      },
      &opened);
  const QPoint point = list_->mapToGlobal(QPoint(20, 10));
  list_->OnContextMenu(point);
  EXPECT_TRUE(opened);
  EXPECT_EQ(shownAt, point);
  EXPECT_TRUE(Lines().empty());
  // The list is the window's focus child; it holds the keyboard once the window
  // is active again, which a loaded machine may deliver late or not at all.
  EXPECT_EQ(frame_.focusWidget(), list_);
}

TEST_F(OutputPaneInFrame, HideHidesThePane) {
  ASSERT_TRUE(pane_.isVisible());
  list_->OnCommand(COutputList::ID_VIEW_OUTPUTWND);
  EXPECT_FALSE(pane_.isVisible());
  EXPECT_TRUE(frame_.isVisible());
  EXPECT_FALSE(pane_.toggleViewAction()->isChecked());

  // A floating pane still belongs to the frame.
  pane_.show();
  pane_.setFloating(true);
  ASSERT_TRUE(pane_.isVisible());
  list_->OnViewOutput();
  EXPECT_FALSE(pane_.isVisible());
}

TEST_F(OutputPane, OutsideAMainWindowNoMenuOpensAndHideDoesNothing) {
  ShowPane();
  Report({{"a", nullptr}});
  bool opened = false;
  const auto driver = WhenPopup([](QMenu*) {}, &opened);
  // A menu would block here until the driver closed it.
  list_->OnContextMenu(list_->mapToGlobal(QPoint(20, 10)));
  EXPECT_FALSE(opened);
  EXPECT_EQ(Lines(), std::vector<std::string>{"a"});

  list_->OnViewOutput();
  EXPECT_TRUE(pane_.isVisible());
}

}  // namespace
}  // namespace NsOvrin
