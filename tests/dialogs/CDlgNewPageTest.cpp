#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "dialogs/CDlgNewPage.h"
#include "project/QlEProject.h"
#include "support/ScriptedUiServices.h"
#include "wui/DlgItem.h"
#include "wui/ModalDriver.h"

namespace NsOvrin {
namespace {

using NsWui::DlgItem;

std::string Repeat(const std::string& piece, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += piece;
  return text;
}

class NewPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    project_.Reset("");
    project_.open = true;
    project_.pageNames = {"页面1", "Main"};
    dlg_.pageName = "页面2";
    dlg_.show();
    dlg_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg_));
  }
  void TearDown() override { project_.Reset(""); }

  QLineEdit* NameEdit() { return DlgItem<QLineEdit>(&dlg_, CDlgNewPage::IDC_NAME); }
  void Submit(const std::string& typed) {
    NameEdit()->setText(QString::fromStdString(typed));
    QTest::mouseClick(DlgItem<QPushButton>(&dlg_, CDlgNewPage::IDC_OK), Qt::LeftButton);
  }
  bool Accepted() const { return !dlg_.isVisible() && dlg_.result() == QDialog::Accepted; }

  QlEProject& project_ = QlEProject::Instance();
  NsWui::ScriptedUiServices ui_;
  CDlgNewPage dlg_;
};

TEST_F(NewPageTest, OpensWithTheProposedName) {
  EXPECT_EQ(dlg_.windowTitle(), QStringLiteral("新建页面"));
  EXPECT_EQ(NameEdit()->text(), QStringLiteral("页面2"));
  QTest::mouseClick(DlgItem<QPushButton>(&dlg_, CDlgNewPage::IDC_OK), Qt::LeftButton);
  EXPECT_TRUE(Accepted());
  EXPECT_EQ(dlg_.pageName, "页面2");
}

TEST_F(NewPageTest, RefusesNamesThatCannotBeAFileName) {
  const std::string cases[] = {
      "a?b", "a*b", "a:b", "a/b", "a\\b", "a|b", "a<b", "a>b", "a\"b", "a\tb", "", "   ",
      // With its extension the page file name would be longer than a file
      // name may be.
      Repeat("a", 251), Repeat("页", 84),
  };
  for (const std::string& typed : cases) {
    ui_.calls.clear();
    Submit(typed);
    ASSERT_EQ(ui_.calls.size(), 1u) << typed;
    EXPECT_EQ(ui_.calls[0].text, "无效的页面名称!") << typed;
    EXPECT_EQ(ui_.calls[0].caption, "提示");
    EXPECT_EQ(ui_.calls[0].type, NsWui::MB_ICONERROR);
    EXPECT_TRUE(dlg_.isVisible()) << typed;
    EXPECT_EQ(NameEdit()->text().toStdString(), typed);
  }
}

TEST_F(NewPageTest, RefusesAnExistingNameComparedExactly) {
  for (const std::string typed : {"页面1", "  Main "}) {
    ui_.calls.clear();
    Submit(typed);
    ASSERT_EQ(ui_.calls.size(), 1u) << typed;
    EXPECT_EQ(ui_.calls[0].text, "页面名称已经存在!");
    EXPECT_EQ(ui_.calls[0].caption, "提示");
    EXPECT_EQ(ui_.calls[0].type, NsWui::MB_ICONERROR);
    EXPECT_TRUE(dlg_.isVisible());
  }
  ui_.calls.clear();
  Submit("main");
  EXPECT_TRUE(ui_.calls.empty());
  EXPECT_TRUE(Accepted());
  EXPECT_EQ(dlg_.pageName, "main");
}

TEST_F(NewPageTest, AcceptsLongestAndTrimmedNamesAndLeavesTheProjectAlone) {
  const std::pair<std::string, std::string> cases[] = {
      {"  报警 页面#1  ", "报警 页面#1"},
      {Repeat("a", 250), Repeat("a", 250)},
      {Repeat("页", 83), Repeat("页", 83)},
  };
  for (const auto& [typed, accepted] : cases) {
    ui_.calls.clear();
    Submit(typed);
    EXPECT_TRUE(ui_.calls.empty()) << typed;
    EXPECT_TRUE(Accepted()) << typed;
    EXPECT_EQ(dlg_.pageName, accepted);
    dlg_.show();
  }
  EXPECT_EQ(project_.pageNames, (std::vector<std::string>{"页面1", "Main"}));
  EXPECT_FALSE(project_.modified);
}

TEST_F(NewPageTest, AProjectWithoutPagesAcceptsAnyFileName) {
  project_.pageNames.clear();
  Submit("页面1");
  EXPECT_TRUE(Accepted());
  EXPECT_EQ(dlg_.pageName, "页面1");
}

TEST_F(NewPageTest, DoModalReturnsOkOrCancel) {
  dlg_.hide();
  dlg_.pageName = "页面9";
  NsWui::WhenModal([](QWidget* modal) {
    EXPECT_EQ(DlgItem<QLineEdit>(modal, CDlgNewPage::IDC_NAME)->text(), QStringLiteral("页面9"));
    DlgItem<QPushButton>(modal, CDlgNewPage::IDC_OK)->click();
  });
  EXPECT_EQ(dlg_.DoModal(), NsWui::IDOK);
  EXPECT_EQ(dlg_.pageName, "页面9");

  NsWui::WhenModal([](QWidget* modal) {
    DlgItem<QPushButton>(modal, CDlgNewPage::IDC_CANCEL)->click();
  });
  EXPECT_EQ(dlg_.DoModal(), NsWui::IDCANCEL);
}

}  // namespace
}  // namespace NsOvrin
