#include <gtest/gtest.h>

#include <QTest>

#include "KeyTyping.h"
#include "dialogs/CDlgUsers.h"
#include "project/QlEProject.h"
#include "project_base/QlUser.h"
#include "support/ScriptedUiServices.h"
#include "wui/ModalDriver.h"
#include "wui/OvReportCtrl.h"
#include "wui/RtConfirmEdit.h"

namespace NsOvrin {
namespace {

using NsWui::UiCall;
using Rows = std::vector<std::vector<std::string>>;

const char* const kLengthMessage = "密码长度不要超过20个字符.";
const char* const kCharMessage = "密码只能包含 0~9, a-z, A-Z, !, @, #, $, %, $, &, *, -, =, _ 等字符.";

class UsersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = GetUserList();
    GetUserList().clear();
    project_.modified = false;
  }
  void TearDown() override {
    dlg_.reset();
    GetUserList() = saved_;
    project_.modified = false;
  }

  void Open() {
    dlg_ = std::make_unique<CDlgUsers>();
    dlg_->show();
    dlg_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg_.get()));
  }
  NsWui::OvReportCtrl& Grid() { return *dlg_->grid; }
  Rows GridRows() {
    Rows rows;
    for (int r = 0; r < Grid().GetRowCount(); ++r) {
      std::vector<std::string> row;
      for (int c = 0; c < 4; ++c) row.push_back(Grid().GetCellText(r, c));
      rows.push_back(row);
    }
    return rows;
  }
  void ClickCell(int row, int col) {
    const QRect cell = Grid().GetCellRect(row, col).ToQRect();
    QTest::mouseClick(Grid().viewport(), Qt::LeftButton, {}, cell.center());
  }
  NsWui::CConfirmEditCtrl* OpenPasswordEditor(int row) {
    ClickCell(row, CDlgUsers::kColPassword);
    auto* editor = dynamic_cast<NsWui::RtConfirmEdit*>(Grid().CurrentEditor().get());
    return editor ? editor->Control() : nullptr;
  }
  // Types the password into the row's editor and confirms it with Enter;
  // the balloon tips it caused.
  std::vector<std::string> EnterPassword(int row, const std::string& text) {
    NsWui::CConfirmEditCtrl* edit = OpenPasswordEditor(row);
    EXPECT_TRUE(edit);
    if (!edit) return {"no editor"};
    EXPECT_TRUE(edit->isVisible());
    EXPECT_TRUE(edit->editing);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    if (!text.empty()) Testing::TypeText(edit, text);
    ui_.calls.clear();
    QTest::keyClick(edit, Qt::Key_Return);
    std::vector<std::string> tips;
    for (const UiCall& call : ui_.CallsOf(UiCall::Kind::BalloonTip)) {
      EXPECT_EQ(call.caption, "提示");
      tips.push_back(call.text);
    }
    return tips;
  }

  QlEProject& project_ = QlEProject::Instance();
  std::vector<QlUser> saved_;
  NsWui::ScriptedUiServices ui_;
  std::unique_ptr<CDlgUsers> dlg_;
};

TEST_F(UsersTest, AnEmptyUserListShowsTheDefaultUsersWithoutMarkingTheProject) {
  Open();
  EXPECT_EQ(dlg_->windowTitle(), QStringLiteral("用户管理"));
  EXPECT_EQ(GridRows(), (Rows{{"权 限", "用户名", "密 码", "描 述"},
                              {"1", "操作员", "", ""},
                              {"2", "工程师", "", ""},
                              {"99", "管理员", "", "可以修改其他人的密码"},
                              {"100", "设备厂商", "", "最高权限"}}));
  EXPECT_EQ(GetUserList().size(), 4u);
  EXPECT_FALSE(project_.modified);
}

TEST_F(UsersTest, TheGridShowsEveryUserInListOrderWithItsLayout) {
  GetUserList() = {{"甲", "pw1", 100}, {"乙", "", 7}, {"丙", "x y", 99}, {"丁", "a", 1}, {"戊", "b", 2}};
  Open();
  EXPECT_EQ(GridRows(), (Rows{{"权 限", "用户名", "密 码", "描 述"},
                              {"100", "甲", "pw1", "最高权限"},
                              {"7", "乙", "", ""},
                              {"99", "丙", "x y", "可以修改其他人的密码"},
                              {"1", "丁", "a", ""},
                              {"2", "戊", "b", ""}}));

  NsWui::OvReportCtrl& grid = Grid();
  EXPECT_EQ(grid.rowHeight, 32);
  EXPECT_EQ(*grid.defBackColour, 0xF0F0F0u);
  const int widths[] = {80, 220, 260, 200};
  const uint32_t aligns[] = {kCellAlignCentre, kCellAlignCentre, kCellAlignLeft, kCellAlignLeft};
  for (uint16_t c = 0; c < 4; ++c) {
    EXPECT_EQ(grid.columnWidths.Width(c), widths[c]) << c;
    EXPECT_EQ(*grid.GetColumnAlign(c), aligns[c]) << c;
    const CellInfo* header = grid.FindCell(0, c);
    ASSERT_TRUE(header && header->backColour && header->textColour && header->fontSize && header->align);
    EXPECT_EQ(*header->backColour, 0xBAAF8Du) << c;
    EXPECT_EQ(*header->textColour, 0xF0F0F0u) << c;
    EXPECT_EQ(*header->fontSize, 120) << c;
    EXPECT_EQ(*header->align, kCellAlignCentre) << c;
  }
  for (uint16_t r = 1; r <= 5; ++r) {
    const CellInfo* password = grid.FindCell(r, CDlgUsers::kColPassword);
    ASSERT_TRUE(password && password->backColour);
    EXPECT_EQ(*password->backColour, 0xF8F8F8u);
    const CellInfo* description = grid.FindCell(r, CDlgUsers::kColDescription);
    ASSERT_TRUE(description && description->textColour);
    EXPECT_EQ(*description->textColour, 0x888888u);
  }
}

