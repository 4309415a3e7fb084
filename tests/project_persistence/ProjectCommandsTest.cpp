// The project commands: new, open, close with the save prompt, save and save
// as, and the runtime reset, against real project folders in temporary
// folders and scripted dialogs.
#include "project_persistence/ProjectCommands.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>
#include <memory>
#include <optional>
#include <shared_mutex>
#include <string>
#include <vector>

#include "ProjectFilesFixture.h"
#include "ScriptedProjectUi.h"
#include "comm_server/SerialParams.h"
#include "editor/EditorGlobals.h"
#include "editor/QlEPage.h"
#include "events/QlBitVarEvent.h"
#include "project/NodeDbListener.h"
#include "project/PageListener.h"
#include "project/ProjectListener.h"
#include "project/QlEProject.h"
#include "project/UsersFile.h"
#include "project_persistence/PageCommands.h"
#include "project_persistence/PageFile.h"
#include "project_base/QlUser.h"
#include "project_persistence/UiErrList.h"
#include "support/WriteBlockers.h"
#include "termination/DevDefine.h"
#include "termination/DevSetup.h"

namespace NsOvrin::Testing {
namespace {

namespace fs = std::filesystem;
using NsCommServer::SerialPortInfo;
using NsTermination::Channel;
using NsTermination::ChannelSerialPort;
using Strings = std::vector<std::string>;

const std::vector<QlUser> kDefaultUsers = {
    {"操作员", "", 1}, {"工程师", "", 2}, {"管理员", "", 99}, {"设备厂商", "", 100}};
// The users file of data/project_full.
const std::vector<QlUser> kFixtureUsers = {
    {"操作员", "", 1}, {"工程师", "1234", 2}, {"admin", "p@ss w", 99}, {"设备厂商", "秘密", 100}};
const Strings kFixtureFiles = {"main_.ql", "com_chns",     "acq_db",
                               "alarm_config", "users_config", "events"};

// What the project listeners heard, with what they saw of the project then.
class ProjectLog : public ProjectListener {
 public:
  void OnProjectCreated() override { Record("created"); }
  void OnProjectOpened() override { Record("opened"); }
  void OnProjectClosing() override { Record("closing"); }

  struct Heard {
    std::string what;
    bool open;
    Strings pages;
    std::size_t channels;
  };
  std::vector<Heard> heard;

  Strings What() const {
    Strings names;
    for (const Heard& h : heard) names.push_back(h.what);
    return names;
  }

 private:
  void Record(const std::string& what) {
    const QlEProject& project = QlEProject::Instance();
    heard.push_back({what, project.open, project.pageNames,
                     NsTermination::ChannelManager::Instance().GetChannels().size()});
  }
};

// Plays the application's part: a page added to the list gets an editor.
class PageViews : public PageListener {
 public:
  void OnPageAdded(const std::string& name) override {
    added.push_back(name);
    if (openEditors) QlEProject::Instance().openPages.push_back(std::make_shared<QlEPage>(name));
  }
  void OnActivatePage(const std::string&) override {}
  void OnPageDeleting(const std::string&) override {}
  void OnPageDeleted(const std::string&) override {}
  void OnPageRenamed(const std::string&, const std::string&) override {}
  void OnPageChanged(const std::string&, const PageProperties&) override {}

  bool openEditors = false;
  Strings added;
};

class RunModeLog : public NodeDbListener {
 public:
  void OnBlocksChanged(const OneWayWrapper<NsTermination::Node>&) override {}
  void OnNodeDbChanged() override {}
  void OnRunModeChanged(bool online) override { modes.push_back(online); }

  std::vector<bool> modes;
};

// The process-wide project, runtime, user list and registries emptied
// around each test; every dialog replaced by a scripted one.
class ProjectCommandsTest : public ProjectFilesFixture {
 protected:
  void SetUp() override {
    ProjectFilesFixture::SetUp();
    savedUsersPath_ = UsersFilePath;
    ResetProject();
    GetUserList().clear();
    ProjectListener::GetRegistry().clear();
    ProjectListener::Register(&projectLog);
    PageListener::GetRegistry().clear();
    PageListener::Register(&pageViews);
    MessageBoxService::Install(&boxes);
    QuestionBoxService::Install(&questions);
    NewProjectDialog::Install(&newDialog);
    ProjectFileDialogs::Install(&fileDialogs);
    UiErrList::Instance().results.clear();
  }

  void TearDown() override {
    UiErrList::Instance().results.clear();
    ProjectFileDialogs::Install(nullptr);
    NewProjectDialog::Install(nullptr);
    QuestionBoxService::Install(nullptr);
    MessageBoxService::Install(nullptr);
    PageListener::GetRegistry().clear();
    ProjectListener::GetRegistry().clear();
    ResetProject();
    GetUserList().clear();
    UsersFilePath = savedUsersPath_;
    ProjectFilesFixture::TearDown();
  }

  static QlEProject& Project() { return QlEProject::Instance(); }

  static void ResetProject() {
    Project().Reset("");
    Project().openPages.clear();
    Project().width = 640.0f;
    Project().height = 480.0f;
  }

  // A folder made under the temporary folder.
  std::string Folder(const std::string& name) {
    const std::string path = temp_ / name;
    fs::create_directories(path);
    return path;
  }

  // data/project_full in a folder of its own, with page files for two of its
  // three pages.
  std::string CopyFullProject(const std::string& name = "full") {
    const std::string folder = Folder(name);
    for (const std::string& file : kFixtureFiles)
      fs::copy_file(Data("project_full", file), folder + "/" + file);
    WriteFileText(folder + "/页面1.ovpg", kPageText);
    WriteFileText(folder + "/报警.ovpg", kPageText);
    return folder;
  }

  // Opens the folder's main file through the open command.
  void OpenThroughCommand(const std::string& folder) {
    fileDialogs.files.push_back(folder + "/main_.ql");
    ASSERT_TRUE(DoOpenProject(Owner()));
    projectLog.heard.clear();
    fileDialogs.openRequests.clear();
  }

  // An open page of the project, marked modified.
  std::shared_ptr<QlEPage> AddOpenPage(const std::string& name) {
    auto page = std::make_shared<QlEPage>(name);
    page->modified = true;
    Project().openPages.push_back(page);
    return page;
  }

  static Strings ChannelNames() {
    Strings names;
    for (const auto& channel : Db().GetChannels()) names.push_back(channel->GetName());
    return names;
  }

  static bool AnyPageModified() {
    for (const auto& page : Project().openPages)
      if (page->modified) return true;
    return false;
  }

  ParentWindow* Owner() { return reinterpret_cast<ParentWindow*>(&ownerToken_); }

  static constexpr const char* kPageText =
      R"({"rect":{"left":0.0,"top":0.0,"right":640.0,"bottom":480.0},"bk-color":16316664,)"
      R"("access-permission":0,"elements":[]})";
  const AskedQuestion kSavePrompt{nullptr, "工程被更改, 是否需要保存?", "提示"};

  AskedQuestion SavePrompt() { return {Owner(), kSavePrompt.text, kSavePrompt.caption}; }

  ProjectLog projectLog;
  PageViews pageViews;
  RecordingMessageBoxes boxes;
  ScriptedQuestions questions;
  ScriptedNewProjectDialog newDialog;
  ScriptedFileDialogs fileDialogs;

 private:
  std::string savedUsersPath_;
  int ownerToken_ = 0;
};

// Default channels.

TEST_F(ProjectCommandsTest, TheSerialChannelsTakeTheListedPortsOrOnesAboveThem) {
  struct Case {
    std::vector<uint32_t> listed;
    uint32_t first;
    uint32_t second;
  };
  const std::vector<Case> cases = {
      {{}, 1, 2},     {{3, 5}, 3, 5}, {{1}, 1, 2},         {{4}, 4, 5},
      {{9, 2}, 9, 2}, {{6, 3, 8}, 6, 3}, {{33}, 33, 34},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.listed));
    Db().Reset();
    std::vector<SerialPortInfo> ports;
    for (uint32_t port : c.listed) ports.push_back({"tty", port});

