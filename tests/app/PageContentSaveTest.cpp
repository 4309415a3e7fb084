// A save never destroys what a listed page still needs, and writes only the
// listed pages: pages whose names were swapped, a page renamed onto the name
// of a deleted page whose window stayed open, and a new page deleted with its
// window kept, each through the running editor (File menu, tree, property
// pane), with the save succeeding, failing on a full medium and then retried,
// answered "否" at the close, and killed at random moments in a copy of this
// program. After every row each listed page has its own content and no page
// file the main file does not list is left.
#include <fcntl.h>
#include <unistd.h>

#include <QLineEdit>
#include <QPushButton>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <thread>
#include <tuple>

#include "KilledChild.h"
#include "RunningEditorFixture.h"
#include "app/CChildFrame.h"
#include "dialogs/CDlgNewPage.h"
#include "dialogs/CDlgProtPage.h"
#include "platform/AtomicFile.h"
#include "project/ListenerRegistry.h"
#include "project_persistence/MainFile.h"
#include "project_persistence/ProjectLoadSave.h"
#include "support/WriteBlockers.h"
#include "wui/CConfirmEditCtrl.h"
#include "wui/DlgItem.h"
#include "wui/ModalDriver.h"


namespace NsOvrin::Testing {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;
// Page name to the number of elements its file holds: each page of a row
// has a count of its own.
using Contents = std::map<std::string, int>;

constexpr const char* kSaveQuestion = "工程被更改, 是否需要保存?";
constexpr const char* kPageQuestion = "页面被修改, 是否需要保存?";

// The listed pages with their element counts, -1 for a page whose file does
// not load; empty without a main file.
Contents ListedContents(const std::string& folder) {
  QlProjectData record;
  if (!ReadMainFile(GetMainFilePath(folder), record)) return {};
  Contents contents;
  for (const std::string& name : record.pageNames) {
    std::shared_ptr<NsQlUiElem::QlPageData> page;
    contents[name] = LoadPageFile(folder, name, PageLoadHooks{}, page) && page
                         ? static_cast<int>(page->elements.size())
                         : -1;
  }
  return contents;
}

// Page files in the folder that its main file does not list.
Texts UnlistedPageFiles(const std::string& folder) {
  const Contents listed = ListedContents(folder);
  Texts stray;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (!name.ends_with(".ovpg")) continue;
    if (!listed.contains(name.substr(0, name.size() - 5))) stray.push_back(name);
  }
  return stray;
}

std::string Describe(const Contents& contents) {
  std::string text;
  for (const auto& [name, count] : contents) text += name + "=" + std::to_string(count) + " ";
  return text;
}

enum class Row { kSwappedNames, kRenamedOntoADeletedOpenPage, kNewPageDeletedWindowKept };
enum class Then { kSave, kFullMediumThenRetry, kNoAtTheClose };

std::string Name(Row row) {
  switch (row) {
    case Row::kSwappedNames: return "SwappedNames";
    case Row::kRenamedOntoADeletedOpenPage: return "RenamedOntoADeletedOpenPage";
    case Row::kNewPageDeletedWindowKept: return "NewPageDeletedWindowKept";
  }
  return {};
}

std::string Name(Then then) {
  switch (then) {
    case Then::kSave: return "ThenSave";
    case Then::kFullMediumThenRetry: return "ThenFullMediumThenRetry";
    case Then::kNoAtTheClose: return "ThenNoAtTheClose";
  }
  return {};
}

// The editor's routes a row takes: the page windows, the tree, the property
// pane and the File menu.
class PageContentFixture : public RunningEditorFixture {
 protected:
  std::string Folder() const { return folder_.Path(); }

  // The window that shows the listed page of that name, opened when needed:
  // never the window of a page deleted since.
  CQuillaneView* LiveView(const std::string& name) {
    QlEProject::Instance().ActivatePage(name);
    QCoreApplication::processEvents();
    for (QMdiSubWindow* window : frame_->GetMdiClient()->subWindowList()) {
      auto* child = dynamic_cast<CChildFrame*>(window);
      if (child == nullptr || !child->ShowsPage(name)) continue;
      CQuillaneView* view = child->GetActiveView();
      if (view != nullptr && view->GetCanvas().GetPage() && !view->GetCanvas().GetPage()->deleted) return view;
    }
    return nullptr;
  }

