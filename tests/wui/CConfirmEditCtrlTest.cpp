#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <QWidget>

#include "support/ScriptedUiServices.h"
#include "wui/CConfirmEditCtrl.h"
#include "wui/DlgItem.h"
#include "wui/InputMethodTyping.h"
#include "wui/SelectedRowCheck.h"
#include "wui/UserTextChanges.h"

namespace NsOvrin::NsWui {
namespace {

using NsOvrin::Testing::CommitThroughInputMethod;
using NsOvrin::Testing::ComposeThroughInputMethod;
using NsOvrin::Testing::ChangeOutcome;
using NsOvrin::Testing::UserTextChange;

constexpr int kWidth = 150;
constexpr int kEditId = 1000;

class ConfirmEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.resize(500, 100);
    edit_ = new CConfirmEditCtrl(&window_);
    SetDlgItemId(edit_, kEditId);
    edit_->setGeometry(10, 10, kWidth, 24);
    edit_->setText(QStringLiteral("12"));
    other_ = new QLineEdit(&window_);
    other_->setGeometry(10, 50, 150, 24);
    window_.show();
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    edit_->setFocus();
    ASSERT_TRUE(edit_->hasFocus());
  }

  // Types at the end of the text.
  void Type(const char* text) {
    edit_->end(false);
    QTest::keyClicks(edit_, QString::fromUtf8(text));
  }

  std::vector<UiCall> Tips() const { return ui_.CallsOf(UiCall::Kind::BalloonTip); }

  ScriptedUiServices ui_;
  QWidget window_;
  CConfirmEditCtrl* edit_ = nullptr;
  QLineEdit* other_ = nullptr;
};

TEST_F(ConfirmEditTest, TypingStartsEditingAndWidensTheBoxOnce) {
  Type("3");
  EXPECT_TRUE(edit_->editing);
  EXPECT_EQ(edit_->savedText, "12");
  EXPECT_EQ(edit_->text(), QStringLiteral("123"));
  EXPECT_EQ(edit_->width(), kWidth + CConfirmEditBase::kButtonsWidth);
  EXPECT_TRUE(edit_->OkButton()->isVisible());
  EXPECT_TRUE(edit_->CancelButton()->isVisible());

  Type("4");
  EXPECT_EQ(edit_->savedText, "12");
  EXPECT_FALSE(edit_->ShowButtons(true));
  EXPECT_EQ(edit_->width(), kWidth + CConfirmEditBase::kButtonsWidth);
}