    CreateDefaultSerialChannels(ports);

    ASSERT_EQ(ChannelNames(), (Strings{"S1", "S2"}));
    const auto s1 = std::dynamic_pointer_cast<ChannelSerialPort>(Db().GetChannels()[0]);
    const auto s2 = std::dynamic_pointer_cast<ChannelSerialPort>(Db().GetChannels()[1]);
    ASSERT_NE(s1, nullptr);
    ASSERT_NE(s2, nullptr);
    EXPECT_EQ(s1->GetSettings().port, c.first);
    EXPECT_EQ(s2->GetSettings().port, c.second);
  }
}

TEST_F(ProjectCommandsTest, DefaultChannelsHaveTheirNamesDescriptionsAndLineSettings) {
  CreateDefaultSerialChannels({{"ttyS2", 3}, {"ttyS4", 5}});
  CreateDefaultEthernetChannels();

  ASSERT_EQ(ChannelNames(), (Strings{"S1", "S2", "E0", "E1"}));
  const auto& channels = Db().GetChannels();
  const Strings descriptions = {"串口1", "串口2", "网口1", "网口2"};
  for (std::size_t i = 0; i < channels.size(); ++i) {
    EXPECT_EQ(channels[i]->GetDescription(), descriptions[i]);
    EXPECT_EQ(channels[i]->GetType(), i < 2 ? Channel::kTypeSerial : Channel::kTypeEthernet);
    EXPECT_TRUE(channels[i]->GetNodeList().empty());
  }
  for (std::size_t i = 0; i < 2; ++i) {
    const auto serial = std::dynamic_pointer_cast<ChannelSerialPort>(channels[i]);
    ASSERT_NE(serial, nullptr);
    const NsCommServer::SerialParams& settings = serial->GetSettings();
    EXPECT_EQ(settings.baud, 0x800u);
    EXPECT_EQ(settings.parity, 0x400u);
    EXPECT_EQ(settings.dataBits, 0x4u);
    EXPECT_EQ(settings.stopBits, 0x1u);
    // Its own transport, no port opened.
    EXPECT_NE(serial->GetDeviceImpl(), nullptr);
  }
  EXPECT_EQ(channels[0]->GetParamText(), "com:3;param:9600,e,7,1;");
  EXPECT_EQ(MakeSerialChannelId(0), "S1");
  EXPECT_EQ(MakeEthernetChannelId(1), "E1");
}

// Runtime reset.

TEST_F(ProjectCommandsTest, TheRuntimeResetStopsPollingAndEmptiesChannelsAlarmsAndUsers) {
  RunModeLog runModes;
  NodeDbListener::Register(&runModes);

  Db().SetRunning(true);
  auto channel = std::make_shared<NsTermination::ChannelEthernet>("E0");
  ASSERT_TRUE(Db().AddChannel(channel));
  NsDevDefine::ENetDevParam param;
  param.name = "PLC1";
  param.deviceId = NsTermination::kModelModbusTcp;
  param.ipAddr = htonl(INADDR_LOOPBACK);
  param.port = 1;
  ASSERT_TRUE(NsTermination::AddENetDev(channel->GetHandle(), param));
  const auto node = FindNode("PLC1");
  ASSERT_NE(node, nullptr);
  EXPECT_TRUE(node->GetWorkerCtrl().IsAlive());

  auto segment = std::make_shared<NsAlarm::AlarmSeg>();
  segment->SetMessages({"a"});
  Alarms().AddSeg(segment);
  Alarms().SetMaxHistCount(10);
  Alarms().OnAlarmOn(segment.get(), 0);
  Alarms().OnAlarmOff(segment.get(), 0);
  Alarms().OnAlarmOn(segment.get(), 0);
  GetUserList() = {{"someone", "pw", 2}};

  ResetProjectRuntime();

  EXPECT_FALSE(Db().IsRunning());
  EXPECT_TRUE(Db().GetChannels().empty());
  EXPECT_FALSE(node->GetWorkerCtrl().IsAlive());
  EXPECT_TRUE(Alarms().GetSegments().empty());
  EXPECT_TRUE(Alarms().GetActiveAlarms().empty());
  {
    std::shared_lock lock(Alarms().GetHistoryLock());
    EXPECT_EQ(Alarms().GetHistory().Count(), 1u);
  }
  EXPECT_EQ(GetUserList(), kDefaultUsers);
  EXPECT_TRUE(runModes.modes.empty());

  std::erase(NodeDbListener::GetRegistry(), &runModes);
}

