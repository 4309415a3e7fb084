// What the running editor keeps of a project it cannot use whole: a users
// file that gives no user or only some, a data block larger than one request,
// an alarm group larger than its block and one without messages are told of
// (at opening or by the error check) and come back from a save, and a Save
// As, as they were; alarm groups, channels, devices, data blocks and events
// the reading cannot reach are named at opening.
#include <fcntl.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "dialogs/KeyTyping.h"
#include "RunningEditorFixture.h"
#include "alarm/AlarmManager.h"
#include "alarm/AlarmSegCvb.h"
#include "platform/Format.h"
#include "app/COutputList.h"
#include "app/COutputWnd.h"
#include "dialogs/CDlgAlarmCfg.h"
#include "dialogs/CDlgNewAlarm.h"
#include "dialogs/CDlgUsers.h"
#include "project/UsersFile.h"
#include "project_base/QlUser.h"
#include "project_persistence/AlarmConfigFile.h"
#include "support/WriteBlockers.h"
#include "termination/ChannelManager.h"
#include "termination/Node.h"
#include "wui/CConfirmEditCtrl.h"
#include "wui/DlgItem.h"
#include "wui/ModalDriver.h"
#include "wui/OvReportCtrl.h"
#include "wui/RtConfirmEdit.h"
#include "wui/WReportCtrl.h"

namespace NsOvrin::Testing {
namespace {

using NsPlatform::StrFormat;

constexpr const char* kUsersUnread =
    "无法读取用户文件: %s\n工程中没有用户. 保存工程时此文件保持不变, 除非在用户管理中修改了用户.";
constexpr const char* kUsersPartlyRead =
    "无法完整读取用户文件: %s\n只读取了部分用户. 保存工程时此文件保持不变, 除非在用户管理中修改了用户.";
constexpr const char* kGroupsUnread = "以下警报组未能读取, 保存工程后将丢失: %s";
constexpr const char* kGroupMessage = "警报组(%s)中 警报地址异常或者不在数据列表中或长度异常.";
constexpr const char* kChannelsUnread = "以下通道及其设备未能读取, 保存工程后将丢失: %s";
constexpr const char* kDevicesUnread = "以下设备未能读取, 保存工程后将丢失: %s";
constexpr const char* kBlocksUnread = "以下数据块未能读取, 保存工程后将丢失: %s";
constexpr const char* kEventsUnread = "以下变量事件未能读取, 保存工程后将丢失: %s";
constexpr const char* kBlocksTooLarge =
    "以下数据块超过设备一次请求所能读取的长度, 设备可能拒绝如此大的请求: %s";

// The unprivileged account the permission case reads as.
constexpr uid_t kNobody = UnprivilegedUser::kNobody;

const std::vector<QlUser> kFourUsers = {
    {"操作员", "op1", kUserOperator},
    {"工程师", "eng22", kUserEngineer},
    {"管理员", "adm!333", kUserAdministrator},
    {"设备厂商", "maker_4444", kUserDeviceMaker},
};

class OpenKeeps : public RunningEditorFixture {
 protected:
  void TearDown() override {
    ::setfsuid(0);
    RunningEditorFixture::TearDown();
  }

  std::string UsersPath() const { return folder_ / "users_config"; }

  // The four users as the editor writes them: 320 bytes.
  std::string FourUsersFile() {
    GetUserList() = kFourUsers;
    UsersFilePath = folder_ / "four_users";
    EXPECT_TRUE(SaveUsers());
    const std::string bytes = ReadFileText(UsersFilePath);
    EXPECT_EQ(bytes.size(), 320u);
    return bytes;
  }