// A character typed on the keyboard and text an input method commits (on a
// Chinese desktop every character comes that way) start editing alike.
TEST_F(ConfirmEditTest, EveryWayOfTypingStartsEditingAndFocusLossRestores) {
  struct Case {
    const char* name;
    std::function<void()> type;
    const char* shown;
  };
  const std::vector<Case> cases = {
      {"a key", [this] { Type("3"); }, "123"},
      {"digits committed by an input method",
       [this] {
         edit_->end(false);
         CommitThroughInputMethod(QStringLiteral("34"));
       },
       "1234"},
      {"Chinese committed after composing",
       [this] {
         edit_->end(false);
         ComposeThroughInputMethod(QStringLiteral("zhong"));
         CommitThroughInputMethod(QStringLiteral("中"));
       },
       "12中"},
      {"a commit replacing the selection",
       [this] {
         edit_->selectAll();
         CommitThroughInputMethod(QStringLiteral("5"));
       },
       "5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    edit_->setFocus();
    ASSERT_EQ(QGuiApplication::focusObject(), edit_);
    ASSERT_FALSE(edit_->editing);
    c.type();
    EXPECT_TRUE(edit_->editing);
    EXPECT_EQ(edit_->savedText, "12");
    EXPECT_EQ(edit_->text(), QString::fromUtf8(c.shown));
    EXPECT_TRUE(edit_->OkButton()->isVisible());
    EXPECT_EQ(edit_->width(), kWidth + CConfirmEditBase::kButtonsWidth);
    other_->setFocus();
    EXPECT_FALSE(edit_->editing);
    EXPECT_EQ(edit_->text(), QStringLiteral("12"));
  }
}

// Composing is typing that shows before it is the edit's: editing starts
// with it, and giving the composition up leaves an edit to give up.
TEST_F(ConfirmEditTest, ComposingStartsEditingAndAnEmptyEventDoesNot) {
  // An event that carries nothing (no composition, no text) types nothing.
  CommitThroughInputMethod(QString());
  EXPECT_FALSE(edit_->editing);

  edit_->end(false);
  ComposeThroughInputMethod(QStringLiteral("zhong"));
  EXPECT_TRUE(edit_->editing);
  EXPECT_EQ(edit_->savedText, "12");
  EXPECT_TRUE(edit_->OkButton()->isVisible());
  ComposeThroughInputMethod(QString());
  EXPECT_TRUE(edit_->editing);
  EXPECT_EQ(edit_->text(), QStringLiteral("12"));
  other_->setFocus();
  EXPECT_FALSE(edit_->editing);
  EXPECT_EQ(edit_->text(), QStringLiteral("12"));
}

// Runs change on the idle edit, then ends the edit as outcome says; the
// check accepts whole numbers from 60 to 60000.
class ConfirmEditChangeTest : public ConfirmEditTest {
 protected:
  void SetUp() override {
    ConfirmEditTest::SetUp();
    edit_->validator = [this](const std::string& saved, const std::string& text, std::string&) {
      checked_.emplace_back(saved, text);
      bool digits = !text.empty() && text.size() <= 5;
      for (const char c : text) digits = digits && c >= '0' && c <= '9';
      return digits && std::stoi(text) >= 60 && std::stoi(text) <= 60000;
    };
  }

  void Check(const UserTextChange& change, ChangeOutcome outcome) {
    edit_->setText(QStringLiteral("800"));
    edit_->setFocus();
    change.prepare(*edit_);
    QTest::keyClick(edit_, Qt::Key_Return);
    ASSERT_FALSE(edit_->editing);
    ASSERT_TRUE(Tips().empty());
    const QString idle = edit_->text();
    checked_.clear();

    change.change(*edit_);
    const QString changed = edit_->text();
    ASSERT_NE(changed, idle);
    EXPECT_TRUE(edit_->editing);
    EXPECT_EQ(edit_->savedText, idle.toStdString());
    EXPECT_TRUE(edit_->OkButton()->isVisible());

    switch (outcome) {
      case ChangeOutcome::kLeave:
        other_->setFocus();
        break;
      case ChangeOutcome::kCancel:
        QTest::mouseClick(edit_->CancelButton(), Qt::LeftButton);
        break;
      case ChangeOutcome::kRefused:
        QTest::keyClick(edit_, Qt::Key_Return);
        EXPECT_EQ(Tips().size(), 1u);
        EXPECT_TRUE(edit_->editing);
        other_->setFocus();
        break;
      case ChangeOutcome::kAccepted:
        QTest::keyClick(edit_, Qt::Key_Return);
        EXPECT_TRUE(Tips().empty());
        break;
    }
    EXPECT_FALSE(edit_->editing);
    EXPECT_EQ(edit_->text(), outcome == ChangeOutcome::kAccepted ? changed : idle);
    using Checked = std::vector<std::pair<std::string, std::string>>;
    if (outcome == ChangeOutcome::kRefused || outcome == ChangeOutcome::kAccepted) {
      // Checked as typed text is: against the text editing began with.
      EXPECT_EQ(checked_, (Checked{{idle.toStdString(), changed.toStdString()}}));
    } else {
      EXPECT_EQ(checked_, Checked{});
    }
    ui_.calls.clear();
  }

  std::vector<std::pair<std::string, std::string>> checked_;
};

// However the user changes the idle text, the change starts editing with
// the idle text to restore, and a confirmation checks it.
TEST_F(ConfirmEditChangeTest, EveryUserChangeOfTheIdleTextIsAnEditToCheckOrGiveUp) {
  for (const ChangeOutcome outcome : NsOvrin::Testing::kChangeOutcomes) {
    for (const UserTextChange& change :
         NsOvrin::Testing::UserTextChanges(outcome == ChangeOutcome::kAccepted, QStringLiteral("99999"))) {
      // A middle click has a test of its own.
      if (change.needsSelectionClipboard) continue;
      SCOPED_TRACE(change.name + ", " + NsOvrin::Testing::ChangeOutcomeName(outcome));
      Check(change, outcome);
    }
  }
}

TEST_F(ConfirmEditChangeTest, AMiddleClickPasteIsAnEditToCheckOrGiveUp) {
  for (const ChangeOutcome outcome : NsOvrin::Testing::kChangeOutcomes) {
    for (const UserTextChange& change :
         NsOvrin::Testing::UserTextChanges(outcome == ChangeOutcome::kAccepted, QStringLiteral("99999"))) {
      if (!change.needsSelectionClipboard) continue;
      SCOPED_TRACE(change.name + ", " + NsOvrin::Testing::ChangeOutcomeName(outcome));
      if (!QGuiApplication::clipboard()->supportsSelection()) {
        // The click pastes nothing here: the edit stays as it was.
        change.change(*edit_);
        EXPECT_FALSE(edit_->editing);
        EXPECT_EQ(edit_->text(), QStringLiteral("12"));
        GTEST_SKIP() << "the platform has no selection clipboard to paste from";
      }
      Check(change, outcome);
    }
  }
}

TEST_F(ConfirmEditTest, WithoutButtonRoomTheTextAreaShrinksInstead) {
  edit_->buttonsEnabled = false;
  edit_->SyncEditText();
  Type("3");
  EXPECT_TRUE(edit_->editing);
  EXPECT_EQ(edit_->width(), kWidth);
  EXPECT_EQ(edit_->textMargins().right(), CConfirmEditBase::kButtonsWidth);
  EXPECT_TRUE(edit_->OkButton()->isVisible());
}

TEST_F(ConfirmEditTest, KeysThatTypeNothingDoNotStartEditing) {
  for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Left, Qt::Key_Shift, Qt::Key_F2}) {
    QTest::keyClick(edit_, key);
    EXPECT_FALSE(edit_->editing) << key;
  }
  QTest::keyClick(edit_, Qt::Key_Backspace);
  EXPECT_TRUE(edit_->editing);
}