TEST_F(ProjectCommandsTest, EveryResetAfterAnAnnouncedOnlineModeAnnouncesItsEnd) {
  const std::string folder = CopyFullProject();
  struct Case {
    const char* what;
    std::function<void()> reset;
  };
  const Case cases[] = {
      {"close", [this] { EXPECT_EQ(DoCloseProject(Owner()), kProjectClosed); }},
      {"open another", [&] { OpenThroughCommand(folder); }},
      // The new-project dialog is cancelled: the reset still happened.
      {"new", [this] {
         newDialog.steps = {std::nullopt};
         DoNewProject(Owner());
       }},
      {"the runtime alone", [] { ResetProjectRuntime(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OpenThroughCommand(folder);
    RunModeLog runModes;
    NodeDbListener::Register(&runModes);
    Db().SetRunning(true);
    NodeDbListener::NotifyRunMode(true);
    HostOnlineFlag = true;

    c.reset();

    EXPECT_FALSE(Db().IsRunning());
    EXPECT_FALSE(OnlineFlag.load());
    EXPECT_FALSE(HostOnlineFlag);
    EXPECT_EQ(runModes.modes, (std::vector<bool>{true, false}));
    // Said once: a further reset while offline says nothing.
    ResetProjectRuntime();
    EXPECT_EQ(runModes.modes.size(), 2u);
    std::erase(NodeDbListener::GetRegistry(), &runModes);
  }
}

// New project.

TEST_F(ProjectCommandsTest, ANewProjectHasTheDefaultChannelsAFirstPageAndNoFilesYet) {
  Db().AddChannel(std::make_shared<NsTermination::ChannelEthernet>("left over"));
  const std::string folder = temp_ / "新工程";
  newDialog.steps.push_back(NewProjectDialog::Fields{"测试工程", folder + "/", 800, 600});

  DoNewProject(Owner());

  ASSERT_EQ(newDialog.proposed.size(), 1u);
  EXPECT_EQ(newDialog.proposed[0].name, "");
  EXPECT_EQ(newDialog.proposed[0].folder, "");
  EXPECT_EQ(newDialog.proposed[0].width, 600);
  EXPECT_EQ(newDialog.proposed[0].height, 480);
  EXPECT_EQ(newDialog.parents, std::vector<ParentWindow*>{Owner()});

  EXPECT_TRUE(Project().open);
  EXPECT_EQ(Project().name, "测试工程");
  EXPECT_EQ(Project().directory, folder);
  EXPECT_EQ(Project().width, 800.0f);
  EXPECT_EQ(Project().height, 600.0f);
  EXPECT_EQ(Project().pageNames, Strings{"页面1"});
  EXPECT_EQ(Project().homePage, "页面1");
  EXPECT_TRUE(Project().modified);
  EXPECT_EQ(ChannelNames(), (Strings{"S1", "S2", "E0", "E1"}));
  EXPECT_EQ(GetUserList(), kDefaultUsers);

  // Created is heard with the channels in place and before the first page.
  ASSERT_EQ(projectLog.What(), Strings{"created"});
  EXPECT_EQ(projectLog.heard[0].channels, 4u);
  EXPECT_TRUE(projectLog.heard[0].pages.empty());
  EXPECT_EQ(pageViews.added, Strings{"页面1"});

  EXPECT_FALSE(fs::exists(folder));
  EXPECT_TRUE(questions.asked.empty());
}

TEST_F(ProjectCommandsTest, ANewProjectIsNotMadeFromACancelledOrUnusableDialog) {
  struct Case {
    const char* what;
    std::optional<NewProjectDialog::Fields> step;
  };
  const std::vector<Case> cases = {
      {"cancelled", std::nullopt},
      {"name the dialog should have refused", NewProjectDialog::Fields{"a..b", "/tmp/x", 1, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Db().AddChannel(std::make_shared<NsTermination::ChannelEthernet>("left over"));
    newDialog.steps = {c.step};

    DoNewProject(Owner());

    EXPECT_FALSE(Project().open);
    EXPECT_TRUE(Project().pageNames.empty());
    EXPECT_TRUE(Db().GetChannels().empty());
    EXPECT_TRUE(projectLog.heard.empty());
  }
  // Without a dialog there is nothing to make a project from.
  NewProjectDialog::Install(nullptr);
  DoNewProject(Owner());
  EXPECT_FALSE(Project().open);
}

TEST_F(ProjectCommandsTest, ANewProjectTakesTheProposedSizeForAnEmptyEntry) {
  newDialog.steps.push_back(NewProjectDialog::Fields{"p", temp_.Path(), 0, -3});
  DoNewProject(Owner());
  ASSERT_TRUE(Project().open);
  EXPECT_EQ(Project().width, 600.0f);
  EXPECT_EQ(Project().height, 480.0f);
}

TEST_F(ProjectCommandsTest, ANewProjectOverAModifiedOneAsksFirst) {
  OpenThroughCommand(CopyFullProject());
  Project().modified = true;
  newDialog.steps.push_back(NewProjectDialog::Fields{"p", temp_ / "new", 640, 480});

  // Cancel: the open project stays as it is and the dialog is not shown.
  questions.answers = {QuestionAnswer::Cancel};
  DoNewProject(Owner());
  EXPECT_EQ(questions.asked, std::vector<AskedQuestion>{SavePrompt()});
  EXPECT_TRUE(newDialog.parents.empty());
  EXPECT_TRUE(Project().modified);
  EXPECT_EQ(Project().pageNames, (Strings{"页面1", "页面2", "报警"}));
  EXPECT_EQ(ChannelNames(), (Strings{"S1", "E0", "E1", "S2"}));

  // No: the old project closes unsaved and the new one is made.
  questions.answers = {QuestionAnswer::No};
  DoNewProject(Owner());
  EXPECT_EQ(projectLog.What(), (Strings{"closing", "created"}));
  EXPECT_EQ(Project().pageNames, Strings{"页面1"});
  EXPECT_EQ(ChannelNames(), (Strings{"S1", "S2", "E0", "E1"}));
  EXPECT_EQ(Alarms().GetSegments().size(), 0u);
}

// Open.

TEST_F(ProjectCommandsTest, OpenLoadsTheChosenFolderIntoTheProject) {
  const std::string folder = CopyFullProject();
  Db().AddChannel(std::make_shared<NsTermination::ChannelEthernet>("left over"));
  fileDialogs.files.push_back(folder + "/main_.ql");

  ASSERT_TRUE(DoOpenProject(Owner()));

  EXPECT_EQ(fileDialogs.openRequests,
            (std::vector<ScriptedFileDialogs::OpenRequest>{
                {Owner(), ".ql", "工程文件(main_.ql)|main_.ql||"}}));
  EXPECT_TRUE(Project().open);
  EXPECT_FALSE(Project().modified);
  EXPECT_EQ(Project().directory, folder);
  EXPECT_EQ(Project().name, "");
  EXPECT_EQ(Project().width, 800.0f);
  EXPECT_EQ(Project().height, 600.0f);
  EXPECT_EQ(Project().homePage, "页面2");
  EXPECT_EQ(Project().serverAddress, inet_addr("192.168.1.100"));
  EXPECT_EQ(Project().pageNames, (Strings{"页面1", "页面2", "报警"}));
  ASSERT_EQ(Project().events.size(), 2u);
  EXPECT_EQ(Project().events[1]->GetAddress(), "FX1.X0");

  // The live objects hold this project only.
  EXPECT_EQ(ChannelNames(), (Strings{"S1", "E0", "E1", "S2"}));
  EXPECT_EQ(Alarms().GetSegments().size(), 3u);
  EXPECT_EQ(GetUserList(), kFixtureUsers);
  EXPECT_EQ(UsersFilePath, folder + "/users_config");

  ASSERT_EQ(projectLog.What(), Strings{"opened"});
  EXPECT_TRUE(projectLog.heard[0].open);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ProjectCommandsTest, AFailedOpenSaysSoAndLeavesNoProjectOpen) {
  // The files are read channels, data blocks, alarms, main file, users,
  // events: what was read before the failing one stays in the runtime.
  struct Case {
    const char* what;
    const char* file;
    const char* replacement;  // null: the file is removed
    std::size_t channels;
    std::size_t segments;
    const std::vector<QlUser>* users;
  };
  const std::vector<Case> cases = {
      {"no channels file", "com_chns", nullptr, 0, 0, &kDefaultUsers},
      {"no data-block file", "acq_db", nullptr, 4, 0, &kDefaultUsers},
      {"damaged alarm file", "alarm_config", "{", 4, 0, &kDefaultUsers},
      {"damaged main file", "main_.ql", R"({"ver":101,"page-list":[]})", 4, 3, &kDefaultUsers},
      {"damaged events file", "events", "[]", 4, 3, &kFixtureUsers},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    boxes.shown.clear();
    const std::string folder = CopyFullProject("case" + std::to_string(n++));
    if (c.replacement == nullptr) {
      fs::remove(folder + "/" + c.file);
    } else {
      WriteFileText(folder + "/" + c.file, c.replacement);
    }
    // The path chosen is always the main file, even where it is damaged.
    fileDialogs.files.push_back(folder + "/main_.ql");

    EXPECT_FALSE(DoOpenProject(Owner()));

    EXPECT_EQ(boxes.shown, (std::vector<ShownMessage>{
                               {Owner(), "打开工程操作失败.", "提示", MessageIcon::Error}}));
    EXPECT_FALSE(Project().open);
    EXPECT_TRUE(Project().pageNames.empty());
    EXPECT_TRUE(Project().events.empty());
    EXPECT_EQ(Db().GetChannels().size(), c.channels);
    EXPECT_EQ(Alarms().GetSegments().size(), c.segments);
    EXPECT_EQ(GetUserList(), *c.users);
    EXPECT_TRUE(projectLog.heard.empty());
  }

  // The next command empties what the failed load left.
  EXPECT_FALSE(DoOpenProject(Owner()));
  EXPECT_TRUE(Db().GetChannels().empty());
  EXPECT_TRUE(Alarms().GetSegments().empty());
}

TEST_F(ProjectCommandsTest, CancellingTheOpenDialogLeavesNoProjectAndAnEmptyRuntime) {
  OpenThroughCommand(CopyFullProject());

  EXPECT_FALSE(DoOpenProject(Owner()));

  EXPECT_EQ(fileDialogs.openRequests.size(), 1u);
  EXPECT_TRUE(questions.asked.empty());
  EXPECT_EQ(projectLog.What(), Strings{"closing"});
  EXPECT_FALSE(Project().open);
  EXPECT_TRUE(Project().pageNames.empty());
  EXPECT_TRUE(Db().GetChannels().empty());
  EXPECT_TRUE(Alarms().GetSegments().empty());
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ProjectCommandsTest, OpeningOverAModifiedProjectAsksAndCancelKeepsIt) {
  const std::string folder = CopyFullProject();
  OpenThroughCommand(folder);
  const auto page = AddOpenPage("页面1");

  questions.answers = {QuestionAnswer::Cancel};
  EXPECT_FALSE(DoOpenProject(Owner()));
  EXPECT_EQ(questions.asked, std::vector<AskedQuestion>{SavePrompt()});
  EXPECT_TRUE(fileDialogs.openRequests.empty());
  EXPECT_TRUE(Project().open);
  EXPECT_TRUE(page->modified);
  EXPECT_EQ(Db().GetChannels().size(), 4u);

  // Yes saves into the project's folder, then the other project opens.
  const std::string other = CopyFullProject("other");
  WriteFileText(other + "/main_.ql",
                R"({"ver":100,"home-page":"甲","page-list":[{"name":"甲"}]})");
  questions.answers = {QuestionAnswer::Yes};
  fileDialogs.files.push_back(other + "/main_.ql");
  ASSERT_TRUE(DoOpenProject(Owner()));
  EXPECT_FALSE(page->modified);
  EXPECT_TRUE(Exists(folder + "/页面1.ovpg"));
  EXPECT_EQ(projectLog.What(), (Strings{"closing", "opened"}));
  EXPECT_EQ(Project().pageNames, Strings{"甲"});
  EXPECT_EQ(Project().directory, other);
}

// Close.

TEST_F(ProjectCommandsTest, ClosingAnUnchangedProjectAsksNothingAndEmptiesEverything) {
  EXPECT_EQ(DoCloseProject(Owner()), kProjectClosed);
  EXPECT_TRUE(projectLog.heard.empty());

  OpenThroughCommand(CopyFullProject());
  auto page = std::make_shared<QlEPage>("页面1");
  Project().openPages.push_back(page);
  UiErrList::Instance().results.push_back(std::make_shared<UiErrActivePage>("页面1"));

  EXPECT_EQ(DoCloseProject(Owner()), kProjectClosed);

  EXPECT_TRUE(questions.asked.empty());
  // The listeners hear of it while the project is still there.
  ASSERT_EQ(projectLog.What(), Strings{"closing"});
  EXPECT_TRUE(projectLog.heard[0].open);
  EXPECT_EQ(projectLog.heard[0].pages.size(), 3u);
  EXPECT_FALSE(Project().open);
  EXPECT_TRUE(Project().directory.empty());
  EXPECT_TRUE(Project().pageNames.empty());
  EXPECT_TRUE(Project().events.empty());
  EXPECT_TRUE(Db().GetChannels().empty());
  EXPECT_TRUE(Alarms().GetSegments().empty());
  EXPECT_EQ(GetUserList(), kDefaultUsers);
  EXPECT_TRUE(UiErrList::Instance().results.empty());
  // The page windows close by themselves afterwards.
  EXPECT_EQ(Project().openPages.size(), 1u);
}

TEST_F(ProjectCommandsTest, TheSavePromptGuardsTheClose) {
  struct Case {
    const char* what;
    bool projectModified;
    QuestionAnswer answer;
    int result;
    bool closed;
    bool saved;
  };
  const std::vector<Case> cases = {
      {"yes", true, QuestionAnswer::Yes, kProjectClosed, true, true},
      {"no", true, QuestionAnswer::No, kProjectClosed, true, false},
      {"cancel", true, QuestionAnswer::Cancel, kCloseCancelled, false, false},
      {"only a page changed, no", false, QuestionAnswer::No, kProjectClosed, true, false},
      {"only a page changed, cancel", false, QuestionAnswer::Cancel, kCloseCancelled, false,
       false},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string folder = CopyFullProject("case" + std::to_string(n++));
    fs::remove(folder + "/页面1.ovpg");
    OpenThroughCommand(folder);
    Project().openPages.clear();
    Project().modified = c.projectModified;
    const auto page = AddOpenPage("页面1");
    questions.asked.clear();
    questions.answers = {c.answer};

    EXPECT_EQ(DoCloseProject(Owner()), c.result);

    EXPECT_EQ(questions.asked, std::vector<AskedQuestion>{SavePrompt()});
    EXPECT_EQ(Project().open, !c.closed);
    EXPECT_EQ(Exists(folder + "/页面1.ovpg"), c.saved);
    if (c.closed) {
      // No page window asks again.
      EXPECT_FALSE(page->modified);
      EXPECT_EQ(projectLog.What(), Strings{"closing"});
      EXPECT_TRUE(Db().GetChannels().empty());
    } else {
      EXPECT_TRUE(page->modified);
      EXPECT_EQ(Project().modified, c.projectModified);
      EXPECT_TRUE(projectLog.heard.empty());
      EXPECT_EQ(Db().GetChannels().size(), 4u);
    }
    ResetProject();
    projectLog.heard.clear();
  }
}

TEST_F(ProjectCommandsTest, AYesWhoseSaveFailsOrIsCancelledKeepsTheProjectOpen) {
  // A new project has no folder yet: Yes goes to the folder browser.
  newDialog.steps.push_back(NewProjectDialog::Fields{"p", temp_ / "nowhere", 640, 480});
  pageViews.openEditors = true;
  DoNewProject(Owner());
  ASSERT_TRUE(Project().open);
  ASSERT_EQ(Project().openPages.size(), 1u);
  Project().openPages[0]->modified = true;

  questions.answers = {QuestionAnswer::Yes};
  EXPECT_EQ(DoCloseProject(Owner()), kCloseCancelled);
  EXPECT_EQ(fileDialogs.folderRequests,
            (std::vector<ScriptedFileDialogs::FolderRequest>{{Owner(), ""}}));

  // A folder where the project files cannot be written.
  const std::string blocked = Folder("blocked");
  fs::create_directory(blocked + "/com_chns");
  questions.answers = {QuestionAnswer::Yes};
  fileDialogs.folders.push_back(blocked);
  EXPECT_EQ(DoCloseProject(Owner()), kCloseCancelled);

  EXPECT_TRUE(Project().open);
  EXPECT_TRUE(Project().modified);
  EXPECT_TRUE(Project().openPages[0]->modified);
  EXPECT_EQ(Project().directory, temp_ / "nowhere");
  EXPECT_EQ(ChannelNames(), (Strings{"S1", "S2", "E0", "E1"}));
  // Without all its files the folder is no project.
  EXPECT_FALSE(Exists(blocked + "/main_.ql"));
  EXPECT_EQ(projectLog.What(), Strings{"created"});

  // A folder that takes it: saved there, then closed.
  const std::string good = Folder("good");
  questions.answers = {QuestionAnswer::Yes};
  fileDialogs.folders.push_back(good);
  EXPECT_EQ(DoCloseProject(Owner()), kProjectClosed);
  EXPECT_TRUE(Exists(good + "/main_.ql"));
  EXPECT_TRUE(Exists(good + "/页面1.ovpg"));
  EXPECT_FALSE(Project().open);
}

// Save and save as.

TEST_F(ProjectCommandsTest, SaveWritesTheProjectFilesAndEveryOpenPage) {
  const std::string folder = CopyFullProject();
  OpenThroughCommand(folder);
  for (const std::string& file : kFixtureFiles) fs::remove(folder + "/" + file);
  fs::remove(folder + "/页面1.ovpg");
  Project().modified = true;
  const auto page1 = AddOpenPage("页面1");
  const auto page2 = AddOpenPage("页面2");
  page2->modified = false;

  ASSERT_TRUE(DoSaveProject(Owner()));

  for (const std::string& file : kFixtureFiles) EXPECT_TRUE(Exists(folder + "/" + file)) << file;
  EXPECT_TRUE(Exists(folder + "/页面1.ovpg"));
  EXPECT_TRUE(Exists(folder + "/页面2.ovpg"));
  EXPECT_FALSE(Project().modified);
  EXPECT_FALSE(AnyPageModified());
  EXPECT_TRUE(fileDialogs.folderRequests.empty());

  // What was written opens again as the same project.
  ResetProject();
  OpenThroughCommand(folder);
  EXPECT_EQ(Project().pageNames, (Strings{"页面1", "页面2", "报警"}));
  EXPECT_EQ(Project().homePage, "页面2");
  EXPECT_EQ(Project().width, 800.0f);
  EXPECT_EQ(ChannelNames(), (Strings{"S1", "E0", "E1", "S2"}));
  EXPECT_EQ(Alarms().GetSegments().size(), 3u);
  EXPECT_EQ(Project().events.size(), 2u);
  EXPECT_EQ(GetUserList(), kFixtureUsers);
}

TEST_F(ProjectCommandsTest, ASaveWithAFailingPageSavesTheOthersAndStaysModified) {
  const std::string folder = CopyFullProject();
  OpenThroughCommand(folder);
  Project().modified = true;
  // Its file name is taken by a folder.
  fs::create_directory(folder + "/页面2.ovpg");
  const auto failing = AddOpenPage("页面2");
  const auto page = AddOpenPage("报警");
  fs::remove(folder + "/报警.ovpg");

  EXPECT_FALSE(DoSaveProject(Owner()));

  EXPECT_TRUE(Project().modified);
  EXPECT_TRUE(failing->modified);
  // Tried even after the first failed.
  EXPECT_TRUE(Exists(folder + "/报警.ovpg"));
  EXPECT_FALSE(page->modified);
}

// The pages come first, the main file last: a project file that fails keeps
// the main file as it was, and the project modified.
TEST_F(ProjectCommandsTest, ASaveWhoseProjectFilesFailWritesThePagesButNotTheMainFile) {
  const std::string folder = CopyFullProject();
  OpenThroughCommand(folder);
  Project().modified = true;
  Project().homePage = "报警";
  const std::string main = ReadFileText(folder + "/main_.ql");
  const auto page = AddOpenPage("报警");
  fs::remove(folder + "/报警.ovpg");
  fs::remove(folder + "/events");
  fs::create_directory(folder + "/events");

  EXPECT_FALSE(DoSaveProject(Owner()));

  EXPECT_TRUE(Project().modified);
  EXPECT_FALSE(page->modified);
  EXPECT_TRUE(Exists(folder + "/报警.ovpg"));
  EXPECT_EQ(ReadFileText(folder + "/main_.ql"), main);
  EXPECT_EQ(Project().directory, folder);
}

TEST_F(ProjectCommandsTest, SaveAsIntoAnotherFolderTakesEveryPageFileAlong) {
  const std::string folder = CopyFullProject();
  OpenThroughCommand(folder);
  WriteFileText(folder + "/页面1.ovpg", "old page 1");
  const auto page = AddOpenPage("报警");
  const std::string target = Folder("copy");
  WriteFileText(target + "/页面1.ovpg", "to be replaced");
  fileDialogs.folders.push_back(target + "/");

  ASSERT_TRUE(DoSaveProjectAs(Owner()));

  EXPECT_EQ(Project().directory, target);
  // Listed pages are copied as they are, open pages saved from the editor;
  // a page without a file is written as it opens, empty.
  EXPECT_EQ(ReadFileText(target + "/页面1.ovpg"), "old page 1");
  EXPECT_NE(ReadFileText(target + "/报警.ovpg"), kPageText);
  std::shared_ptr<NsQlUiElem::QlPageData> empty;
  ASSERT_TRUE(LoadPageFile(target, "页面2", PageLoadHooks{}, empty));
  EXPECT_TRUE(empty->elements.empty());
  for (const std::string& file : kFixtureFiles) EXPECT_TRUE(Exists(target + "/" + file)) << file;
  EXPECT_FALSE(page->modified);
  EXPECT_FALSE(Project().modified);
  // The old folder keeps its files.
  EXPECT_EQ(ReadFileText(folder + "/页面1.ovpg"), "old page 1");
  EXPECT_EQ(ReadFileText(folder + "/报警.ovpg"), kPageText);
}

TEST_F(ProjectCommandsTest, SaveAsIntoTheSameFolderHoweverNamedCopiesNoPageOntoItself) {
  const std::string folder = CopyFullProject();
  fs::create_directory_symlink(folder, temp_ / "link");
  OpenThroughCommand(folder);
  WriteFileText(folder + "/页面1.ovpg", "page 1 as saved");

  for (const std::string& same : {folder, folder + "/", "  " + folder + " ", temp_ / "link"}) {
    SCOPED_TRACE(same);
    Project().modified = true;
    fileDialogs.folders.push_back(same);
    ASSERT_TRUE(DoSaveProjectAs(Owner()));
    EXPECT_EQ(ReadFileText(folder + "/页面1.ovpg"), "page 1 as saved");
    EXPECT_EQ(ReadFileText(folder + "/报警.ovpg"), kPageText);
    EXPECT_FALSE(Project().modified);
  }
}

TEST_F(ProjectCommandsTest, AFailedSaveAsKeepsTheProjectInItsFolder) {
  const std::string folder = CopyFullProject();
  OpenThroughCommand(folder);
  const auto page = AddOpenPage("报警");
  Project().modified = true;

  // Cancelled.
  EXPECT_FALSE(DoSaveProjectAs(Owner()));
  // A folder that does not exist.
  fileDialogs.folders.push_back(temp_ / "missing");
  EXPECT_FALSE(DoSaveProjectAs(Owner()));
  EXPECT_FALSE(fs::exists(temp_ / "missing"));
  // A project file that cannot be written there.
  const std::string blocked = Folder("blocked");
  fs::create_directory(blocked + "/main_.ql");
  fs::create_directory(blocked + "/main_.ql/x");
  fileDialogs.folders.push_back(blocked);
  EXPECT_FALSE(DoSaveProjectAs(Owner()));
  // Each failure said so; the cancel did not.
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[0].text.rfind("以下文件保存失败:\n" + (temp_ / "missing/页面1.ovpg: ") +
                                          std::strerror(ENOENT) + "\n",
                                      0),
            0u);
  EXPECT_EQ(boxes.shown[1],
            (ShownMessage{Owner(), "以下文件保存失败:\n" + blocked + "/main_.ql: " + std::strerror(EISDIR),
                          "提示", MessageIcon::Error}));

  EXPECT_EQ(Project().directory, folder);
  EXPECT_TRUE(Project().modified);
  EXPECT_TRUE(page->modified);
  // No project, or no folder.
  EXPECT_FALSE(SaveProjectTo(" "));
  ResetProject();
  EXPECT_FALSE(SaveProjectTo(Folder("closed")));
  EXPECT_FALSE(Exists(temp_ / "closed/main_.ql"));
}

// A save that cannot write a file says which and why in one box over the
// window it was asked from, and keeps every modified flag: each project file,
// an open page and a picture replaced by a folder, a full disk, a folder
// that cannot be written, and Save As into folders that cannot take a file.
TEST_F(ProjectCommandsTest, AFailedSaveNamesEveryFileItCouldNotWriteInOneBox) {
  enum Blocker { kNone, kFullDisk, kUnprivileged };
  struct Case {
    const char* name;
    std::function<void(const std::string& folder)> spoil;
    // Save As into this folder (under the temporary folder); Save when empty.
    std::string saveAsInto;
    Blocker blocker;
    // Files, relative to the folder saved into, that must be named, in the
    // order the save meets them.
    Strings failing;
    int error;
    // The pages whose files a Save As could not take along, named after them.
    const char* notCopied = nullptr;
    // The picture copy fails in its own way: its folder could not be made.
    int pictureError = 0;
  };
  const auto byFolder = [](const std::string& file) {
    return [file](const std::string& folder) {
      fs::remove(folder + "/" + file);
      fs::create_directories(folder + "/" + file + "/kept");
    };
  };
  const auto none = [](const std::string&) {};
  // Every file of the save: the pages first ("页面2", never saved, written
  // empty; "报警" open, with its picture), the main file never, as the rest
  // is not on disk.
  const auto everyFile = [](bool page1) {
    Strings files;
    if (page1) files.push_back("页面1.ovpg");
    for (const char* file : {"页面2.ovpg", "images/photo.png", "报警.ovpg", "com_chns", "acq_db", "alarm_config",
                             "users_config", "events"})
      files.push_back(file);
    return files;
  };
  std::vector<Case> cases;
  for (const std::string& file : kFixtureFiles)
    cases.push_back({"project file a folder", byFolder(file), "", kNone, {file}, EISDIR});
  cases.push_back({"open page a folder", byFolder("报警.ovpg"), "", kNone, {"报警.ovpg"}, EISDIR});
  cases.push_back({"picture copy a folder", byFolder("images/photo.png"), "", kNone, {"images/photo.png"}, EISDIR});
  cases.push_back({"full disk", none, "", kFullDisk, everyFile(false), EFBIG});
  cases.push_back({"folder that cannot be written", [](const std::string& folder) { fs::permissions(folder, fs::perms(0555)); },
                   "", kUnprivileged, everyFile(false), EACCES, nullptr, ENOENT});
  cases.push_back({"save as into a folder that cannot be written", none, "locked", kUnprivileged, everyFile(true),
                   EACCES, "页面1, 页面2, 报警", ENOENT});
  cases.push_back({"save as under a regular file", none, "plain/sub", kNone, everyFile(true), ENOTDIR,
                   "页面1, 页面2, 报警"});

  // "nobody" may pass through to the project folders.
  fs::permissions(temp_.Path(), fs::perms(0755));
  const std::string pictures = Folder("pictures");
  WriteFileText(pictures + "/photo.png", "not really a picture");
  WriteFileText(temp_ / "plain", "a file");
  fs::permissions(Folder("locked"), fs::perms(0555));

  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.name + (" " + c.failing.front()));
    const std::string folder = CopyFullProject("case" + std::to_string(i));
    WriteFileText(folder + "/报警.ovpg",
                  R"({"rect":{"left":0.0,"top":0.0,"right":640.0,"bottom":480.0},"bk-color":16316664,)"
                  R"("access-permission":0,"elements":[{"type":"Picture","rect":{"left":10.0,"top":10.0,)"
                  R"("right":50.0,"bottom":50.0},"image-style":0,"image-file-path":")" +
                      pictures + R"(/photo.png"}]})");
    OpenThroughCommand(folder);
    std::shared_ptr<QlEPage> page;
    ASSERT_TRUE(LoadPageForEdit(Owner(), "报警", page));
    page->modified = true;
    Project().openPages.push_back(page);
    Project().modified = true;
    const std::string beforeMain = ReadFileText(folder + "/main_.ql");
    c.spoil(folder);
    boxes.shown.clear();

    bool saved = true;
    {
      std::optional<FileSizeLimit> fullDisk;
      std::optional<UnprivilegedUser> nobody;
      if (c.blocker == kFullDisk) {
        fullDisk.emplace(1);
        ASSERT_TRUE(fullDisk->Active());
      }
      if (c.blocker == kUnprivileged) {
        nobody.emplace();
        if (!nobody->Active()) {
          nobody.reset();
          fs::permissions(folder, fs::perms(0755));
          GTEST_SKIP() << "root cannot act as nobody here";
        }
      }
      if (c.saveAsInto.empty()) {
        saved = DoSaveProject(Owner());
      } else {
        fileDialogs.folders.push_back(temp_ / c.saveAsInto);
        saved = DoSaveProjectAs(Owner());
      }
    }
    fs::permissions(folder, fs::perms(0755));

    EXPECT_FALSE(saved);
    const std::string into = c.saveAsInto.empty() ? folder : temp_ / c.saveAsInto;
    std::string text = "以下文件保存失败:";
    bool pageFailed = false;
    for (const std::string& file : c.failing) {
      const bool picture = file == "images/photo.png";
      text += "\n" + into + "/" + file + ": " + std::strerror(picture && c.pictureError != 0 ? c.pictureError : c.error);
      pageFailed = pageFailed || picture || file == "报警.ovpg";
    }
    if (c.notCopied != nullptr) text += std::string("\n以下页面文件未能复制到新文件夹: ") + c.notCopied;
    EXPECT_EQ(boxes.shown, (std::vector<ShownMessage>{{Owner(), text, "提示", MessageIcon::Error}}));
    EXPECT_TRUE(Project().modified);
    // A page written where the project stays is no longer owed.
    EXPECT_EQ(page->modified, pageFailed || !c.saveAsInto.empty());
    EXPECT_EQ(Project().directory, folder);
    // A file that could not be replaced is left whole.
    if (c.blocker != kNone) {
      EXPECT_EQ(ReadFileText(folder + "/main_.ql"), beforeMain);
    }
    ResetProject();
  }
}

