// A whole project folder from the input: the main file, the channels,
// data-block, alarm configuration, users and events files and one page file,
// in this order, separated by 0x1E bytes. The page file takes the name of the
// first page the main file lists. Through the editor's own commands the folder
// is opened with its pages, saved into a second folder, closed, opened from
// there and saved into a third: the second and third folders hold the same
// files with the same bytes, what opened once opens again, and every page the
// second folder's main file lists has its file. A users file that could not be read
// whole reaches the second folder byte for byte.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "ProjectFolder.h"
#include "editor/QlEPage.h"
#include "project/QlEProject.h"
#include "project/UsersFile.h"
#include "project_persistence/PageCommands.h"
#include "project_persistence/ProjectCommands.h"
#include "project_persistence/UiErrList.h"

namespace {

using namespace NsOvrin;

// Opens the project of mainFile and, for editing, each listed page that has
// a file; the number of pages opened, or -1 when the project did not open.
int OpenProjectWithPages(NsFuzz::QuietProjectUi& ui, const std::string& mainFile) {
  ui.answer = mainFile;
  if (!DoOpenProject(nullptr)) return -1;
  QlEProject& project = QlEProject::Instance();
  int opened = 0;
  const std::vector<std::string> names = project.pageNames;
  for (const std::string& name : names) {
    std::shared_ptr<QlEPage> page;
    if (!LoadPageForEdit(nullptr, name, page)) continue;
    project.openPages.push_back(page);
    ++opened;
  }
  return opened;
}

// Closes the project as the shell does: the views let their pages go.
void CloseProject() {
  QlEProject& project = QlEProject::Instance();
  if (DoCloseProject(nullptr) != kProjectClosed) std::abort();
  project.openPages.clear();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static NsFuzz::QuietProjectUi ui;
  const std::string root = NsFuzz::PrivateFolder();
  const std::string source = root + "/source";
  const std::string first = root + "/first";
  const std::string second = root + "/second";
  NsFuzz::FreshFolder(source);

  NsFuzz::InputReader input(data, size);
  const std::string mainFile = GetMainFilePath(source);
  NsFuzz::WriteFile("source/" + std::filesystem::path(mainFile).filename().string(), input.Until('\x1e'));
  for (const std::string& path : {GetChannelsFilePath(source), GetDataBlocksFilePath(source),
                                   GetAlarmConfigFilePath(source), GetUsersConfigFilePath(source),
                                   GetEventsFilePath(source)}) {
    NsFuzz::WriteFile("source/" + std::filesystem::path(path).filename().string(), input.Until('\x1e'));
  }
  const std::string page = input.Rest();

  // The page's name comes from the main file, which only an open reads.
  ui.answer = mainFile;
  if (DoOpenProject(nullptr)) {
    const std::vector<std::string>& names = QlEProject::Instance().pageNames;
    const std::string pagePath = names.empty() ? std::string() : GetPageFilePath(source, names.front());
    CloseProject();
    if (!pagePath.empty()) {
      NsFuzz::WriteFile("source/" + std::filesystem::path(pagePath).filename().string(), page);
    }
    const int opened = OpenProjectWithPages(ui, mainFile);
    if (opened < 0) std::abort();
    const bool usersUnread = !UnreadUsersFilePath.empty();
    // What opened is written whole into an empty folder.
    NsFuzz::FreshFolder(first);
    if (!SaveProjectTo(first)) std::abort();
    if (usersUnread && NsFuzz::ReadBack(GetUsersConfigFilePath(first)) !=
                           NsFuzz::ReadBack(GetUsersConfigFilePath(source)))
      std::abort();
    CloseProject();

    // What opened opens again; pages that had no file have one now.
    if (OpenProjectWithPages(ui, GetMainFilePath(first)) < opened) std::abort();
    // The folder a save wrote is whole: every page its main file lists
    // that can have a file has one.
    for (const std::string& name : QlEProject::Instance().pageNames) {
      const std::string path = GetPageFilePath(first, name);
      if (!path.empty() && !std::filesystem::is_regular_file(path)) std::abort();
    }
    NsFuzz::FreshFolder(second);
    ui.answer = second;
    if (!DoSaveProjectAs(nullptr)) std::abort();
    CloseProject();
    if (NsFuzz::FolderFiles(first) != NsFuzz::FolderFiles(second)) std::abort();
  } else {
    QlEProject::Instance().Reset(std::string());
    ResetProjectRuntime();
  }
  UiErrList::Instance().results.clear();
  return 0;
}
