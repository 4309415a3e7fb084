// The document listener: page windows opened, brought to the front, closed,
// retitled and updated on the project store's notifications.
#include "app/DocListener.h"

#include <gtest/gtest.h>

#include "QlUiElem/QlUiEdit.h"
#include "ShellFixture.h"
#include "project/ProjectListener.h"
#include "project_persistence/TempFolder.h"

namespace NsOvrin {
namespace {

using NsDx2d::D2D_RECT_F;
using NsWui::UiCall;
using Testing::Exists;
using Testing::ShellFixture;

// Page "P2", 300 x 200: one number box (10, 10)-(100, 37) showing 4x2.
const char* const kPageP2 =
    R"({"rect":{"left":0.0,"top":0.0,"right":300.0,"bottom":200.0},"bk-color":16777215,)"
    R"("access-permission":0,"elements":[)"
    R"({"type":"Number","rect":{"left":10.0,"top":10.0,"right":100.0,"bottom":37.0},)"
    R"("text-color":0,"font-size":120,"bk-color":16777215,"bk-color-alpha":1.0,)"
    R"("border-color":0,"text-align":0,"access-permission":0,"data-type":2,"scale":0,)"
    R"("read-only":false,"enable-min-val":false,"min-val":0,"enable-max-val":false,)"
    R"("max-val":0,"address":"PLC1.4x2","enable-visib":false,"address-for-visib":"",)"
    R"("show-when-true":true}]})";

class PageWindows : public ShellFixture {
 protected:
  void SetUp() override {
    ShellFixture::SetUp();
    QlEProject::Instance().pageNames.push_back("P2");
    WritePage("P2", kPageP2);
  }

  std::vector<std::string> Captions() const {
    std::vector<std::string> out;
    for (QMdiSubWindow* window : area_->subWindowList()) {
      out.push_back(window->windowTitle().toStdString());
    }
    return out;
  }
  static void AnnounceProjectClosing() {
    for (ProjectListener* l : ProjectListener::GetRegistry()) l->OnProjectClosing();
  }
  static void AnnounceRename(const std::string& from, const std::string& to) {
    ASSERT_EQ(QlEProject::Instance().RenamePage(from, to), QlEProject::kRenameOk);
    for (PageListener* l : PageListener::GetRegistry()) l->OnPageRenamed(from, to);
  }
};

TEST_F(PageWindows, AskingForAPageOpensItsWindowOnce) {
  CQuillaneView* view = Open("P1");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(Captions(), std::vector<std::string>{"P1"});
  EXPECT_EQ(area_->activeSubWindow(), view->GetParentFrame());
  EXPECT_EQ(CQuillaneView::GetActivePageView(), view);
  EXPECT_EQ(view->GetDocument()->GetTitle(), "P1");
  ASSERT_NE(view->GetCanvas().GetPage(), nullptr);
  EXPECT_EQ(view->GetCanvas().GetPage()->name, "P1");

  Open("P2");
  ASSERT_EQ(WindowCount(), 2);
  // Asked again: the window comes to the front; the file is not read again.
  ASSERT_TRUE(std::remove((folder_ / "P1.ovpg").c_str()) == 0);
  EXPECT_EQ(Open("P1"), view);
  EXPECT_EQ(WindowCount(), 2);
  EXPECT_EQ(area_->activeSubWindow(), view->GetParentFrame());
  EXPECT_TRUE(ui_.calls.empty()) << "no failed read";
}

TEST_F(PageWindows, AMinimisedWindowIsRestoredAndActivated) {
  area_->setViewMode(QMdiArea::SubWindowView);
  CQuillaneView* first = Open("P1");
  Open("P2");
  ASSERT_NE(first, nullptr);
  QMdiSubWindow* window = first->GetParentFrame();
  window->showMinimized();
  ASSERT_TRUE(window->isMinimized());

  EXPECT_EQ(Open("P1"), first);
  EXPECT_FALSE(window->isMinimized());
  EXPECT_EQ(area_->activeSubWindow(), window);
  EXPECT_EQ(WindowCount(), 2);
}

TEST_F(PageWindows, AnAddedPageOpensAsANewEmptyPage) {
  std::string name = " 新页面 ";
  ASSERT_TRUE(QlEProject::Instance().AddPage(name));
  CQuillaneView* view = WindowView("新页面");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(CQuillaneView::GetActivePageView(), view);
  const auto& page = view->GetCanvas().GetPage();
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->name, "新页面");
  EXPECT_FALSE(page->modified);
  EXPECT_EQ(page->backgroundColour, 0xF8F8F8);
  EXPECT_EQ(page->rect, (D2D_RECT_F{0, 0, 500, 350})) << "the project's page size";
  EXPECT_TRUE(page->elements->elems.empty());
  EXPECT_EQ(view->GetCanvas().GetPageSize(), (NsDx2d::D2D_SIZE_F{500, 350}));
  EXPECT_EQ(QlEProject::Instance().openPages, std::vector<std::shared_ptr<QlEPage>>{page});
  EXPECT_TRUE(ui_.calls.empty()) << "no file is read";
  EXPECT_EQ(Rgb(Shot(view), 500, 300), 0xF8F8F8u);
}

TEST_F(PageWindows, ADeletedPageClosesItsWindowAfterTheDeletion) {
  CQuillaneView* view = Open("P1");
  ASSERT_NE(view, nullptr);
  view->GetCanvas().GetPage()->modified = true;
  Open("P2");
  ui_.PushAnswer(NsWui::IDNO);
  const std::string saved = Testing::ReadFileText(folder_ / "P1.ovpg");

  ASSERT_TRUE(QlEProject::Instance().DeletePage("P1"));
  EXPECT_EQ(WindowCount(), 2) << "the close is posted";
  EXPECT_TRUE(ui_.calls.empty());
  // The file goes with the next save of the project.
  EXPECT_EQ(Testing::ReadFileText(folder_ / "P1.ovpg"), saved);

  DeleteClosed();
  EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>{"页面被修改, 是否需要保存?"});
  EXPECT_EQ(Captions(), std::vector<std::string>{"P2"});
  EXPECT_EQ(Testing::ReadFileText(folder_ / "P1.ovpg"), saved) << "No: nothing written";
}