// The whole road.

TEST_F(ProjectCommandsTest, ANewProjectSavedClosedAndOpenedAgainIsTheSameProject) {
  const std::string folder = Folder("road");
  newDialog.steps.push_back(NewProjectDialog::Fields{"road", temp_ / "not yet", 320, 240});
  pageViews.openEditors = true;
  DoNewProject(Owner());
  ASSERT_TRUE(Project().open);
  fileDialogs.folders.push_back(folder);

  ASSERT_TRUE(DoSaveProject(Owner()));
  EXPECT_EQ(Project().directory, folder);
  Project().openPages.clear();
  EXPECT_EQ(DoCloseProject(Owner()), kProjectClosed);
  EXPECT_TRUE(questions.asked.empty());

  fileDialogs.files.push_back(folder + "/main_.ql");
  ASSERT_TRUE(DoOpenProject(Owner()));
  EXPECT_EQ(Project().pageNames, Strings{"页面1"});
  EXPECT_EQ(Project().homePage, "页面1");
  EXPECT_EQ(Project().width, 320.0f);
  EXPECT_EQ(Project().height, 240.0f);
  EXPECT_EQ(ChannelNames(), (Strings{"S1", "S2", "E0", "E1"}));
  EXPECT_TRUE(Exists(folder + "/页面1.ovpg"));
  EXPECT_EQ(projectLog.What(), (Strings{"created", "closing", "opened"}));
}


