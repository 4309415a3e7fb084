#include <gtest/gtest.h>

#include <QComboBox>
#include <QToolButton>

#include "support/ScriptedUiServices.h"
#include "wui/ReportFixture.h"
#include "wui/RtComboBox.h"
#include "wui/RtConfirmEdit.h"
#include "wui/RtEdit.h"
#include "wui/WReportCtrl.h"

namespace NsOvrin::NsWui {
namespace {

// An editor without a window that records what the grid asks of it.
class FakeEditor : public RtEditorBase {
 public:
  explicit FakeEditor(int id) : id(id) {}
  int GetCtrlId() const override { return id; }
  void Show(QWidget* owner, const WRect& cell, const std::string& text) override {
    if (owner == nullptr) return;
    shown = true;
    shows.emplace_back(cell, text);
  }
  void Hide() override {
    shown = false;
    ++hides;
  }
  void DestroyWnd() override { ++destroyed; }

  int id;
  bool shown = false;
  int hides = 0;
  int destroyed = 0;
  std::vector<std::pair<WRect, std::string>> shows;
};

class RtEditorTest : public Testing::ReportFixture {
 protected:
  void SetUp() override { MakeGrid(4, 3, 0); }

  // The centre of a cell, in client coordinates.
  QPoint CellPoint(int row, int col) const {
    const WRect cell = grid_->GetCellRect(row, col);
    return {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
  }
  // Records every text the editor hands on.
  void Record(RtEditorBase& editor) {
    editor.changeHook = [this](std::string& text) { written_.push_back(text); };
  }

  ScriptedUiServices ui_;
  std::vector<std::string> written_;
};

TEST_F(RtEditorTest, FreeControlIdsStartAfterTheNumberOfEntries) {
  EXPECT_EQ(grid_->GetFreeControlId(), 1);
  grid_->AddColumnEditor(0, std::make_shared<FakeEditor>(3), 0);
  grid_->AddColumnEditor(1, std::make_shared<FakeEditor>(4), 0);
  EXPECT_EQ(grid_->GetFreeControlId(), 5);
  grid_->entries.clear();
  grid_->AddColumnEditor(0, std::make_shared<FakeEditor>(1), 0);
  grid_->AddColumnEditor(1, std::make_shared<FakeEditor>(2), 0);
  EXPECT_EQ(grid_->GetFreeControlId(), 3);
}

TEST_F(RtEditorTest, ANullEditorIsNotRegistered) {
  const RtEditorEntry entry = grid_->AddColumnEditor(1, nullptr, 0);
  EXPECT_FALSE(entry.editor);
  EXPECT_FALSE(entry.hitTest);
  EXPECT_TRUE(grid_->entries.empty());
  EXPECT_TRUE(grid_->AddColumnWndEditor(1, std::shared_ptr<RtEdit>(), 0).hitTest == nullptr);
}

TEST_F(RtEditorTest, TheFirstRegisteredEditorThatAcceptsTheCellIsShown) {
  auto fromRow1 = std::make_shared<FakeEditor>(1);
  auto fromRow0 = std::make_shared<FakeEditor>(2);
  const RtEditorEntry first = grid_->AddColumnEditor(1, fromRow1, 1);
  grid_->AddColumnEditor(1, fromRow0, 0);
  ASSERT_EQ(grid_->entries.size(), 2u);
  EXPECT_EQ(first.editor, fromRow1);
  grid_->SetCellText(2, 1, "D7");

  grid_->BeginEdit(0, 1);
  EXPECT_TRUE(fromRow0->shown);
  EXPECT_EQ(grid_->CurrentEditor(), fromRow0);

  grid_->BeginEdit(2, 1);
  EXPECT_FALSE(fromRow0->shown);
  EXPECT_TRUE(fromRow1->shown);
  ASSERT_EQ(fromRow1->shows.size(), 1u);
  EXPECT_EQ(fromRow1->shows[0].first, grid_->GetCellRect(2, 1));
  EXPECT_EQ(fromRow1->shows[0].second, "D7");
  EXPECT_EQ(grid_->editRow, 2);
  EXPECT_EQ(grid_->editCol, 1);

  // The commit writes into the cell being edited.
  std::string text = "D8";
  fromRow1->commitHook(text);
  EXPECT_EQ(grid_->GetCellText(2, 1), "D8");

  // A cell no editor accepts only ends the edit.
  grid_->BeginEdit(2, 0);
  EXPECT_FALSE(fromRow1->shown);
  EXPECT_EQ(grid_->CurrentEditor(), nullptr);
  EXPECT_EQ(grid_->editRow, 2);
  EXPECT_EQ(grid_->editCol, 0);

  // A disabled predicate is passed over.
  grid_->entries[0].hitTest->enabled = false;
  grid_->BeginEdit(2, 1);
  EXPECT_FALSE(fromRow1->shown);
  EXPECT_TRUE(fromRow0->shown);
}

TEST_F(RtEditorTest, NoEditBeginsOnRowMinusOneOrWhileEditingIsDisabled) {
  auto editor = std::make_shared<FakeEditor>(1);
  grid_->AddColumnEditor(1, editor, 0);
  grid_->BeginEdit(1, 1);
  grid_->BeginEdit(-1, 1);
  EXPECT_FALSE(editor->shown);
  EXPECT_EQ(grid_->editRow, 1);
  grid_->editingEnabled = false;
  grid_->BeginEdit(2, 1);
  EXPECT_FALSE(editor->shown);
  EXPECT_EQ(grid_->editRow, 1);
  EXPECT_EQ(editor->shows.size(), 1u);
}

TEST_F(RtEditorTest, OnlyTheCurrentEditorClosingEndsTheEdit) {
  auto first = grid_->MakeEdit();
  grid_->AddColumnWndEditor(0, first, 0);
  auto second = grid_->MakeEdit();
  grid_->AddColumnWndEditor(1, second, 0);
  EXPECT_EQ(first->GetCtrlId(), 1);
  EXPECT_EQ(second->GetCtrlId(), 2);

  grid_->BeginEdit(1, 0);
  second->closeHook(second.get());
  EXPECT_EQ(grid_->CurrentEditor(), first);
  first->closeHook(first.get());
  EXPECT_EQ(grid_->CurrentEditor(), nullptr);
  EXPECT_FALSE(first->Window()->isVisible());

  // An editor without a proper id is never taken for the closing one.
  auto anonymous = std::make_shared<FakeEditor>(RtEditorMngBase::kNoControlId);
  anonymous->closeHook = first->closeHook;
  grid_->AddColumnEditor(2, anonymous, 0);
  grid_->BeginEdit(1, 2);
  anonymous->closeHook(anonymous.get());
  EXPECT_EQ(grid_->CurrentEditor(), anonymous);
}

TEST_F(RtEditorTest, DestroyEditorsRemovesEveryWindow) {
  auto edit = grid_->MakeEdit();
  grid_->AddColumnWndEditor(0, edit, 0);
  auto combo = grid_->MakeComboBox();
  grid_->AddColumnWndEditor(1, combo, 0);
  auto fake = std::make_shared<FakeEditor>(9);
  grid_->AddColumnEditor(2, fake, 0);
  grid_->BeginEdit(1, 2);
  grid_->DestroyEditors();
  EXPECT_EQ(edit->Window(), nullptr);
  EXPECT_EQ(combo->Window(), nullptr);
  EXPECT_EQ(fake->destroyed, 1);
  EXPECT_EQ(fake->hides, 1);
  EXPECT_TRUE(grid_->entries.empty());
  EXPECT_EQ(grid_->CurrentEditor(), nullptr);
}

TEST_F(RtEditorTest, FactoriesMakeHiddenChildrenOfTheGrid) {
  auto edit = grid_->MakeEdit();
  grid_->AddColumnWndEditor(0, edit, 0);
  auto combo = grid_->MakeComboBox();
  grid_->AddColumnWndEditor(1, combo, 0);
  auto confirm = grid_->MakeConfirmEdit();
  for (QWidget* window : std::initializer_list<QWidget*>{edit->Window(), combo->Window(), confirm->Control()}) {
    EXPECT_EQ(window->parentWidget(), grid_->GetHostWnd());
    EXPECT_FALSE(window->isVisible());
  }
  EXPECT_EQ(edit->GetCtrlId(), 1);
  EXPECT_EQ(combo->GetCtrlId(), 2);
  EXPECT_EQ(confirm->GetCtrlId(), 3);
  EXPECT_EQ(edit->Window()->objectName(), QStringLiteral("1"));
}

TEST_F(RtEditorTest, EditWritesEveryKeystrokeButNotTheShowing) {
  auto edit = grid_->MakeEdit();
  grid_->AddColumnWndEditor(1, edit, 0);
  Record(*edit);
  Click(CellPoint(1, 1));
  RtEditWindow* window = edit->Window();
  ASSERT_TRUE(window->isVisible());
  EXPECT_TRUE(window->hasFocus());
  EXPECT_EQ(window->geometry(), grid_->GetCellRect(1, 1).ToQRect());
  EXPECT_TRUE(written_.empty());

  QTest::keyClicks(window, QStringLiteral("ab"));
  EXPECT_EQ(written_, (std::vector<std::string>{"a", "ab"}));
  EXPECT_EQ(grid_->GetCellText(1, 1), "ab");

  // Another cell with text: shown, then typed into.
  grid_->SetCellText(2, 1, "x");
  written_.clear();
  Click(CellPoint(2, 1));
  EXPECT_EQ(window->text(), QStringLiteral("x"));
  EXPECT_EQ(window->cursorPosition(), 1);
  QTest::keyClicks(window, QStringLiteral("y"));
  // The click into row 2 took the focus from the edit first: row 1 got its
  // text once more as the editor closed.
  EXPECT_EQ(written_, (std::vector<std::string>{"ab", "xy"}));
  EXPECT_EQ(grid_->GetCellText(2, 1), "xy");
}

TEST_F(RtEditorTest, EditShowingTheTextItHoldsKeepsTheFirstKeystroke) {
  auto edit = grid_->MakeEdit();
  grid_->AddColumnWndEditor(1, edit, 0);
  Record(*edit);
  // An empty cell into an empty edit, then a cell with the text the edit
  // still holds.
  grid_->BeginEdit(1, 1);
  QTest::keyClicks(edit->Window(), QStringLiteral("a"));
  grid_->SetCellText(2, 1, "a");
  grid_->BeginEdit(2, 1);
  written_.clear();
  QTest::keyClicks(edit->Window(), QStringLiteral("b"));
  EXPECT_EQ(written_, (std::vector<std::string>{"ab"}));
  EXPECT_EQ(grid_->GetCellText(2, 1), "ab");
}

TEST_F(RtEditorTest, TheChangeHookMayRewriteWhatIsWritten) {
  auto edit = grid_->MakeEdit();
  grid_->AddColumnWndEditor(1, edit, 0);
  edit->changeHook = [](std::string& text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  };
  grid_->BeginEdit(1, 1);
  QTest::keyClicks(edit->Window(), QStringLiteral("d5"));
  EXPECT_EQ(grid_->GetCellText(1, 1), "D5");
  EXPECT_EQ(edit->Window()->text(), QStringLiteral("d5"));
}

TEST_F(RtEditorTest, EditLosingTheFocusWritesAndCloses) {
  auto edit = grid_->MakeEdit();
  grid_->AddColumnWndEditor(1, edit, 0);
  Record(*edit);
  Click(CellPoint(1, 1));
  QTest::keyClicks(edit->Window(), QStringLiteral("q"));
  Click(CellPoint(1, 0));  // a cell without editor
  EXPECT_EQ(written_, (std::vector<std::string>{"q", "q"}));
  EXPECT_FALSE(edit->Window()->isVisible());
  EXPECT_EQ(grid_->CurrentEditor(), nullptr);
  EXPECT_TRUE(grid_->hasFocus());
}

TEST_F(RtEditorTest, EditorsIgnoreShowWithoutOwner) {
  auto edit = grid_->MakeEdit();
  auto combo = grid_->MakeComboBox();
  auto confirm = grid_->MakeConfirmEdit();
  edit->Show(nullptr, {0, 0, 50, 20}, "x");
  combo->Show(nullptr, {0, 0, 50, 20}, "x");
  confirm->Show(nullptr, {0, 0, 50, 20}, "x");
  EXPECT_FALSE(edit->Window()->isVisible());
  EXPECT_FALSE(combo->Window()->isVisible());
  EXPECT_FALSE(confirm->Control()->isVisible());
  EXPECT_TRUE(written_.empty());
}

TEST(RtEditorLifetime, ClosingTheWindowWhileEditingReachesNoOwner) {
  auto changes = std::make_shared<int>(0);
  std::shared_ptr<RtEdit> edit;
  {
    // The owner's hook counts through a pointer that outlives the window,
    // but the window may go after the owner's own members.
    QWidget window;
    window.resize(400, 300);
    auto* grid = new OvReportCtrl(3, 2, 0, &window);
    grid->setGeometry(0, 0, 300, 200);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    edit = grid->MakeEdit();
    grid->AddColumnWndEditor(1, edit, 0);
    edit->changeHook = [changes](std::string&) { ++*changes; };
    grid->BeginEdit(1, 1);
    QTest::keyClicks(edit->Window(), QStringLiteral("ab"));
    ASSERT_EQ(*changes, 2);
    ASSERT_TRUE(edit->Window()->hasFocus());
  }
  EXPECT_EQ(*changes, 2);
  EXPECT_EQ(edit->Window(), nullptr);
  EXPECT_FALSE(edit->commitHook);
  EXPECT_FALSE(edit->closeHook);
}

class RtComboBoxTest : public RtEditorTest {
 protected:
  void SetUp() override {
    RtEditorTest::SetUp();
    combo_ = grid_->MakeComboBox();
    grid_->AddColumnWndEditor(1, combo_, 0);
    Record(*combo_);
  }
  std::shared_ptr<RtComboBox> combo_;
};

TEST_F(RtComboBoxTest, SelectsTheFirstItemBeginningWithTheCellText) {
  combo_->Window()->addItems({QStringLiteral("Alpha"), QStringLiteral("beta"), QStringLiteral("否")});
  struct Case {
    const char* cell;
    int index;
  };
  // No match keeps the selection as it was.
  for (const Case& c : {Case{"否", 2}, Case{"BE", 1}, Case{"", -1}, Case{"al", 0}, Case{"zz", 0}}) {
    grid_->SetCellText(1, 1, c.cell);
    grid_->BeginEdit(1, 1);
    EXPECT_EQ(combo_->Window()->currentIndex(), c.index) << c.cell;
    EXPECT_TRUE(combo_->Window()->isVisible());
    EXPECT_EQ(combo_->Window()->geometry(), grid_->GetCellRect(1, 1).ToQRect());
  }
  EXPECT_TRUE(written_.empty());
}

TEST_F(RtComboBoxTest, ChoosingAnItemWritesItAndCloses) {
  combo_->Window()->addItems({QStringLiteral("是"), QStringLiteral("否")});
  grid_->SetCellText(2, 1, "否");
  Click(CellPoint(2, 1));
  ASSERT_TRUE(combo_->Window()->hasFocus());
  QTest::keyClick(combo_->Window(), Qt::Key_Up);
  EXPECT_EQ(written_, std::vector<std::string>{"是"});
  EXPECT_EQ(grid_->GetCellText(2, 1), "是");
  EXPECT_FALSE(combo_->Window()->isVisible());
  EXPECT_EQ(grid_->CurrentEditor(), nullptr);
}

TEST_F(RtComboBoxTest, LeavingWithoutChoosingWritesNothing) {
  combo_->Window()->addItems({QStringLiteral("是"), QStringLiteral("否")});
  grid_->SetCellText(2, 1, "否");
  Click(CellPoint(2, 1));
  Click(CellPoint(2, 0));
  EXPECT_TRUE(written_.empty());
  EXPECT_EQ(grid_->GetCellText(2, 1), "否");
  EXPECT_FALSE(combo_->Window()->isVisible());
  EXPECT_EQ(grid_->CurrentEditor(), nullptr);
}

TEST_F(RtComboBoxTest, AFillHookFillsTheListEachTimeItOpens) {
  std::vector<std::string> asked;
  combo_->fillHook = [&](QComboBox* box, const std::string& text) {
    asked.push_back(text);
    box->addItems({QStringLiteral("无"), QStringLiteral("页面1"), QStringLiteral("页面2")});
    box->setCurrentIndex(box->findText(QString::fromStdString(text), Qt::MatchStartsWith));
  };
  grid_->SetCellText(1, 1, "页面2");
  grid_->BeginEdit(1, 1);
  EXPECT_EQ(combo_->Window()->count(), 3);
  EXPECT_EQ(combo_->Window()->currentIndex(), 2);
  grid_->EndEdit();
  EXPECT_EQ(combo_->Window()->count(), 0);
  grid_->BeginEdit(2, 1);
  EXPECT_EQ(combo_->Window()->count(), 3);
  EXPECT_EQ(asked, (std::vector<std::string>{"页面2", ""}));
  EXPECT_TRUE(written_.empty());
}

class RtConfirmEditTest : public RtEditorTest {
 protected:
  void SetUp() override {
    RtEditorTest::SetUp();
    confirm_ = grid_->MakeConfirmEdit();
    grid_->AddColumnEditor(1, confirm_, 1);
    Record(*confirm_);
    grid_->SetCellText(1, 1, "old");
    Click(CellPoint(1, 1));
    control_ = confirm_->Control();
    ASSERT_TRUE(control_->isVisible());
  }
  void Retype(const char* text) {
    control_->selectAll();
    QTest::keyClicks(control_, QString::fromUtf8(text));
  }
  void Enter() { QTest::keyClick(control_, Qt::Key_Return); }

