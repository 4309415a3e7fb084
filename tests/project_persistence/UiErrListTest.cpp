// The whole-project error check: the report lines of the four sections for a
// project with faults in open pages, page files, events and alarm groups,
// and what a double click on each line opens.
#include "project_persistence/UiErrList.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <memory>
#include <string>
#include <vector>

#include "ProjectFilesFixture.h"
#include "ScriptedProjectUi.h"
#include "QlUiElem/QlUiElemDef.h"
#include "editor/QlEHostFactory.h"
#include "platform/Format.h"
#include "events/QlBitVarEvent.h"
#include "project/PageListener.h"
#include "editor/QlEPage.h"
#include "project/QlEProject.h"
#include "project/UsersFile.h"
#include "project_persistence/PageCommands.h"
#include "project_persistence/ProjectLoadSave.h"

namespace NsOvrin::Testing {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class ActivationLog : public PageListener {
 public:
  void OnPageAdded(const std::string&) override {}
  void OnActivatePage(const std::string& name) override { activated.push_back(name); }
  void OnPageDeleting(const std::string&) override {}
  void OnPageDeleted(const std::string&) override {}
  void OnPageRenamed(const std::string&, const std::string&) override {}
  void OnPageChanged(const std::string&, const PageProperties&) override {}

  std::vector<std::string> activated;
};

// The project of data/error_check copied into a temporary folder and loaded
// as the open command loads it; the dialogs and page listeners replaced by
// recorders.
class UiErrListTest : public ProjectFilesFixture {
 protected:
  void SetUp() override {
    ProjectFilesFixture::SetUp();
    savedUsersPath_ = UsersFilePath;
    ResetProject();
    PageListener::GetRegistry().clear();
    PageListener::Register(&activations);
    VarEventDialog::Install(&eventDialog);
    AlarmCfgDialog::Install(&alarmDialog);
    MessageBoxService::Install(&boxes);
    UiErrList::Instance().parent = Owner();
    UiErrList::Instance().results.clear();
  }

  void TearDown() override {
    UiErrList::Instance().parent = nullptr;
    UiErrList::Instance().results.clear();
    MessageBoxService::Install(nullptr);
    AlarmCfgDialog::Install(nullptr);
    VarEventDialog::Install(nullptr);
    PageListener::GetRegistry().clear();
    ResetProject();
    UsersFilePath = savedUsersPath_;
    ProjectFilesFixture::TearDown();
  }

  static void ResetProject() {
    QlEProject& project = QlEProject::Instance();
    project.Reset("");
    project.openPages.clear();
    project.width = 640.0f;
    project.height = 480.0f;
  }

  // Files of the fixture can be replaced by other texts before loading.
  void LoadFixtureProject(const std::vector<std::pair<std::string, std::string>>& replaced = {}) {
    for (const auto& entry : fs::directory_iterator(TestDataPath("error_check")))
      fs::copy_file(entry.path(), fs::path(temp_.Path()) / entry.path().filename());
    for (const auto& [file, text] : replaced) WriteFileText(temp_ / file, text);
    QlProjectData record;
    ASSERT_TRUE(LoadProjectFiles(temp_ / "main_.ql", record));
    QlEProject& project = QlEProject::Instance();
    project.SetDirectory(record.directory);
    project.pageNames = record.pageNames;
    project.homePage = record.homePage;
    project.events = record.events;
    project.open = true;
  }

  std::shared_ptr<QlEPage> OpenPage(const std::string& name) {
    std::shared_ptr<QlEPage> page;
    EXPECT_TRUE(LoadPageForEdit(Owner(), name, page)) << name;
    if (page) QlEProject::Instance().openPages.push_back(page);
    return page;
  }

  ParentWindow* Owner() { return reinterpret_cast<ParentWindow*>(&ownerToken_); }

  RecordingListBox listBox;
  RecordingVarEventDialog eventDialog;
  RecordingAlarmCfgDialog alarmDialog;
  RecordingMessageBoxes boxes;
  ActivationLog activations;