// Hostile project folders.

// Watches FIFOs made by a test. Should anything still wait on one to open it
// for reading after the deadline, the watch opens it for writing, which lets
// the reader go on, and records it: the test fails instead of hanging.
class FifoWatch {
 public:
  explicit FifoWatch(std::chrono::seconds deadline)
      : thread_([this, deadline] { Watch(deadline); }) {}
  ~FifoWatch() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }

  void Make(const std::string& path) {
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << path;
    std::lock_guard<std::mutex> lock(mutex_);
    paths_.push_back(path);
  }

  Strings Rescued() {
    std::lock_guard<std::mutex> lock(mutex_);
    return rescued_;
  }

 private:
  void Watch(std::chrono::seconds deadline) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (wake_.wait_for(lock, deadline, [this] { return stop_; })) return;
    while (!stop_) {
      for (const std::string& path : paths_) {
        // Succeeds only while a reader has the FIFO open or waits for it.
        const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        ::close(fd);
        rescued_.push_back(path);
      }
      wake_.wait_for(lock, std::chrono::milliseconds(50), [this] { return stop_; });
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  Strings paths_;
  Strings rescued_;
  std::thread thread_;
};

// One users-file record, scrambled as the file stores it.
std::string ScrambledUserRecord(std::string plain) {
  static const uint8_t key[3] = {0x3C, 0xA1, 0x5E};
  plain.resize(80, '\0');
  const std::string reversed(plain.rbegin(), plain.rend());
  std::string out(80, '\0');
  for (std::size_t b = 0; b < 80; b += 8)
    for (std::size_t j = 0; j < 8; ++j)
      out[b + j] = static_cast<char>(static_cast<uint8_t>(reversed[b + (j + 5) % 8]) ^ key[2 - j % 3]);
  return out;
}