TEST_F(ConfirmEditTest, AClickIntoTheIdleBoxStartsEditing) {
  QTest::mouseClick(edit_, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(edit_->editing);
  EXPECT_EQ(edit_->savedText, "12");
}

TEST_F(ConfirmEditTest, ARefusalShowsTheReasonAndEditingGoesOn) {
  const std::pair<std::string, std::string> cases[] = {{"", "未知原因."},
                                                       {"[规则] 太大", "[规则] 太大"}};
  for (const auto& [reason, shown] : cases) {
    ui_.calls.clear();
    edit_->validator = [reason = reason](const std::string&, const std::string&,
                                         std::string& error) {
      error = reason;
      return false;
    };
    Type("9");
    QTest::keyClick(edit_, Qt::Key_Return);
    const auto tips = Tips();
    ASSERT_EQ(tips.size(), 1u) << reason;
    EXPECT_EQ(tips[0].widget, edit_);
    EXPECT_EQ(tips[0].caption, "提示");
    EXPECT_EQ(tips[0].text, shown);
    EXPECT_TRUE(edit_->editing);
    EXPECT_TRUE(edit_->OkButton()->isVisible());
    EXPECT_EQ(edit_->savedText, "12");
  }
}

TEST_F(ConfirmEditTest, AnAcceptedValueStaysAndTheFormatterRewritesIt) {
  std::vector<std::pair<std::string, std::string>> seen;
  edit_->validator = [&](const std::string& saved, const std::string& text, std::string&) {
    seen.emplace_back(saved, text);
    return true;
  };
  edit_->formatter = [](const std::string&, std::string& text) { text += ".00"; };
  edit_->setText(QString());
  Type("5");
  QTest::keyClick(edit_, Qt::Key_Enter);

  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], std::make_pair(std::string(), std::string("5")));
  EXPECT_TRUE(Tips().empty());
  EXPECT_FALSE(edit_->editing);
  EXPECT_EQ(edit_->text(), QStringLiteral("5.00"));
  // The saved text is the value as typed.
  EXPECT_EQ(edit_->savedText, "5");
  EXPECT_EQ(edit_->width(), kWidth);
  EXPECT_FALSE(edit_->OkButton()->isVisible());
}

