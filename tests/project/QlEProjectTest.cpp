#include <gtest/gtest.h>
#include <unistd.h>

#include <ostream>
#include <string>
#include <vector>

#include "ProjectFixture.h"
#include "editor/QlEPage.h"
#include "project/ProgramDefaults.h"
#include "project/QlEProject.h"

namespace NsOvrin::Testing {
namespace {

using Names = std::vector<std::string>;
using Events = std::vector<std::string>;

std::string PageName(unsigned u) { return "页面" + std::to_string(u); }

// ---------------------------------------------------------------- AddPage

struct AddCase {
  const char* title;
  bool open;
  std::string input;
  bool result;
  std::string textAfter;  // the caller's text after the call
  Names pagesAfter;       // starting from {"p1"}, home "p1"
  Events events;
};

void PrintTo(const AddCase& c, std::ostream* os) { *os << c.title; }

class AddPageTest : public ProjectFixture, public ::testing::WithParamInterface<AddCase> {};

TEST_P(AddPageTest, AddsTrimmedValidNewNamesOnly) {
  const AddCase& c = GetParam();
  OpenWith({"p1"});
  Project().open = c.open;
  std::string text = c.input;

  EXPECT_EQ(Project().AddPage(text), c.result);

  EXPECT_EQ(text, c.textAfter);
  EXPECT_EQ(Project().pageNames, c.pagesAfter);
  EXPECT_EQ(Project().modified, c.result);
  EXPECT_EQ(Project().homePage, "p1");
  EXPECT_EQ(log.events, c.events);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AddPageTest,
    ::testing::Values(
        AddCase{"plain", true, "p2", true, "p2", {"p1", "p2"}, {"added p2 listed"}},
        AddCase{"padded", true, " \t页面2 \r\n", true, "页面2", {"p1", "页面2"}, {"added 页面2 listed"}},
        AddCase{"fullWidthBlanks", true, "\xE3\x80\x80页面3\xE3\x80\x80", true, "页面3",
                {"p1", "页面3"}, {"added 页面3 listed"}},
        AddCase{"dottedName", true, "a.b-c_9", true, "a.b-c_9", {"p1", "a.b-c_9"},
                {"added a.b-c_9 listed"}},
        AddCase{"notOpen", false, " p2 ", false, " p2 ", {"p1"}, {}},
        AddCase{"duplicate", true, " p1 ", false, "p1", {"p1"}, {}},
        AddCase{"otherCase", true, "P1", true, "P1", {"p1", "P1"}, {"added P1 listed"}},
        AddCase{"empty", true, "   ", false, "", {"p1"}, {}},
        AddCase{"doubleDot", true, "a..b", false, "a..b", {"p1"}, {}},
        AddCase{"leadingDot", true, " .a", false, ".a", {"p1"}, {}},
        AddCase{"trailingDot", true, "a.", false, "a.", {"p1"}, {}},
        AddCase{"innerBlank", true, "a b", false, "a b", {"p1"}, {}},
        AddCase{"parent", true, "../x", false, "../x", {"p1"}, {}},
        AddCase{"slash", true, "a/b", false, "a/b", {"p1"}, {}}),
    [](const auto& info) { return std::string(info.param.title); });

TEST_F(ProjectFixture, FirstAddedPageBecomesHomePage) {
  OpenWith({});
  std::string first = "A";
  std::string second = "B";
  ASSERT_TRUE(Project().AddPage(first));
  ASSERT_TRUE(Project().AddPage(second));
  EXPECT_EQ(Project().homePage, "A");
  EXPECT_EQ(log.events, (Events{"added A listed", "added B listed"}));
}

// ------------------------------------------------------------- DeletePage

struct DeleteCase {
  const char* title;
  Names pages;  // the first is home
  std::string name;
  bool result;
  Names pagesAfter;
  std::string homeAfter;
  Events events;
};

void PrintTo(const DeleteCase& c, std::ostream* os) { *os << c.title; }

class DeletePageTest : public ProjectFixture, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(DeletePageTest, RemovesNameMovesHomePageAndNotifies) {
  const DeleteCase& c = GetParam();
  OpenWith(c.pages);
  // Deleting does not depend on an open project.
  Project().open = false;