struct HostileCase {
  const char* name;
  // Spoils the copy of the fixture project in folder; pictures go to pictures.
  std::function<void(const std::string& folder, const std::string& pictures, FifoWatch& fifos)> spoil;
  bool opens;
  std::size_t users;       // after the open
  std::string brokenPage;  // whose file is no regular file, or ""
  bool saves;              // save and save as
  // A users file that a Save As cannot carry along fails it with this error.
  int carryError = 0;
};

void Prepend(const std::string& path, const std::string& bytes) {
  const std::string text = ReadFileText(path);
  ASSERT_FALSE(text.empty()) << path;
  WriteFileText(path, bytes + text);
}

// A page holding one picture element whose file is pictures/photo.png.
void PicturePage(const std::string& folder, const std::string& pictures, FifoWatch& fifos) {
  fifos.Make(pictures + "/photo.png");
  WriteFileText(folder + "/报警.ovpg",
                R"({"rect":{"left":0.0,"top":0.0,"right":640.0,"bottom":480.0},"bk-color":16316664,)"
                R"("access-permission":0,"elements":[{"type":"Picture","rect":{"left":10.0,"top":10.0,)"
                R"("right":50.0,"bottom":50.0},"image-style":0,"image-file-path":")" +
                    pictures + R"(/photo.png"}]})");
}