TEST_F(ConfirmEditTest, TheOkButtonConfirmsAndTheCancelButtonRestores) {
  int cancels = 0;
  edit_->cancelHook = [&] { ++cancels; };
  Type("3");
  QTest::mouseClick(edit_->CancelButton(), Qt::LeftButton);
  EXPECT_FALSE(edit_->editing);
  EXPECT_EQ(edit_->text(), QStringLiteral("12"));
  EXPECT_EQ(cancels, 1);

  Type("7");
  QTest::mouseClick(edit_->OkButton(), Qt::LeftButton);
  EXPECT_FALSE(edit_->editing);
  EXPECT_EQ(edit_->text(), QStringLiteral("127"));
  EXPECT_EQ(cancels, 1);
}

TEST_F(ConfirmEditTest, TheButtonTextsReadOnTheirFill) {
  Type("3");
  for (QToolButton* button : {edit_->OkButton(), edit_->CancelButton()}) {
    SCOPED_TRACE(button->text().toStdString());
    ASSERT_TRUE(button->isVisible());
    const QImage image = button->grab().toImage();
    const std::map<QRgb, int> counts = NsWui::Testing::ColourCounts(image, image.rect());
    const QRgb fill = NsWui::Testing::Commonest(counts);
    double strongest = 0.0;
    for (const auto& entry : counts) strongest = std::max(strongest, NsWui::Testing::Contrast(entry.first, fill));
    EXPECT_GE(strongest, 4.5);
  }
}

TEST_F(ConfirmEditTest, ReleasingOutsideTheButtonsDoesNothing) {
  int validations = 0;
  edit_->validator = [&](const std::string&, const std::string&, std::string&) {
    ++validations;
    return true;
  };
  Type("3");
  QTest::mousePress(edit_->OkButton(), Qt::LeftButton);
  QTest::mouseRelease(edit_->OkButton(), Qt::LeftButton, {}, QPoint(-30, 5));
  EXPECT_EQ(validations, 0);
  EXPECT_TRUE(edit_->editing);
  EXPECT_EQ(edit_->text(), QStringLiteral("123"));
}

TEST_F(ConfirmEditTest, FocusLossRestoresWithoutTheCancelHook) {
  int cancels = 0;
  std::vector<std::string> lost;
  edit_->cancelHook = [&] { ++cancels; };
  edit_->focusLostHook = [&](CConfirmEditCtrl& control) {
    // Called before the edit is given up.
    lost.push_back(control.text().toStdString());
  };
  Type("3");
  other_->setFocus();
  EXPECT_FALSE(edit_->editing);
  EXPECT_EQ(edit_->text(), QStringLiteral("12"));
  EXPECT_EQ(cancels, 0);
  EXPECT_EQ(lost, std::vector<std::string>{"123"});
}