TEST_F(PageWindows, ClosingTheProjectClosesEveryPageWindow) {
  Open("P1");
  Open("P2");
  AnnounceProjectClosing();
  EXPECT_EQ(WindowCount(), 2) << "closed later";
  DeleteClosed();
  EXPECT_EQ(WindowCount(), 0);
  EXPECT_TRUE(QlEProject::Instance().openPages.empty());
  EXPECT_EQ(CQuillaneView::GetActivePageView(), nullptr);
}

TEST_F(PageWindows, AModifiedPageAsksWhenTheProjectCloses) {
  CQuillaneView* view = Open("P1");
  ASSERT_NE(view, nullptr);
  view->GetCanvas().GetPage()->modified = true;
  ui_.PushAnswer(NsWui::IDCANCEL);
  AnnounceProjectClosing();
  DeleteClosed();
  EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>{"页面被修改, 是否需要保存?"});
  EXPECT_EQ(Captions(), std::vector<std::string>{"P1"}) << "Cancel keeps it";
}

TEST_F(PageWindows, ARenamedPageRetitlesItsWindow) {
  CQuillaneView* view = Open("P1");
  Open("P2");
  ASSERT_NE(view, nullptr);
  AnnounceRename("P1", "P3");
  EXPECT_EQ(view->GetDocument()->GetTitle(), "P3");
  EXPECT_EQ(view->GetPageTitle(), "P3");
  EXPECT_EQ(view->GetParentFrame()->windowTitle().toStdString(), "P3");
  EXPECT_EQ(listener_.FindPageWindow("P3"), view->GetParentFrame());
  EXPECT_EQ(listener_.FindPageWindow("P1"), nullptr);

  // A page without a window: no window changes.
  QlEProject::Instance().pageNames.push_back("P4");
  AnnounceRename("P4", "P5");
  EXPECT_EQ(Captions(), (std::vector<std::string>{"P3", "P2"}));
}

TEST_F(PageWindows, RenamesAndDeletionsCheckTheOpenPagesAgain) {
  CQuillaneView* view = Open("P1");
  ASSERT_NE(view, nullptr);
  const auto box = HostAt(view, 1)->GetUi();
  // The element's mark comes from the node database as it now stands.
  ASSERT_TRUE(Db().RemoveNode(Db().GetChannels().front()->GetHandle(), node_->GetHandle()));
  ASSERT_FALSE(box->inError);
  AnnounceRename("P2", "P6");
  EXPECT_TRUE(box->inError) << "rename";

  box->inError = false;
  ASSERT_TRUE(QlEProject::Instance().DeletePage("P6"));
  EXPECT_TRUE(box->inError) << "deletion";
}

TEST_F(PageWindows, NodeDatabaseChangesCheckEveryOpenPage) {
  CQuillaneView* first = Open("P1");
  CQuillaneView* second = Open("P2");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  const auto box1 = HostAt(first, 1)->GetUi();
  const auto box2 = HostAt(second, 0)->GetUi();
  ASSERT_FALSE(box1->inError);
  ASSERT_FALSE(box2->inError);
  ASSERT_TRUE(Db().RemoveNode(Db().GetChannels().front()->GetHandle(), node_->GetHandle()));

  listener_.OnNodeDbChanged();
  EXPECT_TRUE(box1->inError);
  EXPECT_TRUE(box2->inError);
  EXPECT_EQ(box2->errorText, "读写地址节点不存在.");
}

