#include "project_persistence/ProjectCommands.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <utility>

#include "alarm/AlarmManager.h"
#include "comm_server/SerialParams.h"
#include "common/Log.h"
#include "common/PathUtil.h"
#include "editor/QlEPage.h"
#include "platform/AtomicFile.h"
#include "platform/CheckedFile.h"
#include "platform/Format.h"
#include "editor/EditorGlobals.h"
#include "project/ListenerRegistry.h"
#include "project/NodeDbListener.h"
#include "project/ProgramDefaults.h"
#include "project/ProjectListener.h"
#include "project/QlEProject.h"
#include "project/UsersFile.h"
#include "project_base/QlUser.h"
#include "project_persistence/MainFile.h"
#include "project_persistence/PageCommands.h"
#include "project_persistence/PageFile.h"
#include "project_persistence/ProjectLoadSave.h"
#include "project_persistence/ProjectPictureStore.h"
#include "project_persistence/UiErrList.h"
#include "termination/Channel.h"
#include "termination/ChannelManager.h"
#include "ui_services/NewProjectDialog.h"
#include "ui_services/ProjectFileDialogs.h"
#include "ui_services/QuestionBoxService.h"

namespace NsOvrin {

using NsPlatform::StrFormat;
using NsTermination::ChannelManager;

namespace {

constexpr const char* kCaption = "提示";
constexpr const char* kSavePrompt = "工程被更改, 是否需要保存?";
constexpr const char* kOpenFailed = "打开工程操作失败.";
constexpr const char* kPagesNotCopied = "以下页面文件未能复制到新文件夹: %s";
constexpr const char* kOversizedBlocks =
    "以下数据块超过设备一次请求所能读取的长度, 设备可能拒绝如此大的请求: %s";
constexpr const char* kUsersFileUnread =
    "无法读取用户文件: %s\n工程中没有用户. 保存工程时此文件保持不变, 除非在用户管理中修改了用户.";
constexpr const char* kUsersFilePartlyRead =
    "无法完整读取用户文件: %s\n只读取了部分用户. 保存工程时此文件保持不变, 除非在用户管理中修改了用户.";
constexpr const char* kAlarmGroupsUnread = "以下警报组未能读取, 保存工程后将丢失: %s";
constexpr const char* kChannelsUnread = "以下通道及其设备未能读取, 保存工程后将丢失: %s";
constexpr const char* kDevicesUnread = "以下设备未能读取, 保存工程后将丢失: %s";
constexpr const char* kDataBlocksUnread = "以下数据块未能读取, 保存工程后将丢失: %s";
constexpr const char* kEventsUnread = "以下变量事件未能读取, 保存工程后将丢失: %s";
// After this many names a note says how many there are in all.
constexpr std::size_t kMostNamesShown = 20;
constexpr const char* kNamesInAll = "%s 等共%zu项";
constexpr const char* kFilesNotSaved = "以下文件保存失败:";
constexpr const char* kDeletedPageNotSaved = "此页面已不属于打开的工程, 不能保存.";
constexpr int kDefaultChannelCount = 2;
constexpr int32_t kProposedWidth = 600;
constexpr int32_t kProposedHeight = 480;

bool AnyOpenPageModified(const QlEProject& project) {
  return std::any_of(project.openPages.begin(), project.openPages.end(),
                     [](const std::shared_ptr<QlEPage>& page) { return page && page->modified; });
}

void ClearOpenPageFlags(QlEProject& project) {
  for (const std::shared_ptr<QlEPage>& page : project.openPages)
    if (page) page->modified = false;
}

// The form SetDirectory stores, so that the same folder compares equal
// however it was typed.
std::string NormalisedFolder(const std::string& folder) {
  std::string text = folder;
  TrimPageName(text);
  return RemoveTrailingSlash(text);
}

bool EntryMissing(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) != 0 && errno == ENOENT;
}

std::string JoinNames(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) {
    if (!text.empty()) text += ", ";
    text += name;
  }
  return text;
}