// Each folder goes through open, opening its pages for editing, the error
// check, save and save as. Nothing may abort or hang; the first row, the
// untouched fixture, gives the report the others are compared with.
TEST_F(ProjectCommandsTest, HostileFoldersOpenSaveAndCheckSoundly) {
  const auto none = [](const std::string&, const std::string&, FifoWatch&) {};
  const std::vector<HostileCase> cases = {
      {"untouched", none, true, 4, "", true},
      {"white space before the main file's root",
       [](const std::string& f, const std::string&, FifoWatch&) { Prepend(f + "/main_.ql", " \r\n\t"); },
       true, 4, "", true},
      {"page file a folder",
       [](const std::string& f, const std::string&, FifoWatch&) {
         fs::remove(f + "/页面1.ovpg");
         fs::create_directory(f + "/页面1.ovpg");
       },
       true, 4, "页面1", true},
      {"page file a FIFO",
       [](const std::string& f, const std::string&, FifoWatch& fifos) {
         fs::remove(f + "/页面1.ovpg");
         fifos.Make(f + "/页面1.ovpg");
       },
       true, 4, "页面1", true},
      {"page file a dangling link",
       [](const std::string& f, const std::string&, FifoWatch&) {
         fs::remove(f + "/页面1.ovpg");
         fs::create_symlink(f + "/gone.ovpg", f + "/页面1.ovpg");
       },
       true, 4, "页面1", true},
      {"users file a FIFO",
       [](const std::string& f, const std::string&, FifoWatch& fifos) {
         fs::remove(f + "/users_config");
         fifos.Make(f + "/users_config");
       },
       true, 0, "", true, EINVAL},
      {"picture a FIFO", PicturePage, true, 4, "", true},
      {"byte-order mark before the main file",
       [](const std::string& f, const std::string&, FifoWatch&) { Prepend(f + "/main_.ql", "\xEF\xBB\xBF"); },
       false, 0, "", false},
      {"lone 0xEF before the main file",
       [](const std::string& f, const std::string&, FifoWatch&) { Prepend(f + "/main_.ql", "\xEF"); },
       false, 0, "", false},
      {"lone 0xBB before the main file",
       [](const std::string& f, const std::string&, FifoWatch&) { Prepend(f + "/main_.ql", "\xBB"); },
       false, 0, "", false},
      {"lone 0xBF before the main file",
       [](const std::string& f, const std::string&, FifoWatch&) { Prepend(f + "/main_.ql", "\xBF"); },
       false, 0, "", false},
      {"byte-order mark before the channels file",
       [](const std::string& f, const std::string&, FifoWatch&) { Prepend(f + "/com_chns", "\xEF\xBB\xBF"); },
       false, 0, "", false},
      // Read whole, and written back whole: the level keeps the three
      // digits left in the record.
      {"67-byte user record next to good ones",
       [](const std::string& f, const std::string&, FifoWatch&) {
         const std::string good = ReadFileText(f + "/users_config");
         ASSERT_EQ(good.size(), 320u);
         WriteFileText(f + "/users_config",
                       good.substr(0, 80) +
                           ScrambledUserRecord("00040" + std::string(40, 'n') + "00027" +
                                               std::string(27, 'p') + "002") +
                           good.substr(80));
       },
       true, 5, "", true},
  };

  Strings baseline;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const HostileCase& c = cases[i];
    SCOPED_TRACE(c.name);
    FifoWatch fifos(std::chrono::seconds(20));
    {
      const std::string folder = CopyFullProject("case" + std::to_string(i));
      const std::string pictures = Folder("pictures" + std::to_string(i));
      c.spoil(folder, pictures, fifos);
      const std::string usersBefore = c.saves ? std::string() : ReadFileText(folder + "/users_config");
      boxes.shown.clear();

      fileDialogs.files.push_back(folder + "/main_.ql");
      ASSERT_EQ(DoOpenProject(Owner()), c.opens);
      RecordingListBox report;
      if (!c.opens) {
        EXPECT_EQ(boxes.shown,
                  (std::vector<ShownMessage>{{Owner(), "打开工程操作失败.", "提示", MessageIcon::Error}}));
        EXPECT_FALSE(Project().open);
        EXPECT_FALSE(DoSaveProject(Owner()));  // the folder browser is cancelled
        EXPECT_FALSE(UiErrList::Instance().RunCheck(report));
        EXPECT_EQ(std::count(report.lines.begin(), report.lines.end(), ">---------页面1----------"), 0);
        continue;
      }
      EXPECT_EQ(GetUserList().size(), c.users);

      std::shared_ptr<QlEPage> page1;
      EXPECT_EQ(LoadPageForEdit(Owner(), "页面1", page1), c.brokenPage != "页面1");
      std::shared_ptr<QlEPage> alarmPage;
      ASSERT_TRUE(LoadPageForEdit(Owner(), "报警", alarmPage));
      alarmPage->modified = true;
      Project().openPages.push_back(alarmPage);

      UiErrList::Instance().RunCheck(report);
      if (baseline.empty()) {
        baseline = report.lines;
      } else {
        Strings expected = baseline;
        if (!c.brokenPage.empty()) {
          const auto header = std::find(expected.begin(), expected.end(), ">---------" + c.brokenPage + "----------");
          ASSERT_NE(header, expected.end());
          expected.insert(header + 1, "导入 " + c.brokenPage + " 失败.");
          expected.back() = "----------检测失败--------";
        }
        EXPECT_EQ(report.lines, expected);
      }

      boxes.shown.clear();
      EXPECT_EQ(DoSaveProject(Owner()), c.saves);
      if (!c.saves) {
        EXPECT_EQ(ReadFileText(folder + "/users_config"), usersBefore);
      }

      const std::string moved = Folder("moved" + std::to_string(i));
      fileDialogs.folders.push_back(moved);
      // A page that cannot go along keeps the project where it is.
      const bool savedAs = c.saves && c.carryError == 0 && c.brokenPage.empty();
      EXPECT_EQ(DoSaveProjectAs(Owner()), savedAs);
      EXPECT_EQ(Project().directory, savedAs ? moved : folder);
      // The save before has cleared the flags; a failed Save As leaves the
      // project modified.
      EXPECT_EQ(Project().modified || alarmPage->modified, !savedAs);
      if (c.saves && !c.brokenPage.empty()) {
        EXPECT_EQ(boxes.shown, (std::vector<ShownMessage>{{Owner(), "以下页面文件未能复制到新文件夹: " + c.brokenPage,
                                                           "提示", MessageIcon::Error}}));
        EXPECT_FALSE(Exists(moved + "/main_.ql"));
      }
      if (c.carryError != 0) {
        // The users file the project keeps as it is cannot go along.
        EXPECT_EQ(boxes.shown, (std::vector<ShownMessage>{
                                   {Owner(),
                                    "以下文件保存失败:\n" + folder + "/users_config: " + std::strerror(c.carryError),
                                    "提示", MessageIcon::Error}}));
        EXPECT_FALSE(Exists(moved + "/users_config"));
      }
      if (savedAs) {
        for (const std::string& file : kFixtureFiles) EXPECT_TRUE(Exists(moved + "/" + file)) << file;
        EXPECT_TRUE(Exists(moved + "/报警.ovpg"));
        // Every user read went along.
        const std::vector<QlUser> users = GetUserList();
        UsersFilePath = moved + "/users_config";
        LoadUsers();
        EXPECT_EQ(GetUserList(), users);
        EXPECT_TRUE(Exists(moved + "/页面1.ovpg"));
        EXPECT_TRUE(boxes.shown.empty());
      }
      // A FIFO is never copied as a picture.
      EXPECT_FALSE(Exists(folder + "/images/photo.png"));
      EXPECT_FALSE(Exists(moved + "/images/photo.png"));
      ResetProject();
    }
    EXPECT_EQ(fifos.Rescued(), Strings{});
  }
}

