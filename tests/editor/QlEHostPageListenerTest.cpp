// The hosts that follow the project's page list: the page-jump button, the
// navigation bar and the multi-function button are page listeners for as
// long as they live, whichever way they were made.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "PagesFixture.h"
#include "editor/QlEHostButton.h"
#include "editor/QlEHostMultFuncBtn.h"
#include "editor/QlEHostNavBar.h"
#include "editor/QlEHostPageTo.h"
#include "editor/QlEHostPanel.h"
#include "editor/QlEPage.h"
#include "editor/UiElemCont.h"

namespace NsOvrin::NsQlElemEditor {
namespace {

using PageListenerHosts = Testing::PagesFixture;

TEST_F(PageListenerHosts, ListedOnceFromAnyMakingUntilDestroyed) {
  const std::size_t before = PageListener::GetRegistry().size();
  {
    auto pageTo = std::make_shared<QlEHostPageTo>(D2D_POINT_2F{10, 10});
    auto navBar = std::make_shared<QlEHostNavBar>(D2D_POINT_2F{10, 10});
    auto multFunc = std::make_shared<QlEHostMultFuncBtn>(D2D_POINT_2F{10, 10});
    auto loadedPageTo = std::make_shared<QlEHostPageTo>(pageTo->_qlUi, pageTo->_qlIo);
    auto loadedNavBar = std::make_shared<QlEHostNavBar>(navBar->_qlUi, nullptr);
    auto loadedMultFunc = std::make_shared<QlEHostMultFuncBtn>(nullptr, nullptr);
    const std::vector<PageListener*> made = {pageTo.get(),       navBar.get(),
                                             multFunc.get(),     loadedPageTo.get(),
                                             loadedNavBar.get(), loadedMultFunc.get()};
    for (PageListener* listener : made) EXPECT_TRUE(IsListener(listener));

    auto pageCopy = std::dynamic_pointer_cast<QlEHostPageTo>(pageTo->Clone());
    auto barCopy = std::dynamic_pointer_cast<QlEHostNavBar>(navBar->Clone());
    auto funcCopy = std::dynamic_pointer_cast<QlEHostMultFuncBtn>(multFunc->Clone());
    for (PageListener* listener : std::vector<PageListener*>{pageCopy.get(), barCopy.get(),
                                                             funcCopy.get()})
      EXPECT_TRUE(IsListener(listener));
    EXPECT_EQ(PageListener::GetRegistry().size(), before + 9);

    // Other kinds are not listeners.
    QlEHostPanel panel(D2D_POINT_2F{10, 10});
    QlEHostButton button(D2D_POINT_2F{10, 10});
    EXPECT_EQ(PageListener::GetRegistry().size(), before + 9);

    pageTo.reset();
    EXPECT_EQ(PageListener::GetRegistry().size(), before + 8);
    EXPECT_TRUE(IsListener(loadedPageTo.get())) << "the other host of the record stays";
  }
  EXPECT_EQ(PageListener::GetRegistry().size(), before);
}

TEST_F(PageListenerHosts, RenamesRetargetPageJumpsOfEveryJumpTypeAndNavBarEntries) {
  struct Jump {
    NsQlElemIo::PageJumpType type;
    std::string target, after;
  };
  const Jump jumps[] = {
      {NsQlElemIo::kPageJumpNamed, "页面2", "主页"},
      {NsQlElemIo::kPageJumpPrevious, "页面2", "主页"},
      {NsQlElemIo::kPageJumpHome, "页面2", "主页"},
      {NsQlElemIo::kPageJumpNamed, "页面1", "页面1"},
      {NsQlElemIo::kPageJumpNamed, "页面22", "页面22"},
  };
  std::vector<std::shared_ptr<QlEHostPageTo>> pageTos;
  for (const Jump& j : jumps) {
    pageTos.push_back(std::make_shared<QlEHostPageTo>(D2D_POINT_2F{10, 10}));
    pageTos.back()->_qlIo->jumpType = j.type;
    pageTos.back()->_qlIo->targetPage = j.target;
  }
  QlEHostNavBar navBar(D2D_POINT_2F{10, 10});
  navBar._qlUi->labels = {"页面2", "页面1", "页面2"};
  navBar._qlIo->targetPages = {"页面2", "", "页面1", "页面2"};
  QlEHostMultFuncBtn multFunc(D2D_POINT_2F{10, 10});
  multFunc._qlIo->funcList.sourceLines = {"页面跳到 “页面2”"};

  ASSERT_EQ(QlEProject::Instance().RenamePage("页面2", "主页"), QlEProject::kRenameOk);
  AnnounceRename("页面2", "主页");

  for (std::size_t i = 0; i < pageTos.size(); ++i)
    EXPECT_EQ(pageTos[i]->_qlIo->targetPage, jumps[i].after) << jumps[i].target;
  EXPECT_EQ(navBar._qlIo->targetPages, (std::vector<std::string>{"主页", "", "页面1", "主页"}));
  EXPECT_EQ(navBar._qlUi->labels, (std::vector<std::string>{"页面2", "页面1", "页面2"}))
      << "the tab labels are the user's";
  EXPECT_EQ(multFunc._qlIo->funcList.sourceLines,
            std::vector<std::string>{"页面跳到 “页面2”"});

  // The retargeted elements still pass their checks.
  EXPECT_TRUE(pageTos[0]->Check(nullptr));
  EXPECT_TRUE(navBar.Check(nullptr));
  // Names are compared exactly.
  AnnounceRename("主", "页面5");
  EXPECT_EQ(pageTos[0]->_qlIo->targetPage, "主页");
}

TEST_F(PageListenerHosts, AHostWithoutBindingIgnoresRenames) {
  QlEHostPageTo pageTo(nullptr, nullptr);
  QlEHostNavBar navBar(nullptr, nullptr);
  AnnounceRename("页面1", "页面9");
  EXPECT_EQ(pageTo.GetIo(), nullptr);
  EXPECT_EQ(navBar.GetIo(), nullptr);
}

TEST_F(PageListenerHosts, ADeletedTargetPageIsKeptAndReportedByTheNextCheck) {
  QlEHostPageTo pageTo(D2D_POINT_2F{10, 10});
  pageTo._qlIo->jumpType = NsQlElemIo::kPageJumpNamed;
  pageTo._qlIo->targetPage = "页面3";
  QlEHostNavBar navBar(D2D_POINT_2F{10, 10});
  navBar._qlIo->targetPages = {"页面1", "页面3"};
  ASSERT_TRUE(pageTo.Revalidate());
  ASSERT_TRUE(navBar.Revalidate());
  ASSERT_FALSE(pageTo._qlUi->inError);
  ASSERT_FALSE(navBar._qlUi->inError);

  ASSERT_TRUE(QlEProject::Instance().DeletePage("页面3"));
  EXPECT_EQ(pageTo._qlIo->targetPage, "页面3");
  EXPECT_EQ(navBar._qlIo->targetPages, (std::vector<std::string>{"页面1", "页面3"}));

  std::string message;
  EXPECT_FALSE(pageTo.Check(&message));
  EXPECT_EQ(message, "跳转页面文件不存在!");
  EXPECT_TRUE(pageTo._qlUi->inError);
  EXPECT_FALSE(navBar.Check(&message));
  EXPECT_EQ(message, "页面'页面3'不存在.");
  EXPECT_TRUE(navBar._qlUi->inError);
}

// Closes a page's view the way a page view would: its elements go while
// the project announces the deletion.
class ClosesElementsOnDelete : public PageListener {
 public:
  void OnPageAdded(const std::string&) override {}
  void OnActivatePage(const std::string&) override {}
  void OnPageDeleting(const std::string&) override { elements.clear(); }
  void OnPageDeleted(const std::string&) override {}
  void OnPageRenamed(const std::string&, const std::string&) override {}
  void OnPageChanged(const std::string&, const PageProperties&) override {}