  EXPECT_EQ(Project().DeletePage(c.name), c.result);

  EXPECT_EQ(Project().pageNames, c.pagesAfter);
  EXPECT_EQ(Project().homePage, c.homeAfter);
  EXPECT_EQ(Project().modified, c.result);
  EXPECT_EQ(log.events, c.events);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DeletePageTest,
    ::testing::Values(
        DeleteCase{"home", {"A", "B", "C"}, "A", true, {"B", "C"}, "B",
                   {"deleting A listed", "deleted A unlisted"}},
        DeleteCase{"middle", {"A", "B", "C"}, "B", true, {"A", "C"}, "A",
                   {"deleting B listed", "deleted B unlisted"}},
        DeleteCase{"last", {"A"}, "A", true, {}, "", {"deleting A listed", "deleted A unlisted"}},
        DeleteCase{"missing", {"A", "B"}, "X", false, {"A", "B"}, "A", {}},
        DeleteCase{"otherCase", {"A", "B"}, "a", false, {"A", "B"}, "A", {}},
        DeleteCase{"padded", {"A", "B"}, " A", false, {"A", "B"}, "A", {}}),
    [](const auto& info) { return std::string(info.param.title); });

// The folder keeps opening whole: the file goes only with a save whose main
// file no longer lists the page.
TEST_F(ProjectFixture, DeleteLeavesThePageFileToTheSave) {
  Touch(temp / "A.ovpg");
  Touch(temp / "B.ovpg");
  OpenWith({"A", "B"}, temp.string() + "/");

  ASSERT_TRUE(Project().DeletePage("A"));

  EXPECT_EQ(log.events, (Events{"deleting A listed file", "deleted A unlisted file"}));
  EXPECT_TRUE(fs::exists(temp / "A.ovpg"));
  EXPECT_TRUE(fs::exists(temp / "B.ovpg"));
}

TEST_F(ProjectFixture, DeleteOfAPageNeverSavedStillSucceeds) {
  OpenWith({"A", "B"}, temp.string());
  EXPECT_TRUE(Project().DeletePage("B"));
  EXPECT_EQ(Project().pageNames, (Names{"A"}));
}

TEST_F(ProjectFixture, DeleteLeavesAFolderOfThePageFileName) {
  fs::create_directory(temp / "A.ovpg");
  OpenWith({"A"}, temp.string());
  EXPECT_TRUE(Project().DeletePage("A"));
  EXPECT_TRUE(fs::is_directory(temp / "A.ovpg"));
  EXPECT_TRUE(Project().pageNames.empty());
}

TEST_F(ProjectFixture, DeleteWithoutDirectoryTouchesNoFile) {
  // A relative page path would resolve against the working folder.
  const fs::path cwd = fs::current_path();
  fs::current_path(temp);
  Touch(temp / "A.ovpg");
  OpenWith({"A"});

  EXPECT_TRUE(Project().DeletePage("A"));

  EXPECT_TRUE(fs::exists(temp / "A.ovpg"));
  fs::current_path(cwd);
}

TEST_F(ProjectFixture, DeleteOfANameThatEscapesTheFolderKeepsOutsideFiles) {
  const fs::path dir = temp / "proj";
  fs::create_directory(dir);
  Touch(temp / "victim.ovpg");
  OpenWith({"../victim", "A"}, dir.string());

  EXPECT_TRUE(Project().DeletePage("../victim"));

  EXPECT_TRUE(fs::exists(temp / "victim.ovpg"));
  EXPECT_EQ(Project().pageNames, (Names{"A"}));
  EXPECT_EQ(Project().homePage, "A");
  EXPECT_EQ(log.events, (Events{"deleting ../victim listed", "deleted ../victim unlisted"}));
}

// ------------------------------------------------------------- RenamePage

struct RenameCase {
  const char* title;
  std::string oldName;
  std::string newName;
  int result;
  std::string message;
  Names pagesAfter;  // starting from {"A", "B"}, home "A"
  std::string homeAfter;
};

void PrintTo(const RenameCase& c, std::ostream* os) { *os << c.title; }

class RenamePageTest : public ProjectFixture, public ::testing::WithParamInterface<RenameCase> {};

TEST_P(RenamePageTest, ResultsMessagesAndList) {
  const RenameCase& c = GetParam();
  OpenWith({"A", "B"});
  Project().open = false;  // renaming does not depend on it

  const int result = Project().RenamePage(c.oldName, c.newName);

  EXPECT_EQ(result, c.result);
  EXPECT_EQ(GetRenamePageMessage(result), c.message);
  EXPECT_EQ(Project().pageNames, c.pagesAfter);
  EXPECT_EQ(Project().homePage, c.homeAfter);
  const bool changed = c.pagesAfter != Names{"A", "B"};
  EXPECT_EQ(Project().modified, changed);
  // The caller announces a rename, not the project.
  EXPECT_TRUE(log.events.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RenamePageTest,
    ::testing::Values(
        RenameCase{"home", "A", " C\t", 0, "OK", {"C", "B"}, "C"},
        RenameCase{"other", "B", "页面9", 0, "OK", {"A", "页面9"}, "A"},
        RenameCase{"toItself", "A", "  A ", 0, "OK", {"A", "B"}, "A"},
        RenameCase{"invalid", "A", "a..b", 1, "无效的新文件名称.", {"A", "B"}, "A"},
        RenameCase{"empty", "A", " ", 1, "无效的新文件名称.", {"A", "B"}, "A"},
        RenameCase{"invalidBeforeMissing", "X", "a/b", 1, "无效的新文件名称.", {"A", "B"}, "A"},
        RenameCase{"missing", "X", "C", 2, "未知错误.", {"A", "B"}, "A"},
        RenameCase{"taken", "A", "B", 3, "新文件名称已经存在.", {"A", "B"}, "A"}),
    [](const auto& info) { return std::string(info.param.title); });

TEST(RenameMessageTest, EveryOtherResultIsUnknown) {
  for (const int result : {2, -1, 4, 99}) EXPECT_EQ(GetRenamePageMessage(result), "未知错误.") << result;
}

// The file keeps its name until a save writes the page and the main file
// under the new one; the page's saved content is found under the old.
TEST_F(ProjectFixture, RenameLeavesThePageFileToTheSave) {
  Touch(temp / "A.ovpg", "page A");
  Touch(temp / "B.ovpg", "page B");
  OpenWith({"A", "B"}, temp.string());

  EXPECT_EQ(Project().RenamePage("A", "C"), 0);

  EXPECT_EQ(Read(temp / "A.ovpg"), "page A");
  EXPECT_FALSE(fs::exists(temp / "C.ovpg"));
  EXPECT_EQ(Read(temp / "B.ovpg"), "page B");
  EXPECT_EQ(Project().pageNames, (Names{"C", "B"}));
  EXPECT_EQ(Project().SavedPageName("C"), "A");
  EXPECT_EQ(Project().SavedPageName("B"), "B");
  EXPECT_TRUE(Project().modified);

  // Renamed back, the page is under its own name again.
  EXPECT_EQ(Project().RenamePage("C", "A"), 0);
  EXPECT_EQ(Project().SavedPageName("A"), "A");
  EXPECT_TRUE(Project().pageSources.empty());
}

// Which file holds a listed page's content as the list changes before a save.
TEST_F(ProjectFixture, TheSavedContentOfEachPageIsFollowedUntilTheSave) {
  Touch(temp / "A.ovpg", "page A");
  Touch(temp / "B.ovpg", "page B");
  OpenWith({"A", "B"}, temp.string());
  Project().savedPageNames = {"A", "B"};

  // A deleted page's file is the project's: another page may take its name.
  ASSERT_TRUE(Project().DeletePage("A"));
  EXPECT_EQ(Project().RenamePage("B", "A"), 0);
  EXPECT_EQ(Project().SavedPageName("A"), "B");
  // A new page of a name whose file is left over starts without content.
  std::string added = "B";
  ASSERT_TRUE(Project().AddPage(added));
  EXPECT_EQ(Project().SavedPageName("B"), "");
  // Renaming a page no save has written leaves it without content.
  EXPECT_EQ(Project().RenamePage("B", "D"), 0);
  EXPECT_EQ(Project().SavedPageName("D"), "");
  // A page written by its editor has its content under its own name.
  Project().PageFileWritten("D");
  EXPECT_EQ(Project().SavedPageName("D"), "D");

  Project().PageListSaved();
  EXPECT_EQ(Project().savedPageNames, (Names{"A", "D"}));
  EXPECT_EQ(Project().SavedPageName("A"), "A");
  EXPECT_TRUE(Project().pageSources.empty());
}

TEST_F(ProjectFixture, RenameToItselfLeavesFileAndFlagsAlone) {
  Touch(temp / "A.ovpg", "page A");
  OpenWith({"A"}, temp.string());
  EXPECT_EQ(Project().RenamePage("A", " A "), 0);
  EXPECT_EQ(Read(temp / "A.ovpg"), "page A");
  EXPECT_FALSE(Project().modified);
}

TEST_F(ProjectFixture, RenameOfAPageNeverSavedSucceeds) {
  OpenWith({"A"}, (temp / "not-yet-created").string());
  EXPECT_EQ(Project().RenamePage("A", "C"), 0);
  EXPECT_EQ(Project().pageNames, (Names{"C"}));
  EXPECT_EQ(Project().homePage, "C");
}

TEST_F(ProjectFixture, RenameOntoAStrayFileIsRefused) {
  Touch(temp / "A.ovpg", "page A");
  Touch(temp / "C.ovpg", "stray");
  OpenWith({"A"}, temp.string());

  const int result = Project().RenamePage("A", "C");

  EXPECT_EQ(result, 3);
  EXPECT_EQ(GetRenamePageMessage(result), "新文件名称已经存在.");
  EXPECT_EQ(Read(temp / "A.ovpg"), "page A");
  EXPECT_EQ(Read(temp / "C.ovpg"), "stray");
  EXPECT_EQ(Project().pageNames, (Names{"A"}));
  EXPECT_FALSE(Project().modified);
}

TEST_F(ProjectFixture, RenameToANameNoFileCanHaveKeepsTheOldName) {
  Touch(temp / "A.ovpg", "page A");
  OpenWith({"A"}, temp.string());
  // Valid as a name, too long for a file name: no save could write it.
  const std::string tooLong(300, 'n');

  const int result = Project().RenamePage("A", tooLong);

  EXPECT_EQ(result, 2);
  EXPECT_EQ(Read(temp / "A.ovpg"), "page A");
  EXPECT_EQ(Project().pageNames, (Names{"A"}));
  EXPECT_EQ(Project().homePage, "A");
  EXPECT_FALSE(Project().modified);
}

TEST_F(ProjectFixture, RenameOfANameThatEscapesTheFolderMovesNoFile) {
  const fs::path dir = temp / "proj";
  fs::create_directory(dir);
  Touch(temp / "victim.ovpg", "outside");
  OpenWith({"../victim"}, dir.string());

  EXPECT_EQ(Project().RenamePage("../victim", "C"), 0);

  EXPECT_EQ(Read(temp / "victim.ovpg"), "outside");
  EXPECT_FALSE(fs::exists(dir / "C.ovpg"));
  EXPECT_EQ(Project().pageNames, (Names{"C"}));
  EXPECT_EQ(Project().homePage, "C");
}

TEST_F(ProjectFixture, RenameWithoutDirectoryTouchesNoFile) {
  const fs::path cwd = fs::current_path();
  fs::current_path(temp);
  Touch(temp / "A.ovpg", "page A");
  OpenWith({"A"});

  EXPECT_EQ(Project().RenamePage("A", "C"), 0);

  EXPECT_TRUE(fs::exists(temp / "A.ovpg"));
  EXPECT_FALSE(fs::exists(temp / "C.ovpg"));
  fs::current_path(cwd);
}

// -------------------------------------------------------- MakeNewPageName

TEST_F(ProjectFixture, NewPageNameIsTheFirstFreeNumber) {
  struct Case {
    Names pages;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {{}, "页面1"},
      {{"页面1", "页面3"}, "页面2"},
      {{"页面2", "页面1"}, "页面3"},
      {{"页面01", "页面 1", "页面1 "}, "页面1"},
      {{"A"}, "页面1"},
  };
  for (const Case& c : cases) {
    OpenWith(c.pages);
    EXPECT_EQ(Project().MakeNewPageName(), c.expected) << testing::PrintToString(c.pages);
  }
}

TEST_F(ProjectFixture, NewPageNameRunsOutAfter65534) {
  Names pages;
  for (unsigned u = 1; u <= 65533; ++u) pages.push_back(PageName(u));
  OpenWith(pages);
  EXPECT_EQ(Project().MakeNewPageName(), "页面65534");

  Project().pageNames.push_back(PageName(65534));
  EXPECT_EQ(Project().MakeNewPageName(), "--异常页面名称--");
}

// ----------------------------------------------------------- ActivatePage

TEST_F(ProjectFixture, ActivateOnlyAListedPageOfAnOpenProject) {
  OpenWith({"A", "B"});
  Project().ActivatePage("B");
  Project().ActivatePage("C");
  Project().ActivatePage("b");
  Project().open = false;
  Project().ActivatePage("A");
  EXPECT_EQ(log.events, (Events{"activate B listed"}));
  EXPECT_FALSE(Project().modified);
}

// ----------------------------------------------------------- open pages

TEST_F(ProjectFixture, CloseOpenPageDropsTheFirstEntryOfThatPage) {
  auto p1 = std::make_shared<QlEPage>("A");
  auto p2 = std::make_shared<QlEPage>("B");
  auto twin = std::make_shared<QlEPage>("A");  // same name, other object
  Project().openPages = {p1, p2, p1};

  Project().CloseOpenPage(nullptr);
  Project().CloseOpenPage(twin);
  EXPECT_EQ(Project().openPages, (std::vector<std::shared_ptr<QlEPage>>{p1, p2, p1}));

  Project().CloseOpenPage(p1);
  EXPECT_EQ(Project().openPages, (std::vector<std::shared_ptr<QlEPage>>{p2, p1}));
  Project().CloseOpenPage(p1);
  Project().CloseOpenPage(p2);
  EXPECT_TRUE(Project().openPages.empty());
}

TEST_F(ProjectFixture, PageListChangesLeaveOpenPagesAlone) {
  OpenWith({"A", "B"}, temp.string());
  auto page = std::make_shared<QlEPage>("A");
  page->modified = true;
  Project().openPages = {page};

  std::string added = "C";
  ASSERT_TRUE(Project().AddPage(added));
  ASSERT_EQ(Project().RenamePage("A", "D"), 0);
  ASSERT_TRUE(Project().DeletePage("D"));

  ASSERT_EQ(Project().openPages.size(), 1u);
  EXPECT_EQ(Project().openPages[0], page);
  EXPECT_EQ(page->name, "A");
  EXPECT_TRUE(page->modified);
}

TEST_F(ProjectFixture, NewPageTakesTheProjectSizeOfItsMoment) {
  auto before = std::make_shared<QlEPage>("A");
  Project().width = 800.0f;
  Project().height = 600.0f;
  auto after = std::make_shared<QlEPage>("页面1");
  Project().width = 1024.0f;

  EXPECT_EQ(before->rect, (NsDx2d::D2D_RECT_F{0.0f, 0.0f, 640.0f, 480.0f}));
  EXPECT_EQ(after->rect, (NsDx2d::D2D_RECT_F{0.0f, 0.0f, 800.0f, 600.0f}));
  EXPECT_EQ(after->name, "页面1");
  EXPECT_FALSE(after->modified);
  EXPECT_EQ(after->backgroundColour, 0xF8F8F8);
  EXPECT_EQ(after->accessPermission, 0);
  ASSERT_NE(after->elements, nullptr);
  EXPECT_TRUE(after->elements->elems.empty());
  EXPECT_NE(after->elements, before->elements);
}

// ---------------------------------------------------- directory and reset

TEST_F(ProjectFixture, SetDirectoryTrimsAndDropsOneTrailingSeparator) {
  struct Case {
    std::string input;
    std::string stored;
  };
  const std::vector<Case> cases = {
      {"/a/b", "/a/b"},         {" /a/b/ \t", "/a/b"}, {"/a/b//", "/a/b/"},
      {"C:\\p\\", "C:\\p"},     {"C:\\p\\\\", "C:\\p\\"}, {"/a/b\\", "/a/b"},
      {"   ", ""},              {"", ""},
  };
  for (const Case& c : cases) {
    Project().SetDirectory(c.input);
    EXPECT_EQ(Project().directory, c.stored) << c.input;
  }
}

TEST_F(ProjectFixture, ResetForgetsTheProjectButNotItsOpenPagesOrSize) {
  OpenWith({"A", "B"}, "/old");
  QlEProject& p = Project();
  p.modified = true;
  p.name = "demo";
  p.serverAddress = 0x0100A8C0;
  p.width = 800.0f;
  p.events.resize(2);
  auto page = std::make_shared<QlEPage>("A");
  p.openPages = {page};

  p.Reset(" /new/ ");

  EXPECT_TRUE(p.pageNames.empty());
  EXPECT_TRUE(p.homePage.empty());
  EXPECT_FALSE(p.open);
  EXPECT_FALSE(p.modified);
  EXPECT_TRUE(p.name.empty());
  EXPECT_EQ(p.directory, "/new");
  EXPECT_EQ(p.serverAddress, 0u);
  EXPECT_TRUE(p.events.empty());
  EXPECT_EQ(p.openPages, (std::vector<std::shared_ptr<QlEPage>>{page}));
  EXPECT_EQ(p.width, 800.0f);
}

// ------------------------------------------------------------------ paths

TEST(ProjectPathsTest, EveryProjectFileLiesInTheDirectory) {
  EXPECT_EQ(ProjectFileExtension, ".ql");
  EXPECT_EQ(PageFileExtension, ".ovpg");

  struct Case {
    const char* what;
    std::string path;
    std::string expected;
  };
  const std::string d = "/home/u/工程";
  const std::vector<Case> cases = {
      {"main", GetMainFilePath(d), d + "/main_.ql"},
      {"page", GetPageFilePath(d, "页面1"), d + "/页面1.ovpg"},
      {"dottedPage", GetPageFilePath(d, "a.b"), d + "/a.b.ovpg"},
      {"channels", GetChannelsFilePath(d), d + "/com_chns"},
      {"blocks", GetDataBlocksFilePath(d), d + "/acq_db"},
      {"alarms", GetAlarmConfigFilePath(d), d + "/alarm_config"},
      {"users", GetUsersConfigFilePath(d), d + "/users_config"},
      {"events", GetEventsFilePath(d), d + "/events"},
      {"picture", GetProjectPicturePath(d, "/pics/a.png"), d + "/images/a.png"},
      {"windowsPicture", GetProjectPicturePath(d, "C:\\pics\\logo 1.png"), d + "/images/logo 1.png"},
      {"barePicture", GetProjectPicturePath(d, "b.png"), d + "/images/b.png"},
      // Without a directory only the picture path is built.
      {"mainNoDir", GetMainFilePath(""), ""},
      {"pageNoDir", GetPageFilePath("", "页面1"), ""},
      {"channelsNoDir", GetChannelsFilePath(""), ""},
      {"blocksNoDir", GetDataBlocksFilePath(""), ""},
      {"alarmsNoDir", GetAlarmConfigFilePath(""), ""},
      {"usersNoDir", GetUsersConfigFilePath(""), ""},
      {"eventsNoDir", GetEventsFilePath(""), ""},
      {"pictureNoDir", GetProjectPicturePath("", "/pics/a.png"), "/images/a.png"},
      // Names a hand-edited main file may hold have no file.
      {"parentPage", GetPageFilePath(d, "../x"), ""},
      {"absolutePage", GetPageFilePath(d, "/etc/x"), ""},
      {"emptyPage", GetPageFilePath(d, ""), ""},
      {"blankPage", GetPageFilePath(d, " A"), ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.path, c.expected) << c.what;
}

}  // namespace
}  // namespace NsOvrin::Testing