// One box of the format with the names, when there are any. A long list is
// cut, so that the box still fits the screen, and says how many there are.
void ShowNamesNote(ParentWindow* parent, const char* format, const std::vector<std::string>& names) {
  if (names.empty()) return;
  std::string text;
  if (names.size() > kMostNamesShown) {
    const auto most = static_cast<std::ptrdiff_t>(kMostNamesShown);
    const std::vector<std::string> shown(names.begin(), names.begin() + most);
    text = StrFormat(kNamesInAll, JoinNames(shown).c_str(), names.size());
  } else {
    text = JoinNames(names);
  }
  ShowMessageBox(parent, StrFormat(format, text.c_str()), kCaption, MessageIcon::Warning);
}

// What the load kept as stored, or could not read and the next save will not
// write, once at opening, in the order the files are read.
void ShowLoadNotes(ParentWindow* parent, const ProjectLoadNotes& notes) {
  ShowNamesNote(parent, kChannelsUnread, notes.unreadChannels);
  ShowNamesNote(parent, kDevicesUnread, notes.unreadDevices);
  ShowNamesNote(parent, kOversizedBlocks, notes.oversizedBlocks);
  ShowNamesNote(parent, kDataBlocksUnread, notes.unreadDataBlocks);
  ShowNamesNote(parent, kAlarmGroupsUnread, notes.unreadAlarmGroups);
  if (!notes.unreadUsersFile.empty()) {
    ShowMessageBox(parent,
                   StrFormat(notes.someUsersRead ? kUsersFilePartlyRead : kUsersFileUnread,
                             notes.unreadUsersFile.c_str()),
                   kCaption, MessageIcon::Warning);
  }
  ShowNamesNote(parent, kEventsUnread, notes.unreadEvents);
}

uint32_t DefaultSerialPort(const std::vector<NsCommServer::SerialPortInfo>& ports, int i) {
  if (ports.empty()) return static_cast<uint32_t>(i) + 1;
  if (static_cast<std::size_t>(i) < ports.size()) return ports[static_cast<std::size_t>(i)].port;
  uint32_t highest = 0;
  for (const NsCommServer::SerialPortInfo& port : ports) highest = std::max(highest, port.port);
  return highest + 1;
}

}  // namespace

std::string MakeSerialChannelId(int i) { return StrFormat("S%d", i + 1); }

std::string MakeEthernetChannelId(int i) { return StrFormat("E%d", i); }

void CreateDefaultSerialChannels() {
  CreateDefaultSerialChannels(NsCommServer::EnumerateSerialPorts());
}

void CreateDefaultSerialChannels(const std::vector<NsCommServer::SerialPortInfo>& ports) {
  for (int i = 0; i < kDefaultChannelCount; ++i) {
    NsCommServer::SerialParams settings;
    settings.port = DefaultSerialPort(ports, i);
    settings.baud = NsCommServer::kBaud9600;
    settings.parity = NsCommServer::kParityEven;
    settings.dataBits = NsCommServer::kDataBits7;
    settings.stopBits = NsCommServer::kStopBits1;
    auto channel = std::make_shared<NsTermination::ChannelSerialPort>(MakeSerialChannelId(i),
                                                                      settings);
    channel->CreateDevice();
    channel->SetDescription(StrFormat("串口%u", static_cast<unsigned>(i + 1)));
    ChannelManager::Instance().AddChannel(channel);
  }
}

void CreateDefaultEthernetChannels() {
  for (int i = 0; i < kDefaultChannelCount; ++i) {
    auto channel = std::make_shared<NsTermination::ChannelEthernet>(MakeEthernetChannelId(i));
    channel->SetDescription(StrFormat("网口%u", static_cast<unsigned>(i + 1)));
    ChannelManager::Instance().AddChannel(channel);
  }
}

void ResetProjectRuntime() {
  // Channels first: their polling threads end before the alarm groups they
  // feed go.
  ChannelManager::Instance().Reset();
  // Whoever heard that the editor went online hears that it stopped, so that
  // new elements and the next project do not behave as online.
  if (OnlineFlag.load()) NodeDbListener::NotifyRunMode(false);
  HostOnlineFlag = false;
  NsAlarm::AlarmManager::Instance().Clear();
  ResetDefaultUsers();
  // The next project's users file is read afresh.
  UnreadUsersFilePath.clear();
}