  // Renames the listed page in its property page.
  void RenameInThePane(const std::string& from, const std::string& to) {
    view_ = LiveView(from);
    RunningEditorFixture::RenameInThePane(view_, to);
  }

  // Closes the window of the listed page; a modified page is answered answer.
  void CloseWindow(const std::string& name, int answer = NsWui::IDNO) {
    CQuillaneView* view = LiveView(name);
    ASSERT_NE(view, nullptr) << name;
    if (view->GetCanvas().GetPage()->modified) ui_.PushAnswer(answer);
    view->GetParentFrame()->close();
    DeleteClosed();
    if (view_ == view) view_ = nullptr;
  }

  // A text element inserted with its tool: the page is modified, one
  // element more.
  void InsertText(CQuillaneView* view, QPoint at) {
    view->GetParentFrame()->setFocus();
    Trigger(ID_TOOL_FIRST_ELEM);
    Click(view, at);
    DeleteClosed();
  }

  // "删除页面" in the tree; the page's window asks when its page is modified.
  void DeleteInTheTree(const std::string& name, int answer) {
    ui_.PushAnswer(answer);
    Tree()->OnPageCommand(CViewTree::ID_DELETE_PAGE, FindItem(Tree(), name.c_str()));
    DeleteClosed();
    ui_.answers.clear();
  }

  // The change of the row, through the running editor. What the folder
  // holds once it is saved.
  Contents Change(Row row) {
    QlEProject& project = QlEProject::Instance();
    switch (row) {
      case Row::kSwappedNames:
        // Neither page open, both renamed in their property pages.
        CloseWindow("P1");
        RenameInThePane("P2", "P9");
        CloseWindow("P9");
        RenameInThePane("P1", "P2");
        CloseWindow("P2");
        RenameInThePane("P9", "P1");
        CloseWindow("P1");
        EXPECT_TRUE(project.openPages.empty());
        return {{"P1", 0}, {"P2", 3}};
      case Row::kRenamedOntoADeletedOpenPage: {
        // P2 changed, deleted, its window kept ("取消"); P1 takes its name.
        CQuillaneView* p2 = LiveView("P2");
        EXPECT_NE(p2, nullptr);
        if (p2 == nullptr) return {};
        InsertText(p2, {100, 100});
        EXPECT_EQ(p2->GetCanvas().GetPage()->elements->elems.size(), 1u);
        DeleteInTheTree("P2", NsWui::IDCANCEL);
        EXPECT_TRUE(p2->GetCanvas().GetPage()->deleted) << "its window stays";
        RenameInThePane("P1", "P2");
        EXPECT_EQ(project.pageNames, Texts{"P2"});
        return {{"P2", 3}};
      }
      case Row::kNewPageDeletedWindowKept: {
        NewPageThroughTheFileMenu("P5");
        CQuillaneView* p5 = LiveView("P5");
        EXPECT_NE(p5, nullptr);
        if (p5 == nullptr) return {};
        InsertText(p5, {100, 100});
        DeleteInTheTree("P5", NsWui::IDCANCEL);
        EXPECT_TRUE(p5->GetCanvas().GetPage()->deleted) << "its window stays";
        EXPECT_EQ(project.pageNames, (Texts{"P1", "P2"}));
        return {{"P1", 3}, {"P2", 0}};
      }
    }
    return {};
  }

  void ExpectFolder(const Contents& expected) {
    EXPECT_EQ(Describe(ListedContents(Folder())), Describe(expected));
    EXPECT_EQ(UnlistedPageFiles(Folder()), Texts{});
    EXPECT_FALSE(fs::exists(NsPlatform::CommitRecordPath(Folder())));
  }

  // Opens the folder through the File menu: every listed page in its
  // window with its content, no box.
  void ExpectItOpensAs(const Contents& expected) {
    SCOPED_TRACE("reopened");
    ui_.calls.clear();
    OpenThroughTheFileMenu();
    ASSERT_TRUE(QlEProject::Instance().open);
    Contents opened;
    for (const std::string& name : QlEProject::Instance().pageNames) {
      CQuillaneView* view = LiveView(name);
      opened[name] = view != nullptr ? static_cast<int>(view->GetCanvas().GetPage()->elements->elems.size()) : -1;
    }
    EXPECT_EQ(Describe(opened), Describe(expected));
    EXPECT_EQ(ui_.MessageTexts(), Texts{});
  }