TEST_F(PageWindows, ChangedPagePropertiesReachTheDocumentAndTheView) {
  CQuillaneView* view = Open("P1");
  ASSERT_NE(view, nullptr);
  PageProperties properties;
  properties.backgroundColor = 0x00FFFF;  // yellow
  properties.rect = {0, 0, 200, 150};
  PageListener::NotifyPageChanged("P1", properties);

  CQuillaneDoc* document = view->GetDocument();
  EXPECT_EQ(document->backgroundColour, 0x00FFFF);
  EXPECT_EQ(document->pageRect, (D2D_RECT_F{0, 0, 200, 150}));
  EXPECT_EQ(view->GetCanvas().GetPage()->backgroundColour, 0x00FFFF);
  EXPECT_EQ(view->GetCanvas().GetPageSize(), (NsDx2d::D2D_SIZE_F{200, 150}));
  EXPECT_EQ(view->GetScrollBar(NsUiD2ElemEditor::ScrollBarId::Horizontal).maxPos, 280);
  EXPECT_EQ(view->GetScrollBar(NsUiD2ElemEditor::ScrollBarId::Vertical).maxPos, 230);
  const QImage shot = Shot(view);
  EXPECT_EQ(Rgb(shot, 200, 150), 0xFFFF00u) << "the new colour";
  EXPECT_EQ(Rgb(shot, 300, 200), 0xABABABu) << "beyond the new size";

  // No window shows that name: nothing changes.
  properties.backgroundColor = 0x0000FF;
  PageListener::NotifyPageChanged("P2", properties);
  EXPECT_EQ(view->GetCanvas().GetPage()->backgroundColour, 0x00FFFF);
}

TEST_F(PageWindows, FindsAWindowByItsExactCaption) {
  CQuillaneView* view = Open("P1");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(listener_.FindPageWindow("P1"), view->GetParentFrame());
  EXPECT_EQ(listener_.FindPageWindow("p1"), nullptr);
  EXPECT_EQ(listener_.FindPageWindow("P1 "), nullptr);
  EXPECT_EQ(listener_.FindPageWindow(""), nullptr);
}

TEST_F(PageWindows, LongPageNamesAreFoundToo) {
  const std::string name(300, 'a');
  std::string added = name;
  ASSERT_TRUE(QlEProject::Instance().AddPage(added));
  CQuillaneView* view = WindowView(name);
  ASSERT_NE(view, nullptr) << "found by its whole caption";
  Open("P1");
  EXPECT_EQ(Open(name), view) << "brought to the front, not opened twice";
  EXPECT_EQ(WindowCount(), 2);
  ASSERT_TRUE(QlEProject::Instance().DeletePage(name));
  DeleteClosed();
  EXPECT_EQ(Captions(), std::vector<std::string>{"P1"});
}

TEST_F(PageWindows, AWindowThatKeptADeletedPageKeepsItWhenTheNameComesBack) {
  CQuillaneView* old = Open("P1");
  ASSERT_NE(old, nullptr);
  const auto edited = old->GetCanvas().GetPage();
  edited->modified = true;
  ui_.PushAnswer(NsWui::IDCANCEL);
  ASSERT_TRUE(QlEProject::Instance().DeletePage("P1"));
  DeleteClosed();
  ASSERT_EQ(WindowCount(), 1) << "the user kept the edits";

  std::string name = "P1";
  ASSERT_TRUE(QlEProject::Instance().AddPage(name));
  ASSERT_EQ(WindowCount(), 2);
  EXPECT_EQ(old->GetCanvas().GetPage(), edited) << "not replaced by the new page";
  EXPECT_TRUE(edited->modified);
  const auto& open = QlEProject::Instance().openPages;
  ASSERT_EQ(open.size(), 2u);
  EXPECT_EQ(open[0], edited);
  EXPECT_NE(open[1], edited);
  EXPECT_TRUE(open[1]->elements->elems.empty()) << "the new window shows the new page";
}

TEST_F(PageWindows, WithoutATemplateNothingOpens) {
  DocListener bare;
  bare.SetMdiClient(area_.get());
  bare.OnActivatePage("P1");
  bare.OnPageAdded("P2");
  EXPECT_EQ(bare.GetTemplate(), nullptr);
  EXPECT_EQ(WindowCount(), 0);
  EXPECT_TRUE(ui_.calls.empty());
}

TEST_F(PageWindows, AListenerThatGoesLeavesTheRegistries) {
  {
    DocListener temporary;
    PageListener::Register(&temporary);
    ProjectListener::Register(&temporary);
    NodeDbListener::Register(&temporary);
  }
  // Would reach a destroyed listener otherwise.
  PageListener::NotifyPageChanged("P1", {});
  NodeDbListener::NotifyRunMode(false);
  AnnounceProjectClosing();
  EXPECT_EQ(PageListener::GetRegistry().size(), 1u);
}

}  // namespace
}  // namespace NsOvrin
