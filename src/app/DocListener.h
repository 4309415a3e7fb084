#pragma once
// Turns the project store's announcements into actions on the page windows:
// opens a window for a page that is added or asked for, brings an open one
// to the front, closes the windows of a page being deleted and of every page
// when the project closes, retitles a renamed page's window, passes edited
// page properties to the page's document, and has every open page check its
// elements again when pages or the node database change.
#include <QMdiArea>
#include <QPointer>
#include <string>
#include <vector>

#include "project/NodeDbListener.h"
#include "project/PageListener.h"
#include "project/ProjectListener.h"

class QMdiSubWindow;

namespace NsOvrin {

class DocManager;
class PageDocTemplate;

class DocListener : public PageListener, public ProjectListener, public NodeDbListener {
 public:
  DocListener() = default;
  DocListener(const DocListener&) = delete;
  DocListener& operator=(const DocListener&) = delete;
  // Leaves the three registries.
  ~DocListener() override;

  // The document manager whose first template makes page windows, and the
  // main frame's MDI area that holds them.
  void SetDocManager(DocManager* docManager) { docManager_ = docManager; }
  void SetMdiClient(QMdiArea* mdiClient);

  // PageListener
  void OnPageAdded(const std::string& name) override;
  void OnActivatePage(const std::string& name) override;
  void OnPageDeleting(const std::string& name) override;
  void OnPageDeleted(const std::string& name) override;
  void OnPageRenamed(const std::string& oldName, const std::string& newName) override;
  void OnPageChanged(const std::string& name, const PageProperties& properties) override;
  // ProjectListener
  void OnProjectCreated() override {}
  void OnProjectOpened() override {}
  void OnProjectClosing() override;
  // NodeDbListener
  void OnBlocksChanged(const OneWayWrapper<NsTermination::Node>& node) override;
  void OnNodeDbChanged() override;
  void OnRunModeChanged(bool /*online*/) override {}

  // The document manager's first template; null without one.
  PageDocTemplate* GetTemplate() const;
  // The first page window, from the top, whose caption is exactly the name.
  QMdiSubWindow* FindPageWindow(const std::string& name) const;
  // Every open page binds and checks its elements again; the page windows
  // repaint with the new marks.
  void RevalidateAll();

 private:
  // The MDI area's windows from the top one down.
  std::vector<QMdiSubWindow*> PageWindows() const;
  // A new window titled with the name, its view showing a new page or the
  // page read from its file.
  void OpenPageWindow(const std::string& name, bool newPage);
  // Closes the window later, once the current notification is over.
  static void PostClose(QMdiSubWindow* window);

  DocManager* docManager_ = nullptr;
  QPointer<QMdiArea> mdiClient_;
};

}  // namespace NsOvrin