// Save As names in one box every page whose file it could not take along,
// the file of an open page it could not write as well, and leaves the
// project where it was: the other folder gets no main file listing pages it
// does not hold.
TEST_F(ProjectCommandsTest, SaveAsNamesEveryPageItCouldNotCopyInOneMessage) {
  const std::string folder = CopyFullProject();
  OpenThroughCommand(folder);
  fs::remove(folder + "/页面1.ovpg");
  fs::create_directory(folder + "/页面1.ovpg");
  fs::create_symlink(folder + "/gone", folder + "/页面2.ovpg");
  fs::remove(folder + "/报警.ovpg");
  fs::create_directory(folder + "/报警.ovpg");
  const auto alarmPage = AddOpenPage("报警");
  alarmPage->modified = false;

  const std::string moved = Folder("moved");
  fileDialogs.folders.push_back(moved);
  EXPECT_FALSE(DoSaveProjectAs(Owner()));
  EXPECT_EQ(boxes.shown, (std::vector<ShownMessage>{{Owner(), "以下页面文件未能复制到新文件夹: 页面1, 页面2",
                                                     "提示", MessageIcon::Error}}));
  EXPECT_EQ(Project().directory, folder);
  EXPECT_TRUE(Project().modified);
  EXPECT_FALSE(alarmPage->modified);
  // No page lands there without the main file that lists it.
  EXPECT_FALSE(Exists(moved + "/报警.ovpg"));
  EXPECT_FALSE(Exists(moved + "/页面1.ovpg"));
  EXPECT_FALSE(Exists(moved + "/页面2.ovpg"));
  EXPECT_FALSE(Exists(moved + "/main_.ql"));
  // The old folder is left as it was.
  EXPECT_TRUE(fs::is_directory(folder + "/页面1.ovpg"));

  // Once the pages can be read, the same Save As completes.
  fs::remove(folder + "/页面1.ovpg");
  WriteFileText(folder + "/页面1.ovpg", kPageText);
  fs::remove(folder + "/页面2.ovpg");
  WriteFileText(folder + "/页面2.ovpg", kPageText);
  boxes.shown.clear();
  fileDialogs.folders.push_back(moved);
  EXPECT_TRUE(DoSaveProjectAs(Owner()));
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(Project().directory, moved);
  EXPECT_EQ(ReadFileText(moved + "/页面1.ovpg"), kPageText);
  EXPECT_EQ(ReadFileText(moved + "/页面2.ovpg"), kPageText);
  EXPECT_TRUE(Exists(moved + "/main_.ql"));
}

// A Save As whose open page could not be written says in its one box the
// file not written and the pages the new folder lacks; the project stays,
// its page still modified.
TEST_F(ProjectCommandsTest, AFailedPageOfASaveAsSharesItsBoxWithThePagesNotCopied) {
  const std::string folder = CopyFullProject();
  OpenThroughCommand(folder);
  fs::remove(folder + "/页面1.ovpg");
  fs::create_directory(folder + "/页面1.ovpg");
  const auto alarmPage = AddOpenPage("报警");
  const std::string moved = Folder("moved");
  fs::create_directories(moved + "/报警.ovpg/kept");

  fileDialogs.folders.push_back(moved);
  EXPECT_FALSE(DoSaveProjectAs(Owner()));

  EXPECT_EQ(boxes.shown, (std::vector<ShownMessage>{
                             {Owner(),
                              "以下文件保存失败:\n" + moved + "/报警.ovpg: " + std::strerror(EISDIR) +
                                  "\n以下页面文件未能复制到新文件夹: 页面1, 报警",
                              "提示", MessageIcon::Error}}));
  EXPECT_EQ(Project().directory, folder);
  EXPECT_TRUE(alarmPage->modified);
  EXPECT_FALSE(Exists(moved + "/main_.ql"));
}

// A killed save leaves its temporary file; the next open or save of the
// folder removes those whose process is gone, and no others.
TEST_F(ProjectCommandsTest, OpenAndSaveRemoveTheTemporariesOfSavesThatDied) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) ::_exit(0);
  ASSERT_EQ(::waitpid(child, nullptr, 0), child);
  const std::string dead = std::to_string(child);
  const std::string own = std::to_string(::getpid());

  const std::string folder = CopyFullProject();
  const Strings removed = {".ovrin-save-" + dead + "-0.tmp", ".ovrin-save-" + dead + "-41.tmp"};
  const Strings kept = {".ovrin-save-" + own + "-9999999.tmp", ".ovrin-save-" + dead + "-x.tmp",
                        ".ovrin-save-" + dead + ".tmp", "ovrin-save-" + dead + "-1.tmp"};
  for (const std::string& name : removed) WriteFileText(folder + "/" + name, "half");
  for (const std::string& name : kept) WriteFileText(folder + "/" + name, "keep");
  fs::create_directory(folder + "/.ovrin-save-" + dead + "-7.tmp");  // not a file of ours

  OpenThroughCommand(folder);
  for (const std::string& name : removed) EXPECT_FALSE(Exists(folder + "/" + name)) << name;
  for (const std::string& name : kept) EXPECT_TRUE(Exists(folder + "/" + name)) << name;
  EXPECT_TRUE(fs::is_directory(folder + "/.ovrin-save-" + dead + "-7.tmp"));

  // The pictures folder too, on save.
  Folder("full/images");
  WriteFileText(folder + "/images/.ovrin-save-" + dead + "-3.tmp", "half");
  WriteFileText(folder + "/.ovrin-save-" + dead + "-5.tmp", "half");
  ASSERT_TRUE(DoSaveProject(Owner()));
  EXPECT_FALSE(Exists(folder + "/images/.ovrin-save-" + dead + "-3.tmp"));
  EXPECT_FALSE(Exists(folder + "/.ovrin-save-" + dead + "-5.tmp"));
  for (const std::string& name : kept) EXPECT_TRUE(Exists(folder + "/" + name)) << name;
}

}  // namespace
}  // namespace NsOvrin::Testing