TEST_F(ConfirmEditTest, AHookThatClearsItselfWhileRunningRunsToItsEnd) {
  // Each hook holds more than fits into the function object itself, and
  // reads it after clearing its own member, as an in-place editor that
  // hides itself does.
  const std::string tag(300, 'h');
  std::vector<std::string> seen;
  struct Case {
    const char* name;
    std::function<void()> install;
    std::function<void()> trigger;
  };
  const Case cases[] = {
      {"validator",
       [&] {
         edit_->validator = [&, tag](const std::string&, const std::string&, std::string&) {
           edit_->validator = nullptr;
           seen.push_back(tag);
           return true;
         };
       },
       [&] { QTest::keyClick(edit_, Qt::Key_Return); }},
      {"formatter",
       [&] {
         edit_->formatter = [&, tag](const std::string&, std::string&) {
           edit_->formatter = nullptr;
           seen.push_back(tag);
         };
       },
       [&] { QTest::keyClick(edit_, Qt::Key_Return); }},
      {"cancel hook",
       [&] {
         edit_->cancelHook = [&, tag] {
           edit_->cancelHook = nullptr;
           seen.push_back(tag);
         };
       },
       [&] { QTest::mouseClick(edit_->CancelButton(), Qt::LeftButton); }},
      {"focus-lost hook",
       [&] {
         edit_->focusLostHook = [&, tag](CConfirmEditCtrl&) {
           edit_->focusLostHook = nullptr;
           seen.push_back(tag);
         };
       },
       [&] { other_->setFocus(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    seen.clear();
    edit_->setFocus();
    c.install();
    Type("3");
    c.trigger();
    EXPECT_EQ(seen, std::vector<std::string>{tag});
    EXPECT_FALSE(edit_->editing);
  }
}

TEST_F(ConfirmEditTest, WithoutLeaveOnFocusLossTheEditGoesOn) {
  edit_->leaveOnFocusLoss = false;
  Type("3");
  other_->setFocus();
  EXPECT_TRUE(edit_->editing);
  EXPECT_EQ(edit_->text(), QStringLiteral("123"));
}

TEST_F(ConfirmEditTest, SyncTakesTheTextAsSavedWhileEditing) {
  Type("3");
  edit_->SyncEditText();
  EXPECT_TRUE(edit_->editing);
  EXPECT_EQ(edit_->savedText, "123");
  Type("4");
  QTest::mouseClick(edit_->CancelButton(), Qt::LeftButton);
  EXPECT_EQ(edit_->text(), QStringLiteral("123"));
}

TEST_F(ConfirmEditTest, TextSetFromCodeEndsEditingAndStaysWhenTheFocusLeaves) {
  struct Case {
    const char* name;
    std::function<void()> set;
    const char* text;
  };
  const std::vector<Case> cases = {
      {"another text", [this] { edit_->setText(QStringLiteral("77")); }, "77"},
      // QLineEdit signals nothing for it, editing ends all the same.
      {"the text being edited", [this] { edit_->setText(QStringLiteral("123")); }, "123"},
      {"the text being edited, through the dialog helper",
       [this] { SetDlgItemInt(&window_, kEditId, 123); }, "123"},
      {"another text, through the plain edit's setter",
       [this] { static_cast<QLineEdit*>(edit_)->setText(QStringLiteral("77")); }, "77"},
      {"cleared", [this] { edit_->clear(); }, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    edit_->setText(QStringLiteral("12"));
    edit_->setFocus();
    Type("3");
    ASSERT_TRUE(edit_->editing);
    c.set();
    EXPECT_FALSE(edit_->editing);
    EXPECT_EQ(edit_->savedText, c.text);
    EXPECT_FALSE(edit_->OkButton()->isVisible());
    EXPECT_EQ(edit_->width(), kWidth);
    other_->setFocus();
    EXPECT_EQ(edit_->text(), QString::fromUtf8(c.text));

    // The next edit starts from it, and giving that one up comes back to it.
    edit_->setFocus();
    Type("8");
    EXPECT_TRUE(edit_->editing);
    EXPECT_EQ(edit_->savedText, c.text);
    other_->setFocus();
    EXPECT_EQ(edit_->text(), QString::fromUtf8(c.text));
  }
}

TEST_F(ConfirmEditTest, TheUsersOwnChangesKeepEditing) {
  struct Case {
    const char* name;
    std::function<void()> change;
  };
  const std::vector<Case> cases = {
      {"typing", [this] { Type("45"); }},
      {"erasing", [this] { QTest::keyClick(edit_, Qt::Key_Backspace); }},
      {"undoing", [this] { QTest::keyClick(edit_, Qt::Key_Z, Qt::ControlModifier); }},
      {"cutting", [this] {
         edit_->selectAll();
         QTest::keyClick(edit_, Qt::Key_X, Qt::ControlModifier);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    edit_->setFocus();
    Type("3");
    const QString before = edit_->text();
    c.change();
    EXPECT_NE(edit_->text(), before);
    EXPECT_TRUE(edit_->editing);
    EXPECT_EQ(edit_->savedText, "12");
    other_->setFocus();
    EXPECT_EQ(edit_->text(), QStringLiteral("12"));
  }
}

TEST_F(ConfirmEditTest, StartEditingShowsAndFocusesTheBox) {
  other_->setFocus();
  edit_->hide();
  edit_->StartEditing();
  EXPECT_TRUE(edit_->isVisible());
  EXPECT_TRUE(edit_->hasFocus());
  EXPECT_TRUE(edit_->editing);
}

}  // namespace
}  // namespace NsOvrin::NsWui
