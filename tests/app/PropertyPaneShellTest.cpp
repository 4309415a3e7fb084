#include <gtest/gtest.h>

#include <QLineEdit>

#include "QlUiElem/QlUiText.h"
#include "ShellFixture.h"
#include "app/CPropertiesWnd.h"
#include "dialogs/CDlgProtMultFuncBtn.h"
#include "dialogs/CtrlQlFuncList.h"
#include "dialogs/FuncTableDriver.h"
#include "compiler/QlMultFuncBtnIo.h"
#include "editor/QlEHostMultFuncBtn.h"
#include "dialogs/CDlgProtPage.h"
#include "dialogs/CDlgProtText.h"
#include "editor/QlEHostText.h"
#include "wui/DlgItem.h"

namespace NsOvrin::Testing {
namespace {

// The property pane as the main frame sets it up: its change callback is
// the one the active page view fills.
class PaneInShell : public ShellFixture {
 protected:
  void SetUp() override {
    ShellFixture::SetUp();
    pane_ = std::make_unique<CPropertiesWnd>();
    pane_->resize(460, 600);
    pane_->show();
    PaneChangeCallback = &pane_->changeCallback;
  }
  void TearDown() override {
    // The page windows let the pane go as they close.
    ShellFixture::TearDown();
    pane_.reset();
  }

  std::unique_ptr<CPropertiesWnd> pane_;
};

TEST_F(PaneInShell, FollowsTheActiveViewAndAnEditMarksItsPage) {
  CQuillaneView* view = Open("P1");
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(pane_->changeCallback) << "the active view installed its callback";
  const auto& page = view->GetCanvas().GetPage();
  ASSERT_FALSE(page->modified);

  Click(view, {40, 40});
  auto* textPage = dynamic_cast<CDlgProtText*>(pane_->GetCurrentEditor());
  ASSERT_NE(textPage, nullptr);
  EXPECT_EQ(textPage->selection, view->GetCanvas().GetSelection().GetMembers());
  auto* edit = NsWui::DlgItem<QLineEdit>(textPage, CDlgProtText::IDC_TEXT);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->text().toStdString(), "温度");
  EXPECT_FALSE(page->modified);

  const int framesBefore = view->GetFramesDrawn();
  edit->setText("湿度");
  const auto host = std::dynamic_pointer_cast<NsQlElemEditor::QlEHostText>(HostAt(view, 0));
  ASSERT_NE(host, nullptr);
  EXPECT_EQ(host->_qlUi->textBox.text, "湿度");
  EXPECT_TRUE(page->modified);
  QCoreApplication::processEvents();
  EXPECT_GT(view->GetFramesDrawn(), framesBefore) << "the page is drawn again";

  // The empty page area: the page's own properties.
  Click(view, {300, 250});
  auto* pagePage = dynamic_cast<CDlgProtPage*>(pane_->GetCurrentEditor());
  ASSERT_NE(pagePage, nullptr);
  EXPECT_EQ(pagePage->page, page);
  EXPECT_FALSE(textPage->isVisible());

  // The view goes: nothing to show, no page to mark.
  page->modified = false;
  area_->closeAllSubWindows();
  DeleteClosed();
  EXPECT_EQ(pane_->GetCurrentEditor(), nullptr);
  EXPECT_FALSE(pane_->changeCallback);
}

// Page "P3": one multi-function button (10, 10)-(100, 50) with one line.
const char* const kPageP3 =
    R"({"rect":{"left":0.0,"top":0.0,"right":300.0,"bottom":200.0},"bk-color":16777215,)"
    R"("access-permission":0,"elements":[)"
    R"({"type":"MultFunc","rect":{"left":10.0,"top":10.0,"right":100.0,"bottom":50.0},)"
    R"("text":"复位","text-color":0,"font-size":110,"bk-color":12632256,"bk-color-alpha":1.0,)"
    R"("border-color":0,"border-style":0,"access-permission":0,"event-func-list":["退出登录"],)"
    R"("enable-visib":false,"address-for-visib":"","show-when-true":true}]})";

TEST_F(PaneInShell, AnInstructionEditMarksThePageSoClosingItAsks) {
  QlEProject::Instance().pageNames.push_back("P3");
  WritePage("P3", kPageP3);
  CQuillaneView* view = Open("P3");
  ASSERT_NE(view, nullptr);
  const auto page = view->GetCanvas().GetPage();
  Click(view, {50, 50});
  auto* funcPage = dynamic_cast<CDlgProtMultFuncBtn*>(pane_->GetCurrentEditor());
  ASSERT_NE(funcPage, nullptr);
  ASSERT_FALSE(page->modified);

  EXPECT_TRUE(EnterLine(*funcPage->funcTable, ui_, 2, "退出登录").empty());
  const auto host = std::dynamic_pointer_cast<NsQlElemEditor::QlEHostMultFuncBtn>(HostAt(view, 0));
  ASSERT_NE(host, nullptr);
  EXPECT_EQ(host->_qlIo->funcList.sourceLines, (std::vector<std::string>{"退出登录", "退出登录"}));
  EXPECT_TRUE(page->modified);

  // Closing the window asks before the lines go; No drops them.
  ui_.calls.clear();
  ui_.PushAnswer(NsWui::IDNO);
  EXPECT_TRUE(view->GetParentFrame()->close());
  DeleteClosed();
  EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>{"页面被修改, 是否需要保存?"});
  EXPECT_EQ(WindowCount(), 0);
}

}  // namespace
}  // namespace NsOvrin::Testing
