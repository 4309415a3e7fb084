// A whole project folder: loaded into the channel database, the alarm
// manager, the user list and the record in its fixed order, stopping at the
// first file that fails; saved as six files byte for byte, every writer run
// even after one failed.
#include <arpa/inet.h>
#include <cerrno>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ProjectFilesFixture.h"
#include "events/QlBitVarEvent.h"
#include "platform/AtomicFile.h"
#include "project/UsersFile.h"
#include "project_base/QlUser.h"
#include "project_persistence/ProjectLoadSave.h"

namespace NsOvrin::Testing {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

constexpr const char* kFull = "project_full";
constexpr const char* kFullExpected = "project_full_expected";
constexpr const char* kMainFile = "main_.ql";
const Strings kSixFiles = {kMainFile, "com_chns", "acq_db", "alarm_config", "users_config", "events"};

const std::vector<QlUser> kFixtureUsers = {
    {"操作员", "", 1}, {"工程师", "1234", 2}, {"admin", "p@ss w", 99}, {"设备厂商", "秘密", 100}};
// Stands for whatever the user list held before the load.
const std::vector<QlUser> kSentinelUsers = {{"before", "", 1}};

class ProjectLoadSave : public ProjectFilesFixture {
 protected:
  void SetUp() override {
    ProjectFilesFixture::SetUp();
    savedUsersPath_ = UsersFilePath;
    GetUserList() = kSentinelUsers;
  }
  void TearDown() override {
    UsersFilePath = savedUsersPath_;
    UnreadUsersFilePath.clear();
    GetUserList().clear();
    ProjectFilesFixture::TearDown();
  }

  // The fixture project copied into folder, to be changed there.
  static void CopyFullProject(const std::string& folder) {
    for (const std::string& file : kSixFiles)
      fs::copy_file(Data(kFull, file), folder + "/" + file, fs::copy_options::overwrite_existing);
  }

  static std::vector<std::shared_ptr<NsTermination::Node>> AllNodes() {
    std::vector<std::shared_ptr<NsTermination::Node>> nodes;
    for (const auto& channel : Db().GetChannels())
      for (const auto& node : channel->GetNodeList()) nodes.push_back(node);
    return nodes;
  }

  static std::size_t TaskCount() {
    std::size_t count = 0;
    for (const auto& node : AllNodes()) count += node->GetTasks().size();
    return count;
  }

  static std::size_t EntriesIn(const std::string& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++count;
    return count;
  }

  static void ExpectFixtureRecord(const QlProjectData& record) {
    EXPECT_EQ(record.width, 800.0f);
    EXPECT_EQ(record.height, 600.0f);
    EXPECT_EQ(record.homePage, "页面2");
    EXPECT_EQ(record.serverAddress, inet_addr("192.168.1.100"));
    EXPECT_EQ(record.pageNames, (Strings{"页面1", "页面2", "报警"}));
    ASSERT_EQ(record.events.size(), 2u);
    ASSERT_NE(dynamic_cast<NsQlEvent::QlBitVarEvent*>(record.events[0].get()), nullptr);
    EXPECT_EQ(record.events[0]->GetAddress(), "PLC1.0x1");
    EXPECT_EQ(record.events[0]->GetFunctionTextsConst(0), Strings{"SET PLC1.0x2"});
    EXPECT_EQ(record.events[0]->GetFunctionTextsConst(2), Strings{"短消息 \"on\""});
    EXPECT_EQ(record.events[1]->GetAddress(), "FX1.X0");
    EXPECT_EQ(record.events[1]->GetFunctionTextsConst(1),
              (Strings{"RST FX1.Y0", "页面跳到 \"页面2\""}));
  }