  // Closes what the row left open: the project without saving, then the
  // window of a deleted page.
  void CloseEverything() {
    ui_.PushAnswer(NsWui::IDNO);
    ui_.PushAnswer(NsWui::IDNO);
    Trigger(ID_CLOSE_PROJECT);
    DeleteClosed();
    ui_.answers.clear();
  }
};

class PageContent : public PageContentFixture, public ::testing::WithParamInterface<std::tuple<Row, Then>> {};

TEST_P(PageContent, EveryListedPageKeepsItsOwnContentAndNoOtherPageFileIsLeft) {
  const auto [row, then] = GetParam();
  const Contents saved = {{"P1", 3}, {"P2", 0}};
  ASSERT_EQ(Describe(ListedContents(Folder())), Describe(saved));
  const Contents changed = Change(row);
  ASSERT_FALSE(HasFailure());
  ASSERT_TRUE(QlEProject::Instance().modified);
  ui_.calls.clear();

  if (then == Then::kNoAtTheClose) {
    CloseEverything();
    EXPECT_FALSE(QlEProject::Instance().open);
    // As the last save left it: the rename and the delete undone.
    ExpectFolder(saved);
    ExpectItOpensAs(saved);
    return;
  }

  if (then == Then::kFullMediumThenRetry) {
    {
      // Room for the small files only: the page with three elements does not
      // fit.
      FileSizeLimit full(400);
      ASSERT_TRUE(full.Active());
      Trigger(ID_FILE_SAVE);
      DeleteClosed();
    }
    const Texts boxes = ui_.MessageTexts();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].starts_with("以下文件保存失败:")) << boxes[0];
    EXPECT_NE(boxes[0].find(".ovpg: "), std::string::npos) << boxes[0];
    EXPECT_TRUE(QlEProject::Instance().modified) << "owed";
    // Nothing of it reached the pages and the main file.
    ExpectFolder(saved);
    ui_.calls.clear();
  }

  Trigger(ID_FILE_SAVE);
  DeleteClosed();
  EXPECT_EQ(ui_.MessageTexts(), Texts{});
  EXPECT_FALSE(QlEProject::Instance().modified);
  ExpectFolder(changed);
  CloseEverything();
  ExpectFolder(changed);
  ExpectItOpensAs(changed);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PageContent,
    ::testing::Combine(::testing::Values(Row::kSwappedNames, Row::kRenamedOntoADeletedOpenPage,
                                         Row::kNewPageDeletedWindowKept),
                       ::testing::Values(Then::kSave, Then::kFullMediumThenRetry, Then::kNoAtTheClose)),
    [](const ::testing::TestParamInfo<std::tuple<Row, Then>>& info) {
      return Name(std::get<0>(info.param)) + Name(std::get<1>(info.param));
    });

using PageWindowSave = PageContentFixture;

// The window of a renamed page answered "是": the page reaches the folder
// together with the main file that lists it, so the project is saved; writing
// the page alone would replace the content the other page still needs.
TEST_F(PageWindowSave, ARenamedPagesWindowAnsweredYesSavesTheProject) {
  CloseWindow("P1");
  RenameInThePane("P2", "P9");
  CloseWindow("P9");
  RenameInThePane("P1", "P2");
  // P2 (the old P1) changed and still open.
  CQuillaneView* renamed = LiveView("P2");
  ASSERT_NE(renamed, nullptr);
  InsertText(renamed, {600, 500});
  RenameInThePane("P9", "P1");
  CloseWindow("P1");
  ui_.calls.clear();

  CloseWindow("P2", NsWui::IDYES);
  EXPECT_EQ(ui_.MessageTexts(), Texts{kPageQuestion});
  EXPECT_FALSE(QlEProject::Instance().modified);
  ExpectFolder({{"P1", 0}, {"P2", 4}});
}

