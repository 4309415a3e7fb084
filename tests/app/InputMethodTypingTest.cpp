// Text an input method commits, as a user of a Chinese desktop types
// everything, is typing to every confirm edit of the running editor: it
// starts editing, so the edit checks it on Enter and gives it up on focus
// loss, exactly as for typed keys. So is every other way a user changes a
// confirm edit's text: pasting, cutting, dropping, undoing, composing.
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <memory>
#include <string>

#include "RunningEditorFixture.h"
#include "alarm/AlarmManager.h"
#include "alarm/AlarmSegCvb.h"
#include "app/AppCommands.h"
#include "dialogs/CDlgAlarmCfg.h"
#include "dialogs/CDlgNewProject.h"
#include "dialogs/CDlgProtEdit.h"
#include "dialogs/CDlgProtPage.h"
#include "termination/ChannelManager.h"
#include "wui/CConfirmEditCtrl.h"
#include "wui/DlgItem.h"
#include "wui/InputMethodTyping.h"
#include "wui/ModalDriver.h"
#include "wui/UserTextChanges.h"

namespace NsOvrin::Testing {
namespace {

using NsWui::CConfirmEditCtrl;
using NsWui::DlgItem;
using NsWui::UiCall;
using Testing::UserTextChange;

class InputMethodTyping : public RunningEditorFixture {
 protected:
  void TearDown() override {
    NsAlarm::AlarmManager::Instance().Clear();
    RunningEditorFixture::TearDown();
  }

  // The focus arrives as by the Tab key: no click, which would start
  // editing by itself. The whole text is selected, to be typed over.
  static void FocusAndSelectAll(CConfirmEditCtrl* edit) {
    ASSERT_NO_FATAL_FAILURE(FocusByTab(edit));
    ASSERT_FALSE(edit->editing);
    edit->selectAll();
  }

  // The window the user types into is the focus window. (A dialog counts as
  // active while its owner has the focus, which is not where the text goes.)
  static void FocusByTab(QWidget* edit) {
    QWindow* window = edit->window()->windowHandle();
    edit->window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([window] { return QGuiApplication::focusWindow() == window; }));
    edit->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(QGuiApplication::focusObject(), edit);
  }

  std::vector<UiCall> Tips() const { return ui_.CallsOf(UiCall::Kind::BalloonTip); }