  std::vector<std::shared_ptr<QlEHostElem>> elements;
};

TEST_F(PageListenerHosts, HostsDestroyedDuringANotificationAreNotCalled) {
  ClosesElementsOnDelete view;
  PageListener::Register(&view);
  view.elements.push_back(std::make_shared<QlEHostPageTo>(D2D_POINT_2F{10, 10}));
  view.elements.push_back(std::make_shared<QlEHostNavBar>(D2D_POINT_2F{10, 10}));
  view.elements.push_back(std::make_shared<QlEHostMultFuncBtn>(D2D_POINT_2F{10, 10}));
  // The walk would reach the destroyed hosts after the view.
  EXPECT_TRUE(QlEProject::Instance().DeletePage("页面2"));
  EXPECT_TRUE(view.elements.empty());
  auto& registry = PageListener::GetRegistry();
  registry.erase(std::remove(registry.begin(), registry.end(), &view), registry.end());
}

// The project object first, then an open page holding every kind of host
// that listens to the page list, then the end of the process.
[[noreturn]] void EndProcessWithAnOpenPage() {
  QlEProject& project = QlEProject::Instance();
  {
    // Nothing but the project holds the page when the process ends: exit
    // does not unwind this frame.
    auto page = std::make_shared<QlEPage>("页面1");
    page->elements = std::make_shared<NsUiD2ElemEditor::UiElemCont>();
    const std::vector<std::shared_ptr<NsUiD2ElemEditor::TUiHost>> hosts = {
        std::make_shared<QlEHostPageTo>(D2D_POINT_2F{10, 10}),
        std::make_shared<QlEHostNavBar>(D2D_POINT_2F{10, 10}),
        std::make_shared<QlEHostMultFuncBtn>(D2D_POINT_2F{10, 10})};
    for (const std::shared_ptr<NsUiD2ElemEditor::TUiHost>& host : hosts)
      page->elements->elems.push_back(std::make_shared<NsUiD2ElemEditor::UiElem>(host));
    project.openPages.push_back(page);
  }
  std::exit(0);
}

// A process that ends while the project object, made before any host listed
// itself, still holds such a page: the hosts leave the registries after
// those would otherwise have been destroyed. The child process starts
// afresh so that nothing else made the registries first.
TEST(PageListenerLifetime, HostsOfAnOpenPageLeaveTheRegistriesAtProcessEnd) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(EndProcessWithAnOpenPage(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace NsOvrin::NsQlElemEditor