// The window of a deleted page answered "是": nothing is written, a box
// says why, and the window stays; "否" then closes it.
TEST_F(PageWindowSave, ADeletedPagesWindowIsWrittenNowhere) {
  CQuillaneView* p2 = LiveView("P2");
  ASSERT_NE(p2, nullptr);
  InsertText(p2, {100, 100});
  DeleteInTheTree("P2", NsWui::IDCANCEL);
  ASSERT_TRUE(p2->GetCanvas().GetPage()->deleted);
  const std::string before = ReadFileText(Folder() + "/P2.ovpg");
  ui_.calls.clear();

  ui_.PushAnswer(NsWui::IDYES);
  p2->GetParentFrame()->close();
  DeleteClosed();
  EXPECT_EQ(ui_.MessageTexts(), (Texts{kPageQuestion, "此页面已不属于打开的工程, 不能保存."}));
  EXPECT_EQ(ReadFileText(Folder() + "/P2.ovpg"), before);
  EXPECT_TRUE(p2->isVisible());

  // A new page of that name is another page: the tree opens its own window,
  // and its pane renames it, not the deleted one.
  NewPageThroughTheFileMenu("P2");
  CQuillaneView* added = LiveView("P2");
  ASSERT_NE(added, nullptr);
  EXPECT_NE(added, p2);
  RenameInThePane("P2", "P7");
  EXPECT_EQ(QlEProject::Instance().pageNames, (Texts{"P1", "P7"}));
  EXPECT_EQ(p2->GetCanvas().GetPage()->name, "P2");

  ui_.calls.clear();
  Trigger(ID_FILE_SAVE);
  DeleteClosed();
  EXPECT_EQ(ui_.MessageTexts(), Texts{});
  ExpectFolder({{"P1", 3}, {"P7", 0}});
  EXPECT_TRUE(p2->GetCanvas().GetPage()->modified) << "what it shows was saved nowhere";

  ui_.PushAnswer(NsWui::IDNO);
  p2->GetParentFrame()->close();
  DeleteClosed();
  EXPECT_EQ(ui_.MessageTexts(), Texts{kPageQuestion});
}

// The window of a deleted page outlives the project's close when the user
// keeps it again ("取消"); "是" then still writes nothing.
TEST_F(PageWindowSave, ADeletedPagesWindowKeptPastTheProjectsCloseIsWrittenNowhere) {
  CQuillaneView* p2 = LiveView("P2");
  ASSERT_NE(p2, nullptr);
  InsertText(p2, {100, 100});
  DeleteInTheTree("P2", NsWui::IDCANCEL);
  ui_.calls.clear();
  // The project saved at its question; the page's own question cancelled.
  ui_.PushAnswer(NsWui::IDYES);
  ui_.PushAnswer(NsWui::IDCANCEL);
  Trigger(ID_CLOSE_PROJECT);
  DeleteClosed();
  ui_.answers.clear();
  ASSERT_FALSE(QlEProject::Instance().open);
  EXPECT_EQ(ui_.MessageTexts(), (Texts{kSaveQuestion, kPageQuestion}));
  ExpectFolder({{"P1", 3}});
  ASSERT_TRUE(p2->isVisible());

  ui_.calls.clear();
  ui_.PushAnswer(NsWui::IDYES);
  p2->GetParentFrame()->close();
  DeleteClosed();
  EXPECT_EQ(ui_.MessageTexts(), (Texts{kPageQuestion, "此页面已不属于打开的工程, 不能保存."}));
  ExpectFolder({{"P1", 3}});
}

// ---- saves killed at random moments ----

constexpr const char* kChildFolder = "OVRIN_PAGE_CONTENT_FOLDER";
constexpr const char* kChildRow = "OVRIN_PAGE_CONTENT_ROW";
constexpr const char* kChildLog = "OVRIN_PAGE_CONTENT_LOG";

// Pages are told apart by their background colours, read from the files.
using Colours = std::map<std::string, uint32_t>;

Colours ListedColours(const std::string& folder) {
  QlProjectData record;
  if (!ReadMainFile(GetMainFilePath(folder), record)) return {};
  Colours colours;
  for (const std::string& name : record.pageNames) {
    std::shared_ptr<NsQlUiElem::QlPageData> page;
    colours[name] = LoadPageFile(folder, name, PageLoadHooks{}, page) && page ? page->backgroundColour : 0;
  }
  return colours;
}

std::string Describe(const Colours& colours) {
  std::ostringstream text;
  for (const auto& [name, colour] : colours) text << name << "=" << colour << " ";
  return text.str();
}

// The child: opens the folder, then repeats the row's change and saves,
// writing to the log before each save what the folder is to hold and after
// it that it does, until it is killed.
using PageContentChild = PageContentFixture;

