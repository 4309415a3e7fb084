// A save that cannot write its files, met through the running editor: the
// File menu's save and save as, the close of the project, of a page window
// and of the main window with "是" to the save question. One box over the
// main window names each file and the system's reason; nothing modified is
// forgotten and nothing that asked to close goes.
#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <optional>

#include "RunningEditorFixture.h"
#include "project_base/QlUser.h"
#include "support/WriteBlockers.h"

namespace NsOvrin::Testing {
namespace {

namespace fs = std::filesystem;
using NsWui::UiCall;
using Texts = std::vector<std::string>;

constexpr const char* kSaveQuestion = "工程被更改, 是否需要保存?";
constexpr const char* kPageQuestion = "页面被修改, 是否需要保存?";

class FailedSave : public RunningEditorFixture {
 protected:
  enum class Command { kSave, kSaveAs, kCloseProject, kClosePageWindow, kCloseFrame, kExit };
  enum class Blocker { kNone, kFullDisk, kUnprivileged };

  // Runs the command as the user gives it, answering "是" where it asks;
  // false when the program could not act as an unprivileged user.
  bool Give(Command command, Blocker blocker, const std::string& saveAsInto) {
    std::optional<FileSizeLimit> fullDisk;
    std::optional<UnprivilegedUser> nobody;
    if (blocker == Blocker::kFullDisk) fullDisk.emplace(1);
    if (blocker == Blocker::kUnprivileged) {
      nobody.emplace();
      if (!nobody->Active()) return false;
    }
    switch (command) {
      case Command::kSave: GiveFileCommand(ID_FILE_SAVE); break;
      case Command::kSaveAs: GiveFileCommand(ID_FILE_SAVE_AS, saveAsInto); break;
      case Command::kCloseProject: GiveFileCommand(ID_CLOSE_PROJECT); break;
      case Command::kClosePageWindow:
        ui_.PushAnswer(NsWui::IDYES);
        EXPECT_FALSE(view_->GetParentFrame()->close());
        break;
      case Command::kCloseFrame:
        ui_.PushAnswer(NsWui::IDYES);
        EXPECT_FALSE(frame_->close());
        break;
      case Command::kExit: GiveFileCommand(ID_APP_EXIT); break;
    }
    DeleteClosed();
    return true;
  }
};

TEST_F(FailedSave, OneBoxNamesEveryFileNotWrittenAndNothingIsLostOrClosed) {
  using C = Command;
  using B = Blocker;
  // Every file of the save: the open pages first, P2 with its picture, then
  // the project files; the main file never, as the rest is not on disk.
  const Texts everyFile = {"P1.ovpg", "images/photo.png", "P2.ovpg", "com_chns", "acq_db",
                           "alarm_config", "users_config", "events"};
  // Users to write: an empty users file would still fit on a full disk.
  ResetDefaultUsers();
  ASSERT_FALSE(GetUserList().empty());
  struct Case {
    const char* name;
    std::string folderFor;  // a file of the project replaced by a folder
    bool lockProject;       // the project folder without write permission
    Command command;
    Blocker blocker;
    std::string saveAsInto;  // under the temporary folder; empty: the project's own
    Texts failing;           // under the folder saved into
    int error;
    const char* question;    // asked before the save, or null
    const char* notCopied = nullptr;  // the pages a Save As could not take along
    int pictureError = 0;             // when the picture's folder could not be made
  };
  const std::vector<Case> cases = {
      {"main file a folder, save", "main_.ql", false, C::kSave, B::kNone, "", {"main_.ql"}, EISDIR, nullptr},
      {"channels a folder, save as into its own folder", "com_chns", false, C::kSaveAs, B::kNone, "",
       {"com_chns"}, EISDIR, nullptr},
      {"data blocks a folder, close the project", "acq_db", false, C::kCloseProject, B::kNone, "", {"acq_db"},
       EISDIR, kSaveQuestion},
      {"alarm configuration a folder, close the main window", "alarm_config", false, C::kCloseFrame, B::kNone, "",
       {"alarm_config"}, EISDIR, kSaveQuestion},
      {"users a folder, exit", "users_config", false, C::kExit, B::kNone, "", {"users_config"}, EISDIR,
       kSaveQuestion},
      {"events a folder, save", "events", false, C::kSave, B::kNone, "", {"events"}, EISDIR, nullptr},
      {"open page a folder, close the project", "P1.ovpg", false, C::kCloseProject, B::kNone, "", {"P1.ovpg"},
       EISDIR, kSaveQuestion},
      {"open page a folder, close its window", "P1.ovpg", false, C::kClosePageWindow, B::kNone, "", {"P1.ovpg"},
       EISDIR, kPageQuestion},
      {"picture copy a folder, exit", "images/photo.png", false, C::kExit, B::kNone, "", {"images/photo.png"},
       EISDIR, kSaveQuestion},
      {"full disk, save", "", false, C::kSave, B::kFullDisk, "", everyFile, EFBIG, nullptr},
      {"full disk, close the main window", "", false, C::kCloseFrame, B::kFullDisk, "", everyFile, EFBIG,
       kSaveQuestion},
      {"folder that cannot be written, save", "", true, C::kSave, B::kUnprivileged, "", everyFile, EACCES,
       nullptr},
      {"save as into a folder that cannot be written", "", false, C::kSaveAs, B::kUnprivileged, "locked",
       everyFile, EACCES, nullptr, "P1, P2", ENOENT},
  };

  // The program as started outlives a write past the file size limit.
  struct sigaction started {};
  ASSERT_EQ(::sigaction(SIGXFSZ, nullptr, &started), 0);
  EXPECT_EQ(started.sa_handler, SIG_IGN);

  const std::string folder = folder_.Path();
  const std::string outside = folder_ / "outside";
  const std::string locked = folder_ / "locked";
  ASSERT_TRUE(fs::create_directories(outside));
  WriteFileText(outside + "/photo.png", "not really a picture");
  ASSERT_TRUE(fs::create_directories(locked));
  fs::permissions(locked, fs::perms(0555));
  // "nobody" may pass through to the project.
  fs::permissions(folder, fs::perms(0755));

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QlEProject& project = QlEProject::Instance();
    ASSERT_TRUE(project.open);
    // The page with a picture is the one edited in its row.
    const bool picture = c.folderFor == "images/photo.png";
    if (picture) {
      WriteFileText(folder + "/P2.ovpg", RunningPictureP2(outside + "/photo.png"));
      view_ = OpenPage("P2");
      ASSERT_NE(view_, nullptr);
    }
    const std::shared_ptr<QlEPage> page = EditedPage();
    ASSERT_NE(page, nullptr);
    page->modified = true;
    project.modified = true;
    const int windows = static_cast<int>(frame_->GetMdiClient()->subWindowList().size());
    const std::string mainBefore = ReadFileText(folder + "/main_.ql");
    if (!c.folderFor.empty()) {
      fs::remove(folder + "/" + c.folderFor);
      fs::create_directories(folder + "/" + c.folderFor + "/kept");
    }
    if (c.lockProject) fs::permissions(folder, fs::perms(0555));
    ui_.calls.clear();

    const std::string into = c.saveAsInto.empty() ? folder : folder_ / c.saveAsInto;
    if (!Give(c.command, c.blocker, into)) {
      fs::permissions(folder, fs::perms(0755));
      GTEST_SKIP() << "root cannot act as nobody here";
    }
    fs::permissions(folder, fs::perms(0755));

    std::string text = "以下文件保存失败:";
    for (const std::string& file : c.failing) {
      const bool picture = file == "images/photo.png";
      text += "\n" + into + "/" + file + ": " +
              std::strerror(picture && c.pictureError != 0 ? c.pictureError : c.error);
    }
    if (c.notCopied != nullptr) text += std::string("\n以下页面文件未能复制到新文件夹: ") + c.notCopied;
    Texts expected;
    if (c.question != nullptr) expected.push_back(c.question);
    expected.push_back(text);
    EXPECT_EQ(ui_.MessageTexts(), expected);
    const std::vector<UiCall> boxes = ui_.CallsOf(UiCall::Kind::MessageBox);
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().widget, frame_);
    EXPECT_EQ(boxes.back().caption, "提示");
    EXPECT_EQ(boxes.back().type & NsWui::MB_ICONMASK, NsWui::MB_ICONERROR);