  // Closes the open project and opens it again through the File menu; the
  // message boxes that came up.
  std::vector<std::string> Reopen(uid_t readAs = 0) { return ReopenFrom(folder_.Path(), readAs); }
  std::vector<std::string> ReopenFrom(const std::string& folder, uid_t readAs = 0) {
    ui_.calls.clear();
    ui_.PushPath(GetMainFilePath(folder));
    if (readAs != 0) {
      // Everything but the users file readable by that user.
      EXPECT_EQ(::chmod(folder_.Path().c_str(), 0755), 0);
      for (const auto& entry : std::filesystem::directory_iterator(folder_.Path()))
        if (entry.is_regular_file() && entry.path() != UsersPath())
          std::filesystem::permissions(entry.path(), std::filesystem::perms(0644));
      ::setfsuid(readAs);
    }
    Trigger(ID_FILE_OPEN);
    ::setfsuid(0);
    DeleteClosed();
    EXPECT_TRUE(QlEProject::Instance().open);
    return ui_.MessageTexts();
  }

  // "保存工程" of the File menu on a modified project; the message boxes.
  std::vector<std::string> SaveThroughTheFileMenu() {
    QlEProject::Instance().modified = true;
    ui_.calls.clear();
    Trigger(ID_FILE_SAVE);
    DeleteClosed();
    return ui_.MessageTexts();
  }

  // A double click on the project tree's item with this text.
  void DoubleClickTreeText(const QString& text) {
    const QList<QTreeWidgetItem*> found =
        Tree()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(found.size(), 1) << text.toStdString();
    RunningEditorFixture::DoubleClickTreeItem(found.front());
  }

  // "权限配置" in the tree, then the password of the user in row typed and
  // confirmed with Enter in the users dialog, which is then closed.
  void ChangePasswordInTheUsersDialog(int row, const std::string& password) {
    bool typed = false;
    NsWui::WhenModal([&](QWidget* modal) {
      auto* dialog = dynamic_cast<CDlgUsers*>(modal);
      ASSERT_NE(dialog, nullptr) << modal->windowTitle().toStdString();
      NsWui::OvReportCtrl& grid = *dialog->grid;
      const QRect cell = grid.GetCellRect(row, CDlgUsers::kColPassword).ToQRect();
      QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
      auto* editor = dynamic_cast<NsWui::RtConfirmEdit*>(grid.CurrentEditor().get());
      ASSERT_NE(editor, nullptr);
      NsWui::CConfirmEditCtrl* edit = editor->Control();
      edit->selectAll();
      QTest::keyClick(edit, Qt::Key_Backspace);
      TypeText(edit, password);
      QTest::keyClick(edit, Qt::Key_Return);
      typed = true;
      dialog->close();
    });
    DoubleClickTreeText(QStringLiteral("权限配置"));
    DeleteClosed();
    EXPECT_TRUE(typed);
  }

  // The alarm dialog opened from the tree; action runs in it, then it is
  // closed.
  void InTheAlarmDialog(const std::function<void(CDlgAlarmCfg&)>& action) {
    bool ran = false;
    NsWui::WhenModal([&](QWidget* modal) {
      auto* dialog = dynamic_cast<CDlgAlarmCfg*>(modal);
      ASSERT_NE(dialog, nullptr) << modal->windowTitle().toStdString();
      action(*dialog);
      ran = true;
      dialog->close();
    });
    DoubleClickTreeText(QStringLiteral("警报配置"));
    DeleteClosed();
    EXPECT_TRUE(ran);
  }

  static void Press(QWidget& dialog, int id) {
    auto* button = qobject_cast<QPushButton*>(NsWui::GetDlgItem(&dialog, id));
    ASSERT_NE(button, nullptr) << id;
    QTest::mouseClick(button, Qt::LeftButton);
  }

