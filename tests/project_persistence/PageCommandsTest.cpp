#include "project_persistence/PageCommands.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <deque>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "QlUiElem/QlUiEdit.h"
#include "QlUiElem/QlUiElemDef.h"
#include "QlUiElem/QlUiText.h"
#include "editor/QlEHostEdit.h"
#include "editor/QlEHostElem.h"
#include "editor/QlEHostText.h"
#include "editor/QlEPage.h"
#include "element_io/QlEditIo.h"
#include "element_io/QlStringIo.h"
#include "element_io/QlTextIo.h"
#include "project/PageListener.h"
#include "project/QlEProject.h"
#include "project_persistence/TempFolder.h"
#include "termination/NodeDbFixture.h"
#include "ui_services/MessageBoxService.h"
#include "ui_services/NewPageDialog.h"

namespace NsOvrin {
namespace {

using NsDx2d::D2D_RECT_F;
using NsQlElemEditor::QlEHostEdit;
using NsQlElemEditor::QlEHostElem;
using NsQlElemEditor::QlEHostText;
using NsQlElemIo::QlEditIo;
using NsQlElemIo::QlTextIo;
using NsQlUiElem::QlPageData;
using NsQlUiElem::QlUiEdit;
using NsQlUiElem::QlUiText;
using NsUiD2ElemEditor::TUiHost;
using NsUiD2ElemEditor::UiElem;
using Testing::ReadFileText;
using Testing::TempFolder;
using Testing::TestDataPath;
using Testing::WriteFileText;

using Corners = std::array<float, 4>;

Corners CornersOf(const D2D_RECT_F& r) { return {r.left, r.top, r.right, r.bottom}; }

struct ShownBox {
  ParentWindow* owner;
  std::string text;
  std::string caption;
  MessageIcon icon;
  bool operator==(const ShownBox&) const = default;
};

std::ostream& operator<<(std::ostream& out, const ShownBox& box) {
  return out << "{" << box.owner << ", \"" << box.text << "\", \"" << box.caption << "\", "
             << static_cast<int>(box.icon) << "}";
}

class RecordingMessageBoxes : public MessageBoxService {
 public:
  void Show(ParentWindow* owner, const std::string& text, const std::string& caption,
            MessageIcon icon) override {
    shown.push_back({owner, text, caption, icon});
  }

  std::vector<ShownBox> shown;
};

// Plays the user's part in the new-page dialog: each step presses OK,
// after typing a text or keeping what the edit holds, or presses Cancel.
// OK runs the dialog's own check; a refusal shows its message and the
// dialog stays open for the next step. Running out of steps closes it.
class ScriptedNewPageDialog : public NewPageDialog {
 public:
  struct Step {
    bool ok = true;
    std::optional<std::string> typed;
  };

  bool Run(ParentWindow* parent, std::string& name) override {
    proposals.push_back(name);
    parents.push_back(parent);
    std::string edit = name;
    while (!script.empty()) {
      const Step step = script.front();
      script.pop_front();
      if (!step.ok) return false;
      if (step.typed) edit = *step.typed;
      std::string message;
      if (CheckName(edit, message)) {
        name = edit;
        return true;
      }
      ShowMessageBox(parent, message, "提示", MessageIcon::Error);
    }
    return false;
  }

  std::deque<Step> script;
  std::vector<std::string> proposals;
  std::vector<ParentWindow*> parents;
};

class PageAddedLog : public PageListener {
 public:
  void OnPageAdded(const std::string& name) override { added.push_back(name); }
  void OnActivatePage(const std::string&) override {}
  void OnPageDeleting(const std::string&) override {}
  void OnPageDeleted(const std::string&) override {}
  void OnPageRenamed(const std::string&, const std::string&) override {}
  void OnPageChanged(const std::string&, const PageProperties&) override {}

  std::vector<std::string> added;
};

// The process-wide project and node database emptied around each test,
// the two widget services replaced by doubles, a project folder in a
// temporary folder and the device "PLC1" with holding registers 4x0-4x99.
class PageCommandsTest : public NsTermination::Testing::NodeDbFixture {
 protected:
  void SetUp() override {
    NodeDbFixture::SetUp();
    ResetProject();
    PageListener::GetRegistry().clear();
    PageListener::Register(&pageLog);
    MessageBoxService::Install(&boxes);
    NewPageDialog::Install(&dialog);
    const auto node = AddTcpNode(AddEthernet("E0"), "PLC1");
    ASSERT_NE(node, nullptr);
    AddBlock(*node, "4x[0~99]", "words");
  }

