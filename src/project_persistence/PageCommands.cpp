#include "project_persistence/PageCommands.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "QlUiElem/QlUiElemDef.h"
#include "common/Log.h"
#include "editor/QlEHostElem.h"
#include "editor/QlEHostFactory.h"
#include "editor/QlEPage.h"
#include "platform/AtomicFile.h"
#include "project/QlEProject.h"
#include "project_persistence/PageFile.h"
#include "project_persistence/ProjectPictureStore.h"
#include "ui_services/NewPageDialog.h"

namespace NsOvrin {

using NsDx2d::D2D_RECT_F;
using NsQlElemEditor::QlEHostElem;
using NsQlUiElem::QlPageData;
using NsUiD2ElemEditor::UiElem;

namespace {

// Where the editor draws a page's top-left corner on its canvas.
constexpr float kCanvasOffset = 20.0f;

constexpr const char* kPromptCaption = "提示";

D2D_RECT_F ShiftRect(const D2D_RECT_F& rect, float by) {
  return {rect.left + by, rect.top + by, rect.right + by, rect.bottom + by};
}

}  // namespace

D2D_RECT_F EditRectShift(const D2D_RECT_F& rect) { return ShiftRect(rect, kCanvasOffset); }

D2D_RECT_F SaveRectShift(const D2D_RECT_F& rect) { return ShiftRect(rect, -kCanvasOffset); }

bool LoadPageForEdit(ParentWindow* parent, const std::string& pageName,
                     std::shared_ptr<QlEPage>& page) {
  const QlEProject& project = QlEProject::Instance();
  if (!project.open) {
    ShowMessageBox(parent, "导入失败: 工程处于无效状态.", kPromptCaption, MessageIcon::Error);
    return false;
  }

  // A page added since the last save has no file yet: it is still empty. A
  // name a damaged main file lists without a file fails below.
  if (project.NeverSaved(pageName)) {
    page = std::make_shared<QlEPage>(pageName);
    return true;
  }

  PageLoadHooks hooks;
  hooks.rectTransform = EditRectShift;
  hooks.pictureResolver = ResolvePicturePath;
  std::shared_ptr<QlPageData> data;
  // A save whose commit could not be carried out whole is finished first:
  // the page's file is the one that save gave it.
  if (!NsPlatform::CompletePendingCommit(project.directory) ||
      !LoadPageFile(project.directory, project.SavedPageName(pageName), hooks, data) || !data) {
    ShowMessageBox(parent, "页面导入失败.", kPromptCaption, MessageIcon::Error);
    return false;
  }

  // A renamed page's content may still lie under its old name.
  auto opened = std::make_shared<QlEPage>(pageName);
  opened->modified = false;
  opened->rect = data->rect;
  opened->backgroundColour = static_cast<int32_t>(data->backgroundColour);
  opened->accessPermission = data->accessPermission;
  for (const NsQlUiElem::QlElemData& entry : data->elements) {
    std::shared_ptr<UiElem> elem = NsQlElemEditor::CreateElemFromData(entry);
    if (elem) opened->elements->elems.push_back(std::move(elem));
  }
  page = opened;

  // A failing element carries its own error mark; the page opens all the
  // same.
  QlEPage::RevalidateElements(opened);
  QlEPage::CheckElements(opened);
  return true;
}

std::shared_ptr<QlEPage> FindLivePage(const std::string& pageName) {
  const QlEProject& project = QlEProject::Instance();
  if (std::find(project.pageNames.begin(), project.pageNames.end(), pageName) == project.pageNames.end())
    return nullptr;
  for (const std::shared_ptr<QlEPage>& page : project.openPages)
    if (page && !page->deleted && page->name == pageName) return page;
  return nullptr;
}

bool IsLivePage(const std::shared_ptr<QlEPage>& page) {
  if (!page || page->deleted) return false;
  const std::vector<std::string>& names = QlEProject::Instance().pageNames;
  return std::find(names.begin(), names.end(), page->name) != names.end();
}

bool PageSavesAlone(const std::shared_ptr<QlEPage>& page) {
  if (!IsLivePage(page)) return false;
  const QlEProject& project = QlEProject::Instance();
  if (project.SavedPageName(page->name) != page->name) return false;
  // A page renamed from this name keeps its content in this file until the
  // project is saved.
  return std::none_of(project.pageNames.begin(), project.pageNames.end(), [&](const std::string& other) {
    return other != page->name && project.SavedPageName(other) == page->name;
  });
}

bool SaveEPage(const std::shared_ptr<QlEPage>& page) {
  QlEProject& project = QlEProject::Instance();
  if (!page || !project.open) return false;
  if (!PageSavesAlone(page)) {
    OV_LOG(4).AppendText("Page not saved alone: ").AppendText(page->name);
    return false;
  }
  // A project save stopped part-way may still replace this file.
  if (!NsPlatform::CompletePendingCommit(project.directory)) return false;
  // A picture the page shows that could not be copied into the project fails
  // the save as well: the project would not carry it.
  const NsPlatform::WriteFailureRecorder pictures;
  const std::string path = GetPageFilePath(project.directory, page->name);
  const bool written = NsPlatform::WriteNoted(path.empty() ? page->name : path, [&](const std::string&) {
    return SavePageFile(project.directory, MakePageData(page), SaveRectShift);
  });
  // Its content is now under its own name, whatever its pictures did.
  if (written) project.PageFileWritten(page->name);
  const bool saved = written && pictures.Failures().empty();
  if (saved) page->modified = false;
  return saved;
}

std::shared_ptr<QlPageData> MakePageData(const std::shared_ptr<QlEPage>& page) {
  if (!page) return nullptr;
  auto data = std::make_shared<QlPageData>();
  data->rect = page->rect;
  data->backgroundColour = static_cast<NsDx2d::COLORREF>(page->backgroundColour);
  data->name = page->name;
  data->accessPermission = page->accessPermission;
  if (!page->elements) return data;
  for (const std::shared_ptr<UiElem>& elem : page->elements->elems) {
    if (!elem) continue;
    const auto host = std::dynamic_pointer_cast<QlEHostElem>(elem->host);
    if (!host) continue;
    std::shared_ptr<NsQlUiElem::QlUiElem> ui = host->GetUi();
    if (!ui) continue;
    data->elements.push_back(
        {static_cast<NsQlUiElem::QlElemType>(host->GetType()), std::move(ui), host->GetIo()});
  }
  return data;
}

void DoNewPage(ParentWindow* parent) {
  QlEProject& project = QlEProject::Instance();
  if (!project.open) return;
  NewPageDialog* dialog = NewPageDialog::Installed();
  if (dialog == nullptr) {
    OV_LOG(8).AppendText("No new-page dialog installed.");
    return;
  }
  std::string name = project.MakeNewPageName();
  if (!dialog->Run(parent, name)) return;
  // The page list has its own name rule; a refusal there is not reported.
  project.AddPage(name);
}

}  // namespace NsOvrin
