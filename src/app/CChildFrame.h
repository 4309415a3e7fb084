#pragma once
// A page window: one MDI child of the main frame holding a page view, and
// owning the view's document. Its caption is the document's title, which is
// the page name. Closing asks the view first.
#include <QMdiSubWindow>
#include <memory>
#include <string>

namespace NsOvrin {

class CQuillaneDoc;
class CQuillaneView;

class CChildFrame : public QMdiSubWindow {
 public:
  // A caption, a system menu and a sizing border; no minimise or maximise
  // box. The frame is deleted when it closes.
  explicit CChildFrame(std::unique_ptr<CQuillaneDoc> document = nullptr, QWidget* parent = nullptr);
  ~CChildFrame() override;

  CQuillaneView* GetActiveView() const;
  CQuillaneDoc* GetDocument() const { return document_.get(); }
  // The active view's document title is exactly the name.
  bool ShowsPage(const std::string& name) const;

 protected:
  // A view that answers its close question with "keep" keeps the window.
  void closeEvent(QCloseEvent* event) override;

 private:
  std::unique_ptr<CQuillaneDoc> document_;
};

}  // namespace NsOvrin