int DoCloseProject(ParentWindow* parent) {
  QlEProject& project = QlEProject::Instance();
  if (!project.open) return kProjectClosed;
  if ((project.modified || AnyOpenPageModified(project)) &&
      AskSaveProject(parent) == kPromptCancelled)
    return kCloseCancelled;

  // The page windows close on their own once they have heard this.
  NotifyListeners(ProjectListener::GetRegistry(),
                  [](ProjectListener* listener) { listener->OnProjectClosing(); });
  project.Reset(std::string());
  ResetProjectRuntime();
  UiErrList::Instance().results.clear();
  return kProjectClosed;
}

int AskSaveProject(ParentWindow* parent) {
  QlEProject& project = QlEProject::Instance();
  switch (AskQuestion(parent, kSavePrompt, kCaption)) {
    case QuestionAnswer::Yes: {
      const bool saved = DirectoryExists(project.directory) ? DoSaveProject(parent)
                                                            : DoSaveProjectAs(parent);
      return saved ? kPromptSaved : kPromptCancelled;
    }
    case QuestionAnswer::No:
      // Their windows then close without asking again.
      ClearOpenPageFlags(project);
      return kPromptNotSaved;
    case QuestionAnswer::Cancel:
      break;
  }
  return kPromptCancelled;
}

void DoNewProject(ParentWindow* parent) {
  QlEProject& project = QlEProject::Instance();
  if (project.open && DoCloseProject(parent) == kCloseCancelled) return;
  ResetProjectRuntime();

  NewProjectDialog* dialog = NewProjectDialog::Installed();
  if (dialog == nullptr) {
    OV_LOG(8).AppendText("No new-project dialog installed.");
    return;
  }
  NewProjectDialog::Fields fields;
  fields.width = kProposedWidth;
  fields.height = kProposedHeight;
  if (!dialog->Run(parent, fields)) return;
  // The dialog checks the name; its folder and page files are built on it.
  if (!IsValidName(fields.name)) {
    OV_LOG(4).AppendText("New project refused, invalid name: ").AppendText(fields.name);
    return;
  }

  project.Reset(fields.folder);
  project.name = fields.name;
  project.open = true;
  project.width = static_cast<float>(fields.width > 0 ? fields.width : kProposedWidth);
  project.height = static_cast<float>(fields.height > 0 ? fields.height : kProposedHeight);

  CreateDefaultSerialChannels();
  CreateDefaultEthernetChannels();
  NotifyListeners(ProjectListener::GetRegistry(),
                  [](ProjectListener* listener) { listener->OnProjectCreated(); });

  // The home page; the project is modified from here on.
  std::string firstPage = project.MakeNewPageName();
  project.AddPage(firstPage);
}

bool DoOpenProject(ParentWindow* parent) {
  QlEProject& project = QlEProject::Instance();
  if (project.open && DoCloseProject(parent) == kCloseCancelled) return false;
  // Before the dialog: a cancelled dialog leaves no project open.
  project.Reset(std::string());
  ResetProjectRuntime();

  ProjectFileDialogs* dialogs = ProjectFileDialogs::Installed();
  if (dialogs == nullptr) {
    OV_LOG(8).AppendText("No project file dialogs installed.");
    return false;
  }
  const std::string mainFileName = StrFormat("main_%s", ProjectFileExtension.c_str());
  const std::string filter =
      StrFormat("工程文件(%s)|%s||", mainFileName.c_str(), mainFileName.c_str());
  std::string path;
  if (!dialogs->ChooseFileToOpen(parent, ProjectFileExtension, filter, path)) return false;

  QlProjectData record;
  ProjectLoadNotes notes;
  if (!LoadProjectFiles(path, record, &notes)) {
    ShowMessageBox(parent, kOpenFailed, kCaption, MessageIcon::Error);
    return false;
  }

  project.width = record.width;
  project.height = record.height;
  project.SetDirectory(record.directory);
  project.homePage = record.homePage;
  project.serverAddress = record.serverAddress;
  project.pageNames = std::move(record.pageNames);
  project.events = std::move(record.events);
  project.savedPageNames = project.pageNames;
  project.modified = false;
  ClearOpenPageFlags(project);
  project.open = true;
  NotifyListeners(ProjectListener::GetRegistry(),
                  [](ProjectListener* listener) { listener->OnProjectOpened(); });
  ShowLoadNotes(parent, notes);
  return true;
}

