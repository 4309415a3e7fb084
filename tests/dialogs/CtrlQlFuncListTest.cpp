#include <gtest/gtest.h>

#include <QTest>

#include "FuncTableDriver.h"
#include "ProtPageFixture.h"
#include "dialogs/CtrlQlFuncList.h"
#include "project/QlEProject.h"

namespace NsOvrin::Testing {
namespace {

using Rows = std::vector<FuncRow>;

// A shown table over the fixture's node database ("PLC1", coils 0x0-0x15,
// holding registers 4x0-4x99) and a project with the page "主页".
class FuncListTest : public ProtPageFixture {
 protected:
  void SetUp() override {
    ProtPageFixture::SetUp();
    savedPages_ = project_.pageNames;
    project_.pageNames = {"主页"};
    project_.modified = false;
    table_ = std::make_unique<CtrlQlFuncList>();
    table_->resize(560, 400);
    table_->show();
    table_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(table_.get()));
    table_->SetupColumns();
  }
  void TearDown() override {
    table_.reset();
    project_.pageNames = savedPages_;
    project_.modified = false;
    ProtPageFixture::TearDown();
  }
  void Bind(std::vector<std::string>* lines) {
    table_->_exprArr = lines;
    table_->ReloadRows();
  }
  uint32_t BackOf(uint16_t row) {
    const CellInfo* cell = table_->FindCell(row, 0);
    return cell && cell->backColour ? *cell->backColour : *table_->defBackColour;
  }

  QlEProject& project_ = QlEProject::Instance();
  std::vector<std::string> savedPages_;
  std::unique_ptr<CtrlQlFuncList> table_;
};

TEST_F(FuncListTest, TheGridIsLaidOutWithItsHeader) {
  CtrlQlFuncList& t = *table_;
  EXPECT_EQ(*t.defFontFace, "Courier New");
  EXPECT_EQ(*t.defFontSize, 95);
  EXPECT_EQ(*t.defBackColour, 0xF0F0F0u);
  EXPECT_TRUE(t.columnWidths.Resizable());
  EXPECT_EQ(t.rowHeight, 32);
  const char* headers[] = {"指 令", "提示信息"};
  for (uint16_t c = 0; c < 2; ++c) {
    EXPECT_EQ(t.columnWidths.Width(c), 260) << c;
    EXPECT_EQ(*t.GetColumnAlign(c), kCellAlignLeft) << c;
    EXPECT_EQ(t.GetCellText(0, c), headers[c]);
    const CellInfo* header = t.FindCell(0, c);
    ASSERT_TRUE(header && header->textColour && header->backColour && header->align);
    EXPECT_EQ(*header->textColour, 0x555555u);
    EXPECT_EQ(*header->backColour, 0xE0E0E0u);
    EXPECT_EQ(*header->align, kCellAlignCentre);
  }
  // The header is never edited.
  EXPECT_EQ(OpenLineEditor(t, 0), nullptr);

  // Unbound it shows the header only.
  t.ReloadRows();
  EXPECT_EQ(t.GetRowCount(), 1);
}

TEST_F(FuncListTest, EditingWhileUnboundIsRefused) {
  // Before the first reload the grid still has its second row.
  ASSERT_EQ(table_->GetRowCount(), 2);
  EXPECT_EQ(EnterLine(*table_, ui_, 1, "SET PLC1.0x1"),
            std::vector<std::string>{"系统错误: _exprArr == nullptr"});
  // An empty line passes the check but has nowhere to go.
  EXPECT_TRUE(EnterLine(*table_, ui_, 1, "").empty());
  EXPECT_FALSE(project_.modified);
}

TEST_F(FuncListTest, StoredLinesAreShownWithTheirCheck) {
  std::vector<std::string> lines = {"SET PLC1.0x00001", "弹出画面 \"旧页\"", "", "foo 1"};
  Bind(&lines);
  EXPECT_EQ(FuncRows(*table_), (Rows{{"SET PLC1.0x00001", "", true},
                                     {"弹出画面 \"旧页\"", "页面 \"旧页\" 不存在.", true},
                                     {"", "查询函数名失败.", true},
                                     {"foo 1", "未知的函数名 FOO.", true},
                                     {"", "", false}}));
  const uint32_t backs[] = {0xF8F8F8, 0xB2D3D6, 0xB2D3D6, 0xB2D3D6, 0xFFFFFF};
  for (uint16_t r = 1; r <= 5; ++r) EXPECT_EQ(BackOf(r), backs[r - 1]) << r;
  const CellInfo* message = table_->FindCell(2, 1);
  ASSERT_TRUE(message && message->textColour);
  EXPECT_EQ(*message->textColour, 0x62837Cu);
  // Loading judges; it neither changes nor marks anything.
  EXPECT_EQ(lines[1], "弹出画面 \"旧页\"");
  EXPECT_FALSE(project_.modified);

  std::vector<std::string> none;
  Bind(&none);
  EXPECT_EQ(FuncRows(*table_), (Rows{{"", "", false}}));
  EXPECT_EQ(BackOf(1), 0xFFFFFFu);
  Bind(nullptr);
  EXPECT_EQ(table_->GetRowCount(), 1);
}

TEST_F(FuncListTest, InvalidLinesAreRefusedWithTheCheckersMessage) {
  std::vector<std::string> lines = {"SET PLC1.0x00001"};
  Bind(&lines);
  struct Case {
    int row;
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {1, "foo", "未知的函数名 FOO."},
      {2, "set", "获取地址异常."},
      {2, "弹出画面 \"无此页\"", "页面 \"无此页\" 不存在."},
      {2, "短消息 没有引号", "格式不正确, 期望为: 短消息 \"消息1\""},
      {1, "退出登录 现在", "指令后不能有其它参数."},
      {2, "MOV PLC1.4x1 PLC1.4x1", "源地址和目标地址不能相同."},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EnterLine(*table_, ui_, c.row, c.text), std::vector<std::string>{c.message}) << c.text;
    // The editor stays open on the refused text.
    auto* editor = dynamic_cast<NsWui::RtConfirmEdit*>(table_->CurrentEditor().get());
    ASSERT_TRUE(editor && editor->Control()) << c.text;
    EXPECT_TRUE(editor->Control()->isVisible()) << c.text;
    table_->EndEdit();
  }
  EXPECT_EQ(lines, std::vector<std::string>{"SET PLC1.0x00001"});
  EXPECT_EQ(FuncRows(*table_), (Rows{{"SET PLC1.0x00001", "", true}, {"", "", false}}));
  EXPECT_FALSE(project_.modified);
}

