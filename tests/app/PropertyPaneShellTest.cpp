#include <gtest/gtest.h>

#include <QLineEdit>

#include "QlUiElem/QlUiText.h"
#include "ShellFixture.h"
#include "app/CPropertiesWnd.h"
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

}  // namespace
}  // namespace NsOvrin::Testing