TEST_F(PageContentChild, ChangesAndSavesUntilKilled) {
  const char* folder = std::getenv(kChildFolder);
  const char* rowText = std::getenv(kChildRow);
  const char* log = std::getenv(kChildLog);
  if (folder == nullptr || rowText == nullptr || log == nullptr || std::getenv(KilledChild::kReadyFd) == nullptr)
    GTEST_SKIP() << "the child of PageContentKilled";
  const Row row = static_cast<Row>(std::atoi(rowText));
  ui_.PushPath(GetMainFilePath(folder));
  Trigger(ID_FILE_OPEN);
  DeleteClosed();
  ASSERT_TRUE(QlEProject::Instance().open);
  const int logFd = ::open(log, O_WRONLY | O_APPEND | O_CREAT, 0644);
  ASSERT_GE(logFd, 0);
  ASSERT_TRUE(KilledChild::SayReady());
  QlEProject& project = QlEProject::Instance();
  uint32_t next = static_cast<uint32_t>(::getpid()) << 8;
  // As the page's property page renames it: the list, the listeners, then
  // the open page itself.
  const auto rename = [&](const std::string& from, const std::string& to) {
    const std::shared_ptr<QlEPage> open = FindLivePage(from);
    ASSERT_EQ(project.RenamePage(from, to), QlEProject::kRenameOk);
    NotifyListeners(PageListener::GetRegistry(), [&](PageListener* l) { l->OnPageRenamed(from, to); });
    if (open) open->name = to;
  };
  // A page in its window, with a colour of its own.
  const auto colour = [&](const std::string& name) {
    CQuillaneView* view = LiveView(name);
    if (view == nullptr) return;
    view->GetCanvas().GetPage()->backgroundColour = static_cast<int32_t>(++next & 0xFFFFFF);
    view->GetCanvas().GetPage()->modified = true;
  };
  const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  for (int i = 0; std::chrono::steady_clock::now() < end; ++i) {
    switch (row) {
      case Row::kSwappedNames:
        rename("P1", "P9");
        rename("P2", "P1");
        rename("P9", "P2");
        break;
      case Row::kRenamedOntoADeletedOpenPage: {
        // The first page changed, deleted with its window kept; the second
        // takes its name; a new page takes the second's.
        const Texts pages = project.pageNames;
        colour(pages[0]);
        DeleteInTheTree(pages[0], NsWui::IDCANCEL);
        rename(pages[1], pages[0]);
        NewPageThroughTheFileMenu(pages[1]);
        colour(pages[1]);
        break;
      }
      case Row::kNewPageDeletedWindowKept: {
        const std::string added = "N" + std::to_string(i);
        NewPageThroughTheFileMenu(added);
        colour(added);
        DeleteInTheTree(added, NsWui::IDCANCEL);
        colour(project.pageNames[i % 2]);
        break;
      }
    }
    // What the save is to leave: the listed pages with their colours.
    std::string expected = "S";
    for (const std::string& name : project.pageNames) {
      CQuillaneView* view = nullptr;
      for (const auto& page : project.openPages)
        if (page && !page->deleted && page->name == name) view = LiveView(name);
      uint32_t c = 0;
      if (view != nullptr) {
        c = static_cast<uint32_t>(view->GetCanvas().GetPage()->backgroundColour);
      } else {
        std::shared_ptr<NsQlUiElem::QlPageData> page;
        if (LoadPageFile(folder, project.SavedPageName(name), PageLoadHooks{}, page) && page)
          c = page->backgroundColour;
      }
      expected += " " + name + "=" + std::to_string(c);
    }
    expected += "\n";
    ASSERT_TRUE(NsPlatform::WriteAllToFd(logFd, expected.data(), expected.size()));
    Trigger(ID_FILE_SAVE);
    DeleteClosed();
    ASSERT_TRUE(NsPlatform::WriteAllToFd(logFd, "D\n", 2));
    // The windows of deleted pages go, unsaved.
    for (const auto& page : std::vector<std::shared_ptr<QlEPage>>(project.openPages)) {
      if (!page || !page->deleted) continue;
      for (QMdiSubWindow* window : frame_->GetMdiClient()->subWindowList()) {
        auto* child = dynamic_cast<CChildFrame*>(window);
        if (child == nullptr || child->GetActiveView() == nullptr ||
            child->GetActiveView()->GetCanvas().GetPage() != page)
          continue;
        ui_.PushAnswer(NsWui::IDNO);
        child->close();
        DeleteClosed();
      }
    }
  }
  ::_exit(0);
}

// A line "S name=colour ..." of the log as what the folder may hold.
std::string ParseExpected(const std::string& line) {
  std::istringstream words(line.substr(1));
  Colours colours;
  std::string word;
  while (words >> word) {
    const std::size_t eq = word.find('=');
    colours[word.substr(0, eq)] = static_cast<uint32_t>(std::stoul(word.substr(eq + 1)));
  }
  return Describe(colours);
}