  void TearDown() override {
    NewPageDialog::Install(nullptr);
    MessageBoxService::Install(nullptr);
    PageListener::GetRegistry().clear();
    ResetProject();
    NodeDbFixture::TearDown();
  }

  static void ResetProject() {
    QlEProject& project = QlEProject::Instance();
    project.Reset("");
    project.openPages.clear();
    project.width = 640.0f;
    project.height = 480.0f;
  }

  // An open, unmodified project in the temporary folder with these pages.
  void OpenProject(const std::vector<std::string>& pages) {
    QlEProject& project = QlEProject::Instance();
    project.Reset(folder.Path());
    project.pageNames = pages;
    project.homePage = pages.empty() ? std::string() : pages.front();
    project.open = true;
  }

  void CopyFixture(const std::string& fixture, const std::string& pageName) {
    WriteFileText(folder / (pageName + ".ovpg"),
                  ReadFileText(TestDataPath("page_commands/" + fixture)));
  }

  // Opens the fixture page "页面1" for editing; fails the test otherwise.
  std::shared_ptr<QlEPage> OpenFixturePage() {
    OpenProject({"页面1"});
    CopyFixture("页面1.ovpg", "页面1");
    std::shared_ptr<QlEPage> page;
    EXPECT_TRUE(LoadPageForEdit(Owner(), "页面1", page));
    return page;
  }

  ParentWindow* Owner() { return reinterpret_cast<ParentWindow*>(&ownerToken); }

  static std::shared_ptr<QlEHostElem> HostOf(const std::shared_ptr<UiElem>& elem) {
    return elem ? std::dynamic_pointer_cast<QlEHostElem>(elem->host) : nullptr;
  }

  TempFolder folder;
  RecordingMessageBoxes boxes;
  ScriptedNewPageDialog dialog;
  PageAddedLog pageLog;
  int ownerToken = 0;
};

// Opening for editing.

TEST_F(PageCommandsTest, OpenMakesHostsInFileOrderShiftedIntoTheCanvasAndChecked) {
  const std::shared_ptr<QlEPage> page = OpenFixturePage();
  ASSERT_NE(page, nullptr);
  EXPECT_TRUE(boxes.shown.empty());

  EXPECT_EQ(page->name, "页面1");
  EXPECT_FALSE(page->modified);
  // The page's own rectangle is never shifted.
  EXPECT_EQ(CornersOf(page->rect), (Corners{0.0f, 0.0f, 640.0f, 480.0f}));
  EXPECT_EQ(page->backgroundColour, 0xFFFFFF);
  EXPECT_EQ(page->accessPermission, 1);
  // Listing the page among the open pages is the page view's part.
  EXPECT_TRUE(QlEProject::Instance().openPages.empty());

  struct Expected {
    int type;
    Corners editorRect;
  };
  const std::vector<Expected> expected = {
      {NsQlUiElem::kElemText, {30.0f, 30.0f, 130.0f, 60.0f}},
      {NsQlUiElem::kElemNumber, {30.5f, 70.0f, 110.25f, 97.0f}},
      {NsQlUiElem::kElemNumber, {220.0f, 70.0f, 310.0f, 97.0f}},
      {NsQlUiElem::kElemString, {140.0f, 120.0f, 320.0f, 147.0f}},
  };
  ASSERT_NE(page->elements, nullptr);
  ASSERT_EQ(page->elements->elems.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i);
    const std::shared_ptr<UiElem>& elem = page->elements->elems[i];
    const auto host = HostOf(elem);
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(elem->handle, UiElem::kNoHandle);
    EXPECT_FALSE(elem->anchored);
    EXPECT_EQ(host->GetType(), expected[i].type);
    EXPECT_EQ(CornersOf(host->GetRect()), expected[i].editorRect);
    ASSERT_NE(host->GetUi(), nullptr);
    EXPECT_EQ(CornersOf(host->GetUi()->GetRect()), expected[i].editorRect);
    EXPECT_NE(host->GetIo(), nullptr);
  }