  QWidget* SelectNumberBox() {
    Click(view_, {190, 90});
    QWidget* page = ShownPage();
    EXPECT_NE(dynamic_cast<CDlgProtEdit*>(page), nullptr);
    return page;
  }
};

// Typed with keys, a screen size out of range goes when OK takes the focus
// and the proposed size is taken; committed by an input method, the same.
TEST_F(InputMethodTyping, AScreenSizeCommittedThroughAnInputMethodIsRefusedAsTypedKeysAre) {
  QlEProject& project = QlEProject::Instance();
  for (const bool inputMethod : {false, true}) {
    for (const char* typed : {"5", "99999"}) {
      for (const int id : {CDlgNewProject::IDC_WIDTH, CDlgNewProject::IDC_HEIGHT}) {
        SCOPED_TRACE(std::string(inputMethod ? "input method " : "keys ") + typed + " into " +
                     std::to_string(id));
        // Nothing to save: the command closes the project without asking.
        project.modified = false;
        for (const auto& page : project.openPages) page->modified = false;
        bool ran = false;
        QString shownWidth;
        QString shownHeight;
        NsWui::WhenModal([&](QWidget* modal) {
          auto* dialog = dynamic_cast<CDlgNewProject*>(modal);
          ASSERT_NE(dialog, nullptr);
          ran = true;
          shownWidth = dialog->widthEdit->text();
          shownHeight = dialog->heightEdit->text();
          DlgItem<QLineEdit>(dialog, CDlgNewProject::IDC_NAME)->setText(QStringLiteral("新工程"));
          DlgItem<QLineEdit>(dialog, CDlgNewProject::IDC_FOLDER)
              ->setText(QString::fromStdString(folder_ / "new"));
          auto* edit = DlgItem<CConfirmEditCtrl>(dialog, id);
          ASSERT_NO_FATAL_FAILURE(FocusAndSelectAll(edit));
          if (inputMethod) {
            CommitThroughInputMethod(QString::fromUtf8(typed));
          } else {
            QTest::keyClicks(edit, QString::fromUtf8(typed));
          }
          EXPECT_EQ(edit->text(), QString::fromUtf8(typed));
          EXPECT_TRUE(edit->editing);
          ClickAsTheUser(DlgItem<QPushButton>(dialog, CDlgNewProject::IDC_OK));
          EXPECT_FALSE(dialog->isVisible());
        });
        Trigger(ID_NEW_PROJECT);
        DeleteClosed();
        ASSERT_TRUE(ran);
        ASSERT_TRUE(project.open);
        EXPECT_EQ(project.name, "新工程");
        EXPECT_EQ(project.width, shownWidth.toFloat());
        EXPECT_EQ(project.height, shownHeight.toFloat());
        EXPECT_GE(project.width, 60.0f);
        EXPECT_GE(project.height, 60.0f);
      }
    }
  }
}

// "中" composed and committed into the idle address edit of a property page:
// editing from the composing on, with the buttons, and the focus leaving
// puts the address back.
TEST_F(InputMethodTyping, TextCommittedIntoAnIdleConfirmEditStartsEditingAndFocusLossRestores) {
  QWidget* page = SelectNumberBox();
  ASSERT_NE(page, nullptr);
  auto* address = DlgItem<CConfirmEditCtrl>(page, CDlgProtEdit::IDC_ADDRESS);
  ASSERT_NE(address, nullptr);
  const QString shown = address->text();
  ASSERT_EQ(shown.toStdString(), NsTermination::NormalizeDeviceAddress("PLC1.4x1"));
  const std::string before = PageSnapshot();

  ASSERT_NO_FATAL_FAILURE(FocusByTab(address));
  address->end(false);
  ComposeThroughInputMethod(QStringLiteral("zhong"));
  EXPECT_TRUE(address->editing);
  EXPECT_EQ(address->savedText, shown.toStdString());
  CommitThroughInputMethod(QStringLiteral("中"));
  EXPECT_TRUE(address->editing);
  EXPECT_TRUE(address->OkButton()->isVisible());
  EXPECT_TRUE(address->CancelButton()->isVisible());
  EXPECT_EQ(address->text(), shown + QStringLiteral("中"));

  QTest::keyClick(address, Qt::Key_Tab);
  EXPECT_FALSE(address->hasFocus());
  EXPECT_FALSE(address->editing);
  EXPECT_EQ(address->text(), shown);
  EXPECT_EQ(PageSnapshot(), before);
  EXPECT_FALSE(EditedPage()->modified);

  // Committed and confirmed: checked and taken.
  ASSERT_NO_FATAL_FAILURE(FocusAndSelectAll(address));
  CommitThroughInputMethod(QStringLiteral("PLC1.4x3"));
  ASSERT_TRUE(address->editing);
  QTest::keyClick(address, Qt::Key_Return);
  EXPECT_TRUE(Tips().empty());
  EXPECT_FALSE(address->editing);
  const std::string stored = R"("address":")" + NsTermination::NormalizeDeviceAddress("PLC1.4x3") + '"';
  EXPECT_NE(PageSnapshot().find(stored), std::string::npos) << stored;
  EXPECT_TRUE(EditedPage()->modified);
}

// The alarm group's start address, committed through an input method, is
// checked on Enter, given up on focus loss, and taken when it is sound.
TEST_F(InputMethodTyping, AnAlarmAddressCommittedThroughAnInputMethodIsChecked) {
  auto group = std::make_shared<NsAlarm::AlarmSegCvb>();
  group->SetAddress("PLC1.4x0");
  group->SetMessages({"温度过高", "压力低"});
  NsAlarm::AlarmManager::Instance().AddSeg(group);
  const char* const outside = "PLC1.4x20";
  const NsTermination::AddrCheckCode code = NsTermination::CheckDeviceAddress(outside, true);
  ASSERT_NE(code, NsTermination::kAddrOk);

  bool ran = false;
  NsWui::WhenModal([&](QWidget* modal) {
    auto* dialog = dynamic_cast<CDlgAlarmCfg*>(modal);
    ASSERT_NE(dialog, nullptr);
    ran = true;
    CConfirmEditCtrl* address = dialog->addressEdit;
    const QString shown = address->text();
    ASSERT_EQ(shown.toStdString(), NsTermination::NormalizeDeviceAddress("PLC1.4x0"));
    const std::string before = group->GetAddress();

    ASSERT_NO_FATAL_FAILURE(FocusAndSelectAll(address));
    CommitThroughInputMethod(QString::fromUtf8(outside));
    EXPECT_TRUE(address->editing);
    QTest::keyClick(address, Qt::Key_Return);
    const std::vector<UiCall> tips = Tips();
    ASSERT_EQ(tips.size(), 1u);
    EXPECT_EQ(tips[0].widget, address);
    EXPECT_EQ(tips[0].text, NsTermination::GetAddrCheckMessage(code));
    EXPECT_TRUE(address->editing);
    EXPECT_EQ(group->GetAddress(), before);

    QTest::keyClick(address, Qt::Key_Tab);
    EXPECT_FALSE(address->editing);
    EXPECT_EQ(address->text(), shown);
    EXPECT_EQ(group->GetAddress(), before);

    ASSERT_NO_FATAL_FAILURE(FocusAndSelectAll(address));
    CommitThroughInputMethod(QStringLiteral("PLC1.4x2"));
    EXPECT_TRUE(address->editing);
    QTest::keyClick(address, Qt::Key_Return);
    EXPECT_EQ(Tips().size(), 1u);
    EXPECT_FALSE(address->editing);
    EXPECT_EQ(group->GetAddress(), NsTermination::NormalizeDeviceAddress("PLC1.4x2"));
    CloseAsTheUser(dialog);
  });
  DoubleClickTreeItem(Tree()->GetAlarmCfgItem());
  DeleteClosed();
  EXPECT_TRUE(ran);
}

