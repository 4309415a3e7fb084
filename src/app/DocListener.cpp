#include "app/DocListener.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMetaObject>
#include <QString>
#include <algorithm>
#include <memory>

#include "app/CChildFrame.h"
#include "app/CQuillaneDoc.h"
#include "app/CQuillaneView.h"
#include "app/DocManager.h"
#include "app/PageDocTemplate.h"
#include "editor/QlEPage.h"
#include "project/QlEProject.h"

namespace NsOvrin {

namespace {

template <typename Listener>
void Leave(std::vector<Listener*>& registry, Listener* listener) {
  registry.erase(std::remove(registry.begin(), registry.end(), listener), registry.end());
}

// The page the window's view shows; empty for a window without one.
std::shared_ptr<QlEPage> PageOf(QMdiSubWindow* window) {
  auto* frame = dynamic_cast<CChildFrame*>(window);
  CQuillaneView* view = frame != nullptr ? frame->GetActiveView() : nullptr;
  return view != nullptr ? view->GetCanvas().GetPage() : nullptr;
}

// A document whose views show a page deleted since: its title is no name of
// the project any more.
bool ShowsDeletedPage(CQuillaneDoc* document) {
  for (CQuillaneView* view : document->GetViews()) {
    const std::shared_ptr<QlEPage> page = view->GetCanvas().GetPage();
    if (page && page->deleted) return true;
  }
  return false;
}

}  // namespace

DocListener::~DocListener() {
  Leave(PageListener::GetRegistry(), static_cast<PageListener*>(this));
  Leave(ProjectListener::GetRegistry(), static_cast<ProjectListener*>(this));
  Leave(NodeDbListener::GetRegistry(), static_cast<NodeDbListener*>(this));
}

void DocListener::SetMdiClient(QMdiArea* mdiClient) { mdiClient_ = mdiClient; }

PageDocTemplate* DocListener::GetTemplate() const {
  return docManager_ != nullptr ? docManager_->GetFirstTemplate() : nullptr;
}

std::vector<QMdiSubWindow*> DocListener::PageWindows() const {
  if (!mdiClient_) return {};
  QList<QMdiSubWindow*> stacked = mdiClient_->subWindowList(QMdiArea::StackingOrder);
  return std::vector<QMdiSubWindow*>(stacked.rbegin(), stacked.rend());
}

QMdiSubWindow* DocListener::FindPageWindow(const std::string& name) const {
  const QString caption = QString::fromStdString(name);
  for (QMdiSubWindow* window : PageWindows()) {
    if (window->windowTitle() != caption) continue;
    // The window of a deleted page shows no page of that name any more.
    const std::shared_ptr<QlEPage> page = PageOf(window);
    if (page && page->deleted) continue;
    return window;
  }
  return nullptr;
}

void DocListener::PostClose(QMdiSubWindow* window) {
  // Queued on the window itself: dropped should it be gone by then.
  QMetaObject::invokeMethod(
      window, [window] { window->close(); }, Qt::QueuedConnection);
}

void DocListener::OpenPageWindow(const std::string& name, bool newPage) {
  PageDocTemplate* docTemplate = GetTemplate();
  if (docTemplate == nullptr) return;
  CQuillaneDoc* document = docTemplate->OpenDocumentFile(true);
  if (document == nullptr) return;
  document->SetTitle(name);
  // Only the window just made: another one that still shows the name (a
  // page deleted while its window kept its unsaved edits) keeps its page.
  const std::vector<CQuillaneView*> views = document->GetViews();
  for (CQuillaneView* view : views) {
    CChildFrame* frame = view->GetParentFrame();
    if (frame == nullptr || !frame->ShowsPage(name) || frame->GetActiveView() != view) continue;
    if (newPage) {
      view->NewPage(name);
    } else {
      view->OpenPage(name);
    }
  }
}

void DocListener::OnPageAdded(const std::string& name) {
  OpenPageWindow(name, true);
  RevalidateAll();
}

void DocListener::OnActivatePage(const std::string& name) {
  if (QMdiSubWindow* window = FindPageWindow(name)) {
    if (window->isMinimized()) window->showNormal();
    if (mdiClient_) mdiClient_->setActiveSubWindow(window);
    return;
  }
  OpenPageWindow(name, false);
}

void DocListener::OnPageDeleting(const std::string& name) {
  if (QMdiSubWindow* window = FindPageWindow(name)) PostClose(window);
}

void DocListener::OnPageDeleted(const std::string& name) {
  // A window that kept the page (its close was cancelled) shows a page no
  // save writes; a page added or renamed to the name later is another one.
  const QlEProject& project = QlEProject::Instance();
  const bool stillListed =
      std::find(project.pageNames.begin(), project.pageNames.end(), name) != project.pageNames.end();
  for (const std::shared_ptr<QlEPage>& page : project.openPages)
    if (page && !stillListed && page->name == name) page->deleted = true;
  RevalidateAll();
}

void DocListener::OnPageRenamed(const std::string& oldName, const std::string& newName) {
  if (PageDocTemplate* docTemplate = GetTemplate()) {
    for (CQuillaneDoc* document : docTemplate->GetDocuments()) {
      if (document->GetTitle() != oldName || ShowsDeletedPage(document)) continue;
      document->SetTitle(newName);
      break;
    }
  }
  RevalidateAll();
}

void DocListener::OnPageChanged(const std::string& name, const PageProperties& properties) {
  PageDocTemplate* docTemplate = GetTemplate();
  if (docTemplate == nullptr) return;
  for (CQuillaneDoc* document : docTemplate->GetDocuments()) {
    if (document->GetTitle() != name || ShowsDeletedPage(document)) continue;
    document->backgroundColour = properties.backgroundColor;
    document->pageRect = {properties.rect.left, properties.rect.top, properties.rect.right,
                          properties.rect.bottom};
    document->UpdateAllViews(nullptr, 0, nullptr);
    return;
  }
}

void DocListener::OnProjectClosing() {
  for (QMdiSubWindow* window : PageWindows()) PostClose(window);
}

void DocListener::OnBlocksChanged(const OneWayWrapper<NsTermination::Node>& /*node*/) {
  RevalidateAll();
}

void DocListener::OnNodeDbChanged() { RevalidateAll(); }

void DocListener::RevalidateAll() {
  // A page may leave the list while its elements are checked.
  const std::vector<std::shared_ptr<QlEPage>> pages = QlEProject::Instance().openPages;
  for (const std::shared_ptr<QlEPage>& page : pages) {
    QlEPage::RevalidateElements(page);
    QlEPage::CheckElements(page);
  }
  for (QMdiSubWindow* window : PageWindows()) {
    if (auto* frame = dynamic_cast<CChildFrame*>(window)) {
      if (CQuillaneView* view = frame->GetActiveView()) view->InvalidateView();
    }
    window->update();
  }
}

}  // namespace NsOvrin
