// The instruction reference: the help texts, the tree, the text shown for
// the selected item, and the one window that survives being closed.
#include "app/CDlgQlFuncList.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <QTreeWidget>
#include <string>
#include <vector>

#include "wui/DlgItem.h"

namespace NsOvrin {
namespace {

using NsWui::DlgItem;

const std::string kRule = "------------------------------------------------";

TEST(GetFuncHelp, BuildsEachInstructionsText) {
  struct Case {
    const char* name;
    std::string expected;
  };
  const Case cases[] = {
      {"弹出画面", "弹出画面\r\n" + kRule + "\r\n描述: 弹出非模态窗口\r\n\r\n举例:\r\n    弹出画面 \"手动页面\""},
      {"页面跳到", "页面跳到\r\n" + kRule + "\r\n描述: 跳转到指定页面\r\n\r\n举例:\r\n    页面跳到 \"页面1\""},
      {"SET", "SET\r\n" + kRule + "\r\n描述: 置ON, 类似PLC中 SET 指令用途\r\n\r\n举例:\r\n    SET Y0"},
      {"RST", "RST\r\n" + kRule + "\r\n描述: 置OFF, 类似PLC中 RST 指令用途\r\n\r\n举例:\r\n    RST Y0"},
      {"MOV", "MOV\r\n" + kRule +
                  "\r\n描述: 赋值, 类似PLC中 MOV 指令用途\r\n\r\n举例:\r\n    MOV 1 D0\r\n    MOV D2 D3"},
      {"退出登录", "退出登录\r\n" + kRule + "\r\n描述: 退出登录\r\n\r\n举例:\r\n    退出登录"},
      {"短消息", "短消息\r\n" + kRule +
                     "\r\n描述: 在屏幕中间显示黑底白字的提示消息(类似手机中提示)\r\n\r\n举例:\r\n"
                     "    短消息 \"自动状态, 不允许操作\""},
  };
  for (const Case& c : cases) EXPECT_EQ(GetFuncHelp(c.name), c.expected) << c.name;
  EXPECT_EQ(kRule.size(), 48u);
}

TEST(GetFuncHelp, AnyOtherNameIsAnsweredWithAQuestionMark) {
  // Compared exactly: no upper-casing, no trimming.
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"set", "set ?"},         {"Mov", "Mov ?"},       {"SET ", "SET  ?"},
      {"", " ?"},               {"函数列表", "函数列表 ?"}, {"点位操作", "点位操作 ?"},
      {"%s%n", "%s%n ?"},
  };
  for (const auto& [name, expected] : cases) EXPECT_EQ(GetFuncHelp(name), expected) << name;
}

std::vector<std::string> ChildTexts(const QTreeWidgetItem* item) {
  std::vector<std::string> texts;
  for (int i = 0; i < item->childCount(); ++i) texts.push_back(item->child(i)->text(0).toStdString());
  return texts;
}

TEST(FillTree, GroupsTheInstructionsUnderTheRoot) {
  QTreeWidget tree;
  auto* existing = new QTreeWidgetItem(&tree, QStringList(QStringLiteral("已有")));
  QTreeWidgetItem* root = CDlgQlFuncList::FillTree(&tree);

  ASSERT_NE(root, nullptr);
  // Appended after what the tree already held.
  ASSERT_EQ(tree.topLevelItemCount(), 2);
  EXPECT_EQ(tree.topLevelItem(0), existing);
  EXPECT_EQ(tree.topLevelItem(1), root);
  EXPECT_EQ(root->text(0), QStringLiteral("函数列表"));
  EXPECT_TRUE(root->isExpanded());

  using Texts = std::vector<std::string>;
  ASSERT_EQ(ChildTexts(root), (Texts{"画面操作", "点位操作", "权限操作", "短消息"}));
  const Texts members[] = {{"弹出画面", "页面跳到"}, {"SET", "RST", "MOV"}, {"退出登录"}, {"短消息"}};
  for (int g = 0; g < root->childCount(); ++g) {
    EXPECT_EQ(ChildTexts(root->child(g)), members[g]) << g;
    EXPECT_FALSE(root->child(g)->isExpanded()) << g;
    for (int i = 0; i < root->child(g)->childCount(); ++i)
      EXPECT_EQ(root->child(g)->child(i)->childCount(), 0);
  }
}

class FuncListWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    dlg_ = CDlgQlFuncList::Instance();
    ASSERT_NE(dlg_, nullptr);
    ASSERT_NE(Tree(), nullptr);
    ASSERT_NE(Help(), nullptr);
  }
  void TearDown() override { CDlgQlFuncList::DestroyInstance(); }

  QTreeWidget* Tree() const { return DlgItem<QTreeWidget>(dlg_, CDlgQlFuncList::IDC_FUNC_TREE); }
  QPlainTextEdit* Help() const {
    return DlgItem<QPlainTextEdit>(dlg_, CDlgQlFuncList::IDC_HELP_TEXT);
  }
  std::string HelpText() const { return Help()->toPlainText().toStdString(); }

  // The item at the end of a path of texts below the root.
  QTreeWidgetItem* Item(const std::vector<QString>& path) const {
    QTreeWidgetItem* item = dlg_->GetRootItem();
    for (const QString& text : path) {
      QTreeWidgetItem* next = nullptr;
      for (int i = 0; item != nullptr && i < item->childCount(); ++i)
        if (item->child(i)->text(0) == text) next = item->child(i);
      item = next;
    }
    return item;
  }
  void Select(QTreeWidgetItem* item) { Tree()->setCurrentItem(item); }

  // The help text as the edit shows it: one line per "\r\n" line.
  static std::string Shown(const std::string& help) {
    std::string shown;
    for (std::size_t i = 0; i < help.size(); ++i) {
      if (help.compare(i, 2, "\r\n") == 0) {
        shown += '\n';
        ++i;
      } else {
        shown += help[i];
      }
    }
    return shown;
  }

  CDlgQlFuncList* dlg_ = nullptr;
};