TEST_F(UsersTest, PasswordsFollowTheRule) {
  GetUserList() = {{"操作员", "old", 1}};
  struct Case {
    std::string text;
    const char* message;  // null: accepted
  };
  const Case cases[] = {
      {"abcdefghij0123456789", nullptr},
      {"abcdefghij0123456789x", kLengthMessage},
      {"my pass 1", nullptr},
      {"!#$%&*-=@_ aZ09", nullptr},
      {"", nullptr},
      {"a^b", kCharMessage},
      {"a.b", kCharMessage},
      {"a+b", kCharMessage},
      {"pass?", kCharMessage},
      {"密码", kCharMessage},
      {"密码密码密码密码密码密码密码密码密码密码密", kLengthMessage},
  };
  Open();
  std::string current = "old";
  for (const Case& c : cases) {
    project_.modified = false;
    const std::vector<std::string> tips = EnterPassword(1, c.text);
    if (c.message == nullptr) {
      current = c.text;
      EXPECT_TRUE(tips.empty()) << c.text;
      EXPECT_FALSE(Grid().CurrentEditor()) << c.text;
    } else {
      EXPECT_EQ(tips, std::vector<std::string>{c.message}) << c.text;
      // Editing goes on.
      ASSERT_TRUE(Grid().CurrentEditor()) << c.text;
      Grid().EndEdit();
    }
    EXPECT_EQ(GetUserList()[0].password, current) << c.text;
    EXPECT_EQ(Grid().GetCellText(1, CDlgUsers::kColPassword), current) << c.text;
    EXPECT_EQ(project_.modified, c.message == nullptr) << c.text;
  }
}

TEST_F(UsersTest, ConfirmingTheSamePasswordChangesNothing) {
  GetUserList() = {{"操作员", "abc", 1}, {"工程师", "x", 2}};
  Open();
  EXPECT_TRUE(EnterPassword(1, "abc").empty());
  EXPECT_FALSE(project_.modified);
  EXPECT_TRUE(EnterPassword(2, "y").empty());
  EXPECT_EQ(GetUserList()[0].password, "abc");
  EXPECT_EQ(GetUserList()[1].password, "y");
  EXPECT_TRUE(project_.modified);
}

TEST_F(UsersTest, LeavingTheEditorWithoutConfirmingRestoresThePassword) {
  GetUserList() = {{"操作员", "abc", 1}};
  Open();
  NsWui::CConfirmEditCtrl* edit = OpenPasswordEditor(1);
  ASSERT_TRUE(edit);
  QTest::keyClicks(edit, QStringLiteral("zzz"));
  ClickCell(1, CDlgUsers::kColName);
  EXPECT_FALSE(edit->isVisible());
  EXPECT_EQ(GetUserList()[0].password, "abc");
  EXPECT_EQ(Grid().GetCellText(1, CDlgUsers::kColPassword), "abc");
  EXPECT_FALSE(project_.modified);
}

TEST_F(UsersTest, OnlyThePasswordsOfUserRowsAreEdited) {
  Open();
  const std::pair<int, int> cells[] = {{1, CDlgUsers::kColLevel},
                                       {1, CDlgUsers::kColName},
                                       {1, CDlgUsers::kColDescription},
                                       {0, CDlgUsers::kColPassword}};
  for (const auto& [row, col] : cells) {
    ClickCell(row, col);
    EXPECT_FALSE(Grid().CurrentEditor()) << row << "," << col;
  }
  EXPECT_TRUE(OpenPasswordEditor(4));
}

TEST_F(UsersTest, EnterAndEscapeDoNotCloseOnlyTheCloseBoxDoes) {
  bool stayedOpen = false;
  NsWui::WhenModal([&stayedOpen](QWidget* modal) {
    EXPECT_EQ(modal->windowTitle(), QStringLiteral("用户管理"));
    QTest::keyClick(modal, Qt::Key_Escape);
    QTest::keyClick(modal, Qt::Key_Return);
    stayedOpen = modal->isVisible();
    modal->close();
  });
  CDlgUsers dialog;
  EXPECT_EQ(dialog.DoModal(), NsWui::IDCANCEL);
  EXPECT_TRUE(stayedOpen);
}

}  // namespace
}  // namespace NsOvrin