bool DoSaveProject(ParentWindow* parent) {
  const QlEProject& project = QlEProject::Instance();
  if (DirectoryExists(project.directory)) return SaveProjectTo(project.directory, parent);
  return DoSaveProjectAs(parent);
}

bool DoSaveProjectAs(ParentWindow* parent) {
  ProjectFileDialogs* dialogs = ProjectFileDialogs::Installed();
  if (dialogs == nullptr) {
    OV_LOG(8).AppendText("No project file dialogs installed.");
    return false;
  }
  std::string folder;
  if (!dialogs->BrowseForFolder(parent, std::string(), folder)) return false;
  return SaveProjectTo(folder, parent);
}

namespace {

// The plain name of the page's file in its folder; empty for a name no file
// can have.
std::string PageFileName(const std::string& name) { return GetFileNameOfPath(GetPageFilePath(".", name)); }

// A page with no content to take along is written as it opens: empty.
bool StageEmptyPage(NsPlatform::FolderCommit& commit, const std::string& folder,
                    const std::string& name) {
  std::string text;
  if (!MakePageFileText(folder, MakePageData(std::make_shared<QlEPage>(name)), SaveRectShift, text)) {
    NsPlatform::RecordWriteFailure(GetPageFilePath(folder, name), EINVAL);
    return false;
  }
  return commit.Stage(PageFileName(name), text);
}

// The listed names in list order.
std::vector<std::string> InListOrder(const std::vector<std::string>& list,
                                     const std::set<std::string>& names) {
  std::vector<std::string> ordered;
  for (const std::string& name : list)
    if (names.contains(name)) ordered.push_back(name);
  return ordered;
}

// Gives every listed page that no editor shows its new file in newFolder,
// staged in commit: the content it was last saved with (from the project's
// folder, under an earlier name after a rename), or an empty page for one
// that has none (added since, or its file gone). A file already in place is
// left as it is. The pages whose content could not be read or staged come
// back in list order.
std::vector<std::string> StagePageFiles(NsPlatform::FolderCommit& commit, const std::string& newFolder) {
  const QlEProject& project = QlEProject::Instance();
  const bool sameFolder = NormalisedFolder(newFolder) == project.directory;
  std::set<std::string> notCopied;
  for (const std::string& name : project.pageNames) {
    // Its editor's content is staged with the open pages.
    if (FindLivePage(name)) continue;
    const std::string to = GetPageFilePath(newFolder, name);
    if (to.empty()) continue;
    const std::string savedName = project.SavedPageName(name);
    // Already where it belongs, as it is, damaged or not; only a missing
    // file would leave the main file listing a page without one.
    if (sameFolder && savedName == name && !EntryMissing(to)) continue;
    const std::string from = savedName.empty() ? std::string() : GetPageFilePath(project.directory, savedName);
    // Added since the last save, or its file gone: it opens empty. A folder,
    // a FIFO, a dangling link or an unreadable file is passed over, and
    // stays owed.
    const NsPlatform::WriteFailureRecorder writing;
    const bool staged = from.empty() || EntryMissing(from) ? StageEmptyPage(commit, newFolder, name)
                                                           : commit.StageCopy(PageFileName(name), from);
    if (!staged) {
      // Its content could not be read. In its own folder no other message
      // names the page: its file is the one named.
      if (sameFolder && writing.Failures().empty()) NsPlatform::RecordWriteFailure(from, errno != 0 ? errno : EIO);
      OV_LOG(4).AppendText("Page file not copied: ").AppendText(from);
      notCopied.insert(name);
    }
  }
  return InListOrder(project.pageNames, notCopied);
}

}  // namespace

bool SaveOpenPage(ParentWindow* parent, const std::shared_ptr<QlEPage>& page) {
  if (!page) return false;
  if (page->deleted || !IsLivePage(page)) {
    ShowMessageBox(parent, kDeletedPageNotSaved, kCaption, MessageIcon::Warning);
    return false;
  }
  if (!PageSavesAlone(page)) return DoSaveProject(parent);
  const NsPlatform::WriteFailureRecorder failures;
  if (SaveEPage(page)) return true;
  ReportWriteFailures(parent, failures.Failures());
  return false;
}