TEST_F(FuncListTest, AcceptedLinesAreStoredCanonicallyAndGrowTheList) {
  std::vector<std::string> lines = {"foo"};
  Bind(&lines);
  // A typed line on the entry row is appended and a new entry row follows.
  EXPECT_TRUE(EnterLine(*table_, ui_, 2, "set PLC1.0x2").empty());
  EXPECT_EQ(lines, (std::vector<std::string>{"foo", "SET PLC1.0x00002"}));
  EXPECT_TRUE(project_.modified);
  EXPECT_EQ(FuncRows(*table_), (Rows{{"foo", "未知的函数名 FOO.", true},
                                     {"SET PLC1.0x00002", "", true},
                                     {"", "", false}}));
  EXPECT_EQ(BackOf(3), 0xFFFFFFu);

  // Mending a wrong line drops its message and its colour.
  EXPECT_TRUE(EnterLine(*table_, ui_, 1, "页面跳到 “主页”").empty());
  EXPECT_EQ(lines[0], "页面跳到 \"主页\"");
  EXPECT_EQ(FuncRows(*table_)[0], (FuncRow{"页面跳到 \"主页\"", "", true}));
  EXPECT_EQ(BackOf(1), 0xF0F0F0u);

  // An empty line is stored as such; on the entry row it adds no new row.
  EXPECT_TRUE(EnterLine(*table_, ui_, 2, "").empty());
  EXPECT_TRUE(EnterLine(*table_, ui_, 3, "").empty());
  EXPECT_EQ(lines, (std::vector<std::string>{"页面跳到 \"主页\"", "", ""}));
  EXPECT_EQ(FuncRows(*table_), (Rows{{"页面跳到 \"主页\"", "", true}, {"", "", true}, {"", "", false}}));
}

TEST_F(FuncListTest, TickedRowsAreDeletedWithTheirLines) {
  std::vector<std::string> lines = {"SET PLC1.0x00001", "RST PLC1.0x00002", "foo", "退出登录"};
  Bind(&lines);
  project_.modified = false;
  // Nothing ticked: nothing goes.
  EXPECT_FALSE(table_->DeleteCheckedRows());
  EXPECT_FALSE(project_.modified);

  TickRow(*table_, 1);
  TickRow(*table_, 2);
  TickRow(*table_, 4);
  TickRow(*table_, 4);
  // The entry row has no box: a click there ticks nothing.
  TickRow(*table_, 5);
  EXPECT_TRUE(table_->DeleteCheckedRows());
  EXPECT_EQ(lines, (std::vector<std::string>{"foo", "退出登录"}));
  EXPECT_TRUE(project_.modified);
  EXPECT_EQ(table_->GetRowCount(), 4);
  EXPECT_EQ(table_->GetCellText(0, 0), "指 令");
  EXPECT_EQ(FuncRows(*table_), (Rows{{"foo", "未知的函数名 FOO.", true}, {"退出登录", "", true}, {"", "", false}}));

  Bind(nullptr);
  EXPECT_FALSE(table_->DeleteCheckedRows());
}

}  // namespace
}  // namespace NsOvrin::Testing
