#pragma once
// The File menu's commands on the whole project: new, open, close with the
// save prompt, save and save as; the default channels of a new project; and
// the runtime reset that empties the process-wide communication, alarm and
// user state between projects. User-interface thread only.
//
// A project is never lost: a close asks first when the project or an open
// page is modified, and a save that fails leaves the project modified until
// a save has written everything it could not. The folder on disk opens whole
// whatever happens: its main file is written last.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "comm_server/SerialPort.h"
#include "platform/AtomicFile.h"
#include "ui_services/MessageBoxService.h"

namespace NsOvrin {

class QlEPage;

// DoCloseProject.
inline constexpr int kProjectClosed = 0;
inline constexpr int kCloseCancelled = 2;
// AskSaveProject.
inline constexpr int kPromptSaved = 0;
inline constexpr int kPromptNotSaved = 1;
inline constexpr int kPromptCancelled = 2;

// Closes an open project (asking first), empties the runtime, and on OK of
// the new-project dialog opens a new project in the folder it names with
// the default channels and a first page, which makes it modified. Nothing is
// written to disk: the first save does that.
void DoNewProject(ParentWindow* parent);
// Closes an open project (asking first), then forgets the project and the
// runtime before it asks for a main file, and loads that file's folder.
// False when the close was cancelled (the project stays open), or when the
// dialog was cancelled or the load failed ("打开工程操作失败."): no project is
// open then, and what a failed load read stays in the runtime until the next
// reset.
bool DoOpenProject(ParentWindow* parent);
// kProjectClosed when the project was closed or none was open;
// kCloseCancelled, with nothing changed, when the prompt was cancelled or its
// save failed. Project listeners hear of the close before anything goes.
int DoCloseProject(ParentWindow* parent);
// "工程被更改, 是否需要保存?": Yes saves (kPromptSaved, or kPromptCancelled when
// the save failed or was cancelled), No clears the open pages' modified
// flags (kPromptNotSaved), Cancel changes nothing (kPromptCancelled).
int AskSaveProject(ParentWindow* parent);
// Into the project's folder when it exists, else as DoSaveProjectAs.
bool DoSaveProject(ParentWindow* parent);
// Into a folder chosen in the folder browser; false when it is cancelled.
bool DoSaveProjectAs(ParentWindow* parent);
// Writes the project into folder so that the folder opens whole, each listed
// page with its own content, wherever the save stops: the pictures folder
// when the folder is another one (CopyPictureFiles) and the other project
// files are written; the listed pages no editor shows (from their last saved
// content, under an earlier name after a rename, or empty), the live open
// pages and the main file are staged beside their files and, only when all
// of those are on disk, take their places together (FolderCommit) with the
// removal of the files of pages the main file no longer lists. The window of
// a deleted page is written nowhere. True, the folder the project's own and nothing modified any
// more, only when every file was written. Otherwise whatever was not written
// stays owed: the project stays modified (an open page that was not written
// as well), so the next save writes it again; a project that was to move
// stays in its old folder with its flags as they were; and one error box
// owned by parent names each file not written and why (ReportWriteFailures),
// then the pages missing from the folder ("以下页面文件未能复制到新文件夹: ...").
bool SaveProjectTo(const std::string& folder, ParentWindow* parent = nullptr);
// "以下文件保存失败:" and a line "<path>: <reason>" for each file, once per
// path, then more when it is not empty: one box with the error icon, owned
// by parent. Nothing without failures or more.
void ReportWriteFailures(ParentWindow* parent, const std::vector<NsPlatform::WriteFailure>& failures,
                         const std::string& more = std::string());
// The answer Yes of a page window to "页面被修改, 是否需要保存?": a page that
// saves alone (PageSavesAlone) is written, a failure named in one box; a
// page added or renamed since the last save reaches the folder only together
// with the main file that lists it, so the project is saved (DoSaveProject);
// the window of a deleted page, or of a project closed since, is written
// nowhere, and a box says so
// ("此页面已不属于打开的工程, 不能保存."). True when the page is on disk.
bool SaveOpenPage(ParentWindow* parent, const std::shared_ptr<QlEPage>& page);
// Copies every picture of the "images" folder of oldFolder into that of
// newFolder, making it when needed and replacing what is there: pages that
// are not open name their pictures by file name and find them there once the
// old folder is gone. False when one could not be written (each failure is
// noted for the save's box); an entry that is no readable file is passed over.
bool CopyPictureFiles(const std::string& oldFolder, const std::string& newFolder);

// Empties the channel database (every polling thread ends; no run-mode
// notification), clears the alarm groups, active alarms and alarm listeners
// (the history stays), and puts back the four default users; no users file
// counts as unread any more.
void ResetProjectRuntime();

// The two serial channels of a new project, "S1" and "S2" on the machine's
// first two serial ports: 9600 baud, even parity, 7 data bits, 1 stop bit.
void CreateDefaultSerialChannels();
// The same with the ports as listed: channel i takes the i-th listed port,
// one above the highest listed port when the list is shorter, and port i + 1
// when nothing is listed.
void CreateDefaultSerialChannels(const std::vector<NsCommServer::SerialPortInfo>& ports);
// "E0" and "E1".
void CreateDefaultEthernetChannels();
// "S%d" with i + 1.
std::string MakeSerialChannelId(int i);
// "E%d" with i.
std::string MakeEthernetChannelId(int i);

}  // namespace NsOvrin