    // Still open, still modified, in its own folder.
    EXPECT_TRUE(frame_->isVisible());
    EXPECT_EQ(MainFrameRef.data(), frame_);
    EXPECT_TRUE(project.open);
    EXPECT_TRUE(project.modified);
    // A page written where the project stays is no longer owed.
    const bool pageFailed = std::any_of(c.failing.begin(), c.failing.end(), [&](const std::string& file) {
      return file == page->name + ".ovpg" || file == "images/photo.png";
    });
    EXPECT_EQ(page->modified, pageFailed || !c.saveAsInto.empty());
    EXPECT_EQ(EditedPage(), page);
    EXPECT_EQ(static_cast<int>(frame_->GetMdiClient()->subWindowList().size()), windows);
    EXPECT_EQ(project.directory, folder);
    if (c.blocker != B::kNone) {
      EXPECT_EQ(ReadFileText(folder + "/main_.ql"), mainBefore);
    }

    if (!c.folderFor.empty()) fs::remove_all(folder + "/" + c.folderFor);
  }

  // Mended, the same save goes through and forgets the changes.
  ui_.calls.clear();
  Trigger(ID_FILE_SAVE);
  EXPECT_EQ(ui_.MessageTexts(), Texts{});
  EXPECT_FALSE(QlEProject::Instance().modified);
  EXPECT_FALSE(EditedPage()->modified);
  EXPECT_TRUE(fs::is_regular_file(folder + "/images/photo.png"));
}