// A Chinese page name composed and committed through an input method, then
// confirmed, renames the page.
TEST_F(InputMethodTyping, AChineseNameCommittedIntoAPropertyPageAndConfirmedIsStored) {
  Click(view_, {700, 600});
  QWidget* page = ShownPage();
  ASSERT_NE(dynamic_cast<CDlgProtPage*>(page), nullptr);
  auto* name = DlgItem<CConfirmEditCtrl>(page, CDlgProtPage::IDC_NAME);
  ASSERT_NE(name, nullptr);
  ASSERT_EQ(name->text(), QStringLiteral("P1"));

  ASSERT_NO_FATAL_FAILURE(FocusAndSelectAll(name));
  ComposeThroughInputMethod(QStringLiteral("yemian"));
  CommitThroughInputMethod(QStringLiteral("页面甲"));
  EXPECT_TRUE(name->editing);
  QTest::keyClick(name, Qt::Key_Return);
  EXPECT_TRUE(Tips().empty());
  EXPECT_FALSE(name->editing);
  EXPECT_EQ(name->text(), QStringLiteral("页面甲"));
  EXPECT_EQ(EditedPage()->name, "页面甲");
  EXPECT_EQ(QlEProject::Instance().pageNames, (std::vector<std::string>{"页面甲", "P2"}));
  EXPECT_NE(FindItem(Tree(), "页面甲"), nullptr);
}

class ConfirmEditChanges : public InputMethodTyping {
 protected:
  // "创建新工程..." from the main frame, its width typed and confirmed as 1005
  // (or as change prepares it), then changed by change and left as outcome
  // says; OK clicked. The project gets the width the field showed, which is
  // the confirmed one unless the change was accepted.
  void NewProjectWidth(const UserTextChange& change, ChangeOutcome outcome) {
    QlEProject& project = QlEProject::Instance();
    project.modified = false;
    for (const auto& page : project.openPages) page->modified = false;
    bool ran = false;
    QString expected;
    NsWui::WhenModal([&](QWidget* modal) {
      auto* dialog = dynamic_cast<CDlgNewProject*>(modal);
      ASSERT_NE(dialog, nullptr);
      ran = true;
      DlgItem<QLineEdit>(dialog, CDlgNewProject::IDC_NAME)->setText(QStringLiteral("新工程"));
      DlgItem<QLineEdit>(dialog, CDlgNewProject::IDC_FOLDER)
          ->setText(QString::fromStdString(folder_ / "new"));
      CConfirmEditCtrl* edit = dialog->widthEdit;
      ASSERT_NO_FATAL_FAILURE(Change(edit, change, outcome, expected));
      ClickAsTheUser(DlgItem<QPushButton>(dialog, CDlgNewProject::IDC_OK));
      EXPECT_FALSE(dialog->isVisible());
      EXPECT_FALSE(edit->editing);
      EXPECT_EQ(edit->text(), expected);
    });
    Trigger(ID_NEW_PROJECT);
    DeleteClosed();
    ASSERT_TRUE(ran);
    ASSERT_TRUE(project.open);
    EXPECT_EQ(project.name, "新工程");
    EXPECT_EQ(project.width, expected.toFloat());
  }

  // The page's width in the property pane, the same way; the focus leaves
  // by Tab. The page keeps the width the field shows.
  void PageWidth(const UserTextChange& change, ChangeOutcome outcome) {
    Click(view_, {700, 600});
    QWidget* page = ShownPage();
    ASSERT_NE(dynamic_cast<CDlgProtPage*>(page), nullptr);
    auto* edit = DlgItem<CConfirmEditCtrl>(page, CDlgProtPage::IDC_WIDTH);
    ASSERT_NE(edit, nullptr);
    QString expected;
    ASSERT_NO_FATAL_FAILURE(Change(edit, change, outcome, expected));
    if (edit->hasFocus()) QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_FALSE(edit->hasFocus());
    EXPECT_FALSE(edit->editing);
    EXPECT_EQ(edit->text(), expected);
    const auto shown = EditedPage();
    EXPECT_EQ(shown->rect.right - shown->rect.left, expected.toFloat());
  }