  std::string savedUsersPath_;
};

TEST_F(ProjectLoadSave, LoadFillsTheLiveObjectsAndTheRecord) {
  QlProjectData record;
  ASSERT_TRUE(LoadProjectFiles(Data(kFull, kMainFile), record));

  EXPECT_EQ(record.directory, TestDataPath(kFull));
  ExpectFixtureRecord(record);

  // Channels and devices.
  Strings channels;
  for (const auto& channel : Db().GetChannels()) channels.push_back(channel->GetName());
  EXPECT_EQ(channels, (Strings{"S1", "E0", "E1", "S2"}));
  Strings nodes;
  for (const auto& node : AllNodes()) nodes.push_back(node->GetName());
  EXPECT_EQ(nodes, (Strings{"PLC1", "FX1", "TCP1", "H3U1"}));

  // Their read tasks.
  EXPECT_EQ(FindNode("PLC1")->GetTasks().size(), 2u);
  EXPECT_EQ(FindNode("FX1")->GetTasks().size(), 2u);
  EXPECT_EQ(FindNode("H3U1")->GetTasks().size(), 1u);

  // Alarm groups bound to those tasks: the alarms were read after the blocks.
  EXPECT_EQ(HistoryCapacity(), 200u);
  ASSERT_EQ(Alarms().GetSegments().size(), 3u);
  ASSERT_NE(Segment(0), nullptr);
  EXPECT_EQ(Segment(0)->GetTask(), FindTask("PLC1", "coils"));
  ASSERT_NE(Segment(1), nullptr);
  EXPECT_EQ(Segment(1)->GetTask(), FindTask("FX1", "D区"));

  // Users from the project's own users file.
  EXPECT_EQ(UsersFilePath, Data(kFull, "users_config"));
  EXPECT_EQ(GetUserList(), kFixtureUsers);

  // Nothing started.
  EXPECT_FALSE(Db().IsRunning());
  for (const auto& node : AllNodes()) EXPECT_FALSE(node->GetWorkerCtrl().IsAlive());
}

// How far a load went shows in what it left behind: each file that fails
// keeps every later one from being read.
enum class Change { kRemove, kReplace, kMakeFolder };
// kGoodRecords: the users file's good first record, its bad second one left out.
enum class Users { kUntouched, kLoaded, kEmpty, kGoodRecords };

struct LoadCase {
  const char* name;
  const char* file;
  Change change;
  const char* content;
  bool ok;
  // What was read.
  bool channels, tasks, alarms, mainFile;
  Users users;
  std::size_t events;
};

const LoadCase kLoadCases[] = {
    {"channels file missing", "com_chns", Change::kRemove, "", false,
     false, false, false, false, Users::kUntouched, 0},
    {"channels file without channels", "com_chns", Change::kReplace, R"({"channels":{}})", false,
     false, false, false, false, Users::kUntouched, 0},
    {"data-block file missing", "acq_db", Change::kRemove, "", false,
     true, false, false, false, Users::kUntouched, 0},
    {"data-block file with an array root", "acq_db", Change::kReplace, "[]", false,
     true, false, false, false, Users::kUntouched, 0},
    {"alarm file missing", "alarm_config", Change::kRemove, "", true,
     true, true, false, true, Users::kLoaded, 2},
    {"alarm file a folder", "alarm_config", Change::kMakeFolder, "", true,
     true, true, false, true, Users::kLoaded, 2},
    {"alarm file unparsable", "alarm_config", Change::kReplace, "{", false,
     true, true, false, false, Users::kUntouched, 0},
    {"main file of a later version", kMainFile, Change::kReplace, R"({"ver":101,"page-list":[]})",
     false, true, true, true, false, Users::kUntouched, 0},
    {"main file without a page list", kMainFile, Change::kReplace, R"({"ver":100})", false,
     true, true, true, false, Users::kUntouched, 0},
    {"users file missing", "users_config", Change::kRemove, "", true,
     true, true, true, true, Users::kEmpty, 2},
    {"users file damaged", "users_config", Change::kReplace, nullptr, true,
     true, true, true, true, Users::kGoodRecords, 2},
    {"events file missing", "events", Change::kRemove, "", true,
     true, true, true, true, Users::kLoaded, 0},
    {"events file a folder", "events", Change::kMakeFolder, "", true,
     true, true, true, true, Users::kLoaded, 0},
    {"events file without a list", "events", Change::kReplace, R"({"var-list":{}})", false,
     true, true, true, true, Users::kLoaded, 0},
};

TEST_F(ProjectLoadSave, LoadStopsAtTheFirstFileThatFails) {
  for (const LoadCase& c : kLoadCases) {
    SCOPED_TRACE(c.name);
    ResetRuntime();
    GetUserList() = kSentinelUsers;
    TempFolder folder;
    CopyFullProject(folder.Path());
    const std::string changed = folder / c.file;
    ASSERT_TRUE(fs::remove(changed));
    if (c.change == Change::kReplace && c.content != nullptr) {
      WriteFileText(changed, c.content);
    } else if (c.change == Change::kReplace) {
      ASSERT_TRUE(fs::copy_file(TestDataPath("users_config_bad_record"), changed));
    } else if (c.change == Change::kMakeFolder) {
      ASSERT_TRUE(fs::create_directory(changed));
    }

    QlProjectData record;
    EXPECT_EQ(LoadProjectFiles(folder / kMainFile, record), c.ok);
    EXPECT_EQ(record.directory, folder.Path());
    EXPECT_EQ(!Db().GetChannels().empty(), c.channels);
    EXPECT_EQ(TaskCount() != 0, c.tasks);
    EXPECT_EQ(!Alarms().GetSegments().empty(), c.alarms);
    EXPECT_EQ(!record.pageNames.empty(), c.mainFile);
    switch (c.users) {
      case Users::kUntouched: EXPECT_EQ(GetUserList(), kSentinelUsers); break;
      case Users::kLoaded: EXPECT_EQ(GetUserList(), kFixtureUsers); break;
      case Users::kEmpty: EXPECT_TRUE(GetUserList().empty()); break;
      case Users::kGoodRecords: EXPECT_EQ(GetUserList(), (std::vector<QlUser>{{"操作员", "", 1}})); break;
    }
    EXPECT_EQ(record.events.size(), c.events);
  }
}

// A users file that is there but cannot be read whole (no record decodes,
// only some do, or it ends inside a record) is named by the load and left exactly as it is by the saves
// into its folder until the users change; a save into another folder takes
// its bytes along.
TEST_F(ProjectLoadSave, AUsersFileNotReadWholeIsLeftAsItIsUntilTheUsersChange) {
  CopyFullProject(temp_.Path());
  const std::string users = temp_ / "users_config";
  const std::string fixture = ReadFileText(users);
  ASSERT_EQ(fixture.size(), 320u);
  // The fixture's records scrambled another way: not one decodes.
  std::string undecodable = fixture;
  for (char& c : undecodable) c = static_cast<char>(c ^ 0x40);
  // The third record damaged: three of four decode.
  std::string partly = fixture;
  for (std::size_t i = 160; i < 240; ++i) partly[i] = static_cast<char>(partly[i] ^ 0x40);
  const struct {
    const char* what;
    std::string bytes;
    std::vector<QlUser> read;
  } kCases[] = {
      {"no record decodes", undecodable, {}},
      {"one record of four damaged", partly, {kFixtureUsers[0], kFixtureUsers[1], kFixtureUsers[3]}},
      {"one good record of two", ReadFileText(TestDataPath("users_config_bad_record")), {{"操作员", "", 1}}},
      {"cut inside its fourth record", fixture.substr(0, 300), {kFixtureUsers[0], kFixtureUsers[1], kFixtureUsers[2]}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    ResetRuntime();
    UnreadUsersFilePath.clear();
    WriteFileText(users, c.bytes);

    QlProjectData record;
    ProjectLoadNotes notes;
    ASSERT_TRUE(LoadProjectFiles(temp_ / kMainFile, record, &notes));
    EXPECT_EQ(notes.unreadUsersFile, users);
    EXPECT_EQ(notes.someUsersRead, !c.read.empty());
    EXPECT_EQ(GetUserList(), c.read);

    EXPECT_TRUE(SaveProjectFiles(temp_.Path(), record));
    EXPECT_EQ(ReadFileText(users), c.bytes);
    // The same folder spelt another way is the same file.
    EXPECT_TRUE(SaveProjectFiles(temp_.Path() + "/.", record));
    EXPECT_EQ(ReadFileText(users), c.bytes);
    // Another folder gets the same bytes, not the users that were read.
    TempFolder other;
    EXPECT_TRUE(SaveProjectFiles(other.Path(), record));
    EXPECT_EQ(ReadFileText(other / "users_config"), c.bytes);
    EXPECT_EQ(ReadFileText(users), c.bytes);

    GetUserList() = kFixtureUsers;
    ChangedUsers();
    EXPECT_TRUE(SaveProjectFiles(temp_.Path(), record));
    ExpectSameFile(users, Data(kFullExpected, "users_config"));
  }

  // Read whole, nothing to tell.
  ResetRuntime();
  QlProjectData record;
  ProjectLoadNotes whole;
  ASSERT_TRUE(LoadProjectFiles(temp_ / kMainFile, record, &whole));
  EXPECT_TRUE(whole.unreadUsersFile.empty());
  EXPECT_FALSE(whole.someUsersRead);
  EXPECT_TRUE(UnreadUsersFilePath.empty());
  EXPECT_EQ(GetUserList(), kFixtureUsers);
}

// A users file that cannot be read for a save into another folder fails
// that save and is named with its reason; the folder's own saves still skip
// it.
TEST_F(ProjectLoadSave, AUsersFileThatCannotBeCarriedFailsTheSaveElsewhere) {
  CopyFullProject(temp_.Path());
  const std::string users = temp_ / "users_config";
  ASSERT_TRUE(fs::remove(users));
  ASSERT_TRUE(fs::create_directory(users));
  QlProjectData record;
  ProjectLoadNotes notes;
  ASSERT_TRUE(LoadProjectFiles(temp_ / kMainFile, record, &notes));
  ASSERT_EQ(notes.unreadUsersFile, users);

  EXPECT_TRUE(SaveProjectFiles(temp_.Path(), record));
  TempFolder other;
  NsPlatform::WriteFailureRecorder failures;
  EXPECT_FALSE(SaveProjectFiles(other.Path(), record));
  EXPECT_EQ(failures.Failures(), (std::vector<NsPlatform::WriteFailure>{{users, EISDIR}}));
  EXPECT_FALSE(fs::exists(other / "users_config"));
  EXPECT_TRUE(fs::is_regular_file(other / "events")) << "every other file is written";
}

// The main file is the one the user chose, whatever its name; the other
// files are those of its folder.
TEST_F(ProjectLoadSave, LoadReadsTheChosenMainFile) {
  CopyFullProject(temp_.Path());
  WriteFileText(temp_ / "other.ql", R"({"ver":100,"page-list":[{"name":"报警"}]})");

  QlProjectData record;
  ASSERT_TRUE(LoadProjectFiles(temp_ / "other.ql", record));
  EXPECT_EQ(record.directory, temp_.Path());
  EXPECT_EQ(record.pageNames, Strings{"报警"});
  EXPECT_EQ(record.homePage, "报警");
  EXPECT_EQ(Db().GetChannels().size(), 4u);
  EXPECT_EQ(record.events.size(), 2u);
}

TEST_F(ProjectLoadSave, LoadWithoutAUsableFolderReadsNothing) {
  const struct {
    const char* path;
    const char* directory;
  } kCases[] = {
      {"main_.ql", ""},
      {"/main_.ql", "/"},
      {"/no/such/folder/main_.ql", "/no/such/folder"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.path);
    QlProjectData record;
    EXPECT_FALSE(LoadProjectFiles(c.path, record));
    EXPECT_EQ(record.directory, c.directory);
  }

  QlProjectData record;
  record.directory = "/kept";
  EXPECT_FALSE(LoadProjectFiles("", record));
  EXPECT_EQ(record.directory, "/kept");

  EXPECT_TRUE(Db().GetChannels().empty());
  EXPECT_EQ(GetUserList(), kSentinelUsers);
}

TEST_F(ProjectLoadSave, SaveWritesEveryFileExactly) {
  QlProjectData record;
  ASSERT_TRUE(LoadProjectFiles(Data(kFull, kMainFile), record));

  ASSERT_TRUE(SaveProjectFiles(temp_.Path(), record));
  for (const std::string& file : kSixFiles) {
    SCOPED_TRACE(file);
    ExpectSameFile(temp_ / file, Data(kFullExpected, file));
  }
  EXPECT_EQ(UsersFilePath, temp_ / "users_config");
  // No temporary file left behind.
  EXPECT_EQ(EntriesIn(temp_.Path()), kSixFiles.size());
}

TEST_F(ProjectLoadSave, SavedProjectLoadsBackTheSame) {
  QlProjectData record;
  ASSERT_TRUE(LoadProjectFiles(Data(kFull, kMainFile), record));
  ASSERT_TRUE(SaveProjectFiles(temp_.Path(), record));

  ResetRuntime();
  GetUserList() = kSentinelUsers;
  QlProjectData again;
  ASSERT_TRUE(LoadProjectFiles(temp_ / kMainFile, again));
  ExpectFixtureRecord(again);
  EXPECT_EQ(GetUserList(), kFixtureUsers);

  TempFolder second;
  ASSERT_TRUE(SaveProjectFiles(second.Path(), again));
  for (const std::string& file : kSixFiles) {
    SCOPED_TRACE(file);
    ExpectSameFile(second / file, Data(kFullExpected, file));
  }
}

// A file that cannot be replaced (a folder stands at its path) fails the
// save, and every other file is still written whole; the main file, which
// opens the folder, only once all the others are on disk.
TEST_F(ProjectLoadSave, SaveWritesTheOtherFilesWhenOneFails) {
  QlProjectData record;
  ASSERT_TRUE(LoadProjectFiles(Data(kFull, kMainFile), record));

  for (const std::string& failing : kSixFiles) {
    SCOPED_TRACE(failing);
    TempFolder folder;
    ASSERT_TRUE(fs::create_directory(folder / failing));
    WriteFileText(folder / failing + "/inside", "x");

    EXPECT_FALSE(SaveProjectFiles(folder.Path(), record));
    EXPECT_TRUE(fs::is_directory(folder / failing));
    const bool mainFailed = failing == kMainFile;
    for (const std::string& file : kSixFiles) {
      if (file == failing) continue;
      SCOPED_TRACE(file);
      if (!mainFailed && file == kMainFile) {
        EXPECT_FALSE(Exists(folder / file));
        continue;
      }
      ExpectSameFile(folder / file, Data(kFullExpected, file));
    }
    EXPECT_EQ(EntriesIn(folder.Path()), kSixFiles.size() - (mainFailed ? 0 : 1));
  }
}

TEST_F(ProjectLoadSave, SaveWithoutAFolderWritesNothing) {
  GetUserList() = kFixtureUsers;
  QlProjectData record;
  record.pageNames = {"页面1"};

  // Without a folder no file is written, not even the program's own users
  // file that an empty users path would otherwise stand for.
  UsersFilePath.clear();
  const std::string programUsers = GetUsersFilePath();
  const bool existed = Exists(programUsers);
  const std::string before = existed ? ReadFileText(programUsers) : std::string();
  EXPECT_FALSE(SaveProjectFiles("", record));
  EXPECT_TRUE(UsersFilePath.empty());
  EXPECT_EQ(Exists(programUsers), existed);
  if (existed) {
    EXPECT_EQ(ReadFileText(programUsers), before);
  }

  EXPECT_FALSE(SaveProjectFiles(temp_ / "missing", record));
  EXPECT_FALSE(Exists(temp_ / "missing"));
}

}  // namespace
}  // namespace NsOvrin::Testing