 private:
  std::string savedUsersPath_;
  int ownerToken_ = 0;
};

const char* const kEventsHeader = ">---------检查事件----------";
const char* const kAlarmHeader = ">---------检查警报配置--------";
const char* const kPassed = "----------检测通过--------";
const char* const kFailed = "----------检测失败--------";

// The fixture project with "页面2" open as it is on disk and "页面1" open
// with a number box added in the editor and not saved yet.
const Lines kFixtureReport = {
    ">---------检查页面2----------",
    "数字框控件[30.0,70.0] 读写地址节点不存在..",
    "文字框控件[120.5,110.2] 读写地址异常或者不在数据列表中..",
    ">---------检查页面1----------",
    "数字框控件[300.0,200.0] 读写地址不能为空!.",
    ">---------页面1----------",
    ">---------页面2----------",
    "数字框控件[30.0,70.0] 读写地址节点不存在..",
    "文字框控件[120.5,110.2] 读写地址异常或者不在数据列表中..",
    ">---------页面3----------",
    "导入 页面3 失败.",
    ">---------页面4----------",
    "导入 页面4 失败.",
    kEventsHeader,
    "PLC1.M0(上升沿)中, 函数 { xyz } 错误: 未知指令: xyz",
    // SET and MOV keep the line as typed; the page jump its canonical form.
    "PLC1.M0(下降沿)中, 函数 { set   PLC1.d5 } 错误: 写地址与数据类型不兼容.",
    "PLC1.M0(==1)中, 函数 { mov  PLC1.D1   PLC9.D2 } 错误: PLC9.D2 转换失败.",
    "PLC1.M5(下降沿)中, 函数 { 页面跳到 \"不存在\" } 错误: 页面 \"不存在\" 不存在.",
    kAlarmHeader,
    "警报组()中 警报起始地址不能为空!",
    "警报组(PLC1.D500)中 警报地址异常或者不在数据列表中或长度异常.",
    "警报组(PLC9.M0)中 警报地址异常或者不在数据列表中或长度异常.",
    kFailed,
};

enum class Entry { None, Page1, Page2, Event, Alarm };

const std::vector<Entry> kFixtureEntries = {
    Entry::None,  Entry::Page2, Entry::Page2, Entry::None,  Entry::Page1, Entry::None,
    Entry::None,  Entry::Page2, Entry::Page2, Entry::None,  Entry::None,  Entry::None,
    Entry::None,  Entry::None,  Entry::Event, Entry::Event, Entry::Event, Entry::Event,
    Entry::None,  Entry::Alarm, Entry::Alarm, Entry::Alarm, Entry::None,
};

class FixtureReport : public UiErrListTest {
 protected:
  void SetUp() override {
    UiErrListTest::SetUp();
    LoadFixtureProject();
    ASSERT_NE(OpenPage("页面2"), nullptr);
    const auto page1 = OpenPage("页面1");
    ASSERT_NE(page1, nullptr);
    auto added = NsQlElemEditor::CreateNewElem(NsQlUiElem::kElemNumber, {300.0f, 200.0f});
    ASSERT_NE(added, nullptr);
    page1->elements->elems.push_back(added);
    page1->modified = true;
  }
};

TEST_F(FixtureReport, ReportsEveryFaultOfTheFourSectionsInOrder) {
  // Lines of an earlier check go first.
  listBox.lines = {"old line"};
  UiErrList::Instance().results.push_back(std::make_shared<UiErrActivePage>("old"));

  EXPECT_FALSE(UiErrList::Instance().RunCheck(listBox));
  EXPECT_EQ(listBox.resets, 1);
  EXPECT_EQ(listBox.lines, kFixtureReport);
  EXPECT_TRUE(boxes.shown.empty());

  // The compiled lists stay in the events.
  const auto& events = QlEProject::Instance().events;
  ASSERT_EQ(events.size(), 2u);
  ASSERT_NE(events[0]->GetFunctions(0), nullptr);
  ASSERT_EQ(events[0]->GetFunctions(0)->functions.size(), 2u);
  EXPECT_FALSE(events[0]->GetFunctions(0)->functions[0]->IsReady());
  EXPECT_TRUE(events[0]->GetFunctions(0)->functions[1]->IsReady());
}

TEST_F(FixtureReport, EveryLineKeepsWhatItsDoubleClickOpens) {
  UiErrList& list = UiErrList::Instance();
  list.RunCheck(listBox);
  ASSERT_EQ(list.results.size(), listBox.lines.size());
  ASSERT_EQ(list.results.size(), kFixtureEntries.size());

  for (std::size_t i = 0; i < kFixtureEntries.size(); ++i) {
    SCOPED_TRACE(listBox.lines[i]);
    const std::shared_ptr<UiErrDisplay>& entry = list.results[i];
    const auto* page = dynamic_cast<const UiErrActivePage*>(entry.get());
    const auto* event = dynamic_cast<const UiErrEvent*>(entry.get());
    const auto* alarm = dynamic_cast<const UiErrAlarmCfg*>(entry.get());
    switch (kFixtureEntries[i]) {
      case Entry::None:
        EXPECT_EQ(entry, nullptr);
        break;
      case Entry::Page1:
      case Entry::Page2:
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->GetPageName(), kFixtureEntries[i] == Entry::Page1 ? "页面1" : "页面2");
        break;
      case Entry::Event:
        ASSERT_NE(event, nullptr);
        EXPECT_EQ(event->GetParent(), Owner());
        break;
      case Entry::Alarm:
        ASSERT_NE(alarm, nullptr);
        EXPECT_EQ(alarm->GetParent(), Owner());
        break;
    }
  }