// A Save As that runs out of room names, in its one box, every file it could
// not write to the new folder: the project files by path and reason, the
// pages by name. What is named is missing there, and a project file that is
// missing is named; the pages and the main file take their places only
// together, so none is there; the project stays in its folder, still
// modified.
TEST_F(FailedSave, ASaveAsUnderAFileSizeLimitNamesEveryFileMissingFromTheNewFolder) {
  const Texts projectFiles = {"main_.ql", "com_chns", "acq_db", "alarm_config", "users_config", "events"};
  const Texts pages = {"P1", "P2"};
  constexpr const char* kNotCopied = "以下页面文件未能复制到新文件夹: ";
  ResetDefaultUsers();
  const struct {
    const char* name;
    rlim_t limit;
    Texts pagesMissing;
  } kCases[] = {
      // P1 is larger than 200 bytes, P2 is not.
      {"200 bytes", 200, {"P1"}},
      {"a full disk", 1, {"P1", "P2"}},
  };
  const std::string folder = folder_.Path();
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    QlEProject& project = QlEProject::Instance();
    const std::shared_ptr<QlEPage> page = EditedPage();
    ASSERT_NE(page, nullptr);
    page->modified = true;
    project.modified = true;
    const std::string into = folder_ / ("limit" + std::to_string(c.limit));
    ASSERT_TRUE(fs::create_directories(into));
    ui_.calls.clear();
    {
      FileSizeLimit limit(c.limit);
      ASSERT_TRUE(limit.Active());
      ui_.PushPath(into);
      Trigger(ID_FILE_SAVE_AS);
    }
    DeleteClosed();

    const Texts boxes = ui_.MessageTexts();
    ASSERT_EQ(boxes.size(), 1u);
    const std::string& text = boxes.front();
    EXPECT_EQ(text.rfind("以下文件保存失败:\n", 0), 0u) << text;
    for (const std::string& file : projectFiles) {
      SCOPED_TRACE(file);
      const bool named = text.find("\n" + into + "/" + file + ": " + std::strerror(EFBIG)) != std::string::npos;
      // The main file waits for the rest: not written, and nothing to name.
      if (file == "main_.ql") {
        EXPECT_FALSE(named);
        EXPECT_FALSE(fs::exists(into + "/" + file));
        continue;
      }
      EXPECT_EQ(named, !fs::exists(into + "/" + file)) << text;
    }
    // The last line names the pages not copied.
    const std::size_t line = text.find(std::string("\n") + kNotCopied);
    ASSERT_NE(line, std::string::npos) << text;
    const std::string named = text.substr(line + 1 + std::strlen(kNotCopied));
    // The pages that could not be written are named; none lands there
    // without the main file that lists it.
    for (const std::string& name : pages) EXPECT_FALSE(fs::exists(into + "/" + name + ".ovpg")) << name;
    std::string joined;
    for (const std::string& name : c.pagesMissing) joined += (joined.empty() ? "" : ", ") + name;
    EXPECT_EQ(named, joined);

    const std::vector<UiCall> shown = ui_.CallsOf(UiCall::Kind::MessageBox);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown.front().widget, frame_);
    EXPECT_EQ(shown.front().type & NsWui::MB_ICONMASK, NsWui::MB_ICONERROR);
    EXPECT_EQ(project.directory, folder);
    EXPECT_TRUE(project.modified);
    EXPECT_TRUE(page->modified);
  }
}

