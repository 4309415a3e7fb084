#pragma once
// Moving a page between its file, its editor and the page list: opening a
// page for editing, saving an open page, and the new-page command.
//
// The editor draws a page at (20, 20) on its canvas, so the element
// rectangles of an open page are page coordinates plus 20; the file keeps
// page coordinates. The page's own rectangle is never shifted.
#include <memory>
#include <string>

#include "QlUiElem/QlPageData.h"
#include "dx2d/D2Types.h"
#include "ui_services/MessageBoxService.h"

namespace NsOvrin {

class QlEPage;

// File to editor: each component plus 20.
NsDx2d::D2D_RECT_F EditRectShift(const NsDx2d::D2D_RECT_F& rect);
// Editor to file: each component minus 20.
NsDx2d::D2D_RECT_F SaveRectShift(const NsDx2d::D2D_RECT_F& rect);

// Reads the page's file into a new, unmodified open page whose elements are
// editor wrappers in file order, binds and checks them (failures only mark
// the elements). Entries the editor has no element for are dropped. The file
// is the one holding the page's last saved content (QlEProject::
// SavedPageName); a page no save has written yet opens new and empty. Without
// an open project ("导入失败: 工程处于无效状态.") or a readable page file
// ("页面导入失败.") a message box over parent says so, false, page untouched.
// The caller lists the page among the project's open pages.
bool LoadPageForEdit(ParentWindow* parent, const std::string& pageName,
                     std::shared_ptr<QlEPage>& page);
// Writes the page to its file and copies its pictures into the project; on
// success the page is no longer modified. False, and nothing shown, without
// a page, an open project, a written file or a copy of each picture that
// could be read; the files not written are noted (WriteFailureRecorder).
// Only a page that saves alone (PageSavesAlone) is written; any other is
// refused with nothing written.
bool SaveEPage(const std::shared_ptr<QlEPage>& page);
// The open page that shows the listed page of that name: never the window
// of a page deleted since, whatever it is called. Empty when none.
std::shared_ptr<QlEPage> FindLivePage(const std::string& name);
// The page is listed and was not deleted.
bool IsLivePage(const std::shared_ptr<QlEPage>& page);
// A live page whose file in the folder holds its last saved content under
// its own name, and is no other page's saved content: writing that file
// alone takes nothing from any page, whatever the next project save does.
// A page added or renamed since the last project save is not one: its file
// reaches the folder with the main file that lists it.
bool PageSavesAlone(const std::shared_ptr<QlEPage>& page);
// The persistent form of the page for one load or save: shares the element
// records and bindings of the hosts, copies nothing. Wrappers without a host
// or record are left out. Empty for an empty pointer.
std::shared_ptr<NsQlUiElem::QlPageData> MakePageData(const std::shared_ptr<QlEPage>& page);
// The new-page command: with an open project, proposes a new name in the
// new-page dialog and adds what it ends with to the page list, which
// announces the page. A name the list refuses adds nothing, silently. No
// page file is written until the page's editor or the project saves.
void DoNewPage(ParentWindow* parent);

}  // namespace NsOvrin