  // A header, the closing line and an index past the lines do nothing.
  list.ShowResult(0);
  list.ShowResult(kFixtureEntries.size() - 1);
  list.ShowResult(kFixtureEntries.size());
  EXPECT_TRUE(activations.activated.empty());
  EXPECT_TRUE(eventDialog.runs.empty());
  EXPECT_TRUE(alarmDialog.runs.empty());

  list.ShowResult(4);
  list.ShowResult(7);
  EXPECT_EQ(activations.activated, (Lines{"页面1", "页面2"}));
  list.ShowResult(15);
  EXPECT_EQ(eventDialog.runs, std::vector<ParentWindow*>{Owner()});
  list.ShowResult(20);
  EXPECT_EQ(alarmDialog.runs, std::vector<ParentWindow*>{Owner()});

  // An entry keeps its page name: a page gone from the project is ignored.
  QlEProject::Instance().pageNames = {"页面2"};
  list.ShowResult(4);
  EXPECT_EQ(activations.activated, (Lines{"页面1", "页面2"}));
  // Without a dialog installed a double click shows nothing.
  VarEventDialog::Install(nullptr);
  list.ShowResult(15);
  EXPECT_EQ(eventDialog.runs.size(), 1u);
}

TEST_F(FixtureReport, ThePageFileSectionLeavesNoSubscriptionBehind) {
  const auto words = FindTask("PLC1", "d");
  ASSERT_NE(words, nullptr);
  const uint32_t before = words->GetSubscriberCount();

  UiErrList& list = UiErrList::Instance();
  EXPECT_FALSE(list.CheckPageFiles(listBox));
  EXPECT_EQ(words->GetSubscriberCount(), before);
  // The open pages are left as the editor holds them.
  const auto page1 = QlEProject::Instance().openPages[1];
  EXPECT_EQ(page1->elements->elems.size(), 3u);
  EXPECT_TRUE(page1->modified);
}

TEST_F(UiErrListTest, APassingProjectWritesTheHeadersAndPasses) {
  LoadFixtureProject();
  // Two pages, both valid, one of them open; no events, no alarm groups.
  WriteFileText(temp_ / "页面2.ovpg", ReadFileText(temp_ / "页面1.ovpg"));
  QlEProject& project = QlEProject::Instance();
  project.pageNames = {"页面1", "页面2"};
  project.events.clear();
  Alarms().Clear();
  ASSERT_NE(OpenPage("页面1"), nullptr);

  EXPECT_TRUE(UiErrList::Instance().RunCheck(listBox));
  EXPECT_EQ(listBox.lines, (Lines{">---------检查页面1----------", ">---------页面1----------",
                                  ">---------页面2----------", kEventsHeader, kAlarmHeader,
                                  kPassed}));
  EXPECT_EQ(UiErrList::Instance().results,
            std::vector<std::shared_ptr<UiErrDisplay>>(6, nullptr));
}

// A JSON string of the text.
std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    if (c == '\n') {
      out += "\\n";
      continue;
    }
    out += c;
  }
  return out + "\"";
}