// A Save As takes the project's pictures along: a page that is not open names
// its picture in the old folder, and finds it in the new one once the old
// copy is gone. A picture that cannot be written there is named in the box.
TEST_F(FailedSave, ASaveAsTakesThePicturesOfPagesNotOpenAlong) {
  const std::string folder = folder_.Path();
  const std::string picture = folder + "/images/photo.png";
  ASSERT_TRUE(fs::create_directories(folder + "/images"));
  WriteFileText(picture, "not really a picture");
  // P2, not open, as a save of the project wrote it: its picture in the project.
  WriteFileText(folder + "/P2.ovpg", RunningPictureP2(picture));
  const struct {
    const char* name;
    bool imagesAFile;  // the new folder holds a file named "images"
  } kCases[] = {
      {"into a new folder", false},
      {"into a folder whose images is a file", true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    QlEProject& project = QlEProject::Instance();
    const std::string into = folder_ / (c.imagesAFile ? "blocked" : "copy");
    ASSERT_TRUE(fs::create_directories(into));
    if (c.imagesAFile) WriteFileText(into + "/images", "");
    project.modified = true;
    const std::string before = project.directory;
    ui_.calls.clear();
    ui_.PushPath(into);
    Trigger(ID_FILE_SAVE_AS);
    DeleteClosed();

    if (c.imagesAFile) {
      EXPECT_EQ(ui_.MessageTexts(),
                Texts{"以下文件保存失败:\n" + into + "/images/photo.png: " + std::strerror(ENOTDIR)});
      EXPECT_TRUE(project.modified);
      // Not moved: the other folder is no project without its pictures.
      EXPECT_EQ(project.directory, before);
      EXPECT_FALSE(fs::exists(into + "/main_.ql"));
      continue;
    }
    EXPECT_EQ(project.directory, into);
    EXPECT_EQ(ui_.MessageTexts(), Texts{});
    EXPECT_FALSE(project.modified);
    EXPECT_EQ(ReadFileText(into + "/images/photo.png"), "not really a picture");
    // The old copy gone, P2 opened and saved in the new folder keeps its picture.
    ASSERT_TRUE(fs::remove(picture));
    view_ = OpenPage("P2");
    ASSERT_NE(view_, nullptr);
    EditedPage()->modified = true;
    Trigger(ID_FILE_SAVE);
    DeleteClosed();
    EXPECT_EQ(ui_.MessageTexts(), Texts{});
    EXPECT_NE(ReadFileText(into + "/P2.ovpg").find("\"image-file-path\":\"" + into + "/images/photo.png\""),
              std::string::npos)
        << ReadFileText(into + "/P2.ovpg");
    WriteFileText(picture, "not really a picture");
  }
}

}  // namespace
}  // namespace NsOvrin::Testing