bool CopyPictureFiles(const std::string& oldFolder, const std::string& newFolder) {
  const std::string from = ProjectPictureFolder(oldFolder);
  const std::string to = ProjectPictureFolder(newFolder);
  if (from.empty() || to.empty()) return true;
  std::error_code ec;
  std::filesystem::directory_iterator entry(from, ec);
  // No pictures folder: nothing to take along.
  if (ec) return true;
  const NsPlatform::WriteFailureRecorder failures;
  bool folderMade = DirectoryExists(to);
  for (; entry != std::filesystem::directory_iterator(); entry.increment(ec)) {
    const std::string source = entry->path().string();
    std::error_code kind;
    // A folder, a FIFO or a dangling link is no picture.
    if (!std::filesystem::is_regular_file(entry->path(), kind)) continue;
    const std::string target = to + "/" + entry->path().filename().string();
    if (NsPlatform::SameExistingFile(source, target)) continue;
    if (!folderMade) {
      if (::mkdir(to.c_str(), 0777) != 0 && errno != EEXIST) {
        NsPlatform::RecordWriteFailure(to, errno);
        return false;
      }
      folderMade = true;
    }
    const std::size_t failed = failures.Failures().size();
    if (!NsPlatform::CopyRegularFile(source, target, true) && failures.Failures().size() == failed)
      OV_LOG(4).AppendText("Picture not read for the new folder: ").AppendText(source);
  }
  if (ec) OV_LOG(4).AppendText("Pictures folder not read to its end: ").AppendText(from);
  return failures.Failures().empty();
}

void ReportWriteFailures(ParentWindow* parent, const std::vector<NsPlatform::WriteFailure>& failures,
                         const std::string& more) {
  if (failures.empty() && more.empty()) return;
  std::string text;
  if (!failures.empty()) text = kFilesNotSaved;
  // A picture shown on two pages fails twice; the user reads it once.
  std::set<std::string> named;
  for (const NsPlatform::WriteFailure& failure : failures) {
    if (!named.insert(failure.path).second) continue;
    text += StrFormat("\n%s: %s", failure.path.c_str(), NsPlatform::DescribeError(failure.error).c_str());
  }
  if (!more.empty()) text += (text.empty() ? "" : "\n") + more;
  ShowMessageBox(parent, text, kCaption, MessageIcon::Error);
}

namespace {

// What a save that did not complete puts back when it was to move the
// project: the project stays in its folder, as it was.
struct ProjectPlace {
  explicit ProjectPlace(const QlEProject& project)
      : directory(project.directory), usersFile(UsersFilePath) {}
  void Restore(QlEProject& project) const {
    project.directory = directory;
    UsersFilePath = usersFile;
  }

  std::string directory;
  std::string usersFile;
};

// The files of pages the folder's main file listed before and lists no
// more: deleted or renamed since. They go with the main file that no longer
// names them.
void RemovePagesNoLongerListed(const QlEProject& project, NsPlatform::FolderCommit& commit) {
  for (const std::string& name : project.savedPageNames) {
    if (std::find(project.pageNames.begin(), project.pageNames.end(), name) != project.pageNames.end())
      continue;
    const std::string file = PageFileName(name);
    if (!file.empty()) commit.Remove(file);
  }
}

}  // namespace

