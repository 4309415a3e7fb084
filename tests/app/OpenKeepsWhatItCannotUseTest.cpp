// What the running editor keeps of a project it cannot use whole: a users
// file that gives no user, a data block larger than one request and an alarm
// group larger than its block are told of (at opening or by the error check)
// and come back from a save as they were.
#include <fcntl.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <filesystem>

#include "dialogs/KeyTyping.h"
#include "RunningEditorFixture.h"
#include "alarm/AlarmManager.h"
#include "alarm/AlarmSegCvb.h"
#include "platform/Format.h"
#include "app/COutputList.h"
#include "app/COutputWnd.h"
#include "dialogs/CDlgAlarmCfg.h"
#include "dialogs/CDlgUsers.h"
#include "project/UsersFile.h"
#include "project_base/QlUser.h"
#include "project_persistence/AlarmConfigFile.h"
#include "support/WriteBlockers.h"
#include "wui/ModalDriver.h"
#include "wui/OvReportCtrl.h"
#include "wui/RtConfirmEdit.h"

namespace NsOvrin::Testing {
namespace {

using NsPlatform::StrFormat;

constexpr const char* kUsersUnread =
    "无法读取用户文件: %s\n工程中没有用户. 保存工程时此文件保持不变, 除非在用户管理中修改了用户.";
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
  std::vector<std::string> Reopen(uid_t readAs = 0) {
    ui_.calls.clear();
    ui_.PushPath(GetMainFilePath(folder_.Path()));
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

  frame_->UpdateCommandUI();
  ASSERT_TRUE(frame_->OnCommand(ID_CHECK_ERRORS));
  COutputList* output = frame_->GetOutputPane()->GetOutputList();
  std::vector<std::string> lines;
  for (int i = 0; i < output->count(); ++i) lines.push_back(output->item(i)->text().toStdString());
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "警报组(PLC1.4x00020)中 警报地址异常或者不在数据列表中或长度异常."),
            lines.end())
      << testing::PrintToString(lines);
}

}  // namespace
}  // namespace NsOvrin::Testing