  // Bound against the node database, and marked where that failed.
  const auto& elems = page->elements->elems;
  const auto goodIo = std::dynamic_pointer_cast<QlEditIo>(HostOf(elems[1])->GetIo());
  ASSERT_NE(goodIo, nullptr);
  EXPECT_NE(goodIo->GetReadTask(), nullptr);
  EXPECT_FALSE(HostOf(elems[0])->GetUi()->inError);
  EXPECT_FALSE(HostOf(elems[1])->GetUi()->inError);
  EXPECT_TRUE(HostOf(elems[2])->GetUi()->inError);
  EXPECT_EQ(HostOf(elems[2])->GetUi()->errorText, "读写地址节点不存在.");
  EXPECT_FALSE(HostOf(elems[3])->GetUi()->inError);

  // A second open of the same page shares nothing with the first.
  std::shared_ptr<QlEPage> again;
  ASSERT_TRUE(LoadPageForEdit(Owner(), "页面1", again));
  ASSERT_NE(again, page);
  ASSERT_EQ(again->elements->elems.size(), elems.size());
  EXPECT_NE(HostOf(again->elements->elems[0])->GetUi(), HostOf(elems[0])->GetUi());
}

TEST_F(PageCommandsTest, EntriesWithoutAnEditorElementAreDroppedWithoutAMessage) {
  OpenProject({"页面1"});
  WriteFileText(folder / "页面1.ovpg",
                R"({"elements":[)"
                R"({"type":"Chart","rect":{"left":1.0,"top":1.0,"right":2.0,"bottom":2.0}},)"
                R"({"type":"None"},{"type":3},{"type":"Unknown"},)"
                R"({"type":"Number","rect":{"left":5.0,"top":6.0,"right":7.0,"bottom":8.0}},)"
                R"({"rect":{"left":1.0,"top":1.0,"right":2.0,"bottom":2.0}},)"
                R"({"type":"Text","rect":{"left":0.0,"top":0.0,"right":60.0,"bottom":26.0}}]})");
  std::shared_ptr<QlEPage> page;
  ASSERT_TRUE(LoadPageForEdit(Owner(), "页面1", page));
  EXPECT_TRUE(boxes.shown.empty());
  ASSERT_EQ(page->elements->elems.size(), 2u);
  EXPECT_EQ(HostOf(page->elements->elems[0])->GetType(), NsQlUiElem::kElemNumber);
  EXPECT_EQ(CornersOf(HostOf(page->elements->elems[0])->GetRect()),
            (Corners{25.0f, 26.0f, 27.0f, 28.0f}));
  EXPECT_EQ(HostOf(page->elements->elems[1])->GetType(), NsQlUiElem::kElemText);
  // A file without the page keys gives the page file's defaults.
  EXPECT_EQ(CornersOf(page->rect), (Corners{0.0f, 0.0f, 0.0f, 0.0f}));
  EXPECT_EQ(page->backgroundColour, 0xF0F0F0);
  // No binding reaches the node database: the number box has no address.
  EXPECT_TRUE(HostOf(page->elements->elems[0])->GetUi()->inError);
}

TEST_F(PageCommandsTest, EveryFailedOpenShowsItsMessageOverTheParentAndKeepsThePointer) {
  struct Case {
    const char* what;
    bool projectOpen;
    std::string pageName;
    std::optional<std::string> fileText;  // none: no file
    const char* message;
  };
  const std::vector<Case> cases = {
      {"no project", false, "页面1", std::string(R"({"elements":[]})"),
       "导入失败: 工程处于无效状态."},
      {"missing file", true, "页面1", std::nullopt, "页面导入失败."},
      {"not JSON", true, "页面1", std::string("{\"rect\":"), "页面导入失败."},
      {"not an object", true, "页面1", std::string("[1,2]"), "页面导入失败."},
      {"empty file", true, "页面1", std::string(""), "页面导入失败."},
      {"name leading out of the folder", true, "../页面1", std::string(R"({"elements":[]})"),
       "页面导入失败."},
      // A damaged main file lists names that no file can have: nothing edited
      // there could ever be saved.
      {"listed without a name", true, "", std::nullopt, "页面导入失败."},
      {"listed under a name no file can have", true, "页 面", std::nullopt, "页面导入失败."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ResetProject();
    boxes.shown.clear();
    std::remove((folder / "页面1.ovpg").c_str());
    if (c.projectOpen) OpenProject({"页面1", "", "页 面"});
    if (c.fileText) WriteFileText(folder / "页面1.ovpg", *c.fileText);

    const auto kept = std::make_shared<QlEPage>("kept");
    std::shared_ptr<QlEPage> page = kept;
    EXPECT_FALSE(LoadPageForEdit(Owner(), c.pageName, page));
    EXPECT_EQ(page, kept);
    EXPECT_EQ(boxes.shown,
              (std::vector<ShownBox>{{Owner(), c.message, "提示", MessageIcon::Error}}));
  }
}

// Saving.

TEST_F(PageCommandsTest, AnOpenedPageSavesBackByteForByteAndIsNoLongerModified) {
  const std::shared_ptr<QlEPage> page = OpenFixturePage();
  ASSERT_NE(page, nullptr);
  page->modified = true;
  std::remove((folder / "页面1.ovpg").c_str());

  ASSERT_TRUE(SaveEPage(page));
  EXPECT_FALSE(page->modified);
  EXPECT_EQ(ReadFileText(folder / "页面1.ovpg"),
            ReadFileText(TestDataPath("page_commands/页面1.ovpg")));
  // The shift belongs to the file: the editor keeps its coordinates.
  EXPECT_EQ(CornersOf(HostOf(page->elements->elems[0])->GetRect()),
            (Corners{30.0f, 30.0f, 130.0f, 60.0f}));
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(PageCommandsTest, EditsAreSavedInPageCoordinates) {
  const std::shared_ptr<QlEPage> page = OpenFixturePage();
  ASSERT_NE(page, nullptr);
  page->elements->elems[0]->MoveBy(5.0f, 5.0f);
  page->backgroundColour = 0xF8F8F8;
  page->modified = true;

  ASSERT_TRUE(SaveEPage(page));
  EXPECT_EQ(ReadFileText(folder / "页面1.ovpg"),
            ReadFileText(TestDataPath("page_commands/moved/页面1.ovpg")));
}

TEST_F(PageCommandsTest, ANewPageWithoutElementsSavesAnEmptyElementList) {
  OpenProject({"页面1"});
  QlEProject::Instance().width = 800.0f;
  QlEProject::Instance().height = 600.0f;
  const auto page = std::make_shared<QlEPage>("页面1");
  page->modified = true;

  ASSERT_TRUE(SaveEPage(page));
  EXPECT_FALSE(page->modified);
  EXPECT_EQ(ReadFileText(folder / "页面1.ovpg"),
            R"({"rect":{"left":0.0,"top":0.0,"right":800.0,"bottom":600.0},)"
            R"("bk-color":16316664,"access-permission":0,"elements":[]})");
}

TEST_F(PageCommandsTest, AFailedSaveReportsOnlyThroughItsResultAndKeepsThePageModified) {
  const auto page = std::make_shared<QlEPage>("页面1");
  page->modified = true;

  EXPECT_FALSE(SaveEPage(nullptr));

  // No project open, though the folder is known.
  QlEProject::Instance().Reset(folder.Path());
  EXPECT_FALSE(SaveEPage(page));
  EXPECT_TRUE(page->modified);
  EXPECT_FALSE(Testing::Exists(folder / "页面1.ovpg"));

  // The project folder is gone.
  OpenProject({"页面1"});
  QlEProject::Instance().Reset(folder / "gone");
  QlEProject::Instance().open = true;
  EXPECT_FALSE(SaveEPage(page));
  EXPECT_TRUE(page->modified);

  // A page whose name is no file name of the folder.
  OpenProject({"页面1"});
  const auto stray = std::make_shared<QlEPage>("../页面1");
  stray->modified = true;
  EXPECT_FALSE(SaveEPage(stray));
  EXPECT_TRUE(stray->modified);

  EXPECT_TRUE(boxes.shown.empty());
}

// A host the page record cannot take: not one of the element hosts.
class BareHost : public TUiHost {
 public:
  D2D_RECT_F GetRect() const override { return {}; }
  void SetRect(const D2D_RECT_F&) override {}
  void Draw(const NsDx2d::D2ResInfo&) override {}
  void DrawOverlay(const NsDx2d::D2ResInfo&) override {}
  int GetType() const override { return NsQlUiElem::kElemText; }
  bool Refresh() override { return false; }
  std::shared_ptr<TUiHost> Clone() const override { return std::make_shared<BareHost>(); }
};

TEST_F(PageCommandsTest, PageDataSharesTheHostsRecordsAndLeavesOutWhatHasNone) {
  EXPECT_EQ(MakePageData(nullptr), nullptr);

  const auto page = std::make_shared<QlEPage>("页面7");
  page->rect = {1.0f, 2.0f, 3.0f, 4.0f};
  page->backgroundColour = 0x123456;
  page->accessPermission = 3;
  auto text = std::make_shared<QlUiText>();
  auto box = std::make_shared<QlUiEdit>();
  auto boxIo = std::make_shared<QlEditIo>();
  auto& elems = page->elements->elems;
  elems.push_back(nullptr);
  elems.push_back(std::make_shared<UiElem>());
  elems.push_back(std::make_shared<UiElem>(std::make_shared<BareHost>()));
  elems.push_back(std::make_shared<UiElem>(std::make_shared<QlEHostText>(nullptr, nullptr)));
  elems.push_back(std::make_shared<UiElem>(std::make_shared<QlEHostText>(text, nullptr)));
  elems.push_back(std::make_shared<UiElem>(std::make_shared<QlEHostEdit>(box, boxIo)));

  const std::shared_ptr<QlPageData> data = MakePageData(page);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->name, "页面7");
  EXPECT_EQ(CornersOf(data->rect), (Corners{1.0f, 2.0f, 3.0f, 4.0f}));
  EXPECT_EQ(data->backgroundColour, 0x123456u);
  EXPECT_EQ(data->accessPermission, 3);
  ASSERT_EQ(data->elements.size(), 2u);
  EXPECT_EQ(data->elements[0].type, NsQlUiElem::kElemText);
  EXPECT_EQ(data->elements[0].ui, text);
  EXPECT_EQ(data->elements[0].io, nullptr);
  EXPECT_EQ(data->elements[1].type, NsQlUiElem::kElemNumber);
  EXPECT_EQ(data->elements[1].ui, box);
  EXPECT_EQ(data->elements[1].io, boxIo);

  // A page that lost its container still has its properties.
  page->elements.reset();
  const std::shared_ptr<QlPageData> bare = MakePageData(page);
  ASSERT_NE(bare, nullptr);
  EXPECT_EQ(bare->name, "页面7");
  EXPECT_TRUE(bare->elements.empty());
}

// The new-page command.

TEST_F(PageCommandsTest, AnAcceptedProposalIsAddedAnnouncedAndNotYetWritten) {
  OpenProject({"页面1", "页面2"});
  dialog.script = {{}};

  DoNewPage(Owner());

  EXPECT_EQ(dialog.proposals, std::vector<std::string>{"页面3"});
  EXPECT_EQ(dialog.parents, std::vector<ParentWindow*>{Owner()});
  const QlEProject& project = QlEProject::Instance();
  EXPECT_EQ(project.pageNames, (std::vector<std::string>{"页面1", "页面2", "页面3"}));
  EXPECT_TRUE(project.modified);
  EXPECT_EQ(pageLog.added, std::vector<std::string>{"页面3"});
  EXPECT_FALSE(Testing::Exists(folder / "页面3.ovpg"));
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(PageCommandsTest, RefusedNamesKeepTheDialogOpenUntilOneIsAcceptedOrItIsCancelled) {
  OpenProject({"页面1"});
  dialog.script = {{true, "a/b"}, {true, " 页面1\t"}, {true, "  新页面 "}};

  DoNewPage(Owner());

  EXPECT_EQ(boxes.shown, (std::vector<ShownBox>{
                             {Owner(), "无效的页面名称!", "提示", MessageIcon::Error},
                             {Owner(), "页面名称已经存在!", "提示", MessageIcon::Error},
                         }));
  EXPECT_EQ(QlEProject::Instance().pageNames, (std::vector<std::string>{"页面1", "新页面"}));
  EXPECT_EQ(pageLog.added, std::vector<std::string>{"新页面"});

  // Cancel after a refusal adds nothing.
  boxes.shown.clear();
  QlEProject::Instance().modified = false;
  dialog.script = {{true, "a*b"}, {false, std::nullopt}};
  DoNewPage(Owner());
  EXPECT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(QlEProject::Instance().pageNames, (std::vector<std::string>{"页面1", "新页面"}));
  EXPECT_FALSE(QlEProject::Instance().modified);
  EXPECT_EQ(pageLog.added.size(), 1u);
}

TEST_F(PageCommandsTest, ANameTheDialogTakesButThePageListRefusesAddsNothingSilently) {
  for (const char* typed : {"a..b", ".页面", "页面.", "a b", "页面#1"}) {
    SCOPED_TRACE(typed);
    OpenProject({"页面1"});
    dialog.script = {{true, typed}};
    DoNewPage(Owner());
    EXPECT_TRUE(dialog.script.empty()) << "the dialog took the name";
    EXPECT_EQ(QlEProject::Instance().pageNames, std::vector<std::string>{"页面1"});
    EXPECT_FALSE(QlEProject::Instance().modified);
  }
  EXPECT_TRUE(pageLog.added.empty());
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(PageCommandsTest, WithoutAProjectOrADialogTheCommandDoesNothing) {
  dialog.script = {{}};
  DoNewPage(Owner());
  EXPECT_TRUE(dialog.proposals.empty());
  EXPECT_TRUE(QlEProject::Instance().pageNames.empty());

  OpenProject({});
  NewPageDialog::Install(nullptr);
  DoNewPage(Owner());
  EXPECT_TRUE(QlEProject::Instance().pageNames.empty());
  EXPECT_TRUE(pageLog.added.empty());
  EXPECT_TRUE(boxes.shown.empty());
}

// The dialog's check of the entered name.

class NewPageNameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QlEProject& project = QlEProject::Instance();
    project.Reset("");
    project.pageNames = {"页面1", "page"};
    project.open = true;
  }
  void TearDown() override { QlEProject::Instance().Reset(""); }
};

TEST_F(NewPageNameTest, TrimsThenRefusesNamesNoFileMayHaveAndNamesInTheList) {
  const std::string longest(255 - 5, 'a');  // with ".ovpg", the longest file name
  struct Case {
    std::string typed;
    std::string trimmed;
    const char* message;  // null: accepted
  };
  const std::vector<Case> cases = {
      {" 页面2 ", "页面2", nullptr},
      {"\xE3\x80\x80页面2\t\r\n", "页面2", nullptr},
      {"Page", "Page", nullptr},  // the list compares exactly
      {"a..b", "a..b", nullptr},  // the page list's own rule refuses it later
      // An empty name would close the dialog and then add nothing.
      {"", "", "无效的页面名称!"},
      {" \xE3\x80\x80", "", "无效的页面名称!"},
      {longest, longest, nullptr},
      {longest + "a", longest + "a", "无效的页面名称!"},
      {"a/b", "a/b", "无效的页面名称!"},
      {"a\\b", "a\\b", "无效的页面名称!"},
      {"a:b", "a:b", "无效的页面名称!"},
      {"a*b", "a*b", "无效的页面名称!"},
      {"a?b", "a?b", "无效的页面名称!"},
      {"a\"b", "a\"b", "无效的页面名称!"},
      {"a<b", "a<b", "无效的页面名称!"},
      {"a>b", "a>b", "无效的页面名称!"},
      {"a|b", "a|b", "无效的页面名称!"},
      {"a\tb", "a\tb", "无效的页面名称!"},
      {std::string("a\0b", 3), std::string("a\0b", 3), "无效的页面名称!"},
      {" 页面1 ", "页面1", "页面名称已经存在!"},
      {"page", "page", "页面名称已经存在!"},
      // Both wrong: the file-name check comes first.
      {"页面1/", "页面1/", "无效的页面名称!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    std::string name = c.typed;
    std::string message = "untouched";
    const bool accepted = NewPageDialog::CheckName(name, message);
    EXPECT_EQ(name, c.trimmed);
    if (c.message == nullptr) {
      EXPECT_TRUE(accepted);
      EXPECT_EQ(message, "untouched");
    } else {
      EXPECT_FALSE(accepted);
      EXPECT_EQ(message, c.message);
    }
  }
}

TEST_F(NewPageNameTest, APageFilePathTooLongForTheSystemIsRefused) {
  // "/<directory>/<name>.ovpg" and its terminating NUL must fit in 4096 bytes.
  const std::string name(200, 'p');
  const auto directoryFor = [&](std::size_t pathLength) {
    return "/" + std::string(pathLength - 1 - 1 - name.size() - 5, 'd');
  };
  std::string message;
  QlEProject::Instance().SetDirectory(directoryFor(4095));
  std::string fits = name;
  EXPECT_TRUE(NewPageDialog::CheckName(fits, message));

  QlEProject::Instance().SetDirectory(directoryFor(4096));
  std::string tooLong = name;
  EXPECT_FALSE(NewPageDialog::CheckName(tooLong, message));
  EXPECT_EQ(message, "无效的页面名称!");
}

}  // namespace
}  // namespace NsOvrin