  // Confirms the prepared value, changes it and ends the change; expected:
  // the text the field must show once the focus has left.
  void Change(CConfirmEditCtrl* edit, const UserTextChange& change, ChangeOutcome outcome,
              QString& expected) {
    ui_.calls.clear();
    ASSERT_NO_FATAL_FAILURE(FocusAndSelectAll(edit));
    change.prepare(*edit);
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_TRUE(Tips().empty());
    ASSERT_FALSE(edit->editing);
    const QString idle = edit->text();

    change.change(*edit);
    const QString changed = edit->text();
    ASSERT_NE(changed, idle);
    EXPECT_TRUE(edit->editing);
    EXPECT_TRUE(edit->OkButton()->isVisible());
    expected = idle;
    switch (outcome) {
      case ChangeOutcome::kLeave:
        break;
      case ChangeOutcome::kCancel:
        ClickAsTheUser(edit->CancelButton());
        EXPECT_FALSE(edit->editing);
        EXPECT_EQ(edit->text(), idle);
        break;
      case ChangeOutcome::kRefused:
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_EQ(Tips().size(), 1u);
        EXPECT_TRUE(edit->editing);
        break;
      case ChangeOutcome::kAccepted:
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_TRUE(Tips().empty());
        EXPECT_FALSE(edit->editing);
        expected = changed;
        break;
    }
  }

  // The changes of the table, in the way of outcome: an accepted one makes
  // a good text, the others a text the field's check refuses.
  static std::vector<UserTextChange> Changes(ChangeOutcome outcome, const char* badInsert) {
    return Testing::UserTextChanges(outcome == ChangeOutcome::kAccepted,
                                    QString::fromUtf8(badInsert));
  }
};

// Paste, cut, drop, undo, erasing keys, composing over the selection: each
// starts editing, a confirmation checks the change, and leaving or Cancel
// puts the confirmed width back, in the dialog and in the project made.
TEST_F(ConfirmEditChanges, EveryChangeOfTheNewProjectWidthIsCheckedOrGivenUp) {
  for (const ChangeOutcome outcome : kChangeOutcomes) {
    for (const UserTextChange& change : Changes(outcome, "99999")) {
      if (change.needsSelectionClipboard) continue;
      SCOPED_TRACE(change.name + ", " + ChangeOutcomeName(outcome));
      NewProjectWidth(change, outcome);
    }
  }
}

TEST_F(ConfirmEditChanges, EveryChangeOfAPagesWidthInThePaneIsCheckedOrGivenUp) {
  for (const ChangeOutcome outcome : kChangeOutcomes) {
    for (const UserTextChange& change : Changes(outcome, "x")) {
      if (change.needsSelectionClipboard) continue;
      SCOPED_TRACE(change.name + ", " + ChangeOutcomeName(outcome));
      PageWidth(change, outcome);
    }
  }
}

// Pasting the X11 primary selection with the middle button, where the
// platform has one.
TEST_F(ConfirmEditChanges, AMiddleClickPasteIntoTheWidthsIsCheckedOrGivenUp) {
  const bool selection = QGuiApplication::clipboard()->supportsSelection();
  for (const ChangeOutcome outcome : kChangeOutcomes) {
    for (const UserTextChange& change : Changes(outcome, "x")) {
      if (!change.needsSelectionClipboard) continue;
      SCOPED_TRACE(change.name + ", " + ChangeOutcomeName(outcome));
      if (!selection) {
        // Still driven: the click pastes nothing, the width stays idle.
        Click(view_, {700, 600});
        auto* edit = DlgItem<CConfirmEditCtrl>(ShownPage(), CDlgProtPage::IDC_WIDTH);
        ASSERT_NE(edit, nullptr);
        const QString idle = edit->text();
        change.change(*edit);
        EXPECT_FALSE(edit->editing);
        EXPECT_EQ(edit->text(), idle);
        GTEST_SKIP() << "the platform has no selection clipboard to paste from";
      }
      PageWidth(change, outcome);
    }
  }
  // A new project closes the page window: the pane's rows come first.
  for (const ChangeOutcome outcome : kChangeOutcomes) {
    for (const UserTextChange& change : Changes(outcome, "99999")) {
      if (!change.needsSelectionClipboard) continue;
      SCOPED_TRACE(change.name + ", " + ChangeOutcomeName(outcome));
      NewProjectWidth(change, outcome);
    }
  }
}

}  // namespace
}  // namespace NsOvrin::Testing