TEST_F(FuncListWindow, IsOneModelessWindowMadeOnFirstUse) {
  EXPECT_EQ(CDlgQlFuncList::Instance(), dlg_);
  EXPECT_EQ(dlg_->windowTitle(), QStringLiteral("指令列表"));
  EXPECT_EQ(dlg_->parentWidget(), nullptr);
  EXPECT_FALSE(dlg_->isVisible());
  EXPECT_FALSE(dlg_->isModal());

  // Initialised on creation: the tree is there before the window shows.
  QTreeWidgetItem* root = dlg_->GetRootItem();
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(Tree()->topLevelItemCount(), 1);
  EXPECT_EQ(Tree()->topLevelItem(0), root);
  EXPECT_EQ(root->childCount(), 4);

  EXPECT_TRUE(Help()->isReadOnly());
  EXPECT_EQ(Help()->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_TRUE(Help()->toPlainText().isEmpty());
  // Side by side, the tree on the left.
  EXPECT_LT(Tree()->geometry().right(), Help()->geometry().left());
}

TEST_F(FuncListWindow, ShowsTheHelpOfEverySelectedInstruction) {
  const std::vector<QString> instructions[] = {
      {"画面操作", "弹出画面"}, {"画面操作", "页面跳到"}, {"点位操作", "SET"},
      {"点位操作", "RST"},      {"点位操作", "MOV"},      {"权限操作", "退出登录"},
      {"短消息", "短消息"},
  };
  for (const auto& path : instructions) {
    QTreeWidgetItem* item = Item(path);
    ASSERT_NE(item, nullptr) << path.back().toStdString();
    Select(item);
    EXPECT_EQ(HelpText(), Shown(GetFuncHelp(path.back().toStdString())))
        << path.back().toStdString();
  }
  // MOV's two examples, each on its own indented line, as the user reads it.
  Select(Item({"点位操作", "MOV"}));
  EXPECT_EQ(HelpText(), "MOV\n" + kRule +
                            "\n描述: 赋值, 类似PLC中 MOV 指令用途\n\n举例:\n    MOV 1 D0\n    MOV D2 D3");
}

TEST_F(FuncListWindow, TheRootAGroupOrNoSelectionEmptiesTheText) {
  const std::vector<QString> notInstructions[] = {{}, {"点位操作"}, {"短消息"}, {"画面操作"}};
  for (const auto& path : notInstructions) {
    Select(Item({"点位操作", "RST"}));
    ASSERT_FALSE(HelpText().empty());
    Select(Item(path));
    EXPECT_EQ(HelpText(), "") << path.size();
  }
  Select(Item({"点位操作", "RST"}));
  Select(nullptr);
  EXPECT_EQ(HelpText(), "");
}

TEST_F(FuncListWindow, AClickOnAnInstructionShowsItsHelp) {
  dlg_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg_));
  QTreeWidgetItem* group = Item({"点位操作"});
  QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, Tree()->visualItemRect(group).center());
  EXPECT_EQ(HelpText(), "");
  group->setExpanded(true);
  QTreeWidgetItem* rst = Item({"点位操作", "RST"});
  QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, Tree()->visualItemRect(rst).center());
  EXPECT_EQ(HelpText(), Shown(GetFuncHelp("RST")));
}

TEST_F(FuncListWindow, ClosingHidesAndKeepsTheSelection) {
  dlg_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg_));
  Select(Item({"点位操作", "SET"}));
  const QPointer<CDlgQlFuncList> guard(dlg_);

  EXPECT_TRUE(dlg_->close());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_FALSE(guard.isNull());
  EXPECT_FALSE(dlg_->isVisible());

  CDlgQlFuncList* again = CDlgQlFuncList::Instance();
  EXPECT_EQ(again, dlg_);
  again->show();
  EXPECT_TRUE(again->isVisible());
  EXPECT_EQ(Tree()->currentItem(), Item({"点位操作", "SET"}));
  EXPECT_EQ(HelpText(), Shown(GetFuncHelp("SET")));

  // Escape hides it the same way.
  QTest::keyClick(again, Qt::Key_Escape);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_FALSE(guard.isNull());
  EXPECT_FALSE(again->isVisible());
}

TEST_F(FuncListWindow, DestroyingEmptiesTheReference) {
  Select(Item({"点位操作", "SET"}));
  const QPointer<CDlgQlFuncList> guard(dlg_);
  CDlgQlFuncList::DestroyInstance();
  EXPECT_TRUE(guard.isNull());
  // Twice is harmless.
  CDlgQlFuncList::DestroyInstance();

  dlg_ = CDlgQlFuncList::Instance();
  ASSERT_NE(dlg_, nullptr);
  EXPECT_EQ(Tree()->topLevelItemCount(), 1);
  EXPECT_EQ(HelpText(), "");
}

}  // namespace
}  // namespace NsOvrin