// Addresses and instructions of tens of thousands of characters, and many
// dots before a line break, in a page file, the events and the alarm
// groups: the check runs through and reports them with the messages any
// other text gets.
TEST_F(UiErrListTest, LongTextsAreCheckedWithTheirUsualMessages) {
  const std::string letters(40000, 'a');
  const std::string han = [] {
    std::string s;
    for (int i = 0; i < 20000; ++i) s += "长";
    return s;
  }();
  const std::string dots(20000, '.');
  const std::string digits(40000, '1');
  const std::string dotsAddress = "PLC1" + dots + "\n";
  // Each long address beside a short one of the same kind: both get the
  // same line, or neither gets one.
  const struct {
    std::string longAddress;
    std::string shortAddress;
    const char* message;  // null: the address is valid
  } kAddresses[] = {
      {"PLC1." + letters, "PLC1.a", "读写地址异常.."},
      {dotsAddress, "PLC1...\n", "读写地址异常.."},
      {letters, "a", "读写地址节点不存在.."},
      {"PLC1.D" + digits, "PLC1.D11111111111", "读写地址异常.."},
      {" PLC1.D1" + std::string(40000, ' '), " PLC1.D1 ", nullptr},
  };
  auto number = [](float left, float top, const std::string& address) {
    return NsPlatform::StrFormat(
        R"({"type":"Number","rect":{"left":%.1f,"top":%.1f,"right":%.1f,"bottom":%.1f},)"
        R"("data-type":2,"address":)",
        left, top, left + 80.0f, top + 20.0f) +
        Quoted(address) + "}";
  };
  std::string elements;
  Lines pageLines = {">---------页面2----------"};
  float top = 0.0f;
  for (const auto& a : kAddresses) {
    top += 40.0f;
    elements += number(10.0f, top, a.longAddress) + "," + number(100.0f, top, a.shortAddress) + ",";
    if (a.message == nullptr) continue;
    // The editor shows pages 20 units in.
    for (const float left : {30.0f, 120.0f})
      pageLines.push_back(
          NsPlatform::StrFormat("数字框控件[%.1f,%.1f] %s", left, top + 20.0f, a.message));
  }
  const std::vector<std::string> instructions = {
      "短消息 \"" + han + "\"",
      "页面跳到 \"" + letters + "\"",
      "SET PLC1." + letters,
      "MOV " + digits + " PLC1.D1",
      "SET " + dotsAddress,
      "页面跳到 \"" + dots + "\n\"",
  };
  std::string list;
  for (const std::string& line : instructions) list += (list.empty() ? "" : ",") + Quoted(line);
  const std::string page =
      R"({"rect":{"left":0.0,"top":0.0,"right":640.0,"bottom":480.0},"elements":[)" + elements +
      R"({"type":"MultFunc","rect":{"left":10.0,"top":300.0,"right":90.0,"bottom":320.0},)"
      R"("event-func-list":[)" + list + "]}]}";
  const std::string eventAddress = "PLC1." + letters;
  const std::string events = R"({"var-list":[{"address":)" + Quoted(eventAddress) +
                             R"(,"var-event-type":0,"event-list":[{"上升沿":[)" + list +
                             "]}]}]}";
  const std::string alarms = R"({"max-number-of-alarm-hist":100,"alarm-list":[{"address":)" +
                             Quoted("PLC1.M" + digits) + R"(,"message-list":["a"]},{"address":)" +
                             Quoted(dotsAddress) + R"(,"message-list":["b"]}]})";
  LoadFixtureProject({{"页面2.ovpg", page}, {"events", events}, {"alarm_config", alarms}});
  QlEProject::Instance().pageNames = {"页面2"};

  EXPECT_FALSE(UiErrList::Instance().RunCheck(listBox));
  Lines expected = pageLines;
  const std::string event = eventAddress + "(上升沿)中, 函数 { ";
  expected.insert(
      expected.end(),
      {kEventsHeader,
       event + instructions[1] + " } 错误: 页面 \"" + letters + "\" 不存在.",
       event + instructions[2] + " } 错误: 写地址异常.",
       event + instructions[4] + " } 错误: 写地址异常.",
       // The page name is taken without the white space around it.
       event + instructions[5] + " } 错误: 页面 \"" + dots + "\" 不存在.",
       kAlarmHeader,
       "警报组(PLC1.M" + digits + ")中 警报地址异常或者不在数据列表中或长度异常.",
       "警报组(PLC1" + dots + ")中 警报地址异常或者不在数据列表中或长度异常.",
       kFailed});
  ASSERT_EQ(listBox.lines.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_TRUE(listBox.lines[i] == expected[i]) << i << ": " << listBox.lines[i].substr(0, 80);
}

TEST_F(UiErrListTest, WithoutAProjectOnlyTheEventAndAlarmHeadersAndAFailure) {
  EXPECT_FALSE(UiErrList::Instance().RunCheck(listBox));
  EXPECT_EQ(listBox.lines, (Lines{kEventsHeader, kAlarmHeader, kFailed}));
  EXPECT_EQ(UiErrList::Instance().results.size(), 3u);
}

// A damaged main file lists a page without a name: no file can hold it, and
// the check says so as for any page it cannot read; a page added since the
// last save has no file yet and nothing to check.
TEST_F(UiErrListTest, APageListedWithoutANameIsReportedAndANewPageIsNot) {
  LoadFixtureProject({{"main_.ql", R"({"ver": 100, "home-page": "页面1",
      "page-list": [{"name": "页面1"}, {"nme": "页面2"}]})"}});
  std::string added = "页面5";
  ASSERT_TRUE(QlEProject::Instance().AddPage(added));

  EXPECT_FALSE(UiErrList::Instance().CheckPageFiles(listBox));
  const Lines expected = {">---------页面1----------", ">---------" "----------", "导入  失败.",
                          ">---------页面5----------"};
  EXPECT_EQ(listBox.lines, expected);
}

TEST_F(UiErrListTest, AnAlarmGroupWithoutAddressIsReportedWithAnEmptyAddress) {
  // Groups made by the alarm dialog, not read from a file.
  auto unnamed = std::make_shared<NsAlarm::AlarmSegCvb>();
  unnamed->SetMessages({"a"});
  Alarms().AddSeg(unnamed);
  Alarms().AddSeg(nullptr);
  // A plain segment has no address at all.
  Alarms().AddSeg(std::make_shared<NsAlarm::AlarmSeg>("text"));

  EXPECT_FALSE(UiErrList::Instance().CheckAlarmConfig(listBox));
  EXPECT_EQ(listBox.lines, (Lines{kAlarmHeader, "警报组()中 警报起始地址不能为空!",
                                  "警报组()中 警报起始地址不能为空!"}));
}

// A group without messages can never alarm: reported with the message of
// its group, whether its address binds or not; a bound group with bits
// passes.
TEST_F(UiErrListTest, AnAlarmGroupWithoutMessagesIsReported) {
  LoadFixtureProject();
  Alarms().Clear();
  const struct {
    const char* address;
    std::vector<std::string> messages;
    const char* line;  // null: no line
  } kCases[] = {
      {"PLC1.M0", {}, "警报组(PLC1.M0)中 警报地址异常或者不在数据列表中或长度异常."},
      {"PLC9.M0", {}, "警报组(PLC9.M0)中 警报地址异常或者不在数据列表中或长度异常."},
      {"", {}, "警报组()中 警报起始地址不能为空!"},
      {"PLC1.M0", {"one"}, nullptr},
  };
  Lines expected = {kAlarmHeader};
  for (const auto& c : kCases) {
    auto group = std::make_shared<NsAlarm::AlarmSegCvb>();
    group->SetAddress(c.address);
    group->SetMessages(c.messages);
    Alarms().AddSeg(group);
    if (c.line != nullptr) expected.push_back(c.line);
  }
  ASSERT_TRUE(Segment(0)->IsBound());
  ASSERT_TRUE(Segment(3)->IsBound());
  EXPECT_FALSE(UiErrList::Instance().CheckAlarmConfig(listBox));
  EXPECT_EQ(listBox.lines, expected);
}

TEST_F(UiErrListTest, AnEventWithNothingCompiledPassesItsSection) {
  QlEProject& project = QlEProject::Instance();
  auto event = std::make_shared<NsQlEvent::QlBitVarEvent>("PLC1.M0");
  event->GetFunctionTexts(NsQlEvent::QlBitVarEvent::kRisingEdge) = {"", "退出登录 now"};
  project.events = {event, nullptr};

  EXPECT_TRUE(UiErrList::Instance().CheckEvents(listBox));
  EXPECT_EQ(listBox.lines, Lines{kEventsHeader});
}

}  // namespace
}  // namespace NsOvrin::Testing