  // Typed into a confirm edit as a user does, and confirmed with Enter.
  static void TypeAndConfirm(NsWui::CConfirmEditCtrl* edit, const std::string& text) {
    ASSERT_NE(edit, nullptr);
    QTest::mouseClick(edit, Qt::LeftButton);
    ASSERT_TRUE(edit->editing);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    TypeText(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
  }

  // "添加警报组" in the alarm dialog; the new group's address and count typed,
  // an empty count left as it is, and OK.
  static void AddGroupInTheDialog(CDlgAlarmCfg& dialog, const std::string& address,
                                  const std::string& count) {
    bool added = false;
    NsWui::WhenModal([&](QWidget* modal) {
      auto* adding = dynamic_cast<CDlgNewAlarm*>(modal);
      ASSERT_NE(adding, nullptr) << modal->windowTitle().toStdString();
      TypeAndConfirm(adding->addressEdit, address);
      if (!count.empty()) TypeAndConfirm(adding->countEdit, count);
      Press(*adding, CDlgNewAlarm::IDC_OK);
      added = true;
    });
    Press(dialog, CDlgAlarmCfg::IDC_ADD);
    EXPECT_TRUE(added);
  }

  // The lines of the output pane after "错误检测".
  std::vector<std::string> CheckErrors() {
    frame_->UpdateCommandUI();
    EXPECT_TRUE(frame_->OnCommand(ID_CHECK_ERRORS));
    COutputList* output = frame_->GetOutputPane()->GetOutputList();
    std::vector<std::string> lines;
    for (int i = 0; i < output->count(); ++i) lines.push_back(output->item(i)->text().toStdString());
    return lines;
  }

  static std::vector<QlUser> UsersIn(const std::string& path) {
    UsersFilePath = path;
    const std::vector<QlUser> kept = GetUserList();
    LoadUsers();
    std::vector<QlUser> read = GetUserList();
    GetUserList() = kept;
    return read;
  }
};

// A users file that is there but gives no user opens with no users and is
// told of once; a save that did not change the users leaves it exactly as it
// was, whatever it is.
TEST_F(OpenKeeps, AUsersFileThatGivesNoUserIsToldOfAndLeftAsItIs) {
  const std::string fourUsers = FourUsersFile();
  // The same records scrambled another way: not one decodes.
  std::string undecodable = fourUsers;
  for (char& c : undecodable) c = static_cast<char>(c ^ 0x40);
  struct Case {
    const char* what;
    std::function<void(const std::string&)> make;
    uid_t readAs;
  };
  const Case kCases[] = {
      {"no record decodes", [&](const std::string& p) { WriteFileText(p, undecodable); }, 0},
      {"not readable by the user",
       [&](const std::string& p) {
         WriteFileText(p, fourUsers);
         ASSERT_EQ(::chmod(p.c_str(), 0), 0);
       },
       kNobody},
      {"a folder",
       [](const std::string& p) {
         ASSERT_EQ(::mkdir(p.c_str(), 0755), 0);
         WriteFileText(p + "/inside", "kept");
       },
       0},
      {"a FIFO", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); }, 0},
      {"a link to itself",
       [](const std::string& p) { ASSERT_EQ(::symlink(p.c_str(), p.c_str()), 0); }, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(UsersPath());
    c.make(UsersPath());
    struct stat before {};
    ASSERT_EQ(::lstat(UsersPath().c_str(), &before), 0);

    EXPECT_EQ(Reopen(c.readAs),
              std::vector<std::string>{StrFormat(kUsersUnread, UsersPath().c_str())});
    EXPECT_TRUE(GetUserList().empty());

    EXPECT_TRUE(SaveThroughTheFileMenu().empty());
    EXPECT_FALSE(QlEProject::Instance().modified) << "the save succeeded";
    struct stat after {};
    ASSERT_EQ(::lstat(UsersPath().c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "the same entry, not one written over it";
    EXPECT_EQ(after.st_mode, before.st_mode);
    if (S_ISREG(before.st_mode)) {
      ::chmod(UsersPath().c_str(), 0600);
      EXPECT_EQ(ReadFileText(UsersPath()), c.readAs != 0 ? fourUsers : undecodable);
    }
    // A second open tells it again: the file is still what it was.
    ::chmod(UsersPath().c_str(), before.st_mode & 07777);
    EXPECT_EQ(Reopen(c.readAs).size(), 1u);
  }
  // A missing file is nothing to tell, and the save writes the users file.
  std::filesystem::remove_all(UsersPath());
  EXPECT_TRUE(Reopen().empty());
  EXPECT_TRUE(SaveThroughTheFileMenu().empty());
  EXPECT_TRUE(std::filesystem::is_regular_file(UsersPath()));
}

// Once a password is changed in the users dialog, the save writes the
// dialog's users over the file that could not be read.
TEST_F(OpenKeeps, AfterAPasswordChangeTheSaveWritesTheDialogsUsers) {
  std::string undecodable = FourUsersFile();
  for (char& c : undecodable) c = static_cast<char>(c ^ 0x40);
  WriteFileText(UsersPath(), undecodable);
  ASSERT_EQ(Reopen().size(), 1u);
  ASSERT_TRUE(GetUserList().empty());

  ChangePasswordInTheUsersDialog(2, "new-pw");
  EXPECT_TRUE(QlEProject::Instance().modified);
  EXPECT_TRUE(SaveThroughTheFileMenu().empty());
  EXPECT_FALSE(QlEProject::Instance().modified);

  std::vector<QlUser> expected = {{"操作员", "", kUserOperator},
                                  {"工程师", "new-pw", kUserEngineer},
                                  {"管理员", "", kUserAdministrator},
                                  {"设备厂商", "", kUserDeviceMaker}};
  EXPECT_EQ(UsersIn(UsersPath()), expected);
  // Read back whole, the file opens without a word.
  EXPECT_TRUE(Reopen().empty());
  EXPECT_EQ(GetUserList(), expected);
}

// A block larger than one request of its device's protocol carries is kept
// through open and save, and every opening names it once.
TEST_F(OpenKeeps, ABlockLargerThanOneRequestIsKeptAndNamedAtOpening) {
  auto plc = FindShared("PLC1");
  ASSERT_NE(plc, nullptr);
  AddBlock(*plc, "4x[0~499]", "big", 300);
  ASSERT_TRUE(SaveProjectTo(folder_.Path()));

  const std::vector<std::string> named = {StrFormat(kBlocksTooLarge, "PLC1.4x[00000~00499]")};
  EXPECT_EQ(Reopen(), named);
  EXPECT_TRUE(SaveThroughTheFileMenu().empty());
  const std::string stored = ReadFileText(folder_ / "acq_db");
  EXPECT_NE(
      stored.find(R"({"name":"big","address":"4x[00000~00499]","interval":300,"enable":true})"),
      std::string::npos)
      << stored;
  EXPECT_EQ(Reopen(), named);
  ASSERT_NE(FindShared("PLC1"), nullptr);
  EXPECT_NE(TaskNamed(*FindShared("PLC1"), "big"), nullptr);
}

// Forty messages on a block of 32 bits: all forty come back after open, save
// and reopen, the alarm dialog shows them, and the error check reports the
// group.
TEST_F(OpenKeeps, AnAlarmGroupLargerThanItsBlockKeepsEveryMessage) {
  auto plc = FindShared("PLC1");
  ASSERT_NE(plc, nullptr);
  AddBlock(*plc, "4x[20~21]", "two words");
  std::string list;
  std::vector<std::string> messages;
  for (int i = 0; i < 40; ++i) {
    messages.push_back(StrFormat("警报%d", i + 1));
    list += (i == 0 ? "\"" : ",\"") + messages.back() + "\"";
  }
  ASSERT_TRUE(SaveProjectTo(folder_.Path()));
  WriteFileText(folder_ / "alarm_config",
                R"({"max-number-of-alarm-hist":100,"alarm-list":[)"
                R"({"address":"PLC1.4x20","message-list":[)" +
                    list + "]}]}");

  auto groupMessages = [] {
    std::vector<std::string> texts;
    const auto segments = NsAlarm::AlarmManager::Instance().GetSegments();
    if (segments.size() != 1 || !segments[0]) return texts;
    for (std::size_t i = 0; i < segments[0]->GetCount(); ++i)
      texts.push_back(segments[0]->GetBitMessage(i));
    return texts;
  };
  EXPECT_TRUE(Reopen().empty());
  EXPECT_EQ(groupMessages(), messages);
  EXPECT_TRUE(SaveThroughTheFileMenu().empty());
  EXPECT_TRUE(Reopen().empty());
  EXPECT_EQ(groupMessages(), messages);

  int rows = -1;
  NsWui::WhenModal([&](QWidget* modal) {
    auto* dialog = dynamic_cast<CDlgAlarmCfg*>(modal);
    ASSERT_NE(dialog, nullptr) << modal->windowTitle().toStdString();
    rows = dialog->messageTable->GetRowCount();
    dialog->close();
  });
  DoubleClickTreeText(QStringLiteral("警报配置"));
  DeleteClosed();
  EXPECT_EQ(rows, 40);

  const std::vector<std::string> lines = CheckErrors();
  EXPECT_NE(std::find(lines.begin(), lines.end(), StrFormat(kGroupMessage, "PLC1.4x00020")), lines.end())
      << testing::PrintToString(lines);
}

// Groups without messages, as the alarm dialog makes them: one added with an
// address and no count, one emptied by importing an empty CSV file. Saved and
// opened again, each is there with its address, the alarm dialog lists it,
// and the error check reports it.
TEST_F(OpenKeeps, AlarmGroupsWithoutMessagesComeBackAndAreReported) {
  const std::string emptyCsv = folder_ / "empty.csv";
  WriteFileText(emptyCsv, "");
  struct Case {
    const char* what;
    std::function<void(CDlgAlarmCfg&)> make;
    const char* address;
  };
  const Case kCases[] = {
      {"added with an address and no count",
       [](CDlgAlarmCfg& dialog) { AddGroupInTheDialog(dialog, "PLC1.4x3", ""); }, "PLC1.4x00003"},
      {"emptied by an empty CSV file",
       [&](CDlgAlarmCfg& dialog) {
         AddGroupInTheDialog(dialog, "PLC1.4x5", "3");
         ASSERT_NE(dialog.selectedGroup, nullptr);
         ASSERT_EQ(dialog.selectedGroup->GetCount(), 3u);
         ui_.PushPath(emptyCsv);
         Press(dialog, CDlgAlarmCfg::IDC_IMPORT);
         EXPECT_EQ(dialog.selectedGroup->GetCount(), 0u);
       },
       "PLC1.4x00005"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(folder_ / "alarm_config");
    ASSERT_TRUE(Reopen().empty());
    ASSERT_TRUE(NsAlarm::AlarmManager::Instance().GetSegments().empty());
    InTheAlarmDialog(c.make);
    ASSERT_EQ(NsAlarm::AlarmManager::Instance().GetSegments().size(), 1u);
    EXPECT_TRUE(QlEProject::Instance().modified);
    EXPECT_TRUE(SaveThroughTheFileMenu().empty());

    EXPECT_TRUE(Reopen().empty());
    const auto groups = NsAlarm::AlarmManager::Instance().GetSegments();
    ASSERT_EQ(groups.size(), 1u);
    const auto group = std::dynamic_pointer_cast<NsAlarm::AlarmSegCvb>(groups[0]);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->GetAddress(), c.address);
    EXPECT_EQ(group->GetCount(), 0u);

    InTheAlarmDialog([&](CDlgAlarmCfg& dialog) {
      ASSERT_EQ(dialog.groupList->topLevelItemCount(), 1);
      QTreeWidgetItem* row = dialog.groupList->topLevelItem(0);
      EXPECT_EQ(row->text(CDlgAlarmCfg::kColAddress).toStdString(), c.address);
      EXPECT_EQ(row->text(CDlgAlarmCfg::kColCount).toStdString(), "0");
      EXPECT_EQ(dialog.messageTable->GetRowCount(), 0);
    });
    const std::vector<std::string> lines = CheckErrors();
    EXPECT_NE(std::find(lines.begin(), lines.end(), StrFormat(kGroupMessage, c.address)), lines.end())
        << testing::PrintToString(lines);
    EXPECT_EQ(lines.back(), "----------检测失败--------");
  }
}

// A group without a message list ends the reading of groups: it and every
// group after it are named once at opening, before a save drops them.
TEST_F(OpenKeeps, AlarmGroupsTheReadingCannotReachAreNamedOnceAtOpening) {
  WriteFileText(folder_ / "alarm_config",
                R"({"max-number-of-alarm-hist":100,"alarm-list":[)"
                R"({"address":"PLC1.4x1","message-list":["kept"]},)"
                R"({"address":"PLC1.4x2","message-list":"not a list"},)"
                R"({"address":"PLC1.4x3","message-list":["after"]}]})");
  EXPECT_EQ(Reopen(), std::vector<std::string>{StrFormat(
                          kGroupsUnread, "第2组(PLC1.4x2), 第3组(PLC1.4x3)")});
  const auto groups = NsAlarm::AlarmManager::Instance().GetSegments();
  ASSERT_EQ(groups.size(), 1u);
  EXPECT_EQ(groups[0]->GetBitMessage(0), "kept");
}

// Hand-made project files read only in part: the project opens, and one box
// per kind names what the next save drops (a channel of an unknown type or
// without a device list ends the channels, with the devices and data blocks
// on the later channels; a device that cannot be made; a data block whose
// address does not parse or whose device is not there; the events from one
// without a trigger list). What was read is kept, the save drops the rest,
// and the folder it leaves opens without a word.
TEST_F(OpenKeeps, WhatTheReadingCannotReachIsNamedAtOpeningAndTheSaveKeepsTheRest) {
  const std::string kSerial =
      R"({"type":"sr","name":"S1","description":"COM1","nodes":[{"devId":"modbus.RTU","name":"RTU1"})";
  const std::string kEthernet =
      R"({"type":"ethnet","name":"E0","nodes":[{"devId":"modbus.Tcp","name":"PLC1","ip-address":"127.0.0.1"})";
  const auto channels = [&](const std::string& moreOnS1, const std::string& moreOnE0,
                            const std::string& moreChannels) {
    return R"({"channels":[)" + kSerial + moreOnS1 + "]}," + kEthernet + moreOnE0 + "]}" + moreChannels + "]}";
  };
  const std::string kBlock = R"({"name":"words","address":"4x[0~9]","interval":1000,"enable":true})";
  const auto blocks = [&](const std::string& moreOnPlc1, const std::string& moreNodes) {
    return R"({"nodes":[{"name":"RTU1","acq-data-block-array":[]},{"name":"PLC1","acq-data-block-array":[)" +
           kBlock + moreOnPlc1 + "]}" + moreNodes + "]}";
  };
  const auto event = [](const std::string& address, bool withList) {
    return R"({"address":")" + address + R"(","var-event-type":0)" +
           (withList ? R"(,"event-list":[{"上升沿":["SET PLC1.0x9"]},{"下降沿":[]},{"==1":[]}]})" : "}");
  };
  // Thirty events, the first without a list: the box names twenty and says
  // how many there are.
  std::string manyEvents = R"({"var-list":[)";
  std::string manyNamed;
  for (int i = 1; i <= 30; ++i) {
    const std::string address = "PLC1.0x" + std::to_string(i);
    manyEvents += (i > 1 ? "," : "") + event(address, i > 1);
    if (i <= 20) manyNamed += (i > 1 ? ", " : "") + StrFormat("第%d个(%s)", i, address.c_str());
  }
  manyEvents += "]}";

  struct Case {
    const char* what;
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<std::string> boxes;
    std::vector<std::string> channels;  // as read
    std::vector<std::string> devices;
    std::size_t blocks;
    std::size_t events;
  };
  const Case cases[] = {
      {"a channel of an unknown type",
       {{"com_chns", channels("", "",
                              R"(,{"type":"can","name":"C1","nodes":[{"devId":"modbus.Tcp","name":"PLC9"}]},)"
                              R"({"type":"ethnet","name":"E1","nodes":[{"devId":"modbus.Tcp","name":"PLC8"},)"
                              R"({"devId":"modbus.Tcp","name":"PLC7"}]})")},
        {"acq_db", blocks("", R"(,{"name":"PLC8","acq-data-block-array":[{"name":"b","address":"4x[0~4]"}]})")}},
       {StrFormat(kChannelsUnread, "C1(PLC9), E1(PLC8, PLC7)"), StrFormat(kBlocksUnread, "PLC8.4x[0~4]")},
       {"S1", "E0"},
       {"RTU1", "PLC1"},
       1,
       0},
      {"a channel without a device list",
       {{"com_chns", channels("", "",
                              R"(,{"type":"ethnet","name":"E1"},)"
                              R"({"type":"sr","name":"S2","nodes":[{"devId":"modbus.RTU","name":"RTU2"}]})")}},
       {StrFormat(kChannelsUnread, "S2(RTU2)")},
       {"S1", "E0", "E1"},
       {"RTU1", "PLC1"},
       1,
       0},
      {"devices that cannot be made",
       {{"com_chns", channels(R"(,{"devId":"nope","name":"X1"})", R"(,{"devId":"modbus.Tcp","name":"RTU1"})", "")}},
       {StrFormat(kDevicesUnread, "S1的第2个设备(X1), E0的第2个设备(RTU1)")},
       {"S1", "E0"},
       {"RTU1", "PLC1"},
       1,
       0},
      {"data blocks that do not parse or have no device",
       {{"acq_db", blocks(R"(,{"name":"fx","address":"D[0~9]"})",
                          R"(,{"name":"Ghost","acq-data-block-array":[{"name":"g","address":"4x1"}]})")}},
       {StrFormat(kBlocksUnread, "PLC1.D[0~9], Ghost.4x1")},
       {"S1", "E0"},
       {"RTU1", "PLC1"},
       1,
       0},
      {"events after one without a trigger list",
       {{"events", R"({"var-list":[)" + event("PLC1.0x1", true) + "," + event("PLC1.0x2", false) + "," +
                       event("PLC1.0x3", true) + "]}"}},
       {StrFormat(kEventsUnread, "第2个(PLC1.0x2), 第3个(PLC1.0x3)")},
       {"S1", "E0"},
       {"RTU1", "PLC1"},
       1,
       1},
      {"many events",
       {{"events", manyEvents}},
       {StrFormat(kEventsUnread, (manyNamed + " 等共30项").c_str())},
       {"S1", "E0"},
       {"RTU1", "PLC1"},
       1,
       0},
  };

  // The project as its fixture saved it, put back before every case.
  std::vector<std::pair<std::string, std::string>> saved;
  for (const char* name : {"com_chns", "acq_db", "events"})
    saved.emplace_back(name, ReadFileText(folder_ / name));
  const auto channelNames = [] {
    std::vector<std::string> names;
    for (const auto& channel : NsTermination::ChannelManager::Instance().GetChannels())
      names.push_back(channel->GetName());
    return names;
  };
  const auto deviceNames = [] {
    std::vector<std::string> names;
    for (const auto& handle : NsTermination::ChannelManager::Instance().GetAllNodes())
      if (const auto node = handle.Lock()) names.push_back(node->GetName());
    return names;
  };
  const auto blockCount = [] {
    std::size_t count = 0;
    for (const auto& handle : NsTermination::ChannelManager::Instance().GetAllNodes())
      if (const auto node = handle.Lock()) count += node->GetTasks().size();
    return count;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const auto& [name, text] : saved) WriteFileText(folder_ / name, text);
    for (const auto& [name, text] : c.files) WriteFileText(folder_ / name, text);

    EXPECT_EQ(Reopen(), c.boxes);
    const auto kept = [&] {
      EXPECT_EQ(channelNames(), c.channels);
      EXPECT_EQ(deviceNames(), c.devices);
      EXPECT_EQ(blockCount(), c.blocks);
      EXPECT_EQ(QlEProject::Instance().events.size(), c.events);
    };
    kept();
    EXPECT_FALSE(QlEProject::Instance().modified);

    EXPECT_TRUE(SaveThroughTheFileMenu().empty());
    EXPECT_TRUE(Reopen().empty());
    kept();
  }
}

// Four users, the second record damaged: the three that decode are read, the
// opening says once that the file was read only in part, and a save that did
// not touch the users leaves its 320 bytes as they were; a password changed in
// the users dialog then writes the dialog's users.
TEST_F(OpenKeeps, AUsersFileReadOnlyInPartIsToldOnceAndLeftAsItIs) {
  std::string damaged = FourUsersFile();
  for (std::size_t i = 80; i < 160; ++i) damaged[i] = static_cast<char>(damaged[i] ^ 0x40);
  WriteFileText(UsersPath(), damaged);
  const std::vector<std::string> told = {StrFormat(kUsersPartlyRead, UsersPath().c_str())};
  const std::vector<QlUser> read = {kFourUsers[0], kFourUsers[2], kFourUsers[3]};

  EXPECT_EQ(Reopen(), told);
  EXPECT_EQ(GetUserList(), read);
  EXPECT_TRUE(SaveThroughTheFileMenu().empty());
  EXPECT_FALSE(QlEProject::Instance().modified);
  EXPECT_EQ(ReadFileText(UsersPath()), damaged);
  EXPECT_EQ(Reopen(), told);

  // Row 1 of the grid is the first user.
  ChangePasswordInTheUsersDialog(1, "new-pw");
  EXPECT_TRUE(SaveThroughTheFileMenu().empty());
  std::vector<QlUser> changed = read;
  changed[0].password = "new-pw";
  EXPECT_EQ(UsersIn(UsersPath()), changed);
  EXPECT_EQ(ReadFileText(UsersPath()).size(), 240u);
  EXPECT_TRUE(Reopen().empty());
}

// Save As of a project whose users file was not read whole leaves the same
// bytes in the new folder, and the project opens from there as it did. A
// users file that cannot be read for that fails the Save As and is named in
// its box; the project stays where it was.
TEST_F(OpenKeeps, SaveAsCarriesAUsersFileNotReadWhole) {
  const std::string fourUsers = FourUsersFile();
  std::string undecodable = fourUsers;
  for (char& c : undecodable) c = static_cast<char>(c ^ 0x40);
  std::string damaged = fourUsers;
  for (std::size_t i = 240; i < 320; ++i) damaged[i] = static_cast<char>(damaged[i] ^ 0x40);
  struct Case {
    const char* what;
    std::string bytes;
    const char* told;
  };
  const Case kCases[] = {
      {"no record decodes", undecodable, kUsersUnread},
      {"one record of four damaged", damaged, kUsersPartlyRead},
  };
  int n = 0;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(UsersPath());
    WriteFileText(UsersPath(), c.bytes);
    ASSERT_EQ(Reopen(), std::vector<std::string>{StrFormat(c.told, UsersPath().c_str())});

    const std::string into = folder_ / ("as" + std::to_string(++n));
    ASSERT_TRUE(std::filesystem::create_directories(into));
    ui_.calls.clear();
    ui_.PushPath(into);
    Trigger(ID_FILE_SAVE_AS);
    DeleteClosed();
    EXPECT_TRUE(ui_.MessageTexts().empty());
    EXPECT_EQ(QlEProject::Instance().directory, into);
    EXPECT_EQ(ReadFileText(into + "/users_config"), c.bytes);
    EXPECT_EQ(ReadFileText(UsersPath()), c.bytes);
    // There the file is what it was here: told of, and kept by a save.
    const std::string moved = into + "/users_config";
    EXPECT_EQ(ReopenFrom(into), std::vector<std::string>{StrFormat(c.told, moved.c_str())});
    EXPECT_TRUE(SaveThroughTheFileMenu().empty());
    EXPECT_EQ(ReadFileText(moved), c.bytes);
  }

  // A folder in place of the users file cannot be carried.
  std::filesystem::remove_all(UsersPath());
  ASSERT_TRUE(std::filesystem::create_directories(UsersPath() + "/inside"));
  ASSERT_EQ(Reopen(), std::vector<std::string>{StrFormat(kUsersUnread, UsersPath().c_str())});
  QlEProject::Instance().modified = true;
  const std::string into = folder_ / "as_folder";
  ASSERT_TRUE(std::filesystem::create_directories(into));
  ui_.calls.clear();
  ui_.PushPath(into);
  Trigger(ID_FILE_SAVE_AS);
  DeleteClosed();
  EXPECT_EQ(ui_.MessageTexts(),
            std::vector<std::string>{"以下文件保存失败:\n" + UsersPath() + ": " + std::strerror(EISDIR)});
  EXPECT_EQ(QlEProject::Instance().directory, folder_.Path());
  EXPECT_TRUE(QlEProject::Instance().modified);
  EXPECT_FALSE(std::filesystem::exists(into + "/users_config"));
}

}  // namespace
}  // namespace NsOvrin::Testing