bool SaveProjectTo(const std::string& folder, ParentWindow* parent) {
  QlEProject& project = QlEProject::Instance();
  const std::string target = NormalisedFolder(folder);
  if (!project.open || target.empty()) return false;

  const std::string oldDirectory = project.directory;
  const bool moving = target != oldDirectory;
  const ProjectPlace place(project);
  const NsPlatform::WriteFailureRecorder failures;

  // Every page and the main file take their places together, once all of
  // them are on disk: no page file is replaced while the content another
  // page needs (its name swapped with this one's) lies only in it, and the
  // folder opens whole wherever the save stops. A save stopped before left
  // its commit to finish first.
  NsPlatform::CompletePendingCommit(target);
  NsPlatform::FolderCommit commit(target);
  // Open pages whose files hold their own content and no other page's: they
  // reach the disk whatever else fails, as a page saved alone does.
  NsPlatform::FolderCommit alone(target);
  std::vector<std::shared_ptr<QlEPage>> savedAlone;
  std::vector<std::string> notCopied = StagePageFiles(commit, target);
  const bool picturesCopied = !moving || CopyPictureFiles(oldDirectory, target);
  project.SetDirectory(target);
  bool pagesStaged = true;
  std::set<std::string> pagesNotSaved;
  const std::vector<std::shared_ptr<QlEPage>> pages = project.openPages;
  std::set<std::string> staged;
  for (const std::shared_ptr<QlEPage>& page : pages) {
    // The window of a deleted page is written nowhere; a page shown twice
    // is written once.
    if (!page || !IsLivePage(page) || !staged.insert(page->name).second) continue;
    const NsPlatform::WriteFailureRecorder pictures;
    std::string text;
    const bool made = MakePageFileText(project.directory, MakePageData(page), SaveRectShift, text);
    if (!made) NsPlatform::RecordWriteFailure(GetPageFilePath(project.directory, page->name), EINVAL);
    const bool byItself = !moving && PageSavesAlone(page);
    if (made && (byItself ? alone : commit).Stage(PageFileName(page->name), text) &&
        pictures.Failures().empty()) {
      if (byItself) savedAlone.push_back(page);
      continue;
    }
    pagesStaged = false;
    if (!made || std::any_of(pictures.Failures().begin(), pictures.Failures().end(),
                             [&](const NsPlatform::WriteFailure& f) {
                               return f.path == GetPageFilePath(project.directory, page->name);
                             }))
      pagesNotSaved.insert(page->name);
  }

  QlProjectData record;
  record.width = project.width;
  record.height = project.height;
  record.directory = project.directory;
  record.homePage = project.homePage;
  record.serverAddress = project.serverAddress;
  record.pageNames = project.pageNames;
  record.events = project.events;
  const bool dataSaved = SaveProjectDataFiles(project.directory, record);
  bool saved = notCopied.empty() && pagesStaged && picturesCopied && dataSaved;
  if (alone.Commit()) {
    for (const std::shared_ptr<QlEPage>& page : savedAlone) page->modified = false;
  } else {
    saved = false;
    savedAlone.clear();
  }
  if (saved) {
    saved = commit.Stage(GetFileNameOfPath(GetMainFilePath(project.directory)), MainFileText(record));
  }
  if (saved) {
    if (!moving) RemovePagesNoLongerListed(project, commit);
    saved = commit.Commit();
  }
  if (!saved && !commit.Recorded()) {
    // Whatever was not written stays owed: the project stays modified and
    // the next save writes it all again. A Save As that did not complete
    // leaves the project in its old folder, which still holds all of it.
    project.modified = true;
    // A page whose content is not under its name in its folder is owed: its
    // window asks before it closes. In another folder nothing changed.
    if (!moving) {
      for (const std::shared_ptr<QlEPage>& page : pages)
        if (page && IsLivePage(page) && (!PageSavesAlone(page) || pagesNotSaved.contains(page->name)) &&
            std::find(savedAlone.begin(), savedAlone.end(), page) == savedAlone.end())
          page->modified = true;
    }
    std::string notCopiedText;
    if (moving) {
      place.Restore(project);
      // The new folder lacks these pages; an open one's file is named above
      // as well.
      pagesNotSaved.insert(notCopied.begin(), notCopied.end());
      const std::vector<std::string> missing = InListOrder(project.pageNames, pagesNotSaved);
      if (!missing.empty()) notCopiedText = StrFormat(kPagesNotCopied, JoinNames(missing).c_str());
    }
    ReportWriteFailures(parent, failures.Failures(), notCopiedText);
    return false;
  }

  // Committed: the folder holds this save, or will once a step that failed
  // after the commit record is carried out by the next save or load.
  project.PageListSaved();
  // The project lives here now, and so does the copy of a users file that
  // could not be read whole.
  if (!UnreadUsersFilePath.empty()) UnreadUsersFilePath = GetUsersConfigFilePath(project.directory);
  // What the window of a deleted page shows was saved nowhere.
  for (const std::shared_ptr<QlEPage>& page : pages)
    if (page && IsLivePage(page)) page->modified = false;
  project.modified = !saved;
  if (!saved) ReportWriteFailures(parent, failures.Failures());
  return saved;
}

}  // namespace NsOvrin