  std::shared_ptr<RtConfirmEdit> confirm_;
  CConfirmEditCtrl* control_ = nullptr;
};

TEST_F(RtConfirmEditTest, OpensInEditModeOverTheCell) {
  const WRect cell = grid_->GetCellRect(1, 1);
  EXPECT_TRUE(control_->editing);
  EXPECT_EQ(control_->savedText, "old");
  EXPECT_EQ(control_->text(), QStringLiteral("old"));
  EXPECT_TRUE(control_->hasFocus());
  EXPECT_EQ(control_->geometry(), QRect(cell.left, cell.top, cell.Width() + CConfirmEditBase::kButtonsWidth,
                                        cell.Height()));
  EXPECT_TRUE(control_->OkButton()->isVisible());
}

TEST_F(RtConfirmEditTest, AConfirmedTextIsWrittenOnce) {
  Retype("D5");
  EXPECT_TRUE(written_.empty());
  Enter();
  EXPECT_EQ(written_, std::vector<std::string>{"D5"});
  EXPECT_EQ(grid_->GetCellText(1, 1), "D5");
  EXPECT_FALSE(control_->isVisible());
  EXPECT_FALSE(control_->editing);
  EXPECT_EQ(grid_->CurrentEditor(), nullptr);
}

TEST_F(RtConfirmEditTest, ARefusedTextLeavesTheEditorOpen) {
  std::vector<std::pair<std::string, std::string>> checked;
  confirm_->validator = [&](const std::string& before, const std::string& now, std::string& message) {
    checked.emplace_back(before, now);
    if (now == "bad") message = "地址格式错误.";
    return now != "bad" && now != "worse";
  };
  grid_->BeginEdit(1, 1);  // the validator is taken when the editor opens
  Retype("bad");
  Enter();
  Retype("worse");
  Enter();
  const auto tips = ui_.CallsOf(UiCall::Kind::BalloonTip);
  ASSERT_EQ(tips.size(), 2u);
  EXPECT_EQ(tips[0].caption, "提示");
  EXPECT_EQ(tips[0].text, "地址格式错误.");
  EXPECT_EQ(tips[1].text, "未知原因.");
  EXPECT_EQ(tips[0].widget, control_);
  EXPECT_TRUE(control_->isVisible());
  EXPECT_TRUE(control_->editing);
  EXPECT_EQ(grid_->CurrentEditor(), confirm_);
  EXPECT_EQ(grid_->GetCellText(1, 1), "old");
  EXPECT_TRUE(written_.empty());

  Retype("good");
  Enter();
  EXPECT_EQ(grid_->GetCellText(1, 1), "good");
  EXPECT_EQ(checked, (std::vector<std::pair<std::string, std::string>>{
                         {"old", "bad"}, {"old", "worse"}, {"old", "good"}}));
}

TEST_F(RtConfirmEditTest, TheChangeHookMayRewriteTheConfirmedText) {
  confirm_->changeHook = [this](std::string& text) {
    written_.push_back(text);
    text = "PLC1." + text;
  };
  Retype("D5");
  Enter();
  EXPECT_EQ(written_, std::vector<std::string>{"D5"});
  EXPECT_EQ(grid_->GetCellText(1, 1), "PLC1.D5");
  EXPECT_EQ(control_->text(), QStringLiteral("PLC1.D5"));
}

TEST_F(RtConfirmEditTest, AChangeHookThatEndsTheEditRunsToItsEnd) {
  // The hook holds more than fits into the function object itself, and
  // reads it after the edit it ended dropped the hook.
  const std::string tag(300, 'c');
  std::vector<std::string> seen;
  confirm_->changeHook = [this, &seen, tag](std::string&) {
    grid_->EndEdit();
    confirm_->changeHook = nullptr;
    seen.push_back(tag);
  };
  Retype("D5");
  Enter();
  EXPECT_EQ(seen, std::vector<std::string>{tag});
  EXPECT_EQ(grid_->GetCellText(1, 1), "D5");
  EXPECT_FALSE(control_->isVisible());
  EXPECT_EQ(grid_->CurrentEditor(), nullptr);
}

TEST_F(RtConfirmEditTest, LeavingWithoutConfirmingKeepsTheCell) {
  Retype("zzz");
  Click(CellPoint(1, 0));
  EXPECT_TRUE(written_.empty());
  EXPECT_EQ(grid_->GetCellText(1, 1), "old");
  EXPECT_EQ(control_->text(), QStringLiteral("old"));
  EXPECT_FALSE(control_->editing);
  EXPECT_FALSE(control_->isVisible());
  EXPECT_EQ(grid_->CurrentEditor(), nullptr);
  EXPECT_EQ(control_->width(), grid_->GetCellRect(1, 1).Width());
}

TEST_F(RtConfirmEditTest, TheButtonsConfirmAndCancel) {
  Retype("zzz");
  QTest::mouseClick(control_->CancelButton(), Qt::LeftButton);
  EXPECT_TRUE(written_.empty());
  EXPECT_EQ(grid_->GetCellText(1, 1), "old");
  EXPECT_FALSE(control_->isVisible());
  EXPECT_EQ(grid_->CurrentEditor(), nullptr);

  Click(CellPoint(1, 1));
  ASSERT_TRUE(control_->isVisible());
  Retype("D9");
  QTest::mouseClick(control_->OkButton(), Qt::LeftButton);
  EXPECT_EQ(written_, std::vector<std::string>{"D9"});
  EXPECT_EQ(grid_->GetCellText(1, 1), "D9");
  EXPECT_FALSE(control_->isVisible());
  EXPECT_EQ(grid_->CurrentEditor(), nullptr);
}

TEST_F(RtConfirmEditTest, ScrollingAwayRestoresTheText) {
  grid_->SetRowCount(40);
  grid_->UpdateVScrollBar();
  Click(CellPoint(1, 1));
  Retype("zzz");
  Wheel(-120);
  EXPECT_FALSE(control_->isVisible());
  EXPECT_EQ(control_->text(), QStringLiteral("old"));
  EXPECT_EQ(grid_->GetCellText(1, 1), "old");
  EXPECT_TRUE(written_.empty());
}

class WReportCtrlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.resize(400, 300);
    list_ = new WReportCtrl(&window_);
    list_->setGeometry(10, 10, 320, 240);
    list_->setColumnCount(2);
    for (int i = 0; i < 3; ++i) {
      new QTreeWidgetItem(list_, {QString::number(i + 1), QStringLiteral("块%1").arg(i)});
    }
    window_.show();
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    edit_ = list_->MakeEdit();
    list_->AddColumnWndEditor(1, edit_, 0);
  }
  QPoint CellPoint(int row, int col) const {
    const WRect cell = list_->GetCellRect(row, col);
    return {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
  }
  void Click(QPoint point) { QTest::mouseClick(list_->viewport(), Qt::LeftButton, {}, point); }

  QWidget window_;
  WReportCtrl* list_ = nullptr;
  std::shared_ptr<RtEdit> edit_;
};

TEST_F(WReportCtrlTest, AClickOpensTheEditorOverTheCell) {
  Click(CellPoint(1, 1));
  ASSERT_TRUE(edit_->Window()->isVisible());
  EXPECT_EQ(edit_->Window()->parentWidget(), list_->viewport());
  EXPECT_EQ(edit_->Window()->geometry(), list_->GetCellRect(1, 1).ToQRect());
  EXPECT_EQ(edit_->Window()->text(), QStringLiteral("块1"));
  QTest::keyClicks(edit_->Window(), QStringLiteral("x"));
  EXPECT_EQ(list_->topLevelItem(1)->text(1), QStringLiteral("块1x"));
  EXPECT_EQ(list_->GetCellText(1, 1), "块1x");
  EXPECT_EQ(list_->editRow, 1);

  Click(CellPoint(2, 0));  // no editor for column 0
  EXPECT_FALSE(edit_->Window()->isVisible());
  EXPECT_EQ(list_->CurrentEditor(), nullptr);
}

TEST_F(WReportCtrlTest, TheClickHookComesFirst) {
  std::vector<std::pair<int, int>> clicks;
  bool allow = false;
  list_->clickHook = [&](int item, int subItem) {
    clicks.emplace_back(item, subItem);
    return allow;
  };
  Click(CellPoint(2, 1));
  EXPECT_FALSE(edit_->Window()->isVisible());
  allow = true;
  Click(CellPoint(2, 1));
  EXPECT_TRUE(edit_->Window()->isVisible());
  Click(QPoint(50, 200));  // below the rows
  EXPECT_FALSE(edit_->Window()->isVisible());
  EXPECT_EQ(clicks, (std::vector<std::pair<int, int>>{{2, 1}, {2, 1}, {-1, 0}}));
}

TEST_F(WReportCtrlTest, RowsThatDoNotExistHaveNoCells) {
  EXPECT_EQ(list_->GetCellRect(-1, 0), WRect{});
  EXPECT_EQ(list_->GetCellRect(3, 0), WRect{});
  EXPECT_EQ(list_->GetCellText(-1, 0), "");
  EXPECT_EQ(list_->GetCellText(7, 0), "");
  list_->SetCellText(7, 0, "x");
  list_->SetCellText(-1, 0, "x");
  list_->SetCellText(0, 0, "x");
  EXPECT_EQ(list_->GetCellText(0, 0), "x");
}

}  // namespace
}  // namespace NsOvrin::NsWui