class PageContentKilled : public PageContentFixture, public ::testing::WithParamInterface<Row> {};

TEST_P(PageContentKilled, AtRandomMomentsTheFolderHoldsTheLastSaveOrTheOneUnderWay) {
  const Row row = GetParam();
  const std::string folder = Folder();
  const std::string children = folder_ / "children";
  ASSERT_TRUE(fs::create_directories(children));
  // Each page a colour of its own, saved.
  for (const auto& [name, colour] : {std::pair{"P1", 0x111111}, {"P2", 0x222222}}) {
    CQuillaneView* view = LiveView(name);
    ASSERT_NE(view, nullptr);
    view->GetCanvas().GetPage()->backgroundColour = colour;
    view->GetCanvas().GetPage()->modified = true;
  }
  Trigger(ID_FILE_SAVE);
  DeleteClosed();
  ASSERT_EQ(Describe(ListedColours(folder)), Describe(Colours{{"P1", 0x111111}, {"P2", 0x222222}}));
  // The parent leaves the folder to the children.
  CloseEverything();
  std::mt19937 random(20261211 + static_cast<int>(row));
  std::uniform_int_distribution<int> delayUs(0, 300000);
  constexpr int kKills = 25;
  constexpr int kFewestKills = 8;
  const auto budget = std::chrono::steady_clock::now() + std::chrono::seconds(90);
  int landed = 0;
  for (int kill = 0; kill < kKills && (kill < kFewestKills || std::chrono::steady_clock::now() < budget); ++kill) {
    SCOPED_TRACE("kill " + std::to_string(kill));
    const std::string log = children + "/log" + std::to_string(kill);
    const std::string before = Describe(ListedColours(folder));
    KilledChild child("PageContentChild.ChangesAndSavesUntilKilled",
                      {{kChildFolder, folder}, {kChildRow, std::to_string(static_cast<int>(row))}, {kChildLog, log}},
                      children);
    ASSERT_TRUE(child.Started());
    const bool started = child.WaitReady();
    // From the first save on, however slow the machine: the kill lands
    // among saves.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (started && std::chrono::steady_clock::now() < giveUp) {
      std::ifstream logged(log);
      std::string first;
      if (std::getline(logged, first) && first.starts_with("S")) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (started) std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
    ASSERT_TRUE(child.Kill());
    ASSERT_TRUE(started) << "the child did not open the project";

    // The last save done, or the one under way: nothing between.
    std::string done = before;
    std::string underWay = before;
    std::ifstream lines(log);
    for (std::string line; std::getline(lines, line);) {
      if (line.starts_with("S")) underWay = ParseExpected(line);
      if (line == "D") done = underWay;
    }
    // The next open finishes a save stopped after its commit record.
    ui_.calls.clear();
    OpenThroughTheFileMenu();
    ASSERT_TRUE(QlEProject::Instance().open);
    EXPECT_EQ(ui_.MessageTexts(), Texts{});
    const std::string now = Describe(ListedColours(folder));
    EXPECT_TRUE(now == done || now == underWay) << "now: " << now << "\ndone: " << done << "\nunder way: " << underWay;
    EXPECT_EQ(UnlistedPageFiles(folder), Texts{});
    EXPECT_FALSE(fs::exists(NsPlatform::CommitRecordPath(folder)));
    // Every colour was given to one page only: two pages of one colour hold
    // one page's content twice, whatever the child expected.
    std::set<uint32_t> distinct;
    for (const auto& [name, colour] : ListedColours(folder)) EXPECT_TRUE(distinct.insert(colour).second) << now;
    if (row == Row::kSwappedNames) {
      EXPECT_EQ(distinct, (std::set<uint32_t>{0x111111, 0x222222}));
    }
    if (now != before) ++landed;
    CloseEverything();
  }
  EXPECT_GT(landed, 0) << "the kills landed among saves";
}

INSTANTIATE_TEST_SUITE_P(Table, PageContentKilled,
                         ::testing::Values(Row::kSwappedNames, Row::kRenamedOntoADeletedOpenPage,
                                           Row::kNewPageDeletedWindowKept),
                         [](const ::testing::TestParamInfo<Row>& info) { return Name(info.param); });

}  // namespace
}  // namespace NsOvrin::Testing
