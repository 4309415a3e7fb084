#pragma once
// The one project the editor holds: its page list, the pages open in
// editors, its variable events, panel size, home page and server address,
// its folder and the open and modified flags. Callers read and write the
// fields directly and set modified when they change project data. User
// interface thread only.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "project_base/PageNameList.h"

namespace NsOvrin {

namespace NsQlEvent {
class QlVarEventBase;
}

class QlEPage;

class QlEProject {
 public:
  // Results of RenamePage.
  static constexpr int kRenameOk = 0;
  static constexpr int kRenameInvalidName = 1;
  static constexpr int kRenameFailed = 2;
  static constexpr int kRenameNameExists = 3;

  QlEProject() = default;
  QlEProject(const QlEProject&) = delete;
  QlEProject& operator=(const QlEProject&) = delete;
  virtual ~QlEProject();

  // Created on first use with no project open.
  static QlEProject& Instance();

  // Trimmed, without one trailing '/' or '\'.
  void SetDirectory(const std::string& text);
  // Forgets the project (page names, home page, flags, name, server address,
  // events) and takes the directory. The open pages are left to their views.
  void Reset(const std::string& directory);

  // Trims name in place. False without an open project, for a name that
  // breaks the name rule or one already listed. The first page becomes the
  // home page; page listeners hear of the new page.
  bool AddPage(std::string& name);
  // Removes the name (its first entry); the home page moves to the first
  // remaining page. False when not listed. The page's file stays until a
  // save has written a main file without it: the folder keeps opening whole,
  // whatever the answer to the save question.
  bool DeletePage(const std::string& name);
  // One of the kRename* results; GetRenamePageMessage gives its text. The
  // caller announces a successful rename to the page listeners. The files
  // are left alone as for a delete: the page's saved content stays under the
  // old name until a save writes it and the main file under the new one. A
  // file of the new name the project did not write refuses the name.
  int RenamePage(const std::string& oldName, const std::string& newName);
  // The first "页面%u" (1..65534) not in the list; "--异常页面名称--" when
  // every one is taken.
  std::string MakeNewPageName() const;
  // Asks the page listeners to open or raise the page's editor; nothing
  // without an open project or for a name not listed.
  void ActivatePage(const std::string& name);
  // Drops the first open-page entry that is this page.
  void CloseOpenPage(const std::shared_ptr<QlEPage>& page);

  // The name under which the folder holds the listed page's last saved
  // content: its own, an earlier one after a rename, or empty for a page
  // added since (or renamed from one) that no save has written yet.
  std::string SavedPageName(const std::string& name) const;
  // A page added since (or renamed from one) that no save has written yet:
  // it has no file to read. Not a listed name that merely is empty.
  bool NeverSaved(const std::string& name) const;
  // The page's file now holds its content under its own name.
  void PageFileWritten(const std::string& name);
  // The folder's main file now lists the page list, and every listed page
  // has its file under its own name.
  void PageListSaved();

  // The first event whose address is exactly the text; empty when none.
  std::shared_ptr<NsQlEvent::QlVarEventBase> FindEvent(const std::string& address) const;
  // Moves the event at oldAddress to newAddress. Both must resolve in the
  // node database and be of the same kind (bit or word); an unchanged text
  // is accepted as it is. On failure message says why. Another event at the
  // new address does not stop the move. The modified flag is the caller's.
  bool ChangeEventAddress(const std::string& oldAddress, const std::string& newAddress,
                          std::string& message);
  // The same for that very event, which must be one of the project's: of
  // several events at one address, the one the user picked moves.
  bool ChangeEventAddress(const std::shared_ptr<NsQlEvent::QlVarEventBase>& event,
                          const std::string& newAddress, std::string& message);

  // In project order, compared exactly. The process-wide list, which the
  // element bindings and the command language read as well.
  std::vector<std::string>& pageNames = GetPageNameList();
  // The page list of the main file in the folder, as the open or the last
  // save left it: the files a later save may remove once its main file no
  // longer lists them.
  std::vector<std::string> savedPageNames;
  // Listed pages whose saved content is not under their own name (see
  // SavedPageName); the others have theirs under it.
  std::map<std::string, std::string> pageSources;
  // Pages shown in editor windows, in the order they were opened.
  std::vector<std::shared_ptr<QlEPage>> openPages;
  bool modified = false;
  bool open = false;
  std::string directory;
  // From the new-project dialog; no project file keeps it.
  std::string name;
  float width = 640.0f;
  float height = 480.0f;
  // IPv4, network byte order.
  uint32_t serverAddress = 0;
  // One per event address.
  std::vector<std::shared_ptr<NsQlEvent::QlVarEventBase>> events;
  // Empty only while there is no page.
  std::string homePage;

 private:
  // A file of that page name is one the project wrote: listed by the main
  // file, or the saved content of a renamed page.
  bool HoldsSavedPage(const std::string& fileName) const;
};

// Trims ASCII white space and the full-width space U+3000 from both ends,
// as every page-name operation does.
void TrimPageName(std::string& text);

std::string GetRenamePageMessage(int result);

// The project's files. Each is empty for an empty directory.
std::string GetMainFilePath(const std::string& directory);
// Also empty for a name that breaks the name rule: a page list read from a
// hand-edited main file must not lead a file operation out of the folder.
std::string GetPageFilePath(const std::string& directory, const std::string& pageName);
std::string GetChannelsFilePath(const std::string& directory);
std::string GetDataBlocksFilePath(const std::string& directory);
std::string GetAlarmConfigFilePath(const std::string& directory);
std::string GetUsersConfigFilePath(const std::string& directory);
std::string GetEventsFilePath(const std::string& directory);
// The copy of a picture in the project's "images" folder, by the file name
// of path; built even for an empty directory.
std::string GetProjectPicturePath(const std::string& directory, const std::string& path);

}  // namespace NsOvrin
